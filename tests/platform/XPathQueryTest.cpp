// XPath evaluation with typed results, node paths and error positions.

#include "platform/xml/XPathQuery.h"
#include "platform/xml/XmlDom.h"
#include "tests/support/ParseXml.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::test::ParseXml;

namespace {

const char* const kShop = "<?xml version=\"1.0\"?>\n"
                          "<shop xmlns=\"urn:shop\" xmlns:p=\"urn:price\">\n"
                          "  <item id=\"a\"><name>Pen</name><p:cost>2</p:cost></item>\n"
                          "  <item id=\"b\"><name>Ink</name><p:cost>7.5</p:cost></item>\n"
                          "  <item><name>Pad</name><p:cost>4</p:cost></item>\n"
                          "</shop>\n";

const std::vector<XPathBinding> kShopBindings = {{"d", "urn:shop"}, {"p", "urn:price"}};

std::vector<std::string> Paths(const XPathResult& r)
{
    std::vector<std::string> out;
    for (const auto& h : r.hits) out.push_back(h.path);
    return out;
}

} // namespace

TEST(XPathQuery, DefaultNamespaceThroughABoundPrefixAndExplicitPrefixes)
{
    auto doc = ParseXml(kShop);
    // Without a prefix for the default namespace nothing matches, as XPath 1.0 says.
    EXPECT_EQ(EvaluateXPath(*doc, "//item", kShopBindings).count, 0u);

    auto items = EvaluateXPath(*doc, "//d:item[@id]", kShopBindings);
    ASSERT_EQ(items.kind, XPathResult::Kind::NodeSet) << items.error;
    ASSERT_EQ(items.count, 2u);
    EXPECT_EQ(Paths(items), (std::vector<std::string>{"/d:shop/d:item[1]", "/d:shop/d:item[2]"}));
    EXPECT_EQ(items.hits[0].kind, "element");
    EXPECT_EQ(items.hits[0].value, "Pen2");
    EXPECT_EQ(items.hits[1].line, 4);
    ASSERT_TRUE(items.hits[0].node);
    EXPECT_EQ(items.hits[0].node->nodeName(), "item");
    // The node object is the document's own, so views can find it.
    EXPECT_EQ(items.hits[0].node, doc->documentElement()->selectSingleNode("*[1]") );

    auto costs = EvaluateXPath(*doc, "//p:cost", kShopBindings);
    EXPECT_EQ(Paths(costs), (std::vector<std::string>{"/d:shop/d:item[1]/p:cost", "/d:shop/d:item[2]/p:cost",
                                                       "/d:shop/d:item[3]/p:cost"}));
    // A user's binding of a prefix to another URI wins over the document's own.
    auto other = EvaluateXPath(*doc, "//p:cost", {{"p", "urn:other"}});
    EXPECT_EQ(other.count, 0u);
}

TEST(XPathQuery, AttributesTextAndOtherNodeKinds)
{
    auto doc = ParseXml("<r><a x='1'>one<!--c-->two<?pi data?></a><a x='2'/></r>");
    auto attrs = EvaluateXPath(*doc, "//a/@x", {});
    ASSERT_EQ(attrs.count, 2u);
    EXPECT_EQ(attrs.hits[1].path, "/r/a[2]/@x");
    EXPECT_EQ(attrs.hits[1].kind, "attribute");
    EXPECT_EQ(attrs.hits[1].value, "2");
    EXPECT_EQ(attrs.hits[1].line, 1);

    auto texts = EvaluateXPath(*doc, "//text()", {});
    EXPECT_EQ(Paths(texts), (std::vector<std::string>{"/r/a[1]/text()[1]", "/r/a[1]/text()[2]"}));
    EXPECT_EQ(texts.hits[1].value, "two");
    EXPECT_EQ(texts.hits[1].kind, "text");

    auto rest = EvaluateXPath(*doc, "//comment() | //processing-instruction() | /", {});
    ASSERT_EQ(rest.count, 3u);
    EXPECT_EQ(rest.hits[0].path, "/");
    EXPECT_EQ(rest.hits[0].kind, "document");
    EXPECT_EQ(rest.hits[1].kind, "comment");
    EXPECT_EQ(rest.hits[2].path, "/r/a[1]/processing-instruction('pi')");

    auto ns = EvaluateXPath(*ParseXml("<r xmlns:q='urn:q'/>"), "/r/namespace::q", {});
    ASSERT_EQ(ns.count, 1u);
    EXPECT_EQ(ns.hits[0].kind, "namespace");
    EXPECT_EQ(ns.hits[0].value, "urn:q");
    EXPECT_EQ(ns.hits[0].path, "/r/namespace::q");
    EXPECT_FALSE(ns.hits[0].node);
}

