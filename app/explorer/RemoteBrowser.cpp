#include "app/explorer/RemoteBrowser.h"

#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpListing.h"
#include "platform/net/FtpNames.h"
#include "platform/ui/UIServices.h"

#include <wx/mimetype.h>

#include <algorithm>
#include <cctype>

using namespace brindle;

namespace {

void Say(const std::string& text) { UIServices().MessageBox(text, MsgButtons::Ok, MsgIcon::None); }

// The folder above an absolute path, "/" for a folder right below the root.
std::string Parent(const std::string& directory)
{
    const std::size_t slash = directory.rfind('/');
    return slash == 0 ? std::string("/") : directory.substr(0, slash);
}

} // namespace

RemoteBrowser::RemoteBrowser() = default;

RemoteBrowser::~RemoteBrowser() { Disconnect(); }

bool RemoteBrowser::CheckName(const std::string& name)
{
    if (FtpNameIsSafe(name)) return true;
    Say("The name \"" + FtpDisplayName(name) +
        "\" cannot be used on the server: a name must be one folder or file name, without \"/\" or control "
        "characters. Nothing was sent.");
    return false;
}

std::string RemoteBrowser::SizeText(std::uint64_t bytes) { return std::to_string(bytes / 1000 + 1) + " KB"; }

std::string RemoteBrowser::TypeDescription(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return "File";
    const std::string extension = name.substr(dot + 1);
    wxString description;
    if (wxTheMimeTypesManager) {
        std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(extension)));
        if (type && type->GetDescription(&description) && !description.empty()) return description.utf8_string();
    }
    std::string upper = FtpDisplayName(extension);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper + " File";
}

bool RemoteBrowser::Connect(const CFTPFolderServer& server)
{
    Disconnect();
    Login login{server.GetEntryName(), server.GetHostname(), server.GetUsername(), server.GetPassword(),
                server.GetPort(), server.GetTls()};
    std::unique_ptr<FtpConnection> connection;
    std::string failure;
    try {
        WaitCursor wait;
        connection = m_session.Connect(login.host, static_cast<std::uint16_t>(login.port & 0xFFFF), login.user,
                                       login.password, login.tls);
    } catch (const FtpError& error) {
        failure = error.what();
    }
    if (!connection) {
        Say(failure.substr(0, 1023)); // with the cursor back to normal
        return false;
    }
    return Attach(std::move(connection), login);
}

bool RemoteBrowser::Attach(std::unique_ptr<FtpConnection> connection, const Login& login)
{
    Disconnect();
    m_connection = std::move(connection);
    m_login = login;
    std::string start;
    bool located = false;
    {
        WaitCursor wait;
        located = m_connection->GetCurrentDirectory(start);
    }
    if (!located || start.find('/') == std::string::npos) {
        m_lookIn = {"/ (" + FtpDisplayName(m_login.host) + ")"};
        Say("Can't locate directory");
        return false;
    }
    m_startDirectory = start;
    const std::size_t slash = start.rfind('/');
    m_lookIn = {"/ (" + FtpDisplayName(m_login.host) + ")",
                slash == 0 ? std::string("/") : FtpDisplayName(start.substr(slash + 1))};
    m_lookInSelection = 1;
    return List(start);
}

void RemoteBrowser::Clear()
{
    m_lookIn.clear();
    m_lookInSelection = -1;
    m_rows.clear();
    m_thirdPath.clear();
}

void RemoteBrowser::Disconnect()
{
    Clear();
    m_startDirectory.clear();
    if (m_connection) m_connection->Close();
    m_connection.reset();
}

bool RemoteBrowser::CheckConnected() const
{
    if (m_connection) return true;
    Say("Not connected to a server.");
    return false;
}

std::string RemoteBrowser::CurrentDirectory()
{
    std::string directory;
    if (m_connection && !m_connection->GetCurrentDirectory(directory)) directory.clear();
    return directory;
}

bool RemoteBrowser::SelectLookIn(int index)
{
    if (index < 0 || index >= static_cast<int>(m_lookIn.size())) return false;
    if (index == 2) return List(m_thirdPath);
    if (index == 1) return List(m_startDirectory);
    return List("/");
}

void RemoteBrowser::UpdateLookIn(const std::string& directory)
{
    if (directory == "/") {
        m_lookInSelection = 0;
    } else if (directory == m_startDirectory) {
        m_lookInSelection = 1;
    } else if (m_lookIn.size() == 2 || m_lookIn.size() == 3) {
        m_lookIn.resize(3);
        m_lookIn[2] = FtpDisplayName(directory);
        m_thirdPath = directory;
        m_lookInSelection = 2;
    }
}

