// Cell widths of characters: the width table, UTF-8 decoding, and the view model's
// column arithmetic, hit testing and cursor moves over wide characters.
#include "ViewTestSupport.h"

#include "brindlekit/text/CharWidth.h"
#include "brindlekit/text/LineRendering.h"

#include <gtest/gtest.h>

namespace brindle::viewtest {
namespace {

// UTF-8 of some wide characters (3 bytes each) and a narrow one (2 bytes).
const std::string kZhong = "\xE4\xB8\xAD"; // U+4E2D
const std::string kWen = "\xE6\x96\x87";   // U+6587
const std::string kHan = "\xED\x95\x9C";   // U+D55C, Hangul syllable
const std::string kFullA = "\xEF\xBC\xA1"; // U+FF21, fullwidth A
const std::string kEAcute = "\xC3\xA9";    // U+00E9

TEST(CharWidth, WideTableCoversEastAsianScriptsAndTheirEdges)
{
    // Wide: CJK ideographs, kana, Hangul, fullwidth forms, ideographic space, plane 2, emoji.
    for (char32_t c : {U'\u4E00', U'\u4E2D', U'\u9FFF', U'\u3042', U'\u30A2', U'\u3000', U'\u3001', U'\uAC00',
                       U'\uD55C', U'\uD7A3', U'\u1100', U'\uFF01', U'\uFF21', U'\uFF60', U'\uFFE0', U'\uFFE6',
                       U'\uF900', U'\u3400', U'\uFE30', U'\U00020000', U'\U0002A6D6', U'\U00030000', U'\U0001F600',
                       U'\U0001F680', U'\u231A', U'\u2E80'})
        EXPECT_TRUE(IsWideCodePoint(c)) << std::hex << static_cast<unsigned>(c);
    // Narrow: ASCII, Latin, Greek, Cyrillic, box drawing, halfwidth katakana and the
    // code points just outside wide ranges.
    for (char32_t c : {U'a', U'~', U'\u00E9', U'\u03A9', U'\u0416', U'\u2500', U'\uFF61', U'\uFF71', U'\uFFE8',
                       U'\u303F', U'\u1160', U'\uD7A4', U'\uA4C7', U'\u3040', U'\u4DC0', U'\uFB00', U'\u2E9A',
                       U'\U0001F321', U'\U0003FFFE', U'\U0010FFFF', char32_t{0}})
        EXPECT_FALSE(IsWideCodePoint(c)) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(CodePointCells(U'\u4E2D'), 2);
    EXPECT_EQ(CodePointCells(U'x'), 1);
    EXPECT_EQ(CodePointCells(kInvalidUtf8), 1);
}

TEST(CharWidth, DecodingAcceptsOnlyWellFormedSequences)
{
    int length = 0;
    EXPECT_EQ(DecodeUtf8At("x", 0, length), U'x');
    EXPECT_EQ(length, 1);
    EXPECT_EQ(DecodeUtf8At(kEAcute, 0, length), U'\u00E9');
    EXPECT_EQ(length, 2);
    EXPECT_EQ(DecodeUtf8At("a" + kZhong, 1, length), U'\u4E2D');
    EXPECT_EQ(length, 3);
    EXPECT_EQ(DecodeUtf8At("\xF0\x9F\x98\x80", 0, length), U'\U0001F600');
    EXPECT_EQ(length, 4);
    // Overlong, surrogate, beyond U+10FFFF, truncated, stray continuation, bad lead.
    for (const std::string bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80", "\xF0\x80\x80\x80",
                                  "\xF4\x90\x80\x80", "\xE4\xB8", "\xE4\x41\xAD", "\x80", "\xF5\x80\x80\x80", "\xFF"}) {
        EXPECT_EQ(DecodeUtf8At(bad, 0, length), kInvalidUtf8) << bad.size();
        EXPECT_EQ(length, 1);
    }
}

TEST(CharWidth, ColumnsCountCellsAndTabStopsFollowWideCharacters)
{
    EXPECT_EQ(AdvanceColumns(kZhong + kWen, 0, 6, 0, 4), 4);
    EXPECT_EQ(AdvanceColumns("a" + kZhong + "\tb", 0, 6, 0, 4), 5); // a 0, wide 1-2, tab to 4, b 4
    EXPECT_EQ(AdvanceColumns(kZhong + kZhong + kZhong + "\tx", 0, 11, 0, 4), 9);
    EXPECT_EQ(AdvanceColumns(kEAcute + kHan + kFullA, 0, 8, 0, 4), 5);
    EXPECT_EQ(AdvanceColumns("\xFF\xFE" "x", 0, 3, 0, 4), 3); // invalid bytes: one cell each
    EXPECT_EQ(AdvanceColumns("\xE4\xB8", 0, 2, 0, 4), 2);      // a truncated sequence too
    EXPECT_EQ(AdvanceColumns(kZhong + "\t", 3, 4, 2, 4), 4);   // from a given column
    EXPECT_EQ(AdvanceColumns(kZhong, 0, 1, 0, 4), 2);           // a character begun counts whole
}

TEST(CharWidth, ExpandCharsPlacesTabStopsAfterWideCharacters)
{
    const std::string line = kZhong + "\tb";
    EXPECT_EQ(ExpandChars(line, 0, 5, 4, false), kZhong + "  b");
    EXPECT_EQ(ExpandChars(line, 3, 2, 4, false), "  b"); // relative to column 2
    EXPECT_EQ(ExpandChars(line, 0, 5, 4, true), kZhong + "\xBB b");
    EXPECT_EQ(ExpandChars("x" + kWen + "\t", 0, 5, 4, false), "x" + kWen + " ");
}

TEST(CharWidth, GlyphsKeepToTheirCells)
{
    // What each character draws, and in how many cells.
    auto glyph = [](const std::string& text) { return GlyphAt(text, 0); };
    EXPECT_EQ(glyph("a").code, U'a');
    EXPECT_EQ(glyph("\x01").code, U'?');
    EXPECT_EQ(glyph(kZhong).code, U'\u4E2D');
    EXPECT_EQ(glyph(kZhong).cells, 2);
    EXPECT_EQ(glyph(kZhong).length, 3);
    EXPECT_FALSE(glyph(kZhong).hexBox);
    EXPECT_EQ(glyph("\xF0\xBF\xBF\xBD").cells, 2); // unassigned, still wide
    // Bytes 0x80-0x9F that begin no sequence, C1 controls and DEL: one-cell hex boxes.
    for (const std::string box : {"\x85", "\x9F", "\xC2\x85", "\x7F"}) {
        const CellGlyph g = glyph(box + "x");
        EXPECT_TRUE(g.hexBox) << box.size();
        EXPECT_EQ(g.cells, 1);
        EXPECT_EQ(g.length, static_cast<int>(box.size()));
    }
    EXPECT_EQ(glyph("\x85").code, 0x85u);
    EXPECT_EQ(glyph("\xC2\x9F").code, 0x9Fu);
    // Other stray bytes are their Latin-1 characters.
    EXPECT_EQ(glyph("\xE9x").code, U'\u00E9');
    EXPECT_FALSE(glyph("\xE9x").hexBox);
    EXPECT_FALSE(glyph(kEAcute).hexBox);

    // A glyph is centred in its cells on the line's baseline, whether narrower or wider.
    EXPECT_EQ(PlaceGlyph(16, 12, 11, 13).dx, 2);
    EXPECT_EQ(PlaceGlyph(16, 12, 11, 13).dy, 2);
    EXPECT_EQ(PlaceGlyph(16, 24, 15, 13).dx, -4);
    EXPECT_EQ(PlaceGlyph(16, 24, 15, 13).dy, -2);

    // The hex box and its digits lie inside the cell at any size.
    for (const auto& [width, height] : {std::pair{8, 17}, {7, 14}, {13, 27}, {20, 40}, {5, 9}, {1, 1}}) {
        const HexBoxLayout box = LayoutHexBox(width, height);
        EXPECT_GE(box.frameX, 0);
        EXPECT_GE(box.frameY, 0);
        EXPECT_LE(box.frameX + box.frameWidth, width);
        EXPECT_LE(box.frameY + box.frameHeight, height);
        if (!box.digits) continue;
        EXPECT_GT(box.digitX, box.frameX);
        EXPECT_LT(box.digitX + 3 * box.scale, box.frameX + box.frameWidth - 1);
        EXPECT_GT(box.digitY[0], box.frameY);
        EXPECT_GT(box.digitY[1], box.digitY[0] + 5 * box.scale - 1);
        EXPECT_LT(box.digitY[1] + 5 * box.scale, box.frameY + box.frameHeight - 1);
    }
    EXPECT_TRUE(LayoutHexBox(8, 17).digits);
    EXPECT_EQ(LayoutHexBox(20, 40).scale, 3);
    EXPECT_FALSE(LayoutHexBox(5, 9).digits);
    // The sixteen digit patterns differ from one another.
    for (int a = 0; a < 16; ++a)
        for (int b = a + 1; b < 16; ++b) {
            bool differ = false;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 3; ++x) differ = differ || HexDigitDot(a, x, y) != HexDigitDot(b, x, y);
            EXPECT_TRUE(differ) << a << " " << b;
        }
    EXPECT_TRUE(HexDigitDot(1, 1, 0));
    EXPECT_FALSE(HexDigitDot(1, 0, 0));
    EXPECT_FALSE(HexDigitDot(16, 0, 0));
}

