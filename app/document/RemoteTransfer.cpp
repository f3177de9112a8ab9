#include "app/document/RemoteTransfer.h"

#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpClient.h"
#include "platform/ui/ProgressScope.h"

#include <memory>
#include <random>

using namespace brindle;

namespace {

// Connects to the location's server and goes to its folder; null when that
// does not work, with what to tell in failed (a failed login is shown by the
// server record itself; a folder the server refuses fails the transfer with the
// server's reply).
std::unique_ptr<CFTPFolderServer> Open(const RemoteLocation& where, TransferOutcome& failed)
{
    std::unique_ptr<CFTPFolderServer> server = where.Server();
    if (!server->Connect()) {
        failed = {TransferResult::NotConnected, {}};
        return nullptr;
    }
    FtpConnection& connection = *server->GetConnection();
    if (!where.Folder().empty() && !connection.SetCurrentDirectory(where.Folder())) {
        const bool refused = connection.LastFailure() == FtpFailure::Refused;
        failed = {refused ? TransferResult::Failed : TransferResult::NotConnected, connection.LastError()};
        return nullptr;
    }
    return server;
}

// Watches the connection's transfers with the progress for as long as it lives.
class WatchedTransfers {
public:
    WatchedTransfers(FtpConnection& connection, const std::string& text) : m_connection(connection), m_progress(text)
    {
        m_connection.SetProgressHandler(m_progress.Callback());
    }
    ~WatchedTransfers() { m_connection.SetProgressHandler(nullptr); }
    WatchedTransfers(const WatchedTransfers&) = delete;
    WatchedTransfers& operator=(const WatchedTransfers&) = delete;

private:
    FtpConnection& m_connection;
    ProgressScope m_progress; // shown once a transfer has run for half a second
};

// The outcome of a failed transfer. A refusal of a download is told by the
// fixed message alone; an upload's with the server's reply, as it may say why
// (no room, no permission).
TransferOutcome Failure(const FtpConnection& connection, bool withRefusal = false)
{
    switch (connection.LastFailure()) {
    case FtpFailure::Cancelled: return {TransferResult::Cancelled, connection.LastError()};
    case FtpFailure::Refused: return {TransferResult::Failed, withRefusal ? connection.LastError() : std::string()};
    case FtpFailure::None: return {TransferResult::Failed, {}};
    default: return {TransferResult::Failed, connection.LastError()};
    }
}

// A hidden name beside the file for the upload in progress.
std::string UploadName(const std::string& file)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::string name = "." + file + ".upload-";
    for (int i = 0; i < 6; ++i) name += kChars[pick(device)];
    return name;
}

// Removes what a failed upload left on the server, through the connection when
// it still works, else through a new one; quietly, as the failure is told anyway.
void RemoveLeftover(CFTPFolderServer& server, const std::string& folder, const std::string& name)
{
    FtpConnection& connection = *server.GetConnection();
    if (connection.IsOpen() && connection.RemoveFile(name)) return;
    if (connection.IsOpen() && connection.LastFailure() == FtpFailure::Refused) return; // not there
    try {
        FtpSession session;
        std::unique_ptr<FtpConnection> again =
            session.Connect(server.GetHostname(), static_cast<std::uint16_t>(server.GetPort() & 0xFFFFu),
                            server.GetUsername(), server.GetPassword(), server.GetTls());
        if (folder.empty() || again->SetCurrentDirectory(folder)) again->RemoveFile(name);
        again->Close();
    } catch (const FtpError&) {
        // The server cannot be reached now; the name is hidden and unique.
    }
}

} // namespace

TransferOutcome FetchRemoteFile(const RemoteLocation& where, const std::string& localPath)
{
    TransferOutcome failed;
    std::unique_ptr<CFTPFolderServer> server = Open(where, failed);
    if (!server) return failed;
    FtpConnection& connection = *server->GetConnection();
    TransferOutcome outcome{TransferResult::Done, {}};
    {
        WatchedTransfers watched(connection, "Getting " + where.File() + " from " + where.ServerName() + "...");
        if (!connection.GetFile(where.File(), localPath, FtpTransfer::Binary)) outcome = Failure(connection);
    }
    server->Close();
    return outcome;
}

TransferOutcome UploadRemoteFile(const std::string& localPath, const RemoteLocation& where)
{
    TransferOutcome failed;
    std::unique_ptr<CFTPFolderServer> server = Open(where, failed);
    if (!server) return failed;
    FtpConnection& connection = *server->GetConnection();
    TransferOutcome outcome{TransferResult::Done, {}};
    bool writtenDirectly = false;
    {
        WatchedTransfers watched(connection, "Saving " + where.File() + " to " + where.ServerName() + "...");
        const std::string upload = UploadName(where.File());
        if (!connection.PutFile(localPath, upload)) {
            outcome = Failure(connection, true);
            RemoveLeftover(*server, where.Folder(), upload);
        } else if (!connection.Rename(upload, where.File())) {
            if (connection.IsOpen() && connection.LastFailure() == FtpFailure::Refused) {
                // The server will not rename: the file itself is written.
                writtenDirectly = connection.PutFile(localPath, where.File());
                if (!writtenDirectly) outcome = Failure(connection, true);
            } else {
                outcome = Failure(connection, true);
            }
            RemoveLeftover(*server, where.Folder(), upload);
        }
    }
    server->Close();
    if (writtenDirectly)
        outcome.detail =
            "The server refused to rename the uploaded copy to " + where.File() + ", so the file was written to it directly.";
    return outcome;
}
