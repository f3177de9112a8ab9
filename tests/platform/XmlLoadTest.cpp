// Loading and saving: error reports, hostile input, externals, encodings.

#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlEscape.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brindle;
using brindle::test::ReadFile;
using brindle::test::TempDir;
using brindle::test::WriteFile;

namespace {

double SecondsToLoad(XmlDocument& doc, const std::string& text, bool& ok)
{
    auto start = std::chrono::steady_clock::now();
    ok = doc.loadXML(text);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string BillionLaughs(const std::string& use)
{
    std::string s = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        s += " <!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) s += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
        s += "\">\n";
    }
    return s + "]>\n" + use + "\n";
}

// A TCP listener on 127.0.0.1 that records whether anyone connected.
class Listener {
public:
    Listener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_fd, 8);
        socklen_t len = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        ::fcntl(m_fd, F_SETFL, O_NONBLOCK);
    }
    ~Listener() { ::close(m_fd); }
    std::string Url(const std::string& file) const { return "http://127.0.0.1:" + std::to_string(m_port) + "/" + file; }
    bool Contacted() const
    {
        int c = ::accept(m_fd, nullptr, nullptr);
        if (c >= 0) ::close(c);
        return c >= 0;
    }

private:
    int m_fd;
    int m_port = 0;
};

} // namespace

TEST(XmlLoad, ParseErrorReportsPositionReasonAndSourceLine)
{
    auto doc = XmlDocument::Create();
    EXPECT_FALSE(doc->loadXML("<a>\n  <b></c>\n</a>"));
    const XmlParseError& e = doc->parseError();
    EXPECT_EQ(e.errorCode & 0xFFFF0000u, 0xC00C0000u);
    EXPECT_EQ(e.line, 2);
    EXPECT_GT(e.linepos, 0);
    EXPECT_GT(e.filepos, 4);
    EXPECT_NE(e.reason.find("b"), std::string::npos) << e.reason;
    EXPECT_EQ(e.srcText, "  <b></c>");
    EXPECT_EQ(doc->documentElement(), nullptr);
    EXPECT_FALSE(doc->hasChildNodes());

    // A success clears the error.
    EXPECT_TRUE(doc->loadXML("<ok/>"));
    EXPECT_FALSE(doc->parseError().Failed());
}

TEST(XmlLoad, ErrorOnLaterLineOfFileQuotesThatLine)
{
    TempDir dir;
    WriteFile(dir / "bad.xml", "<?xml version=\"1.0\"?>\n<root>\n  <ok/>\n  <item attr=\"1\" attr=\"2\"/>\n</root>\n");
    auto doc = XmlDocument::Create();
    EXPECT_FALSE(doc->load((dir / "bad.xml").string()));
    EXPECT_EQ(doc->parseError().line, 4);
    EXPECT_EQ(doc->parseError().srcText, "  <item attr=\"1\" attr=\"2\"/>");
    EXPECT_EQ(doc->parseError().url, (dir / "bad.xml").string());

    EXPECT_FALSE(doc->load((dir / "missing.xml").string()));
    EXPECT_EQ(doc->parseError().errorCode, kDomFileNotFound);
    EXPECT_FALSE(doc->load(dir.path().string()));
    EXPECT_TRUE(doc->parseError().Failed());
}

