#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <optional>
#include <string>

namespace brindle {

// Remote paths and the URLs that name them.

// The absolute path that `path` names from the folder `current`: "." and ".."
// resolved, repeated slashes dropped, no trailing slash except for "/".
BRINDLEKIT_API std::string FtpResolvePath(const std::string& current, const std::string& path);

// "ftp://host:port", the host bracketed when it is an IPv6 address.
BRINDLEKIT_API std::string FtpServerUrl(const std::string& host, std::uint16_t port);

// The URL of an absolute path on the server: its first slash is written "%2F",
// so that the path does not start at the login folder, and the other characters
// outside the unreserved set are percent-encoded. A folder's URL ends with "/".
BRINDLEKIT_API std::string FtpPathUrl(const std::string& server, const std::string& absolutePath, bool folder);

// The parts of a standard FTP URL, "ftp://[user[:password]@]host[:port]/path",
// percent-decoded. "#" and "?" are taken as characters of the names, since FTP
// has no fragments or queries.
struct FtpUrl {
    std::optional<std::string> user;     // nullopt: none given
    std::optional<std::string> password; // nullopt: none given
    std::string host;                    // an IPv6 address in brackets
    std::uint16_t port = 21;
    // Starting with "/"; what follows is from the login folder, so "//" (a
    // first "%2F") starts at the root.
    std::string path;
};
// nullopt for text that is no such URL: no host, a host with characters no
// host name has, a port that is no number from 1 to 65535, or control
// characters in a decoded part.
BRINDLEKIT_API std::optional<FtpUrl> ParseFtpUrl(const std::string& url);

} // namespace brindle
