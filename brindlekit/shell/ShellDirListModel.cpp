#include "brindlekit/shell/ShellDirListModel.h"

#include "brindlekit/ftp/FTPDirListModel.h"
#include "platform/io/DisplayName.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace brindle {

namespace fs = std::filesystem;

namespace {

// The column last sorted ascending, shared by every local list; -1 after a
// descending sort.
int g_sortedColumn = ShellDirListModel::kName;

template <typename T> int Order(const T& a, const T& b) { return (a > b) - (a < b); }

std::time_t ToTimeT(fs::file_time_type time)
{
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
}

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

ShellListResult ShellDirListModel::SetFolder(fs::path folder, const Describe& describe)
{
    Clear();
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
        const fs::directory_entry& entry = *it;
        std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code statError;
        const fs::file_status status = entry.status(statError);
        if (status.type() == fs::file_type::not_found) {
            const bool link = entry.is_symlink(statError);
            m_skipped.push_back({name, link ? "the link points nowhere" : "removed while being read"});
            continue;
        }
        if (fs::is_directory(status)) continue;
        if (!fs::is_regular_file(status)) {
            m_skipped.push_back({name, statError ? statError.message() : "not a regular file"});
            continue;
        }
        if (!PassesFilter(name, m_filter)) continue;
        ShellDirItem item;
        item.path = entry.path();
        item.size = entry.file_size(statError);
        if (!statError) item.modified = ToTimeT(entry.last_write_time(statError));
        if (statError) {
            m_skipped.push_back({name, statError.message()});
            continue;
        }
        item.name = std::move(name);
        item.typeName = describe ? describe(item) : DefaultTypeName(item);
        m_rows.push_back(std::move(item));
    }
    if (error) result = {ShellListResult::kUnreadable, CannotRead(folder, error)};
    std::sort(m_rows.begin(), m_rows.end(),
              [](const ShellDirItem& a, const ShellDirItem& b) { return a.name < b.name; });
    return result;
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
