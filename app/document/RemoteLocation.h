#pragma once

#include "app/document/DocErrors.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brindle {
class CFTPFolderServer;
}

// Documents on FTP servers are named by "ftp://" addresses of two forms.
//
// A stored server's: "ftp://" + the entry name of a stored server + a folder
// path (empty, or starting with "/") + "/" + the file name; the connection goes
// to the host stored under that entry.
//
// A standard FTP URL, for text before the first "/" that is no stored server's
// entry name: "ftp://[user[:password]@]host[:port]/path", percent-encoded, the
// path from the login folder ("%2F" first for the root). Without a user the
// login is anonymous; a user without a password is asked for one. That login is
// kept for the session only, never written to the store.

// The parts of a stored server's address.
struct RemoteAddress {
    std::string server; // the stored server's entry name
    std::string folder; // "" for the login folder
    std::string file;
};

// The parts of an "ftp://" address read as a stored server's; nullopt for any
// other text or one without a "/" after the server name.
std::optional<RemoteAddress> ParseRemoteAddress(const std::string& address);

// The address as it may be shown and remembered: a standard URL without its
// password, any other text as it is.
std::string AddressWithoutPassword(const std::string& address);

// Where a remote document lives and how to log in there.
class RemoteLocation {
public:
    // The location an address names, asking for the password where the address
    // gives a user without one. nullopt when the address is of neither form
    // (errors receive what is expected), names no plain file name (no "..", no
    // control character), or the password was not given.
    static std::optional<RemoteLocation> Find(const std::string& address, DocErrors& errors);

    // The address without a password.
    const std::string& Address() const { return m_address; }
    // For messages: the stored server's entry name, or the host.
    const std::string& ServerName() const { return m_parts.server; }
    // "" for the login folder; otherwise absolute, or relative to the login folder.
    const std::string& Folder() const { return m_parts.folder; }
    const std::string& File() const { return m_parts.file; }

    // A server to connect through, in no tree and not in the store: the stored
    // record read afresh, or one holding the address's own login.
    std::unique_ptr<brindle::CFTPFolderServer> Server() const;

private:
    // Find, before the file name is checked.
    static std::optional<RemoteLocation> Locate(const std::string& address, DocErrors& errors);

    struct Login {
        std::string host;
        std::uint16_t port = 21;
        std::string user;
        std::string password;
    };

    std::string m_address;
    RemoteAddress m_parts;
    std::optional<Login> m_login; // for a standard URL
};
