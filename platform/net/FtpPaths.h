#pragma once

#include "platform/Export.h"

#include <cstdint>
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

} // namespace brindle
