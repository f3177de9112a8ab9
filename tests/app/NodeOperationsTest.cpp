#include "app/document/BrindleDoc.h"
#include "app/document/ErrorText.h"
#include "platform/ui/Clipboard.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <memory>

using namespace brindle;

namespace {

class NodeOperationsTest : public DocManagerFixture {
protected:
    void SetUp() override
    {
        DocManagerFixture::SetUp();
        doc = std::make_unique<CBrindleDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        ASSERT_TRUE(Dom()->loadXML("<?xml version=\"1.0\"?><r a=\"1\" b=\"2\"><x/><y>t</y><z/><w/></r>"));
        doc->Modify(false);
        SetClipboard(&clipboard);
    }
    void TearDown() override
    {
        SetClipboard(nullptr);
        doc.reset();
        DocManagerFixture::TearDown();
    }

    const XmlDocumentPtr& Dom() { return doc->GetDomDocument(); }
    XmlElementPtr Root() { return Dom()->documentElement(); }
    std::vector<std::string> ChildNames(const XmlNodePtr& node)
    {
        std::vector<std::string> names;
        for (XmlNodePtr c = node->firstChild(); c; c = c->nextSibling()) names.push_back(c->nodeName());
        return names;
    }

    test::RecordingUIServices ui;
    MemoryClipboard clipboard;
    std::unique_ptr<CBrindleDoc> doc;
};

} // namespace

TEST_F(NodeOperationsTest, CreatesEachKindWhereItBelongs)
{
    doc->SetCurrentNode(Root());
    XmlNodePtr element = doc->CreateNode(NODE_ELEMENT, "NewChild", std::nullopt, nullptr, "");
    ASSERT_TRUE(element);
    EXPECT_EQ(ChildNames(Root()).back(), "NewChild");
    EXPECT_TRUE(doc->IsModified());

    XmlNodePtr text = doc->CreateNode(NODE_TEXT, "", std::string("hello"), element, "");
    ASSERT_TRUE(text);
    EXPECT_EQ(element->text(), "hello");
    EXPECT_TRUE(doc->CreateNode(NODE_COMMENT, "", std::string("note"), element, ""));
    EXPECT_TRUE(doc->CreateNode(NODE_CDATA_SECTION, "", std::string("<raw>"), element, ""));
    EXPECT_EQ(ChildNames(element), (std::vector<std::string>{"#text", "#comment", "#cdata-section"}));

    // An attribute goes on the current node even when a parent is given, value or not.
    XmlNodePtr attribute = doc->CreateNode(NODE_ATTRIBUTE, "attribute", std::nullopt, element, "");
    ASSERT_TRUE(attribute);
    EXPECT_EQ(Root()->getAttribute("attribute"), "");
    EXPECT_FALSE(element->asElement()->getAttribute("attribute"));

    // An XML declaration without data gets the default one.
    XmlNodePtr decl = doc->CreateNode(NODE_PROCESSING_INSTRUCTION, "xml", std::nullopt, element, "");
    ASSERT_TRUE(decl);
    EXPECT_EQ(decl->nodeValue(), "version='1.0' encoding=''");
    EXPECT_EQ(decl->parentNode(), element);
}

TEST_F(NodeOperationsTest, KindsWithoutCreationAndFailuresLeaveTheirMarks)
{
    doc->SetCurrentNode(Root());
    SetLastErrorText("untouched");
    EXPECT_FALSE(doc->CreateNode(NODE_ENTITY_REFERENCE, "e", std::nullopt, nullptr, ""));
    EXPECT_FALSE(doc->CreateNode(NODE_ENTITY, "e", std::nullopt, nullptr, ""));
    EXPECT_TRUE(doc->IsModified()); // marked even though nothing was made
    EXPECT_EQ(GetLastErrorText(), "untouched");

    // A value for an element is refused: the element stays, the call fails.
    doc->Modify(false);
    EXPECT_FALSE(doc->CreateNode(NODE_ELEMENT, "v", std::string("value"), nullptr, ""));
    EXPECT_EQ(ChildNames(Root()).back(), "v");
    EXPECT_FALSE(GetLastErrorText().empty());

    // An attribute needs an element as the current node.
    doc->SetCurrentNode(Dom());
    EXPECT_FALSE(doc->CreateNode(NODE_ATTRIBUTE, "a2", std::string("x"), nullptr, ""));
    EXPECT_FALSE(GetLastErrorText().empty());
    doc->SetCurrentNode(nullptr);
    EXPECT_FALSE(doc->CreateNode(NODE_ELEMENT, "orphan", std::nullopt, nullptr, ""));
}