bool RemoteBrowser::List(const std::string& directory)
{
    if (!CheckConnected()) return false;
    bool entered = false;
    bool listed = false;
    std::string current;
    std::vector<FtpEntry> entries;
    {
        WaitCursor wait;
        entered = CurrentDirectory() == directory || m_connection->SetCurrentDirectory(directory);
        if (entered) {
            current = CurrentDirectory();
            listed = m_connection->List("*.*", entries);
        }
    }
    if (!entered) {
        Say("Unable to change directory");
        return false;
    }
    // The folder as the server names it, so that "Look in:" and addresses are absolute.
    UpdateLookIn(current.empty() ? directory : current);
    m_rows.clear();
    if (!listed) return true; // an unreadable folder lists empty
    for (const FtpEntry& entry : entries)
        if (entry.directory) m_rows.push_back({entry.name, FtpDisplayName(entry.name), true, {}, {}, {}});
    for (const FtpEntry& entry : entries)
        if (!entry.directory)
            m_rows.push_back({entry.name, FtpDisplayName(entry.name), false, SizeText(entry.size),
                              TypeDescription(entry.name), LocalTimeText(entry.written, "%x %X")});
    return true;
}

bool RemoteBrowser::Refresh()
{
    if (!CheckConnected()) return false;
    const std::string current = CurrentDirectory();
    return List(current.empty() ? m_startDirectory : current);
}

int RemoteBrowser::FindRow(const std::string& name) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].name == name) return static_cast<int>(i);
    return -1;
}

bool RemoteBrowser::OpenFolder(std::size_t row)
{
    if (row >= m_rows.size() || !m_rows[row].folder || !CheckName(m_rows[row].name)) return false;
    // By its absolute path, so that "Look in:" can come back to it.
    return List(FtpJoinPath(CurrentDirectory(), m_rows[row].name));
}

bool RemoteBrowser::Up()
{
    if (!CheckConnected()) return false;
    std::string current;
    {
        WaitCursor wait;
        current = CurrentDirectory();
    }
    if (current == "/") {
        Say("Already at the top-most directory.");
        return false;
    }
    if (current.find('/') == std::string::npos) {
        Say("Unable to locate the root directory.");
        return false;
    }
    return List(Parent(current));
}

std::optional<std::string> RemoteBrowser::AcceptAddress(const std::string& fileName)
{
    if (!CheckConnected()) return std::nullopt;
    if (fileName.empty()) {
        Say("Type a file name or choose a file.");
        return std::nullopt;
    }
    if (!CheckName(fileName)) return std::nullopt;
    const std::string current = CurrentDirectory();
    if (current.empty() || current[0] != '/') {
        Say("Unable to locate the root directory.");
        return std::nullopt;
    }
    // The root is written as a single "/" only when it is the login folder: an
    // address with no folder names the login folder, so another login folder
    // needs "//" to reach the root.
    const bool rootIsLogin = current == "/" && m_startDirectory == "/";
    return "ftp://" + m_login.entryName + (rootIsLogin ? std::string() : current) + "/" + fileName;
}

bool RemoteBrowser::Delete(std::size_t row)
{
    if (row >= m_rows.size() || !CheckConnected()) return false;
    const Row target = m_rows[row];
    if (!CheckName(target.name)) return false;
    if (UIServices().MessageBox("Delete " + target.shown + "?", MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
        return false;
    bool removed = false;
    {
        WaitCursor wait;
        removed = target.folder ? m_connection->RemoveDirectory(target.name) : m_connection->RemoveFile(target.name);
    }
    if (!removed) {
        const std::string& reason = m_connection->LastError();
        Say(!reason.empty() ? reason : target.folder ? "Error removing directory" : "Error while removing file");
        return false;
    }
    Refresh();
    return true;
}

bool RemoteBrowser::Rename(const std::string& oldName, const std::string& newName)
{
    if (!CheckConnected()) return false;
    const int row = FindRow(oldName);
    if (row < 0) {
        Say("Item not found in list");
        return false;
    }
    if (newName == oldName) return false;
    if (!CheckName(oldName) || !CheckName(newName)) return false;
    bool renamed = false;
    {
        WaitCursor wait;
        const std::string current = CurrentDirectory();
        renamed = m_connection->Rename(FtpJoinPath(current, oldName), FtpJoinPath(current, newName));
    }
    if (!renamed) {
        const std::string& reason = m_connection->LastError();
        Say("Error renaming " + FtpDisplayName(oldName) + (reason.empty() ? std::string() : "\n\n" + reason));
        return false;
    }
    m_rows[row].name = newName;
    m_rows[row].shown = FtpDisplayName(newName);
    return true;
}

int RemoteBrowser::CreateDirectory()
{
    if (!CheckConnected()) return -1;
    bool created = false;
    {
        WaitCursor wait;
        created = m_connection->CreateDirectory("NewDirectory");
    }
    if (!created) {
        Say("Error creating directory");
        return -1;
    }
    Refresh();
    return FindRow("NewDirectory");
}

std::optional<RemoteBrowser::Properties> RemoteBrowser::GetProperties(std::size_t row)
{
    if (row >= m_rows.size()) {
        Say("No File or Folder Selected.");
        return std::nullopt;
    }
    if (!CheckConnected()) return std::nullopt;
    const std::string name = m_rows[row].name;
    std::vector<FtpEntry> entries;
    bool listed = false;
    {
        WaitCursor wait;
        listed = m_connection->List("*", entries);
    }
    if (listed) {
        for (const FtpEntry& entry : entries) {
            if (entry.name != name) continue;
            return RemoteFileFieldsOf(entry, m_login.host);
        }
    }
    Say(m_rows[row].shown + " is no longer on the server.");
    return std::nullopt;
}
