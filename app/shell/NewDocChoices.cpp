#include "app/shell/NewDocChoices.h"

#include "app/shell/DocTypeMatch.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

std::vector<NewDocItem> NewDocItems(const std::vector<NewDocKind>& kinds, const fs::path& templateFolder)
{
    std::vector<NewDocItem> items;
    for (std::size_t i = 0; i < kinds.size(); ++i) items.push_back({kinds[i].typeName, static_cast<int>(i), false, {}});

    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(templateFolder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        // As the pattern "*.xml" matches: the extension exactly, in lower case.
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".xml") != 0 || name.front() == '.') continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue; // folders, dangling links
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            if (MatchDocTypeByPath({}, kinds[i].extensions, file.string()).confidence != MatchConfidence::MaybeNative)
                continue;
            items.push_back({file.filename().string(), static_cast<int>(i), true, file.string()});
        }
    }
    return items;
}

std::string NewDocFullPath(const std::string& location, const std::string& fileName)
{
    if (fileName.empty()) return {};
    if (fileName.front() == '/') return fileName;
    if (location.empty()) return fs::absolute(fileName).string();
    return location.back() == '/' ? location + fileName : location + "/" + fileName;
}
