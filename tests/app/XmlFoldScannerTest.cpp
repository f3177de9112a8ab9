#include "app/views/XmlFoldScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using brindle::FoldRange;

namespace {

struct Text {
    std::vector<std::string> lines;
    xml_fold::LineSource Source() const
    {
        return [this](int line) { return std::string_view(lines[static_cast<std::size_t>(line)]); };
    }
    int Count() const { return static_cast<int>(lines.size()); }
    std::vector<FoldRange> Ranges() const { return xml_fold::FindRanges(Source(), Count()); }
    int End(int first, int limit = 1000) const { return xml_fold::FindEnd(Source(), Count(), first, limit); }
};

} // namespace

TEST(XmlFoldScanner, RangesOfARealDocument)
{
    const Text doc{{
        R"(<?xml version="1.0"?>)",           // 0
        R"(<!DOCTYPE book [)",                // 1
        R"(  <!ENTITY v "1.0 [beta]">)",      // 2
        R"(]>)",                              // 3
        R"(<book id="b1">)",                  // 4
        R"(  <!-- a comment)",                // 5
        R"(       over two lines -->)",       // 6
        R"(  <title lang="en">Guide</title>)", // 7
        R"(  <chapter n="1" note="a > b">)",  // 8: '>' in quotes ends nothing
        R"(    <para>one</para><para>)",      // 9
        R"(      two</para>)",                // 10
        R"(    <code><![CDATA[ if (a<b) {)",  // 11
        R"(      </chapter> ]]></code>)",     // 12: an end tag inside CDATA is text
        R"(    <img src="x")",                // 13: a start tag over two lines
        R"(         alt='<b>'/>)",            // 14
        R"(  </chapter>)",                    // 15
        R"(<?pi multi)",                      // 16
        R"(  line?>)",                        // 17
        R"(</book>)",                         // 18
    }};
    const std::vector<FoldRange> expected = {{1, 3}, {4, 18}, {5, 6}, {8, 15}, {9, 10}, {11, 12}, {13, 14}, {16, 17}};
    EXPECT_EQ(doc.Ranges(), expected);
    // Each first line finds the same end searching forward from it alone.
    for (const FoldRange& r : expected) EXPECT_EQ(doc.End(r.first), r.last) << r.first;
    EXPECT_EQ(doc.End(0), -1);
    EXPECT_EQ(doc.End(7), -1);  // an element closed on its own line
    EXPECT_EQ(doc.End(18), -1);
    EXPECT_EQ(doc.End(4, 5), -1); // further than the search looks
}

TEST(XmlFoldScanner, UnbalancedTextWhileTyping)
{
    // An element not closed yet has no range; those around it keep theirs.
    const Text typing{{"<a>", "  <b>", "  <c>", "  </c>", "</a>"}};
    EXPECT_EQ(typing.Ranges(), (std::vector<FoldRange>{{0, 4}, {2, 3}}));
    EXPECT_EQ(typing.End(1), -1); // the end tag of its parent comes first
    EXPECT_EQ(typing.End(0), 4);

    // A stray end tag closes nothing; a tag cut short gives way to the next one.
    const Text stray{{"<a>", "</x>", "<b attr=\"1\"", "<c>", "</c>", "</a>"}};
    EXPECT_EQ(stray.Ranges(), (std::vector<FoldRange>{{0, 5}, {3, 4}}));

    // An open comment or quote runs to the end of the text: no range, and no crash.
    const Text open{{"<a>", "<!-- not closed", "</a>"}};
    EXPECT_TRUE(open.Ranges().empty());
    EXPECT_EQ(open.End(1), -1);
    const Text quote{{"<a x=\"never closed>", "</a>"}};
    EXPECT_TRUE(quote.Ranges().empty());
    const Text empty{{""}};
    EXPECT_TRUE(empty.Ranges().empty());
    EXPECT_EQ(empty.End(0), -1);
}