TEST(XmlLoad, HostileInputFailsCleanly)
{
    auto doc = XmlDocument::Create();
    std::mt19937 rng(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    EXPECT_FALSE(doc->loadXML(garbage));
    EXPECT_FALSE(doc->loadXML(std::string("<a>\0</a>", 8)));
    EXPECT_FALSE(doc->loadXML(""));
    EXPECT_FALSE(doc->loadXML("just some words"));
    EXPECT_FALSE(doc->loadXML("<a><b></a>"));
    EXPECT_FALSE(doc->loadXML("<a/><b/>"));
    EXPECT_FALSE(doc->loadXML("<p:a/>")); // undeclared prefix
    EXPECT_FALSE(doc->loadXML("<a>\xC3\x28</a>")); // malformed UTF-8
    for (const XmlParseError* e : {&doc->parseError()}) EXPECT_FALSE(e->reason.empty());
}

TEST(XmlLoad, DeepNestingIsRefusedNotACrash)
{
    auto doc = XmlDocument::Create();
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    EXPECT_FALSE(doc->loadXML(deep));
    EXPECT_NE(doc->parseError().reason.find("nested"), std::string::npos) << doc->parseError().reason;

    std::string fine;
    for (int i = 0; i < 1000; ++i) fine += "<a>";
    for (int i = 0; i < 1000; ++i) fine += "</a>";
    ASSERT_TRUE(doc->loadXML(fine));
    const std::string serialised = doc->xml();
    EXPECT_EQ(serialised.size(), fine.size() - 3 + 1); // the innermost element is written "<a/>"
    auto other = XmlDocument::Create();
    other->appendChild(doc->documentElement()); // a deep subtree moves between documents
    EXPECT_TRUE(other->xml() == serialised);
}

TEST(XmlLoad, EntityExpansionBombsAreRefused)
{
    auto doc = XmlDocument::Create();
    bool ok = true;
    EXPECT_LT(SecondsToLoad(*doc, BillionLaughs("<lolz>&lol9;</lolz>"), ok), 2.0);
    EXPECT_FALSE(ok);
    EXPECT_NE(doc->parseError().reason.find("xpansion"), std::string::npos) << doc->parseError().reason;

    EXPECT_LT(SecondsToLoad(*doc, BillionLaughs("<lolz a=\"&lol9;\"/>"), ok), 2.0);
    EXPECT_FALSE(ok);

    // Quadratic blowup: one large entity referenced many times.
    std::string big(100000, 'x');
    std::string quad = "<!DOCTYPE q [<!ENTITY big \"" + big + "\">]><q>";
    for (int i = 0; i < 20000; ++i) quad += "&big;";
    quad += "</q>";
    EXPECT_LT(SecondsToLoad(*doc, quad, ok), 5.0);
    EXPECT_FALSE(ok);

    // Ordinary entity use still works and expands in text.
    doc->put_validateOnParse(false);
    ASSERT_TRUE(doc->loadXML("<!DOCTYPE a [<!ENTITY who \"world\">]><a>hello &who;</a>"));
    EXPECT_EQ(doc->documentElement()->text(), "hello world");
    EXPECT_EQ(doc->documentElement()->xml(), "<a>hello &who;</a>");
    auto ref = doc->documentElement()->lastChild();
    EXPECT_EQ(ref->nodeType(), NODE_ENTITY_REFERENCE);
    EXPECT_EQ(ref->nodeName(), "who");
    EXPECT_EQ(ref->firstChild()->nodeValue(), "world");
    EXPECT_THROW(ref->appendChild(doc->createTextNode("x")), DomError); // entity content is read-only
}

TEST(XmlLoad, NetworkReferencesAreNeverFetched)
{
    Listener server;
    auto doc = XmlDocument::Create();
    doc->put_resolveExternals(true);
    doc->put_validateOnParse(true);
    bool ok = false;
    const double seconds = SecondsToLoad(
        *doc, "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + server.Url("x") + "\">]><a>&e;</a>", ok);
    EXPECT_LT(seconds, 2.0);
    EXPECT_FALSE(server.Contacted());

    // An external DTD on the network is skipped; the document itself still loads.
    EXPECT_TRUE(doc->loadXML("<!DOCTYPE a SYSTEM \"" + server.Url("a.dtd") + "\"><a/>")) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->nodeName(), "a");
    EXPECT_FALSE(doc->loadXML("<!DOCTYPE a [<!ENTITY e SYSTEM \"http://127.0.0.1:9/x\">]><a>&e;</a>") &&
                 doc->documentElement()->text() != "");
    EXPECT_FALSE(server.Contacted());

    // Nor when validating or transforming.
    ASSERT_TRUE(doc->loadXML("<a xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xsi:noNamespaceSchemaLocation='" +
                             server.Url("s.xsd") + "'/>"));
    EXPECT_TRUE(doc->validate().Failed());
    auto style = XmlDocument::Create();
    ASSERT_TRUE(style->loadXML("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                               "<xsl:template match='/'><r><xsl:value-of select=\"count(document('" +
                               server.Url("d.xml") + "'))\"/></r></xsl:template></xsl:stylesheet>"));
    try {
        doc->transformNode(*style);
    } catch (const DomError&) {
    }
    EXPECT_FALSE(server.Contacted());
}

