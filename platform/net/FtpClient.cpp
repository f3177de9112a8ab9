#include "platform/net/FtpClient.h"

#include "platform/io/AtomicFileWriter.h"
#include "platform/net/FtpListing.h"
#include "platform/net/FtpPaths.h"
#include "platform/net/FtpReplies.h"
#include "platform/net/FtpStep.h"
#include "platform/net/FtpTimeouts.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace brindle {

namespace {

std::mutex g_timeoutsMutex;
FtpTimeouts g_timeouts;

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Failures after which the control connection cannot be trusted any more.
bool IsConnectionFailure(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_LOGIN_DENIED:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return true;
    default:
        return false;
    }
}

// Replies to a command the server does not implement or understand.
bool IsUnknownCommandReply(long code) { return code == 500 || code == 501 || code == 502 || code == 504; }

size_t AppendToString(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

// A download into a file; in ASCII mode the server's CRLF line ends become LF.
struct FileSink {
    AtomicFileWriter writer;
    bool ascii = false;
    bool pendingCr = false;      // a CR ended the last piece
    std::uint64_t received = 0; // bytes as they came, before any line end turned

    static size_t Write(char* data, size_t size, size_t count, void* user)
    {
        FileSink& sink = *static_cast<FileSink*>(user);
        const size_t length = size * count;
        sink.received += length;
        if (!sink.ascii) return sink.writer.Write(data, length) ? length : 0;
        size_t from = 0;
        if (sink.pendingCr) {
            sink.pendingCr = false;
            if (length > 0 && data[0] == '\n') from = 0; // the CR is dropped, the LF kept
            else if (!sink.writer.Write("\r", 1)) return 0;
        }
        for (size_t i = from; i < length; ++i) {
            if (data[i] != '\r') continue;
            if (!sink.writer.Write(data + from, i - from)) return 0;
            from = i + 1;
            if (i + 1 == length) sink.pendingCr = true;
            else if (data[i + 1] != '\n' && !sink.writer.Write("\r", 1)) return 0;
        }
        return sink.writer.Write(data + from, length - from) ? length : 0;
    }
    bool Finish() { return (!pendingCr || writer.Write("\r", 1)) && writer.Commit(); }
};

size_t ReadFromFile(char* buffer, size_t size, size_t count, void* user)
{
    FILE* file = static_cast<FILE*>(user);
    const size_t n = std::fread(buffer, 1, size * count, file);
    return n == 0 && std::ferror(file) ? CURL_READFUNC_ABORT : n;
}

// A connection over one libcurl handle, whose control connection libcurl keeps
// open between calls. Paths are always sent absolute (no CWD on the wire), so the
// current folder lives here.
//
// Every exchange runs on a worker thread while the calling thread waits and keeps
// the user interface alive (RunFtpStep); the handle and the members the library's
// callbacks write are only touched by one thread at a time, as the caller waits
// for the worker. Cancel shuts the connection's sockets down, so that the library
// stops at once whatever it waits for; the connection then logs in afresh.
//
// The library would log in again, silently, when it finds the control connection
// dropped. It may not: a new control connection is only opened by a login, so a
// dropped connection shows as closed, and reconnecting is left to the caller.
// Likewise a reply that no command asked for, that does not fit its command or
// that is over-long means that the replies can no longer be matched up with the
// commands: the connection is closed rather than trusted.
class CurlFtpConnection final : public FtpConnection {
public:
    CurlFtpConnection(const std::string& host, std::uint16_t port, const std::string& user,
                      const std::string& password, const FtpTls& tls)
        : m_host(host), m_server(FtpServerUrl(host, port)), m_user(user), m_password(password), m_tls(tls)
    {
        InitCurlOnce();
    }

    ~CurlFtpConnection() override { Close(); }

    // Logs in and reads the login folder; throws FtpError.
    void Login()
    {
        if (!LogIn("Connecting to " + m_host + "...")) throw FtpError(m_lastError);
        char* entry = nullptr;
        curl_easy_getinfo(m_curl, CURLINFO_FTP_ENTRY_PATH, &entry);
        m_current = FtpResolvePath("/", entry ? entry : "/");
    }

    bool IsOpen() const override { return m_open; }

    bool GetCurrentDirectory(std::string& directory) override
    {
        // Asked of the server, so that a dropped connection shows here.
        if (!Quote({"NOOP"})) return false;
        directory = m_current;
        return true;
    }

    bool SetCurrentDirectory(const std::string& directory) override
    {
        const std::string path = FtpResolvePath(m_current, directory);
        if (!Quote({"CWD " + path})) return false;
        m_current = path;
        return true;
    }

    bool List(const std::string& pattern, std::vector<FtpEntry>& entries) override
    {
        if (!Ready()) return false;
        BusyScope busy(m_busy);
        return ListFolder(m_current, pattern, entries);
    }

    bool GetFile(const std::string& remote, const std::string& localPath, FtpTransfer mode) override
    {
        const std::string path = FtpResolvePath(m_current, remote);
        if (!Ready() || !CheckLength(path)) return false;
        BusyScope busy(m_busy);
        FileSink sink{AtomicFileWriter(localPath)};
        sink.ascii = mode == FtpTransfer::Ascii;
        if (!sink.writer.Open()) return LocalFailure("Cannot write " + localPath);
        Prepare(FtpPathUrl(m_server, path, false));
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, sink.ascii ? 1L : 0L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &FileSink::Write);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &sink);
        BeginTransfer(false);
        if (!Perform("Getting " + remote + "...")) return false;
        // The library checks the length against the server's SIZE reply. A server
        // that gives none may still end the transfer early and call it complete:
        // then the size in its listing is the measure. (An ASCII transfer may
        // only grow on the way, as line ends become CRLF.)
        curl_off_t announced = -1;
        curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (announced < 0) {
            std::optional<std::uint64_t> listed = ListedSize(path);
            if (listed && sink.received < *listed) {
                m_lastFailure = FtpFailure::Short;
                m_lastError = "The download ended after " + std::to_string(sink.received) + " of the " +
                              std::to_string(*listed) + " bytes the server lists for the file.";
                return false;
            }
        }
        if (!sink.Finish()) return LocalFailure("Cannot write " + localPath);
        return true;
    }

    bool PutFile(const std::string& localPath, const std::string& remote) override
    {
        const std::string path = FtpResolvePath(m_current, remote);
        if (!Ready() || !CheckLength(path)) return false;
        BusyScope busy(m_busy);
        FILE* file = std::fopen(localPath.c_str(), "rb");
        if (!file) return LocalFailure("Cannot read " + localPath);
        struct stat st;
        const curl_off_t size = ::fstat(::fileno(file), &st) == 0 ? st.st_size : -1;
        Prepare(FtpPathUrl(m_server, path, false));
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, size);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &ReadFromFile);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, file);
        BeginTransfer(true);
        const bool done = Perform("Putting " + remote + "...");
        std::fclose(file);
        return done;
    }

    bool RemoveFile(const std::string& remote) override { return Quote({"DELE " + Resolve(remote)}); }
    bool RemoveDirectory(const std::string& remote) override { return Quote({"RMD " + Resolve(remote)}); }
    bool CreateDirectory(const std::string& remote) override { return Quote({"MKD " + Resolve(remote)}); }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return Quote({"RNFR " + Resolve(from), "RNTO " + Resolve(to)});
    }

    void Close() override
    {
        m_open = false;
        if (!m_curl || m_busy) return;
        // Says QUIT to a live server, which may take a while to answer.
        CURL* curl = std::exchange(m_curl, nullptr);
        RunStep("Closing the connection to " + m_host + "...", [curl] { curl_easy_cleanup(curl); }, {});
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        m_sockets.clear();
    }

