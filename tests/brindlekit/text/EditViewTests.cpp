#include "ViewTestSupport.h"

#include "brindlekit/text/EditAction.h"
#include "brindlekit/text/TextCommandIds.h"

#include <gtest/gtest.h>

namespace brindle::viewtest {
namespace {

using namespace textcmd;
using Strings = std::vector<std::string>;

void Undo(EditViewModel& v, int times = 1)
{
    for (int i = 0; i < times; ++i) v.ExecuteCommand(ID_EDIT_UNDO);
}

TEST(EditView, TypingInsertsAndGroupsWords)
{
    ViewFixture f({"ab"});
    auto& v = f.view;
    v.MoveToPos(0, 2);
    for (const char* c : {"c", "d", " ", "e"}) v.OnChar(c);
    EXPECT_EQ(Lines(f.buffer), Strings{"abcd e"});
    EXPECT_EQ(v.GetCursorPos(), CPoint(6, 0));
    Undo(v); // "e" joined the space's group
    EXPECT_EQ(Lines(f.buffer), Strings{"abcd"});
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), Strings{"ab"});
    v.OnChar("\x01"); // control characters are ignored
    EXPECT_EQ(Lines(f.buffer), Strings{"ab"});
}

TEST(EditView, TypingOverASelection)
{
    ViewFixture f({"hello world"});
    auto& v = f.view;
    v.MoveToPos(0, 0);
    v.OnChar("x");
    f.Select(CPoint(1, 0), CPoint(6, 0));
    v.OnChar(" ");
    EXPECT_EQ(Lines(f.buffer), Strings{"x  world"});
    Undo(v); // one Undo removes the space and restores the text
    EXPECT_EQ(Lines(f.buffer), Strings{"xhello world"});
    f.Select(CPoint(1, 0), CPoint(6, 0));
    v.OnChar("Q"); // a letter joins the previous group
    EXPECT_EQ(Lines(f.buffer), Strings{"xQ world"});
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), Strings{"hello world"});
}

TEST(EditView, OverwriteMode)
{
    ViewFixture f({"abc", "def", "ghi"});
    auto& v = f.view;
    v.SetOverwriteMode(true);
    v.MoveToPos(0, 1);
    v.OnChar("X");
    EXPECT_EQ(Lines(f.buffer)[0], "aXc");
    v.MoveToPos(0, 3);
    v.OnChar("Y"); // at the line end it appends
    EXPECT_EQ(Lines(f.buffer)[0], "aXcY");
    v.MoveToPos(1, 1);
    v.OnChar("\r"); // a middle line: only moves
    EXPECT_EQ(f.buffer.GetLineCount(), 3);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 2));
    v.OnChar("\r"); // the last line: breaks it
    EXPECT_EQ(f.buffer.GetLineCount(), 4);

    // Tab steps over text towards the next stop, stopping after a tab.
    Load(f.buffer, {"abcdefgh", "a\tb"});
    v.SetOverwriteMode(true);
    v.MoveToPos(0, 1);
    v.ExecuteCommand(ID_EDIT_TAB);
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 0));
    v.MoveToPos(1, 0);
    v.ExecuteCommand(ID_EDIT_TAB);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));
    EXPECT_EQ(Lines(f.buffer), (Strings{"abcdefgh", "a\tb"}));
}

TEST(EditView, EnterAutoIndentsAsItsOwnGroup)
{
    ViewFixture f({"  \tfoo", "bar"});
    auto& v = f.view;
    v.MoveToPos(0, 6);
    v.OnChar("\r");
    EXPECT_EQ(Lines(f.buffer), (Strings{"  \tfoo", "  \t", "bar"}));
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 1));
    const int records = f.buffer.GetUndoRecordCount();
    EXPECT_EQ(f.buffer.GetUndoRecord(records - 1).m_nAction, EA_AUTOINDENT);
    Undo(v); // the indentation alone
    EXPECT_EQ(Lines(f.buffer), (Strings{"  \tfoo", "", "bar"}));
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), (Strings{"  \tfoo", "bar"}));

    // No indentation after an unindented line, nor when auto-indent is off.
    v.MoveToPos(1, 3);
    v.OnChar("\r");
    EXPECT_EQ(Lines(f.buffer)[2], "");
    v.SetAutoIndent(false);
    v.MoveToPos(0, 6);
    v.OnChar("\r");
    EXPECT_EQ(Lines(f.buffer)[1], "");
}

