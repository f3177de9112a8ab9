#include "brindlekit/text/LineRendering.h"

#include "brindlekit/text/CharWidth.h"
#include "brindlekit/text/LineFlags.h"

#include <algorithm>

namespace brindle {

ColorRef FixedDefaultColor(int index)
{
    switch (index) {
    case COLORINDEX_WHITESPACE:
    case COLORINDEX_BKGND:
    case COLORINDEX_NORMALTEXT:
    case COLORINDEX_SELMARGIN: return kNoColor;
    case COLORINDEX_SELBKGND: return MakeRgb(0, 0, 0);
    case COLORINDEX_SELTEXT: return MakeRgb(255, 255, 255);
    case COLORINDEX_KEYWORD: return MakeRgb(0, 0, 255);
    case COLORINDEX_COMMENT: return MakeRgb(128, 128, 128);
    case COLORINDEX_NUMBER: return MakeRgb(128, 0, 0);
    case COLORINDEX_OPERATOR: return MakeRgb(0, 0, 0);
    case COLORINDEX_PREPROCESSOR: return MakeRgb(0, 128, 192);
    default: return MakeRgb(255, 0, 0);
    }
}

LineMarkColors LineMarkColorsForFlags(std::uint32_t flags)
{
    const ColorRef white = MakeRgb(255, 255, 255);
    if (flags & LINEF_GREEN) return {MakeRgb(0, 128, 0), white, true};
    if (flags & LINEF_RED) return {MakeRgb(255, 0, 0), white, true};
    if (flags & LINEF_OLIVE) return {MakeRgb(128, 128, 0), white, true};
    return {};
}

int MarginIconForFlags(std::uint32_t flags)
{
    if (flags & LINEF_GREEN) return 0;
    if (flags & LINEF_RED) return 1;
    if (flags & LINEF_MARK) return 2;
    for (int n = 1; n <= 9; ++n)
        if (flags & LINEF_BOOKMARK_N(n)) return 2 + n;
    if (flags & LINEF_BOOKMARK_N(0)) return 12;
    if (flags & LINEF_BOOKMARK) return 13;
    if (flags & LINEF_OLIVE) return 14;
    return -1;
}

std::string ExpandChars(std::string_view line, int offset, int count, int tabSize, bool viewTabs)
{
    std::string out;
    const int length = static_cast<int>(line.size());
    offset = std::clamp(offset, 0, length);
    count = std::clamp(count, 0, length - offset);
    tabSize = std::max(1, tabSize);
    int column = AdvanceColumns(line, 0, static_cast<std::size_t>(offset), 0, tabSize);
    out.reserve(static_cast<std::size_t>(count));
    for (int i = offset; i < offset + count;) {
        const char c = line[static_cast<std::size_t>(i)];
        if (c == '\t') {
            const int spaces = tabSize - column % tabSize;
            if (viewTabs) {
                out.push_back(static_cast<char>(0xBB));
                out.append(static_cast<std::size_t>(spaces - 1), ' ');
            } else {
                out.append(static_cast<std::size_t>(spaces), ' ');
            }
            column += spaces;
            ++i;
        } else {
            // Other characters are copied whole; a wide one moves later tab stops by two.
            int bytes = 1;
            column += CellsAt(line, static_cast<std::size_t>(i), bytes);
            bytes = std::min(bytes, offset + count - i);
            if (viewTabs && c == ' ')
                out.push_back(static_cast<char>(0x95));
            else
                out.append(line.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(bytes)));
            i += bytes;
        }
    }
    return out;
}

CellGlyph GlyphAt(std::string_view text, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20) return {U'?', 1, 1, false};
    if (c < 0x7F) return {c, 1, 1, false};
    int length = 1;
    const char32_t code = DecodeUtf8At(text, i, length);
    if (code == kInvalidUtf8) return {c, 1, 1, c <= 0x9F};
    return {code, CodePointCells(code), length, code <= 0x9F};
}

GlyphOffset PlaceGlyph(int cellsWidth, int glyphWidth, int glyphAscent, int lineAscent)
{
    return {(cellsWidth - glyphWidth) / 2, lineAscent - glyphAscent};
}

HexBoxLayout LayoutHexBox(int cellWidth, int lineHeight)
{
    // A pixel free on the right keeps neighbouring boxes apart; one above and below.
    HexBoxLayout box;
    box.frameX = 0;
    box.frameY = lineHeight > 4 ? 1 : 0;
    box.frameWidth = std::max(1, cellWidth - 1);
    box.frameHeight = std::max(1, lineHeight - 2 * box.frameY);
    // Inside the frame, a pixel of space around two digits of 5 dots and a dot between.
    const int room = box.frameWidth - 4;
    const int height = box.frameHeight - 4;
    box.digits = room >= 3 && height >= 11;
    if (box.digits) {
        box.scale = std::max(1, std::min(room / 3, height / 11));
        box.digitX = box.frameX + (box.frameWidth - 3 * box.scale) / 2;
        box.digitY[0] = box.frameY + (box.frameHeight - 11 * box.scale) / 2;
        box.digitY[1] = box.digitY[0] + 6 * box.scale;
    }
    return box;
}

bool HexDigitDot(int digit, int x, int y)
{
    // Rows of three dots, top row first, the leftmost dot in the high bit of each row.
    static constexpr unsigned short kDots[16] = {
        0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111,
        0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'001'001,
        0b111'101'111'101'111, 0b111'101'111'001'111, 0b010'101'111'101'101, 0b110'101'110'101'110,
        0b011'100'100'100'011, 0b110'101'101'101'110, 0b111'100'111'100'111, 0b111'100'111'100'100,
    };
    if (digit < 0 || digit > 15 || x < 0 || x > 2 || y < 0 || y > 4) return false;
    return (kDots[digit] >> ((4 - y) * 3 + (2 - x))) & 1;
}

std::vector<LineRun> BuildLineRuns(int length, const TextBlock* blocks, int blockCount, int selStart, int selEnd)
{
    // Colour runs first.
    std::vector<LineRun> colour;
    int pos = 0;
    int index = COLORINDEX_NORMALTEXT;
    for (int i = 0; i < blockCount && blocks; ++i) {
        const int at = std::clamp(blocks[i].m_nCharPos, pos, length);
        if (at > pos) colour.push_back({pos, at, index, false});
        pos = at;
        index = blocks[i].m_nColorIndex;
    }
    if (length > pos) colour.push_back({pos, length, index, false});

    // Then split each by the selection.
    selStart = std::clamp(selStart, 0, length);
    selEnd = std::clamp(selEnd, selStart, length);
    std::vector<LineRun> runs;
    for (const LineRun& run : colour) {
        const int a = std::max(run.start, selStart);
        const int b = std::min(run.end, selEnd);
        if (a >= b) {
            runs.push_back(run);
            continue;
        }
        if (run.start < a) runs.push_back({run.start, a, run.colorIndex, false});
        runs.push_back({a, b, run.colorIndex, true});
        if (b < run.end) runs.push_back({b, run.end, run.colorIndex, false});
    }
    return runs;
}

} // namespace brindle
