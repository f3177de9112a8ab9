#pragma once

#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/Export.h"

#include <wx/treebase.h>

#include <cstdint>
#include <memory>
#include <string>

namespace brindle {

// The stored list of FTP servers and how changes to it reach the settings store.
// Each server is one subkey of "RemoteServers" under the application's profile
// root, named by its entry name, holding "hostport" (integer, default 21) and
// "initdir", "hostname", "username", "password" (strings, default ""), and
// "usetls" (integer, 1 for explicit TLS, default 0) with "cafile" (string, the
// certificate authorities to trust, default "" for the system's). The
// password is kept as typed; the store file is private to the user.
//
// The FTP folder tree derives from this class and supplies the tree side: it
// owns one entry per server, each owning its record object. Every change to the
// list goes through the tree, so ModifyServer and DeleteServer act on the
// selected entry and callers select the server's entry first.
class BRINDLEKIT_API CFTPServerStore {
public:
    // The subkey of the profile root that holds the records.
    static constexpr const char* kListSection = "RemoteServers";
    // Entry names longer than this do not load back: the list stops there.
    static constexpr size_t kMaxEntryName = 254;

    virtual ~CFTPServerStore();

    // ---- Changes ----
    // Adds an entry for a new record and writes the record, overwriting a stored
    // one of the same name (the tree then shows that name twice until the next
    // load). Returns the new entry.
    wxTreeItemId AddServer(const std::string& entryName, const std::string& hostname, const std::string& username,
                           const std::string& password, const std::string& initialDir, std::uint32_t port);
    wxTreeItemId AddServer(std::unique_ptr<CFTPFolderServer> server);
    // Closes the selected entry's connection, deletes the stored record under the
    // server's current name (silently if that fails), gives the server the new
    // values, writes them under the new name and renames the selected entry.
    // Returns 1.
    int ModifyServer(CFTPFolderServer* server, const std::string& entryName, const std::string& hostname,
                     const std::string& username, const std::string& password, const std::string& initialDir,
                     std::uint32_t port);
    // Deletes the stored record, saying so when there was none to delete, and
    // removes the selected entry with its record object in any case.
    void DeleteServer(const std::string& entryName);

    // The stored record of an entry name, its missing values at their defaults.
    static std::unique_ptr<CFTPFolderServer> ReadRecord(const std::string& entryName);
    // Whether a record is stored under the entry name (compared as the store
    // compares key names, without regard to case).
    static bool HasRecord(const std::string& entryName);

protected:
    // Adds an entry for every stored record, in the store's order.
    void RestoreSettings();

    // ---- The tree side ----
    // Appends a server entry that takes ownership of the record; returns it.
    virtual wxTreeItemId InsertServerItem(std::unique_ptr<CFTPFolderServer> server) = 0;
    // Closes the connection of a server entry (unset = the selected entry).
    virtual void CloseItem(const wxTreeItemId& item) = 0;
    // Removes an entry, its children and the records they own.
    virtual void RemoveItem(const wxTreeItemId& item) = 0;
    virtual wxTreeItemId GetSelectedEntry() const = 0;
    virtual void SetEntryText(const wxTreeItemId& item, const std::string& text) = 0;

private:
    static void WriteRecord(const CFTPFolderServer& server);
    static bool DeleteRecord(const std::string& entryName);
};

} // namespace brindle
