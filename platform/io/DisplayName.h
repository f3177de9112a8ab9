#pragma once

#include "platform/Export.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace brindle {

// Names that come from outside (a server's listing, a local folder) are bytes,
// not text. They are shown escaped so that two different names never look alike
// and nothing in a name can steer the display.

// The name as shown: a control character, a byte that is not part of valid
// UTF-8, and the backslash are written "\xNN" ("\\" for the backslash).
BRINDLEKIT_API std::string EscapedDisplayName(std::string_view name);

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF are not).
BRINDLEKIT_API std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);

inline bool IsControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

} // namespace brindle
