#include "app/views/PreviewLoadRules.h"

#include <cctype>
#include <string>

namespace {

// The URL's scheme in lower case, "" when it has none (RFC 3986: a letter, then
// letters, digits, "+", "-" or ".", ended by ":").
std::string SchemeOf(std::string_view url)
{
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    std::string scheme;
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        const bool valid = std::isalpha(c) || (i > 0 && (std::isdigit(c) || c == '+' || c == '-' || c == '.'));
        if (!valid) return {};
        scheme += static_cast<char>(std::tolower(c));
    }
    return scheme;
}

} // namespace

bool IsPreviewLoadAllowed(std::string_view url)
{
    const std::string scheme = SchemeOf(url);
    return scheme == "file" || scheme == "data" || scheme == "about";
}

std::string_view PreviewContentRules()
{
    // Later rules override earlier ones; url-filter patterns match without regard
    // to case unless told otherwise.
    return R"([
  {"trigger": {"url-filter": ".*"}, "action": {"type": "block"}},
  {"trigger": {"url-filter": "^file:"}, "action": {"type": "ignore-previous-rules"}},
  {"trigger": {"url-filter": "^data:"}, "action": {"type": "ignore-previous-rules"}}
])";
}
