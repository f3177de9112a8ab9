#pragma once

#include <cctype>

namespace brindle {

// Character classes of the word moves and the whole-word search, on single bytes: a
// word character is a letter, a digit or '_'; white space is what isspace says.
inline bool IsWordChar(unsigned char c)
{
    return std::isalnum(c) != 0 || c == '_';
}

inline bool IsSpaceChar(unsigned char c)
{
    return std::isspace(c) != 0;
}

} // namespace brindle
