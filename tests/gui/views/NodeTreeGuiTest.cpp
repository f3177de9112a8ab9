// The node tree on a display: lazy items and reselection, the commands' rules,
// renaming with namespaces, and element drags within and between documents.
#include "app/views/LeftView.h"
#include "resources/CommandIds.h"
#include "tests/gui/views/NodeViewFixture.h"

#include <wx/sizer.h>

using namespace brindle;
using namespace ids;

namespace {

// A tree whose namespace question is answered by the test.
class TestTree : public CLeftView {
public:
    using CLeftView::CLeftView;
    std::optional<std::string> answer;
    int asked = 0;

protected:
    std::optional<std::string> AskNamespace() override
    {
        ++asked;
        return answer;
    }
};

class NodeTreeTest : public NodeViewFixture {
protected:
    TestTree& NewTree(CBrindleDoc& doc)
    {
        wxFrame* frame = NewFrame();
        auto* tree = new TestTree(frame, &doc);
        frame->SetSizer(new wxBoxSizer(wxVERTICAL));
        frame->GetSizer()->Add(tree, 1, wxEXPAND);
        frame->Layout();
        tree->OnInitialUpdate();
        test::PumpEvents();
        return *tree;
    }

    static std::vector<std::string> Labels(CLeftView& tree, const wxTreeItemId& parent)
    {
        std::vector<std::string> labels;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId i = tree.GetFirstChild(parent, cookie); i.IsOk(); i = tree.GetNextChild(parent, cookie))
            labels.push_back(tree.GetItemText(i).utf8_string());
        return labels;
    }

    // The centre of the item's row, on the screen.
    static wxPoint ScreenPointOf(CLeftView& tree, const wxTreeItemId& item)
    {
        wxRect rect;
        EXPECT_TRUE(tree.GetBoundingRect(item, rect, true));
        return tree.ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
    }

    // Drags the item onto the target item, through the drag session's handlers.
    static void Drag(CLeftView& from, const wxTreeItemId& item, CLeftView& to, const wxTreeItemId& target)
    {
        from.BeginNodeDrag(item, ScreenPointOf(from, item));
        NodeDragSession* drag = NodeDragSession::Running();
        ASSERT_TRUE(drag);
        const wxPoint drop = ScreenPointOf(to, target);
        drag->MoveTo(drop);
        drag->DropAt(drop);
        EXPECT_FALSE(NodeDragSession::IsActive());
        test::PumpEvents();
    }

    static XmlNodePtr Select(CBrindleDoc& doc, const std::string& xpath)
    {
        return doc.GetDomDocument()->selectSingleNode(xpath);
    }
};

} // namespace

TEST_F(NodeTreeTest, ItemsAreMadeWhenOpenedAndAReselectionOpensOnlyTheWayToItsNode)
{
    CBrindleDoc& doc = NewDoc("<?xml version=\"1.0\"?><!DOCTYPE r><?pi x?><!--c-->"
                              "<r><a><b><c/></b><e/></a><a><b/></a><d>text</d></r>");
    TestTree& tree = NewTree(doc);
    wxTreeItemIdValue cookie;
    const wxTreeItemId document = tree.GetFirstChild(tree.GetRootItem(), cookie);
    EXPECT_EQ(Labels(tree, tree.GetRootItem()), std::vector<std::string>{"Document"});
    EXPECT_EQ(Labels(tree, document), (std::vector<std::string>{"r", "r"}));
    EXPECT_TRUE(tree.IsExpanded(document));
    // Only the document's children have items; the root element shows a button.
    EXPECT_EQ(tree.GetCount(), 3u); // Document, the DOCTYPE, r
    const wxTreeItemId root = tree.GetLastChild(document);
    EXPECT_TRUE(tree.ItemHasChildren(root));
    EXPECT_EQ(tree.GetChildrenCount(root), 0u);

    // The second b's path is the first b's: the first in document order is chosen,
    // and only the items on its way are opened.
    doc.SetCurrentNode(Select(doc, "/r/a[2]/b"));
    tree.ExecuteCommand(ID_REFRESH);
    const XmlNodePtr firstB = Select(doc, "/r/a[1]/b");
    EXPECT_EQ(doc.GetCurrentNode(), firstB);
    EXPECT_EQ(tree.NodeOf(tree.GetSelection()), firstB);
    EXPECT_EQ(tree.GetStatusPath(), "/r/a/b/");
    const wxTreeItemId secondA = tree.GetNextSibling(tree.GetItemParent(tree.GetSelection()));
    EXPECT_EQ(tree.NodeOf(secondA), Select(doc, "/r/a[2]"));
    EXPECT_FALSE(tree.IsExpanded(secondA));
    EXPECT_EQ(tree.GetChildrenCount(secondA), 0u);
    // Document, DOCTYPE, r, a, a, d, then b and e, then c.
    EXPECT_EQ(tree.GetCount(), 9u);

    // A selection by the user makes the node current and shows its path.
    tree.SelectItem(secondA);
    EXPECT_EQ(doc.GetCurrentNode(), Select(doc, "/r/a[2]"));
    EXPECT_EQ(tree.GetStatusPath(), "/r/a/");

    // A new DOM (the source was edited) is shown once the document notifies,
    // with the node of the path last shown selected again.
    tree.SelectItem(tree.ItemOf(Select(doc, "/r/d")));
    ASSERT_TRUE(doc.GetDomDocument()->loadXML("<r><x/><d/></r>"));
    doc.SetTreeRebuildPending(true);
    tree.OnDocumentUpdate();
    test::PumpEvents();
    EXPECT_EQ(doc.GetCurrentNode(), Select(doc, "/r/d"));
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "d");
}

