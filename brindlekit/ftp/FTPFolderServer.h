#pragma once

#include "brindlekit/ftp/FTPFileFind.h"
#include "platform/Export.h"
#include "platform/net/FtpClient.h"

#include <wx/treebase.h>

#include <cstdint>
#include <memory>
#include <string>

namespace brindle {

// One stored FTP server while the program runs: the record's six values (entry
// name, host, user, password, initial directory, port), the client session it
// owns for its whole life and, once connected, one live connection.
//
// The port is kept as stored (the settings allow up to 99999) and only its low
// 16 bits are used to connect. The password is handed to the client and to no
// one else: it never goes into a message.
//
// Integer results follow the tree's conventions: 1 success, 0 failure.
class BRINDLEKIT_API CFTPFolderServer {
public:
    CFTPFolderServer(const std::string& entryName, const std::string& hostname, const std::string& username,
                     const std::string& password, const std::string& initialDir, std::uint32_t port);
    // Closes a live connection, then the session.
    virtual ~CFTPFolderServer();
    CFTPFolderServer(const CFTPFolderServer&) = delete;
    CFTPFolderServer& operator=(const CFTPFolderServer&) = delete;

    // ---- Values ----
    // Closes the connection first (as Close), then replaces all six values.
    // Nothing is written to the settings store.
    void SetParams(const std::string& entryName, const std::string& hostname, const std::string& username,
                   const std::string& password, const std::string& initialDir, std::uint32_t port);
    std::string GetEntryName() const { return m_strEntryName; }
    std::string GetHostname() const { return m_strHostname; }
    std::string GetUsername() const { return m_strUsername; }
    std::string GetPassword() const { return m_strPassword; }
    std::string GetInitialDir() const { return m_strInitialDir; }
    std::uint32_t GetPort() const { return m_nPort; }
    // Whether connections ask for explicit TLS, and the authorities trusted;
    // kept apart from the six values (a record without them is plain FTP).
    // Takes effect at the next connection.
    void SetTls(const FtpTls& tls) { m_tls = tls; }
    const FtpTls& GetTls() const { return m_tls; }

    // ---- The tree entry ----
    // Unset until the server's entry is first expanded.
    void SetFolderHITEM(const wxTreeItemId& item) { m_hFolderItem = item; }
    wxTreeItemId GetFolderHITEM() const { return m_hFolderItem; }

    // ---- Connection ----
    // Logs in (passive mode). On failure shows the client's reason in an error
    // box and returns 0; the record stays as it was.
    int Connect();
    // 1 when a connection exists, is open and answers a current-directory query
    // (one round trip to the server). A dropped connection gives 0 without
    // logging in again: reconnecting is left to Connect and GetFiles.
    int IsConnected();
    // Closes and drops the connection when IsConnected; otherwise does nothing.
    void Close();
    FtpConnection* GetConnection() const { return m_pConnection.get(); }

    // Lists a directory, reconnecting first when the connection no longer
    // answers. Once the directory is entered, a new finder holding the listing
    // goes into `finder` (the caller walks, closes and drops it) and the result
    // is nonzero when it found at least one entry. When the directory cannot be
    // entered, says so, returns 0 and leaves `finder` alone.
    int GetFiles(std::unique_ptr<CFTPFileFind>& finder, const std::string& directory);

private:
    wxTreeItemId m_hFolderItem;
    std::string m_strEntryName;
    std::uint32_t m_nPort = 21;
    FtpTls m_tls;
    std::string m_strHostname;
    std::string m_strUsername;
    std::string m_strPassword;
    std::string m_strInitialDir;
    FtpSession m_session;
    std::unique_ptr<FtpConnection> m_pConnection;
};

} // namespace brindle
