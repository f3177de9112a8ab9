#include "ViewTestSupport.h"

#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/LineValues.h"
#include "brindlekit/text/TextCommandIds.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brindle::viewtest {
namespace {

TEST(TextViewGeometry, TabsExpandToTheNextStop)
{
    ViewFixture f({"a\tb", "\t\tx", "abcd\te"});
    auto& v = f.view;
    EXPECT_EQ(v.CalculateActualOffset(0, 2), 4); // b sits in column 4
    EXPECT_EQ(v.CalculateActualOffset(1, 2), 8);
    EXPECT_EQ(v.CalculateActualOffset(2, 5), 8); // a tab on a stop takes a full width
    EXPECT_EQ(v.GetLineActualLength(0), 5);
    EXPECT_EQ(v.GetLineActualLength(2), 9);
    // Column 2 lies in the first half of the tab: the tab's own index.
    EXPECT_EQ(v.ApproxActualOffset(0, 2), 1);
    EXPECT_EQ(v.ApproxActualOffset(0, 3), 2);
    EXPECT_EQ(v.ApproxActualOffset(0, 0), 0);
    EXPECT_EQ(v.ApproxActualOffset(0, 99), 3);

    v.SetTabSize(8);
    EXPECT_EQ(v.GetLineActualLength(0), 9); // the cache was dropped
    EXPECT_EQ(v.GetMaxLineLength(), 17);
}

TEST(TextViewGeometry, ClientAndTextPointsMapOntoEachOther)
{
    ViewFixture f({"a\tbc", "xyz"});
    auto& v = f.view;
    // Column 5 is 'c' (a=0, tab=1..3, b=4, c=5).
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(5, 0)), CPoint(3, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(2, 0)), CPoint(1, 0)); // inside the tab
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(30, 1)), CPoint(3, 1)); // past the end
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(0, 7)), CPoint(0, 1));  // below the text
    EXPECT_EQ(v.ClientToText(CPoint(0, -40)), CPoint(0, 0));
    EXPECT_EQ(v.TextToClient(CPoint(2, 0)), CPoint(20 + 4 * 8, 0));
    EXPECT_EQ(v.TextToClient(CPoint(1, 1)), CPoint(20 + 8, 16));

    // A click snaps to the nearest character boundary.
    CPoint right = ViewFixture::Cell(1, 1);
    right.x += 4;
    v.AdjustTextPoint(right);
    EXPECT_EQ(v.ClientToText(right), CPoint(2, 1));

    // Without the margin the text starts one pixel from the edge.
    v.SetSelectionMargin(false);
    EXPECT_EQ(v.GetMarginWidth(), 1);
    EXPECT_EQ(v.TextToClient(CPoint(0, 0)).x, 1);
    EXPECT_EQ(v.GetScreenChars(), (20 + 40 * 8 - 1) / 8);
}

TEST(TextViewGeometry, UtfEightCharactersAreNotSplit)
{
    ViewFixture f({"a\xc3\xa9z"}); // a, e-acute (2 bytes), z
    auto& v = f.view;
    // e-acute takes one cell: cell 1 holds it, cell 2 holds z.
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(1, 0)), CPoint(1, 0));
    EXPECT_EQ(v.ClientToText(ViewFixture::Cell(2, 0)), CPoint(3, 0));
    EXPECT_EQ(v.GetLineActualLength(0), 3);
    v.MoveToPos(0, 1);
    v.MoveRight(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 0));
    v.MoveLeft(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 0));
}

