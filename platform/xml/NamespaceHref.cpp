#include "platform/xml/NamespaceHref.h"

#include "platform/xml/XmlEscape.h"

#include <libxml/entities.h>

#include <cstring>

namespace brindle::detail {

namespace {

constexpr const char* kEscaped = "&<\"\t\n\r";
constexpr int kMaxEntityDepth = 16;

// Decodes the reference that starts at text[i] ("&#...;" or, with a document,
// "&name;") onto out; returns the length consumed, 0 when it is not one.
size_t DecodeReference(std::string_view text, size_t i, xmlDocPtr doc, int depth, std::string& out);

void Decode(std::string_view text, xmlDocPtr doc, int depth, std::string& out)
{
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            if (size_t used = DecodeReference(text, i, doc, depth, out)) {
                i += used;
                continue;
            }
        }
        out += text[i++];
    }
}

size_t DecodeReference(std::string_view text, size_t i, xmlDocPtr doc, int depth, std::string& out)
{
    const size_t end = text.find(';', i);
    if (end == std::string_view::npos) return 0;
    const std::string_view body = text.substr(i + 1, end - i - 1);
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x';
        const std::string digits(body.substr(hex ? 2 : 1));
        if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                                  std::string::npos || digits.size() > 8)
            return 0;
        AppendUtf8(out, std::stoul(digits, nullptr, hex ? 16 : 10));
        return end - i + 1;
    }
    if (!doc || body.empty() || depth >= kMaxEntityDepth) return 0;
    const std::string name(body);
    const xmlEntity* entity = xmlGetPredefinedEntity(BAD_CAST name.c_str());
    if (!entity) entity = xmlGetDocEntity(doc, BAD_CAST name.c_str());
    if (!entity || !entity->content) return 0;
    Decode(reinterpret_cast<const char*>(entity->content), doc, depth + 1, out);
    return end - i + 1;
}

} // namespace

std::string HrefFromUri(std::string_view uri)
{
    std::string out;
    out.reserve(uri.size());
    for (char c : uri) {
        if (c && std::strchr(kEscaped, c)) out += "&#" + std::to_string(static_cast<int>(c)) + ";";
        else out += c;
    }
    return out;
}

std::string UriFromHref(const xmlChar* href)
{
    if (!href) return {};
    const std::string_view text(reinterpret_cast<const char*>(href));
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    Decode(text, nullptr, 0, out);
    return out;
}

bool ParsedHrefNeedsNormalising(const xmlChar* parsed)
{
    if (!parsed) return false;
    for (const xmlChar* p = parsed; *p; ++p)
        if (std::strchr(kEscaped, *p)) return true;
    return false;
}

std::string NormaliseParsedHref(xmlDocPtr doc, const xmlChar* parsed)
{
    std::string decoded;
    Decode(reinterpret_cast<const char*>(parsed), doc, 0, decoded);
    return HrefFromUri(decoded);
}

} // namespace brindle::detail