TEST_F(NodeTreeTest, CommandsFollowTheSelectedNode)
{
    CBrindleDoc& doc = NewDoc("<!DOCTYPE r><r><a/></r>");
    TestTree& tree = NewTree(doc);
    const wxTreeItemId document = tree.ItemOf(doc.GetDomDocument());
    tree.SelectItem(document);
    EXPECT_FALSE(tree.IsCommandEnabled(ID_NODE_CHILD));
    EXPECT_FALSE(tree.IsCommandEnabled(ID_NODE_SIBLING));
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_DELETE));

    tree.SelectItem(tree.ItemOf(doc.GetDomDocument()->firstChild())); // the DOCTYPE
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_RENAME})
        EXPECT_FALSE(tree.IsCommandEnabled(id)) << id;
    // Neither the document nor its type opens a label editor; an element does.
    tree.EditLabel(tree.GetSelection());
    EXPECT_EQ(tree.GetEditControl(), nullptr);
    tree.EditLabel(document);
    EXPECT_EQ(tree.GetEditControl(), nullptr);
    const wxTreeItemId a = tree.ItemOf(Select(doc, "/r/a"));
    tree.EditLabel(a);
    EXPECT_NE(tree.GetEditControl(), nullptr);
    tree.EndEditLabel(a, true);
    test::PumpEvents();
    clipboard.SetText("<p/>");
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_PASTE));

    tree.SelectItem(tree.ItemOf(Select(doc, "/r")));
    EXPECT_FALSE(tree.IsCommandEnabled(ID_NODE_SIBLING)); // its parent is the document
    EXPECT_TRUE(tree.IsCommandEnabled(ID_NODE_CHILD));
    EXPECT_TRUE(tree.IsCommandEnabled(ID_EDIT_PASTE));
    tree.SelectItem(tree.ItemOf(Select(doc, "/r/a")));
    for (int id : {ID_NODE_SIBLING, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE, ID_EDIT_RENAME, ID_PROPERTIES})
        EXPECT_TRUE(tree.IsCommandEnabled(id)) << id;

    // An empty document takes its root element from Child Node.
    CBrindleDoc& empty = NewDoc("<r/>");
    ASSERT_TRUE(empty.GetDomDocument()->removeChild(empty.GetDomDocument()->documentElement()));
    TestTree& emptyTree = NewTree(empty);
    emptyTree.SelectItem(emptyTree.ItemOf(empty.GetDomDocument()));
    EXPECT_TRUE(emptyTree.IsCommandEnabled(ID_NODE_CHILD));
    EXPECT_TRUE(emptyTree.ExecuteCommand(ID_NODE_CHILD));
    EXPECT_EQ(empty.GetDomDocument()->documentElement()->nodeName(), "NewChild");
    EXPECT_EQ(emptyTree.GetItemText(emptyTree.GetSelection()), "NewChild");
}

