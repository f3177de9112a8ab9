#include "platform/net/FtpPaths.h"

#include <algorithm>
#include <curl/curl.h>
#include <memory>
#include <vector>

namespace brindle {

namespace {

// Reads one part of a parsed URL, percent-decoded, into `value` (nullopt when
// the URL has none); false when it does not decode (an encoded NUL).
bool UrlPart(CURLU* url, CURLUPart part, std::optional<std::string>& value)
{
    char* text = nullptr;
    const CURLUcode code = curl_url_get(url, part, &text, part == CURLUPART_PORT ? 0 : CURLU_URLDECODE);
    value.reset();
    if (code == CURLUE_OK) {
        value = text;
        curl_free(text);
        return true;
    }
    return code != CURLUE_URLDECODE && code != CURLUE_OUT_OF_MEMORY;
}

bool HasControlCharacter(const std::optional<std::string>& text)
{
    return text && std::any_of(text->begin(), text->end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
           });
}

// A host name's letters, digits, ".", "-", "_" and the bytes of a non-ASCII
// name; an address in brackets has been checked by the parser.
bool IsHostName(const std::string& host)
{
    if (host.empty()) return false;
    if (host.front() == '[') return true;
    return std::all_of(host.begin(), host.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
               u == '-' || u == '_';
    });
}

} // namespace

std::string FtpResolvePath(const std::string& current, const std::string& path)
{
    const std::string whole = !path.empty() && path[0] == '/' ? path : current + "/" + path;
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= whole.size()) {
        std::size_t slash = whole.find('/', at);
        if (slash == std::string::npos) slash = whole.size();
        const std::string part = whole.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string FtpServerUrl(const std::string& host, std::uint16_t port)
{
    const bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
    return "ftp://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string FtpPathUrl(const std::string& server, const std::string& absolutePath, bool folder)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = server + "/%2F";
    for (std::size_t i = absolutePath.empty() || absolutePath[0] != '/' ? 0 : 1; i < absolutePath.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(absolutePath[i]);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '/') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    if (folder && url.back() != '/' && absolutePath != "/") url += '/';
    return url;
}

std::optional<FtpUrl> ParseFtpUrl(const std::string& url)
{
    const std::string scheme = "ftp://";
    if (url.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    // The library would read "ftp:///name" as the host "name".
    if (url.size() == scheme.size() || url[scheme.size()] == '/') return std::nullopt;
    std::string text;
    for (const char c : url) text += c == '#' ? "%23" : c == '?' ? "%3F" : std::string(1, c);

    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), CURLU_ALLOW_SPACE) != CURLUE_OK)
        return std::nullopt;
    FtpUrl parts;
    std::optional<std::string> host, port, path;
    CURLU* const u = parsed.get();
    if (!UrlPart(u, CURLUPART_USER, parts.user) || !UrlPart(u, CURLUPART_PASSWORD, parts.password) ||
        !UrlPart(u, CURLUPART_HOST, host) || !UrlPart(u, CURLUPART_PORT, port) || !UrlPart(u, CURLUPART_PATH, path))
        return std::nullopt;
    if (!host || !IsHostName(*host) || !path || HasControlCharacter(parts.user) ||
        HasControlCharacter(parts.password) || HasControlCharacter(path))
        return std::nullopt;
    if (port) {
        // The parser has checked that it is a number up to 65535.
        const unsigned long number = std::stoul(*port);
        if (number == 0) return std::nullopt;
        parts.port = static_cast<std::uint16_t>(number);
    }
    parts.host = *host;
    parts.path = *path;
    return parts;
}

} // namespace brindle
