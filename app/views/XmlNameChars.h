#pragma once

#include <cctype>

// The characters of XML names as the source views' scanners see them, byte by
// byte: every byte of a multi-byte UTF-8 character counts as a name character.
namespace xml_name {

inline bool IsNameStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || c == '_' || c == ':' || u >= 0x80;
}

inline bool IsNameChar(char c)
{
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

} // namespace xml_name
