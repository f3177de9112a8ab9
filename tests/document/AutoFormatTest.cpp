#include "app/document/AutoFormat.h"
#include "tests/document/FormatTestSupport.h"
#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::test::CanonicalForm;
using brindle::test::FormatDocument;
using brindle::test::ParseOrFail;

namespace {

// Formats the text's document, checks that the result parses to the same
// document, and returns it.
std::string FormatText(const std::string& text)
{
    XmlDocumentPtr dom = ParseOrFail(text);
    if (!dom) return "<unparsed>";
    const std::string out = FormatDocument(dom);
    if (XmlDocumentPtr again = ParseOrFail(out)) {
        EXPECT_EQ(CanonicalForm(dom), CanonicalForm(again)) << out;
    }
    return out;
}

TEST(AutoFormatLayout, ElementsCommentsAndTheDeclaration)
{
    EXPECT_EQ(FormatText("<?xml version='1.0' encoding='UTF-8'?><a x='1'><!--c--><b>hi</b><e/></a>"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<a x=\"1\">\r\n<!--c-->\r\t<b>hi</b>\r\t<e/>\r</a>\r");
    // A comment of an element at depth 3: its parent's two tabs end the start tag's line.
    EXPECT_EQ(FormatText("<a><b><c><!--k--><d/></c></b></a>"),
              "<a>\r\t<b>\r\t\t<c>\t\t\r\n<!--k-->\r\t\t\t<d/>\r\t\t</c>\r\t</b>\r</a>\r");
}

TEST(AutoFormatLayout, TextIsTrimmedAndKeepsItsLineBreaksAsCarriageReturns)
{
    EXPECT_EQ(FormatText("<root>  x  </root>"), "<root>x</root>\r");
    EXPECT_EQ(FormatText("<a>\n  one\ntwo\r\n</a>"), "<a>one\rtwo</a>\r");
    EXPECT_EQ(FormatText("<a>\n  <b>\n    text\n  </b>\n</a>\n"), "<a>\r\t<b>text</b>\r</a>\r");
}

TEST(AutoFormatLayout, ElementsWithNoContentLeftTakeTheEmptyForm)
{
    EXPECT_EQ(FormatText("<a>   </a>"), "<a/>\r");
    // White space in a CDATA section is its content, and stays.
    EXPECT_EQ(FormatText("<a><b>\n\t</b><c><![CDATA[  ]]></c></a>"),
              "<a>\r\t<b/>\r\t<c><![CDATA[  ]]></c>\r</a>\r");
}

TEST(AutoFormatLayout, MixedContentKeepsItsOrder)
{
    EXPECT_EQ(FormatText("<p>Hello <b>big</b> world<!--n--> end</p>"),
              "<p>Hello\r\t<b>big</b>\r\tworld\r\n<!--n-->end\r</p>\r");
    EXPECT_EQ(FormatText("<a><b/><!--c--><![CDATA[x<y]]><e/></a>"),
              "<a>\r\t<b/>\r\r\n<!--c--><![CDATA[x<y]]>\r\t<e/>\r</a>\r");
}

TEST(AutoFormatLayout, DocumentLevelNodesKeepTheirOrderAndEachEndsALine)
{
    EXPECT_EQ(FormatText("<?xml version=\"1.0\"?>\n<!--top-->\n<?app run?>\n<r/>\n<!--end-->"),
              "<?xml version=\"1.0\"?>\r\r\n<!--top-->\r<?app run?>\r<r/>\r\r\n<!--end-->\r");
}

TEST(AutoFormatEscaping, MarkupCharactersInTextAndAttributesAreEscaped)
{
    EXPECT_EQ(FormatText("<a t=\"a&amp;b &lt; &quot;q&quot; 'x' &gt;\">1 &lt; 2 &amp;&amp; 3 &gt; 2 ]]&gt;</a>"),
              "<a t=\"a&amp;b &lt; &quot;q&quot; 'x' >\">1 &lt; 2 &amp;&amp; 3 &gt; 2 ]]&gt;</a>\r");
    // Characters that attribute normalisation or line-end handling would change on reading.
    EXPECT_EQ(FormatText("<a t=\"x&#9;y&#10;z&#13;\">p&#13;q</a>"), "<a t=\"x&#9;y&#10;z&#13;\">p&#13;q</a>\r");
    EXPECT_EQ(FormatText("<a>caf\xC3\xA9 \xE4\xB8\xAD</a>"), "<a>caf\xC3\xA9 \xE4\xB8\xAD</a>\r");
}

TEST(AutoFormatEscaping, ACommentWithAHyphenBeforeItsClosingBlankKeepsTheBlank)
{
    EXPECT_EQ(FormatText("<a><!-- x - --></a>"), "<a>\r\n<!-- x - --></a>\r");
}

TEST(AutoFormatEscaping, CharactersTheEncodingCannotHoldBecomeCharacterReferences)
{
    const auto format = [](const std::string& text, const FileEncoding& encoding) {
        XmlDocumentPtr dom = ParseOrFail(text);
        std::string out;
        if (dom) {
            EXPECT_TRUE(AutoFormatNode(dom, out, 0, true, encoding));
        }
        if (XmlDocumentPtr again = dom ? ParseOrFail(out) : nullptr) {
            EXPECT_EQ(CanonicalForm(dom), CanonicalForm(again)) << out;
        }
        return out;
    };
    // Text, attribute values and namespace names; a character outside the
    // basic plane is one reference.
    EXPECT_EQ(format("<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a t=\"x&#160;y\" xmlns:p=\"urn:&#233;\">"
                     "1&#160;000 &#x1F600; &#233;t&#233;</a>",
                     {"US-ASCII", false}),
              "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\r<a xmlns:p=\"urn:&#233;\" t=\"x&#160;y\">"
              "1&#160;000 &#128512; &#233;t&#233;</a>\r");
    // What the encoding holds is written as the character; the rest as a reference.
    EXPECT_EQ(format("<a t=\"&#233;&#20013;\">&#233;&#20013;</a>", {"ISO-8859-1", false}),
              "<a t=\"\xC3\xA9&#20013;\">\xC3\xA9&#20013;</a>\r");
    // An encoding the conversion library does not know holds ASCII only.
    EXPECT_EQ(format("<a>&#233;</a>", {"X-NO-SUCH-CHARSET", false}), "<a>&#233;</a>\r");
    // Unicode encodings hold everything.
    EXPECT_EQ(format("<a>&#160;</a>", {"UTF-16LE", true}), "<a>\xC2\xA0</a>\r");
    EXPECT_EQ(format("<a>&#160;</a>", {}), "<a>\xC2\xA0</a>\r");

    // An entity value of the internal subset took its character from a reference.
    const std::string out = format("<!DOCTYPE a [<!ENTITY nbsp \"&#160;\">]><a>x&nbsp;y</a>", {"US-ASCII", false});
    EXPECT_NE(out.find("<!ENTITY nbsp \"&#160;\">"), std::string::npos) << out;
    EXPECT_EQ(out.find('\xC2'), std::string::npos) << out;
}

TEST(AutoFormatContent, NamespaceDeclarationsAndPrefixesAreKept)
{
    EXPECT_EQ(FormatText("<r xmlns=\"urn:d\" xmlns:p='urn:p'><p:c p:a=\"1\"><d xmlns=\"\"/></p:c></r>"),
              "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\">\r\t<p:c p:a=\"1\">\r\t\t<d xmlns=\"\"/>\r\t</p:c>\r</r>\r");
}

// Declarations used only inside attribute values (schema types, XPath) must stay too.
TEST(AutoFormatContent, NamespaceDeclarationsNoNameUsesAreKept)
{
    EXPECT_EQ(FormatText("<xs:schema xmlns:xs=\"urn:xs\" xmlns:tns=\"urn:t\"><xs:element type=\"tns:T\"/></xs:schema>"),
              "<xs:schema xmlns:xs=\"urn:xs\" xmlns:tns=\"urn:t\">\r\t<xs:element type=\"tns:T\"/>\r</xs:schema>\r");
}

TEST(AutoFormatContent, CommentsInstructionsAndCDataKeepTheirTextExactly)
{
    EXPECT_EQ(FormatText("<!-- top comment -->\n<a><!--\tinner  text\n  on two lines \n--><b/></a>"),
              "\r\n<!-- top comment -->\r<a>\r\n<!--\tinner  text\r  on two lines \r-->\r\t<b/>\r</a>\r");
    EXPECT_EQ(FormatText("<a><?pi  data  with\n  a break  ?></a>"), "<a>\r\t<?pi data  with\r  a break  ?>\r</a>\r");
    EXPECT_EQ(FormatText("<a><![CDATA[ \n  x  y \n]]></a>"), "<a><![CDATA[ \r  x  y \r]]></a>\r");
    // A section of white space between text stays where it was.
    EXPECT_EQ(FormatText("<a>x<![CDATA[ \t ]]>y</a>"), "<a>x<![CDATA[ \t ]]>y</a>\r");
}

TEST(AutoFormatContent, ProcessingInstructionsKeepTheirData)
{
    EXPECT_EQ(FormatText("<a>x<?render mode=\"fast\" & more?></a>"),
              "<a>x\r\t<?render mode=\"fast\" & more?>\r</a>\r");
    EXPECT_EQ(FormatText("<a><?empty?></a>"), "<a>\r\t<?empty?>\r</a>\r");
}

TEST(AutoFormatContent, EntityReferencesStayReferences)
{
    const std::string out = FormatText("<!DOCTYPE a [<!ENTITY e \"ee\"><!ENTITY m \"<i>m</i>\">]><a t=\"&e;\">x &e; y&m;</a>");
    EXPECT_NE(out.find("<a t=\"ee\">x&e;y&m;</a>\r"), std::string::npos) << out;
}

TEST(AutoFormatContent, DocumentTypeKeepsIdentifiersAndInternalSubsetWithoutEndTag)
{
    const std::string out = FormatText("<?xml version=\"1.0\"?>\n<!DOCTYPE doc PUBLIC \"-//Brindle//DTD Test//EN\" "
                                       "\"test.dtd\" [\n  <!ELEMENT doc (#PCDATA)>\n  <!ENTITY co \"Brindle &amp; Co\">\n]>\n"
                                       "<doc>&co;</doc>");
    EXPECT_EQ(out.rfind("<?xml version=\"1.0\"?>\r<!DOCTYPE doc PUBLIC \"-//Brindle//DTD Test//EN\" \"test.dtd\"", 0),
              0u)
        << out;
    EXPECT_NE(out.find("<!ENTITY co"), std::string::npos) << out;
    EXPECT_NE(out.find("]>\r<doc>&co;</doc>\r"), std::string::npos) << out;
    EXPECT_EQ(out.find("</doc>", out.find("</doc>") + 1), std::string::npos) << out;
    EXPECT_EQ(out.find("</!DOCTYPE"), std::string::npos) << out;
    EXPECT_EQ(out.find('\n', out.find("<!DOCTYPE")), out.find("\r\n<!--")) << "no line feeds but before comments";
}

TEST(AutoFormatContent, FormattingAnElementOrATextNodeOnItsOwn)
{
    XmlDocumentPtr dom = ParseOrFail("<a><b t='1'>hi<c/></b></a>");
    ASSERT_TRUE(dom);
    const XmlNodePtr b = dom->documentElement()->firstChild();
    std::string out;
    EXPECT_TRUE(AutoFormatNode(b, out, 2, true));
    EXPECT_EQ(out, "\t<b t=\"1\">hi\r\t\t<c/>\r\t</b>\r");
    out.clear();
    EXPECT_TRUE(AutoFormatNode(b->firstChild(), out, 3, true));
    EXPECT_EQ(out, "");
}

TEST(AutoFormatContent, DeepTreesKeepTheirIndentation)
{
    XmlDocumentPtr dom = ParseOrFail("<r/>");
    ASSERT_TRUE(dom);
    XmlNodePtr parent = dom->documentElement();
    constexpr int kDepth = 2000;
    for (int i = 0; i < kDepth; ++i) parent = parent->appendChild(dom->createElement("n"));
    const std::string out = FormatDocument(dom);
    EXPECT_EQ(out.substr(out.size() - 5), "</r>\r");
    std::size_t opens = 0, pos = 0;
    while ((pos = out.find("<n", pos)) != std::string::npos) ++opens, ++pos;
    EXPECT_EQ(opens, static_cast<std::size_t>(kDepth));
    EXPECT_NE(out.find("\r" + std::string(kDepth, '\t') + "<n/>\r"), std::string::npos);
}

TEST(AutoFormatCall, RefusesAnInvalidDocumentAndANullNode)
{
    brindle::test::RecordingUIServices ui;
    XmlDocumentPtr dom = ParseOrFail("<a/>");
    std::string out = "kept";
    EXPECT_FALSE(AutoFormatNode(dom, out, 0, false));
    EXPECT_EQ(out, "kept");
    EXPECT_FALSE(AutoFormatNode(nullptr, out, 0, true));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(ui.messages.empty()); // the document tells why
}

TEST(AutoFormatCall, ShowsTheWaitCursorWhileWorking)
{
    brindle::test::RecordingUIServices ui;
    XmlDocumentPtr dom = ParseOrFail("<a><b/></a>");
    std::string out;
    EXPECT_TRUE(AutoFormatNode(dom, out, 0, true));
    EXPECT_GE(ui.waitCount, 1);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
