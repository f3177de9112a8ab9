#include "app/views/PreviewStylesheet.h"
#include "app/views/SourceColouring.h"
#include "app/views/XmlColouring.h"
#include "platform/xml/XmlPreview.h"
#include "tests/support/TempDir.h"

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

// The browser preview's markup tree: the other coloured view of a document's markup.

namespace {

std::string PreviewTree(const std::string& xml, size_t maxElements = brindle::kPreviewElementLimit,
                        std::string_view stylesheet = PreviewTreeStylesheet())
{
    brindle::test::TempDir dir;
    brindle::test::WriteFile(dir / "doc.xml", xml);
    brindle::PreviewOutput out =
        brindle::TransformFileWithStylesheetText((dir / "doc.xml").string(), stylesheet, maxElements);
    EXPECT_EQ(out.mimeType, "text/html");
    return out.content;
}

size_t Count(const std::string& text, const std::string& piece)
{
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

} // namespace

TEST(PreviewTree, ShowsEveryKindOfMarkup)
{
    const std::string html = PreviewTree("<?xml version='1.0'?>\n<!-- head -->\n<!DOCTYPE r [<!ENTITY e 'ent'>]>\n"
                                         "<?pi some data?>\n<r xmlns='urn:d' xmlns:p='urn:p' p:a='1&lt;&amp;' b='q\"'>\n"
                                         "  <p:c>a &lt;&amp; b</p:c>\n  <d/>\n  <e><![CDATA[c<d]]></e>\n  <f>&e;</f>\n"
                                         "  <!-- note -->\n</r>\n");
    EXPECT_EQ(Count(html, "<style>"), 1u);
    EXPECT_NE(html.find("<p class=\"c\">&lt;!-- head --&gt;</p>"), std::string::npos) << html;
    EXPECT_NE(html.find("<p class=\"d\">&lt;!DOCTYPE r [&lt;!ENTITY e 'ent'&gt;]&gt;</p>\n<p class=\"p\">&lt;?pi some data?&gt;"),
              std::string::npos) << html;
    EXPECT_NE(html.find("<summary><b>&lt;r</b> <i>xmlns</i>=<u>\"urn:d\"</u> <i>xmlns:p</i>=<u>\"urn:p\"</u> "
                        "<i>p:a</i>=<u>\"1&lt;&amp;\"</u> <i>b</i>=<u>'q\"'</u><b>&gt;</b></summary>"),
              std::string::npos) << html;
    EXPECT_NE(html.find("<p><b>&lt;p:c</b><b>&gt;</b>a &lt;&amp; b<b>&lt;/p:c&gt;</b></p>"), std::string::npos) << html;
    EXPECT_NE(html.find("<p><b>&lt;d</b><b>/&gt;</b></p>"), std::string::npos) << html;
    EXPECT_NE(html.find("<span class=\"k\">&lt;![CDATA[c&lt;d]]&gt;</span>"), std::string::npos) << html;
    EXPECT_NE(html.find("<b>&gt;</b>ent<b>&lt;/f&gt;</b>"), std::string::npos) << html; // the entity's content
    EXPECT_NE(html.find("<p class=\"c\">&lt;!-- note --&gt;</p>\n<div><b>&lt;/r&gt;</b></div></details>"), std::string::npos)
        << html;
    EXPECT_EQ(html.find("<p>\n"), std::string::npos) << html; // no whitespace-only text
    EXPECT_EQ(html.find("style=\""), std::string::npos) << html;
}

TEST(PreviewTree, ElementsWithContentFoldAndOnlyTheTopLevelsStartOpen)
{
    const std::string html = PreviewTree("<r><a><b><c><d><e>x</e><!--y--></d></c></b></a><z/></r>");
    // r, a, b (depth 0-2) open; c, d closed; e and z are single lines.
    EXPECT_EQ(Count(html, "<details"), 5u) << html;
    EXPECT_EQ(Count(html, "</details>"), 5u) << html;
    const size_t c = html.find("<details><summary><b>&lt;c</b>");
    ASSERT_NE(c, std::string::npos) << html;
    EXPECT_EQ(Count(html.substr(0, c), "<details open"), 3u) << html;
    EXPECT_NE(html.find("<details><summary><b>&lt;d</b><b>&gt;</b></summary><p><b>&lt;e</b><b>&gt;</b>x<b>&lt;/e&gt;</b></p>"),
              std::string::npos) << html;
    // Nested, not siblings: the closing tags follow each other.
    EXPECT_NE(html.find("&lt;/d&gt;</b></div></details><div><b>&lt;/c&gt;</b></div></details><div><b>&lt;/b&gt;"),
              std::string::npos) << html;
    EXPECT_EQ(html.find("The preview shows"), std::string::npos);
}

TEST(PreviewTree, ABigDocumentIsShownUpToTheLimitWithANote)
{
    std::string xml = "<r>";
    for (int i = 0; i < 10; ++i) xml += "<i n='" + std::to_string(i) + "'><j/></i>";
    const std::string html = PreviewTree(xml + "</r><!-- after -->", 4);
    // r, i 0, j, i 1: the rest of the document is left out.
    EXPECT_NE(html.find("<u>\"1\"</u>"), std::string::npos) << html;
    EXPECT_EQ(html.find("<u>\"2\"</u>"), std::string::npos) << html;
    EXPECT_EQ(html.find("&lt;!-- after"), std::string::npos) << html;
    EXPECT_EQ(Count(html, "The preview shows the first 4\n"), 2u) << html;
    EXPECT_NE(html.find("of this document (of 21)"), std::string::npos) << html;
}

// The XML-aware colouring: each character's colour as a letter, lines carried
// into each other by their cookies.

namespace {

char Letter(int colour)
{
    switch (colour) {
    case xml_colour::kText: return '.';
    case xml_colour::kComment: return 'c';
    case xml_colour::kAttributeValue: return 'v';
    case xml_colour::kTag: return 't';
    case xml_colour::kAttributeName: return 'a';
    case xml_colour::kCData: return 'd';
    case xml_colour::kProcessing: return 'p';
    case xml_colour::kReference: return 'r';
    case xml_colour::kDeclaration: return 'D';
    default: return '?';
    }
}

std::vector<std::string> XmlMasks(const std::vector<std::string>& lines, xml_colour::Grammar grammar = xml_colour::Grammar::Document,
                                  std::uint32_t* endCookie = nullptr)
{
    std::vector<std::string> masks;
    std::uint32_t cookie = 0;
    for (const std::string& line : lines) {
        std::vector<brindle::TextBlock> blocks(line.size() + 1);
        int count = 0;
        int nullCount = 0;
        const std::uint32_t next = xml_colour::ParseLine(cookie, line, blocks.data(), count, grammar);
        // Asked for the state alone, the parser must reach the same one.
        EXPECT_EQ(xml_colour::ParseLine(cookie, line, nullptr, nullCount, grammar), next) << line;
        EXPECT_EQ(nullCount, 0);
        EXPECT_LE(count, static_cast<int>(line.size()) + 1);
        std::string mask(line.size(), '.');
        for (int b = 0; b < count; ++b) {
            const auto& block = blocks[static_cast<size_t>(b)];
            if (b > 0) { EXPECT_GT(block.m_nCharPos, blocks[static_cast<size_t>(b - 1)].m_nCharPos) << line; }
            const size_t end = b + 1 < count ? static_cast<size_t>(blocks[static_cast<size_t>(b + 1)].m_nCharPos) : line.size();
            for (size_t i = static_cast<size_t>(block.m_nCharPos); i < end; ++i) mask[i] = Letter(block.m_nColorIndex);
        }
        masks.push_back(mask);
        cookie = next;
    }
    if (endCookie) *endCookie = cookie;
    return masks;
}

std::string XmlMask(const std::string& line) { return XmlMasks({line}).front(); }

} // namespace

TEST(XmlColouring, TagsAttributesAndPlainText)
{
    // Text content is plain, apostrophes and all.
    EXPECT_EQ(XmlMask("<title lang=\"en\">Developer's Guide</title>"),
              "tttttttaaaatvvvvt.................tttttttt");
    EXPECT_EQ(XmlMask("<br/><a x='1' y = \"2\" />"), "ttttttttatvvvtatttvvvttt");
    // A "<" that opens nothing stays text.
    EXPECT_EQ(XmlMask("a < b"), ".....");
}

TEST(XmlColouring, CommentsCDataInstructionsAndReferences)
{
    EXPECT_EQ(XmlMask("<?xml version=\"1.0\"?><!-- <a> --><b/>"), "pppppppppppppppppppppcccccccccccctttt");
    EXPECT_EQ(XmlMask("<![CDATA[<a>&amp;]]>x"), "dddddddddddddddddddd.");
    EXPECT_EQ(XmlMask("a &amp; &#10; &#x1F; &; &#; &#xZ; & b"), "..rrrrr.rrrrr.rrrrrr.................");
    // References inside attribute values, which resume after them.
    EXPECT_EQ(XmlMask("<a t=\"x&lt;y\">"), "tttatvvrrrrvvt");
}

TEST(XmlColouring, ConstructsSpanningLines)
{
    EXPECT_EQ(XmlMasks({"a <!-- one", "two <b>", "end --> c"}),
              (std::vector<std::string>{"..cccccccc", "ccccccc", "ccccccc.."}));
    EXPECT_EQ(XmlMasks({"<![CDATA[ x", "", "<y> ]]>z"}), (std::vector<std::string>{"ddddddddddd", "", "ddddddd."}));
    EXPECT_EQ(XmlMasks({"<?pi one", "two?><a>"}), (std::vector<std::string>{"pppppppp", "pppppttt"}));
    // A tag and an attribute value across lines.
    EXPECT_EQ(XmlMasks({"<a", "  b=\"one", "two\" c='3'>text"}),
              (std::vector<std::string>{"tt", "ttatvvvv", "vvvvtatvvvt...."}));
}

TEST(XmlColouring, DoctypeWithItsInternalSubset)
{
    std::uint32_t end = 0;
    const auto masks = XmlMasks({"<!DOCTYPE r SYSTEM \"r.dtd\" [", "  <!ENTITY % p \"x\"> %p;", "  <!-- c --> <?pi?>",
                                 "  <r>&e;</r>", "]>", "<r>&e;</r>"},
                                xml_colour::Grammar::Document, &end);
    EXPECT_EQ(masks, (std::vector<std::string>{"DDDDDDDDDDDDDDDDDDDvvvvvvvDD", "..DDDDDDDDDDDDDvvvD.rrr",
                                                "..cccccccccc.pppppp", ".....rrr....", "DD", "tttrrrtttt"}));
    EXPECT_EQ(end, static_cast<std::uint32_t>(xml_colour::State::Text));
}

TEST(XmlColouring, AStateItNeverReturnsStartsAsText)
{
    std::vector<brindle::TextBlock> blocks(8);
    int count = 0;
    EXPECT_EQ(xml_colour::ParseLine(0x0F, "<a>x", blocks.data(), count), static_cast<std::uint32_t>(xml_colour::State::Text));
    EXPECT_EQ(blocks[0].m_nColorIndex, xml_colour::kTag);
}

TEST(XmlColouring, DtdDocumentsAreOneInternalSubset)
{
    const auto masks = XmlMasks({"<!ELEMENT a (#PCDATA)>", "<!ATTLIST a t CDATA '%x;'>", "%ent; <!-- n -->",
                                 "<![INCLUDE[ <!ENTITY b 'c'> ]]>", "]"},
                                xml_colour::Grammar::Dtd);
    EXPECT_EQ(masks, (std::vector<std::string>{"DDDDDDDDDDDDDDDDDDDDDD", "DDDDDDDDDDDDDDDDDDDDvrrrvD",
                                                "rrrrr.cccccccccc", "DDDDDDDDDDD.DDDDDDDDDDDvvvD.DDD", "."}));
}

TEST(PreviewTree, TakesTheColoursOfTheThemesPalette)
{
    using namespace brindle;
    const ViewPalette dark(MakeRgb(45, 45, 45), MakeRgb(238, 238, 236), MakeRgb(53, 53, 53), true);
    const std::string html = PreviewTree("<r a='1'><!-- c --></r>", kPreviewElementLimit, PreviewTreeStylesheet(dark));
    // The theme's rules come after the stylesheet's own light ones, which they override.
    const size_t own = html.find("background:#fff;");
    const size_t body = html.find("body{background:#2d2d2d;color:#eeeeec}");
    ASSERT_NE(own, std::string::npos) << html;
    ASSERT_NE(body, std::string::npos) << html;
    EXPECT_LT(own, body);
    EXPECT_NE(html.find("b{color:" + CssColour(dark.Colour(COLORINDEX_TAG)) + "}"), std::string::npos) << html;
    EXPECT_NE(html.find(".c{color:" + CssColour(dark.Colour(COLORINDEX_COMMENT)) + "}"), std::string::npos) << html;
    EXPECT_LT(html.find("</style>"), html.find("<p class=\"c\">&lt;!-- c --&gt;</p>")) << html;
}