TEST(EditView, DeleteAndBackspace)
{
    ViewFixture f({"ab", "cd", "", "", "", "line5"});
    auto& v = f.view;
    v.MoveToPos(0, 0);
    v.OnEditDeleteBack(); // nothing at (0, 0)
    v.MoveToPos(5, 5);
    v.OnEditDelete(); // nothing at the very end
    EXPECT_EQ(f.buffer.GetLineCount(), 6);
    v.MoveToPos(0, 2);
    v.OnEditDelete(); // joins with the next line
    EXPECT_EQ(Lines(f.buffer)[0], "abcd");
    v.MoveToPos(0, 1);
    v.OnEditDelete();
    EXPECT_EQ(Lines(f.buffer)[0], "acd");
    v.OnEditDeleteBack();
    EXPECT_EQ(Lines(f.buffer)[0], "cd");
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 0));
    // Backspace at column 0 joins with the previous line, unless disabled.
    v.MoveToPos(4, 0);
    v.OnEditDeleteBack();
    EXPECT_EQ(f.buffer.GetLineCount(), 4);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 3));
    v.SetDisableBSAtSOL(true);
    v.OnEditDeleteBack();
    EXPECT_EQ(f.buffer.GetLineCount(), 4);
    EXPECT_EQ(f.buffer.GetUndoRecord(f.buffer.GetUndoRecordCount() - 1).m_nAction, EA_BACKSPACE);
    // With a selection Backspace deletes it as Delete does.
    f.Select(CPoint(0, 0), CPoint(1, 0));
    v.OnEditDeleteBack();
    EXPECT_EQ(Lines(f.buffer)[0], "d");
    EXPECT_EQ(f.buffer.GetUndoRecord(f.buffer.GetUndoRecordCount() - 1).m_nAction, EA_DELETE);
}

TEST(EditView, ReadOnlyBuffersIgnoreEdits)
{
    ViewFixture f({"abc"});
    auto& v = f.view;
    f.buffer.SetReadOnly(true);
    v.MoveToPos(0, 1);
    v.OnChar("x");
    v.OnChar("\r");
    v.OnEditDelete();
    v.OnEditDeleteBack();
    v.ExecuteCommand(ID_EDIT_TAB);
    f.clipboard.SetText("zz");
    v.Paste();
    f.Select(CPoint(0, 0), CPoint(2, 0));
    v.Cut();
    EXPECT_EQ(Lines(f.buffer), Strings{"abc"});
    EXPECT_FALSE(v.QueryEditable());
    f.buffer.SetReadOnly(false);
    f.host.editable = false; // the program may forbid edits too
    v.OnChar("x");
    EXPECT_EQ(Lines(f.buffer), Strings{"abc"});
}

TEST(EditView, ClipboardCommands)
{
    ViewFixture f({"one", "two"});
    auto& v = f.view;
    bool handled = false;
    EXPECT_FALSE(v.IsCommandEnabled(ID_EDIT_PASTE, handled));
    EXPECT_FALSE(v.IsCommandEnabled(ID_EDIT_COPY, handled));
    f.Select(CPoint(1, 0), CPoint(2, 1));
    v.ExecuteCommand(ID_EDIT_COPY);
    EXPECT_EQ(f.clipboard.GetText(), "ne\r\ntw");
    EXPECT_TRUE(v.IsCommandEnabled(ID_EDIT_PASTE, handled));
    v.ExecuteCommand(ID_EDIT_CUT);
    EXPECT_EQ(Lines(f.buffer), Strings{"oo"});
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 0));
    v.ExecuteCommand(ID_EDIT_PASTE);
    EXPECT_EQ(Lines(f.buffer), (Strings{"one", "two"}));
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 1));

    // Paste over a selection: one undo group of the deletion and the insertion.
    f.clipboard.SetText("X");
    f.Select(CPoint(0, 0), CPoint(3, 0));
    v.ExecuteCommand(ID_EDIT_PASTE);
    EXPECT_EQ(Lines(f.buffer), (Strings{"X", "two"}));
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), (Strings{"one", "two"}));

    // A lone LF stays inside the line.
    f.clipboard.SetText("a\nb");
    v.MoveToPos(1, 3);
    v.Paste();
    EXPECT_EQ(Lines(f.buffer), (Strings{"one", "twoa\nb"}));
}