TEST(XmlLoad, ExternalFilesFollowResolveExternals)
{
    TempDir dir;
    WriteFile(dir / "part.txt", "from a file");
    WriteFile(dir / "doc.dtd", "<!ELEMENT doc (#PCDATA)>\n<!ENTITY part SYSTEM \"part.txt\">\n");
    const std::string text = "<!DOCTYPE doc SYSTEM \"doc.dtd\"><doc>&part;</doc>";
    WriteFile(dir / "doc.xml", text);
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->load((dir / "doc.xml").string())) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text(), "from a file");
    // Text from the editor resolves beside its file through the base URL.
    ASSERT_TRUE(doc->loadXML(text, (dir / "doc.xml").string())) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text(), "from a file");

    doc->put_resolveExternals(false);
    ASSERT_TRUE(doc->load((dir / "doc.xml").string())) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text(), "");
}

TEST(XmlLoad, ValidateOnParseUsesTheDtd)
{
    const std::string invalid = "<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]>\n<a><c/></a>";
    auto doc = XmlDocument::Create();
    EXPECT_FALSE(doc->loadXML(invalid));
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_NE(doc->parseError().reason.find("c"), std::string::npos) << doc->parseError().reason;
    doc->put_validateOnParse(false);
    EXPECT_TRUE(doc->loadXML(invalid));
    doc->put_validateOnParse(true);
    EXPECT_TRUE(doc->loadXML("<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]><a><b/></a>"));
    EXPECT_TRUE(doc->loadXML("<no-dtd-at-all/>"));
    doc->put_resolveExternals(false); // an internal subset is still checked
    EXPECT_FALSE(doc->loadXML(invalid));
}

TEST(XmlLoad, LoadKeepingContentTellsNotValidFromNotWellFormedInOneParse)
{
    using Outcome = XmlDocument::LoadOutcome;
    const std::string invalid = "<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]>\n<a><c/></a>";
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<kept><x/></kept>"));
    XmlNodePtr x = doc->documentElement()->firstChild();

    // Not well-formed: refused with the reason, the content stays as it was.
    std::uint64_t parses = XmlDocument::parsesRun();
    EXPECT_EQ(doc->loadXMLKeepingContent("<a>\n<b></a>"), Outcome::Refused);
    EXPECT_EQ(XmlDocument::parsesRun() - parses, 1u);
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_FALSE(doc->parseError().reason.empty());
    ASSERT_TRUE(doc->documentElement());
    EXPECT_EQ(doc->documentElement()->nodeName(), "kept");
    EXPECT_EQ(doc->documentElement()->firstChild(), x);

    // Well-formed but rejected by its DTD: the tree is the text's, with the reason.
    parses = XmlDocument::parsesRun();
    EXPECT_EQ(doc->loadXMLKeepingContent(invalid), Outcome::NotValid);
    EXPECT_EQ(XmlDocument::parsesRun() - parses, 1u);
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_NE(doc->parseError().reason.find("c"), std::string::npos) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->firstChild()->nodeName(), "c");

    EXPECT_EQ(doc->loadXMLKeepingContent("<!DOCTYPE a [<!ELEMENT a (b)><!ELEMENT b EMPTY>]><a><b/></a>"), Outcome::Loaded);
    EXPECT_FALSE(doc->parseError().Failed());
    doc->put_validateOnParse(false);
    EXPECT_EQ(doc->loadXMLKeepingContent(invalid), Outcome::Loaded);
    // The plain loads still empty the document on any failure.
    doc->put_validateOnParse(true);
    EXPECT_FALSE(doc->loadXML(invalid));
    EXPECT_FALSE(doc->documentElement());

    TempDir dir;
    WriteFile(dir / "bad.xml", "<a><b></a>");
    WriteFile(dir / "invalid.xml", invalid);
    ASSERT_TRUE(doc->loadXML("<kept/>"));
    EXPECT_EQ(doc->loadKeepingContent((dir / "bad.xml").string()), Outcome::Refused);
    ASSERT_TRUE(doc->documentElement());
    EXPECT_EQ(doc->documentElement()->nodeName(), "kept");
    EXPECT_EQ(doc->loadKeepingContent((dir / "invalid.xml").string()), Outcome::NotValid);
    EXPECT_EQ(doc->documentElement()->nodeName(), "a");
}

