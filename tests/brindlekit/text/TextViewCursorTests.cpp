#include "ViewTestSupport.h"

#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/TextCommandIds.h"

#include <gtest/gtest.h>

namespace brindle::viewtest {
namespace {

using namespace textcmd;

CPoint SelStart(const TextViewModel& v)
{
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    return s;
}

CPoint SelEnd(const TextViewModel& v)
{
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    return e;
}

TEST(TextViewCursor, CharacterMovesWrapAndCollapse)
{
    ViewFixture f({"ab", "cd"});
    auto& v = f.view;
    v.MoveToPos(1, 0);
    v.ExecuteCommand(ID_EDIT_CHAR_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    v.ExecuteCommand(ID_EDIT_CHAR_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    v.ExecuteCommand(ID_EDIT_TEXT_END);
    v.ExecuteCommand(ID_EDIT_CHAR_RIGHT); // not past the last line
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.ExecuteCommand(ID_EDIT_TEXT_BEGIN);
    v.ExecuteCommand(ID_EDIT_CHAR_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));

    // Extending keeps the anchor; a plain move collapses to the selection's edge.
    v.MoveToPos(0, 1);
    v.ExecuteCommand(ID_EDIT_EXT_CHAR_RIGHT);
    v.ExecuteCommand(ID_EDIT_EXT_CHAR_RIGHT);
    EXPECT_EQ(SelStart(v), CPoint(1, 0));
    EXPECT_EQ(SelEnd(v), CPoint(0, 1));
    v.ExecuteCommand(ID_EDIT_CHAR_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 0));
    EXPECT_FALSE(v.IsSelection());
    v.ExecuteCommand(ID_EDIT_EXT_TEXT_END);
    v.ExecuteCommand(ID_EDIT_CHAR_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    EXPECT_EQ(v.GetAnchor(), CPoint(2, 1));
}

TEST(TextViewCursor, VerticalMovesKeepTheIdealColumn)
{
    ViewFixture f({"a long line here", "ab", "another long line", "\tx"});
    auto& v = f.view;
    v.MoveToPos(0, 10);
    v.ExecuteCommand(ID_EDIT_LINE_DOWN);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.ExecuteCommand(ID_EDIT_LINE_DOWN);
    EXPECT_EQ(v.GetCursorPos(), CPoint(10, 2));
    v.ExecuteCommand(ID_EDIT_LINE_UP);
    v.ExecuteCommand(ID_EDIT_LINE_UP);
    EXPECT_EQ(v.GetCursorPos(), CPoint(10, 0));
    v.ExecuteCommand(ID_EDIT_LINE_UP); // line 0: stays
    EXPECT_EQ(v.GetCursorPos(), CPoint(10, 0));

    // Through a tab: column 3 lies in the tab's second half, so after it.
    v.MoveToPos(2, 3);
    v.ExecuteCommand(ID_EDIT_LINE_DOWN);
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 3));
    v.ExecuteCommand(ID_EDIT_LINE_DOWN); // the last line: stays
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 3));

    // A plain Down with a selection starts from the selection's end.
    f.Select(CPoint(0, 0), CPoint(1, 1));
    v.ExecuteCommand(ID_EDIT_LINE_DOWN);
    EXPECT_EQ(v.GetCursorPos().y, 2);
    EXPECT_FALSE(v.IsSelection());
    v.MoveToPos(2, 5);
    v.ExecuteCommand(ID_EDIT_EXT_LINE_UP);
    EXPECT_EQ(SelStart(v), CPoint(2, 1));
    EXPECT_EQ(SelEnd(v), CPoint(5, 2));
}

