#pragma once

#include <cstdint>

namespace brindle {

// Per-line flag bits. The buffer treats them alike; views give them meaning. A
// line keeps these bits only.
constexpr std::uint32_t LINEF_BOOKMARK_N(int n) { return std::uint32_t{1} << n; } // n = 0..9
constexpr std::uint32_t LINEF_GREEN = 0x10000;
constexpr std::uint32_t LINEF_RED = 0x20000;
constexpr std::uint32_t LINEF_MARK = 0x40000;
constexpr std::uint32_t LINEF_BOOKMARK = 0x80000;
constexpr std::uint32_t LINEF_OLIVE = 0x100000;

constexpr int kNumberedBookmarkCount = 10;

} // namespace brindle
