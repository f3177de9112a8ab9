#include "TestSupport.h"

#include "brindlekit/text/EditAction.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;

using StrVec = std::vector<std::string>;

namespace {

// Types like the edit view: each character opens a group that joins the previous
// one unless it is a space.
void Type(CTextBuffer& buffer, ITextBufferView* view, CPoint& at, const std::string& chars)
{
    for (char c : chars) {
        buffer.BeginUndoGroup(c != ' ');
        int endLine = 0, endChar = 0;
        buffer.InsertText(view, at.y, at.x, std::string(1, c), endLine, endChar, EA_TYPING);
        buffer.FlushUndoGroup(view);
        at = CPoint(endChar, endLine);
    }
}

void Insert(CTextBuffer& buffer, int line, int pos, const std::string& text, int action)
{
    int endLine = 0, endChar = 0;
    ASSERT_TRUE(buffer.InsertText(nullptr, line, pos, text, endLine, endChar, action));
}

// Resident bytes of this process.
long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true; // freed memory is held in quarantine
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

} // namespace

TEST(Undo, ASpaceStartsANewGroupWhileTyping)
{
    CTextBuffer buffer;
    buffer.InitNew();
    CPoint at;
    Type(buffer, nullptr, at, "ab cd");
    EXPECT_EQ(Lines(buffer), StrVec{"ab cd"});
    CPoint cursor;
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(Lines(buffer), StrVec{"ab"});
    EXPECT_EQ(cursor, CPoint(2, 0));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(Lines(buffer), StrVec{""});
    EXPECT_FALSE(buffer.CanUndo());
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(Lines(buffer), StrVec{"ab"});
    EXPECT_EQ(cursor, CPoint(2, 0));
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(Lines(buffer), StrVec{"ab cd"});
    EXPECT_EQ(cursor, CPoint(5, 0));
    EXPECT_FALSE(buffer.CanRedo());
}

TEST(Undo, TypingAfterAPasteJoinsItsGroup)
{
    CTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "start ", EA_TYPING);
    buffer.BeginUndoGroup();
    Insert(buffer, 0, 6, "pasted\r\nlines", EA_PASTE);
    buffer.FlushUndoGroup(nullptr);
    CPoint at(5, 1);
    Type(buffer, nullptr, at, "X");
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), StrVec{"start "});
    EXPECT_EQ(cursor, CPoint(6, 0));
    std::string name;
    buffer.GetUndoDescription(name);
    EXPECT_EQ(name, "Typing");
    buffer.GetRedoDescription(name);
    EXPECT_EQ(name, "Paste");
}

TEST(Undo, EditsMadeWhenTheGroupIsFlushedFormTheirOwnGroup)
{
    CTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "  indented", EA_TYPING);
    // The view indents a new line like the previous one (auto-indent).
    RecordingView view;
    view.onEditOperation = [&](int action, std::string_view text) {
        if (action == EA_TYPING && text == "\r\n") Insert(buffer, 1, 0, "  ", EA_AUTOINDENT);
    };
    buffer.BeginUndoGroup();
    Insert(buffer, 0, 10, "\r\n", EA_TYPING);
    buffer.FlushUndoGroup(&view);
    EXPECT_EQ(Lines(buffer), (StrVec{"  indented", "  "}));
    ASSERT_EQ(view.editOperations.size(), 1u);
    EXPECT_EQ(view.editOperations[0], std::make_pair(int(EA_TYPING), std::string("\r\n")));

    std::string name;
    buffer.GetUndoDescription(name);
    EXPECT_EQ(name, "Auto Indent");
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), (StrVec{"  indented", ""}));
    buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), StrVec{"  indented"});
    EXPECT_EQ(cursor, CPoint(10, 0));
}

TEST(Undo, ImplicitGroupsReportTheirRecordToTheSourceView)
{
    CTextBuffer buffer;
    buffer.InitNew();
    RecordingView source, other;
    buffer.AddView(&source);
    buffer.AddView(&other);
    int endLine = 0, endChar = 0;
    buffer.InsertText(&source, 0, 0, "abc", endLine, endChar, EA_PASTE);
    buffer.DeleteText(&source, 0, 1, 0, 2, EA_BACKSPACE);
    EXPECT_EQ(source.editOperations,
              (std::vector<std::pair<int, std::string>>{{EA_PASTE, "abc"}, {EA_BACKSPACE, "b"}}));
    EXPECT_TRUE(other.editOperations.empty());

    // Undo and redo tell every view, with no source.
    source.updates.clear();
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_EQ(cursor, CPoint(2, 0)); // after the restored character
    ASSERT_EQ(source.updates.size(), 1u);
    EXPECT_EQ(source.updates[0].source, nullptr);
    EXPECT_TRUE(source.updates[0].insertion);
    EXPECT_EQ(other.updates.back().source, nullptr);
    buffer.Redo(cursor);
    EXPECT_EQ(cursor, CPoint(1, 0));
    EXPECT_EQ(Lines(buffer), StrVec{"ac"});
}

