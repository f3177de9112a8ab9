#pragma once

namespace brindle {

// A position in the text: x is the byte index within a line, y the line index,
// both from 0. Views also use it for client coordinates.
struct CPoint {
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int x_, int y_) : x(x_), y(y_) {}

    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

} // namespace brindle