TEST(TextViewGeometry, NoBufferAnswersAsOneEmptyLine)
{
    EditViewModel v;
    EXPECT_EQ(v.GetLineCount(), 1);
    EXPECT_EQ(v.GetLineLength(0), 0);
    EXPECT_EQ(v.GetLineFlags(0), 0u);
    EXPECT_EQ(v.GetLineText(5), "");
    v.MoveDown(false);
    v.MoveCtrlEnd(false);
    v.MoveWordRight(false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
    v.OnChar("x");
    v.OnEditDeleteBack();
    v.Paste();
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
    EXPECT_EQ(v.GetIndicator(textcmd::ID_INDICATOR_POSITION).text, "Ln 1, Col 1");
    EXPECT_FALSE(v.GetIndicator(textcmd::ID_INDICATOR_CRLF).enabled);
}

TEST(TextViewGeometry, EnsureVisibleScrollsJustEnough)
{
    ViewFixture f(Numbered(100, std::string(60, 'x')));
    auto& v = f.view;
    v.EnsureVisible(CPoint(0, 25));
    EXPECT_EQ(v.GetTopLine(), 16); // the line becomes the last visible one
    v.EnsureVisible(CPoint(0, 5));
    EXPECT_EQ(v.GetTopLine(), 5);
    v.EnsureVisible(CPoint(0, 99));
    EXPECT_EQ(v.GetTopLine(), 99 - 9);
    v.EnsureVisible(CPoint(55, 5));
    EXPECT_EQ(v.GetOffsetChar(), 15);
    v.EnsureVisible(CPoint(3, 5));
    EXPECT_EQ(v.GetOffsetChar(), 3);
    EXPECT_FALSE(f.host.tops.empty());
}

TEST(TextViewGeometry, ScrollCommandsStayInRange)
{
    ViewFixture f(Numbered(30));
    auto& v = f.view;
    v.OnVScroll(TextViewModel::SB_PAGEDOWN, 0);
    EXPECT_EQ(v.GetTopLine(), 9);
    v.OnVScroll(TextViewModel::SB_BOTTOM, 0);
    EXPECT_EQ(v.GetTopLine(), 21);
    v.OnVScroll(TextViewModel::SB_THUMBTRACK, 1000);
    EXPECT_EQ(v.GetTopLine(), 29);
    v.OnVScroll(TextViewModel::SB_TOP, 0);
    v.OnVScroll(TextViewModel::SB_LINEUP, 0);
    EXPECT_EQ(v.GetTopLine(), 0);
    v.OnMouseWheel(-120, false, false);
    EXPECT_EQ(v.GetTopLine(), 1);
    v.OnMouseWheel(-120, true, false); // ignored with Shift
    EXPECT_EQ(v.GetTopLine(), 1);
    v.OnMouseWheel(120, false, false);
    EXPECT_EQ(v.GetTopLine(), 0);
    v.ExecuteCommand(textcmd::ID_EDIT_SCROLL_DOWN);
    EXPECT_EQ(v.GetTopLine(), 1);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0)); // scrolling leaves the cursor

    v.SetSmoothScroll(true);
    f.host.tops.clear();
    v.ScrollToLine(25);
    EXPECT_EQ(v.GetTopLine(), 25);
    EXPECT_GT(f.host.tops.size(), 1u); // several steps
}

