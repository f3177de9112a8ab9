#include "app/views/NodeListModel.h"
#include "resources/CommandIds.h"
#include "tests/support/ParseXml.h"

#include <gtest/gtest.h>

using namespace brindle;

namespace {

std::vector<std::string> Column(const NodeListModel& model, NodeListModel::Column column)
{
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < model.RowCount(); ++i)
        cells.push_back(NodeListModel::CellText(model.NodeAt(static_cast<long>(i)), column));
    return cells;
}

} // namespace

TEST(NodeListModel, RowsAreTheListedChildrenLastFirstAboveTheAttributesLastFirst)
{
    XmlDocumentPtr dom = test::ParseXml("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"x\">]><?pi d?><!--top-->"
                                        "<r a=\"1\" b=\"two\">first\r\nline<x/><!--c--><![CDATA[cd]]>&e;<?p q?>"
                                        "<y>inner</y>second</r>");
    NodeListModel model;
    model.Fill(dom->documentElement());
    EXPECT_EQ(Column(model, NodeListModel::kNameColumn),
              (std::vector<std::string>{"#text", "p", "e", "#cdata-section", "#comment", "#text", "b", "a"}));
    EXPECT_EQ(Column(model, NodeListModel::kValueColumn),
              (std::vector<std::string>{"second", "q", "", "cd", "c", "first", "two", "1"})); // one line each
    EXPECT_EQ(NodeListModel::CellText(model.NodeAt(0), NodeListModel::kTypeColumn), "NODE_TEXT");
    EXPECT_EQ(NodeListModel::CellText(model.NodeAt(7), NodeListModel::kTypeColumn), "NODE_ATTRIBUTE");
    EXPECT_EQ(model.RowOf(dom->documentElement()->getAttributeNode("b")), 6);
    EXPECT_EQ(model.RowOf(dom->documentElement()), -1);
    EXPECT_EQ(model.NodeAt(8), nullptr);

    // The document node: its DOCTYPE and its element are not rows; the declaration is.
    model.Fill(dom);
    EXPECT_EQ(Column(model, NodeListModel::kNameColumn), (std::vector<std::string>{"#comment", "pi", "xml"}));
    model.Fill(nullptr);
    EXPECT_EQ(model.RowCount(), 0u);
}

TEST(NodeListModel, EachKindHasItsPicture)
{
    EXPECT_EQ(NodeListModel::ImageOf(NODE_TEXT), 0);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_ATTRIBUTE), 1);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_COMMENT), 2);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_CDATA_SECTION), 3);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_PROCESSING_INSTRUCTION), 4);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_DOCUMENT_TYPE), 5);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_NOTATION), 5);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_ENTITY_REFERENCE), 6);
    EXPECT_EQ(NodeListModel::ImageOf(NODE_ELEMENT), -1);
}

TEST(NodeListModel, CommandsFollowTheCurrentNodeTheSelectionAndTheClipboard)
{
    // (The New commands and Rename by row kind are driven through the page too.)
    XmlDocumentPtr dom = test::ParseXml("<!DOCTYPE r><r a=\"1\">t</r>");
    XmlElementPtr root = dom->documentElement();
    XmlNodePtr attribute = root->getAttributeNode("a");
    XmlNodePtr text = root->firstChild();
    XmlNodePtr doctype = dom->firstChild();
    ASSERT_EQ(doctype->nodeType(), NODE_DOCUMENT_TYPE);

    // With no current node nothing is made or pasted.
    for (int id : {ids::ID_NEW_ATTRIBUTE, ids::ID_NEW_COMMENT, ids::ID_NEW_CDATA, ids::ID_NEW_TEXT,
                   ids::ID_NEW_PROCINST, ids::ID_EDIT_PASTE})
        EXPECT_FALSE(NodeListModel::IsCommandEnabled(id, {nullptr, {}, true})) << id;
    EXPECT_TRUE(NodeListModel::IsCommandEnabled(ids::ID_REFRESH, {nullptr, {}, false}));
    EXPECT_FALSE(NodeListModel::IsCommandEnabled(ids::ID_NODE_CHILD, {root, {text}, true}));

    // Row commands need a selection; Properties exactly one row.
    for (int id : {ids::ID_NODE_EDIT, ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_DELETE, ids::ID_PROPERTIES}) {
        EXPECT_FALSE(NodeListModel::IsCommandEnabled(id, {root, {}, true})) << id;
        EXPECT_TRUE(NodeListModel::IsCommandEnabled(id, {root, {text}, false})) << id;
    }
    EXPECT_TRUE(NodeListModel::IsCommandEnabled(ids::ID_EDIT_COPY, {root, {text, attribute}, false}));
    EXPECT_TRUE(NodeListModel::IsCommandEnabled(ids::ID_EDIT_PASTE, {root, {}, true}));
    EXPECT_FALSE(NodeListModel::IsCommandEnabled(ids::ID_EDIT_PASTE, {root, {}, false}));

    // Rename: never with no row, and never under a DOCTYPE.
    EXPECT_FALSE(NodeListModel::IsCommandEnabled(ids::ID_EDIT_RENAME, {root, {}, false}));
    EXPECT_FALSE(NodeListModel::IsCommandEnabled(ids::ID_EDIT_RENAME, {doctype, {attribute}, false}));
    EXPECT_FALSE(NodeListModel::RenameAllowed(nullptr, attribute));
}
