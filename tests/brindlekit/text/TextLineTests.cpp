#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::test;

namespace {

std::string Chars(int n, char c = 'x') { return std::string(static_cast<std::size_t>(n), c); }

} // namespace

TEST(TextLineCapacity, NewLineGetsNextMultipleOf16AboveLength)
{
    CTextBuffer buffer;
    SetLines(buffer, {"", Chars(15), Chars(16), Chars(47), Chars(300)});
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    EXPECT_EQ(buffer.GetLineCapacity(1), 16);
    EXPECT_EQ(buffer.GetLineCapacity(2), 32);
    EXPECT_EQ(buffer.GetLineCapacity(3), 48);
    EXPECT_EQ(buffer.GetLineCapacity(4), 304);
}

TEST(TextLineCapacity, AppendGrowsOnlyWhenCapacityIsExceeded)
{
    CTextBuffer buffer;
    SetLines(buffer, {Chars(10)});
    buffer.AppendLine(0, "abcdef"); // 16 fits exactly
    EXPECT_EQ(buffer.GetLineLength(0), 16);
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    buffer.AppendLine(0, "g");
    EXPECT_EQ(buffer.GetLineCapacity(0), 32);
    buffer.AppendLine(0, "ignored", 0);
    buffer.AppendLine(0, nullptr);
    EXPECT_EQ(buffer.GetLineLength(0), 17);
    EXPECT_EQ(std::string(buffer.GetLineChars(0), 17), Chars(10) + "abcdefg");
}

TEST(TextLineCapacity, InsertionGrowsInTwoStepsAndDeletionNeverShrinks)
{
    CTextBuffer buffer;
    SetLines(buffer, {Chars(15)});
    int endLine = 0, endChar = 0;
    // Cut at 3, append 17 (20 > 16: 32), append the 12-byte tail (32 fits).
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 3, Chars(17, 'y'), endLine, endChar, EA_TYPING));
    EXPECT_EQ(buffer.GetLineLength(0), 32);
    EXPECT_EQ(buffer.GetLineCapacity(0), 32);
    EXPECT_EQ(Lines(buffer)[0], Chars(3) + Chars(17, 'y') + Chars(12));
    ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 0, 0, 32, EA_DELETE));
    EXPECT_EQ(buffer.GetLineLength(0), 0);
    EXPECT_EQ(buffer.GetLineCapacity(0), 32);
}

TEST(TextLineCapacity, MultiLineInsertionCreatesLinesByTheRule)
{
    CTextBuffer buffer;
    SetLines(buffer, {"0123456789"});
    int endLine = 0, endChar = 0;
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 5, std::string("a\r") + Chars(20) + "\r\n" + Chars(14), endLine, endChar,
                                  EA_PASTE));
    ASSERT_EQ(buffer.GetLineCount(), 3);
    EXPECT_EQ(buffer.GetLineCapacity(1), 32);
    // Created with 14 bytes (16), then the 5-byte tail appended: 19 > 16.
    EXPECT_EQ(buffer.GetLineLength(2), 19);
    EXPECT_EQ(buffer.GetLineCapacity(2), 32);
    EXPECT_EQ(Lines(buffer), (std::vector<std::string>{"01234a", Chars(20), Chars(14) + "56789"}));
}

TEST(TextLineCapacity, LoadedLinesReportTheRuleAndKeepItWhenEdited)
{
    TempDir dir;
    WriteFile(dir.Path("f.txt"), "short\n" + Chars(40) + "\n");
    CTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f.txt").c_str()));
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    EXPECT_EQ(buffer.GetLineCapacity(1), 48);
    ASSERT_TRUE(buffer.DeleteText(nullptr, 1, 0, 1, 30, EA_DELETE));
    EXPECT_EQ(buffer.GetLineCapacity(1), 48);
    int endLine = 0, endChar = 0;
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 5, "!!", endLine, endChar, EA_TYPING));
    EXPECT_EQ(buffer.GetLineCapacity(0), 16);
    EXPECT_EQ(Lines(buffer), (std::vector<std::string>{"short!!", Chars(10), ""}));
}
