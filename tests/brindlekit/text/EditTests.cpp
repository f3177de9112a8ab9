#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;

using StrVec = std::vector<std::string>;

TEST(Insertion, CrAndCrLfBreakLinesButLoneLfIsACharacter)
{
    CTextBuffer buffer;
    SetLines(buffer, {"klmn"});
    RecordingView view;
    buffer.AddView(&view);
    int endLine = -1, endChar = -1;
    ASSERT_TRUE(buffer.InsertText(&view, 0, 2, "p\rq\r\nr\ns", endLine, endChar, EA_PASTE));
    EXPECT_EQ(Lines(buffer), (StrVec{"klp", "q", "r\nsmn"}));
    EXPECT_EQ(endLine, 2);
    EXPECT_EQ(endChar, 3);
    ASSERT_EQ(view.updates.size(), 1u);
    const auto& u = view.updates[0];
    EXPECT_EQ(u.source, &view);
    EXPECT_EQ(u.flags, 0x3u);
    EXPECT_EQ(u.line, 0);
    EXPECT_TRUE(u.insertion);
    EXPECT_EQ(u.start, CPoint(2, 0));
    EXPECT_EQ(u.end, CPoint(3, 2));
}

TEST(Insertion, SingleLineChangeAndTrailingBreak)
{
    CTextBuffer buffer;
    SetLines(buffer, {"ab", "cd"});
    RecordingView view;
    buffer.AddView(&view);
    int endLine = -1, endChar = -1;
    ASSERT_TRUE(buffer.InsertText(nullptr, 1, 1, "XY", endLine, endChar, EA_TYPING));
    EXPECT_EQ(Lines(buffer), (StrVec{"ab", "cXYd"}));
    EXPECT_EQ(endLine, 1);
    EXPECT_EQ(endChar, 3);
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 2, "\r", endLine, endChar, EA_TYPING));
    EXPECT_EQ(Lines(buffer), (StrVec{"ab", "", "cXYd"}));
    EXPECT_EQ(endLine, 1);
    EXPECT_EQ(endChar, 0);
    ASSERT_EQ(view.updates.size(), 2u);
    EXPECT_EQ(view.updates[0].flags, 0x101u);
    EXPECT_EQ(view.updates[0].line, 1);
    EXPECT_EQ(view.updates[1].flags, 0x3u);
}

TEST(Insertion, TextTakenFromTheSameLineAndNulBytesArePreserved)
{
    CTextBuffer buffer;
    SetLines(buffer, {"abcdefgh"});
    int endLine = 0, endChar = 0;
    std::string_view own(buffer.GetLineChars(0) + 2, 4); // "cdef", moves while inserting
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 1, own, endLine, endChar, EA_PASTE));
    EXPECT_EQ(Lines(buffer)[0], "acdefbcdefgh");
    EXPECT_EQ(buffer.GetUndoRecord(0).GetText(), "cdef");
    const std::string withNul("x\0y", 3);
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, std::string_view(withNul), endLine, endChar, EA_PASTE));
    EXPECT_EQ(Lines(buffer)[0], withNul + "acdefbcdefgh");
}

TEST(Deletion, NotifiesSingleLineOrMultiLineWithDeletionContext)
{
    CTextBuffer buffer;
    SetLines(buffer, {"zero", "one", "two", "three"});
    RecordingView view;
    buffer.AddView(&view);
    ASSERT_TRUE(buffer.DeleteText(&view, 1, 0, 1, 2, EA_DELETE));
    EXPECT_EQ(Lines(buffer), (StrVec{"zero", "e", "two", "three"}));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 2, 3, 3, EA_DELSEL));
    EXPECT_EQ(Lines(buffer), (StrVec{"zeee"}));
    ASSERT_EQ(view.updates.size(), 2u);
    EXPECT_EQ(view.updates[0].flags, 0x101u);
    EXPECT_EQ(view.updates[0].line, 1);
    EXPECT_EQ(view.updates[0].source, &view);
    EXPECT_EQ(view.updates[1].flags, 0x3u);
    EXPECT_EQ(view.updates[1].line, 0);
    EXPECT_TRUE(view.updates[1].deletion);
    EXPECT_EQ(view.updates[1].start, CPoint(2, 0));
    EXPECT_EQ(view.updates[1].end, CPoint(3, 3));
    EXPECT_EQ(buffer.GetUndoRecord(1).GetText(), "ro\r\ne\r\ntwo\r\nthr");
}

