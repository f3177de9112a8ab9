#pragma once

#include "brindlekit/shell/ShellDirItem.h"
#include "platform/Export.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brindle {

// The outcome of reading a folder into the list.
struct ShellListResult {
    enum Code { kOk = 0, kEmptyPath = 1, kUnreadable = 2 };
    Code code = kOk;
    std::string message;  // for the user; empty when all went well
    bool Ok() const { return code == kOk; }
};

// The rows of the local directory list without a window: reading a folder's
// files, the extension filter, the texts of each column and sorting by a
// header click.
//
// Only files are listed: folders, hidden entries (names starting with ".")
// and entries that are not regular files never are. Dangling links and
// entries removed while the folder is read are skipped and remembered with a
// reason. Rows come in the byte order of their names until sorted.
class BRINDLEKIT_API ShellDirListModel {
public:
    enum Column { kName = 0, kSize = 1, kType = 2, kModified = 3, kColumnCount = 4 };
    // Added to a column in a sort parameter for a descending sort.
    static constexpr int kDescending = 256;
    // Gives a row its type description; the default names it by its extension.
    using Describe = std::function<std::string(const ShellDirItem&)>;

    // ---- Filter ----
    // An extension with its dot, e.g. ".xml"; empty shows every file.
    void SetFilter(std::string extension) { m_filter = std::move(extension); }
    const std::string& Filter() const { return m_filter; }
    // The part of the name from its last "." on must equal the filter exactly
    // (case-sensitive); a name without "." never matches a filter.
    static bool PassesFilter(const std::string& name, const std::string& filter);

    // ---- Reading ----
    // Replaces the rows by the files of a folder. On failure the rows read so
    // far stay and the message says what went wrong; an empty path clears the
    // list and the current folder.
    ShellListResult SetFolder(std::filesystem::path folder, const Describe& describe = {});
    // Reads the current folder again.
    ShellListResult Refresh(const Describe& describe = {}) { return SetFolder(m_folder, describe); }
    const std::filesystem::path& Folder() const { return m_folder; }
    const std::vector<ShellSkippedEntry>& Skipped() const { return m_skipped; }
    void Clear();

    // ---- Changes made by others ----
    // Each keeps the sort order and the filter and touches one row at most;
    // true when the rows changed.
    // A file appeared or changed: its row is added, or replaced and moved to
    // where the order puts it now. A name that is not listed (hidden,
    // filtered out, a folder, gone again) removes the row it may have had.
    bool FileChanged(const std::string& name, const Describe& describe = {});
    bool FileRemoved(const std::string& name);
    bool FileRenamed(const std::string& from, const std::string& to, const Describe& describe = {});
    // The folder shown was deleted or moved away: the list empties and the
    // reason says so. The folder stays current, so a refresh tells what is wrong.
    void FolderGone();
    // Why the list is empty when something outside emptied it; else empty.
    const std::string& Reason() const { return m_reason; }

    // ---- Rows ----
    std::size_t Count() const { return m_rows.size(); }
    const ShellDirItem& Row(std::size_t row) const { return m_rows[row]; }
    // The text of a cell; the name escaped.
    std::string Text(std::size_t row, int column) const;
    // The full path of a row: the folder, a separator and the name.
    std::filesystem::path ItemPath(std::size_t row) const;
    static std::string DefaultTypeName(const ShellDirItem& item);

    // ---- Sorting ----
    // Reacts to a click on a column header; returns the sort parameter used.
    int ClickColumn(int column);
    void Sort(int sortParam);
    // <0, 0 or >0 as the first row goes before, with or after the second.
    static int CompareProc(const ShellDirItem& first, const ShellDirItem& second, int sortParam);
    static int SortedColumn();
    static void SetSortedColumn(int column);
    // Modified times compare by the upper 32 bits of their count of 100 ns
    // ticks since 1601, as the system's file times are stored: about seven
    // minutes apart at least to differ.
    static std::uint32_t CoarseTime(std::time_t time);

private:
    // Reads one directory entry into a row; false when it is not listed, with
    // `skipped` saying why when that is worth telling.
    bool ReadRow(const std::filesystem::directory_entry& entry, ShellDirItem& item, std::string& skipped,
                 const Describe& describe) const;
    std::vector<ShellDirItem>::iterator Find(const std::string& name);

    std::filesystem::path m_folder;
    std::string m_reason;
    int m_sortParam = kName;  // the order the rows are in
    std::string m_filter;
    std::vector<ShellDirItem> m_rows;
    std::vector<ShellSkippedEntry> m_skipped;
};

} // namespace brindle
