#include "app/document/RemoteTransfer.h"

#include "brindlekit/ftp/FTPServerStore.h"
#include "platform/net/FtpClient.h"
#include "platform/ui/UIServices.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace brindle;

namespace {

// Connects to the address's stored server and goes to its folder; null when
// that does not work, its reason shown (a failed login by the server record).
std::unique_ptr<CFTPFolderServer> Open(const RemoteAddress& address)
{
    std::unique_ptr<CFTPFolderServer> server = CFTPServerStore::ReadRecord(address.server);
    if (!server->Connect()) return nullptr;
    FtpConnection& connection = *server->GetConnection();
    if (!address.folder.empty() && !connection.SetCurrentDirectory(address.folder)) {
        UIServices().MessageBox(connection.LastError(), MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    return server;
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
    std::unique_ptr<CFTPFolderServer> server = Open(*parts);
    if (!server) return TransferResult::NotConnected;
    const bool ok = server->GetConnection()->GetFile(parts->file, localPath, FtpTransfer::Binary);
    server->Close();
    return ok ? TransferResult::Done : TransferResult::Failed;
}

TransferResult UploadRemoteFile(const std::string& localPath, const std::string& address)
{
    const std::optional<RemoteAddress> parts = ParseRemoteAddress(address);
    if (!parts) return TransferResult::Failed;
    std::unique_ptr<CFTPFolderServer> server = Open(*parts);
    if (!server) return TransferResult::NotConnected;
    const bool ok = server->GetConnection()->PutFile(localPath, parts->file);
    server->Close();
    return ok ? TransferResult::Done : TransferResult::Failed;
}
