#include "app/views/SourceColouring.h"

#include <gtest/gtest.h>
#include <vector>

using namespace source_colour;

namespace {

// The colour of every character of a line, from the blocks the parser defines.
struct Coloured {
    std::vector<int> colours;
    std::uint32_t cookie;
};

Coloured Colour(const std::string& line, std::uint32_t cookie = 0)
{
    std::vector<brindle::TextBlock> blocks(line.size() + 2);
    int count = 0;
    Coloured out{std::vector<int>(line.size(), -1), ParseLine(cookie, line, blocks.data(), count)};
    for (int b = 0; b < count; ++b) {
        const int end = b + 1 < count ? blocks[static_cast<size_t>(b + 1)].m_nCharPos : static_cast<int>(line.size());
        for (int i = blocks[static_cast<size_t>(b)].m_nCharPos; i < end && i < static_cast<int>(line.size()); ++i)
            out.colours[static_cast<size_t>(i)] = blocks[static_cast<size_t>(b)].m_nColorIndex;
    }
    return out;
}

std::vector<int> Span(int colour, size_t n) { return std::vector<int>(n, colour); }

std::vector<int> Concat(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(SourceColouring, DeclarationKeywordsAndQuotedValues)
{
    // <?xml version="1.0"?>
    const auto c = Colour("<?xml version=\"1.0\"?>");
    EXPECT_EQ(c.colours, Concat({Span(kNormal, 6), Span(kKeyword, 7), Span(kNormal, 1), Span(kQuoted, 5), Span(kNormal, 2)}));
    EXPECT_EQ(c.cookie, 0u);
}

TEST(SourceColouring, DoctypeIsAKeywordButUpperCaseSystemIsNot)
{
    const auto c = Colour("<!DOCTYPE a SYSTEM \"a.dtd\">");
    EXPECT_EQ(std::vector<int>(c.colours.begin() + 2, c.colours.begin() + 9), Span(kKeyword, 7));
    EXPECT_EQ(std::vector<int>(c.colours.begin() + 12, c.colours.begin() + 18), Span(kNormal, 6));
}

TEST(SourceColouring, ApostropheInTextRunsToTheNextOneOrTheLineEnd)
{
    const auto c = Colour("<p>don't stop</p>");
    EXPECT_EQ(c.colours[6], kQuoted);
    EXPECT_EQ(c.colours.back(), kQuoted);
    EXPECT_EQ(c.cookie, 0u); // quoted text ends with its line
}

TEST(SourceColouring, HashLinesAndContinuedQuotes)
{
    const auto hash = Colour("  # comment 12");
    EXPECT_EQ(hash.colours[0], kNormal);
    EXPECT_EQ(std::vector<int>(hash.colours.begin() + 2, hash.colours.begin() + 11), Span(kHashColour, 9));

    const auto first = Colour("<a v=\"one \\");
    EXPECT_EQ(first.cookie & kDoubleQuoted, kDoubleQuoted);
    const auto second = Colour("two\" x", first.cookie);
    EXPECT_EQ(std::vector<int>(second.colours.begin(), second.colours.begin() + 4), Span(kQuoted, 4));
    EXPECT_EQ(second.colours[5], kNormal);
}

TEST(SourceColouring, Numbers)
{
    EXPECT_TRUE(IsNumber("0x1F"));
    EXPECT_FALSE(IsNumber("0x"));
    EXPECT_FALSE(IsNumber("0xG1"));
    EXPECT_TRUE(IsNumber("1.5e"));
    EXPECT_FALSE(IsNumber("a1"));
    const auto c = Colour("1.5e-3");
    EXPECT_EQ(c.colours, Concat({Span(kNumber, 4), Span(kNormal, 1), Span(kNumber, 1)}));
    // Digits inside quotes are quoted text, not numbers.
    EXPECT_EQ(Colour("\"42\"").colours, Span(kQuoted, 4));
}

TEST(SourceColouring, EmptyLinesKeepOnlyTheCarriedState)
{
    int count = 0;
    EXPECT_EQ(ParseLine(kCarried | kDoubleQuoted, "", nullptr, count), kCarried);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Colour("text", kCarried).colours, Span(kRestOfLineColour, 4));
}