TEST(GetText, JoinsLinesWithTheGivenBreak)
{
    CTextBuffer buffer;
    SetLines(buffer, {"alpha", "beta", "gamma"});
    std::string text;
    buffer.GetText(0, 1, 0, 3, text);
    EXPECT_EQ(text, "lp");
    buffer.GetText(0, 3, 2, 2, text);
    EXPECT_EQ(text, "ha\r\nbeta\r\nga");
    buffer.GetText(0, 5, 2, 0, text, "\n");
    EXPECT_EQ(text, "\nbeta\n");
    buffer.GetText(1, 2, 1, 2, text);
    EXPECT_EQ(text, "");
}

TEST(ReadOnly, EditsDoNothingAndReturnFalse)
{
    CTextBuffer buffer;
    SetLines(buffer, {"text"});
    RecordingView view;
    buffer.AddView(&view);
    buffer.SetReadOnly(true);
    int endLine = 0, endChar = 0;
    EXPECT_FALSE(buffer.InsertText(nullptr, 0, 0, "x", endLine, endChar, EA_TYPING));
    EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 0, 2, EA_DELETE));
    EXPECT_FALSE(buffer.InternalInsertText(nullptr, 0, 0, "x", endLine, endChar));
    EXPECT_EQ(Lines(buffer), StrVec{"text"});
    EXPECT_TRUE(view.updates.empty());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.IsModified());
}

TEST(BadIndex, RaisesTextIndexErrorAndChangesNothing)
{
    CTextBuffer buffer;
    SetLines(buffer, {"abc", "de"});
    int endLine = 0, endChar = 0;
    std::string text;
    EXPECT_THROW(buffer.GetLineLength(2), CTextIndexError);
    EXPECT_THROW(buffer.GetLineChars(-1), CTextIndexError);
    EXPECT_THROW(buffer.GetLineFlags(7), std::out_of_range);
    EXPECT_THROW(buffer.InsertText(nullptr, 2, 0, "x", endLine, endChar, EA_TYPING), CTextIndexError);
    EXPECT_THROW(buffer.InsertText(nullptr, 1, 3, "x", endLine, endChar, EA_TYPING), CTextIndexError);
    EXPECT_THROW(buffer.DeleteText(nullptr, 1, 1, 0, 2, EA_DELETE), CTextIndexError);
    EXPECT_THROW(buffer.DeleteText(nullptr, 0, 0, 1, 5, EA_DELETE), CTextIndexError);
    EXPECT_THROW(buffer.GetText(0, 2, 0, 1, text), CTextIndexError);
    EXPECT_THROW(buffer.SetLineFlag(2, LINEF_BOOKMARK, true), CTextIndexError);
    EXPECT_THROW(buffer.FindNextBookmarkLine(-3), CTextIndexError);
    EXPECT_THROW(buffer.InsertLine("x", -1, 3), CTextIndexError);
    EXPECT_THROW(buffer.AppendLine(5, "x"), CTextIndexError);
    EXPECT_THROW(buffer.SetCRLFMode(3), CTextIndexError);
    EXPECT_EQ(Lines(buffer), (StrVec{"abc", "de"}));
    EXPECT_FALSE(buffer.CanUndo());
    CTextBuffer empty;
    EXPECT_EQ(empty.GetLineCount(), 0);
    EXPECT_THROW(empty.GetLineLength(0), CTextIndexError);
}

TEST(LineTable, InsertLineAndAppendLine)
{
    CTextBuffer buffer;
    buffer.InsertLine("second");
    buffer.InsertLine("first", -1, 0);
    buffer.InsertLine(nullptr);
    buffer.InsertLine("xyz", 2, 1);
    buffer.AppendLine(0, "!");
    buffer.AppendLine(3, "tail", 2);
    EXPECT_EQ(Lines(buffer), (StrVec{"first!", "xy", "second", "ta"}));
}

