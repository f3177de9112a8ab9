// validate (DTD, XML Schema), transformNode and the preview's transformations of files.

#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlPreview.h"
#include "platform/xml/XmlStreamCheck.h"
#include "platform/xml/XmlValidation.h"
#include "tests/support/Listener.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

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
    // A load that keeps what the schema rejects has the text's tree and the reason.
    EXPECT_EQ(doc->loadXMLKeepingContent(bad, base), XmlDocument::LoadOutcome::NotValid);
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_EQ(doc->selectSingleNode("//qty")->text(), "-3");
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

namespace {

// Hands the text out in pieces of a given size (0: line by line).
class PiecesSource : public XmlTextSource {
public:
    PiecesSource(std::string text, size_t size) : m_text(std::move(text)), m_size(size) {}
    void Rewind() override { m_at = 0; }
    std::string_view Next() override
    {
        size_t n = m_size;
        if (n == 0) {
            const size_t eol = m_text.find('\n', m_at);
            n = eol == std::string::npos ? m_text.size() - m_at : eol + 1 - m_at;
        }
        std::string_view piece = std::string_view(m_text).substr(m_at, n);
        m_at += piece.size();
        return piece;
    }
    uint64_t Size() const override { return m_text.size(); }

private:
    std::string m_text;
    size_t m_size;
    size_t m_at = 0;
};

// The check through a whole DOM: a validating load and, when it fails, a
// non-validating one telling "not valid" from "not well-formed".
XmlCheck DomCheck(const std::string& text, const XmlCheckOptions& options, XmlParseError& error)
{
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(options.validateOnParse);
    doc->put_resolveExternals(options.resolveExternals);
    error = {};
    if (doc->loadXML(text, options.baseUrl)) return XmlCheck::Valid;
    error = doc->parseError();
    if (!options.validateOnParse) return XmlCheck::NotWellFormed;
    doc->put_validateOnParse(false);
    return doc->loadXML(text, options.baseUrl) ? XmlCheck::NotValid : XmlCheck::NotWellFormed;
}

// Where the streaming check cannot say exactly what the DOM route says.
enum Differs {
    Nothing,
    // A line longer than the parser's window is quoted from another start.
    Quote = 1,
    // Reader mode checks IDREF values by name and words the message its own way,
    // with its line; a validating load words it without one.
    IdrefMessage = 2,
    // With external files off, the DOM route validates an internal subset on the
    // finished tree (start-tag lines, no column, tree order); streaming validates
    // while parsing, as both do with external files on.
    TreeValidation = 4,
};

struct CheckCase {
    const char* name;
    std::string text;
    XmlCheck expected; // with validation and external files on
    int differs = Nothing;
};

std::vector<CheckCase> CheckCorpus()
{
    const std::string xsi = "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";
    const std::string dtd = "<!DOCTYPE r [\n<!ELEMENT r (a, b*)>\n<!ELEMENT a (#PCDATA)>\n<!ELEMENT b EMPTY>\n"
                            "<!ATTLIST a x CDATA #REQUIRED>\n<!ATTLIST b id ID #IMPLIED ref IDREF #IMPLIED>\n]>\n";
    std::string longBroken = "<r>\n";
    for (int i = 0; i < 3000; ++i) longBroken += "  <item n=\"" + std::to_string(i) + "\">text &amp; more</item>\n";
    longBroken += "  <item>unclosed\n</r>\n";
    std::string deep;
    for (int i = 0; i < 1100; ++i) deep += "<d>";
    std::string bomb = "<!DOCTYPE r [<!ENTITY a '0123456789012345678901234567890123456789'>";
    for (char name = 'b'; name <= 'h'; ++name) {
        std::string value;
        for (int i = 0; i < 10; ++i) value += std::string("&") + static_cast<char>(name - 1) + ";";
        bomb += std::string("<!ENTITY ") + name + " '" + value + "'>";
    }
    bomb += "]><r>&h;</r>";
    return {
        {"unclosed", "<r>\n  <a>\n</r>\n", XmlCheck::NotWellFormed},
        {"late error across pieces", longBroken, XmlCheck::NotWellFormed},
        {"unquoted attribute", "<?xml version='1.0'?>\n<r a=1/>", XmlCheck::NotWellFormed},
        {"undefined entity", "<r>\n&nope;</r>", XmlCheck::NotWellFormed},
        {"duplicate attribute", "<r a='1' a='2'/>", XmlCheck::NotWellFormed},
        {"text after the root", "<r/>\ntail", XmlCheck::NotWellFormed},
        {"unbound prefix", "<r>\n <p:x/></r>", XmlCheck::NotWellFormed},
        {"one attribute twice by prefixes", "<r xmlns:a='urn:u' xmlns:b='urn:u'>\n<x a:k='1' b:k='2'/></r>",
         XmlCheck::NotWellFormed},
        {"mismatched end tag after content", "<r><!-- c --><![CDATA[<x>]]>&#233;<?p q?>\n<a></b></r>",
         XmlCheck::NotWellFormed},
        {"empty", "", XmlCheck::NotWellFormed},
        {"bad UTF-8", "<r>\xC3\x28</r>", XmlCheck::NotWellFormed},
        {"nested too deep", deep, XmlCheck::NotWellFormed, Quote},
        {"entity expansion", bomb, XmlCheck::NotWellFormed},
        {"invalid then broken", dtd + "<r><b/><a x='1'>t</a>\n<b></r>", XmlCheck::NotWellFormed},
        {"missing attribute", "<?xml version='1.0'?>\n" + dtd + "<r>\n  <a>t</a>\n</r>", XmlCheck::NotValid, TreeValidation},
        {"wrong order", dtd + "<r>\n  <b/>\n  <a x='1'>t</a>\n</r>", XmlCheck::NotValid, TreeValidation},
        {"undeclared element", dtd + "<r><a x='1'>t<c/></a></r>", XmlCheck::NotValid, TreeValidation},
        {"empty with content", dtd + "<r><a x='1'/><b>x</b></r>", XmlCheck::NotValid, TreeValidation},
        {"duplicate id", dtd + "<r><a x='1'/>\n<b id='i1'/>\n<b id='i1'/></r>", XmlCheck::NotValid},
        {"dangling idref", dtd + "<r><a x='1'/><b id='i1'/>\n<b ref='i2'/></r>", XmlCheck::NotValid, IdrefMessage | TreeValidation},
        {"external dtd", "<!DOCTYPE r SYSTEM 'r.dtd'>\n<r><a x='1'>t</a><c/></r>", XmlCheck::NotValid},
        {"schema value", "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'>\n<qty>-3</qty></order>",
         XmlCheck::NotValid},
        {"schema content", "<o:order xmlns:o='urn:orders' " + xsi +
                               "\n xsi:schemaLocation='urn:orders ns.xsd'>\n<o:qty>1</o:qty>\n<o:qty>2</o:qty>\n</o:order>",
         XmlCheck::NotValid},
        {"schema missing child", "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'>\n</order>",
         XmlCheck::NotValid},
        {"schema and broken", "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'><qty>x</qty>\n</oops>",
         XmlCheck::NotWellFormed},
        {"plain", "<?xml version='1.0' encoding='UTF-8'?>\n<r><x a='&lt;' xml:id='i'>caf\xC3\xA9</x><!-- c --><?pi d?>"
         "<![CDATA[&]]>&#x263A;<y xml:id='i'/></r>",
         XmlCheck::Valid},
        {"dtd valid", dtd + "<r><a x='1'>t</a><b id='i1'/><b ref='i1'/></r>", XmlCheck::Valid},
        {"external dtd valid", "<!DOCTYPE r SYSTEM 'r.dtd'>\n<r><a x='1'>t</a><b/></r>", XmlCheck::Valid},
        {"schema valid", "<order " + xsi + " xsi:noNamespaceSchemaLocation='plain.xsd'><qty>3</qty></order>",
         XmlCheck::Valid},
        {"schema unreadable", "<order " + xsi + " xsi:noNamespaceSchemaLocation='missing.xsd'><x/></order>",
         XmlCheck::Valid},
        {"long valid", longBroken.substr(0, longBroken.rfind("  <item>")) + "</r>\n", XmlCheck::Valid},
        {"subset after a long comment",
         "<?xml version='1.0' encoding='ISO-8859-1'?>\n<!--" + std::string(6000, 'c') +
             "-->\n<!DOCTYPE r [\n<!ENTITY % p '<!ELEMENT x EMPTY>'>\n%p;\n<!ELEMENT r (x)>\n]>\n<r><x/></r>",
         XmlCheck::Valid},
    };
}

// Reads pieces as PiecesSource does, and gives up once a number of them is read.
class CancelledSource : public PiecesSource {
public:
    CancelledSource(std::string text, size_t size, int pieces) : PiecesSource(std::move(text), size), m_left(pieces) {}
    void Rewind() override
    {
        PiecesSource::Rewind();
        m_left = m_pieces;
    }
    std::string_view Next() override { return m_left-- > 0 ? PiecesSource::Next() : std::string_view(); }
    bool Cancelled() const override { return m_left < 0; }

private:
    int m_left;
    int m_pieces = m_left;
};

// The schemas and the DTD the corpus names, beside its documents.
void WriteCorpusFiles(const TempDir& dir)
{
    WriteFile(dir / "plain.xsd", Schema(""));
    WriteFile(dir / "ns.xsd", Schema("urn:orders"));
    WriteFile(dir / "r.dtd", "<!ELEMENT r (a, b*)>\n<!ELEMENT a (#PCDATA)>\n<!ELEMENT b EMPTY>\n"
                             "<!ATTLIST a x CDATA #REQUIRED>\n");
}

} // namespace

