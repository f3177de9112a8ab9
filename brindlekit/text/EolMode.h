#pragma once

#include "platform/Export.h"

#include <cstddef>
#include <string_view>

namespace brindle {

// The line break written between lines when a buffer is saved.
enum EolMode : int {
    EOL_CRLF = 0, // "\r\n"
    EOL_LFCR = 1, // "\n\r"
    EOL_LF = 2,   // "\n"
};

constexpr int kEolModeCount = 3;

constexpr bool IsValidEolMode(int mode) { return mode >= 0 && mode < kEolModeCount; }

// The bytes of the line break of a mode (0..2); throws CTextIndexError otherwise.
BRINDLEKIT_API std::string_view EolBytes(int mode);
// The mode of text whose start is given, as loading a file detects it: no line
// feed, or a CR before the first one, gives CR LF; a CR after it, LF CR;
// otherwise LF. Loading looks at the first 32768 bytes.
BRINDLEKIT_API int DetectEolMode(std::string_view start);
constexpr std::size_t kEolDetectBytes = 32768;
// The text of the end-of-line status indicator: "DOS" for CR LF, "UNIX" for LF,
// "MAC" for the remaining LF CR.
BRINDLEKIT_API std::string_view EolIndicatorText(int mode);

} // namespace brindle
