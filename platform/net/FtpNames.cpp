#include "platform/net/FtpNames.h"

#include "platform/io/DisplayName.h"

namespace brindle {

std::string FtpDisplayName(std::string_view name) { return EscapedDisplayName(name); }

bool FtpNameIsSafe(std::string_view name)
{
    if (name.empty() || name.size() > kMaxFtpName || name == "." || name == "..") return false;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t length = Utf8SequenceLength(name, i);
        if (length == 0 || IsControlByte(c) || c == '/') return false;
        i += length;
    }
    return true;
}

} // namespace brindle
