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

TEST(ParserRegistry, ProgramIdentifierOnlyCreationRefusesClassIds)
{
    EXPECT_NE(ParserRegistry::CreateFromProgId("Msxml2.DOMDocument"), nullptr);
    EXPECT_EQ(ParserRegistry::CreateFromProgId("{F6D90F11-9C73-11D3-B32E-00C04F990BB4}"), nullptr);
    EXPECT_EQ(ParserRegistry::CreateFromProgId("Bogus.Parser"), nullptr);
    // Each call gives a new, independent document.
    EXPECT_NE(ParserRegistry::CreateFromProgId("Microsoft.XMLDOM"), ParserRegistry::CreateFromProgId("Microsoft.XMLDOM"));
}
