#pragma once

#include "app/document/TextEncoding.h"

#include <string>

namespace brindle {
class CTextBuffer;
}

// Reading and writing a text buffer in a file's own encoding: the buffer holds
// UTF-8, the file keeps the encoding it came in.

// The whole text of the buffer, lines joined with the given break.
std::string GetWholeText(const brindle::CTextBuffer& buffer, const char* eol = "\r\n");

// Whole-file reads and atomic whole-file writes.
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// The encoding of the file at the path, from its first bytes.
FileEncoding DetectFileEncoding(const std::string& path);

// Loads the file into the buffer, decoded to UTF-8, with the line-break style
// found in the file. Bytes that do not decode are loaded as they are.
bool LoadEncodedText(brindle::CTextBuffer& buffer, const std::string& path, const FileEncoding& encoding);

// Saves the buffer to the path in the encoding its text should have: the one a
// byte-order mark stood for in the original file, else the one the text's own
// declaration names. Clears the buffer's modified state on success; tells the
// user and returns false when the text cannot be written.
bool SaveEncodedText(brindle::CTextBuffer& buffer, const std::string& path, const FileEncoding& fileEncoding);