TEST(TextViewCursor, WordMoves)
{
    ViewFixture f({"foo  bar", "  x+=y_1;", ""});
    auto& v = f.view;
    v.MoveToPos(0, 0);
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(5, 0));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(8, 0));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT); // wraps, then skips the leading blanks
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT); // punctuation run
    EXPECT_EQ(v.GetCursorPos(), CPoint(5, 1));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT); // y_1 is one word
    EXPECT_EQ(v.GetCursorPos(), CPoint(8, 1));

    v.MoveToPos(1, 8);
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(5, 1));
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    v.ExecuteCommand(ID_EDIT_WORD_LEFT); // wraps to the end of "foo  bar", then skips "bar"
    EXPECT_EQ(v.GetCursorPos(), CPoint(5, 0));
    v.MoveToPos(0, 0);
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));

    // With a selection the plain word moves act as Left and Right.
    f.Select(CPoint(1, 0), CPoint(3, 0));
    v.ExecuteCommand(ID_EDIT_WORD_RIGHT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 0));
    f.Select(CPoint(1, 0), CPoint(3, 0));
    v.ExecuteCommand(ID_EDIT_WORD_LEFT);
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 0));
    v.ExecuteCommand(ID_EDIT_EXT_WORD_RIGHT);
    EXPECT_EQ(SelStart(v), CPoint(1, 0));
    EXPECT_EQ(SelEnd(v), CPoint(5, 0));
}

TEST(TextViewCursor, HomeEndAndTextEnds)
{
    ViewFixture f({"    x", "   ", "abc"});
    auto& v = f.view;
    v.MoveToPos(0, 5);
    v.ExecuteCommand(ID_EDIT_HOME);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 0));
    v.ExecuteCommand(ID_EDIT_HOME);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
    v.ExecuteCommand(ID_EDIT_HOME);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 0));
    v.MoveToPos(1, 2);
    v.ExecuteCommand(ID_EDIT_HOME); // a blank line goes to column 0
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    v.ExecuteCommand(ID_EDIT_LINE_END);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));
    v.ExecuteCommand(ID_EDIT_EXT_HOME);
    EXPECT_EQ(SelStart(v), CPoint(0, 1));
    EXPECT_EQ(SelEnd(v), CPoint(3, 1));
    v.ExecuteCommand(ID_EDIT_EXT_TEXT_END);
    EXPECT_EQ(SelEnd(v), CPoint(3, 2));
    v.ExecuteCommand(ID_EDIT_EXT_TEXT_BEGIN);
    EXPECT_EQ(SelStart(v), CPoint(0, 0));
    EXPECT_EQ(SelEnd(v), CPoint(3, 1)); // the anchor stayed
    v.ExecuteCommand(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(SelStart(v), CPoint(0, 0));
    EXPECT_EQ(SelEnd(v), CPoint(3, 2));
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 2));
}

TEST(TextViewCursor, PageMovesShiftTopAndCursorTogether)
{
    ViewFixture f(Numbered(50));
    auto& v = f.view;
    v.MoveToPos(3, 6);
    v.ExecuteCommand(ID_EDIT_PAGE_DOWN);
    EXPECT_EQ(v.GetTopLine(), 9);
    EXPECT_EQ(v.GetCursorPos(), CPoint(6, 12));
    for (int i = 0; i < 10; ++i) v.ExecuteCommand(ID_EDIT_PAGE_DOWN);
    EXPECT_EQ(v.GetCursorPos().y, 49);
    EXPECT_LE(v.GetTopLine(), 49);
    v.ExecuteCommand(ID_EDIT_EXT_PAGE_UP);
    EXPECT_EQ(v.GetCursorPos().y, 40);
    EXPECT_TRUE(v.IsSelection());
    for (int i = 0; i < 10; ++i) v.ExecuteCommand(ID_EDIT_PAGE_UP);
    EXPECT_EQ(v.GetTopLine(), 0);
    EXPECT_EQ(v.GetCursorPos().y, 0);
}

