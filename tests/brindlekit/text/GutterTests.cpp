#include "ViewTestSupport.h"

#include "brindlekit/text/Gutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brindle;
using namespace brindle::viewtest;

namespace {

std::vector<std::string> NumberedLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

constexpr int kPad = 2 * GutterLayout::kNumberPadding;

} // namespace

TEST(Gutter, LayoutFollowsTheDigitsOfTheLineCount)
{
    EXPECT_EQ(DecimalDigits(0), 1);
    EXPECT_EQ(DecimalDigits(9), 1);
    EXPECT_EQ(DecimalDigits(10), 2);
    EXPECT_EQ(DecimalDigits(9999), 4);
    EXPECT_EQ(DecimalDigits(10000), 5);
    EXPECT_EQ(DecimalDigits(28000000), 8);
    EXPECT_EQ(LineNumberText(0), "1");
    EXPECT_EQ(LineNumberText(9999), "10000");

    const GutterLayout off = GutterLayout::Compute(true, false, false, 10000, 8, 16);
    EXPECT_EQ(off.Width(), GutterLayout::kMarksWidth);
    EXPECT_EQ(GutterLayout::Compute(false, false, false, 10000, 8, 16).Width(), 1);

    const GutterLayout small = GutterLayout::Compute(true, true, false, 9999, 8, 16);
    const GutterLayout large = GutterLayout::Compute(true, true, false, 10000, 8, 16);
    EXPECT_EQ(small.NumbersLeft(), GutterLayout::kMarksWidth); // numbers sit right of the marks
    EXPECT_EQ(small.numbers, 4 * 8 + kPad);
    EXPECT_EQ(large.numbers, 5 * 8 + kPad);
    const GutterLayout folds = GutterLayout::Compute(true, true, true, 10000, 8, 16);
    EXPECT_EQ(folds.FoldsLeft(), large.Width());
    EXPECT_GT(folds.Width(), large.Width());
}

TEST(Gutter, ViewWidensWhenTheCountGainsADigitAndMapsPointsPastIt)
{
    ViewFixture f(NumberedLines(9));
    TextViewModel& view = f.view;
    const int charsWithout = view.GetScreenChars();
    view.SetShowLineNumbers(true);
    const int margin = GutterLayout::kMarksWidth + 8 + kPad;
    ASSERT_EQ(view.GetMarginWidth(), margin);
    EXPECT_EQ(view.GetScreenChars(), charsWithout - (8 + kPad) / 8);

    // A click on the text lands on the column under it, the gutter left of it.
    EXPECT_EQ(view.ClientToText(CPoint(margin + 3 * 8 + 1, 2 * 16 + 2)), CPoint(3, 2));
    EXPECT_EQ(view.TextToClient(CPoint(3, 2)).x, margin + 3 * 8);
    // A click on a number is a click in the margin: it selects the line.
    view.OnLButtonDown(CPoint(GutterLayout::kMarksWidth + 2, 4 * 16 + 2), false, false);
    view.OnLButtonUp(CPoint(GutterLayout::kMarksWidth + 2, 4 * 16 + 2));
    CPoint start;
    CPoint end;
    view.GetSelection(start, end);
    EXPECT_EQ(start, CPoint(0, 4));
    EXPECT_EQ(end, CPoint(0, 5));

    // The tenth line gains a digit: the gutter widens and the window repaints.
    const int repaintsBefore = f.host.invalidateAll;
    view.SetCursorPos(CPoint(0, 8));
    int endLine = 0;
    int endChar = 0;
    ASSERT_TRUE(f.buffer.InsertText(nullptr, 8, 6, "\r\nten", endLine, endChar, 0));
    EXPECT_EQ(view.GetLineCount(), 10);
    EXPECT_EQ(view.GetMarginWidth(), GutterLayout::kMarksWidth + 2 * 8 + kPad);
    EXPECT_GT(f.host.invalidateAll, repaintsBefore);
    // Typing on a line leaves it as it is.
    const GutterLayout before = view.GetGutter();
    ASSERT_TRUE(f.buffer.InsertText(nullptr, 3, 0, "x", endLine, endChar, 0));
    EXPECT_EQ(view.GetGutter(), before);
    // And it narrows again when the line goes.
    ASSERT_TRUE(f.buffer.DeleteText(nullptr, 8, 6, 9, 3, 0));
    EXPECT_EQ(view.GetMarginWidth(), margin);

    view.SetShowLineNumbers(false);
    EXPECT_EQ(view.GetMarginWidth(), GutterLayout::kMarksWidth);
    EXPECT_EQ(view.GetScreenChars(), charsWithout);
}
