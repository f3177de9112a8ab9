#pragma once

#include <cstdint>

namespace brindle {

// What a change notification tells the views; combined by OR.
constexpr std::uint32_t UPD_HORZRANGE = 0x1;    // a line's length changed
constexpr std::uint32_t UPD_VERTRANGE = 0x2;    // the line count changed
constexpr std::uint32_t UPD_SINGLELINE = 0x100; // only the given line changed
constexpr std::uint32_t UPD_FLAGSONLY = 0x200;  // only line flags changed
constexpr std::uint32_t UPD_RESET = 0x1000;     // the whole text was replaced

// The combinations the buffer sends.
constexpr std::uint32_t UPD_LINE_TEXT = UPD_SINGLELINE | UPD_HORZRANGE;   // 0x101
constexpr std::uint32_t UPD_LINES_TEXT = UPD_VERTRANGE | UPD_HORZRANGE;   // 0x3
constexpr std::uint32_t UPD_LINE_FLAGS = UPD_SINGLELINE | UPD_FLAGSONLY;  // 0x300

} // namespace brindle
