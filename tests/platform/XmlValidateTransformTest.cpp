// validate (DTD, XML Schema) and transformNode.

#include "platform/xml/XmlDom.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::test::TempDir;
using brindle::test::WriteFile;

namespace {

const char* kSchema = R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema"%TNS%>
  <xs:element name="order">
    <xs:complexType><xs:sequence>
      <xs:element name="qty" type="xs:positiveInteger"/>
    </xs:sequence></xs:complexType>
  </xs:element>
</xs:schema>)";

std::string Schema(const std::string& targetNamespace)
{
    std::string s = kSchema;
    const std::string tns = targetNamespace.empty()
                                ? std::string()
                                : " targetNamespace=\"" + targetNamespace + "\" xmlns=\"" + targetNamespace +
                                      "\" elementFormDefault=\"qualified\"";
    return s.replace(s.find("%TNS%"), 5, tns);
}

XmlDocumentPtr Stylesheet(const std::string& body, const std::string& output = "")
{
    auto style = XmlDocument::Create();
    EXPECT_TRUE(style->loadXML("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" +
                               output + body + "</xsl:stylesheet>"))
        << style->parseError().reason;
    return style;
}

} // namespace

TEST(XmlValidate, DtdViolationsAreReportedByValidate)
{
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML("<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b EMPTY>]><a><b/></a>"));
    EXPECT_FALSE(doc->validate().Failed());
    doc->documentElement()->appendChild(doc->createElement("c")); // as a rename might leave it
    XmlParseError e = doc->validate();
    EXPECT_TRUE(e.Failed());
    EXPECT_NE(e.reason.find("c"), std::string::npos) << e.reason;
    // A document without DTD or schema has nothing to violate.
    ASSERT_TRUE(doc->loadXML("<free/>"));
    EXPECT_FALSE(doc->validate().Failed());
}

TEST(XmlValidate, SchemaNamedByTheDocumentIsUsed)
{
    TempDir dir;
    WriteFile(dir / "plain.xsd", Schema(""));
    WriteFile(dir / "ns.xsd", Schema("urn:orders"));
    const std::string xsi = "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";
    auto doc = XmlDocument::Create();

    const std::string good = "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'><qty>3</qty></order>";
    const std::string bad = "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'>\n<qty>-3</qty></order>";
    const std::string base = (dir / "doc.xml").string();
    ASSERT_TRUE(doc->loadXML(good, base)) << doc->parseError().reason;
    EXPECT_FALSE(doc->validate().Failed());
    // validateOnParse applies the schema at load time.
    EXPECT_FALSE(doc->loadXML(bad, base));
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_NE(doc->parseError().reason.find("qty"), std::string::npos) << doc->parseError().reason;
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML(bad, base));
    XmlParseError e = doc->validate();
    EXPECT_TRUE(e.Failed());
    EXPECT_EQ(e.line, 2);

    const std::string nsDoc = "<o:order xmlns:o='urn:orders' " + xsi +
                              " xsi:schemaLocation='urn:orders ns.xsd'><o:qty>x</o:qty></o:order>";
    ASSERT_TRUE(doc->loadXML(nsDoc, base));
    EXPECT_TRUE(doc->validate().Failed());
    doc->selectSingleNode("//*[local-name()='qty']")->put_text("7");
    EXPECT_FALSE(doc->validate().Failed());

    // A schema that cannot be read does not keep the document from loading.
    doc->put_validateOnParse(true);
    EXPECT_TRUE(doc->loadXML("<order " + xsi + " xsi:noNamespaceSchemaLocation='missing.xsd'/>", base));
    EXPECT_TRUE(doc->validate().Failed());
}