TEST(TextViewCursor, MarginClicksSelectWholeLines)
{
    ViewFixture f({"zero", "one", "two", "three"});
    auto& v = f.view;
    v.OnLButtonDown(CPoint(5, 16 + 3), false, false);
    EXPECT_EQ(SelStart(v), CPoint(0, 1));
    EXPECT_EQ(SelEnd(v), CPoint(0, 2));
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    EXPECT_TRUE(f.host.captured);
    v.OnMouseMove(CPoint(5, 3 * 16 + 3)); // drag down to line 3 (the last)
    EXPECT_EQ(SelStart(v), CPoint(0, 1));
    EXPECT_EQ(SelEnd(v), CPoint(5, 3));
    v.OnMouseMove(CPoint(5, 3)); // and up to line 0
    EXPECT_EQ(SelStart(v), CPoint(0, 0));
    EXPECT_EQ(SelEnd(v), CPoint(0, 2));
    v.OnLButtonUp(CPoint(5, 3));
    EXPECT_FALSE(f.host.captured);

    // The last line selects to its end.
    v.OnLButtonDown(CPoint(5, 3 * 16 + 3), false, false);
    v.OnLButtonUp(CPoint(5, 3 * 16 + 3));
    EXPECT_EQ(SelStart(v), CPoint(0, 3));
    EXPECT_EQ(SelEnd(v), CPoint(5, 3));

    v.OnLButtonDown(CPoint(5, 3), false, true); // Ctrl: everything
    EXPECT_EQ(SelStart(v), CPoint(0, 0));
    EXPECT_EQ(SelEnd(v), CPoint(5, 3));
}

TEST(TextViewCursor, TextClicksDragsAndWords)
{
    ViewFixture f({"alpha beta gamma", "delta"});
    auto& v = f.view;
    v.OnLButtonDown(ViewFixture::Cell(2, 0), false, false);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    v.OnMouseMove(ViewFixture::Cell(8, 0));
    EXPECT_EQ(SelStart(v), CPoint(2, 0));
    EXPECT_EQ(SelEnd(v), CPoint(8, 0));
    v.OnLButtonUp(ViewFixture::Cell(8, 0));

    // Shift extends from the anchor.
    v.OnLButtonDown(ViewFixture::Cell(3, 1), true, false);
    v.OnLButtonUp(ViewFixture::Cell(3, 1));
    EXPECT_EQ(SelStart(v), CPoint(2, 0));
    EXPECT_EQ(SelEnd(v), CPoint(3, 1));

    // Ctrl selects by words.
    v.MoveToPos(1, 0);
    v.OnLButtonDown(ViewFixture::Cell(7, 0), false, true);
    v.OnMouseMove(ViewFixture::Cell(12, 0));
    v.OnLButtonUp(ViewFixture::Cell(12, 0));
    EXPECT_EQ(SelStart(v), CPoint(6, 0));
    EXPECT_EQ(SelEnd(v), CPoint(16, 0));

    // A double click selects the word under the pointer.
    v.OnLButtonDblClk(ViewFixture::Cell(1, 1));
    v.OnLButtonUp(ViewFixture::Cell(1, 1));
    EXPECT_EQ(SelStart(v), CPoint(0, 1));
    EXPECT_EQ(SelEnd(v), CPoint(5, 1));

    // A press inside the selection arms a drag; a move starts it; a release without
    // moving places the cursor.
    EXPECT_EQ(v.OnLButtonDown(ViewFixture::Cell(2, 1), false, false), MouseResult::None);
    EXPECT_TRUE(v.IsPreparingToDrag());
    v.OnLButtonUp(ViewFixture::Cell(2, 1));
    EXPECT_FALSE(v.IsSelection());
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    v.OnLButtonDblClk(ViewFixture::Cell(1, 1));
    v.OnLButtonUp(ViewFixture::Cell(1, 1));
    v.OnLButtonDown(ViewFixture::Cell(2, 1), false, false);
    EXPECT_EQ(v.OnMouseMove(ViewFixture::Cell(3, 1)), MouseResult::StartDrag);

    // With dragging disabled the press starts a new selection instead.
    v.SetDisableDragAndDrop(true);
    v.OnLButtonDown(ViewFixture::Cell(2, 1), false, false);
    EXPECT_FALSE(v.IsPreparingToDrag());
    EXPECT_FALSE(v.IsSelection());
    v.OnLButtonUp(ViewFixture::Cell(2, 1));
}