TEST(InitNew, ResetsStateAndNotifies)
{
    CTextBuffer buffer;
    SetLines(buffer, {"old", "text"});
    buffer.SetReadOnly(true);
    buffer.SetModified(true);
    RecordingView view;
    buffer.AddView(&view);
    ASSERT_TRUE(buffer.InitNew(EOL_LF));
    EXPECT_EQ(Lines(buffer), StrVec{""});
    EXPECT_FALSE(buffer.GetReadOnly());
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_EQ(buffer.GetCRLFMode(), EOL_LF);
    ASSERT_EQ(view.updates.size(), 1u);
    EXPECT_EQ(view.updates[0].flags, UPD_RESET);
    EXPECT_EQ(view.updates[0].line, -1);
    EXPECT_EQ(EolIndicatorText(EOL_CRLF), "DOS");
    EXPECT_EQ(EolIndicatorText(EOL_LFCR), "MAC");
    EXPECT_EQ(EolIndicatorText(EOL_LF), "UNIX");
}

namespace {

class CountingBuffer : public CTextBuffer {
public:
    void SetModified(bool modified) override
    {
        calls.push_back(modified);
        CTextBuffer::SetModified(modified);
    }
    std::vector<bool> calls;
};

} // namespace

TEST(ModifiedFlag, GoesThroughTheVirtualSetter)
{
    CountingBuffer buffer;
    buffer.InitNew();
    int endLine = 0, endChar = 0;
    // Setting a whole text with action 0: not modified, nothing to undo.
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, "doc\r\ntext", endLine, endChar, EA_UNKNOWN));
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_EQ(buffer.calls, (std::vector<bool>{true, false}));
    buffer.calls.clear();
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, "a", endLine, endChar, EA_TYPING));
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, "b", endLine, endChar, EA_TYPING));
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(buffer.calls, std::vector<bool>{true});
}

TEST(Views, NotifiedInOrderAndMayDetachWhileNotified)
{
    CTextBuffer buffer;
    SetLines(buffer, {"abc"});
    RecordingView first, second, third;
    buffer.AddView(&first);
    buffer.AddView(&second);
    buffer.AddView(&third);
    std::vector<int> order;
    first.onUpdate = [&] { order.push_back(1); buffer.RemoveView(&second); };
    second.onUpdate = [&] { order.push_back(2); };
    third.onUpdate = [&] { order.push_back(3); };
    buffer.SetLineFlag(0, LINEF_MARK, true);
    EXPECT_EQ(order, (std::vector<int>{1, 3}));
    buffer.RemoveView(&second); // already gone: nothing happens
    buffer.RemoveView(&first);
    buffer.SetLineFlag(0, LINEF_MARK, false);
    EXPECT_EQ(order, (std::vector<int>{1, 3, 3}));
}

TEST(UpdateContexts, InsertionMovesPointsAfterTheInsertionPoint)
{
    CInsertionContext ctx(CPoint(4, 2), CPoint(3, 5));
    auto moved = [&](CPoint p) { ctx.RecalcPoint(p); return p; };
    EXPECT_EQ(moved({9, 1}), CPoint(9, 1));
    EXPECT_EQ(moved({4, 2}), CPoint(4, 2)); // exactly at the point: stays before the text
    EXPECT_EQ(moved({2, 2}), CPoint(2, 2));
    EXPECT_EQ(moved({6, 2}), CPoint(5, 5));
    EXPECT_EQ(moved({1, 3}), CPoint(1, 6));
}

TEST(UpdateContexts, DeletionClipsAndShiftsPoints)
{
    CDeletionContext ctx(CPoint(4, 2), CPoint(3, 5));
    auto moved = [&](CPoint p) { ctx.RecalcPoint(p); return p; };
    EXPECT_EQ(moved({9, 1}), CPoint(9, 1));
    EXPECT_EQ(moved({1, 7}), CPoint(1, 4));
    EXPECT_EQ(moved({3, 5}), CPoint(4, 2));
    EXPECT_EQ(moved({8, 5}), CPoint(9, 2));
    EXPECT_EQ(moved({2, 5}), CPoint(4, 2)); // inside the range
    EXPECT_EQ(moved({7, 3}), CPoint(4, 2));
    EXPECT_EQ(moved({6, 2}), CPoint(4, 2)); // start line: clipped
    EXPECT_EQ(moved({1, 2}), CPoint(1, 2));
    CDeletionContext sameLine(CPoint(2, 0), CPoint(5, 0));
    CPoint p(7, 0);
    sameLine.RecalcPoint(p);
    EXPECT_EQ(p, CPoint(4, 0));
}
