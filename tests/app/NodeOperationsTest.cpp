#include "app/document/BrindleDoc.h"
#include "platform/ui/Clipboard.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <functional>
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
    doc->Errors().Add("untouched");
    EXPECT_FALSE(doc->CreateNode(NODE_ENTITY_REFERENCE, "e", std::nullopt, nullptr, ""));
    EXPECT_FALSE(doc->CreateNode(NODE_ENTITY, "e", std::nullopt, nullptr, ""));
    EXPECT_TRUE(doc->IsModified()); // marked even though nothing was made
    EXPECT_EQ(doc->Errors().Take(), "untouched");

    // A value for an element is refused: the element stays, the call fails.
    doc->Modify(false);
    EXPECT_FALSE(doc->CreateNode(NODE_ELEMENT, "v", std::string("value"), nullptr, ""));
    EXPECT_EQ(ChildNames(Root()).back(), "v");
    EXPECT_FALSE(doc->Errors().Take().empty());

    // An attribute needs an element as the current node.
    doc->SetCurrentNode(Dom());
    EXPECT_FALSE(doc->CreateNode(NODE_ATTRIBUTE, "a2", std::string("x"), nullptr, ""));
    EXPECT_FALSE(doc->Errors().Take().empty());
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
    EXPECT_FALSE(doc->Errors().Take().empty());
    doc->SetCurrentNode(Dom());
    EXPECT_FALSE(doc->DeleteNode(b, nullptr));
    EXPECT_EQ(doc->Errors().Take(), "Unable to delete from node. Node is not an element");

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
    EXPECT_EQ(doc->Errors().Take(), "Unable to paste from clipboard");
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
    EXPECT_FALSE(doc->Errors().Take().empty());
    // A comment moves, then the attribute meets a non-element target.
    clipboard.SetText("<___CLIPBOARD___ k=\"v\"><!--c--></___CLIPBOARD___>");
    EXPECT_FALSE(doc->PasteNode(Dom(), pasted));
    EXPECT_EQ(doc->Errors().Take(), "Target node is not an element");
    EXPECT_EQ(Dom()->lastChild()->nodeType(), NODE_COMMENT);

    // An empty clipboard: nothing happens.
    clipboard.Clear();
    doc->Modify(false);
    EXPECT_FALSE(doc->PasteNode(Root(), pasted));
    EXPECT_FALSE(doc->IsModified());
}

// A move (what a drag does) puts the nodes' own text under the target and takes
// them away where they were, without the clipboard.
TEST_F(NodeOperationsTest, AMovedElementKeepsItsTextAndTheClipboardKeepsTheUsers)
{
    ASSERT_TRUE(Dom()->loadXML("<r xmlns=\"urn:d\" xmlns:p=\"urn:p\"><a p:k=\"v &amp; w\" q=\"&lt;\">t \xC3\xA9"
                               "<![CDATA[<c>]]><!--n--><?pi d?><p:b><c/></p:b>\n</a><z/></r>"));
    doc->Modify(false);
    clipboard.SetText("the user's text");
    const XmlNodePtr a = Root()->firstChild();
    const XmlNodePtr z = Root()->lastChild();
    const std::string aText = a->xml();
    const std::string before = Dom()->xml();
    CBrindleDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    const std::string otherBefore = other.GetDomDocument()->xml();

    // Within the document: under z, byte for byte, in its namespaces; one step.
    ASSERT_TRUE(doc->MoveNodes(*doc, {a}, nullptr, z));
    XmlNodePtr moved = z->firstChild();
    EXPECT_EQ(moved->xml(), aText);
    EXPECT_EQ(moved->namespaceURI(), "urn:d");
    EXPECT_EQ(moved->lastChild()->previousSibling()->namespaceURI(), "urn:p");
    EXPECT_FALSE(a->parentNode());
    EXPECT_EQ(clipboard.GetText(), "the user's text");
    ASSERT_TRUE(doc->UndoNodeStep());
    EXPECT_EQ(Dom()->xml(), before);
    EXPECT_FALSE(doc->CanUndoNodeStep());

    // Into another document: there byte for byte, gone here; one step in each.
    ASSERT_TRUE(other.MoveNodes(*doc, {a}, nullptr, other.GetDomDocument()->documentElement()));
    moved = other.GetDomDocument()->documentElement()->firstChild();
    EXPECT_EQ(moved->xml(), aText);
    EXPECT_EQ(ChildNames(Root()), std::vector<std::string>{"z"});
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(other.IsModified());
    EXPECT_EQ(clipboard.GetText(), "the user's text");
    ASSERT_TRUE(other.UndoNodeStep());
    EXPECT_EQ(other.GetDomDocument()->xml(), otherBefore);
    ASSERT_TRUE(doc->UndoNodeStep());
    EXPECT_EQ(Dom()->xml(), before);

    // The target refuses it (a second root element): nothing is deleted.
    EXPECT_FALSE(doc->MoveNodes(*doc, {a}, nullptr, Dom()));
    EXPECT_FALSE(doc->Errors().Take().empty());
    EXPECT_EQ(Dom()->xml(), before);
    EXPECT_EQ(clipboard.GetText(), "the user's text");
}

