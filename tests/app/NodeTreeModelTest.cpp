#include "app/views/NodeTreeModel.h"
#include "platform/xml/XmlDocument.h"
#include "tests/support/ParseXml.h"

#include <gtest/gtest.h>

using namespace brindle;

namespace {


std::vector<std::string> Labels(const std::vector<std::unique_ptr<NodeTreeModel::Item>>& items)
{
    std::vector<std::string> labels;
    for (const auto& item : items) labels.push_back(item->label);
    return labels;
}

} // namespace

TEST(NodeTreeModel, OnlyTheDocumentItsTypeAndElementsGetItemsMadeWhenAskedFor)
{
    NodeTreeModel tree;
    tree.Build(test::ParseXml("<?xml version=\"1.0\"?><!DOCTYPE r><?pi x?><r xmlns:p=\"urn:p\"><!--c-->text<p:a/><![CDATA[x]]>"
                     "<b><c/></b></r>"));
    ASSERT_EQ(Labels(tree.TopLevel()), std::vector<std::string>{"Document"});
    EXPECT_EQ(tree.ItemCount(), 1u); // nothing below is made yet
    NodeTreeModel::Item& document = *tree.TopLevel()[0];
    EXPECT_EQ(document.image, NodeTreeModel::kDocumentImage);
    EXPECT_TRUE(NodeTreeModel::HasChildren(document));

    const auto& top = tree.Children(document);
    ASSERT_EQ(Labels(top), (std::vector<std::string>{"r", "r"}));
    EXPECT_EQ(top[0]->image, NodeTreeModel::kDoctypeImage);
    EXPECT_EQ(top[1]->image, NodeTreeModel::kElementImage);
    EXPECT_EQ(top[1]->selectedImage, NodeTreeModel::kSelectedElementImage);
    EXPECT_FALSE(NodeTreeModel::HasChildren(*top[0]));
    EXPECT_EQ(Labels(tree.Children(*top[1])), (std::vector<std::string>{"p:a", "b"})); // prefixes shown
    EXPECT_FALSE(NodeTreeModel::HasChildren(*top[1]->children[0]));
    EXPECT_EQ(tree.ItemCount(), 5u);

    tree.Build(nullptr);
    EXPECT_TRUE(tree.TopLevel().empty());
}

TEST(NodeTreeModel, FindingByPathMakesOnlyTheItemsOnTheWay)
{
    NodeTreeModel tree;
    // The first a has a c without d; the first match in pre-order is under the second a.
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "<z/>";
    tree.Build(test::ParseXml("<r><a><b>" + many + "</b><c/></a><a><c><d/></c></a></r>"));
    NodeTreeModel::Item* found = tree.FindByPath("/r/a/c/d/");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->label, "d");
    std::vector<std::string> way;
    for (auto* item = found->parent; item; item = item->parent) way.insert(way.begin(), item->label);
    EXPECT_EQ(way, (std::vector<std::string>{"Document", "r", "a", "c"}));
    EXPECT_EQ(found->parent->parent, tree.TopLevel()[0]->children[0]->children[1].get()); // the second a
    EXPECT_LT(tree.ItemCount(), 20u); // b's thousand children were never made
    EXPECT_FALSE(tree.TopLevel()[0]->children[0]->children[0]->children[0]->childrenBuilt);

    EXPECT_EQ(tree.FindByPath("/")->label, "Document");
    EXPECT_EQ(tree.FindByPath("/r/a/c/"), tree.TopLevel()[0]->children[0]->children[0]->children[1].get());
    EXPECT_EQ(tree.FindByPath("/r/x/"), nullptr);
    EXPECT_EQ(tree.FindByPath(""), nullptr);
}
