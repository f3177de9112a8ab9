#pragma once

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

// A new empty file in the system's temporary folder, named "WDS" and a unique
// number; "" when none could be made.
std::string CreateTempFile();

enum class TransferResult {
    Done,
    NotConnected,  // the connection failed; its reason was shown to the user
    Failed,        // connected, but the transfer did not succeed
};

// Gets the addressed file into the local path, binary.
TransferResult FetchRemoteFile(const std::string& address, const std::string& localPath);
// Puts the local file to the address, binary.
TransferResult UploadRemoteFile(const std::string& localPath, const std::string& address);
