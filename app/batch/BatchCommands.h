#pragma once

// The batch commands, each on one file (or one stylesheet run). Each reports its
// failures to the report and returns whether the document was fine.

#include "app/batch/BatchArgs.h"
#include "app/batch/BatchReport.h"
#include "app/batch/BatchWriteBack.h"

#include <ostream>
#include <string>

// Loads and validates against the document's DTD or named schema, as Validate does.
bool BatchValidate(const std::string& file, BatchReport& report);
// Applies the stylesheet as Tools > Transform does and writes the result to output.
bool BatchTransform(const std::string& xsl, const std::string& input, const std::string& output,
                    BatchReport& report);
// Evaluates the expression over the document; each node as "path<TAB>value", or
// the number, string or boolean, one line each (prefixed "file:" when several
// files are named), with line breaks, tabs and backslashes in values escaped.
bool BatchXPath(const BatchRequest& request, const std::string& file, bool nameFile, std::ostream& out,
                BatchReport& report);
// Auto Format's rewrite of input, written to output (input itself when empty),
// or to out with toStdout.
bool BatchFormat(const std::string& input, const std::string& output, bool toStdout, std::ostream& out,
                 BatchReport& report);
// A plugin's Main over the file's text, the result printed to out with toStdout,
// else handed to writes to replace the file (the file's messages go there too).
bool BatchRunPlugin(const std::string& script, const std::string& file, bool toStdout, std::ostream& out,
                    BatchWriteBack& writes);