private:
    // Marks the connection busy for the length of an operation: the calling thread
    // runs the event loop meanwhile, and a second operation started from there
    // must not reach the handle the worker is using.
    class BusyScope {
    public:
        explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
        ~BusyScope() { m_busy = false; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        bool& m_busy;
    };

    std::string Resolve(const std::string& remote) const { return FtpResolvePath(m_current, remote); }

    // A fresh handle with every option that holds for the whole connection.
    bool CreateHandle()
    {
        m_curl = curl_easy_init();
        if (!m_curl) {
            m_lastError = "The FTP library could not start.";
            m_lastFailure = FtpFailure::Local;
            return false;
        }
        const FtpTimeouts timeouts = GetFtpTimeouts();
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, m_user.c_str());
        curl_easy_setopt(m_curl, CURLOPT_PASSWORD, m_password.c_str());
        curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_errorBuffer);
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(m_curl, CURLOPT_FTPPORT, nullptr); // passive
        curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
        curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeouts.responseSeconds);
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, timeouts.lowSpeedBytesPerSecond));
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &CurlFtpConnection::OnProgress);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETFUNCTION, &CurlFtpConnection::OnOpenSocket);
        curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETDATA, this);
        curl_easy_setopt(m_curl, CURLOPT_CLOSESOCKETFUNCTION, &CurlFtpConnection::OnCloseSocket);
        curl_easy_setopt(m_curl, CURLOPT_CLOSESOCKETDATA, this);
        curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, 100L * 1024); // as the curl program reads
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "ftp");
        if (m_tls.required) {
            // Verification stays as the library starts it: peer and host name on.
            curl_easy_setopt(m_curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            if (!m_tls.caFile.empty()) curl_easy_setopt(m_curl, CURLOPT_CAINFO, m_tls.caFile.c_str());
        }
        // The server's replies are read from the debug stream; of what we send
        // (the password among it) only the command's verb is looked at.
        curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &CurlFtpConnection::OnDebug);
        curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
        return true;
    }

    // Opens the control connection on a fresh handle and logs in; false with the
    // reason recorded when that fails, the connection then closed.
    bool LogIn(const std::string& text)
    {
        if (!CreateHandle()) return false;
        Prepare(m_server + "/");
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        m_verb.clear(); // the greeting comes unasked
        m_awaiting = true;
        m_mayLogIn = true;
        const bool done = Perform(text, false); // a handler that cancelled would cancel it too
        m_mayLogIn = false;
        if (!done) {
            DropConnection();
            return false;
        }
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        curl_socket_t control = CURL_SOCKET_BAD;
        curl_easy_getinfo(m_curl, CURLINFO_ACTIVESOCKET, &control);
        if (control == CURL_SOCKET_BAD && m_sockets.size() == 1) control = m_sockets.front();
        m_control = control;
        m_open = true;
        return true;
    }

    // The connection can take an operation: it is open, no other operation runs
    // on it, and the server has neither dropped it nor sent anything unasked.
    bool Ready()
    {
        if (m_busy) {
            m_lastError = "The connection is busy with another operation.";
            m_lastFailure = FtpFailure::Refused;
            return false;
        }
        if (!m_open || !m_curl) {
            m_lastError = "The connection to the server is closed.";
            m_lastFailure = FtpFailure::Connection;
            return false;
        }
        pollfd peer{m_control, POLLIN, 0};
        if (m_control == CURL_SOCKET_BAD || ::poll(&peer, 1, 0) <= 0) return true;
        char byte;
        const bool dropped = ::recv(m_control, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0;
        DropConnection();
        m_lastFailure = FtpFailure::Connection;
        m_lastError = dropped ? "The connection to the server was lost."
                              : "The server sent a reply that no command asked for, so the connection was closed.";
        return false;
    }

    // Refuses a path too long to send: servers cut over-long command lines into
    // pieces and answer each, which would leave replies queued for the commands
    // that follow.
    bool CheckLength(const std::string& path)
    {
        if (path.size() <= kMaxPathLength) return true;
        m_lastError = "The remote path is too long to send (" + std::to_string(path.size()) + " characters, at most " +
                      std::to_string(kMaxPathLength) + ").";
        m_lastFailure = FtpFailure::Refused;
        return false;
    }

    // Sets the URL and returns every per-request option to its default.
    void Prepare(const std::string& url)
    {
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 0L);
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, nullptr);
        curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L); // the progress callback sees Cancel
        m_errorBuffer[0] = '\0';
        m_lastReply.clear();
        m_lastError.clear();
        m_lastFailure = FtpFailure::None;
        m_transferring = false;
    }

    // Marks the request as a file transfer, whose advance goes to the progress
    // handler if there is one.
    void BeginTransfer(bool upload)
    {
        m_uploading = upload;
        m_transferring = true;
    }

    // Runs a step on a worker thread with progress and Cancel. `report` empty:
    // the step's own progress window.
    void RunStep(const std::string& text, const std::function<void()>& step, const FtpStepReport& report)
    {
        {
            std::lock_guard<std::mutex> lock(m_socketsMutex);
            m_cancelled = false;
        }
        m_advance.done = 0;
        m_advance.total = 0;
        RunFtpStep(text, step, m_advance, report, [this] { CancelStep(); });
    }

    // Runs the prepared request; false with the reason recorded. A cancelled
    // request leaves the connection logged in afresh (closed if that fails). Its
    // progress goes to the handler watching the connection, if there is one and
    // the request may be watched, else to a window of its own.
    bool Perform(const std::string& text, bool watched = true)
    {
        m_unexpected.clear();
        m_refusal.clear();
        CURLcode code = CURLE_OK;
        RunStep(text, [&] { code = curl_easy_perform(m_curl); }, watched ? m_progress : FtpProgressHandler());
        if (m_cancelled) return Cancelled();
        if (!m_unexpected.empty()) {
            DropConnection();
            m_lastFailure = FtpFailure::Connection;
            m_lastError = m_unexpected + ", so the connection was closed.";
            return false;
        }
        if (code != CURLE_OK) return Fail(code);
        if (m_transferring && m_progress) m_progress(m_advance.done, m_advance.total);
        return true;
    }

    // Called on the calling thread: the request ends at its next step, and at
    // once where it waits for the network, as its sockets are shut down.
    void CancelStep()
    {
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        m_cancelled = true;
        for (curl_socket_t socket : m_sockets) ::shutdown(socket, SHUT_RDWR);
    }

    bool Cancelled()
    {
        const bool transfer = m_transferring;
        DropConnection();
        if (!m_mayLogIn && LogIn("Connecting again to " + m_host + "...")) m_open = true;
        m_lastFailure = FtpFailure::Cancelled;
        m_lastError = m_mayLogIn ? "Connecting to " + m_host + " was cancelled."
                      : transfer ? "The transfer was cancelled."
                                 : "Cancelled.";
        return false;
    }

    // Ends the control connection at once, without a word to the server.
    void DropConnection()
    {
        m_open = false;
        {
            std::lock_guard<std::mutex> lock(m_socketsMutex);
            for (curl_socket_t socket : m_sockets) ::shutdown(socket, SHUT_RDWR);
        }
        if (m_curl) curl_easy_cleanup(m_curl); // its QUIT fails at once
        m_curl = nullptr;
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        m_sockets.clear();
        m_control = CURL_SOCKET_BAD;
    }

    static int OnProgress(void* user, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
    {
        auto* self = static_cast<CurlFtpConnection*>(user);
        if (self->m_transferring) {
            const curl_off_t done = self->m_uploading ? upNow : downNow;
            const curl_off_t total = self->m_uploading ? upTotal : downTotal;
            self->m_advance.done = static_cast<std::uint64_t>(std::max<curl_off_t>(done, 0));
            self->m_advance.total = static_cast<std::uint64_t>(std::max<curl_off_t>(total, 0));
        }
        std::lock_guard<std::mutex> lock(self->m_socketsMutex);
        return self->m_cancelled ? 1 : 0;
    }

    static curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address)
    {
        auto* self = static_cast<CurlFtpConnection*>(user);
        std::lock_guard<std::mutex> lock(self->m_socketsMutex);
        if (self->m_cancelled) return CURL_SOCKET_BAD;
        // A new control connection would mean logging in again unasked.
        if (!self->m_mayLogIn && self->m_control == CURL_SOCKET_BAD) {
            self->m_lostControl = true;
            return CURL_SOCKET_BAD;
        }
        const curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        if (socket != CURL_SOCKET_BAD) self->m_sockets.push_back(socket);
        return socket;
    }

    static int OnCloseSocket(void* user, curl_socket_t socket)
    {
        auto* self = static_cast<CurlFtpConnection*>(user);
        std::lock_guard<std::mutex> lock(self->m_socketsMutex);
        self->m_sockets.erase(std::remove(self->m_sockets.begin(), self->m_sockets.end(), socket),
                              self->m_sockets.end());
        if (socket == self->m_control) self->m_control = CURL_SOCKET_BAD;
        return ::close(socket);
    }

    // Sends the commands in turn, without a transfer.
    bool Quote(const std::vector<std::string>& commands)
    {
        if (!Ready()) return false;
        // A line end in a name would end the command and start another.
        for (const std::string& command : commands) {
            if (command.find_first_of("\r\n") != std::string::npos) {
                m_lastError = "A remote name may not hold a line end.";
                m_lastFailure = FtpFailure::Refused;
                return false;
            }
            if (!CheckLength(command.substr(command.find(' ') + 1))) return false;
        }
        BusyScope busy(m_busy);
        // "*": a refused command does not end the request, so the library keeps
        // the control connection (it drops it after a failed command); the
        // refusal is read from the replies instead.
        curl_slist* list = nullptr;
        for (const std::string& command : commands) list = curl_slist_append(list, ("*" + command).c_str());
        Prepare(m_server + "/");
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, list);
        bool done = Perform("Talking to " + m_host + "...");
        if (m_curl) curl_easy_setopt(m_curl, CURLOPT_QUOTE, nullptr);
        curl_slist_free_all(list);
        if (done && !m_refusal.empty()) {
            m_lastFailure = FtpFailure::Refused;
            m_lastError = m_refusal;
            HidePassword(m_lastError);
            done = false;
        }
        return done;
    }

    bool ListFolder(const std::string& folder, const std::string& pattern, std::vector<FtpEntry>& entries)
    {
        entries.clear();
        std::string text;
        bool mlsd = !m_noMlsd;
        if (mlsd && !ReadListing("MLSD", folder, text)) {
            long reply = 0;
            if (m_curl) curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
            if (!m_open || !IsUnknownCommandReply(reply)) return false;
            m_noMlsd = true;
            mlsd = false;
        }
        if (!mlsd && !ReadListing("LIST", folder, text)) return false;
        entries = ParseFtpListing(text, mlsd, folder, pattern, std::time(nullptr));
        return true;
    }

    // The size the listing of its folder gives a file; nullopt when the folder
    // cannot be listed or does not show the file.
    std::optional<std::uint64_t> ListedSize(const std::string& path)
    {
        const auto slash = path.rfind('/');
        const std::string folder = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        std::vector<FtpEntry> entries;
        if (!ListFolder(folder, "*", entries)) return std::nullopt;
        for (const FtpEntry& entry : entries)
            if (entry.name == name && !entry.directory) return entry.size;
        return std::nullopt;
    }

    bool ReadListing(const char* command, const std::string& folder, std::string& text)
    {
        if (!m_open || !m_curl || !CheckLength(folder)) return false;
        text.clear();
        Prepare(FtpPathUrl(m_server, folder, true));
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &text);
        return Perform("Listing " + folder + " on " + m_host + "...");
    }

    // Records why the request failed: the server's refusal when it gave one,
    // otherwise the library's reason. Gives false.
    bool Fail(CURLcode code)
    {
        const bool refused = m_lastReply.size() >= 3 && (m_lastReply[0] == '4' || m_lastReply[0] == '5');
        const std::string reason = m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(code);
        if (m_lostControl) {
            m_lostControl = false;
            m_lastFailure = FtpFailure::Connection;
            m_lastError = "The connection to the server was lost.";
            DropConnection();
            return false;
        }
        if (const std::string tls = TlsFailure(code, reason); !tls.empty()) {
            m_lastFailure = FtpFailure::Connection;
            m_lastError = tls;
        } else if (code == CURLE_OPERATION_TIMEDOUT && m_transferring) {
            m_lastFailure = FtpFailure::Stalled;
            m_lastError = "The transfer stalled (the server stopped answering or moved too few bytes), so it "
                          "was stopped: " + reason;
        } else if (code == CURLE_PARTIAL_FILE) {
            m_lastFailure = FtpFailure::Short;
            m_lastError = "The download ended before the whole file had come (" + reason + ").";
        } else if (refused) {
            m_lastFailure = FtpFailure::Refused;
            m_lastError = m_lastReply;
        } else {
            m_lastFailure = FtpFailure::Connection;
            m_lastError = reason;
        }
        if (IsConnectionFailure(code)) m_open = false;
        HidePassword(m_lastError);
        return false;
    }

    // What a failure to secure the connection means for the user ("" for other failures).
    std::string TlsFailure(CURLcode code, const std::string& reason) const
    {
        switch (code) {
        case CURLE_USE_SSL_FAILED:
            return m_host + " does not offer TLS (it refused AUTH TLS), and this server is set to require it; "
                            "nothing was sent in the clear.";
        case CURLE_PEER_FAILED_VERIFICATION:
            return "The certificate of " + m_host + " cannot be trusted, so the connection was refused: " + reason;
        case CURLE_SSL_CACERT_BADFILE:
            return "The CA certificates file " + m_tls.caFile + " cannot be used: " + reason;
        case CURLE_SSL_CONNECT_ERROR:
            return "The TLS connection to " + m_host + " could not be set up: " + reason;
        default: return {};
        }
    }

    bool LocalFailure(const std::string& what)
    {
        m_lastError = what + ": " + std::strerror(errno);
        m_lastFailure = FtpFailure::Local;
        return false;
    }

    // A password the server repeats (in a greeting that quotes the command, say)
    // is masked; very short ones are left, as they would mask ordinary text.
    void HidePassword(std::string& text) const
    {
        if (m_password.size() < 4) return;
        for (std::size_t at = text.find(m_password); at != std::string::npos; at = text.find(m_password, at + 3))
            text.replace(at, m_password.size(), "***");
    }

    // Keeps the last complete reply line of the server, and notes a reply that
    // does not answer the command sent (see FtpReplyFits) or is over-long.
    static int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* user)
    {
        auto* self = static_cast<CurlFtpConnection*>(user);
        if (type == CURLINFO_HEADER_OUT) {
            // Only the verb: what follows may be the password.
            std::size_t end = 0;
            while (end < size && std::isalpha(static_cast<unsigned char>(data[end]))) ++end;
            self->m_verb.assign(data, end);
            for (char& c : self->m_verb) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            self->m_awaiting = true;
            return 0;
        }
        if (type != CURLINFO_HEADER_IN) return 0;
        std::string line(data, size);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.size() > kMaxReplyLength) {
            self->m_unexpected = "The server sent an over-long reply (" + std::to_string(line.size()) + " characters)";
            return 0;
        }
        // The last line of a reply is "NNN text"; continuation lines are "NNN-text".
        if (line.size() < 4 || line[3] != ' ' || !std::isdigit(static_cast<unsigned char>(line[0]))) return 0;
        const int code = std::atoi(line.substr(0, 3).c_str());
        if (code >= 200 && self->m_unexpected.empty()) {
            if (!self->m_awaiting)
                self->m_unexpected = "The server sent a reply that no command asked for";
            else if (!FtpReplyFits(self->m_verb, code))
                self->m_unexpected = "The server answered " + (self->m_verb.empty() ? "the connection" : self->m_verb) +
                                     " with a reply meant for another command (" + line.substr(0, 3) + ")";
            self->m_awaiting = false;
        }
        if (code >= 400 && self->m_refusal.empty()) self->m_refusal = line;
        self->m_lastReply = std::move(line);
        return 0;
    }

    static constexpr std::size_t kMaxPathLength = 1024;
    static constexpr std::size_t kMaxReplyLength = 4096;

    CURL* m_curl = nullptr;
    std::string m_host;
    std::string m_server;
    std::string m_user;
    std::string m_password;
    FtpTls m_tls;
    std::string m_current = "/";
    std::string m_lastReply;
    bool m_open = false;
    bool m_busy = false;         // an operation runs (the caller's event loop may call in meanwhile)
    bool m_noMlsd = false;       // the server refused MLSD once: LIST from then on
    bool m_transferring = false; // the request moves a file
    bool m_uploading = false;    // ... and that is an upload
    bool m_mayLogIn = false;     // the request logs in: it opens the control connection
    bool m_lostControl = false;  // the library tried to open a control connection again
    FtpStepProgress m_advance;   // of the running request, for the progress window
    // Written by the worker's callbacks (replies, sockets) and, for the sockets,
    // by the calling thread's Cancel.
    std::string m_verb;          // of the last command sent
    bool m_awaiting = false;     // ... whose final reply has not come yet
    std::string m_unexpected;    // why the replies cannot be trusted any more; "" while they can
    std::string m_refusal;       // the first refusal the request met; "" for none
    std::mutex m_socketsMutex;
    std::vector<curl_socket_t> m_sockets; // open, of this connection
    curl_socket_t m_control = CURL_SOCKET_BAD;
    bool m_cancelled = false;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
};

} // namespace

void SetFtpTimeouts(const FtpTimeouts& timeouts)
{
    std::lock_guard<std::mutex> lock(g_timeoutsMutex);
    g_timeouts = timeouts;
}

FtpTimeouts GetFtpTimeouts()
{
    std::lock_guard<std::mutex> lock(g_timeoutsMutex);
    return g_timeouts;
}

FtpConnection::~FtpConnection() = default;

FtpSession::FtpSession() { InitCurlOnce(); }
FtpSession::~FtpSession() = default;

std::unique_ptr<FtpConnection> FtpSession::Connect(const std::string& host, std::uint16_t port,
                                                   const std::string& user, const std::string& password,
                                                   const FtpTls& tls)
{
    auto connection = std::make_unique<CurlFtpConnection>(host, port, user, password, tls);
    connection->Login();
    return connection;
}

} // namespace brindle
