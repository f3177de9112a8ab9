#pragma once

#include <string>

namespace brindle {

// How a document's file was stored, which saving the document keeps: the
// encoding to write when no XML declaration names one (empty: UTF-8) and the
// byte-order mark the file began with (empty, "UTF-8", "UTF-16LE" or "UTF-16BE"),
// and the line break written between lines (empty or "\n": a line feed; "\r\n").
struct XmlFileForm {
    std::string encoding;
    std::string byteOrderMark;
    std::string lineBreak;
    bool operator==(const XmlFileForm&) const = default;
};

} // namespace brindle