// Every document of the corpus gets the same answer and the same error fields
// from the streaming check as from parsing it into a DOM, whatever the pieces.
TEST(XmlStreamCheck, MatchesTheDomRouteFieldByField)
{
    TempDir dir;
    WriteCorpusFiles(dir);
    for (const CheckCase& c : CheckCorpus()) {
        for (int flags = 0; flags < 4; ++flags) {
            XmlCheckOptions options;
            options.validateOnParse = flags & 1;
            options.resolveExternals = flags & 2;
            options.baseUrl = (dir / "doc.xml").string();
            XmlParseError domError;
            const XmlCheck dom = DomCheck(c.text, options, domError);
            if (flags == 3) {
                EXPECT_EQ(dom, c.expected) << c.name << ": " << domError.reason;
            }
            for (size_t pieces : {size_t(0), size_t(7), size_t(1) << 20}) {
                PiecesSource source(c.text, pieces);
                XmlParseError error;
                const XmlCheck stream = CheckXmlText(source, options, error);
                const std::string where = std::string(c.name) + ", options " + std::to_string(flags) + ", pieces " +
                                          std::to_string(pieces);
                EXPECT_EQ(stream, dom) << where << ": " << error.reason << " / " << domError.reason;
                EXPECT_EQ(error.Failed(), stream != XmlCheck::Valid) << where;
                if ((c.differs & TreeValidation) && options.validateOnParse && !options.resolveExternals) continue;
                EXPECT_FALSE(domError.Failed() && domError.reason.empty()) << where; // every failure says why
                if ((c.differs & IdrefMessage) && options.validateOnParse) continue;
                EXPECT_EQ(error.errorCode, domError.errorCode) << where;
                EXPECT_EQ(error.line, domError.line) << where << ": " << error.reason;
                EXPECT_EQ(error.linepos, domError.linepos) << where << ": " << error.reason;
                EXPECT_EQ(error.reason, domError.reason) << where;
                if (!(c.differs & Quote)) {
                    EXPECT_EQ(error.srcText, domError.srcText) << where;
                }
            }
        }
    }
}

