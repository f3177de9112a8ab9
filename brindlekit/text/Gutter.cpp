#include "brindlekit/text/Gutter.h"

#include <algorithm>

namespace brindle {

int DecimalDigits(int n)
{
    int digits = 1;
    for (n = std::max(0, n); n >= 10; n /= 10) ++digits;
    return digits;
}

std::string LineNumberText(int line) { return std::to_string(line + 1); }

GutterLayout GutterLayout::Compute(bool selectionMargin, bool lineNumbers, bool foldMarkers, int lineCount,
                                   int charWidth, int lineHeight)
{
    GutterLayout layout;
    layout.marks = selectionMargin ? kMarksWidth : 1;
    // Sized by the number of the last line, so it widens only when the count gains a digit.
    if (lineNumbers) layout.numbers = DecimalDigits(lineCount) * std::max(1, charWidth) + 2 * kNumberPadding;
    // Square cells a line high, at least room for a 9-pixel box.
    if (foldMarkers) layout.folds = std::max(12, lineHeight);
    return layout;
}

} // namespace brindle
