#pragma once

#include "app/document/DocErrors.h"
#include "platform/xml/XmlDocument.h"

#include <functional>
#include <string>

// The stylesheet named by the document's top-level "xml-stylesheet" processing
// instructions: the href value in double quotes; the last such instruction
// decides. Empty when there is none, or when the deciding one has no href= or
// its value is not in double quotes.
std::string ProposeStylesheet(const brindle::XmlDocumentPtr& dom);

// The stylesheet path the Transform command uses: a relative path is taken to
// be beside the document (the folder of documentPath, up to and including its
// last separator). An empty path, an absolute one, and any path of a document
// that lives on an FTP server ("ftp://" address) are returned unchanged.
std::string ResolveStylesheetPath(const std::string& xslFile, const std::string& documentPath);

// Applies the XSL stylesheet xslFile to dom and writes the result (UTF-8, no byte
// order mark) to outputFile, replacing it all at once: a failed write leaves an
// existing file as it was. With openAfter, openDocument(outputFile) is then called
// to open the result as a document.
// Every failure adds its message to errors and returns false: no output file
// named, the stylesheet document cannot be created from the "parserAppId"
// setting, no stylesheet named, the stylesheet cannot be loaded, the
// transformation fails, the output cannot be written.
bool TransformDocument(const brindle::XmlDocumentPtr& dom, const std::string& outputFile,
                       const std::string& xslFile, bool openAfter,
                       const std::function<void(const std::string&)>& openDocument, DocErrors& errors);

// The same with the parser component named explicitly instead of by the setting.
bool TransformDocumentWith(const std::string& parserAppId, const brindle::XmlDocumentPtr& dom,
                           const std::string& outputFile, const std::string& xslFile, bool openAfter,
                           const std::function<void(const std::string&)>& openDocument, DocErrors& errors);
