#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/LineRendering.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

TEST(LineRendering, RunsFollowBlocksAndSelection)
{
    // No blocks: one run of normal text.
    auto runs = BuildLineRuns(5, nullptr, 0, 0, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colorIndex, COLORINDEX_NORMALTEXT);
    EXPECT_EQ(runs[0].end, 5);

    const TextBlock blocks[] = {{2, COLORINDEX_KEYWORD}, {6, COLORINDEX_COMMENT}};
    runs = BuildLineRuns(10, blocks, 2, 4, 8);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ((std::pair{runs[0].start, runs[0].colorIndex}), (std::pair{0, int(COLORINDEX_NORMALTEXT)}));
    EXPECT_EQ((std::pair{runs[1].start, runs[1].end}), (std::pair{2, 4}));
    EXPECT_FALSE(runs[1].selected);
    EXPECT_TRUE(runs[2].selected);
    EXPECT_EQ(runs[2].colorIndex, COLORINDEX_KEYWORD);
    EXPECT_EQ((std::pair{runs[3].start, runs[3].end}), (std::pair{6, 8}));
    EXPECT_TRUE(runs[3].selected);
    EXPECT_EQ(runs[3].colorIndex, COLORINDEX_COMMENT);
    EXPECT_EQ(runs[4].end, 10);

    // Blocks past the end or out of order are clipped.
    const TextBlock odd[] = {{8, 6}, {3, 7}, {40, 8}};
    runs = BuildLineRuns(5, odd, 3, 0, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colorIndex, COLORINDEX_NORMALTEXT);
}

TEST(LineRendering, WhitespaceExpansion)
{
    EXPECT_EQ(ExpandChars("a\tb", 0, 3, 4, false), "a   b");
    EXPECT_EQ(ExpandChars("a\tb c", 0, 5, 4, true), "a\xBB  b\x95" "c");
    EXPECT_EQ(ExpandChars("abc\td", 0, 5, 4, true), "abc\xBB" "d"); // one cell to the stop
    EXPECT_EQ(ExpandChars("ab\tc", 2, 2, 4, false), "  c"); // relative to column 2
    EXPECT_EQ(ExpandChars("ab", 1, 10, 4, false), "b");
}

TEST(LineRendering, MarksAndIcons)
{
    const auto red = LineMarkColorsForFlags(LINEF_RED | LINEF_OLIVE);
    EXPECT_EQ(red.background, MakeRgb(255, 0, 0));
    EXPECT_EQ(red.text, MakeRgb(255, 255, 255));
    EXPECT_TRUE(red.fillAfterText);
    EXPECT_EQ(LineMarkColorsForFlags(LINEF_BOOKMARK).background, kNoColor);
    EXPECT_EQ(MarginIconForFlags(0), -1);
    EXPECT_EQ(MarginIconForFlags(LINEF_GREEN | LINEF_RED), 0);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(1) | LINEF_BOOKMARK), 3);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(9)), 11);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(0)), 12);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK), 13);
    EXPECT_EQ(MarginIconForFlags(LINEF_OLIVE), 14);
    EXPECT_EQ(FixedDefaultColor(COLORINDEX_SELBKGND), MakeRgb(0, 0, 0));
    EXPECT_EQ(FixedDefaultColor(42), MakeRgb(255, 0, 0));
    EXPECT_EQ(FixedDefaultColor(COLORINDEX_PREPROCESSOR), 0xC08000u);
}

} // namespace
} // namespace brindle
