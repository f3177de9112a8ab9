#include "brindlekit/text/EolMode.h"

#include "brindlekit/text/TextIndexError.h"

#include <string>

namespace brindle {

namespace {

void CheckMode(int mode)
{
    if (!IsValidEolMode(mode)) throw CTextIndexError("invalid end-of-line mode " + std::to_string(mode));
}

} // namespace

std::string_view EolBytes(int mode)
{
    CheckMode(mode);
    static constexpr std::string_view kBytes[kEolModeCount] = {"\r\n", "\n\r", "\n"};
    return kBytes[mode];
}

int DetectEolMode(std::string_view start)
{
    const std::size_t lf = start.find('\n');
    if (lf == std::string_view::npos || (lf > 0 && start[lf - 1] == '\r')) return EOL_CRLF;
    if (lf + 1 < start.size() && start[lf + 1] == '\r') return EOL_LFCR;
    return EOL_LF;
}

std::string_view EolIndicatorText(int mode)
{
    CheckMode(mode);
    static constexpr std::string_view kTexts[kEolModeCount] = {"DOS", "MAC", "UNIX"};
    return kTexts[mode];
}

} // namespace brindle