TEST(TextViewCursor, RightClickAndPointerShapes)
{
    ViewFixture f({"alpha beta"});
    auto& v = f.view;
    f.Select(CPoint(0, 0), CPoint(5, 0));
    v.OnRButtonDown(ViewFixture::Cell(2, 0)); // inside: the selection stays
    EXPECT_TRUE(v.IsSelection());
    EXPECT_EQ(v.GetPointerShape(ViewFixture::Cell(2, 0)), TextViewModel::PointerShape::Arrow);
    EXPECT_EQ(v.GetPointerShape(CPoint(3, 3)), TextViewModel::PointerShape::Margin);
    EXPECT_EQ(v.GetPointerShape(ViewFixture::Cell(8, 0)), TextViewModel::PointerShape::IBeam);
    v.OnRButtonDown(ViewFixture::Cell(8, 0));
    EXPECT_FALSE(v.IsSelection());
    EXPECT_EQ(v.GetCursorPos(), CPoint(8, 0));
}

TEST(TextViewCursor, AutoScrollTimerFollowsThePointer)
{
    ViewFixture f(Numbered(100));
    auto& v = f.view;
    v.ScrollToLine(50);
    v.OnLButtonDown(ViewFixture::Cell(0, 2), false, false);
    v.OnTimer(CPoint(30, -5));
    EXPECT_EQ(v.GetTopLine(), 49);
    v.OnTimer(CPoint(30, -40));
    EXPECT_EQ(v.GetTopLine(), 46);
    v.OnTimer(CPoint(30, 10 * 16 + 2));
    EXPECT_EQ(v.GetTopLine(), 47);
    EXPECT_EQ(v.GetCursorPos().y, 56);
    EXPECT_EQ(v.GetAnchor(), CPoint(0, 52));
    v.OnKillFocus();
    EXPECT_FALSE(f.host.captured);
    v.OnTimer(CPoint(30, -40)); // no longer tracking
    EXPECT_EQ(v.GetTopLine(), 47);
}

TEST(TextViewCursor, NumberedAndPlainBookmarks)
{
    ViewFixture f(Numbered(20));
    auto& v = f.view;
    v.MoveToPos(3, 0);
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 2);
    EXPECT_TRUE(f.buffer.GetLineFlags(3) & LINEF_BOOKMARK_N(2));
    v.MoveToPos(7, 0);
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 2); // moves the bookmark here
    EXPECT_FALSE(f.buffer.GetLineFlags(3) & LINEF_BOOKMARK_N(2));
    EXPECT_TRUE(f.buffer.GetLineFlags(7) & LINEF_BOOKMARK_N(2));
    v.MoveToPos(0, 2);
    v.ExecuteCommand(ID_EDIT_GO_BOOKMARK0 + 2);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 7));
    v.ExecuteCommand(ID_EDIT_GO_BOOKMARK0 + 5); // none: stays
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 7));
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 2); // toggles off
    EXPECT_FALSE(f.buffer.GetLineFlags(7) & LINEF_BOOKMARK_N(2));
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 1);
    v.ExecuteCommand(ID_EDIT_CLEAR_BOOKMARKS);
    EXPECT_EQ(f.buffer.FindLineWithFlag(0x3FF), -1);

    bool handled = false;
    EXPECT_FALSE(v.IsCommandEnabled(ID_EDIT_GOTO_NEXT_BOOKMARK, handled));
    v.MoveToPos(4, 0);
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK);
    v.MoveToPos(12, 0);
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK);
    EXPECT_TRUE(v.IsCommandEnabled(ID_EDIT_GOTO_NEXT_BOOKMARK, handled));
    EXPECT_TRUE(f.buffer.GetLineFlags(4) & LINEF_BOOKMARK); // not moved
    v.ExecuteCommand(ID_EDIT_GOTO_NEXT_BOOKMARK);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 4)); // wraps around
    v.ExecuteCommand(ID_EDIT_GOTO_NEXT_BOOKMARK);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 12));
    v.ExecuteCommand(ID_EDIT_GOTO_PREV_BOOKMARK);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 4));
    v.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK); // off on line 4; line 12 keeps one
    EXPECT_TRUE(v.HasBookmarks());
    v.ExecuteCommand(ID_EDIT_CLEAR_ALL_BOOKMARKS);
    EXPECT_FALSE(v.HasBookmarks());
    EXPECT_EQ(f.buffer.FindLineWithFlag(LINEF_BOOKMARK), -1);
}