TEST(XmlLoad, ATextReadInPiecesLoadsAsTheWholeTextDoes)
{
    TempDir dir;
    WriteCorpusFiles(dir);
    const std::string base = (dir / "doc.xml").string();
    for (const CheckCase& c : CheckCorpus()) {
        for (int flags = 0; flags < 4; ++flags) {
            auto whole = XmlDocument::Create();
            whole->put_validateOnParse(flags & 1);
            whole->put_resolveExternals(flags & 2);
            const auto expected = whole->loadXMLKeepingContent(c.text, base);
            for (size_t pieces : {size_t(0), size_t(7), size_t(1) << 20}) {
                const std::string where = std::string(c.name) + ", options " + std::to_string(flags) + ", pieces " +
                                          std::to_string(pieces);
                auto pulled = XmlDocument::Create();
                pulled->put_validateOnParse(flags & 1);
                pulled->put_resolveExternals(flags & 2);
                PiecesSource source(c.text, pieces);
                EXPECT_EQ(pulled->loadXMLKeepingContent(source, base), expected) << where;
                const XmlParseError& a = pulled->parseError();
                const XmlParseError& b = whole->parseError();
                EXPECT_EQ(a.errorCode, b.errorCode) << where;
                EXPECT_EQ(a.line, b.line) << where;
                EXPECT_EQ(a.reason, b.reason) << where;
                if (!(c.differs & Quote)) {
                    EXPECT_EQ(a.srcText, b.srcText) << where;
                }
                // The kept tree writes back the same: the declaration, the
                // internal subset as written, the content.
                EXPECT_EQ(pulled->xml(), whole->xml()) << where;
            }
        }
    }

    // Giving the reading up leaves the content as it was, for the load and the check.
    const std::string text = "<r>\n" + std::string(100, ' ') + "<a/>\n</r>";
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<old/>"));
    CancelledSource cancelled(text, 16, 2);
    EXPECT_EQ(doc->loadXMLKeepingContent(cancelled), XmlDocument::LoadOutcome::Cancelled);
    EXPECT_EQ(doc->xml(), "<old/>\n");
    XmlParseError error;
    EXPECT_EQ(CheckXmlText(cancelled, {}, error), XmlCheck::Cancelled);
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

namespace {

const char* kXslOpen = "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>";

std::string Xsl(const std::string& body) { return kXslOpen + body + "</xsl:stylesheet>"; }

// The DomError message of a failing call, or "" when it did not fail.
template <typename F> std::string FailureOf(F&& call)
{
    try {
        call();
    } catch (const DomError& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(XmlPreview, RelativeReferencesResolveBesideTheirFiles)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "xsl");
    WriteFile(dir / "doc.xml", "<r ref='near.xml'><i>one</i></r>");
    WriteFile(dir / "near.xml", "<n>beside the document</n>");
    WriteFile(dir / "xsl" / "lookup.xml", "<l>beside the stylesheet</l>");
    WriteFile(dir / "xsl" / "parts.xsl", Xsl("<xsl:template match='i'>[<xsl:value-of select='.'/>]</xsl:template>"));
    WriteFile(dir / "xsl" / "main.xsl",
              Xsl("<xsl:include href='parts.xsl'/><xsl:output method='text'/>"
                  "<xsl:template match='/'><xsl:apply-templates select='r/i'/>"
                  "|<xsl:value-of select=\"document('lookup.xml')\"/>|<xsl:value-of select='document(r/@ref, /)'/>"
                  "</xsl:template>"));
    const PreviewOutput out = TransformFileForPreview((dir / "doc.xml").string(), (dir / "xsl" / "main.xsl").string());
    EXPECT_EQ(out.content, "[one]|beside the stylesheet|beside the document");
    EXPECT_EQ(out.mimeType, "text/plain");
}

TEST(XmlPreview, MimeTypeFollowsTheOutput)
{
    TempDir dir;
    WriteFile(dir / "doc.xml", "<r/>");
    const std::string doc = (dir / "doc.xml").string();
    auto mime = [&](const std::string& output, const std::string& result) {
        return TransformFileWithStylesheetText(doc, Xsl(output + "<xsl:template match='/'>" + result + "</xsl:template>"))
            .mimeType;
    };
    EXPECT_EQ(mime("<xsl:output method='html'/>", "<div>x</div>"), "text/html");
    EXPECT_EQ(mime("", "<html><body/></html>"), "text/html"); // libxslt's implicit html output
    EXPECT_EQ(mime("<xsl:output method='xml'/>", "<HTML><body/></HTML>"), "text/html");
    EXPECT_EQ(mime("<xsl:output method='xml'/>", "<html xmlns='http://www.w3.org/1999/xhtml'><body/></html>"),
              "application/xhtml+xml");
    EXPECT_EQ(mime("", "<svg xmlns='http://www.w3.org/2000/svg'/>"), "application/xml");
    EXPECT_EQ(mime("<xsl:output method='text'/>", "plain"), "text/plain");

    const PreviewOutput html = TransformFileWithStylesheetText(
        doc, Xsl("<xsl:output method='html' encoding='ISO-8859-1'/><xsl:template match='/'><html><head/>"
                 "<body>\xC3\xA9</body></html></xsl:template>"));
    EXPECT_NE(html.content.find("charset=UTF-8"), std::string::npos) << html.content;
    EXPECT_NE(html.content.find("\xC3\xA9"), std::string::npos) << html.content;
}

TEST(XmlPreview, FailuresAreDomErrorsWithAReason)
{
    TempDir dir;
    WriteFile(dir / "doc.xml", "<r>\n<a></b>\n</r>");
    WriteFile(dir / "good.xml", "<r/>");
    WriteFile(dir / "broken.xsl", Xsl("<xsl:template match='/'>\n<out>\n</xsl:template>"));
    WriteFile(dir / "invalid.xsl", Xsl("<xsl:template match='/'><xsl:value-of select='//['/></xsl:template>"));
    WriteFile(dir / "stop.xsl", Xsl("<xsl:template match='/'><xsl:message terminate='yes'>halt</xsl:message></xsl:template>"));
    WriteFile(dir / "ok.xsl", Xsl("<xsl:template match='/'><ok/></xsl:template>"));
    const std::string good = (dir / "good.xml").string(), ok = (dir / "ok.xsl").string();

    const std::string missing = (dir / "missing.xml").string();
    try {
        TransformFileForPreview(missing, ok);
        FAIL() << "a missing file transformed";
    } catch (const DomError& e) {
        EXPECT_EQ(e.code(), kDomFileNotFound);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    const std::string xmlError = FailureOf([&] { TransformFileForPreview((dir / "doc.xml").string(), ok); });
    EXPECT_NE(xmlError.find("line 2"), std::string::npos) << xmlError;
    const std::string notWellFormed = FailureOf([&] { TransformFileForPreview(good, (dir / "broken.xsl").string()); });
    EXPECT_NE(notWellFormed.find("broken.xsl, line 3"), std::string::npos) << notWellFormed;
    const std::string invalid = FailureOf([&] { TransformFileForPreview(good, (dir / "invalid.xsl").string()); });
    EXPECT_NE(invalid.find("The stylesheet is not valid: "), std::string::npos) << invalid;
    const std::string stopped = FailureOf([&] { TransformFileForPreview(good, (dir / "stop.xsl").string()); });
    EXPECT_NE(stopped.find("The transformation failed: "), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("halt"), std::string::npos) << stopped;
    EXPECT_NE(FailureOf([&] { TransformFileWithStylesheetText(good, "<not-xslt/>"); }), "");
    EXPECT_NE(FailureOf([&] { TransformFileWithStylesheetText(good, ""); }), "");
}

TEST(XmlPreview, NothingIsReadFromTheNetwork)
{
    const brindle::test::Listener server;
    const std::string url = server.Url("/x.xml");

    TempDir dir;
    WriteFile(dir / "doc.xml", "<r/>");
    const std::string doc = (dir / "doc.xml").string();
    const std::string read = FailureOf([&] {
        TransformFileWithStylesheetText(doc, Xsl("<xsl:template match='/'><xsl:copy-of select=\"document('" + url +
                                                 "')\"/></xsl:template>"));
    });
    EXPECT_NE(read, "");
    EXPECT_NE(FailureOf([&] { TransformFileWithStylesheetText(doc, Xsl("<xsl:import href='" + url + "'/>")); }), "");
    WriteFile(dir / "doc.xml", "<!DOCTYPE r SYSTEM '" + url + "'><r/>");
    FailureOf([&] { TransformFileWithStylesheetText(doc, Xsl("")); });

    EXPECT_FALSE(server.Contacted()) << "something connected to " << url;
}

TEST(XmlPreview, RunsOnWorkerThreadsWhileTheMainThreadUsesTheDom)
{
    TempDir dir;
    WriteFile(dir / "doc.xml", "<list><i>a</i><i>b</i></list>");
    WriteFile(dir / "bad.xml", "<list>\n<i></list>");
    const std::string doc = (dir / "doc.xml").string(), bad = (dir / "bad.xml").string();
    const std::string count = Xsl("<xsl:output method='text'/><xsl:template match='/'>"
                                  "<xsl:value-of select='count(//i)'/></xsl:template>");
    const std::string broken = Xsl("<xsl:template match='/'><xsl:value-of select='(('/></xsl:template>");

    auto worker = [&](int* failures) {
        for (int round = 0; round < 40; ++round) {
            if (TransformFileWithStylesheetText(doc, count).content != "2") ++*failures;
            // Each thread's errors are its own.
            if (FailureOf([&] { TransformFileWithStylesheetText(doc, broken); }).find("not valid: Invalid expression") == std::string::npos)
                ++*failures;
            if (FailureOf([&] { TransformFileWithStylesheetText(bad, count); }).find("line 2") == std::string::npos)
                ++*failures;
        }
    };
    int failures[2] = {0, 0};
    std::thread first(worker, &failures[0]), second(worker, &failures[1]);
    auto style = XmlDocument::Create();
    ASSERT_TRUE(style->loadXML(count));
    auto brokenStyle = XmlDocument::Create();
    ASSERT_TRUE(brokenStyle->loadXML(broken));
    int mainFailures = 0;
    for (int round = 0; round < 40; ++round) {
        auto dom = XmlDocument::Create();
        if (!dom->load(doc) || dom->transformNode(*style) != "2") ++mainFailures;
        dom->documentElement()->appendChild(dom->createElement("i"));
        if (dom->transformNode(*style) != "3") ++mainFailures;
        if (FailureOf([&] { dom->transformNode(*brokenStyle); }).find("not valid: Invalid expression") == std::string::npos) ++mainFailures;
    }
    first.join();
    second.join();
    EXPECT_EQ(failures[0], 0);
    EXPECT_EQ(failures[1], 0);
    EXPECT_EQ(mainFailures, 0);
}

namespace {

ValidationReport ValidateListing(const std::string& text, const TempDir& dir, const SchemaChoice* against = nullptr)
{
    XmlCheckOptions options;
    options.baseUrl = (dir / "doc.xml").string();
    PiecesSource source(text, 0);
    return ValidateXmlText(source, options, against);
}

std::vector<long> LinesOf(const ValidationReport& report)
{
    std::vector<long> lines;
    for (const XmlParseError& e : report.errors) lines.push_back(e.line);
    return lines;
}

// A document of 50 items, of which those on the given lines break the rules;
// item i is on line i + 2.
std::string Items(const std::string& prolog, const std::string& good, const std::string& bad, int count)
{
    std::string text = prolog + "<r>\n";
    for (int i = 0; i < 50; ++i) text += (i < count ? bad : good) + "\n";
    return text + "</r>\n";
}

std::vector<long> FirstLines(int count)
{
    std::vector<long> lines;
    for (int i = 0; i < count; ++i) lines.push_back(i + 3);
    return lines;
}

const char* kRelaxNg = R"(<element name="r" xmlns="http://relaxng.org/ns/structure/1.0"
    datatypeLibrary="http://www.w3.org/2001/XMLSchema-datatypes">
  <zeroOrMore><element name="i"><data type="integer"/></element></zeroOrMore>
</element>)";

// libxml2 wants an id or name on each pattern.
const char* kSchematron = R"(<schema xmlns="http://purl.oclc.org/dsdl/schematron">
  <pattern id="items">
    <rule context="i">
      <assert test="number(.) &gt; 0">An item is a positive number.</assert>
      <report test="@old">Old items are reported.</report>
    </rule>
  </pattern>
</schema>)";

} // namespace

TEST(XmlValidationList, EveryDtdAndSchemaErrorIsListedAtItsLine)
{
    TempDir dir;
    WriteFile(dir / "r.dtd", "<!ELEMENT r (i*)>\n<!ELEMENT i (#PCDATA)>\n");
    WriteFile(dir / "plain.xsd", R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:element name="r"><xs:complexType><xs:sequence>
    <xs:element name="i" type="xs:positiveInteger" maxOccurs="unbounded"/>
  </xs:sequence></xs:complexType></xs:element></xs:schema>)");

    ValidationReport dtd = ValidateListing(Items("<!DOCTYPE r SYSTEM 'r.dtd'>\n", "<i>1</i>", "<x/>", 50), dir);
    EXPECT_EQ(dtd.outcome, XmlCheck::NotValid);
    // Each unknown element is one error at its line, then the content model of r.
    std::vector<long> lines = LinesOf(dtd);
    ASSERT_GE(lines.size(), 50u);
    EXPECT_EQ(std::vector<long>(lines.begin(), lines.begin() + 50), FirstLines(50));

    const std::string xsi = "\n<r xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
                            "xsi:noNamespaceSchemaLocation='plain.xsd'>\n";
    std::string text = Items("", "<i>1</i>", "<i>-1</i>", 50);
    text.replace(0, 4, xsi);
    ValidationReport xsd = ValidateListing(text, dir);
    EXPECT_EQ(xsd.outcome, XmlCheck::NotValid);
    EXPECT_EQ(LinesOf(xsd), FirstLines(50));
    for (const XmlParseError& e : xsd.errors) {
        EXPECT_TRUE(e.url.empty()) << e.url; // in the document itself
        EXPECT_NE(e.reason.find("-1"), std::string::npos) << e.reason;
    }

    // A list long past reading ends in a note that there were more.
    std::string many = "<!DOCTYPE r [<!ELEMENT r EMPTY>]>\n<r>";
    for (int i = 0; i < 10050; ++i) many += "<x/>";
    ValidationReport capped = ValidateListing(many + "</r>", dir);
    ASSERT_EQ(capped.errors.size(), 10001u);
    EXPECT_EQ(capped.errors.back().reason, "Only the first 10000 errors are listed.");

    // Well-formedness stops at the first error; a valid text lists nothing.
    ValidationReport broken = ValidateListing("<r>\n<i>\n</r>\n<x>", dir);
    EXPECT_EQ(broken.outcome, XmlCheck::NotWellFormed);
    ASSERT_EQ(broken.errors.size(), 1u);
    EXPECT_EQ(broken.errors.front().line, 3);
    EXPECT_EQ(ValidateListing(Items("<!DOCTYPE r SYSTEM 'r.dtd'>\n", "<i>1</i>", "", 0), dir).outcome,
              XmlCheck::Valid);
}

TEST(XmlValidationList, SchemasThatCannotBeReadAreErrorsNeverValid)
{
    TempDir dir;
    WriteFile(dir / "broken.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:element/>");
    const std::string xsi = "<r xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' ";
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
             {xsi + "xsi:noNamespaceSchemaLocation='missing.xsd'/>", "schema not found: missing.xsd"},
             {xsi + "xsi:schemaLocation='urn:a http://example.org/a.xsd'/>",
              "schema not found: http://example.org/a.xsd (only local files are read)"},
             {"<?xml-model href='gone.rng'?><r/>", "schema not found: gone.rng"},
             {xsi + "xsi:noNamespaceSchemaLocation='broken.xsd'/>", "The schema \"broken.xsd\" could not be read"},
         }) {
        ValidationReport report = ValidateListing(text, dir);
        EXPECT_EQ(report.outcome, XmlCheck::NotValid) << text;
        ASSERT_EQ(report.errors.size(), 1u) << text;
        EXPECT_EQ(report.errors.front().reason.rfind(expected, 0), 0u) << report.errors.front().reason;
    }
    const SchemaChoice unknown{SchemaKind::Unknown, "notes.txt"};
    WriteFile(dir / "notes.txt", "x");
    ValidationReport report = ValidateListing("<r/>", dir, &unknown);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors.front().reason.find("no known kind"), std::string::npos);
}

