#pragma once

#include "app/document/TempCopies.h"

#include <optional>
#include <string>

// Documents on FTP servers. An address is "ftp://" + the entry name of a stored
// server + a folder path (empty, or starting with "/") + "/" + the file name;
// the connection goes to the host stored under that entry.
struct RemoteAddress {
    std::string server; // the stored server's entry name
    std::string folder; // "" for the login folder
    std::string file;
};

// The parts of an "ftp://" address; nullopt for any other text or one without
// a "/" after the server name.
std::optional<RemoteAddress> ParseRemoteAddress(const std::string& address);

enum class TransferResult {
    Done,
    NotConnected, // the connection failed; its reason was shown to the user
    Failed,       // connected, but the transfer did not succeed
    Cancelled,    // the user pressed Cancel in the progress window
};

struct TransferOutcome {
    TransferResult result = TransferResult::Failed;
    // For the user, what went wrong (a dropped connection, a stall, a short
    // download, a cancel); "" when the server simply refused.
    std::string detail;
};

// A transfer that lasts longer than this shows a progress window with Cancel.
constexpr int kTransferProgressDelayMs = 500;

// Gets the addressed file into the local path, binary. A download shorter than
// the server's size for the file fails; the local file is then left as it was.
TransferOutcome FetchRemoteFile(const std::string& address, const std::string& localPath);
// Puts the local file to the address, binary: to a temporary name in the same
// folder first, renamed over the file once complete, so that a failed upload
// never leaves the file torn; the temporary file of a failed upload is removed.
// Where the server refuses the rename, the file is written directly and the
// user is told.
TransferOutcome UploadRemoteFile(const std::string& localPath, const std::string& address);
