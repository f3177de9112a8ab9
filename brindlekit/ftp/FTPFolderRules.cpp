#include "brindlekit/ftp/FTPFolderRules.h"

#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpNames.h"

namespace brindle::ftp_tree {

EntryKind KindOf(bool isSet, bool isRoot, bool parentIsRoot)
{
    if (!isSet) return EntryKind::None;
    if (isRoot) return EntryKind::Root;
    return parentIsRoot ? EntryKind::Server : EntryKind::Folder;
}

Expansion ExpansionOf(EntryKind kind, bool expandedOnce, bool listable)
{
    if (expandedOnce) return Expansion::Nothing;
    switch (kind) {
    case EntryKind::Server:
        return Expansion::OpenServer;
    case EntryKind::Folder:
        return listable ? Expansion::ListFolder : Expansion::RefuseFolder;
    default:
        return Expansion::Nothing;
    }
}

bool ExpandsOnExpanding(EntryKind kind, bool expansionFlag)
{
    return expansionFlag && kind == EntryKind::Server;
}

bool ExpandsOnClick(EntryKind kind, bool hasChildren)
{
    return kind == EntryKind::Folder && !hasChildren;
}

CFTPFolderItem InitialFolder(CFTPFolderServer* server)
{
    const std::string dir = server->GetInitialDir();
    return CFTPFolderItem(server, dir, dir);
}

std::vector<CFTPFolderItem> SubfoldersOf(CFTPFileFind& finder, CFTPFolderServer* server)
{
    std::vector<CFTPFolderItem> folders;
    bool more = true;
    while (more) {
        more = finder.FindNextFile();
        if (!finder.IsDirectory()) continue;
        const std::string name = finder.GetFileName();
        if (name == "." || name == "..") continue;
        folders.emplace_back(server, name, finder.GetFilePath(), FtpNameIsSafe(name));
    }
    finder.Close();
    return folders;
}

std::string FolderText(const CFTPFolderItem& folder)
{
    return FtpDisplayName(folder.GetEntryName());
}

std::string UnusableFolderMessage(const CFTPFolderItem& folder)
{
    // "The folder name "<name>" holds characters that cannot be sent to the
    // server; the folder cannot be opened."
    return "文件夹名 \"" + FolderText(folder) + "\" 含有不能发送给服务器的字符, 不能打开该文件夹.";
}

} // namespace brindle::ftp_tree
