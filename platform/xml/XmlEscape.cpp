#include "platform/xml/XmlEscape.h"

#include <algorithm>
#include <cstdint>

namespace brindle {

namespace {

// The length of the UTF-8 sequence a lead byte starts.
std::size_t SequenceLength(unsigned char lead)
{
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// The character a UTF-8 sequence stands for.
char32_t DecodeSequence(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    char32_t c = sequence.size() == 1 ? lead : lead & (0x7F >> sequence.size());
    for (std::size_t i = 1; i < sequence.size(); ++i) c = (c << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    return c;
}

void AppendReference(std::string& out, char32_t c)
{
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ';'; break;
    }
}

} // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendXmlEscaped(std::string& out, std::string_view text, std::string_view specials, const XmlCharacterTest& holds)
{
    std::size_t start = 0; // of the stretch not yet appended
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t c = byte;
        bool escape = false;
        if (byte < 0x80) {
            escape = specials.find(text[i]) != std::string_view::npos;
        } else if (holds) {
            length = std::min(SequenceLength(byte), text.size() - i);
            c = DecodeSequence(text.substr(i, length));
            escape = !holds(c);
        }
        if (escape) {
            out.append(text.data() + start, i - start);
            AppendReference(out, c);
            start = i + length;
        }
        i += length;
    }
    out.append(text.data() + start, text.size() - start);
}

std::string XmlEscaped(std::string_view text, std::string_view specials)
{
    std::string out;
    out.reserve(text.size());
    AppendXmlEscaped(out, text, specials);
    return out;
}

} // namespace brindle
