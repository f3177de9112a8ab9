#include "app/views/PreviewPage.h"

#include "platform/xml/XmlEscape.h"

#include <cctype>
#include <string_view>

namespace {

// HTML does not normalise white space in attribute values, so its text and its
// attribute values escape the same characters.
constexpr std::string_view kHtmlSpecials = "&<>\"";

// The page's own scripts, inline or loaded, may not run; scripts given through
// the web view's interface may still evaluate where the view's script is on
// (the preview keeps it off).
constexpr const char* kPolicy =
    "default-src 'none'; script-src 'unsafe-eval'; style-src 'unsafe-inline' file:; img-src file: data:; "
    "font-src file: data:; media-src file: data:";

std::string HeadItems(const std::string& baseUrl)
{
    return "<meta charset=\"utf-8\"><meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(kPolicy) +
           "\"><base href=\"" + brindle::XmlEscaped(baseUrl, kHtmlSpecials) + "\">";
}

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

bool StartsWithNoCase(const std::string& text, std::size_t at, std::string_view prefix)
{
    if (text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

// Where the head items go: before any markup of the page's own, so that nothing
// in it (elements ahead of its head, a comment left open) runs before them or
// swallows them. Only what cannot hide markup stays ahead: a byte order mark,
// white space (as HTML counts it), XML declarations (which an HTML parser takes for comments ending
// at the first ">") and a document type declaration (which also ends at the
// first ">"), so that the page keeps its rendering mode.
std::size_t StartOfMarkup(const std::string& page)
{
    std::size_t at = page.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (;;) {
        while (at < page.size() && IsHtmlSpace(page[at])) ++at;
        const bool doctype = StartsWithNoCase(page, at, "<!doctype");
        if (!doctype && !StartsWithNoCase(page, at, "<?")) return at;
        const std::size_t close = page.find('>', at);
        if (close == std::string::npos) return at;
        at = close + 1;
        if (doctype) return at;
    }
}

} // namespace

std::string MakePreviewPage(const brindle::PreviewOutput& output, const std::string& baseUrl)
{
    const std::string head = HeadItems(baseUrl);
    if (output.mimeType == "text/plain")
        return "<!DOCTYPE html><html><head>" + head + "</head><body><pre style=\"white-space: pre-wrap\">" +
               brindle::XmlEscaped(output.content, kHtmlSpecials) + "</pre></body></html>";
    std::string page = output.content;
    // The HTML parser puts the items into the head it starts for them, and folds
    // the page's own html and head tags into it.
    return page.insert(StartOfMarkup(page), head);
}
