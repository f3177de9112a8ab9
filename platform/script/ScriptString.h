#pragma once

#include "platform/Export.h"

#include <string>
#include <string_view>

namespace brindle::vbs {

// Script strings are UTF-16, as the language defines them: Len, Mid and AscW
// count and index 16-bit code units.
using VbString = std::u16string;
using VbStringView = std::u16string_view;

// Conversions at the engine's edges (source code, host text, files). Invalid
// UTF-8 bytes become U+FFFD; an unpaired surrogate becomes U+FFFD in UTF-8.
BRINDLEKIT_API VbString ToVb(std::string_view utf8);
BRINDLEKIT_API std::string ToUtf8(VbStringView text);

// ASCII-only case folding, as identifiers and member names are compared.
BRINDLEKIT_API std::string LowerAscii(std::string_view name);

} // namespace brindle::vbs