TEST(TextViewGeometry, ParseStatesAreComputedOnceAndInvalidatedFromTheChange)
{
    ViewFixture f(Numbered(100));
    auto& v = f.view;
    EXPECT_EQ(v.GetParseCookie(-1), 0u);
    EXPECT_EQ(v.GetParseCookie(49), 50u); // each line adds one in the test parser
    EXPECT_EQ(f.host.parsed.size(), 50u);
    f.host.parsed.clear();
    EXPECT_EQ(v.GetParseCookie(20), 21u);
    EXPECT_TRUE(f.host.parsed.empty());

    // Editing line 10 re-parses from line 10 only, and as its state comes out
    // as before, the states known after it hold: then lines 50 to 99, which
    // were never parsed.
    int el = 0;
    int ec = 0;
    f.buffer.InsertText(nullptr, 10, 0, "x", el, ec, EA_TYPING);
    EXPECT_EQ(v.GetParsedLineCount(), 10);
    v.GetParseCookie(99);
    ASSERT_FALSE(f.host.parsed.empty());
    EXPECT_EQ(f.host.parsed.front(), 10);
    EXPECT_EQ(f.host.parsed.size(), 51u);
    EXPECT_EQ(f.host.parsed[1], 50);

    // A multi-line change keeps the states before it.
    f.buffer.InsertText(nullptr, 40, 0, "a\r\nb", el, ec, EA_TYPING);
    EXPECT_EQ(v.GetParsedLineCount(), 40);

    // Far past the known states (the end of a huge text) the walk starts two
    // thousand lines before, from the first state, and goes on from there.
    ViewFixture big(Numbered(150000));
    auto& w = big.view;
    EXPECT_EQ(w.GetParseCookie(140000), 2001u);
    EXPECT_EQ(big.host.parsed.size(), 2001u);
    EXPECT_EQ(big.host.parsed.front(), 138000);
    big.host.parsed.clear();
    EXPECT_EQ(w.GetParseCookie(140010), 2011u);
    EXPECT_EQ(big.host.parsed.size(), 10u);
    EXPECT_EQ(w.GetParseCookie(50), 51u); // near the start: exact, from the top
    // An edit inside that run drops the states after it; one before drops it all.
    big.host.parsed.clear();
    big.buffer.InsertText(nullptr, 139000, 0, "x", el, ec, EA_TYPING);
    EXPECT_EQ(w.GetParseCookie(140010), 2011u);
    EXPECT_EQ(big.host.parsed.front(), 139000);
    big.buffer.InsertText(nullptr, 100, 0, "x", el, ec, EA_TYPING);
    big.host.parsed.clear();
    w.GetParseCookie(140010);
    EXPECT_EQ(big.host.parsed.front(), 138010);
}

TEST(TextViewGeometry, AnEditReparsesUntilTheStatesMeetTheOldOnes)
{
    // A line holding "{" opens a block and one holding "}" closes it: the state
    // says whether a line ends inside one.
    ViewFixture f(Numbered(60));
    auto& buffer = f.buffer;
    f.host.parser = [&buffer](std::uint32_t cookie, int line) -> std::uint32_t {
        const std::string_view text(buffer.GetLineChars(line), static_cast<std::size_t>(buffer.GetLineLength(line)));
        if (text.find('{') != std::string_view::npos) return 1;
        if (text.find('}') != std::string_view::npos) return 0;
        return cookie;
    };
    auto& v = f.view;
    const auto parsedFor = [&](int line) {
        f.host.parsed.clear();
        v.GetParseCookie(line);
        return f.host.parsed;
    };
    int el = 0;
    int ec = 0;
    buffer.InsertText(nullptr, 10, 0, "{", el, ec, EA_TYPING);
    buffer.InsertText(nullptr, 20, 0, "}", el, ec, EA_TYPING);
    EXPECT_EQ(parsedFor(59).size(), 60u);
    EXPECT_EQ(v.GetParseCookie(15), 1u);

    // An edit that opens nothing stops at its own line.
    buffer.InsertText(nullptr, 15, 0, "x", el, ec, EA_TYPING);
    EXPECT_EQ(parsedFor(59), std::vector<int>{15});
    // Opening a block changes every later state: all of them are computed again,
    // and so is every one that closing it changes back.
    buffer.InsertText(nullptr, 30, 0, "{", el, ec, EA_TYPING);
    EXPECT_EQ(parsedFor(59).size(), 30u);
    EXPECT_EQ(v.GetParseCookie(59), 1u);
    buffer.InsertText(nullptr, 40, 0, "}", el, ec, EA_TYPING);
    EXPECT_EQ(parsedFor(59).size(), 20u);
    EXPECT_EQ(v.GetParseCookie(59), 0u);
    // Removing an opening brace: the states differ up to the closing line, where
    // they meet the old ones.
    buffer.DeleteText(nullptr, 10, 0, 10, 1, EA_DELETE);
    EXPECT_EQ(parsedFor(59).size(), 11u);
    EXPECT_EQ(v.GetParseCookie(15), 0u);
    EXPECT_EQ(v.GetParseCookie(35), 1u);
    // A second edit above the first before anything was parsed again: from the
    // higher one, and again from the lower one, whose states changed.
    buffer.InsertText(nullptr, 50, 0, "{", el, ec, EA_TYPING);
    buffer.InsertText(nullptr, 45, 0, "x", el, ec, EA_TYPING);
    const std::vector<int> both = parsedFor(59);
    ASSERT_EQ(both.size(), 11u);
    EXPECT_EQ(both[0], 45);
    EXPECT_EQ(both[1], 50);
    EXPECT_EQ(v.GetParseCookie(55), 1u);
    // A change of the line count recomputes everything after it.
    buffer.InsertText(nullptr, 5, 0, "a\r\nb", el, ec, EA_TYPING);
    EXPECT_EQ(parsedFor(60).size(), 56u);
}

