#pragma once

#include "platform/Export.h"

#include <string>

namespace brindle {

class CFTPFolderServer;

// One remote folder as the folder tree shows it: the server it belongs to (not
// owned), the text shown for it and the server path it is listed from.
//
// A folder named by a server listing keeps the name as the server sent it; the
// tree shows it escaped. Listable is false when that name is not one plain
// path component (FtpNameIsSafe): such a folder is shown but never listed into.
class BRINDLEKIT_API CFTPFolderItem {
public:
    CFTPFolderItem() = default;
    CFTPFolderItem(CFTPFolderServer* server, const std::string& entryName, const std::string& entryPath,
                   bool listable = true)
        : m_pServer(server), m_strEntryName(entryName), m_strEntryPath(entryPath), m_bListable(listable)
    {
    }
    virtual ~CFTPFolderItem();
    CFTPFolderItem(const CFTPFolderItem&) = default;
    CFTPFolderItem& operator=(const CFTPFolderItem&) = default;

    CFTPFolderServer* GetFolderServer() const { return m_pServer; }
    std::string GetEntryName() const { return m_strEntryName; }
    std::string GetEntryPath() const { return m_strEntryPath; }
    bool IsListable() const { return m_bListable; }

private:
    CFTPFolderServer* m_pServer = nullptr;
    std::string m_strEntryName;
    std::string m_strEntryPath;
    bool m_bListable = true;
};

} // namespace brindle