TEST(Undo, OneCharacterDeletionIsRestored)
{
    CTextBuffer buffer;
    SetLines(buffer, {"xyz"});
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 0, 2, EA_DELETE));
    EXPECT_EQ(buffer.GetUndoRecord(0).GetText(), "y");
    EXPECT_FALSE(buffer.GetUndoRecord(0).IsInsertion());
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), StrVec{"xyz"});
}

TEST(Undo, DeletedLinesHoldingCrBytesComeBackExactly)
{
    TempDir dir;
    WriteFile(dir.Path("f"), "a\rb\nc\r\nd\re\n");
    CTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f").c_str()));
    const StrVec original{"a\rb", "c\r", "d\re", ""};
    ASSERT_EQ(Lines(buffer), original);
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 2, 2, EA_DELSEL));
    EXPECT_EQ(Lines(buffer), (StrVec{"ae", ""}));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 0, 2, EA_DELSEL));
    CPoint cursor;
    buffer.Undo(cursor);
    buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), original);
    EXPECT_EQ(cursor, CPoint(2, 2));
    buffer.Redo(cursor);
    EXPECT_EQ(Lines(buffer), (StrVec{"ae", ""}));
}

TEST(Undo, DeleteUndoRedoCyclesGiveTheStorageBack)
{
    // About 2 MB in 40,000 lines, loaded as documents are.
    TempDir dir;
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "  <item id=\"" + std::to_string(i) + "\">alpha beta gamma</item>\r\n";
    WriteFile(dir.Path("f"), text);
    CTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f").c_str()));
    const auto deleteAll = [&] {
        const int last = buffer.GetLineCount() - 1;
        ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, last, buffer.GetLineLength(last), EA_DELSEL));
    };
    deleteAll();
    EXPECT_LT(buffer.GetSharedStorageSize(), text.size() / 4); // the loaded text is freed

    CPoint cursor;
    ASSERT_TRUE(buffer.Undo(cursor));
    const std::size_t held = buffer.GetSharedStorageSize();
    const long resident = ResidentBytes();
    std::size_t most = held;
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_TRUE(buffer.Redo(cursor));
        EXPECT_EQ(buffer.GetLineCount(), 1);
        ASSERT_TRUE(buffer.Undo(cursor));
        most = std::max(most, buffer.GetSharedStorageSize());
    }
    EXPECT_LE(most, 2 * held);
    std::string now;
    buffer.GetText(0, 0, buffer.GetLineCount() - 1, 0, now);
    EXPECT_EQ(now, text);
    // 100 cycles that each kept the text would take 200 MB more.
    if (!kAddressSanitizer) {
        EXPECT_LT(ResidentBytes() - resident, 32L << 20);
    }

    // Deleting a part sends its lines' storage back as well.
    ASSERT_TRUE(buffer.Redo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 20000, 0, EA_DELSEL));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 19999, 0, EA_DELSEL));
    EXPECT_LT(buffer.GetSharedStorageSize(), held / 4);
}

TEST(Undo, ModifiedFlagFollowsTheLoadPoint)
{
    TempDir dir;
    WriteFile(dir.Path("f"), "text");
    CTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f").c_str()));
    Insert(buffer, 0, 4, "1", EA_TYPING);
    Insert(buffer, 0, 5, "2", EA_TYPING);
    EXPECT_TRUE(buffer.IsModified());
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(cursor);
    EXPECT_FALSE(buffer.IsModified());
    buffer.Redo(cursor);
    EXPECT_TRUE(buffer.IsModified());

    // A new edit after undoing past the saved state loses that state for good.
    ASSERT_TRUE(buffer.SaveToFile(dir.Path("f").c_str())); // saved: "text1"
    buffer.Undo(cursor);
    Insert(buffer, 0, 4, "X", EA_TYPING); // "textX"
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(cursor);
    EXPECT_TRUE(buffer.IsModified());
    buffer.Redo(cursor);
    EXPECT_TRUE(buffer.IsModified());
}

TEST(Undo, TheLimitDropsTheOldestWholeGroup)
{
    CTextBuffer buffer;
    buffer.InitNew();
    buffer.BeginUndoGroup();
    Insert(buffer, 0, 0, "a", EA_PASTE);
    Insert(buffer, 0, 1, "b", EA_PASTE);
    Insert(buffer, 0, 2, "c", EA_PASTE);
    buffer.FlushUndoGroup(nullptr);
    for (int i = 0; i < CTextBuffer::kUndoLimit - 3; ++i) Insert(buffer, 0, 0, "x", EA_TYPING);
    EXPECT_EQ(buffer.GetUndoRecordCount(), CTextBuffer::kUndoLimit);
    Insert(buffer, 0, 0, "y", EA_TYPING); // the 1025th record
    EXPECT_EQ(buffer.GetUndoRecordCount(), CTextBuffer::kUndoLimit - 2);
    EXPECT_EQ(buffer.GetUndoPosition(), CTextBuffer::kUndoLimit - 2);
    EXPECT_TRUE(buffer.CanUndo());
    EXPECT_EQ(buffer.GetUndoRecord(0).m_nAction, EA_TYPING);
    EXPECT_TRUE(buffer.GetUndoRecord(0).BeginsGroup());

    // Undo everything that is left: the paste stays, and the load point is gone,
    // so the text never counts as unmodified.
    CPoint cursor;
    while (buffer.CanUndo()) buffer.Undo(cursor);
    EXPECT_EQ(Lines(buffer), StrVec{"abc"});
    EXPECT_TRUE(buffer.IsModified());
}