TEST(XPathQuery, NumberStringAndBooleanResults)
{
    auto doc = ParseXml(kShop);
    auto n = EvaluateXPath(*doc, "sum(//p:cost)", kShopBindings);
    EXPECT_EQ(n.kind, XPathResult::Kind::Number);
    EXPECT_DOUBLE_EQ(n.number, 13.5);
    EXPECT_EQ(n.string, "13.5");
    auto s = EvaluateXPath(*doc, "concat(//d:item[2]/d:name, '!')", kShopBindings);
    EXPECT_EQ(s.kind, XPathResult::Kind::String);
    EXPECT_EQ(s.string, "Ink!");
    auto b = EvaluateXPath(*doc, "count(//d:item) = 3", kShopBindings);
    EXPECT_EQ(b.kind, XPathResult::Kind::Boolean);
    EXPECT_TRUE(b.boolean);
    EXPECT_EQ(b.string, "true");
}

TEST(XPathQuery, ExsltFunctions)
{
    auto doc = ParseXml(kShop);
    auto max = EvaluateXPath(*doc, "math:max(//p:cost)", kShopBindings);
    ASSERT_EQ(max.kind, XPathResult::Kind::Number) << max.error;
    EXPECT_DOUBLE_EQ(max.number, 7.5);
    // str:tokenize builds a result tree, which needs a transformation context.
    auto tokens = EvaluateXPath(*doc, "str:tokenize('a,b,c', ',')", {});
    ASSERT_EQ(tokens.kind, XPathResult::Kind::NodeSet) << tokens.error;
    ASSERT_EQ(tokens.count, 3u);
    EXPECT_EQ(tokens.hits[2].value, "c");
    EXPECT_FALSE(tokens.hits[2].node);
    EXPECT_EQ(EvaluateXPath(*doc, "string(str:tokenize('a b')[2])", {}).string, "b");
    auto distinct = EvaluateXPath(*doc, "count(set:distinct(//d:name))", kShopBindings);
    EXPECT_DOUBLE_EQ(distinct.number, 3);
}

TEST(XPathQuery, BadExpressionsGiveReasonAndPosition)
{
    auto doc = ParseXml(kShop);
    struct Case {
        const char* expression;
        const char* reason;
        size_t position;
    } cases[] = {
        {"//d:item[", "Invalid expression", 9},
        {"1 +* 2", "Invalid expression", 5},
        {"//q:item", "Undefined namespace prefix", 8},
        {"nosuch(1)", "Unregistered function", 9},
        {"count(", "Invalid number of arguments", 6},
    };
    for (const auto& c : cases) {
        auto r = EvaluateXPath(*doc, c.expression, kShopBindings);
        EXPECT_EQ(r.kind, XPathResult::Kind::Error) << c.expression;
        EXPECT_EQ(r.error, c.reason) << c.expression;
        EXPECT_EQ(r.errorPosition, c.position) << c.expression;
    }
    // The document is untouched: its XML declaration is still its first child.
    EXPECT_EQ(doc->firstChild()->nodeName(), "xml");
    EXPECT_EQ(EvaluateXPath(*doc, "", {}).kind, XPathResult::Kind::Error);
}

TEST(XPathQuery, ListsTheFirstHitsAndCountsAll)
{
    std::string text = "<r>";
    for (int i = 0; i < 50; ++i) text += "<e>" + std::to_string(i) + "</e>";
    text += "</r>";
    auto doc = ParseXml(text);
    auto r = EvaluateXPath(*doc, "//e", {}, 10);
    EXPECT_EQ(r.count, 50u);
    ASSERT_EQ(r.hits.size(), 10u);
    EXPECT_EQ(r.hits[9].path, "/r/e[10]");
    auto last = EvaluateXPath(*doc, "//e[last()]", {});
    EXPECT_EQ(last.hits.at(0).path, "/r/e[50]");
    // A long value is cut, on a character boundary.
    std::string accents;
    for (int i = 0; i < 100; ++i) accents += "\xC3\xA9";
    auto big = EvaluateXPath(*ParseXml("<r>" + std::string(151, 'x') + accents + "</r>"), "/r", {});
    EXPECT_EQ(big.hits.at(0).value, std::string(151, 'x') + accents.substr(0, 48));
}

TEST(XPathQuery, DeclaredNamespacesOncePerPairInDocumentOrder)
{
    auto doc = ParseXml("<a xmlns='urn:a' xmlns:x='urn:x'><b xmlns:x='urn:x'/><c xmlns:y='urn:y' xmlns=''/></a>");
    EXPECT_EQ(DeclaredNamespaces(*doc),
              (std::vector<XPathBinding>{{"", "urn:a"}, {"x", "urn:x"}, {"y", "urn:y"}}));
    EXPECT_TRUE(DeclaredNamespaces(*XmlDocument::Create()).empty());
}
