#pragma once

#include "app/explorer/RemoteFileFields.h"
#include "platform/net/FtpClient.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brindle {
class CFTPFolderServer;
}

// The file browser half of the remote file dialog, without windows: one
// connection of its own to the chosen server, the "Look in:" entries, the rows
// of the current directory and the file operations on them. Everything it says
// goes through UIServices(); the dialog shows what it holds.
//
// Names from the server are shown through FtpDisplayName. A name that fails
// FtpNameIsSafe is listed but refused, with a message, when acted on.
class RemoteBrowser {
public:
    // The login copied from a stored server.
    struct Login {
        std::string entryName;
        std::string host;
        std::string user;
        std::string password;
        std::uint32_t port = 21;
        brindle::FtpTls tls = {};
    };

    struct Row {
        std::string name;  // as the server sent it
        std::string shown; // FtpDisplayName(name)
        bool folder = false;
        std::string size;     // "%i KB" for files
        std::string type;     // the type description for files
        std::string modified; // the last-write time, local, "%x %X"
    };

    // What the properties of a row show.
    using Properties = RemoteFileFields;

    RemoteBrowser();
    ~RemoteBrowser();
    RemoteBrowser(const RemoteBrowser&) = delete;
    RemoteBrowser& operator=(const RemoteBrowser&) = delete;

    // ---- Connection ----
    // Closes any connection, logs in to the server's host (low 16 bits of its
    // port) and lists the login folder. A failed login shows the client's
    // reason; false then, and nothing is connected.
    bool Connect(const brindle::CFTPFolderServer& server);
    // The same with a connection already logged in; its current folder is the
    // start directory.
    bool Attach(std::unique_ptr<brindle::FtpConnection> connection, const Login& login);
    // Empties the entries and rows, closes and forgets the connection.
    void Disconnect();
    bool IsConnected() const { return m_connection != nullptr; }
    const Login& CurrentLogin() const { return m_login; }
    const std::string& StartDirectory() const { return m_startDirectory; }

    // ---- "Look in:" ----
    // "/ (host)", the start directory's last name (or "/"), and the third path
    // once a folder other than those two was listed.
    const std::vector<std::string>& LookIn() const { return m_lookIn; }
    int LookInSelection() const { return m_lookInSelection; }
    // Lists the folder the entry stands for.
    bool SelectLookIn(int index);

    // ---- Listing ----
    // Changes to the folder (absolute, or relative to the current one) and lists
    // it, folders first, then files, each in the server's order. When the folder
    // cannot be entered, says so and keeps the rows as they were.
    bool List(const std::string& directory);
    // Lists the current folder again.
    bool Refresh();
    const std::vector<Row>& Rows() const { return m_rows; }
    // Index of the row of that name as the server sent it, or -1.
    int FindRow(const std::string& name) const;
    // Lists the folder of a row.
    bool OpenFolder(std::size_t row);
    // The folder above the current one.
    bool Up();

    // ---- Choosing and changing files ----
    // "ftp://" + entry name + current folder + "/" + the file name: nullopt,
    // after a message, when there is no connection or the name cannot be used.
    std::optional<std::string> AcceptAddress(const std::string& fileName);
    // Asks "Delete %s?", removes the row's file or folder and lists again.
    bool Delete(std::size_t row);
    // Renames the row of that name on the server; the row takes the new name.
    bool Rename(const std::string& oldName, const std::string& newName);
    // Creates "NewDirectory" in the current folder and lists again; the index of
    // its row (for the user to name it), or -1.
    int CreateDirectory();
    // Reads the row's entry afresh from the server.
    std::optional<Properties> GetProperties(std::size_t row);

    // Whether a name can be acted on; when not, says so.
    static bool CheckName(const std::string& name);
    // "%i KB" of a byte count: one more than the whole thousands.
    static std::string SizeText(std::uint64_t bytes);
    // The description of a file's type by its extension.
    static std::string TypeDescription(const std::string& name);

private:
    bool CheckConnected() const;
    std::string CurrentDirectory();
    void UpdateLookIn(const std::string& directory);
    void Clear();

    brindle::FtpSession m_session;
    std::unique_ptr<brindle::FtpConnection> m_connection;
    Login m_login;
    std::string m_startDirectory;
    std::string m_thirdPath;
    std::vector<std::string> m_lookIn;
    int m_lookInSelection = -1;
    std::vector<Row> m_rows;
};