TEST_F(NodeOperationsTest, MovedRowsLeaveTheirOwnerWithTheirNamespaces)
{
    ASSERT_TRUE(Dom()->loadXML("<r xmlns:p=\"urn:p\"><s a=\"1\" p:k=\"v\">words<!--c--></s><t/></r>"));
    const XmlElementPtr s = Root()->firstChild()->asElement();
    const XmlNodePtr t = Root()->lastChild();
    clipboard.SetText("the user's text");
    const std::string before = Dom()->xml();

    // Within the document: an attribute and the text go to t, as one step.
    ASSERT_TRUE(doc->MoveNodes(*doc, {s->getAttributeNode("a"), s->firstChild()}, s, t));
    EXPECT_EQ(t->xml(), "<t a=\"1\">words</t>");
    EXPECT_EQ(s->xml(), "<s xmlns:p=\"urn:p\" p:k=\"v\"><!--c--></s>");
    ASSERT_TRUE(doc->UndoNodeStep());
    EXPECT_EQ(Dom()->xml(), before);

    // Into another document: a prefixed attribute stays in its namespace.
    CBrindleDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    const XmlElementPtr target = other.GetDomDocument()->documentElement();
    ASSERT_TRUE(other.MoveNodes(*doc, {s->getAttributeNode("p:k"), s->lastChild()}, s, target));
    ASSERT_TRUE(target->getAttributeNode("p:k"));
    EXPECT_EQ(target->getAttributeNode("p:k")->namespaceURI(), "urn:p");
    EXPECT_EQ(target->getAttribute("p:k"), "v");
    EXPECT_EQ(target->firstChild()->xml(), "<!--c-->");
    EXPECT_EQ(s->xml(), "<s a=\"1\">words</s>");
    EXPECT_EQ(clipboard.GetText(), "the user's text");
    auto reread = XmlDocument::Create();
    EXPECT_TRUE(reread->loadXML(other.GetDomDocument()->xml())) << other.GetDomDocument()->xml();
}

TEST_F(NodeOperationsTest, AValueEditKeepsTheAttributesPlace)
{
    ASSERT_TRUE(Dom()->loadXML("<catalog><book id=\"bk102\" lang=\"en\"/></catalog>"));
    const XmlElementPtr book = Root()->firstChild()->asElement();
    doc->SetCurrentNode(book);
    // Setting an attribute that is there already, as the edit dialog does.
    ASSERT_TRUE(doc->CreateNode(NODE_ATTRIBUTE, "id", std::string("bk102b"), nullptr, ""));
    EXPECT_EQ(book->xml(), "<book id=\"bk102b\" lang=\"en\"/>");
    ASSERT_TRUE(doc->SetNodeValue(book->getAttributeNode("lang"), "de"));
    EXPECT_EQ(book->xml(), "<book id=\"bk102b\" lang=\"de\"/>");
}

