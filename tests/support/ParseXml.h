#pragma once

#include "platform/xml/XmlDom.h"

#include <gtest/gtest.h>

#include <string>

namespace brindle::test {

// A DOM of the text, read without validation; a text that does not parse fails
// the test with the parser's reason.
inline XmlDocumentPtr ParseXml(const std::string& text)
{
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    EXPECT_TRUE(doc->loadXML(text)) << doc->parseError().reason;
    return doc;
}

} // namespace brindle::test
