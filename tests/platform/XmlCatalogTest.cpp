// Public and system identifiers resolved through XML catalogs, offline.

#include "platform/xml/XmlCatalogs.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlStreamCheck.h"
#include "tests/support/Listener.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::test::TempDir;
using brindle::test::WriteFile;

namespace {

const std::string kCatalog = std::string(BRINDLE_TEST_DATA) + "/catalog/catalog.xml";

// An article whose DTD is named by public identifier; its system identifier
// is nowhere to be found, locally or on the network.
std::string Article(const std::string& body)
{
    return "<?xml version='1.0'?>\n"
           "<!DOCTYPE article PUBLIC '-//Brindle Test//DTD Article 1.0//EN' "
           "'http://brindle.invalid/dtd/article.dtd'>\n<article>" +
           body + "</article>\n";
}

// Each test starts and ends without a user catalog.
class XmlCatalog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(UseUserCatalog(""), ""); }
    void TearDown() override { UseUserCatalog(""); }

    // Loads the text with validation and external files on.
    static XmlDocumentPtr Validated(const std::string& text, bool& ok)
    {
        auto doc = XmlDocument::Create();
        ok = doc->loadXML(text, (dir().path() / "doc.xml").string());
        return doc;
    }
    static const TempDir& dir()
    {
        static TempDir d;
        return d;
    }
};

} // namespace

TEST_F(XmlCatalog, PublicIdentifierValidatesOnlyThroughTheUserCatalog)
{
    const std::string good = Article("<title>T</title><para>p</para>");
    const std::string bad = Article("\n<para>no title</para>");
    bool ok = false;
    // Without the catalog the DTD cannot be read, so its content model is not
    // applied: the bad article is not called invalid.
    XmlDocumentPtr doc = Validated(bad, ok);
    EXPECT_TRUE(ok) << doc->parseError().reason;

    ASSERT_EQ(UseUserCatalog(kCatalog), "");
    doc = Validated(good, ok);
    EXPECT_TRUE(ok) << doc->parseError().reason;
    doc = Validated(bad, ok);
    EXPECT_FALSE(ok);
    EXPECT_NE(doc->parseError().reason.find("para"), std::string::npos) << doc->parseError().reason;

    // The streaming check (Validate in Source mode) goes the same way.
    XmlCheckOptions options;
    options.baseUrl = (dir().path() / "doc.xml").string();
    XmlParseError error;
    StringTextSource badSource(bad), goodSource(good);
    EXPECT_EQ(CheckXmlText(badSource, options, error), XmlCheck::NotValid);
    EXPECT_EQ(error.line, 4); // where the article ends
    EXPECT_EQ(CheckXmlText(goodSource, options, error), XmlCheck::Valid) << error.reason;

    // Cleared again: the DTD is out of reach.
    ASSERT_EQ(UseUserCatalog(""), "");
    EXPECT_NE(CheckXmlText(badSource, options, error), XmlCheck::NotValid);
}

TEST_F(XmlCatalog, CatalogsThatCannotBeUsedAreRefusedWithAReason)
{
    TempDir files;
    WriteFile(files / "plain.xml", "<notes/>");
    WriteFile(files / "broken.xml", "<catalog");
    WriteFile(files / "chained.xml",
              "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>"
              "<nextCatalog catalog='http://127.0.0.1:9/more.xml'/></catalog>");
    const std::string missing = (files / "missing.xml").string();
    EXPECT_NE(UseUserCatalog(missing).find(missing), std::string::npos);
    EXPECT_NE(UseUserCatalog((files / "plain.xml").string()).find("is not an XML catalog"), std::string::npos);
    EXPECT_NE(UseUserCatalog((files / "broken.xml").string()).find("cannot be read"), std::string::npos);
    EXPECT_NE(UseUserCatalog((files / "chained.xml").string()).find("not a local file: http://127.0.0.1:9/more.xml"),
              std::string::npos);

    // A refused catalog replaces a working one: nothing resolves through either.
    ASSERT_EQ(UseUserCatalog(kCatalog), "");
    EXPECT_NE(UseUserCatalog((files / "plain.xml").string()), "");
    bool ok = false;
    Validated(Article("<para>no title</para>"), ok);
    EXPECT_TRUE(ok);
}

TEST_F(XmlCatalog, AnEntryMappingToTheNetworkIsRefused)
{
    const brindle::test::Listener server;
    const std::string url = server.Url("/article.dtd");

    TempDir files;
    WriteFile(files / "net.xml", "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>"
                                 "<public publicId='-//Brindle Test//DTD Article 1.0//EN' uri='" +
                                     url + "'/></catalog>");
    ASSERT_EQ(UseUserCatalog((files / "net.xml").string()), "");
    bool ok = false;
    XmlDocumentPtr doc = Validated(Article("<para>no title</para>"), ok);
    EXPECT_TRUE(ok); // the DTD was not read, as without a catalog

    EXPECT_FALSE(server.Contacted()) << "something connected to " << url;
}