TEST(TextViewGeometry, ExpandedLengthsFollowLineMoves)
{
    ViewFixture f({"a", "\tbb", "ccc", "dddd\t"});
    auto& v = f.view;
    EXPECT_EQ(v.GetMaxLineLength(), 8);
    int el = 0;
    int ec = 0;
    // Edits within one line: a line that was not the longest leaves the
    // maximum alone; the longest one shrinking has it measured again.
    f.buffer.DeleteText(nullptr, 2, 0, 2, 1, EA_DELETE);
    EXPECT_EQ(v.GetMaxLineLength(), 8);
    f.buffer.DeleteText(nullptr, 3, 4, 3, 5, EA_DELETE);
    EXPECT_EQ(v.GetMaxLineLength(), 6);
    f.buffer.InsertText(nullptr, 3, 4, "\t", el, ec, EA_TYPING);
    EXPECT_EQ(v.GetMaxLineLength(), 8);
    f.buffer.InsertText(nullptr, 2, 0, "c", el, ec, EA_TYPING);
    f.buffer.InsertText(nullptr, 0, 1, "\r\nxx\r\ny", el, ec, EA_TYPING);
    ASSERT_EQ(v.GetLineCount(), 6);
    for (int line = 0; line < v.GetLineCount(); ++line)
        EXPECT_EQ(v.GetLineActualLength(line), v.CalculateActualOffset(line, v.GetLineLength(line))) << line;
    f.buffer.DeleteText(nullptr, 1, 1, 4, 1, EA_DELETE);
    for (int line = 0; line < v.GetLineCount(); ++line)
        EXPECT_EQ(v.GetLineActualLength(line), v.CalculateActualOffset(line, v.GetLineLength(line))) << line;
    // The longest line shrinks: the maximum is measured again.
    f.buffer.DeleteText(nullptr, 2, 0, 2, 5, EA_DELETE);
    int longest = 0;
    for (int line = 0; line < v.GetLineCount(); ++line)
        longest = std::max(longest, v.CalculateActualOffset(line, v.GetLineLength(line)));
    EXPECT_EQ(v.GetMaxLineLength(), longest);
}

TEST(TextViewGeometry, BufferChangesMoveCursorSelectionAndTopLine)
{
    ViewFixture f(Numbered(40));
    auto& v = f.view;
    v.ScrollToLine(20);
    f.Select(CPoint(2, 30), CPoint(4, 30));
    int el = 0;
    int ec = 0;
    f.buffer.InsertText(nullptr, 5, 0, "new\r\n", el, ec, EA_TYPING);
    EXPECT_EQ(v.GetTopLine(), 21);
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(2, 31));
    EXPECT_EQ(e, CPoint(4, 31));
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 31));
    f.buffer.DeleteText(nullptr, 0, 0, 35, 0, EA_DELETE);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
    EXPECT_EQ(v.GetTopLine(), 0);

    // A reset puts everything back to the start, tab size included.
    v.SetTabSize(8);
    f.buffer.InitNew();
    EXPECT_EQ(v.GetTabSize(), 4);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
}