TEST_F(NodeOperationsTest, DeletesAttributesFromTheirOwnerAndOtherNodesFromTheirParent)
{
    XmlNodePtr a = Root()->getAttributeNode("a");
    EXPECT_TRUE(doc->DeleteNode(a, Root()));
    EXPECT_FALSE(Root()->getAttribute("a"));
    XmlNodePtr b = Root()->getAttributeNode("b");
    EXPECT_FALSE(doc->DeleteNode(b, Root()->firstChild()->firstChild())); // no such owner element
    doc->SetCurrentNode(Dom());
    EXPECT_FALSE(doc->DeleteNode(b, nullptr));
    EXPECT_EQ(GetLastErrorText(), "Unable to delete from node. Node is not an element");

    XmlNodePtr y = Root()->firstChild()->nextSibling();
    EXPECT_TRUE(doc->DeleteNode(y, nullptr));
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"x", "z", "w"}));
    EXPECT_FALSE(doc->DeleteNode(y, nullptr)); // detached: no parent
}

TEST_F(NodeOperationsTest, RenamingAnElementKeepsChildrenAttributesAndPlace)
{
    auto parent = Dom()->createElement("p");
    Root()->appendChild(parent);
    for (const char* n : {"a", "b", "c", "d"}) parent->appendChild(Dom()->createElement(n));
    parent->setAttribute("k", "v");
    Root()->insertBefore(parent, Root()->firstChild()->nextSibling());

    XmlNodePtr renamed;
    ASSERT_TRUE(doc->RenameNode(parent, "q", renamed, ""));
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->nodeName(), "q");
    EXPECT_EQ(ChildNames(renamed), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(renamed->asElement()->getAttribute("k"), "v");
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"x", "q", "y", "z", "w"}));

    // The root element itself can be renamed too.
    ASSERT_TRUE(doc->RenameNode(Root(), "root", renamed, ""));
    EXPECT_EQ(Dom()->documentElement()->nodeName(), "root");
    EXPECT_EQ(Dom()->documentElement()->getAttribute("a"), "1");

    // Namespace declarations stay with the element, so prefixed attributes and
    // children stay bound and the document still reads back.
    ASSERT_TRUE(Dom()->loadXML("<r><e xmlns:p=\"urn:p\" xmlns=\"urn:d\" p:k=\"v\"><p:c/><c/></e></r>"));
    ASSERT_TRUE(doc->RenameNode(Root()->firstChild(), "f", renamed, ""));
    const std::string text = Dom()->xml();
    auto reread = XmlDocument::Create();
    ASSERT_TRUE(reread->loadXML(text)) << text;
    auto f = reread->documentElement()->firstChild()->asElement();
    EXPECT_EQ(f->nodeName(), "f");
    EXPECT_EQ(f->getAttributeNode("p:k")->namespaceURI(), "urn:p");
    EXPECT_EQ(f->firstChild()->namespaceURI(), "urn:p");
    EXPECT_EQ(f->lastChild()->namespaceURI(), "urn:d");
    // A new name with a prefix of its own keeps its own binding; the attribute
    // keeps its namespace under another prefix.
    ASSERT_TRUE(doc->RenameNode(Root()->firstChild(), "p:g", renamed, "urn:other"));
    EXPECT_EQ(renamed->namespaceURI(), "urn:other");
    ASSERT_TRUE(reread->loadXML(Dom()->xml())) << Dom()->xml();
    const auto g = reread->documentElement()->firstChild();
    EXPECT_EQ(g->namespaceURI(), "urn:other");
    ASSERT_EQ(g->attributes()->length(), 1);
    EXPECT_EQ(g->attributes()->item(0)->namespaceURI(), "urn:p");
    EXPECT_EQ(g->firstChild()->namespaceURI(), "urn:p");
}

TEST_F(NodeOperationsTest, RenamingAttributesAndInstructions)
{
    doc->SetCurrentNode(Root());
    XmlNodePtr none;
    ASSERT_TRUE(doc->RenameNode(Root()->getAttributeNode("a"), "alpha", none, ""));
    EXPECT_FALSE(none);
    EXPECT_FALSE(Root()->getAttribute("a"));
    EXPECT_EQ(Root()->getAttribute("alpha"), "1");
    // The same name keeps the attribute and its value.
    ASSERT_TRUE(doc->RenameNode(Root()->getAttributeNode("b"), "b", none, ""));
    EXPECT_EQ(Root()->getAttribute("b"), "2");

    // An instruction is recreated at the end of the current node's children.
    auto pi = Dom()->createProcessingInstruction("target", "data");
    Root()->insertBefore(pi, Root()->firstChild());
    ASSERT_TRUE(doc->RenameNode(pi, "renamed", none, ""));
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"x", "y", "z", "w", "renamed"}));
    EXPECT_EQ(Root()->lastChild()->nodeValue(), "data");
}

