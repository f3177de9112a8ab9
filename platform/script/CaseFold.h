#pragma once

#include "platform/script/ScriptString.h"

namespace brindle::vbs {

// Per-character case mapping for LCase, UCase and text comparison: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters. One code unit maps to
// one code unit, so mapping never changes a string's length.
char16_t LowerChar(char16_t c);
char16_t UpperChar(char16_t c);

inline char16_t FoldChar(char16_t c)
{
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    return LowerChar(c);
}

} // namespace brindle::vbs
