#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// What a failed load, loadXML or validate reports.
// errorCode: 0 when there is no error; otherwise 0xC00C0000 | the underlying
//   libxml2/libxslt error number (low 16 bits), so it is always non-zero.
// line: from 1 (0 when no position is known); linepos: column from 1 (0 unknown);
// filepos: byte offset of the error from the start of the input (0 unknown).
// reason: one-line description; srcText: the text of the offending line (UTF-8,
// without the line break); url: the file or base URL the error refers to.
struct XmlParseError {
    uint32_t errorCode = 0;
    long line = 0;
    long linepos = 0;
    long filepos = 0;
    std::string reason;
    std::string srcText;
    std::string url;

    bool Failed() const { return errorCode != 0; }
};

} // namespace brindle