class FailingClipboard : public IClipboard {
public:
    bool HasText() override { return false; }
    std::optional<std::string> GetText() override { return std::nullopt; }
    bool SetText(const std::string&) override { return false; }
};

TEST(EditView, CutKeepsTheTextWhenTheClipboardFails)
{
    ViewFixture f({"keep me"});
    FailingClipboard failing;
    f.view.SetClipboard(&failing);
    f.Select(CPoint(0, 0), CPoint(4, 0));
    f.view.Cut();
    EXPECT_EQ(Lines(f.buffer), Strings{"keep me"});
    // Paste still replaces the selection, inserting nothing.
    f.view.Paste();
    EXPECT_EQ(Lines(f.buffer), Strings{" me"});
}

TEST(EditView, BlockIndentAndUnindent)
{
    ViewFixture f(Numbered(9, "l"));
    auto& v = f.view;
    f.Select(CPoint(1, 3), CPoint(0, 7));
    v.ExecuteCommand(ID_EDIT_TAB);
    auto lines = Lines(f.buffer);
    EXPECT_EQ(lines[2], "l2");
    for (int i = 3; i <= 6; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)], "\tl" + std::to_string(i));
    EXPECT_EQ(lines[7], "l7"); // an end at character 0 leaves its line alone
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(0, 3));
    EXPECT_EQ(e, CPoint(0, 7));
    Undo(v); // one group
    EXPECT_EQ(Lines(f.buffer), Numbered(9, "l"));

    Load(f.buffer, {"  \tx", "      y", "\tz", "", "w"});
    f.Select(CPoint(0, 0), CPoint(1, 4));
    v.ExecuteCommand(ID_EDIT_UNTAB);
    EXPECT_EQ(Lines(f.buffer), (Strings{"x", "  y", "z", "", "w"}));
    v.GetSelection(s, e);
    EXPECT_EQ(e, CPoint(1, 4)); // the last line: widened to its end
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), (Strings{"  \tx", "      y", "\tz", "", "w"}));
}

TEST(EditView, TabAndUntabWithoutABlock)
{
    ViewFixture f({"abcdefghij", "\t\tx"});
    auto& v = f.view;
    f.Select(CPoint(1, 0), CPoint(3, 0));
    v.ExecuteCommand(ID_EDIT_TAB); // replaces a one-line selection
    EXPECT_EQ(Lines(f.buffer)[0], "a\tdefghij");
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    v.MoveToPos(1, 2); // expanded column 8
    v.ExecuteCommand(ID_EDIT_UNTAB);
    EXPECT_EQ(v.GetCursorPos(), CPoint(1, 1)); // column 4
    v.ExecuteCommand(ID_EDIT_UNTAB);
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    v.ExecuteCommand(ID_EDIT_UNTAB); // column 0: nothing
    EXPECT_EQ(v.GetCursorPos(), CPoint(0, 1));
    v.MoveToPos(0, 5); // column 7 -> 4
    v.ExecuteCommand(ID_EDIT_UNTAB);
    EXPECT_EQ(v.GetCursorPos(), CPoint(2, 0));
    EXPECT_EQ(Lines(f.buffer)[1], "\t\tx");
}

TEST(EditView, ReplaceSelectionKeepsTheNewTextSelected)
{
    ViewFixture f({"say hello"});
    auto& v = f.view;
    EXPECT_FALSE(v.ReplaceSelection("x"));
    f.Select(CPoint(4, 0), CPoint(9, 0));
    const int before = f.buffer.GetUndoRecordCount();
    EXPECT_TRUE(v.ReplaceSelection("goodbye"));
    EXPECT_EQ(Lines(f.buffer), Strings{"say goodbye"});
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(4, 0));
    EXPECT_EQ(e, CPoint(11, 0));
    EXPECT_EQ(f.buffer.GetUndoRecordCount(), before + 2);
    EXPECT_EQ(f.buffer.GetUndoRecord(before + 1).m_nAction, EA_REPLACE);
    Undo(v);
    EXPECT_EQ(Lines(f.buffer), Strings{"say "});
}

