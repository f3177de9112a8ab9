#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace brindle {

// A failure to reach or log in to a server; the text is the server's or the
// library's, never holding the password.
class BRINDLEKIT_API FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of a directory listing. Times are 0 when the server gives none.
struct FtpEntry {
    std::string name;
    std::string path; // the directory's path joined with the name
    std::uint64_t size = 0;
    std::time_t created = 0;
    std::time_t accessed = 0;
    std::time_t written = 0;
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;
};

enum class FtpTransfer { Binary, Ascii };

// Why the last operation of a connection failed.
enum class FtpFailure {
    None,
    Refused,    // the server answered with a refusal (a 4xx or 5xx reply)
    Connection, // the connection could not be used or dropped
    Stalled,    // a transfer stayed below the low-speed limit, or the server stopped answering
    Short,      // a download ended before the size the server gives for the file
    Cancelled,  // the progress handler, or Cancel in the progress window, asked to stop
    Local,      // a local file could not be read or written
};

// Told how an exchange advances: for a file transfer the bytes moved so far and
// the whole size (0 while unknown), (0, 0) for other exchanges. Returning false
// stops the exchange, which then fails as cancelled. Called on the calling
// thread about ten times a second, also while no byte moves, and once more at
// the end of a transfer that succeeded.
using FtpProgressHandler = std::function<bool(std::uint64_t done, std::uint64_t total)>;

class FtpConnection;

// How a connection is secured. With TLS required the client asks for explicit
// TLS (AUTH TLS) before logging in and uses it for every command and transfer,
// failing rather than going on in the clear; the server's certificate is always
// verified, against the system's certificate authorities or those in caFile.
struct FtpTls {
    bool required = false;
    std::string caFile; // PEM certificates of the authorities to trust; "" for the system's
};

// An FTP client session: it opens connections. Every call is synchronous and
// none blocks forever: connecting and every exchange with a silent server end
// with an error within 30 seconds. Meanwhile the calling thread keeps the user
// interface alive: an exchange that takes over half a second shows a progress
// window with Cancel (a connection watched by a progress handler reports there
// instead). Cancel ends the call at once as cancelled; the connection is then
// logged in afresh (closed when that fails too).
class BRINDLEKIT_API FtpSession {
public:
    FtpSession();
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Logs in (passive mode); throws FtpError with the reason (a certificate
    // that cannot be trusted names its problem).
    std::unique_ptr<FtpConnection> Connect(const std::string& host, std::uint16_t port, const std::string& user,
                                           const std::string& password, const FtpTls& tls = {});
};

// A logged-in connection. Operations give false on failure, with the reason in
// LastError(); after a failure of the connection itself IsOpen() is false. A
// dropped connection is never logged in again behind the caller's back, and one
// whose replies no longer match its commands (a reply nobody asked for, one
// that fits another command, an over-long one) is closed. An operation called
// while another runs on the same connection (from the event loop meanwhile)
// fails at once. Paths longer than 1024 bytes are refused unsent.
class BRINDLEKIT_API FtpConnection {
public:
    virtual ~FtpConnection();

    // Whether the connection is still open (not closed, not dropped).
    virtual bool IsOpen() const = 0;
    virtual bool GetCurrentDirectory(std::string& directory) = 0;
    virtual bool SetCurrentDirectory(const std::string& directory) = 0;
    // The entries of the current directory matching the pattern ("*" or "*.*"
    // for all), read afresh from the server.
    virtual bool List(const std::string& pattern, std::vector<FtpEntry>& entries) = 0;
    // Remote names are relative to the current directory, or absolute paths.
    // A download shorter than the size the server gives for the file (its SIZE
    // reply, else its listing) fails and leaves the local file as it was.
    virtual bool GetFile(const std::string& remote, const std::string& localPath, FtpTransfer mode) = 0;
    virtual bool PutFile(const std::string& localPath, const std::string& remote) = 0;
    virtual bool RemoveFile(const std::string& remote) = 0;
    virtual bool RemoveDirectory(const std::string& remote) = 0;
    virtual bool CreateDirectory(const std::string& remote) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual void Close() = 0;
    const std::string& LastError() const { return m_lastError; }
    FtpFailure LastFailure() const { return m_lastFailure; }

    // Watches every exchange from now on (logging in afresh after a cancel
    // aside), in place of the progress windows; an empty handler stops watching.
    void SetProgressHandler(FtpProgressHandler handler) { m_progress = std::move(handler); }

protected:
    std::string m_lastError;
    FtpFailure m_lastFailure = FtpFailure::None;
    FtpProgressHandler m_progress;
};

} // namespace brindle
