#pragma once

#include "brindlekit/text/TextViewHost.h"
#include "platform/Export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// Colours are 0x00BBGGRR values; kNoColor stands for "not set".
using ColorRef = std::uint32_t;
constexpr ColorRef kNoColor = 0xFFFFFFFF;
constexpr ColorRef MakeRgb(int r, int g, int b)
{
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) | (static_cast<ColorRef>(b) << 16);
}

// Colour indices of the text views.
enum TextColorIndex : int {
    COLORINDEX_WHITESPACE = 0,
    COLORINDEX_BKGND = 1,
    COLORINDEX_NORMALTEXT = 2,
    COLORINDEX_SELMARGIN = 3,
    COLORINDEX_SELBKGND = 4,
    COLORINDEX_SELTEXT = 5,
    COLORINDEX_KEYWORD = 6,
    COLORINDEX_COMMENT = 7,
    COLORINDEX_NUMBER = 8,
    COLORINDEX_OPERATOR = 9,
    COLORINDEX_STRING = 10,
    COLORINDEX_PREPROCESSOR = 11,
};

// The fixed default colour of an index; kNoColor for 0..3, which follow the system's
// window, window-text and scroll-bar colours.
BRINDLEKIT_API ColorRef FixedDefaultColor(int index);

// Colours of a marked line; background and text kNoColor for an unmarked line.
struct LineMarkColors {
    ColorRef background = kNoColor;
    ColorRef text = kNoColor;
    bool fillAfterText = false;
};
BRINDLEKIT_API LineMarkColors LineMarkColorsForFlags(std::uint32_t flags);

// The margin icon of a line (0..14), or -1 for none.
BRINDLEKIT_API int MarginIconForFlags(std::uint32_t flags);
constexpr int kMarginIconCount = 15;

// `count` characters from `offset` with tabs expanded relative to the column that
// `offset` reaches. With viewTabs a tab shows as 0xBB and a space as 0x95.
BRINDLEKIT_API std::string ExpandChars(std::string_view line, int offset, int count, int tabSize, bool viewTabs);

// One stretch of a line drawn with one colour index, inside or outside the selection.
struct LineRun {
    int start = 0;
    int end = 0;
    int colorIndex = COLORINDEX_NORMALTEXT;
    bool selected = false;
};

// Splits a line of `length` characters into runs by its blocks (characters before the
// first block use index 2) and by the selected range [selStart, selEnd) on this line
// (selStart == selEnd: nothing selected).
BRINDLEKIT_API std::vector<LineRun> BuildLineRuns(int length, const TextBlock* blocks, int blockCount, int selStart,
                                                  int selEnd);

} // namespace brindle
