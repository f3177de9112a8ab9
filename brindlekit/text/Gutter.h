#pragma once

#include "platform/Export.h"

#include <string>

namespace brindle {

// The columns left of the text, from the left edge: the selection margin with the
// line marks, the line numbers (right-aligned, as wide as the widest number of the
// document) and the fold markers. A hidden column is 0 wide; a hidden selection
// margin still leaves one pixel.
struct BRINDLEKIT_API GutterLayout {
    static constexpr int kMarksWidth = 20;
    static constexpr int kNumberPadding = 4; // pixels on each side of the numbers

    int marks = 1;
    int numbers = 0;
    int folds = 0;

    int Width() const { return marks + numbers + folds; }
    int NumbersLeft() const { return marks; }
    int FoldsLeft() const { return marks + numbers; }
    bool operator==(const GutterLayout&) const = default;

    // The layout for a document of `lineCount` lines in cells `charWidth` wide.
    static GutterLayout Compute(bool selectionMargin, bool lineNumbers, bool foldMarkers, int lineCount,
                                int charWidth, int lineHeight);
};

// Decimal digits of n (at least 1).
BRINDLEKIT_API int DecimalDigits(int n);
// The number shown beside a line (zero-based index): counted from 1.
BRINDLEKIT_API std::string LineNumberText(int line);

} // namespace brindle