TEST(TextViewCursor, StatusIndicators)
{
    ViewFixture f({"\tab", "x"});
    auto& v = f.view;
    v.MoveToPos(0, 2);
    EXPECT_EQ(v.GetIndicator(ID_INDICATOR_POSITION).text, "Ln 1, Col 3"); // a tab counts as one
    EXPECT_EQ(v.GetIndicator(ID_INDICATOR_CRLF).text, "DOS");
    f.buffer.SetCRLFMode(EOL_LF);
    EXPECT_EQ(v.GetIndicator(ID_INDICATOR_CRLF).text, "UNIX"); // a file with line feeds
    f.buffer.SetCRLFMode(EOL_LFCR);
    EXPECT_EQ(v.GetIndicator(ID_INDICATOR_CRLF).text, "MAC");
    EXPECT_FALSE(v.GetIndicator(ID_INDICATOR_READ).enabled);
    f.buffer.SetReadOnly(true);
    EXPECT_TRUE(v.GetIndicator(ID_INDICATOR_READ).enabled);
    EXPECT_FALSE(v.GetIndicator(ID_INDICATOR_OVR).enabled);
    v.ExecuteCommand(ID_EDIT_SWITCH_OVRMODE);
    EXPECT_TRUE(v.GetIndicator(ID_INDICATOR_OVR).enabled);
    EXPECT_TRUE(v.IsCommandChecked(ID_EDIT_SWITCH_OVRMODE));
    EXPECT_FALSE(v.GetIndicator(ID_INDICATOR_EDIT_STATE).enabled);
}

TEST(TextViewCursor, KeyTableBindsTheCommands)
{
    EXPECT_EQ(FindKeyCommand(KEYMOD_CTRL | KEYMOD_SHIFT, KEY_RIGHT, false), ID_EDIT_EXT_WORD_RIGHT);
    EXPECT_EQ(FindKeyCommand(KEYMOD_SHIFT, KEY_INSERT, false), ID_EDIT_PASTE);
    EXPECT_EQ(FindKeyCommand(KEYMOD_CTRL, 'z', false), ID_EDIT_UNDO);
    EXPECT_EQ(FindKeyCommand(KEYMOD_ALT, KEY_BACK, false), ID_EDIT_UNDO);
    EXPECT_EQ(FindKeyCommand(KEYMOD_SHIFT, KEY_F3, false), ID_EDIT_FIND_PREVIOUS);
    // Bookmark keys only when asked for.
    EXPECT_EQ(FindKeyCommand(KEYMOD_CTRL, '3', false), 0);
    EXPECT_EQ(FindKeyCommand(KEYMOD_CTRL, '3', true), ID_EDIT_TOGGLE_BOOKMARK0 + 3);
    EXPECT_EQ(FindKeyCommand(KEYMOD_CTRL | KEYMOD_SHIFT, KEY_F2, true), ID_EDIT_CLEAR_ALL_BOOKMARKS);
}

} // namespace
} // namespace brindle::viewtest