TEST(XmlLoad, DeclarationIsTheFirstChild)
{
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<?xml version='1.0' encoding=''?><a/>") == false || true);
    ASSERT_TRUE(doc->loadXML("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?><rootnode/>"));
    auto decl = doc->firstChild();
    ASSERT_EQ(decl->nodeType(), NODE_PROCESSING_INSTRUCTION);
    EXPECT_EQ(decl->nodeName(), "xml");
    EXPECT_EQ(decl->nodeValue(), "version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"");
    auto pseudo = decl->attributes();
    ASSERT_EQ(pseudo->length(), 3);
    EXPECT_EQ(pseudo->item(0)->nodeName(), "version");
    EXPECT_EQ(pseudo->getNamedItem("encoding")->nodeValue(), "UTF-8");
    EXPECT_EQ(pseudo->getNamedItem("standalone")->nodeValue(), "no");
    EXPECT_EQ(doc->xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<rootnode/>\n");
    EXPECT_EQ(doc->childNodes()->length(), 2);
    ASSERT_TRUE(doc->loadXML("<a/>"));
    EXPECT_EQ(doc->xml(), "<a/>\n");
}

TEST(XmlLoad, EncodingsLoadAndSaveBack)
{
    TempDir dir;
    // ISO-8859-1 by its declaration.
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a b=\"caf\xE9\">na\xEFve</a>\n";
    WriteFile(dir / "latin1.xml", latin1);
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->load((dir / "latin1.xml").string())) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text(), "na\xC3\xAFve");
    EXPECT_EQ(doc->documentElement()->getAttribute("b"), "caf\xC3\xA9");
    EXPECT_EQ(doc->xml(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a b=\"caf\xC3\xA9\">na\xC3\xAFve</a>\n");
    doc->save((dir / "latin1-out.xml").string());
    EXPECT_EQ(ReadFile(dir / "latin1-out.xml"), latin1);
    // A character Latin-1 cannot hold becomes a character reference.
    doc->documentElement()->put_text("\xE2\x82\xAC");
    doc->save((dir / "latin1-euro.xml").string());
    ASSERT_TRUE(doc->load((dir / "latin1-euro.xml").string()));
    EXPECT_EQ(doc->documentElement()->text(), "\xE2\x82\xAC");

    // UTF-16 with a byte-order mark.
    const std::string ascii = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a>x</a>\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) utf16 += std::string{c, '\0'};
    utf16.replace(utf16.find(std::string(">\0x\0", 4)) + 2, 2, "\xE9\x00", 2);
    WriteFile(dir / "utf16.xml", utf16);
    ASSERT_TRUE(doc->load((dir / "utf16.xml").string())) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text(), "\xC3\xA9");
    doc->save((dir / "utf16-out.xml").string());
    EXPECT_EQ(ReadFile(dir / "utf16-out.xml"), utf16);

    // UTF-8 with a byte-order mark keeps it.
    const std::string bom = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xC3\xA9</a>\n";
    WriteFile(dir / "bom.xml", bom);
    ASSERT_TRUE(doc->load((dir / "bom.xml").string()));
    EXPECT_EQ(doc->documentElement()->text(), "\xC3\xA9");
    doc->save((dir / "bom-out.xml").string());
    EXPECT_EQ(ReadFile(dir / "bom-out.xml"), bom);

    // Text from the editor is UTF-8 whatever the declaration says.
    ASSERT_TRUE(doc->loadXML("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9</a>"));
    EXPECT_EQ(doc->documentElement()->text(), "\xC3\xA9");
    doc->save((dir / "from-text.xml").string());
    EXPECT_EQ(ReadFile(dir / "from-text.xml"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xE9</a>\n");
}

TEST(XmlEscape, EscapedTextAndAttributeValuesReadBackAsTheyWere)
{
    const std::string text = "a < b && c > d ]]> \"e\" 'f'";
    const std::string value = "tab\there\nline\r\nend \"q\" & <x> 'y'";
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<a v=\"" + XmlEscaped(value, kXmlAttributeSpecials) + "\">" +
                             XmlEscaped(text, kXmlTextSpecials) + "</a>"))
        << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->getAttribute("v"), value);
    EXPECT_EQ(doc->documentElement()->text(), text);
    // Markup characters become entity references, others decimal character references.
    EXPECT_EQ(XmlEscaped("<\"\r&>'", "&<>\"\r'"), "&lt;&quot;&#13;&amp;&gt;&#39;");

    // Characters the target cannot hold become references; the rest, and ASCII
    // not named special, stay as they are.
    std::string out = "x=";
    AppendXmlEscaped(out, "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80<", kXmlTextSpecials,
                     [](char32_t c) { return c < 0x100; });
    EXPECT_EQ(out, "x=caf\xC3\xA9 &#8364; &#128512;&lt;");
    // A sequence cut short at the end is written as one reference, not read past.
    out.clear();
    AppendXmlEscaped(out, "ab\xE2\x82", "", [](char32_t) { return false; });
    EXPECT_EQ(out.rfind('&'), 2u);
    EXPECT_EQ(out.back(), ';');
}