TEST(XmlValidationList, RelaxNgAndSchematronChosenOrNamedByXmlModel)
{
    TempDir dir;
    WriteFile(dir / "r.rng", kRelaxNg);
    WriteFile(dir / "r.sch", kSchematron);
    WriteFile(dir / "bad.rng", "<element xmlns='http://relaxng.org/ns/structure/1.0'/>");
    const std::string good = "<r>\n<i>1</i>\n<i>2</i>\n</r>\n";
    const std::string bad = "<r>\n<i>1</i>\n<i>-2</i>\n<i old='1'>x</i>\n</r>\n";

    const SchemaChoice rng{SchemaKindOfPath("r.RNG"), "r.rng"};
    EXPECT_EQ(ValidateListing(good, dir, &rng).outcome, XmlCheck::Valid);
    ValidationReport rngBad = ValidateListing(bad, dir, &rng);
    EXPECT_EQ(rngBad.outcome, XmlCheck::NotValid);
    // "x" is no integer (libxml2 says so three ways); -2 is one.
    EXPECT_EQ(LinesOf(rngBad), std::vector<long>({4, 4, 4}));

    const SchemaChoice sch{SchemaKindOfPath("r.sch"), "r.sch"};
    EXPECT_EQ(ValidateListing(good, dir, &sch).outcome, XmlCheck::Valid);
    ValidationReport schBad = ValidateListing(bad, dir, &sch);
    EXPECT_EQ(schBad.outcome, XmlCheck::NotValid);
    ASSERT_EQ(LinesOf(schBad), std::vector<long>({3, 4, 4}));
    EXPECT_NE(schBad.errors[0].reason.find("positive number"), std::string::npos) << schBad.errors[0].reason;
    EXPECT_NE(schBad.errors[2].reason.find("Old items"), std::string::npos) << schBad.errors[2].reason;

    const SchemaChoice broken{SchemaKind::RelaxNg, "bad.rng"};
    ValidationReport cannot = ValidateListing(good, dir, &broken);
    ASSERT_EQ(cannot.errors.size(), 1u);
    EXPECT_EQ(cannot.errors.front().reason.rfind("The schema \"bad.rng\" could not be read", 0), 0u);

    // Plain validation follows the xml-model instructions of the prolog.
    const std::string models = "<?xml-model href=\"r.rng\" schematypens=\"http://relaxng.org/ns/structure/1.0\"?>\n"
                               "<?xml-model href='r.sch' schematypens='http://purl.oclc.org/dsdl/schematron'?>\n";
    EXPECT_EQ(ValidateListing(models + good, dir).outcome, XmlCheck::Valid);
    ValidationReport both = ValidateListing(models + bad, dir);
    EXPECT_EQ(LinesOf(both), std::vector<long>({6, 6, 6, 5, 6, 6}));
    // An instruction inside the document names nothing.
    EXPECT_EQ(ValidateListing("<r><?xml-model href='r.rng'?><i>x</i></r>", dir).outcome, XmlCheck::Valid);
}

