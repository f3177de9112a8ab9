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