TEST(EditView, DraggingTextWithinAView)
{
    ViewFixture f({"one two three"});
    auto& v = f.view;
    f.Select(CPoint(4, 0), CPoint(8, 0)); // "two "
    const std::string data = v.PrepareDragData();
    EXPECT_EQ(data, "two ");
    v.BeginDragText();
    EXPECT_TRUE(v.IsDraggingText());
    // Onto itself: nothing moves.
    EXPECT_FALSE(v.DoDropText(data, ViewFixture::Cell(5, 0)));
    EXPECT_EQ(Lines(f.buffer), Strings{"one two three"});
    // To the end of the line: inserted there, then the source range goes.
    EXPECT_TRUE(v.DoDropText(data, ViewFixture::Cell(13, 0)));
    v.EndDragText(true);
    EXPECT_FALSE(v.IsDraggingText());
    EXPECT_EQ(Lines(f.buffer), Strings{"one threetwo "});
    CPoint s;
    CPoint e;
    v.GetSelection(s, e);
    EXPECT_EQ(s, CPoint(9, 0));
    EXPECT_EQ(e, CPoint(13, 0));
    Undo(v); // the move is one group
    EXPECT_EQ(Lines(f.buffer), Strings{"one two three"});
}

TEST(EditView, DraggingTextBetweenViews)
{
    ViewFixture source({"abc def"});
    ViewFixture target({"xyz"});
    source.Select(CPoint(0, 0), CPoint(3, 0));
    const std::string data = source.view.PrepareDragData();
    source.view.BeginDragText();
    ASSERT_TRUE(target.view.DoDropText(data, ViewFixture::Cell(1, 0)));
    source.view.EndDragText(false); // copied
    EXPECT_EQ(Lines(target.buffer), Strings{"xabcyz"});
    EXPECT_EQ(Lines(source.buffer), Strings{"abc def"});
    EXPECT_EQ(target.buffer.GetUndoRecord(target.buffer.GetUndoRecordCount() - 1).m_nAction, EA_DRAGDROP);
}

TEST(EditView, UndoAndRedoPlaceTheCursor)
{
    ViewFixture f({"abc"});
    auto& v = f.view;
    bool handled = false;
    EXPECT_FALSE(v.IsCommandEnabled(ID_EDIT_UNDO, handled));
    v.MoveToPos(0, 3);
    v.OnChar("d");
    EXPECT_TRUE(v.IsCommandEnabled(ID_EDIT_UNDO, handled));
    v.ExecuteCommand(ID_EDIT_UNDO);
    EXPECT_EQ(v.GetCursorPos(), CPoint(3, 0));
    EXPECT_TRUE(v.IsCommandEnabled(ID_EDIT_REDO, handled));
    v.ExecuteCommand(ID_EDIT_REDO);
    EXPECT_EQ(Lines(f.buffer), Strings{"abcd"});
    EXPECT_EQ(v.GetCursorPos(), CPoint(4, 0));
    v.ExecuteCommand(ID_EDIT_REDO); // nothing to redo: no exception
    EXPECT_FALSE(v.ExecuteCommand(ID_EDIT_DELETE_WORD_BACK));
}

TEST(EditView, OtherViewsOfTheBufferFollowChanges)
{
    ViewFixture f({"first", "second"});
    EditViewModel other;
    other.AttachToBuffer(&f.buffer);
    other.MoveToPos(1, 3);
    f.view.MoveToPos(0, 0);
    f.view.OnChar("\r");
    EXPECT_EQ(other.GetCursorPos(), CPoint(3, 2));
    other.DetachFromBuffer();
    EXPECT_EQ(other.GetLineCount(), 1);
}

} // namespace
} // namespace brindle::viewtest