TEST(TextViewWide, ColumnsAndLineLengths)
{
    ViewFixture f({kZhong + kWen + "ab", kZhong + "\tx", "\xFF" + kHan + "z"});
    auto& v = f.view;
    EXPECT_EQ(v.CalculateActualOffset(0, 3), 2);
    EXPECT_EQ(v.CalculateActualOffset(0, 6), 4);
    EXPECT_EQ(v.CalculateActualOffset(0, 7), 5);
    EXPECT_EQ(v.GetLineActualLength(0), 6);
    EXPECT_EQ(v.CalculateActualOffset(1, 4), 4); // the tab after the wide character ends at 4
    EXPECT_EQ(v.GetLineActualLength(1), 5);
    EXPECT_EQ(v.CalculateActualOffset(2, 1), 1); // invalid byte
    EXPECT_EQ(v.CalculateActualOffset(2, 4), 3);
    EXPECT_EQ(v.GetMaxLineLength(), 6);
    EXPECT_EQ(v.TextToClient(CPoint(6, 0)), CPoint(20 + 4 * 8, 0));

    // Column to index: on a boundary the index after; inside a wide character the one before.
    EXPECT_EQ(v.ApproxActualOffset(0, 1), 0);
    EXPECT_EQ(v.ApproxActualOffset(0, 2), 3);
    EXPECT_EQ(v.ApproxActualOffset(0, 3), 3);
    EXPECT_EQ(v.ApproxActualOffset(0, 4), 6);
    EXPECT_EQ(v.ApproxActualOffset(0, 5), 7);
    EXPECT_EQ(v.ApproxActualOffset(0, 50), 8);
    // The tab (columns 2-3) keeps its rule: s = 4, and 4 - 2 < 3 gives the index after it.
    EXPECT_EQ(v.ApproxActualOffset(1, 2), 3);
    EXPECT_EQ(v.ApproxActualOffset(1, 3), 4);
    EXPECT_EQ(v.ApproxActualOffset(1, 5), 5);

    // Tab size changes remeasure.
    v.SetTabSize(8);
    EXPECT_EQ(v.GetLineActualLength(1), 9);
}

