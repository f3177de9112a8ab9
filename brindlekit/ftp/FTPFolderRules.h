#pragma once

#include "brindlekit/ftp/FTPFileFind.h"
#include "brindlekit/ftp/FTPFolderItem.h"
#include "platform/Export.h"

#include <string>
#include <vector>

namespace brindle {

// The folder tree's decisions, apart from the window: what an entry is, what
// expanding or clicking it does, and which entries of a listing become folders.
namespace ftp_tree {

// The root is the tree's one root entry, its children are servers, every
// deeper entry is a folder: position alone decides.
enum class EntryKind { None, Root, Server, Folder };
BRINDLEKIT_API EntryKind KindOf(bool isSet, bool isRoot, bool parentIsRoot);

// What ExpandItem does with an entry.
enum class Expansion {
    Nothing,       // no entry, the root, or an entry expanded before
    OpenServer,    // connect and add the initial folder, listing nothing yet
    ListFolder,    // list the folder and add its subfolders
    RefuseFolder,  // a folder whose name cannot be sent back: say so, list nothing
};
BRINDLEKIT_API Expansion ExpansionOf(EntryKind kind, bool expandedOnce, bool listable);

// The tree's expanding notification opens servers (folders list on a click),
// and only while the expansion flag is on.
BRINDLEKIT_API bool ExpandsOnExpanding(EntryKind kind, bool expansionFlag);
// A click lists the selected folder while it has no subfolders yet.
BRINDLEKIT_API bool ExpandsOnClick(EntryKind kind, bool hasChildren);

// The first folder below a server: its initial directory as name and path.
BRINDLEKIT_API CFTPFolderItem InitialFolder(CFTPFolderServer* server);

// The subfolders in a listing, in the server's order; "." and ".." are none.
// The finder is walked to its end and closed.
BRINDLEKIT_API std::vector<CFTPFolderItem> SubfoldersOf(CFTPFileFind& finder, CFTPFolderServer* server);

// The text an entry shows for a folder: its name escaped.
BRINDLEKIT_API std::string FolderText(const CFTPFolderItem& folder);

// What the user is told when a folder's name cannot be used.
BRINDLEKIT_API std::string UnusableFolderMessage(const CFTPFolderItem& folder);

} // namespace ftp_tree

} // namespace brindle