TEST_F(NodeOperationsTest, NewAndRenamedElementsTakeTheNamespaceInScopeWhereTheyStand)
{
    const std::string svg = "http://www.w3.org/2000/svg";
    ASSERT_TRUE(Dom()->loadXML("<svg xmlns=\"" + svg +
                               "\" xmlns:k=\"urn:k\"><g/><plain xmlns=\"\"><leaf/></plain></svg>"));
    const XmlNodePtr g = Root()->firstChild();
    XmlNodePtr added = doc->CreateNode(NODE_ELEMENT, "NewChild", std::nullopt, g, "");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->namespaceURI(), svg);
    XmlNodePtr prefixed = doc->CreateNode(NODE_ELEMENT, "k:item", std::nullopt, g, "");
    EXPECT_EQ(prefixed->namespaceURI(), "urn:k");
    // The element uses the declarations where it stands, as if it had been typed.
    EXPECT_NE(Dom()->xml().find("<g><NewChild/><k:item/></g>"), std::string::npos) << Dom()->xml();

    // Under xmlns="" a new element is in no namespace.
    const XmlNodePtr plain = Root()->lastChild();
    XmlNodePtr bare = doc->CreateNode(NODE_ELEMENT, "bare", std::nullopt, plain, "");
    EXPECT_EQ(bare->namespaceURI(), "");

    // A rename reads the new name where the element stands.
    XmlNodePtr renamed;
    ASSERT_TRUE(doc->RenameNode(g, "group", renamed, ""));
    EXPECT_EQ(renamed->namespaceURI(), svg);
    ASSERT_TRUE(doc->RenameNode(plain->firstChild(), "twig", renamed, ""));
    EXPECT_EQ(renamed->namespaceURI(), "");
    ASSERT_TRUE(doc->RenameNode(plain, "k:plain", renamed, ""));
    EXPECT_EQ(renamed->namespaceURI(), "urn:k");

    // The file says what the tree says.
    const std::string text = Dom()->xml();
    auto reread = XmlDocument::Create();
    ASSERT_TRUE(reread->loadXML(text)) << text;
    const XmlNodePtr group = reread->documentElement()->firstChild();
    EXPECT_EQ(group->nodeName(), "group");
    EXPECT_EQ(group->namespaceURI(), svg);
    EXPECT_EQ(group->firstChild()->namespaceURI(), svg);
    const XmlNodePtr renamedPlain = reread->documentElement()->lastChild();
    EXPECT_EQ(renamedPlain->namespaceURI(), "urn:k");
    EXPECT_EQ(renamedPlain->firstChild()->namespaceURI(), "");
    EXPECT_EQ(renamedPlain->lastChild()->namespaceURI(), "");
}