TEST_F(NodeTreeTest, EditsGoThroughTheDocumentAndTheItemsFollow)
{
    CBrindleDoc& doc = NewDoc("<r xmlns:k=\"urn:k\"><a><k:b/></a><z/></r>");
    TestTree& tree = NewTree(doc);
    tree.SelectNodeItem(tree.ItemOf(Select(doc, "/r/a")));

    // A child is made, selected and current; its item is the parent's last.
    ASSERT_TRUE(tree.ExecuteCommand(ID_NODE_CHILD));
    test::PumpEvents();
    const wxTreeItemId added = tree.GetSelection();
    EXPECT_EQ(Labels(tree, tree.GetItemParent(added)), (std::vector<std::string>{"k:b", "NewChild"}));
    EXPECT_EQ(doc.GetCurrentNode(), tree.NodeOf(added));
    EXPECT_EQ(tree.GetStatusPath(), "/r/a/NewChild/");
    EXPECT_TRUE(doc.IsModified());

    // An unknown prefix is asked for once; a prefix of the document is bound as
    // it is where the element stands.
    tree.answer = "urn:x";
    ASSERT_TRUE(tree.FinishLabelEdit(added, "x:y"));
    EXPECT_EQ(tree.GetItemText(added), "x:y");
    EXPECT_EQ(tree.NodeOf(added)->namespaceURI(), "urn:x");
    EXPECT_EQ(doc.GetCurrentNode(), tree.NodeOf(added));
    const wxTreeItemId z = tree.ItemOf(Select(doc, "/r/z"));
    ASSERT_TRUE(tree.FinishLabelEdit(z, "x:z"));
    EXPECT_EQ(tree.asked, 1);
    EXPECT_EQ(tree.NodeOf(z)->namespaceURI(), "urn:x");
    ASSERT_TRUE(tree.FinishLabelEdit(z, "k:q"));
    EXPECT_EQ(tree.asked, 1);
    EXPECT_EQ(tree.NodeOf(z)->namespaceURI(), "urn:k");
    // A cancelled question, an empty namespace and a failed rename keep the old label.
    tree.answer.reset();
    EXPECT_FALSE(tree.FinishLabelEdit(z, "n:q"));
    tree.answer = "";
    EXPECT_FALSE(tree.FinishLabelEdit(z, "n:q"));
    EXPECT_FALSE(tree.FinishLabelEdit(z, "1bad"));
    EXPECT_EQ(tree.GetItemText(z), "k:q");
    EXPECT_EQ(ui.messages.size(), 2u); // the empty namespace, the failed rename's reason

    // Cut and paste move the element and its item.
    tree.SelectNodeItem(tree.ItemOf(Select(doc, "/r/a")));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_CUT));
    EXPECT_FALSE(Select(doc, "/r/a"));
    ASSERT_TRUE(clipboard.GetText());
    EXPECT_EQ(*clipboard.GetText(), "<a xmlns:k=\"urn:k\"><k:b/><x:y xmlns:x=\"urn:x\"/></a>");
    const wxTreeItemId q = tree.ItemOf(Select(doc, "/r/*[local-name()='q']"));
    tree.SelectNodeItem(q);
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_PASTE));
    EXPECT_TRUE(Select(doc, "/r/*[local-name()='q']/a/*[local-name()='b']"));
    EXPECT_TRUE(tree.IsExpanded(q));
    EXPECT_EQ(Labels(tree, q), std::vector<std::string>{"a"});

    // Delete removes node and item; the document node cannot go.
    tree.SelectNodeItem(q);
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_DELETE));
    EXPECT_EQ(Labels(tree, tree.ItemOf(Select(doc, "/r"))), std::vector<std::string>{});
    EXPECT_FALSE(tree.FinishLabelEdit(tree.ItemOf(doc.GetDomDocument()), "x"));
}

