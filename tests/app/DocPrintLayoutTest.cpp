// The pages a document's XML prints as from the node views: the split into
// lines, the page breaks, the header and the numbered body lines.
#include "app/views/DocPrintLayout.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::string Numbered(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r";
    return text;
}

std::string Joined(const Lines& lines)
{
    std::string all;
    for (const auto& line : lines) all += line;
    return all;
}

} // namespace

TEST(DocPrintLayout, PagesHoldTheirLinesAndAtLeastOnePageIsPrinted)
{
    // One line: one page, one body line.
    DocPrintLayout one("<a/>", "/tmp/a.xml", "a.xml", 80, 50);
    EXPECT_EQ(one.PageCount(), 1);
    EXPECT_EQ(one.PageLines(1), Lines{"00> <a/>"});

    // Line 51 opens page 2 with the first prefix.
    DocPrintLayout many(Numbered(101), "p", "t", 80, 50);
    EXPECT_EQ(many.PageCount(), 3);
    EXPECT_EQ(many.PageLines(1).back(), "49> line 50");
    EXPECT_EQ(many.PageLines(2).front(), "00> line 51");
    EXPECT_EQ(many.PageLines(3), Lines{"00> line 101"});
    EXPECT_EQ(DocPrintLayout(Numbered(100), "p", "t", 80, 50).PageCount(), 2);
    // Past 99 lines on a page the prefix grows.
    EXPECT_EQ(DocPrintLayout(Numbered(101), "p", "t", 80, 200).PageLines(1).back(), "100> line 101");

    // No DOM, no text: one page with its header and no lines.
    DocPrintLayout empty("", "/tmp/bad.xml", "bad.xml", 40, 50);
    EXPECT_TRUE(empty.Lines().empty());
    EXPECT_EQ(empty.PageCount(), 1);
    EXPECT_TRUE(empty.PageLines(1).empty());
    EXPECT_EQ(empty.Header(1), "/tmp/bad.xml" + std::string(40 - 12 - 6, ' ') + "Page 1");

    // A page too small for a line still takes one.
    EXPECT_EQ(DocPrintLayout(Numbered(3), "p", "t", 80, 0).PageCount(), 3);
}

TEST(DocPrintLayout, LinesEndAtReturnsAndLoneLineFeeds)
{
    // The return is dropped; a line feed after it starts the next line and prints as a blank.
    DocPrintLayout crLf("<a>\r\n\t<b/>\r\n</a>", "p", "t", 80, 50);
    EXPECT_EQ(crLf.Lines(), (Lines{"<a>", "\n\t<b/>", "\n</a>"}));
    EXPECT_EQ(crLf.PageLines(1), (Lines{"00> <a>", "01>   <b/>", "02>  </a>"}));
    // Text after the last return forms the last line; nothing after it forms none.
    EXPECT_EQ(DocPrintLayout("a\rb\r", "p", "t", 80, 50).Lines(), (Lines{"a", "b"}));
    EXPECT_EQ(DocPrintLayout("a\r\r", "p", "t", 80, 50).Lines(), (Lines{"a", ""}));
    // Text with line feeds only (as the document serialises) prints line by line.
    EXPECT_EQ(DocPrintLayout("<a>\n <b/>\n</a>\n", "p", "t", 80, 50).Lines(), (Lines{"<a>", " <b/>", "</a>"}));
}

TEST(DocPrintLayout, LongLinesGoOnAfterTheCutWithoutLosingACharacter)
{
    std::string longLine;
    for (int i = 0; i < 50; ++i) longLine += static_cast<char>('a' + i % 26);
    DocPrintLayout layout(longLine + "\rend", "p", "t", 20, 50);
    // 20 characters a line leave 12 for the text.
    ASSERT_EQ(layout.Lines().size(), 6U);
    EXPECT_EQ(layout.Lines()[0], longLine.substr(0, 12));
    EXPECT_EQ(layout.Lines()[4], longLine.substr(48));
    EXPECT_EQ(Joined(layout.Lines()), longLine + "end");

    // Characters, not bytes, are counted: a cut never splits one.
    const std::string wide = "日本語のテキストを印刷する長い行です";
    DocPrintLayout cjk(wide, "p", "t", 13, 50);
    ASSERT_EQ(cjk.Lines().size(), 4U);
    EXPECT_EQ(cjk.Lines()[0], "日本語のテ");
    EXPECT_EQ(cjk.Lines()[3], "行です");
    EXPECT_EQ(Joined(cjk.Lines()), wide);
    // A large document serialised on one line keeps every character; the last
    // printed line holds what is left after the cuts.
    DocPrintLayout big(std::string(2'000'000, 'x'), "p", "t", 80, 60);
    EXPECT_EQ(big.Lines().size(), 2'000'000U / 72 + 1);
    EXPECT_EQ(big.Lines().back().size(), 2'000'000U % 72);
    EXPECT_EQ(big.PageCount(), (2'000'000 / 72 + 1 + 59) / 60);
    // A line exactly as wide as the text is not cut.
    EXPECT_EQ(DocPrintLayout("日本語のテ", "p", "t", 13, 50).Lines().size(), 1U);
}

TEST(DocPrintLayout, TheHeaderEndsWithThePageNumberAtTheLastColumn)
{
    // Trailing blanks of the name go; the page number ends at column 30.
    EXPECT_EQ(DocPrintLayout("", "/d/a.xml  ", "a.xml", 30, 50).Header(12), "/d/a.xml" + std::string(15, ' ') + "Page 12");
    // Characters, not bytes, fill the line.
    EXPECT_EQ(DocPrintLayout("", "/d/文書.xml", "t", 20, 50).Header(1), "/d/文書.xml" + std::string(5, ' ') + "Page 1");
    // A name already as long as the line gets no blanks.
    EXPECT_EQ(DocPrintLayout("", "/a/long/name.xml", "t", 10, 50).Header(3), "/a/long/name.xmlPage 3");

    // A path of 68 characters is shown; a longer one gives way to the title.
    const std::string path68 = "/" + std::string(63, 'p') + ".xml";
    ASSERT_EQ(path68.size(), 68U);
    EXPECT_EQ(DocPrintLayout("", path68, "title.xml", 80, 50).Header(1).substr(0, 68), path68);
    EXPECT_EQ(DocPrintLayout("", path68 + "l", "title.xml ", 80, 50).Header(1),
              "title.xml" + std::string(80 - 9 - 6, ' ') + "Page 1");
    // 68 characters counted, not bytes.
    const std::string wide68 = "/" + std::string(60, 'p') + "文書.xml";
    EXPECT_EQ(DocPrintLayout("", wide68, "t", 90, 50).Header(1).substr(0, wide68.size()), wide68);
}
