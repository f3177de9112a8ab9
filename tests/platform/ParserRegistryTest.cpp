#include "platform/xml/ParserRegistry.h"

#include <gtest/gtest.h>

using namespace brindle;

TEST(ParserRegistry, KnownNamesCreateDocumentsUnknownNamesDoNot)
{
    for (const char* id : {"Msxml2.DOMDocument", "msxml2.domdocument.6.0", "Msxml2.DOMDocument.3.0", "Microsoft.XMLDOM",
                           "{F6D90F11-9C73-11D3-B32E-00C04F990BB4}", "{f5078f32-c551-11d3-89b9-0000f81fe221}"}) {
        EXPECT_NE(ParserRegistry::CreateInstance(id), nullptr) << id;
    }
    for (const char* id : {"", "Msxml2.DOMDocument.9.9", "Bogus.Parser", "{00000000-0000-0000-0000-000000000000}",
                           "F6D90F11-9C73-11D3-B32E-00C04F990BB4"}) {
        EXPECT_EQ(ParserRegistry::CreateInstance(id), nullptr) << id;
    }
}

TEST(XmlDomDocument, ParsesAndReportsErrorsWithPositions)
{
    auto doc = ParserRegistry::CreateInstance("Msxml2.DOMDocument");
    ASSERT_TRUE(doc);
    doc->put_validateOnParse(false);
    EXPECT_TRUE(doc->loadXML("<a><b x='1'/></a>"));
    EXPECT_NE(doc->xml().find("<b x=\"1\"/>"), std::string::npos);

    EXPECT_FALSE(doc->loadXML("<a>\n  <b></c>\n</a>"));
    EXPECT_NE(doc->parseError().errorCode, 0);
    EXPECT_EQ(doc->parseError().line, 2);
    EXPECT_FALSE(doc->parseError().reason.empty());
    EXPECT_FALSE(doc->HasContent());
}
