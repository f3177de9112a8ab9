#pragma once

#include "app/document/DocErrors.h"
#include "app/document/TextEncoding.h"
#include "brindlekit/text/TextBuffer.h"

#include <string>
#include <string_view>

// Reading and writing a text buffer in a file's own encoding: the buffer holds
// UTF-8, the file keeps the encoding it came in.

// The whole text of the buffer, lines joined with the given break.
std::string GetWholeText(const brindle::CTextBuffer& buffer, const char* eol = "\r\n");

// Whole-file reads and atomic whole-file writes.
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// The encoding of the file at the path, from its first bytes.
FileEncoding DetectFileEncoding(const std::string& path);
// The line-break mode (an EolMode) of the file at the path, found as the text
// buffer finds it when loading (DetectEolMode), reading UTF-16 as code units.
int DetectFileLineBreaks(const std::string& path, const FileEncoding& encoding);

// Loads the file into the buffer, decoded to UTF-8, with the line-break style
// found in the file. A file whose bytes do not decode (or whose encoding is not
// known) is loaded as its bytes; form tells which. progress is told as the file
// is read; its false stops the load (false, the buffer as it was).
bool LoadEncodedText(brindle::CTextBuffer& buffer, const std::string& path, const FileEncoding& encoding,
                     TextForm& form, const brindle::FileProgress& progress = {});

// The encoding a decoded text goes out in: the one a byte-order mark stood for
// in the original file, else the one the declaration on the text's first line
// names.
FileEncoding EncodingToSave(const FileEncoding& fileEncoding, std::string_view firstLine);

// The bytes SaveEncodedText writes for the buffer, as one string. Adds the
// reason to errors and returns false when the text cannot be encoded.
bool EncodedBytes(const brindle::CTextBuffer& buffer, const FileEncoding& fileEncoding, TextForm form,
                  std::string& bytes, DocErrors& errors);

// Saves the buffer to the path. Decoded text goes out in the encoding it should
// have: the one a byte-order mark stood for in the original file, else the one
// the text's own declaration names. Text kept as the file's bytes is written as
// those bytes. Clears the buffer's modified state on success; adds the reason to
// errors and returns false when the text cannot be written. progress is told as
// the lines go out; its false abandons the save (false, no message, the file as
// it was).
bool SaveEncodedText(brindle::CTextBuffer& buffer, const std::string& path, const FileEncoding& fileEncoding,
                     TextForm form, DocErrors& errors, const brindle::FileProgress& progress = {});
