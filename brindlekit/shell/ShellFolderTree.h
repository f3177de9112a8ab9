#pragma once

#include "brindlekit/shell/ShellDirItem.h"
#include "brindlekit/shell/ShellFolderEntry.h"
#include "platform/Export.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brindle {

// A starting point of the folder tree: its title and folder.
struct ShellRoot {
    std::string title;
    std::filesystem::path path;
};

// The local folder tree without a window. Only folders appear; each level is
// read when its parent is first expanded and not before. Hidden folders
// (names starting with ".") are left out, links to folders are followed and
// dangling links skipped with a reason.
class BRINDLEKIT_API ShellFolderTree {
public:
    // Replaces the whole tree by these roots; nothing below them is read yet.
    void SetRoots(const std::vector<ShellRoot>& roots);
    std::size_t RootCount() const { return m_roots.size(); }
    ShellFolderEntry& Root(std::size_t index) { return *m_roots[index]; }

    // Reads the entry's subfolders the first time; later calls do nothing.
    // Returns false when they cannot be read; the entry's problem then says why.
    bool Expand(ShellFolderEntry& entry);
    // Forgets the entry's children and, when it had been expanded, reads them again.
    bool Refresh(ShellFolderEntry& entry);
    // The text an entry shows: its name escaped.
    static std::string Label(const ShellFolderEntry& entry);
    // Folders read so far, counting each expansion and refresh once.
    std::size_t FolderReads() const { return m_reads; }
    // Entries of the last folder read that were left out, and why.
    const std::vector<ShellSkippedEntry>& Skipped() const { return m_skipped; }

    // Whether a folder holds a subfolder that would be shown. Stops at the
    // first one found; a folder that cannot be looked into is assumed to have
    // some, so that expanding it tells the user why it cannot be read.
    static bool HasSubfolders(const std::filesystem::path& folder);

private:
    std::vector<std::unique_ptr<ShellFolderEntry>> m_roots;
    std::vector<ShellSkippedEntry> m_skipped;
    std::size_t m_reads = 0;
};

} // namespace brindle
