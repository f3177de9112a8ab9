#pragma once

#include "platform/Export.h"

#include <string>
#include <string_view>

namespace brindle {

// Names in a server's listings are data from the server, not paths. A name is
// shown escaped, and acted on only when it can be sent back verbatim as one
// component of a path.

// The name as shown: a control character, a byte that is not part of valid
// UTF-8, and the backslash are written "\xNN" ("\\" for the backslash), so
// that two different names never show alike and nothing the server sends can
// steer the display.
BRINDLEKIT_API std::string FtpDisplayName(std::string_view name);

// Whether the name is one path component the client can send back as it is:
// not empty, not "." or "..", no "/", no control character (so no NUL, CR or
// LF to end or split a command), valid UTF-8, and at most kMaxFtpName bytes.
inline constexpr std::size_t kMaxFtpName = 1024;
BRINDLEKIT_API bool FtpNameIsSafe(std::string_view name);

} // namespace brindle
