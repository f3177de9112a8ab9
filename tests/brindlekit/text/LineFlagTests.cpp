#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;

namespace {

CTextBuffer& TenLines(CTextBuffer& buffer)
{
    SetLines(buffer, std::vector<std::string>(10, "line"));
    return buffer;
}

} // namespace

TEST(LineFlags, OnlySingleBitsAreSetAndNumberedBookmarksMove)
{
    CTextBuffer buffer;
    TenLines(buffer);
    RecordingView view;
    buffer.AddView(&view);
    buffer.SetLineFlag(5, 0x3, true);
    EXPECT_EQ(buffer.GetLineFlags(5), 0u);
    EXPECT_TRUE(view.updates.empty());

    buffer.SetLineFlag(3, LINEF_BOOKMARK_N(2), true);
    view.updates.clear();
    buffer.SetLineFlag(7, LINEF_BOOKMARK_N(2), true);
    EXPECT_EQ(buffer.GetLineFlags(3), 0u);
    EXPECT_EQ(buffer.GetLineFlags(7), 0x4u);
    ASSERT_EQ(view.updates.size(), 2u);
    EXPECT_EQ(view.updates[0].line, 3);
    EXPECT_EQ(view.updates[0].flags, 0x300u);
    EXPECT_EQ(view.updates[1].line, 7);

    // Setting a flag that is already there changes nothing and says nothing.
    view.updates.clear();
    buffer.SetLineFlag(7, LINEF_BOOKMARK_N(2), true);
    EXPECT_TRUE(view.updates.empty());

    // Without removal the flag may live on several lines.
    buffer.SetLineFlag(1, LINEF_RED, true, false);
    buffer.SetLineFlag(4, LINEF_RED, true, false);
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_RED | LINEF_GREEN), 1);
    EXPECT_EQ(buffer.GetLineWithFlag(LINEF_RED | LINEF_GREEN), -1);
    EXPECT_EQ(buffer.GetLineWithFlag(LINEF_BOOKMARK_N(2)), 7);
    EXPECT_EQ(buffer.GetLineWithFlag(LINEF_OLIVE), -1);

    // Line -1: the first line with the flag, without touching the others.
    buffer.SetLineFlag(-1, LINEF_RED, false);
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_RED), 4);
    buffer.SetLineFlag(-1, LINEF_GREEN, false); // nobody has it
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_GREEN), -1);
}

TEST(LineFlags, FlagsMoveWithTheirLinesAndGoWithDeletedOnes)
{
    CTextBuffer buffer;
    TenLines(buffer);
    buffer.SetLineFlag(4, LINEF_BOOKMARK, true);
    buffer.SetLineFlag(6, LINEF_MARK, true);
    int endLine = 0, endChar = 0;
    ASSERT_TRUE(buffer.InsertText(nullptr, 1, 0, "new\r", endLine, endChar, EA_TYPING));
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_BOOKMARK), 5);
    ASSERT_TRUE(buffer.DeleteText(nullptr, 6, 2, 8, 1, EA_DELETE));
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_MARK), -1);
}

TEST(Bookmarks, NextAndPreviousWrapAround)
{
    CTextBuffer buffer;
    TenLines(buffer);
    EXPECT_EQ(buffer.FindNextBookmarkLine(0), -1);
    EXPECT_EQ(buffer.FindPrevBookmarkLine(0), -1);
    buffer.SetLineFlag(4, LINEF_BOOKMARK, true, false);
    EXPECT_EQ(buffer.FindNextBookmarkLine(4), 4); // the only one, found after wrapping
    EXPECT_EQ(buffer.FindPrevBookmarkLine(4), 4);
    buffer.SetLineFlag(8, LINEF_BOOKMARK, true, false);
    EXPECT_EQ(buffer.FindNextBookmarkLine(0), 4);
    EXPECT_EQ(buffer.FindNextBookmarkLine(4), 8);
    EXPECT_EQ(buffer.FindNextBookmarkLine(5), 8);
    EXPECT_EQ(buffer.FindNextBookmarkLine(8), 4);
    EXPECT_EQ(buffer.FindNextBookmarkLine(9), 4);
    EXPECT_EQ(buffer.FindPrevBookmarkLine(9), 8);
    EXPECT_EQ(buffer.FindPrevBookmarkLine(8), 4);
    EXPECT_EQ(buffer.FindPrevBookmarkLine(4), 8);
    EXPECT_EQ(buffer.FindPrevBookmarkLine(2), 8);
}

// A line keeps its flags beside its text in a few bits: every flag survives the
// line's text moving to a block of its own and growing.
TEST(LineFlags, EveryFlagStaysWithItsLineThroughEdits)
{
    CTextBuffer buffer;
    TenLines(buffer);
    const std::uint32_t all = LINEF_GREEN | LINEF_RED | LINEF_MARK | LINEF_BOOKMARK | LINEF_OLIVE;
    for (std::uint32_t flag : {LINEF_GREEN, LINEF_RED, LINEF_MARK, LINEF_BOOKMARK, LINEF_OLIVE})
        buffer.SetLineFlag(4, flag, true, false);
    for (int n = 0; n < kNumberedBookmarkCount; ++n) buffer.SetLineFlag(n, LINEF_BOOKMARK_N(n), true);
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 4, 2, std::string(100, 'x').c_str(), endLine, endChar, EA_TYPING);
    EXPECT_EQ(std::string(buffer.GetLineChars(4), static_cast<size_t>(buffer.GetLineLength(4))), "li" + std::string(100, 'x') + "ne");
    EXPECT_EQ(buffer.GetLineFlags(4), all | LINEF_BOOKMARK_N(4));
    for (int n = 0; n < kNumberedBookmarkCount; ++n) EXPECT_EQ(buffer.GetLineFlags(n) & 0x3FF, LINEF_BOOKMARK_N(n)) << n;
}