TEST(Undo, AMergedGroupDroppedWholeAtTheLimitLeavesAValidHistory)
{
    CTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "s", EA_TYPING);
    for (int i = 0; i < CTextBuffer::kUndoLimit + 5; ++i) {
        buffer.BeginUndoGroup(true); // every record joins the first group
        Insert(buffer, 0, 1, "m", EA_TYPING);
        buffer.FlushUndoGroup(nullptr);
    }
    ASSERT_TRUE(buffer.CanUndo());
    EXPECT_TRUE(buffer.GetUndoRecord(0).BeginsGroup());
    std::string name;
    EXPECT_EQ(buffer.GetUndoDescription(name), 0);
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_FALSE(buffer.CanUndo());
    // 1 + 1029 characters typed, of which the 6 still recorded are gone.
    EXPECT_EQ(buffer.GetLineLength(0), 1024);
}

TEST(Undo, DescriptionsWalkGroupByGroup)
{
    CTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "pasted", EA_PASTE);
    buffer.BeginUndoGroup();
    Insert(buffer, 0, 0, "a", EA_REPLACE);
    Insert(buffer, 0, 0, "b", EA_TYPING);
    buffer.FlushUndoGroup(nullptr);
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 0, 1, EA_CUT));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 0, 1, 42)); // an action without a name

    std::vector<std::string> names;
    std::string name = "stale";
    int pos = buffer.GetUndoDescription(name);
    names.push_back(name);
    while (pos != 0) {
        pos = buffer.GetUndoDescription(name, pos);
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"", "Cut", "Replace", "Paste"}));

    CPoint cursor;
    while (buffer.CanUndo()) buffer.Undo(cursor);
    names.clear();
    pos = buffer.GetRedoDescription(name);
    names.push_back(name);
    while (pos != 0) {
        pos = buffer.GetRedoDescription(name, pos);
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Paste", "Replace", "Cut", ""}));
    EXPECT_THROW(buffer.GetUndoDescription(name), CTextIndexError);
    EXPECT_THROW(buffer.Undo(cursor), CTextIndexError);
}

TEST(Undo, ActionNamesAndStringIds)
{
    CTextBuffer buffer;
    std::string text;
    const char* names[] = {"Unknown", "Paste",         "Delete Selection", "Cut",    "Typing",     "Backspace",
                           "Indent",  "Drag And Drop", "Replace",          "Delete", "Auto Indent"};
    for (int action = 0; action < kEditActionCount; ++action) {
        ASSERT_TRUE(buffer.GetActionDescription(action, text));
        EXPECT_EQ(text, names[action]);
    }
    EXPECT_FALSE(buffer.GetActionDescription(11, text));
    EXPECT_FALSE(buffer.GetActionDescription(-1, text));
    EXPECT_EQ(EditActionStringId(EA_DELETE), 8623);
    EXPECT_EQ(EditActionStringId(EA_TYPING), 8624);
    EXPECT_EQ(EditActionStringId(EA_AUTOINDENT), 8629);
    EXPECT_EQ(UndoMenuLabel(IDS_MENU_UNDO_FORMAT), "&Undo %s\tCtrl+Z");
    EXPECT_EQ(UndoMenuLabel(IDS_MENU_REDO_DEFAULT), "&Redo\tCtrl+Y");
}

TEST(Undo, ReadOnlyBuffersAndFreshTextsKeepTheHistoryInStep)
{
    CTextBuffer buffer;
    buffer.InitNew();
    Insert(buffer, 0, 0, "abc", EA_TYPING);
    buffer.SetReadOnly(true);
    CPoint cursor(9, 9);
    EXPECT_FALSE(buffer.Undo(cursor));
    EXPECT_EQ(buffer.GetUndoPosition(), 1);
    EXPECT_EQ(Lines(buffer), StrVec{"abc"});
    buffer.SetReadOnly(false);
    buffer.Undo(cursor);
    EXPECT_TRUE(buffer.CanRedo());
    buffer.InitNew(); // the old records do not apply to the new text
    EXPECT_FALSE(buffer.CanRedo());
    Insert(buffer, 0, 0, "abc", EA_TYPING);
    EXPECT_TRUE(buffer.IsInitialized());
    buffer.FreeAll();
    EXPECT_FALSE(buffer.IsInitialized());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());
    EXPECT_EQ(buffer.GetLineCount(), 0);
}