TEST(TextViewGeometry, SelectionChangesRepaintOnlyWhatChanged)
{
    ViewFixture f(Numbered(40));
    auto& v = f.view;
    v.SetSelection(CPoint(0, 3), CPoint(0, 5));
    f.host.invalidated.clear();
    v.SetSelection(CPoint(0, 3), CPoint(0, 8));
    ASSERT_EQ(f.host.invalidated.size(), 1u);
    EXPECT_EQ(f.host.invalidated[0], std::make_pair(5, 8));
    f.host.invalidated.clear();
    v.SetSelection(CPoint(0, 20), CPoint(0, 21));
    ASSERT_EQ(f.host.invalidated.size(), 2u);
    EXPECT_EQ(f.host.invalidated[0], std::make_pair(20, 21));
    EXPECT_EQ(f.host.invalidated[1], std::make_pair(3, 8));
}

TEST(TextViewGeometry, InsideSelectionFollowsTheBlockRules)
{
    ViewFixture f({"0123456789", "0123456789", "0123456789"});
    auto& v = f.view;
    v.SetSelection(CPoint(6, 2), CPoint(3, 0)); // stored backwards
    EXPECT_FALSE(v.IsInsideSelection(CPoint(2, 0)));
    EXPECT_TRUE(v.IsInsideSelection(CPoint(3, 0)));
    EXPECT_TRUE(v.IsInsideSelection(CPoint(10, 0)));
    EXPECT_TRUE(v.IsInsideSelection(CPoint(0, 1)));
    EXPECT_TRUE(v.IsInsideSelection(CPoint(5, 2)));
    EXPECT_FALSE(v.IsInsideSelection(CPoint(6, 2)));
    v.SetSelection(CPoint(2, 1), CPoint(4, 1));
    EXPECT_TRUE(v.IsInsideSelection(CPoint(3, 1)));
    EXPECT_FALSE(v.IsInsideSelection(CPoint(4, 1)));
    EXPECT_FALSE(v.IsInsideSelection(CPoint(3, 0)));
}

} // namespace
} // namespace brindle::viewtest

// Widths and colouring states take two bytes a line; values that do not fit
// are kept aside and move with their lines.
TEST(TextViewGeometry, LineValuesKeepLargeValuesWithTheirLines)
{
    brindle::LineValues values(0xFFFFFFFFu);
    values.assign(6);
    EXPECT_EQ(values.get(3), 0xFFFFFFFFu);
    values.set(0, 0);
    values.set(1, 0xFFFD);
    values.set(2, 0xFFFE);
    values.set(4, 70000);
    values.set(5, 0xFFFFFFF0u);
    values.insert(3, 2); // lines 3 and 4 are new
    ASSERT_EQ(values.size(), 8u);
    EXPECT_EQ(values.get(0), 0u);
    EXPECT_EQ(values.get(1), 0xFFFDu);
    EXPECT_EQ(values.get(2), 0xFFFEu);
    EXPECT_EQ(values.get(4), 0xFFFFFFFFu);
    EXPECT_EQ(values.get(6), 70000u);
    EXPECT_EQ(values.get(7), 0xFFFFFFF0u);
    values.erase(2, 6); // the line with 70000 moves up to 2
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values.get(2), 70000u);
    EXPECT_EQ(values.get(3), 0xFFFFFFF0u);
    values.set(2, 5);
    values.resize(3);
    values.resize(5);
    EXPECT_EQ(values.get(2), 5u);
    EXPECT_EQ(values.get(4), 0xFFFFFFFFu); // the dropped wide value did not come back
    values.set(4, 100000);
    values.clearFrom(1);
    EXPECT_EQ(values.get(4), 0xFFFFFFFFu);
    EXPECT_EQ(values.get(0), 0u);
}