TEST(XmlTransform, XmlTextAndHtmlOutput)
{
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><list><i>a</i><i>\xC3\xA9</i></list>"));
    auto toXml = Stylesheet("<xsl:template match='/'><out n='{count(//i)}'><xsl:copy-of select='//i[2]'/></out></xsl:template>",
                            "<xsl:output method='xml' encoding='ISO-8859-1'/>");
    EXPECT_EQ(doc->transformNode(*toXml), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<out n=\"2\"><i>\xC3\xA9</i></out>\n");

    auto toText = Stylesheet("<xsl:template match='/'><xsl:for-each select='//i'><xsl:value-of select='.'/>;</xsl:for-each></xsl:template>",
                             "<xsl:output method='text'/>");
    EXPECT_EQ(doc->transformNode(*toText), "a;\xC3\xA9;");

    auto toHtml = Stylesheet("<xsl:template match='/'><html><body><p><xsl:value-of select='//i[1]'/></p><br/></body></html></xsl:template>",
                             "<xsl:output method='html'/>");
    const std::string html = doc->transformNode(*toHtml);
    EXPECT_NE(html.find("<p>a</p>"), std::string::npos) << html;
    EXPECT_NE(html.find("<br>"), std::string::npos) << html; // HTML, not XML, empty elements
    EXPECT_EQ(html.find("<?xml"), std::string::npos) << html;

    // The declaration node is not seen by the stylesheet; the source is unchanged.
    auto countPis = Stylesheet("<xsl:template match='/'><n><xsl:value-of select='count(/processing-instruction())'/></n></xsl:template>",
                               "<xsl:output omit-xml-declaration='yes'/>");
    EXPECT_EQ(doc->transformNode(*countPis), "<n>0</n>\n");
    EXPECT_EQ(doc->firstChild()->nodeName(), "xml");

    // From a node: that node is the input.
    auto second = doc->documentElement()->lastChild();
    auto name = Stylesheet("<xsl:template match='/'><xsl:value-of select='name(*)'/>:<xsl:value-of select='.'/></xsl:template>",
                           "<xsl:output method='text'/>");
    EXPECT_EQ(second->transformNode(*name), "i:\xC3\xA9");
}

TEST(XmlTransform, StripSpaceLeavesHeldNodesAlone)
{
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<r>\n  <a/>\n  <b/>\n</r>"));
    auto blank = doc->documentElement()->firstChild();
    ASSERT_EQ(blank->nodeType(), NODE_TEXT);
    auto strip = Stylesheet("<xsl:strip-space elements='*'/><xsl:template match='/'><n><xsl:value-of select='count(/r/node())'/></n></xsl:template>",
                            "<xsl:output omit-xml-declaration='yes'/>");
    EXPECT_EQ(doc->transformNode(*strip), "<n>2</n>\n");
    EXPECT_EQ(blank->parentNode(), doc->documentElement());
    EXPECT_EQ(doc->documentElement()->childNodes()->length(), 5);
}

TEST(XmlTransform, FailuresAreDomErrorsAndNothingIsWritten)
{
    TempDir dir;
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<r/>"));
    auto broken = Stylesheet("<xsl:template match='/'><xsl:value-of select='//['/></xsl:template>");
    try {
        doc->transformNode(*broken);
        FAIL() << "a broken stylesheet transformed";
    } catch (const DomError& e) {
        EXPECT_EQ(e.code(), kDomFail);
        EXPECT_NE(std::string(e.what()).find("stylesheet"), std::string::npos) << e.what();
    }
    auto notXslt = XmlDocument::Create();
    ASSERT_TRUE(notXslt->loadXML("<plain/>"));
    EXPECT_THROW(doc->transformNode(*notXslt), DomError);
    EXPECT_THROW(doc->transformNode(*XmlDocument::Create()), DomError);

    const std::string target = (dir / "written.txt").string();
    auto writer = XmlDocument::Create();
    ASSERT_TRUE(writer->loadXML("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform' "
                                "xmlns:exsl='http://exslt.org/common' extension-element-prefixes='exsl'>"
                                "<xsl:template match='/'><exsl:document href='" + target +
                                "'><x/></exsl:document><done/></xsl:template></xsl:stylesheet>"));
    EXPECT_THROW(doc->transformNode(*writer), DomError);
    EXPECT_FALSE(std::filesystem::exists(target));
    auto terminate = Stylesheet("<xsl:template match='/'><xsl:message terminate='yes'>stop</xsl:message></xsl:template>");
    EXPECT_THROW(doc->transformNode(*terminate), DomError);
}
