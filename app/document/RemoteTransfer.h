#pragma once

#include "app/document/RemoteLocation.h"
#include "app/document/TempCopies.h"

#include <string>

// Files of remote documents moved between their server and a local copy.

enum class TransferResult {
    Done,
    NotConnected, // the connection failed; a failed log-in was shown to the user
    Failed,       // connected, but the transfer did not succeed
    Cancelled,    // the user pressed Cancel in the progress window
};

struct TransferOutcome {
    TransferResult result = TransferResult::Failed;
    // For the user, what went wrong (a dropped connection, a stall, a short
    // download, a cancel, the server's reply refusing a folder or an upload); ""
    // when the server simply refused a download or the log-in failure was shown.
    // After success, what to warn of.
    std::string detail;
};

// Gets the located file into the local path, binary. A download shorter than
// the server's size for the file fails; the local file is then left as it was.
TransferOutcome FetchRemoteFile(const RemoteLocation& where, const std::string& localPath);
// Puts the local file to the location, binary: to a temporary name in the same
// folder first, renamed over the file once complete, so that a failed upload
// never leaves the file torn; the temporary file of a failed upload is removed.
// Where the server refuses the rename, the file is written directly and the
// outcome's detail says so.
TransferOutcome UploadRemoteFile(const std::string& localPath, const RemoteLocation& where);