TEST_F(NodeTreeTest, DragsMoveElementsWithinAndBetweenDocumentsAndRefuseTheirOwnPlaces)
{
    CBrindleDoc& doc = NewDoc("<r><a><b><c/></b></a><z/></r>");
    CBrindleDoc& other = NewDoc("<!DOCTYPE o><o><p/></o>");
    TestTree& tree = NewTree(doc);
    TestTree& otherTree = NewTree(other);
    const std::string before = doc.GetDomDocument()->xml();
    const wxTreeItemId a = tree.ItemOf(Select(doc, "/r/a"));

    // Onto itself, its parent or its descendant: nothing changes.
    for (const char* target : {"/r/a", "/r", "/r/a/b/c"}) {
        Drag(tree, a, tree, tree.ItemOf(Select(doc, target)));
        EXPECT_EQ(doc.GetDomDocument()->xml(), before) << target;
        EXPECT_EQ(tree.GetSelection(), a) << target;
    }
    // Onto the other document's DOCTYPE: refused too.
    Drag(tree, a, otherTree, otherTree.ItemOf(other.GetDomDocument()->firstChild()));
    EXPECT_EQ(doc.GetDomDocument()->xml(), before);

    // Over the other tree the drop marker is its selection only while the pointer
    // is there: its own selection comes back, and its current node never changed.
    const XmlNodePtr o = Select(other, "/o");
    otherTree.SelectNodeItem(otherTree.ItemOf(o));
    const wxPoint overP = ScreenPointOf(otherTree, otherTree.ItemOf(Select(other, "/o/p")));
    tree.BeginNodeDrag(a, ScreenPointOf(tree, a));
    NodeDragSession* drag = NodeDragSession::Running();
    ASSERT_TRUE(drag);
    drag->MoveTo(overP);
    EXPECT_TRUE(drag->IsDropAllowed());
    EXPECT_EQ(otherTree.NodeOf(otherTree.GetSelection()), Select(other, "/o/p"));
    EXPECT_EQ(other.GetCurrentNode(), o);
    drag->MoveTo(ScreenPointOf(tree, a));
    EXPECT_FALSE(drag->IsDropAllowed());
    EXPECT_EQ(otherTree.NodeOf(otherTree.GetSelection()), o);
    drag->DropAt(ScreenPointOf(tree, a));
    EXPECT_EQ(tree.GetSelection(), a);
    EXPECT_EQ(doc.GetDomDocument()->xml(), before);

    // Within the document: a goes under z.
    Drag(tree, a, tree, tree.ItemOf(Select(doc, "/r/z")));
    EXPECT_FALSE(Select(doc, "/r/a"));
    EXPECT_TRUE(Select(doc, "/r/z/a/b/c"));
    EXPECT_EQ(Labels(tree, tree.ItemOf(Select(doc, "/r"))), std::vector<std::string>{"z"});

    // Into the other document: copied there, removed here, and the clipboard
    // keeps what the user put there.
    clipboard.SetText("the user's text");
    Drag(tree, tree.ItemOf(Select(doc, "/r/z/a")), otherTree, otherTree.ItemOf(Select(other, "/o/p")));
    EXPECT_FALSE(Select(doc, "/r/z/a"));
    EXPECT_TRUE(Select(other, "/o/p/a/b/c"));
    EXPECT_EQ(clipboard.GetText().value_or(""), "the user's text");
    EXPECT_TRUE(other.IsModified());
    EXPECT_EQ(Labels(otherTree, otherTree.ItemOf(Select(other, "/o/p"))), std::vector<std::string>{"a"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(NodeTreeTest, UndoAndRedoTakeBackDeletesRenamesAndDrags)
{
    CBrindleDoc& doc = NewDoc("<r xmlns=\"urn:d\"><a k=\"v\"><b/>text</a><z/></r>");
    CBrindleDoc& other = NewDoc("<o><p/></o>");
    TestTree& tree = NewTree(doc);
    TestTree& otherTree = NewTree(other);
    const std::string original = doc.GetDomDocument()->xml();
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_REDO));

    // A deleted element comes back where it was, whole, and is selected.
    const XmlNodePtr a = Select(doc, "/*/*[1]");
    tree.SelectNodeItem(tree.ItemOf(a));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_DELETE));
    EXPECT_TRUE(tree.IsCommandEnabled(ID_EDIT_UNDO));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc.GetDomDocument()->xml(), original);
    EXPECT_EQ(tree.NodeOf(tree.GetSelection()), a);
    EXPECT_EQ(doc.GetCurrentNode(), a);
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_UNDO));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_REDO));
    EXPECT_FALSE(Select(doc, "/*/*[local-name()='a']"));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_UNDO));

    // A rename is undone to the old element, with its children.
    ASSERT_TRUE(tree.FinishLabelEdit(tree.ItemOf(a), "renamed"));
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc.GetDomDocument()->xml(), original);
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "a");

    // A drag within the document is one step.
    Drag(tree, tree.ItemOf(a), tree, tree.ItemOf(Select(doc, "/*/*[2]")));
    ASSERT_NE(doc.GetDomDocument()->xml(), original);
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc.GetDomDocument()->xml(), original);

    // A drag into another document is one step in each.
    const std::string otherOriginal = other.GetDomDocument()->xml();
    Drag(tree, tree.ItemOf(a), otherTree, otherTree.ItemOf(Select(other, "/o/p")));
    ASSERT_TRUE(Select(other, "/o/p/*"));
    ASSERT_TRUE(otherTree.ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(other.GetDomDocument()->xml(), otherOriginal);
    EXPECT_EQ(otherTree.GetItemText(otherTree.GetSelection()), "p");
    ASSERT_TRUE(tree.ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(doc.GetDomDocument()->xml(), original);
    EXPECT_FALSE(tree.IsCommandEnabled(ID_EDIT_UNDO));
    EXPECT_TRUE(ui.messages.empty());
}