TEST_F(NodeOperationsTest, NamesAndPaths)
{
    XmlNodePtr y = Root()->firstChild()->nextSibling();
    EXPECT_EQ(CBrindleDoc::GetNodePath(Dom()), "/");
    EXPECT_EQ(CBrindleDoc::GetNodePath(Root()), "/r/");
    EXPECT_EQ(CBrindleDoc::GetNodePath(y->firstChild()), "/r/y/#text/");
    EXPECT_EQ(CBrindleDoc::GetNodePath(Root()->getAttributeNode("a")), "/a/");
    EXPECT_EQ(CBrindleDoc::NodeTypeName(Root()), "NODE_ELEMENT");
    EXPECT_EQ(CBrindleDoc::NodeTypeName(Dom()), "NODE_DOCUMENT");
    EXPECT_EQ(CBrindleDoc::NodeTypeName(nullptr), "NODE_INVALID");
}

TEST_F(NodeOperationsTest, CopyAndPasteCarryDeepCopiesBetweenDocuments)
{
    XmlNodePtr y = Root()->firstChild()->nextSibling();
    ASSERT_TRUE(doc->CopyNodeToClipboard(y));
    EXPECT_EQ(clipboard.GetText(), "<y>t</y>");

    CBrindleDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    XmlNodePtr pasted;
    ASSERT_TRUE(other.PasteNode(other.GetDomDocument()->documentElement(), pasted));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->xml(), "<y>t</y>");
    EXPECT_EQ(pasted->ownerDocument(), other.GetDomDocument());
    EXPECT_TRUE(other.IsModified());
    EXPECT_EQ(ChildNames(Root()).size(), 4u); // the source is unchanged

    // Only the root element of a text with a declaration is pasted.
    clipboard.SetText("<?xml version=\"1.0\"?>\n<!-- c --><only/>");
    ASSERT_TRUE(doc->PasteNode(Root(), pasted));
    EXPECT_EQ(ChildNames(Root()).back(), "only");
}

TEST_F(NodeOperationsTest, PastingWrappersAndRefusedText)
{
    clipboard.SetText("just some words");
    XmlNodePtr pasted;
    EXPECT_FALSE(doc->PasteNode(Root(), pasted));
    EXPECT_EQ(GetLastErrorText(), "Unable to paste from clipboard");
    EXPECT_EQ(ChildNames(Root()).size(), 4u);

    clipboard.SetText("<___CLIPBOARD___ k=\"v\"><m/><n/></___CLIPBOARD___>");
    ASSERT_TRUE(doc->PasteNode(Root(), pasted));
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"x", "y", "z", "w", "m", "n"}));
    EXPECT_EQ(pasted->nodeName(), "n");
    EXPECT_EQ(Root()->getAttribute("k"), "v");

    // A pasted prefixed attribute stays bound to its namespace.
    clipboard.SetText("<___CLIPBOARD___ xmlns:p=\"urn:p\" p:k=\"w\"/>");
    ASSERT_TRUE(doc->PasteNode(Root(), pasted));
    EXPECT_EQ(Root()->getAttributeNode("p:k")->namespaceURI(), "urn:p");
    EXPECT_EQ(Root()->getAttribute("p:k"), "w");
    auto reread = XmlDocument::Create();
    EXPECT_TRUE(reread->loadXML(Dom()->xml())) << Dom()->xml();

    // Under the document node: a second root element is refused by the parser.
    clipboard.SetText("<___CLIPBOARD___ k=\"v\"><m/></___CLIPBOARD___>");
    EXPECT_FALSE(doc->PasteNode(Dom(), pasted));
    EXPECT_FALSE(GetLastErrorText().empty());
    // A comment moves, then the attribute meets a non-element target.
    clipboard.SetText("<___CLIPBOARD___ k=\"v\"><!--c--></___CLIPBOARD___>");
    EXPECT_FALSE(doc->PasteNode(Dom(), pasted));
    EXPECT_EQ(GetLastErrorText(), "Target node is not an element");
    EXPECT_EQ(Dom()->lastChild()->nodeType(), NODE_COMMENT);

    // An empty clipboard: nothing happens.
    clipboard.Clear();
    doc->Modify(false);
    EXPECT_FALSE(doc->PasteNode(Root(), pasted));
    EXPECT_FALSE(doc->IsModified());
}