TEST(XmlValidationList, XmlModelDataNamesTheSchemaKind)
{
    EXPECT_EQ(SchemaOfXmlModel("href='a.rng'").kind, SchemaKind::RelaxNg);
    EXPECT_EQ(SchemaOfXmlModel("type=\"application/xml-dtd\" href=\"a\"").kind, SchemaKind::Dtd);
    SchemaChoice c = SchemaOfXmlModel(" schematypens = 'http://www.ascc.net/xml/schematron' xhref='x' href='s.xml'");
    EXPECT_EQ(c.kind, SchemaKind::Schematron);
    EXPECT_EQ(c.location, "s.xml");
    EXPECT_EQ(SchemaOfXmlModel("href='a.rnc'").kind, SchemaKind::Unknown);
    EXPECT_EQ(SchemaKindOfPath("dir.xsd/file"), SchemaKind::Unknown);
}

namespace {

// An article whose DTD requires a para that only its xi:include brings.
constexpr const char* kIncludingArticle = R"(<?xml version="1.0"?>
<!DOCTYPE article [
<!ELEMENT article (title, para+)>
<!ATTLIST article xmlns:xi CDATA #FIXED "http://www.w3.org/2001/XInclude">
<!ELEMENT title (#PCDATA)>
<!ELEMENT para (#PCDATA)>
<!ELEMENT xi:include EMPTY>
<!ATTLIST xi:include href CDATA #REQUIRED>
]>
<article xmlns:xi="http://www.w3.org/2001/XInclude"><title>T</title>
<xi:include href="%HREF%"/></article>
)";

std::string IncludingArticle(const std::string& href)
{
    std::string s = kIncludingArticle;
    return s.replace(s.find("%HREF%"), 6, href);
}

XmlCheck Check(const std::string& text, const std::string& baseUrl, bool includes, XmlParseError& error)
{
    XmlCheckOptions options;
    options.baseUrl = baseUrl;
    options.processXIncludes = includes;
    PiecesSource source(text, 0);
    return CheckXmlText(source, options, error);
}

} // namespace

TEST(XmlXInclude, ValidateSeesTheIncludedContentOnlyWhenAsked)
{
    TempDir dir;
    // From another folder: no xml:base is added, which the DTD would not allow.
    std::filesystem::create_directory(dir / "parts");
    WriteFile(dir / "parts/para.xml", "<para>from elsewhere</para>");
    const std::string base = (dir / "doc.xml").string(), text = IncludingArticle("parts/para.xml");
    XmlParseError error;
    EXPECT_EQ(Check(text, base, false, error), XmlCheck::NotValid);
    EXPECT_EQ(Check(text, base, true, error), XmlCheck::Valid) << error.reason;
    // The namespace is found however the text is cut into pieces; a text that
    // never names it is checked as without includes.
    for (size_t size : {1u, 2u, 3u, 5u, 8u, 13u}) {
        XmlCheckOptions options;
        options.baseUrl = base;
        options.processXIncludes = true;
        PiecesSource pieces(text, size);
        EXPECT_EQ(CheckXmlText(pieces, options, error), XmlCheck::Valid) << size << ": " << error.reason;
        PiecesSource plain("<a>http://www.w3.org/2001/XInclud</a>e", size);
        EXPECT_FALSE(TextContains(plain, "/XInclude")) << size;
    }

    // The document object validates a copy; its own tree keeps the include.
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML(text, base)) << doc->parseError().reason;
    const std::string before = doc->xml();
    EXPECT_TRUE(doc->validate().Failed());
    EXPECT_FALSE(doc->validateWithIncludes().Failed()) << doc->validateWithIncludes().reason;
    EXPECT_EQ(doc->xml(), before);

