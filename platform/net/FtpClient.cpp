#include "platform/net/FtpClient.h"

#include "platform/io/AtomicFileWriter.h"
#include "platform/net/FtpListing.h"
#include "platform/net/FtpPaths.h"
#include "platform/net/FtpTimeouts.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
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
class CurlFtpConnection final : public FtpConnection {
public:
    CurlFtpConnection(const std::string& host, std::uint16_t port, const std::string& user,
                      const std::string& password)
        : m_server(FtpServerUrl(host, port)), m_password(password)
    {
        InitCurlOnce();
        m_curl = curl_easy_init();
        if (!m_curl) throw FtpError("The FTP library could not start.");
        FtpTimeouts timeouts;
        {
            std::lock_guard<std::mutex> lock(g_timeoutsMutex);
            timeouts = g_timeouts;
        }
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(m_curl, CURLOPT_PASSWORD, password.c_str());
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
        curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, 100L * 1024); // as the curl program reads
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "ftp");
        // The server's replies are read from the debug stream; what we send (the
        // password among it) is never looked at.
        curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &CurlFtpConnection::OnDebug);
        curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
    }

    ~CurlFtpConnection() override { Close(); }

    // Logs in and reads the login folder; throws FtpError.
    void Login()
    {
        Prepare(m_server + "/");
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        const CURLcode code = curl_easy_perform(m_curl);
        if (code != CURLE_OK) {
            Fail(code);
            throw FtpError(m_lastError);
        }
        char* entry = nullptr;
        curl_easy_getinfo(m_curl, CURLINFO_FTP_ENTRY_PATH, &entry);
        m_current = FtpResolvePath("/", entry ? entry : "/");
        m_open = true;
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
        return ListFolder(m_current, pattern, entries);
    }

    bool GetFile(const std::string& remote, const std::string& localPath, FtpTransfer mode) override
    {
        if (!CheckOpen()) return false;
        FileSink sink{AtomicFileWriter(localPath)};
        sink.ascii = mode == FtpTransfer::Ascii;
        if (!sink.writer.Open()) return LocalFailure("Cannot write " + localPath);
        const std::string path = FtpResolvePath(m_current, remote);
        Prepare(FtpPathUrl(m_server, path, false));
        curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, sink.ascii ? 1L : 0L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &FileSink::Write);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &sink);
        BeginTransfer(false);
        const CURLcode code = curl_easy_perform(m_curl);
        if (code != CURLE_OK) return Fail(code);
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
        if (!CheckOpen()) return false;
        FILE* file = std::fopen(localPath.c_str(), "rb");
        if (!file) return LocalFailure("Cannot read " + localPath);
        struct stat st;
        const curl_off_t size = ::fstat(::fileno(file), &st) == 0 ? st.st_size : -1;
        Prepare(FtpPathUrl(m_server, FtpResolvePath(m_current, remote), false));
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, size);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &ReadFromFile);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, file);
        BeginTransfer(true);
        const CURLcode code = curl_easy_perform(m_curl);
        std::fclose(file);
        return code == CURLE_OK || Fail(code);
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
        if (m_curl) curl_easy_cleanup(m_curl); // says QUIT to a live server
        m_curl = nullptr;
    }

private:
    std::string Resolve(const std::string& remote) const { return FtpResolvePath(m_current, remote); }

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
        curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 1L);
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
        curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, m_progress ? 0L : 1L);
    }

    static int OnProgress(void* user, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
    {
        auto* self = static_cast<CurlFtpConnection*>(user);
        if (!self->m_progress) return 0;
        const curl_off_t done = self->m_uploading ? upNow : downNow;
        const curl_off_t total = self->m_uploading ? upTotal : downTotal;
        const bool go = self->m_progress(static_cast<std::uint64_t>(std::max<curl_off_t>(done, 0)),
                                         static_cast<std::uint64_t>(std::max<curl_off_t>(total, 0)));
        return go ? 0 : 1;
    }

    bool CheckOpen()
    {
        if (m_open && m_curl) return true;
        m_lastError = "The connection to the server is closed.";
        m_lastFailure = FtpFailure::Connection;
        return false;
    }

    // Sends the commands in turn, without a transfer.
    bool Quote(const std::vector<std::string>& commands)
    {
        if (!CheckOpen()) return false;
        // A line end in a name would end the command and start another.
        for (const std::string& command : commands)
            if (command.find_first_of("\r\n") != std::string::npos) {
                m_lastError = "A remote name may not hold a line end.";
                m_lastFailure = FtpFailure::Refused;
                return false;
            }
        curl_slist* list = nullptr;
        for (const std::string& command : commands) list = curl_slist_append(list, command.c_str());
        Prepare(m_server + "/");
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, list);
        const CURLcode code = curl_easy_perform(m_curl);
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, nullptr);
        curl_slist_free_all(list);
        return code == CURLE_OK || Fail(code);
    }

    bool ListFolder(const std::string& folder, const std::string& pattern, std::vector<FtpEntry>& entries)
    {
        entries.clear();
        std::string text;
        bool mlsd = !m_noMlsd;
        if (mlsd && !ReadListing("MLSD", folder, text)) {
            long reply = 0;
            curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
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
        if (!CheckOpen()) return false;
        text.clear();
        Prepare(FtpPathUrl(m_server, folder, true));
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &AppendToString);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &text);
        const CURLcode code = curl_easy_perform(m_curl);
        return code == CURLE_OK || Fail(code);
    }

    // Records why the request failed: the server's refusal when it gave one,
    // otherwise the library's reason. Gives false.
    bool Fail(CURLcode code)
    {
        const bool refused = m_lastReply.size() >= 3 && (m_lastReply[0] == '4' || m_lastReply[0] == '5');
        const std::string reason = m_errorBuffer[0] ? m_errorBuffer : curl_easy_strerror(code);
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            m_lastFailure = FtpFailure::Cancelled;
            m_lastError = "The transfer was cancelled.";
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

    // Keeps the last complete reply line of the server.
    static int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* user)
    {
        if (type != CURLINFO_HEADER_IN) return 0;
        auto* self = static_cast<CurlFtpConnection*>(user);
        std::string line(data, size);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        // The last line of a reply is "NNN text"; continuation lines are "NNN-text".
        if (line.size() >= 4 && line[3] == ' ' && std::isdigit(static_cast<unsigned char>(line[0])))
            self->m_lastReply = std::move(line);
        return 0;
    }

    CURL* m_curl = nullptr;
    std::string m_server;
    std::string m_password;
    std::string m_current = "/";
    std::string m_lastReply;
    bool m_open = false;
    bool m_noMlsd = false;    // the server refused MLSD once: LIST from then on
    bool m_transferring = false; // the request moves a file
    bool m_uploading = false;    // ... and that is an upload
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
                                                   const std::string& user, const std::string& password)
{
    auto connection = std::make_unique<CurlFtpConnection>(host, port, user, password);
    connection->Login();
    return connection;
}

} // namespace brindle
