#include "app/shell/DocTypeMatch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {

// The same document: the same text, or two names of one existing file (letter case
// on a case-insensitive volume, links). Paths that differ only in case name two
// files on most of our file systems, so case alone never makes a match.
bool SamePath(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    if (a.rfind("ftp://", 0) == 0 || b.rfind("ftp://", 0) == 0) return false;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

DocTypeMatch MatchDocTypeByPath(const std::vector<std::string>& openPaths, const std::string& filterExt,
                                const std::string& path)
{
    for (size_t i = 0; i < openPaths.size(); ++i)
        if (SamePath(openPaths[i], path)) return {MatchConfidence::AlreadyOpen, static_cast<int>(i)};
    const size_t dot = path.rfind('.');
    if (!filterExt.empty() && dot != std::string::npos && filterExt.find(path.substr(dot)) != std::string::npos)
        return {MatchConfidence::MaybeNative, -1};
    return {MatchConfidence::MaybeForeign, -1};
}

std::string NormalizeOpenPath(const std::string& raw)
{
    std::string path = raw.substr(!raw.empty() && raw.front() == '"' ? 1 : 0, 259);
    if (size_t quote = path.rfind('"'); quote != std::string::npos) path.erase(quote);
    if (path.rfind("ftp://", 0) == 0 || path.empty()) return path;
    std::error_code ec;
    auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

int DefaultDocKind(const std::vector<std::string>& filterExts)
{
    int chosen = -1;
    for (size_t i = 0; i < filterExts.size(); ++i) {
        std::string upper = filterExts[i];
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        if (upper.find(".XML") != std::string::npos) chosen = static_cast<int>(i);
    }
    return chosen;
}

std::string DocStringField(const std::string& docString, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = docString.find('\n', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    size_t end = docString.find('\n', start);
    return docString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string UntitledPath(const std::string& workingFolder, int number)
{
    std::string folder = workingFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "untitled-" + std::to_string(number);
}
