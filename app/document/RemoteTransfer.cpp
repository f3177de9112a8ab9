#include "app/document/RemoteTransfer.h"

#include "brindlekit/ftp/FTPServerStore.h"
#include "platform/net/FtpClient.h"
#include "platform/ui/UIServices.h"

#include <chrono>
#include <memory>
#include <random>

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

// Shows the progress window once a transfer has run for half a second, and
// passes the user's Cancel back to the transfer.
class TransferProgress {
public:
    explicit TransferProgress(std::string text) : m_text(std::move(text)) {}
    ~TransferProgress()
    {
        if (m_shown) UIServices().EndProgress();
    }
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    bool operator()(std::uint64_t done, std::uint64_t total)
    {
        if (!m_shown) {
            if (std::chrono::steady_clock::now() - m_start < std::chrono::milliseconds(kTransferProgressDelayMs))
                return true;
            UIServices().BeginProgress(m_text);
            m_shown = true;
        }
        return UIServices().UpdateProgress(done, total);
    }

private:
    std::string m_text;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    bool m_shown = false;
};

// Watches the connection's transfers with the progress for as long as it lives.
class WatchedTransfers {
public:
    WatchedTransfers(FtpConnection& connection, const std::string& text) : m_connection(connection), m_progress(text)
    {
        m_connection.SetProgressHandler([this](std::uint64_t done, std::uint64_t total) {
            return m_progress(done, total);
        });
    }
    ~WatchedTransfers() { m_connection.SetProgressHandler(nullptr); }
    WatchedTransfers(const WatchedTransfers&) = delete;
    WatchedTransfers& operator=(const WatchedTransfers&) = delete;

private:
    FtpConnection& m_connection;
    TransferProgress m_progress;
};

TransferOutcome Failure(const FtpConnection& connection)
{
    switch (connection.LastFailure()) {
    case FtpFailure::Cancelled: return {TransferResult::Cancelled, connection.LastError()};
    case FtpFailure::Refused:
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
void RemoveLeftover(CFTPFolderServer& server, const RemoteAddress& address, const std::string& name)
{
    FtpConnection& connection = *server.GetConnection();
    if (connection.IsOpen() && connection.RemoveFile(name)) return;
    if (connection.IsOpen() && connection.LastFailure() == FtpFailure::Refused) return; // not there
    try {
        FtpSession session;
        std::unique_ptr<FtpConnection> again =
            session.Connect(server.GetHostname(), static_cast<std::uint16_t>(server.GetPort() & 0xFFFFu),
                            server.GetUsername(), server.GetPassword());
        if (address.folder.empty() || again->SetCurrentDirectory(address.folder)) again->RemoveFile(name);
        again->Close();
    } catch (const FtpError&) {
        // The server cannot be reached now; the name is hidden and unique.
    }
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

TransferOutcome FetchRemoteFile(const std::string& address, const std::string& localPath)
{
    const std::optional<RemoteAddress> parts = ParseRemoteAddress(address);
    if (!parts) return {};
    std::unique_ptr<CFTPFolderServer> server = Open(*parts);
    if (!server) return {TransferResult::NotConnected, {}};
    FtpConnection& connection = *server->GetConnection();
    TransferOutcome outcome{TransferResult::Done, {}};
    {
        WatchedTransfers watched(connection, "Getting " + parts->file + " from " + parts->server + "...");
        if (!connection.GetFile(parts->file, localPath, FtpTransfer::Binary)) outcome = Failure(connection);
    }
    server->Close();
    return outcome;
}

TransferOutcome UploadRemoteFile(const std::string& localPath, const std::string& address)
{
    const std::optional<RemoteAddress> parts = ParseRemoteAddress(address);
    if (!parts) return {};
    std::unique_ptr<CFTPFolderServer> server = Open(*parts);
    if (!server) return {TransferResult::NotConnected, {}};
    FtpConnection& connection = *server->GetConnection();
    TransferOutcome outcome{TransferResult::Done, {}};
    bool writtenDirectly = false;
    {
        WatchedTransfers watched(connection, "Saving " + parts->file + " to " + parts->server + "...");
        const std::string upload = UploadName(parts->file);
        if (!connection.PutFile(localPath, upload)) {
            outcome = Failure(connection);
            RemoveLeftover(*server, *parts, upload);
        } else if (!connection.Rename(upload, parts->file)) {
            if (connection.IsOpen() && connection.LastFailure() == FtpFailure::Refused) {
                // The server will not rename: the file itself is written.
                writtenDirectly = connection.PutFile(localPath, parts->file);
                if (!writtenDirectly) outcome = Failure(connection);
            } else {
                outcome = Failure(connection);
            }
            RemoveLeftover(*server, *parts, upload);
        }
    }
    server->Close();
    if (writtenDirectly)
        UIServices().MessageBox("The server refused to rename the uploaded copy to " + parts->file +
                                    ", so the file was written to it directly.",
                                MsgButtons::Ok, MsgIcon::Warning);
    return outcome;
}
