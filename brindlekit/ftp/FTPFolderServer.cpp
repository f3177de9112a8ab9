#include "brindlekit/ftp/FTPFolderServer.h"

#include "platform/ui/UIServices.h"

#include <utility>

namespace brindle {

namespace {

// A connection error is shown with at most this many bytes of the client's text.
constexpr size_t kMaxErrorText = 1023;

// "Cannot set the current directory to <directory>."
std::string CannotEnterDirectory(const std::string& directory)
{
    return "不能设置当前目录到 " + directory + ".";
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutUtf8(std::string text, size_t limit)
{
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

} // namespace

CFTPFolderServer::CFTPFolderServer(const std::string& entryName, const std::string& hostname,
                                   const std::string& username, const std::string& password,
                                   const std::string& initialDir, std::uint32_t port)
{
    SetParams(entryName, hostname, username, password, initialDir, port);
}

CFTPFolderServer::~CFTPFolderServer()
{
    Close();
}

void CFTPFolderServer::SetParams(const std::string& entryName, const std::string& hostname,
                                 const std::string& username, const std::string& password,
                                 const std::string& initialDir, std::uint32_t port)
{
    Close();
    m_strEntryName = entryName;
    m_strHostname = hostname;
    m_strUsername = username;
    m_strPassword = password;
    m_strInitialDir = initialDir;
    m_nPort = port;
}

int CFTPFolderServer::Connect()
{
    try {
        auto connection =
            m_session.Connect(m_strHostname, static_cast<std::uint16_t>(m_nPort & 0xFFFFu), m_strUsername, m_strPassword,
                              m_tls);
        if (!connection) return 0;
        m_pConnection = std::move(connection);
        return 1;
    } catch (const FtpError& error) {
        std::string text = CutUtf8(error.what(), kMaxErrorText);
        UIServices().MessageBox(text, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
}

int CFTPFolderServer::IsConnected()
{
    if (!m_pConnection || !m_pConnection->IsOpen()) return 0;
    std::string directory;
    return m_pConnection->GetCurrentDirectory(directory) ? 1 : 0;
}

void CFTPFolderServer::Close()
{
    if (!IsConnected()) return;
    m_pConnection->Close();
    m_pConnection.reset();
}

int CFTPFolderServer::GetFiles(std::unique_ptr<CFTPFileFind>& finder, const std::string& directory)
{
    std::string current;
    if (!m_pConnection || !m_pConnection->GetCurrentDirectory(current)) Connect();

    if (!m_pConnection || !m_pConnection->SetCurrentDirectory(directory)) {
        UIServices().MessageBox(CannotEnterDirectory(directory), MsgButtons::Ok, MsgIcon::None);
        return 0;
    }
    finder = std::make_unique<CFTPFileFind>(m_pConnection.get());
    return finder->FindFile("*.*") ? 1 : 0;
}

} // namespace brindle