TEST(XmlLoad, SaveIsAtomicAndKeepsPermissions)
{
    TempDir dir;
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<a>new</a>"));
    const auto target = dir / "keep.xml";
    WriteFile(target, "<a>old</a>");
    ::chmod(target.c_str(), 0640);
    doc->save(target.string());
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadFile(target), "<a>new</a>\n");
    // Through a symbolic link the link stays and its file is written.
    std::filesystem::create_symlink(target, dir / "link.xml");
    ASSERT_TRUE(doc->loadXML("<a>linked</a>"));
    doc->save((dir / "link.xml").string());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.xml"));
    EXPECT_EQ(ReadFile(target), "<a>linked</a>\n");
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    try {
        doc->save((dir / "no-such-folder" / "x.xml").string());
        FAIL() << "saved into a missing folder";
    } catch (const DomError& e) {
        EXPECT_EQ(e.code(), kDomFileNotFound);
    }
    ASSERT_TRUE(doc->loadXML("<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><a/>"));
    EXPECT_THROW(doc->save((dir / "enc.xml").string()), DomError);
    EXPECT_FALSE(std::filesystem::exists(dir / "enc.xml"));
}

TEST(XmlLoad, LargeTextNodeLoads)
{
    std::string text = "<a>" + std::string(12 << 20, 'x') + "</a>";
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML(text)) << doc->parseError().reason;
    EXPECT_EQ(doc->documentElement()->text().size(), size_t{12} << 20);
}

TEST(XmlLoad, XmlWrittenInPiecesIsTheXmlText)
{
    std::string text = "<?xml version=\"1.0\"?>\n<list xmlns:p=\"urn:p\">\n";
    for (int i = 0; i < 2000; ++i) text += "  <p:item id=\"" + std::to_string(i) + "\">caf\xC3\xA9 &amp; " + std::to_string(i) + "</p:item>\n";
    text += "</list>\n";
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML(text)) << doc->parseError().reason;

    auto item = doc->documentElement()->firstChild()->nextSibling();
    const XmlNodePtr nodes[] = {doc, doc->documentElement(), item, item->attributes()->item(0)};
    for (const auto& node : nodes) {
        std::string joined;
        int pieces = 0;
        node->writeXml([&](std::string_view piece) {
            joined.append(piece);
            ++pieces;
        });
        EXPECT_EQ(joined, node->xml()) << node->nodeName();
        if (node == doc) {
            EXPECT_GT(pieces, 1); // not gathered into one string first
        }
    }

    // A writer that fails ends the serialisation; its exception arrives intact.
    int calls = 0;
    EXPECT_THROW(doc->writeXml([&](std::string_view) {
        if (++calls == 2) throw std::runtime_error("disk full");
    }),
                 std::runtime_error);
    EXPECT_EQ(calls, 2);
    // The document is still usable.
    EXPECT_NE(doc->xml().find("<p:item id=\"1999\">"), std::string::npos);
}

TEST(XmlLoad, ShortTextsKeptInTheirNodesEditLikeAnyOther)
{
    auto doc = XmlDocument::Create();
    ASSERT_TRUE(doc->loadXML("<a x=\"1\"> <b>short</b><c>a text longer than sixteen bytes</c></a>"));
    auto a = doc->documentElement();
    auto space = a->firstChild();
    auto b = space->nextSibling();
    EXPECT_EQ(space->nodeValue(), " ");
    EXPECT_EQ(b->text(), "short");
    EXPECT_EQ(a->getAttribute("x"), "1");

    b->firstChild()->put_nodeValue("now a good deal longer than before");
    space->put_nodeValue("\n  ");
    a->setAttribute("x", "a value that no longer fits in the node");
    b->appendChild(doc->createTextNode("!"));
    a->lastChild()->firstChild()->put_nodeValue("tiny");
    auto removed = a->removeChild(b);
    a->appendChild(removed);
    auto copy = a->cloneNode(true);
    EXPECT_EQ(a->xml(), "<a x=\"a value that no longer fits in the node\">\n  <c>tiny</c><b>now a good deal longer "
                        "than before!</b></a>");
    EXPECT_EQ(copy->xml(), a->xml());
    EXPECT_EQ(removed->text(), "now a good deal longer than before!");
}
