#pragma once

#include "brindlekit/text/TextViewHost.h"

#include <cstdint>
#include <string_view>

// Line colouring of the XML and DTD source views. The cookie carries a line's
// state into the next: only "carried" survives an ordinary line end; a line that
// ends in a backslash passes its whole state on.
namespace source_colour {

constexpr std::uint32_t kRestOfLine = 0x01;
constexpr std::uint32_t kHashLine = 0x02;
constexpr std::uint32_t kCarried = 0x04;
constexpr std::uint32_t kDoubleQuoted = 0x08;
constexpr std::uint32_t kSingleQuoted = 0x10;

constexpr int kNormal = 2;
constexpr int kKeyword = 6;
constexpr int kRestOfLineColour = 7;
constexpr int kNumber = 8;
constexpr int kQuoted = 10;
constexpr int kHashColour = 11;

// Colours one line: appends (position, colour) blocks when blocks is not null
// (it must have room for one block per character plus one) and returns the
// cookie for the next line.
std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line, brindle::TextBlock* blocks, int& count);

bool IsKeyword(std::string_view identifier);
// "0x" followed by hexadecimal digits, or a decimal digit followed by digits,
// signs, points and exponent letters.
bool IsNumber(std::string_view identifier);

} // namespace source_colour
