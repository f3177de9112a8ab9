#pragma once

#include "brindlekit/ftp/FTPDirItem.h"
#include "brindlekit/ftp/FTPFileFind.h"
#include "platform/Export.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brindle {

// The rows of the FTP directory list without a window: their order, the texts
// of each column and sorting by a header click.
//
// A new row goes in at position 1 (the first one at 0), so before any sort the
// rows read: the first file, then the later files in reverse listing order.
// A header click on the column sorted last sorts it descending, any other
// column ascending; the remembered column is shared by every list and starts
// at 0, so the first click on the name column sorts descending.
class BRINDLEKIT_API FTPDirListModel {
public:
    enum Column { kName = 0, kSize = 1, kType = 2, kModified = 3, kColumnCount = 4 };
    // Added to a column in a sort parameter for a descending sort.
    static constexpr int kDescending = 256;

    // ---- Rows ----
    void Clear() { m_rows.clear(); }
    void Add(CFTPDirItem item);
    // The row of the finder's current entry, without its type.
    static CFTPDirItem ItemOf(const CFTPFileFind& finder);
    // Adds a row for every file of a listing (directories are skipped), each
    // given its type by `describe`; walks the finder to its end and closes it.
    void AddListing(CFTPFileFind& finder, const std::function<void(CFTPDirItem&)>& describe);
    std::size_t Count() const { return m_rows.size(); }
    const CFTPDirItem& Row(std::size_t row) const { return *m_rows[row]; }
    // The text of a cell; the name escaped.
    std::string Text(std::size_t row, int column) const;

    // ---- Sorting ----
    // Reacts to a click on a column header; returns the sort parameter used.
    int ClickColumn(int column);
    void Sort(int sortParam);
    // <0, 0 or >0 as the first row goes before, with or after the second.
    static int CompareProc(const CFTPDirItem& first, const CFTPDirItem& second, int sortParam);
    static int SortedColumn();
    static void SetSortedColumn(int column);
    // The sort parameter of a click on `column`'s header: descending when the
    // column is `remembered` (which is then forgotten, so clicks on one header
    // alternate), ascending otherwise (and the column remembered).
    static int SortParamOfClick(int column, int& remembered);

    // ---- Column texts ----
    static std::string SizeText(std::uint64_t bytes);
    // Local time "%m/%d/%Y %I:%M:%S %p"; empty when the time cannot be shown.
    static std::string TimeText(std::time_t time);
    // The extension of a file name in lower case, without the dot; "" for none.
    static std::string ExtensionOf(const std::string& name);
    // The description of a type the system does not know: "XML File", "File".
    static std::string FallbackTypeName(const std::string& extension);

private:
    std::vector<std::unique_ptr<CFTPDirItem>> m_rows;
};

} // namespace brindle
