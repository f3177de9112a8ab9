// Reading a loaded document's original text back in pieces.

#include "platform/xml/SpliceText.h"

#include <cstring>

namespace brindle::detail {

namespace {

bool StartsWith(std::string_view text, uint64_t at, std::string_view prefix)
{
    return at <= text.size() && text.substr(at, prefix.size()) == prefix;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Offset past the first `close` at or after `from` and before `to`; 0 if none.
uint64_t PastClose(std::string_view text, uint64_t from, uint64_t to, std::string_view close)
{
    const size_t at = text.substr(0, to).find(close, from);
    return at == std::string_view::npos ? 0 : at + close.size();
}

bool IsPredefined(std::string_view name)
{
    return name == "lt" || name == "gt" || name == "amp" || name == "apos" || name == "quot";
}

void AppendUtf8(std::string& out, uint32_t c)
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

// Decodes the reference at raw[i] ("&...;") into out; returns the length
// consumed, 0 when it is not a character or predefined reference.
size_t DecodeReference(std::string_view raw, size_t i, std::string& out)
{
    const size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos) return 0;
    const std::string_view name = raw.substr(i + 1, semi - i - 1);
    if (!name.empty() && name[0] == '#') {
        const bool hex = name.size() > 1 && name[1] == 'x';
        const std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty()) return 0;
        char* stop = nullptr;
        const unsigned long c = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (*stop) return 0;
        AppendUtf8(out, static_cast<uint32_t>(c));
    } else if (name == "lt") {
        out += '<';
    } else if (name == "gt") {
        out += '>';
    } else if (name == "amp") {
        out += '&';
    } else if (name == "apos") {
        out += '\'';
    } else if (name == "quot") {
        out += '"';
    } else {
        return 0;
    }
    return semi - i + 1;
}

// Appends text with its line ends as the parser leaves them (CR LF and CR as LF).
void AppendLines(std::string& out, std::string_view raw)
{
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r') {
            out += raw[i];
            continue;
        }
        out += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    }
}

} // namespace

bool TokenizeContent(std::string_view text, uint64_t from, uint64_t to, const SourceSpans& spans,
                     std::vector<ContentToken>& out)
{
    out.clear();
    if (to > text.size() || from > to) return false;
    uint64_t pos = from;
    while (pos < to) {
        ContentToken token{ContentToken::Text, pos, 0, nullptr};
        const char c = text[pos];
        if (c == '<') {
            if (StartsWith(text, pos, "<!--")) {
                token = {ContentToken::Comment, pos, PastClose(text, pos + 4, to, "-->")};
            } else if (StartsWith(text, pos, "<![CDATA[")) {
                token = {ContentToken::CData, pos, PastClose(text, pos + 9, to, "]]>")};
            } else if (StartsWith(text, pos, "<?")) {
                token = {ContentToken::Pi, pos, PastClose(text, pos + 2, to, "?>")};
            } else if (StartsWith(text, pos, "<!DOCTYPE")) {
                if (pos != spans.doctypeStart || spans.doctypeEnd <= pos) return false;
                token = {ContentToken::Doctype, pos, spans.doctypeEnd};
            } else {
                const ElementSpan* element = spans.AtStart(pos);
                if (!element || element->end > to) return false;
                token = {ContentToken::Element, pos, element->end, element};
            }
            if (token.end == 0) return false;
        } else if (c == '&' && pos + 1 < to && text[pos + 1] != '#') {
            const size_t semi = text.substr(0, to).find(';', pos);
            if (semi == std::string_view::npos) return false;
            if (!IsPredefined(text.substr(pos + 1, semi - pos - 1)))
                token = {ContentToken::EntityRef, pos, semi + 1};
        }
        if (token.kind == ContentToken::Text && token.end == 0) {
            // Character data up to markup or a reference to a general entity.
            uint64_t end = pos + 1;
            while (end < to && text[end] != '<') {
                if (text[end] == '&' && end + 1 < to && text[end + 1] != '#') {
                    const size_t semi = text.substr(0, to).find(';', end);
                    if (semi == std::string_view::npos) return false;
                    if (!IsPredefined(text.substr(end + 1, semi - end - 1))) break;
                }
                ++end;
            }
            token.end = end;
        }
        out.push_back(token);
        pos = token.end;
    }
    return true;
}