// Every node operation is one step: undone, the document serialises exactly as
// before it; redone, exactly as after it.
TEST_F(NodeOperationsTest, UndoAndRedoRestoreTheDocumentExactlyAfterEachOperation)
{
    ASSERT_TRUE(Dom()->loadXML("<?xml version=\"1.0\"?>\n<!--top--><?app go?>"
                               "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:q=\"urn:p\" a=\"1\" p:b=\"2\" c=\"3\">"
                               "<x id=\"x1\"><p:y p:k=\"v\">t<!--c--></p:y><z/></x><?pi data?><w>text</w></r>"));
    doc->Modify(false);
    EXPECT_FALSE(doc->CanUndoNodeStep());
    EXPECT_FALSE(doc->CanRedoNodeStep());
    const auto x = [&] { return Root()->firstChild(); };
    const auto y = [&] { return x()->firstChild(); };
    XmlNodePtr out;

    const std::vector<std::pair<std::string, std::function<bool()>>> operations = {
        {"new element", [&] { return doc->CreateNode(NODE_ELEMENT, "NewChild", std::nullopt, y(), "") != nullptr; }},
        {"new attribute",
         [&] {
             doc->SetCurrentNode(x());
             return doc->CreateNode(NODE_ATTRIBUTE, "attribute", std::string(), nullptr, "") != nullptr;
         }},
        {"attribute set again",
         [&] {
             doc->SetCurrentNode(x());
             return doc->CreateNode(NODE_ATTRIBUTE, "id", std::string("x2"), nullptr, "") != nullptr;
         }},
        {"new comment", [&] { return doc->CreateNode(NODE_COMMENT, "", std::string("n"), y(), "") != nullptr; }},
        {"new instruction",
         [&] { return doc->CreateNode(NODE_PROCESSING_INSTRUCTION, "procinst", std::nullopt, Dom(), "") != nullptr; }},
        {"delete element", [&] { return doc->DeleteNode(x()->lastChild(), nullptr); }},
        {"delete root", [&] { return doc->DeleteNode(Root(), nullptr); }},
        {"delete attribute", [&] { return doc->DeleteNode(Root()->getAttributeNode("p:b"), Root()); }},
        {"rename element", [&] { return doc->RenameNode(x(), "renamed", out, ""); }},
        {"rename with prefix", [&] { return doc->RenameNode(y(), "p:other", out, "urn:p"); }},
        {"rename root", [&] { return doc->RenameNode(Root(), "root", out, ""); }},
        {"rename attribute",
         [&] {
             doc->SetCurrentNode(Root());
             return doc->RenameNode(Root()->getAttributeNode("a"), "alpha", out, "");
         }},
        {"rename instruction",
         [&] {
             doc->SetCurrentNode(Root());
             return doc->RenameNode(Root()->firstChild()->nextSibling(), "q", out, "");
         }},
        {"value of a text", [&] { return doc->SetNodeValue(y()->firstChild(), "changed"); }},
        {"value of an attribute", [&] { return doc->SetNodeValue(Root()->getAttributeNode("c"), "30"); }},
        {"move", [&] { return doc->MoveNodes(*doc, {Root()->lastChild()}, nullptr, x()); }},
        {"paste",
         [&] {
             clipboard.SetText("<___CLIPBOARD___ xmlns:n=\"urn:n\" n:k=\"v\" c=\"33\"><m/><!--d--></___CLIPBOARD___>");
             return doc->PasteNode(x(), out);
         }},
        {"cut",
         [&] { return doc->CopyNodeToClipboard(x()) && doc->DeleteNode(x(), nullptr); }},
    };
    std::vector<std::string> states{Dom()->xml()};
    for (const auto& [name, operation] : operations) {
        const std::string before = Dom()->xml();
        ASSERT_TRUE(operation()) << name;
        const std::string after = Dom()->xml();
        ASSERT_NE(after, before) << name;
        ASSERT_TRUE(doc->CanUndoNodeStep()) << name;
        doc->Modify(false);
        ASSERT_TRUE(doc->UndoNodeStep()) << name;
        EXPECT_EQ(Dom()->xml(), before) << name;
        EXPECT_TRUE(doc->IsModified()) << name;
        ASSERT_TRUE(doc->RedoNodeStep()) << name;
        EXPECT_EQ(Dom()->xml(), after) << name;
        EXPECT_FALSE(doc->CanRedoNodeStep()) << name;
        states.push_back(after);
        // Each operation starts from the document as it stood first.
        ASSERT_TRUE(doc->UndoNodeStep()) << name;
    }

    // A run of operations (the root kept) goes back step by step, and forward again.
    states.resize(1);
    std::vector<std::string> names;
    for (const auto& [name, operation] : operations) {
        if (name == "delete root") continue;
        ASSERT_TRUE(operation()) << name;
        states.push_back(Dom()->xml());
        names.push_back(name);
    }
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(doc->UndoNodeStep()) << names[i - 1];
        ASSERT_EQ(Dom()->xml(), states[i - 1]) << names[i - 1];
    }
    EXPECT_FALSE(doc->CanUndoNodeStep());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(doc->RedoNodeStep()) << names[i - 1];
        ASSERT_EQ(Dom()->xml(), states[i]) << names[i - 1];
    }
    // The undone element is the current node again; what is shown is an element.
    ASSERT_TRUE(doc->UndoNodeStep());
    EXPECT_EQ(doc->GetCurrentNode(), Root()->firstChild());
    EXPECT_TRUE(doc->IsTreeRebuildPending());
}

TEST_F(NodeOperationsTest, StepsGroupOperationsAndTheTextClearsTheHistory)
{
    const std::string before = Dom()->xml();
    XmlNodePtr out;
    {
        // Several operations for one action: one step.
        CBrindleDoc::NodeStep step(*doc);
        ASSERT_TRUE(doc->DeleteNode(Root()->firstChild(), nullptr));
        ASSERT_TRUE(doc->DeleteNode(Root()->getAttributeNode("a"), Root()));
        EXPECT_FALSE(doc->CanUndoNodeStep()); // not while the step is open
    }
    ASSERT_TRUE(doc->UndoNodeStep());
    EXPECT_EQ(Dom()->xml(), before);
    EXPECT_FALSE(doc->CanUndoNodeStep());
    EXPECT_TRUE(doc->CanRedoNodeStep());

    // A new operation drops what could be redone.
    ASSERT_TRUE(doc->RenameNode(Root()->lastChild(), "v", out, ""));
    EXPECT_FALSE(doc->CanRedoNodeStep());
    EXPECT_TRUE(doc->CanUndoNodeStep());

    // Entering the source view gives the text its own history; so does a DOM
    // made from the text.
    doc->RegenerateText();
    EXPECT_FALSE(doc->CanUndoNodeStep());
    ASSERT_TRUE(doc->DeleteNode(Root()->lastChild(), nullptr));
    doc->ParseText();
    EXPECT_FALSE(doc->CanUndoNodeStep());
    EXPECT_FALSE(doc->UndoNodeStep());
}