    // Included content is validated too, and Validate lists each of its errors.
    WriteFile(dir / "parts/para.xml", "<para><b/>\n<c/></para>");
    EXPECT_EQ(Check(text, base, true, error), XmlCheck::NotValid);
    EXPECT_TRUE(doc->validateWithIncludes().Failed());
    XmlCheckOptions options;
    options.baseUrl = base;
    options.processXIncludes = true;
    PiecesSource listed(text, 0);
    const ValidationReport report = ValidateXmlText(listed, options);
    EXPECT_EQ(report.outcome, XmlCheck::NotValid);
    std::string reasons;
    for (const XmlParseError& e : report.errors) reasons += e.reason + "\n";
    EXPECT_NE(reasons.find("b"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("c"), std::string::npos) << reasons;
    EXPECT_GE(report.errors.size(), 3u) << reasons; // b, c, and para's content
    // Each names the included file, at its own line there.
    for (const auto& [element, line] : {std::pair{"element b", 1}, std::pair{"element c", 2}}) {
        const auto it = std::find_if(report.errors.begin(), report.errors.end(),
                                     [&](const XmlParseError& e) { return e.reason.find(element) != std::string::npos; });
        ASSERT_NE(it, report.errors.end()) << element << " in\n" << reasons;
        EXPECT_TRUE(it->url.ends_with("parts/para.xml")) << it->url;
        EXPECT_EQ(it->line, line) << element;
    }

    // A schema chosen by the user sees the included content as well.
    WriteFile(dir / "article.rng", R"(<element name="article" xmlns="http://relaxng.org/ns/structure/1.0">
  <element name="title"><text/></element><oneOrMore><element name="para"><text/></element></oneOrMore>
</element>)");
    WriteFile(dir / "parts/para.xml", "<para>fine</para>");
    const SchemaChoice rng{SchemaKind::RelaxNg, "article.rng"};
    PiecesSource against(text, 0);
    EXPECT_EQ(ValidateXmlText(against, options, &rng).outcome, XmlCheck::Valid);
    options.processXIncludes = false;
    PiecesSource unexpanded(text, 0);
    EXPECT_EQ(ValidateXmlText(unexpanded, options, &rng).outcome, XmlCheck::NotValid);
}

TEST(XmlXInclude, IncludesThatCannotBeMadeSayWhy)
{
    TempDir dir;
    const std::string base = (dir / "doc.xml").string();
    XmlParseError error;
    // A network URL is refused before anything is read.
    EXPECT_EQ(Check(IncludingArticle("http://127.0.0.1:9/para.xml"), base, true, error), XmlCheck::NotValid);
    EXPECT_EQ(error.reason, "XInclude refused: http://127.0.0.1:9/para.xml is not a local file.");
    EXPECT_EQ(error.line, 11);
    // Without validation too: the include is what failed.
    XmlCheckOptions options;
    options.baseUrl = base;
    options.validateOnParse = false;
    options.processXIncludes = true;
    PiecesSource source(IncludingArticle("missing.xml"), 0);
    EXPECT_EQ(CheckXmlText(source, options, error), XmlCheck::NotValid);
    EXPECT_NE(error.reason.find("missing.xml"), std::string::npos) << error.reason;

    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML(IncludingArticle("ftp://127.0.0.1:9/para.xml"), base));
    EXPECT_NE(doc->validateWithIncludes().reason.find("XInclude refused: ftp://"), std::string::npos);
}

TEST(XmlXInclude, TransformReadsTheIncludedContentIntoItsCopy)
{
    TempDir dir;
    WriteFile(dir / "para.xml", "<para>from elsewhere</para>");
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML(IncludingArticle("para.xml"), (dir / "doc.xml").string()));
    auto style = Stylesheet("<xsl:template match='/'><xsl:value-of select='count(//para)'/></xsl:template>",
                            "<xsl:output method='text'/>");
    EXPECT_EQ(doc->transformNode(*style), "0");
    doc->put_processXIncludes(true);
    EXPECT_EQ(doc->transformNode(*style), "1");
    EXPECT_EQ(doc->selectNodes("//para")->length(), 0);

    ASSERT_TRUE(doc->loadXML(IncludingArticle("http://127.0.0.1:9/para.xml"), (dir / "doc.xml").string()));
    try {
        doc->transformNode(*style);
        ADD_FAILURE() << "a network include was made";
    } catch (const DomError& e) {
        EXPECT_NE(std::string(e.what()).find("XInclude refused: http://"), std::string::npos) << e.what();
    }
}