TEST(TextViewWide, HitTestingSnapsToTheNearerSideOfAWideCharacter)
{
    ViewFixture f({kZhong + kWen + "ab"});
    auto& v = f.view;
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(0, 0)), CPoint(0, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(2, 0)), CPoint(3, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(4, 0)), CPoint(6, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(5, 0)), CPoint(7, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(9, 0)), CPoint(8, 0));

    // Clicks snap to the boundary nearer to them: the middle of a wide character is
    // the border between its cells.
    auto click = [&](int x) {
        CPoint p(x, 3);
        v.AdjustTextPoint(p);
        return v.ClientToText(p);
    };
    const int left = TextViewModel::kMarginWidth;
    EXPECT_EQ(click(left + 1), CPoint(0, 0));
    EXPECT_EQ(click(left + 7), CPoint(0, 0));  // right half of the first cell
    EXPECT_EQ(click(left + 9), CPoint(3, 0));  // left half of the second cell
    EXPECT_EQ(click(left + 15), CPoint(3, 0));
    EXPECT_EQ(click(left + 23), CPoint(3, 0)); // first cell of the second character
    EXPECT_EQ(click(left + 25), CPoint(6, 0));
    EXPECT_EQ(click(left + 33), CPoint(6, 0)); // 'a', left half
    EXPECT_EQ(click(left + 37), CPoint(7, 0)); // 'a', right half

    v.OnLButtonDown(CPoint(left + 26, 3), false, false);
    v.OnLButtonUp(CPoint(left + 26, 3));
    EXPECT_EQ(v.GetCursorPos(), CPoint(6, 0));

    // Scrolled by one column, the first character is half off screen.
    v.ScrollToChar(1);
    EXPECT_EQ(v.ClientToText(CPoint(left + 1, 3)), CPoint(0, 0));
    EXPECT_EQ(v.ClientToText(CPoint(left + 9, 3)), CPoint(3, 0));
}

