#include "brindlekit/ftp/FTPDirListModel.h"

#include "platform/net/FtpNames.h"

#include <algorithm>
#include <cctype>

namespace brindle {

namespace {

// The column last sorted ascending, shared by every list; -1 after a
// descending sort.
int g_sortedColumn = FTPDirListModel::kName;

int Sign(int value) { return (value > 0) - (value < 0); }

template <typename T> int Order(const T& a, const T& b) { return (a > b) - (a < b); }

// Names compare by their upper-cased bytes.
int CompareNames(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::toupper(static_cast<unsigned char>(a[i]));
        const int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return Order(a.size(), b.size());
}

} // namespace

void FTPDirListModel::Add(CFTPDirItem item)
{
    const auto at = m_rows.begin() + static_cast<long>(std::min<std::size_t>(1, m_rows.size()));
    m_rows.insert(at, std::make_unique<CFTPDirItem>(std::move(item)));
}

CFTPDirItem FTPDirListModel::ItemOf(const CFTPFileFind& finder)
{
    CFTPDirItem item;
    item.name = finder.GetFileName();
    item.path = finder.GetFilePath();
    item.size = finder.GetLength();
    item.modified = finder.GetLastWriteTime();
    return item;
}

void FTPDirListModel::AddListing(CFTPFileFind& finder, const std::function<void(CFTPDirItem&)>& describe)
{
    bool more = true;
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDirectory()) continue;
        CFTPDirItem item = ItemOf(finder);
        describe(item);
        Add(std::move(item));
    }
    finder.Close();
}

std::string FTPDirListModel::Text(std::size_t row, int column) const
{
    const CFTPDirItem& item = Row(row);
    switch (column) {
    case kName:
        return FtpDisplayName(item.name);
    case kSize:
        return SizeText(item.size);
    case kType:
        return item.typeName;
    case kModified:
        return TimeText(item.modified);
    default:
        return {};
    }
}

int FTPDirListModel::SortParamOfClick(int column, int& remembered)
{
    if (column == remembered) {
        remembered = -1;
        return column + kDescending;
    }
    remembered = column;
    return column;
}

int FTPDirListModel::ClickColumn(int column)
{
    const int sortParam = SortParamOfClick(column, g_sortedColumn);
    Sort(sortParam);
    return sortParam;
}

void FTPDirListModel::Sort(int sortParam)
{
    std::stable_sort(m_rows.begin(), m_rows.end(), [sortParam](const auto& a, const auto& b) {
        return CompareProc(*a, *b, sortParam) < 0;
    });
}

int FTPDirListModel::CompareProc(const CFTPDirItem& first, const CFTPDirItem& second, int sortParam)
{
    const bool descending = sortParam >= kDescending;
    const CFTPDirItem& a = descending ? second : first;
    const CFTPDirItem& b = descending ? first : second;
    switch (sortParam % kDescending) {
    case kName:
        return CompareNames(a.name, b.name);
    case kSize:
        return Order(a.size, b.size);
    case kType:
        return Sign(a.typeName.compare(b.typeName));
    case kModified:
        return Order(a.modified, b.modified);
    default:
        return 0;
    }
}

int FTPDirListModel::SortedColumn() { return g_sortedColumn; }
void FTPDirListModel::SetSortedColumn(int column) { g_sortedColumn = column; }

std::string FTPDirListModel::SizeText(std::uint64_t bytes)
{
    return std::to_string(bytes / 1000) + " KB";
}

std::string FTPDirListModel::TimeText(std::time_t time)
{
    std::tm local{};
    if (!localtime_r(&time, &local)) return {};
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%m/%d/%Y %I:%M:%S %p", &local);
    return std::string(text, length);
}

std::string FTPDirListModel::ExtensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

std::string FTPDirListModel::FallbackTypeName(const std::string& extension)
{
    if (extension.empty()) return "File";
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return FtpDisplayName(upper) + " File";
}

} // namespace brindle
