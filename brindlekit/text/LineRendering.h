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

// How one character of a line shows in the grid.
struct CellGlyph {
    char32_t code = 0;   // the character whose glyph is drawn, or the value a hex box shows
    int cells = 1;       // 2 for a wide character
    int length = 1;      // bytes of the line it stands for
    bool hexBox = false; // drawn as a box holding the value's two hex digits
};

// The character at text[i] (i < text.size(); a tab is the caller's to expand). Control
// characters 0x7F-0x9F, and bytes 0x80-0x9F that begin no UTF-8 sequence, have no glyph
// in most fonts and become hex boxes; other such bytes stand for their Latin-1
// characters; C0 control characters show as '?'.
BRINDLEKIT_API CellGlyph GlyphAt(std::string_view text, std::size_t i);

// Where a glyph `glyphWidth` pixels wide, its baseline `glyphAscent` below its top, goes
// in cells `cellsWidth` pixels wide on a line whose baseline is `lineAscent` below its
// top: centred in the cells, on the line's baseline. The offsets are from the cells' left
// edge and the line's top. A fallback font's glyph or a missing glyph's box may be
// narrower or wider than the cells; a wider one is clipped to them when drawn.
struct GlyphOffset {
    int dx = 0;
    int dy = 0;
};
BRINDLEKIT_API GlyphOffset PlaceGlyph(int cellsWidth, int glyphWidth, int glyphAscent, int lineAscent);

// The hex box of one cell `cellWidth` by `lineHeight` pixels: a frame with the two hex
// digits of a byte one above the other, each digit drawn from a 3 x 5 pixel pattern at
// `scale` pixels a dot. Coordinates are from the cell's top left; all lie inside the cell
// (digits are left out of a cell too small for them).
struct HexBoxLayout {
    int frameX = 0, frameY = 0, frameWidth = 0, frameHeight = 0;
    bool digits = false;
    int scale = 1;
    int digitX = 0;
    int digitY[2] = {0, 0};
};
BRINDLEKIT_API HexBoxLayout LayoutHexBox(int cellWidth, int lineHeight);
// Whether dot (x, y) of hex digit `digit` (0..15) is set, x in 0..2, y in 0..4.
BRINDLEKIT_API bool HexDigitDot(int digit, int x, int y);

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