TEST(TextViewWide, VerticalMovesKeepTheIdealColumnAcrossWideText)
{
    ViewFixture f({"abcdef", kZhong + kWen + kHan, "abcdef", kFullA + "x"});
    auto& v = f.view;
    v.MoveToPos(0, 4);
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(6, 1)); // column 4: after the second character
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 2));

    // Column 3 lies inside a wide character: the cursor stays before it and returns to
    // column 3 below.
    v.MoveToPos(0, 3);
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));
    EXPECT_EQ(v.GetIdealCharPos(), 3);
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 2));
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 3)); // fullwidth A is two columns, x is the third
    v.MoveUp(false);
    v.MoveUp(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));

    // Horizontal moves step whole characters and set the ideal column in cells.
    v.MoveToPos(1, 0);
    v.MoveRight(false);
    v.MoveRight(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(6, 1));
    EXPECT_EQ(v.GetIdealCharPos(), 4);
    v.MoveUp(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 0));
    v.MoveEnd(false);
    v.MoveDown(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(9, 1));
}

TEST(TextViewWide, HorizontalScrollingCountsCells)
{
    std::string wide;
    for (int i = 0; i < 30; ++i) wide += kZhong;
    ViewFixture f({wide, "short"});
    auto& v = f.view;
    EXPECT_EQ(v.GetMaxLineLength(), 60);
    v.MoveToPos(0, 90);
    EXPECT_EQ(v.GetOffsetChar(), 60 - 40); // the screen is 40 columns wide
    v.MoveHome(false);
    EXPECT_EQ(v.GetOffsetChar(), 0);

    // Typing a wide character moves the caret by two cells and widens the line.
    v.MoveToPos(1, 5);
    v.OnChar(kWen);
    EXPECT_EQ(v.GetCursorPos(), CPoint(8, 1));
    EXPECT_EQ(v.CalculateActualOffset(1, 8), 7);
    v.OnEditDeleteBack();
    EXPECT_EQ(v.GetLineText(1), "short");
}

} // namespace
} // namespace brindle::viewtest
