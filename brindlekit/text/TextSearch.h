#pragma once

#include "platform/Export.h"

#include <string>
#include <string_view>

namespace brindle {

// The message shown when a search finds nothing.
BRINDLEKIT_API std::string NotFoundMessage(std::string_view what);

// Upper-cases ASCII letters; other bytes (UTF-8 sequences) stay as they are.
BRINDLEKIT_API std::string UpperCaseAscii(std::string_view text);

// The first occurrence of `what` in `text` starting at or after `from`, or -1. With
// wholeWord, an occurrence counts only when the characters on either side of it in
// `text` (where there are any) are not word characters.
BRINDLEKIT_API int MatchInString(std::string_view text, std::string_view what, bool wholeWord, int from = 0);
// The same with ASCII letters compared without regard to case.
BRINDLEKIT_API int MatchInStringNoCase(std::string_view text, std::string_view what, bool wholeWord, int from = 0);
// The last occurrence starting before `limit` (the same rules), or -1.
BRINDLEKIT_API int LastMatchInString(std::string_view text, std::string_view what, bool wholeWord, int limit,
                                     bool ignoreCase = false);

} // namespace brindle