std::string_view PiTarget(std::string_view text, const ContentToken& token)
{
    uint64_t end = token.start + 2;
    while (end < token.end - 2 && !IsSpace(text[end])) ++end;
    return text.substr(token.start + 2, end - token.start - 2);
}

bool TokenValue(std::string_view text, const ContentToken& token, std::string& value)
{
    value.clear();
    const std::string_view raw = text.substr(token.start, token.end - token.start);
    switch (token.kind) {
    case ContentToken::Text: {
        std::string lines;
        AppendLines(lines, raw);
        for (size_t i = 0; i < lines.size();) {
            if (lines[i] == '&') {
                const size_t used = DecodeReference(lines, i, value);
                if (!used) return false;
                i += used;
            } else {
                value += lines[i++];
            }
        }
        return true;
    }
    case ContentToken::Comment: AppendLines(value, raw.substr(4, raw.size() - 7)); return true;
    case ContentToken::CData: AppendLines(value, raw.substr(9, raw.size() - 12)); return true;
    case ContentToken::Pi: {
        size_t at = 2 + PiTarget(text, token).size();
        while (at < raw.size() - 2 && IsSpace(raw[at])) ++at;
        AppendLines(value, raw.substr(at, raw.size() - 2 - at));
        return true;
    }
    case ContentToken::EntityRef: value.assign(raw.substr(1, raw.size() - 2)); return true;
    case ContentToken::Element:
    case ContentToken::Doctype: return false;
    }
    return false;
}

bool ParseStartTag(std::string_view text, uint64_t start, uint64_t length, StartTag& tag)
{
    if (start + length > text.size() || length < 3 || text[start] != '<') return false;
    const uint64_t end = start + length;
    uint64_t pos = start + 1;
    const auto nameEnd = [&](uint64_t at) {
        while (at < end && !IsSpace(text[at]) && text[at] != '=' && text[at] != '>' && text[at] != '/') ++at;
        return at;
    };
    uint64_t stop = nameEnd(pos);
    tag.name = text.substr(pos, stop - pos);
    tag.attributes.clear();
    pos = stop;
    for (;;) {
        const uint64_t before = pos;
        while (pos < end && IsSpace(text[pos])) ++pos;
        if (pos >= end) return false;
        if (text[pos] == '>' || text[pos] == '/') {
            tag.closeStart = before;
            tag.empty = text[pos] == '/';
            return text[end - 1] == '>' && (tag.empty ? pos == end - 2 : pos == end - 1) && !tag.name.empty();
        }
        TagAttribute a{before, pos, 0, 0, 0, {}};
        stop = nameEnd(pos);
        a.name = text.substr(pos, stop - pos);
        pos = stop;
        while (pos < end && IsSpace(text[pos])) ++pos;
        if (pos >= end || text[pos] != '=') return false;
        ++pos;
        while (pos < end && IsSpace(text[pos])) ++pos;
        if (pos >= end || (text[pos] != '"' && text[pos] != '\'')) return false;
        a.quote = text[pos];
        a.valueStart = ++pos;
        while (pos < end && text[pos] != a.quote) ++pos;
        if (pos >= end || a.name.empty()) return false;
        a.end = ++pos;
        tag.attributes.push_back(a);
    }
}

bool AttributeValue(std::string_view raw, const EntityText& entities, std::string& value)
{
    value.clear();
    for (size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '&') {
            const size_t used = DecodeReference(raw, i, value);
            if (used) {
                i += used;
                continue;
            }
            const size_t semi = raw.find(';', i);
            const char* replacement = semi == std::string_view::npos || !entities
                                          ? nullptr
                                          : entities(std::string(raw.substr(i + 1, semi - i - 1)));
            // Only plain replacement text is decoded here; nested markup is not.
            if (!replacement || std::strpbrk(replacement, "&<")) return false;
            for (const char* r = replacement; *r; ++r) value += IsSpace(*r) ? ' ' : *r;
            i = semi + 1;
        } else if (c == '\r') {
            value += ' ';
            i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
        } else {
            value += IsSpace(c) ? ' ' : c;
            ++i;
        }
    }
    return true;
}

} // namespace brindle::detail
