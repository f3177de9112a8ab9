#include "platform/net/FtpPaths.h"

#include <vector>

namespace brindle {

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

} // namespace brindle
