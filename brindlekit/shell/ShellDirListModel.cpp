#include "brindlekit/shell/ShellDirListModel.h"

#include "brindlekit/ftp/FTPDirListModel.h"
#include "platform/io/DisplayName.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace brindle {

namespace fs = std::filesystem;

namespace {

// The column last sorted ascending, shared by every local list; -1 after a
// descending sort.
int g_sortedColumn = ShellDirListModel::kName;

template <typename T> int Order(const T& a, const T& b) { return (a > b) - (a < b); }

std::string CannotRead(const fs::path& folder, const std::error_code& error)
{
    return "The folder \"" + EscapedDisplayName(folder.string()) + "\" cannot be read: " +
           error.message() + ".";
}

} // namespace

bool ShellDirListModel::PassesFilter(const std::string& name, const std::string& filter)
{
    if (filter.empty()) return true;
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, filter) == 0;
}

void ShellDirListModel::Clear()
{
    m_rows.clear();
    m_skipped.clear();
}

bool ShellDirListModel::ReadRow(const fs::directory_entry& entry, ShellDirItem& item, std::string& skipped,
                                const Describe& describe) const
{
    std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') return false;
    // One stat for type, size and time: large folders are read at the pace
    // of the system calls.
    struct stat info {};
    if (::stat(entry.path().c_str(), &info) != 0) {
        const int error = errno;
        struct stat own {};
        if (error != ENOENT) skipped = std::strerror(error);
        else if (::lstat(entry.path().c_str(), &own) == 0 && S_ISLNK(own.st_mode)) skipped = "the link points nowhere";
        else skipped = "removed while being read";
        return false;
    }
    if (S_ISDIR(info.st_mode)) return false;
    if (!S_ISREG(info.st_mode)) {
        skipped = "not a regular file";
        return false;
    }
    if (!PassesFilter(name, m_filter)) return false;
    item = ShellDirItem{};
    item.path = entry.path();
    item.size = static_cast<std::uint64_t>(info.st_size);
    item.modified = info.st_mtime;
    item.name = std::move(name);
    item.typeName = describe ? describe(item) : DefaultTypeName(item);
    return true;
}

ShellListResult ShellDirListModel::SetFolder(fs::path folder, const Describe& describe)
{
    Clear();
    m_reason.clear();
    m_sortParam = kName;
    m_folder = folder;
    if (folder.empty()) return {ShellListResult::kEmptyPath, {}};

    ShellListResult result;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        m_folder.clear();
        return {ShellListResult::kUnreadable, CannotRead(folder, error)};
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        ShellDirItem item;
        std::string skipped;
        if (ReadRow(*it, item, skipped, describe)) m_rows.push_back(std::move(item));
        else if (!skipped.empty()) m_skipped.push_back({it->path().filename().string(), skipped});
    }
    if (error) result = {ShellListResult::kUnreadable, CannotRead(folder, error)};
    std::sort(m_rows.begin(), m_rows.end(),
              [](const ShellDirItem& a, const ShellDirItem& b) { return a.name < b.name; });
    return result;
}

std::vector<ShellDirItem>::iterator ShellDirListModel::Find(const std::string& name)
{
    return std::find_if(m_rows.begin(), m_rows.end(), [&](const ShellDirItem& row) { return row.name == name; });
}

bool ShellDirListModel::FileChanged(const std::string& name, const Describe& describe)
{
    if (m_folder.empty() || name.empty() || name.find('/') != std::string::npos) return false;
    std::error_code error;
    const fs::directory_entry entry(m_folder / name, error);
    ShellDirItem item;
    std::string skipped;
    if (error || !ReadRow(entry, item, skipped, describe)) return FileRemoved(name);
    const auto old = Find(name);
    if (old != m_rows.end()) m_rows.erase(old);
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), item, [this](const auto& a, const auto& b) {
        return CompareProc(a, b, m_sortParam) < 0;
    });
    m_rows.insert(at, std::move(item));
    return true;
}

bool ShellDirListModel::FileRemoved(const std::string& name)
{
    const auto old = Find(name);
    if (old == m_rows.end()) return false;
    m_rows.erase(old);
    return true;
}

bool ShellDirListModel::FileRenamed(const std::string& from, const std::string& to, const Describe& describe)
{
    const bool removed = FileRemoved(from);
    return FileChanged(to, describe) || removed;
}

void ShellDirListModel::FolderGone()
{
    Clear();
    m_reason = "The folder \"" + EscapedDisplayName(m_folder.string()) + "\" was deleted or moved away.";
}

std::string ShellDirListModel::Text(std::size_t row, int column) const
{
    const ShellDirItem& item = Row(row);
    switch (column) {
    case kName:
        return EscapedDisplayName(item.name);
    case kSize:
        return FTPDirListModel::SizeText(item.size);
    case kType:
        return item.typeName;
    case kModified:
        return FTPDirListModel::TimeText(item.modified);
    default:
        return {};
    }
}

fs::path ShellDirListModel::ItemPath(std::size_t row) const { return m_folder / Row(row).name; }

std::string ShellDirListModel::DefaultTypeName(const ShellDirItem& item)
{
    return FTPDirListModel::FallbackTypeName(FTPDirListModel::ExtensionOf(item.name));
}

int ShellDirListModel::ClickColumn(int column)
{
    const int sortParam = FTPDirListModel::SortParamOfClick(column, g_sortedColumn);
    Sort(sortParam);
    return sortParam;
}

void ShellDirListModel::Sort(int sortParam)
{
    m_sortParam = sortParam;
    std::stable_sort(m_rows.begin(), m_rows.end(), [sortParam](const auto& a, const auto& b) {
        return CompareProc(a, b, sortParam) < 0;
    });
}

int ShellDirListModel::CompareProc(const ShellDirItem& first, const ShellDirItem& second, int sortParam)
{
    const bool descending = sortParam >= kDescending;
    const ShellDirItem& a = descending ? second : first;
    const ShellDirItem& b = descending ? first : second;
    switch (sortParam % kDescending) {
    case kName:
        // Byte by byte, so "B" goes before "a".
        return Order(a.name.compare(b.name), 0);
    case kSize:
        return Order(a.size, b.size);
    case kType:
        return Order(a.typeName.compare(b.typeName), 0);
    case kModified:
        return Order(CoarseTime(a.modified), CoarseTime(b.modified));
    default:
        return 0;
    }
}

int ShellDirListModel::SortedColumn() { return g_sortedColumn; }
void ShellDirListModel::SetSortedColumn(int column) { g_sortedColumn = column; }

std::uint32_t ShellDirListModel::CoarseTime(std::time_t time)
{
    // Seconds from 1601-01-01 to 1970-01-01.
    constexpr std::int64_t kEpochGap = 11644473600;
    const std::int64_t ticks = (static_cast<std::int64_t>(time) + kEpochGap) * 10000000;
    return ticks < 0 ? 0 : static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32);
}

} // namespace brindle
