#include "app/document/RemoteTransfer.h"

#include "platform/net/FtpClient.h"
#include "platform/settings/Profile.h"
#include "platform/ui/UIServices.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace brindle;

namespace {

// The connection data of a stored server.
struct ServerRecord {
    std::string host, user, password;
    std::uint16_t port = 21;
};

ServerRecord ReadServer(const std::string& entry)
{
    const std::string section = "RemoteServers\\" + entry;
    ServerRecord record;
    record.host = Profile::GetProfileString(section, "hostname", "");
    record.user = Profile::GetProfileString(section, "username", "");
    record.password = Profile::GetProfileString(section, "password", "");
    // The port is stored as typed (up to 99999); the connection takes its low 16 bits.
    record.port = static_cast<std::uint16_t>(static_cast<unsigned>(Profile::GetProfileInt(section, "hostport", 21)) & 0xFFFFu);
    return record;
}

// Connects to the address's server and goes to its folder; null, with the
// failure shown, when that does not work.
std::unique_ptr<FtpConnection> Open(FtpSession& session, const RemoteAddress& address)
{
    const ServerRecord server = ReadServer(address.server);
    std::unique_ptr<FtpConnection> connection;
    try {
        connection = session.Connect(server.host, server.port, server.user, server.password);
    } catch (const FtpError& error) {
        UIServices().MessageBox(error.what(), MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    if (!address.folder.empty() && !connection->SetCurrentDirectory(address.folder)) {
        UIServices().MessageBox(connection->LastError(), MsgButtons::Ok, MsgIcon::Error);
        connection->Close();
        return nullptr;
    }
    return connection;
}

} // namespace

std::optional<RemoteAddress> ParseRemoteAddress(const std::string& address)
{
    const std::string scheme = "ftp://";
    if (address.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    const std::string rest = address.substr(scheme.size());
    const auto first = rest.find('/');
    if (first == std::string::npos) return std::nullopt;
    const auto last = rest.rfind('/');
    RemoteAddress parts;
    parts.server = rest.substr(0, first);
    parts.folder = rest.substr(first, last - first);
    parts.file = rest.substr(last + 1);
    return parts;
}

std::string CreateTempFile()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "WDSXXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    return pattern;
}

TransferResult FetchRemoteFile(const std::string& address, const std::string& localPath)
{
    const std::optional<RemoteAddress> parts = ParseRemoteAddress(address);
    if (!parts) return TransferResult::Failed;
    FtpSession session;
    std::unique_ptr<FtpConnection> connection = Open(session, *parts);
    if (!connection) return TransferResult::NotConnected;
    const bool ok = connection->GetFile(parts->file, localPath, FtpTransfer::Binary);
    connection->Close();
    return ok ? TransferResult::Done : TransferResult::Failed;
}

TransferResult UploadRemoteFile(const std::string& localPath, const std::string& address)
{
    const std::optional<RemoteAddress> parts = ParseRemoteAddress(address);
    if (!parts) return TransferResult::Failed;
    FtpSession session;
    std::unique_ptr<FtpConnection> connection = Open(session, *parts);
    if (!connection) return TransferResult::NotConnected;
    const bool ok = connection->PutFile(localPath, parts->file);
    connection->Close();
    return ok ? TransferResult::Done : TransferResult::Failed;
}
