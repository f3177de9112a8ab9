// The XPath panel's model: prefixes for default namespaces, rows, summaries, history.

#include "app/views/XPathPanelModel.h"
#include "tests/app/ShellFixture.h"
#include "tests/support/ParseXml.h"

using XPathPanelModelTest = ShellFixture;
using brindle::XPathBinding;
using brindle::test::ParseXml;

TEST_F(XPathPanelModelTest, DefaultNamespacesGetAPrefixTheDocumentDoesNotUse)
{
    CXPathPanelModel model;
    model.SetDeclaredNamespaces({{"", "urn:a"}, {"x", "urn:x"}});
    EXPECT_EQ(model.Bindings(), (std::vector<XPathBinding>{{"x", "urn:x"}, {"d", "urn:a"}}));
    EXPECT_EQ(model.BindingLabels(),
              (std::vector<std::string>{"x = urn:x", "d = urn:a  (default namespace)"}));

    // "d" taken by the document: the default namespaces go on with d2, d3.
    model.SetDeclaredNamespaces({{"", "urn:a"}, {"d", "urn:d"}, {"", "urn:b"}, {"d2", "urn:e"}, {"", "urn:a"}});
    EXPECT_EQ(model.Bindings(), (std::vector<XPathBinding>{{"d", "urn:d"}, {"d2", "urn:e"}, {"d3", "urn:a"},
                                                           {"d4", "urn:b"}}));
    // A prefix declared twice keeps its first URI.
    model.SetDeclaredNamespaces({{"p", "urn:1"}, {"p", "urn:2"}});
    EXPECT_EQ(model.Bindings(), (std::vector<XPathBinding>{{"p", "urn:1"}}));
}

TEST_F(XPathPanelModelTest, RowsAndSummaries)
{
    auto doc = ParseXml("<list xmlns='urn:l'><e n='1'/><e n='2'/></list>");
    CXPathPanelModel model;
    model.SetDeclaredNamespaces(brindle::DeclaredNamespaces(*doc));
    ASSERT_TRUE(model.Evaluate(*doc, "//d:e/@n"));
    ASSERT_EQ(model.Rows().size(), 2u);
    EXPECT_EQ(model.Rows()[1].path, "/d:list/d:e[2]/@n");
    EXPECT_EQ(model.Rows()[1].value, "2");
    EXPECT_EQ(model.Rows()[1].node->nodeName(), "n");
    EXPECT_EQ(model.Summary(), "2 nodes.");

    ASSERT_TRUE(model.Evaluate(*doc, "count(//d:e) * 2"));
    ASSERT_EQ(model.Rows().size(), 1u);
    EXPECT_EQ(model.Rows()[0].kind, "number");
    EXPECT_EQ(model.Summary(), "number: 4");
    ASSERT_TRUE(model.Evaluate(*doc, "/d:list/d:e[1]"));
    EXPECT_EQ(model.Summary(), "1 node.");

    std::string many = "<r>";
    for (size_t i = 0; i < CXPathPanelModel::kMaxRows + 5; ++i) many += "<i/>";
    auto big = ParseXml(many + "</r>");
    ASSERT_TRUE(model.Evaluate(*big, "//i"));
    EXPECT_EQ(model.Rows().size(), CXPathPanelModel::kMaxRows);
    EXPECT_EQ(model.Summary(), "1005 nodes; the first 1000 are listed.");
}

TEST_F(XPathPanelModelTest, ErrorsSayWhyAndWhereAndStayOutOfTheHistory)
{
    auto doc = ParseXml("<r/>");
    CXPathPanelModel model;
    ASSERT_TRUE(model.Evaluate(*doc, "/r"));
    // The position counts characters, not bytes.
    EXPECT_FALSE(model.Evaluate(*doc, "//\xC3\xA9l["));
    EXPECT_TRUE(model.HasError());
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_EQ(model.Summary(), "Invalid expression at character 6 of the expression.");
    EXPECT_FALSE(model.Evaluate(*doc, "  "));
    EXPECT_EQ(model.Summary(), "Enter an XPath expression.");
    EXPECT_EQ(model.HistoryEntries(), (std::vector<std::string>{"/r"}));
}

TEST_F(XPathPanelModelTest, HistoryIsKeptInTheProfile)
{
    auto doc = ParseXml("<r><a/></r>");
    {
        CXPathPanelModel model;
        model.Evaluate(*doc, "/r");
        model.Evaluate(*doc, "//a");
        model.Evaluate(*doc, "/r");
    }
    CXPathPanelModel again;
    EXPECT_EQ(again.HistoryEntries(), (std::vector<std::string>{"/r", "//a"}));
}
