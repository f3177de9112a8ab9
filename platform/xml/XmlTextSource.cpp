#include "platform/xml/XmlTextSource.h"

#include "platform/xml/NodeAccess.h"

#include <algorithm>

namespace brindle {

bool TextContains(XmlTextSource& source, std::string_view needle)
{
    const size_t overlap = needle.size() - 1;
    std::string tail;   // the last bytes read, for a needle split between pieces
    std::string joined; // tail and the start of the next piece (its capacity reused)
    bool found = false;
    source.Rewind();
    for (std::string_view piece = source.Next(); !piece.empty() && !found; piece = source.Next()) {
        joined.assign(tail).append(piece.substr(0, overlap));
        found = joined.find(needle) != std::string::npos || piece.find(needle) != std::string_view::npos;
        if (piece.size() >= overlap) {
            tail.assign(piece.substr(piece.size() - overlap));
        } else {
            tail.append(piece);
            tail.erase(0, tail.size() - std::min(tail.size(), overlap));
        }
    }
    source.Rewind();
    return found;
}

std::string LineOfText(XmlTextSource& source, long line)
{
    if (line <= 0) return {};
    source.Rewind();
    std::string text;
    long at = 1;
    constexpr size_t kLongest = 4096; // more than an error message quotes
    for (std::string_view piece = source.Next(); !piece.empty() && at <= line; piece = source.Next()) {
        while (!piece.empty() && at <= line) {
            const size_t end = std::min(piece.find('\n'), piece.size());
            if (at == line) text.append(piece.substr(0, std::min(end, kLongest - std::min(kLongest, text.size()))));
            if (end == piece.size()) break;
            ++at;
            piece.remove_prefix(end + 1);
        }
    }
    source.Rewind();
    return at >= line ? detail::SourceLine(&text, std::string(), 1) : std::string();
}

void QuoteWholeLine(XmlTextSource& source, XmlParseError& error)
{
    // The parser quotes the line from its buffer, which may end inside it.
    const std::string whole = LineOfText(source, error.line);
    if (error.srcText.empty() || whole.find(error.srcText) != std::string::npos) error.srcText = whole;
}

} // namespace brindle
