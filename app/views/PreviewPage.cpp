#include "app/views/PreviewPage.h"

#include <algorithm>
#include <cctype>

namespace {

// Scripts the web view's own interface runs may still evaluate; the page's own
// scripts, inline or loaded, may not run.
constexpr const char* kPolicy =
    "default-src 'none'; script-src 'unsafe-eval'; style-src 'unsafe-inline' file:; img-src file: data:; "
    "font-src file: data:; media-src file: data:";

std::string HeadItems(const std::string& baseUrl)
{
    return "<meta charset=\"utf-8\"><meta http-equiv=\"Content-Security-Policy\" content=\"" + std::string(kPolicy) +
           "\"><base href=\"" + EscapeHtml(baseUrl) + "\">";
}

// Where the tag named `name` ends ("<name" then its ">"), searched in the start
// of the page without regard to case; npos when it is not there.
std::size_t AfterTag(const std::string& page, const char* name)
{
    const std::size_t limit = std::min<std::size_t>(page.size(), 64 * 1024);
    const std::string tag = std::string("<") + name;
    const auto begin = page.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(limit);
    const auto found = std::search(begin, end, tag.begin(), tag.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    if (found == end) return std::string::npos;
    const std::size_t at = static_cast<std::size_t>(found - begin) + tag.size();
    // "<header" is not "<head".
    if (at < page.size() && std::isalnum(static_cast<unsigned char>(page[at]))) return std::string::npos;
    const std::size_t close = page.find('>', at);
    return close == std::string::npos ? std::string::npos : close + 1;
}

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string MakePreviewPage(const brindle::PreviewOutput& output, const std::string& baseUrl)
{
    const std::string head = HeadItems(baseUrl);
    if (output.mimeType == "text/plain")
        return "<!DOCTYPE html><html><head>" + head + "</head><body><pre style=\"white-space: pre-wrap\">" +
               EscapeHtml(output.content) + "</pre></body></html>";
    std::string page = output.content;
    if (std::size_t at = AfterTag(page, "head"); at != std::string::npos) return page.insert(at, head);
    if (std::size_t at = AfterTag(page, "html"); at != std::string::npos) return page.insert(at, "<head>" + head + "</head>");
    // No head or html tag: items before the content start the implied head.
    return head + page;
}
