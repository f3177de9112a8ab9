#include "app/views/BrindleView.h"
#include "app/views/LeftView.h"
#include "app/views/NodeEditDlg.h"
#include "app/views/NodePage.h"
#include "resources/CommandIds.h"
#include "tests/gui/views/NodeViewFixture.h"

#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/sizer.h>

using namespace brindle;

namespace {

// Answers the node edit dialog as a user would: fills in the name and value (or
// leaves the fields as they are) and presses OK, without the dialog ever showing.
class EditDialogAnswer : public wxModalDialogHook {
public:
    EditDialogAnswer(std::string name, std::string value) : m_name(std::move(name)), m_value(std::move(value))
    {
        Register();
    }
    EditDialogAnswer() : m_keep(true) { Register(); }
    ~EditDialogAnswer() override { Unregister(); }
    int shown = 0;

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* edit = dynamic_cast<CNodeEditDlg*>(dialog);
        if (!edit) return wxID_NONE;
        ++shown;
        if (!m_keep) {
            edit->SetNodeName(m_name);
            edit->SetNodeValue(m_value);
        }
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    std::string m_name, m_value;
    bool m_keep = false;
};

class NodePageTest : public NodeViewFixture {
protected:
    // A form view of the document in a frame of its own, laid out and shown.
    CNodePage* ShowPage(CBrindleDoc& doc)
    {
        wxFrame* frame = NewFrame();
        auto* view = new CBrindleView(frame, &doc);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(view, 1, wxEXPAND);
        frame->SetSizer(sizer);
        frame->Layout();
        test::PumpEvents();
        return view->GetNodePage();
    }
    // A document whose DOCTYPE declares nothing, read without validation.
    CBrindleDoc& NewUnvalidatedDoc(const std::string& xml)
    {
        CBrindleDoc& doc = NewDoc("<x/>");
        doc.GetDomDocument()->put_validateOnParse(false);
        EXPECT_TRUE(doc.GetDomDocument()->loadXML(xml)) << doc.GetDomDocument()->parseError().reason;
        return doc;
    }
    static void SetCurrent(CNodePage* page, const XmlNodePtr& node)
    {
        page->GetDocument()->SetCurrentNode(node);
        page->OnDocumentChanged();
    }
    static std::vector<std::string> Names(const CNodePage* page)
    {
        std::vector<std::string> names;
        for (long row = 0; row < page->GetList()->GetItemCount(); ++row)
            names.push_back(page->GetList()->GetItemText(row, 0).utf8_string() + "=" +
                            page->GetList()->GetItemText(row, 2).utf8_string());
        return names;
    }
    // The screen point in the middle of a window's first row area.
    static wxPoint InsideList(CNodePage* page)
    {
        return page->GetList()->GetScreenRect().GetPosition() + wxPoint(60, 40);
    }
};

} // namespace

TEST_F(NodePageTest, RowsAndCommandStatesFollowTheCurrentNode)
{
    CBrindleDoc& doc = NewUnvalidatedDoc("<!DOCTYPE r><?pi data?><r a=\"1\" b=\"2\">first<e/>second</r>");
    CNodePage* page = ShowPage(doc);
    EXPECT_EQ(page->GetList()->GetItemCount(), 0); // no current node yet
    EXPECT_FALSE(page->IsCommandEnabled(ids::ID_NEW_COMMENT));
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_REFRESH));

    const XmlElementPtr root = doc.GetDomDocument()->documentElement();
    SetCurrent(page, root);
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#text=second", "#text=first", "b=2", "a=1"}));
    EXPECT_EQ(page->GetList()->GetItemText(3, 1), "NODE_ATTRIBUTE");
    const std::vector<int> newCommands = {ids::ID_NEW_ATTRIBUTE, ids::ID_NEW_COMMENT, ids::ID_NEW_CDATA,
                                          ids::ID_NEW_TEXT, ids::ID_NEW_PROCINST};
    std::vector<bool> enabled;
    for (int id : newCommands) enabled.push_back(page->IsCommandEnabled(id));
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, true, true, false}));

    // Rename: attribute rows, one at a time.
    page->SelectRows({1});
    EXPECT_FALSE(page->IsCommandEnabled(ids::ID_EDIT_RENAME)); // a text row
    EXPECT_FALSE(page->CanEditLabel(1));
    page->SelectRows({2});
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_EDIT_RENAME));
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_PROPERTIES));
    page->SelectRows({2, 3});
    EXPECT_FALSE(page->IsCommandEnabled(ids::ID_EDIT_RENAME));
    EXPECT_FALSE(page->IsCommandEnabled(ids::ID_PROPERTIES));
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_EDIT_DELETE));

    // The document node: only Comment and Processing Instruction are new; the
    // instruction row may be renamed.
    SetCurrent(page, doc.GetDomDocument());
    EXPECT_EQ(Names(page), (std::vector<std::string>{"pi=data"}));
    enabled.clear();
    for (int id : newCommands) enabled.push_back(page->IsCommandEnabled(id));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false, false, true}));
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_NEW_PROCINST));
    EXPECT_EQ(Names(page), (std::vector<std::string>{"procinst=", "pi=data"}));
    page->SelectRows({1});
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_EDIT_RENAME));

    // Under a DOCTYPE nothing is renamed, and editing says why.
    SetCurrent(page, doc.GetDomDocument()->firstChild());
    EXPECT_FALSE(NodeListModel::RenameAllowed(doc.GetCurrentNode(), root->getAttributeNode("a")));

    // A drag is under way: the rows stay as they are.
    SetCurrent(page, root);
    page->SelectRows({3});
    page->BeginRowDrag();
    ASSERT_TRUE(NodeDragSession::IsActive());
    SetCurrent(page, doc.GetDomDocument());
    NodeDragSession::Running()->Cancel();
    EXPECT_FALSE(NodeDragSession::IsActive());
    EXPECT_EQ(page->GetList()->GetItemCount(), 4);
}

TEST_F(NodePageTest, EditingChangesTheRowsNodeByItsKind)
{
    CBrindleDoc& doc = NewUnvalidatedDoc("<!DOCTYPE r [<!ENTITY e \"x\">]><r a=\"1\">text<!--c--><?p d?></r>");
    CNodePage* page = ShowPage(doc);
    const XmlElementPtr root = doc.GetDomDocument()->documentElement();
    SetCurrent(page, root);
    ASSERT_EQ(Names(page), (std::vector<std::string>{"p=d", "#comment=c", "#text=text", "a=1"}));

    {
        // OK on unchanged fields changes nothing, not even the modified mark.
        EditDialogAnswer answer;
        page->SelectRows({3});
        EXPECT_TRUE(page->ExecuteCommand(ids::ID_NODE_EDIT));
        EXPECT_EQ(answer.shown, 1);
        EXPECT_FALSE(doc.IsModified());
        EXPECT_FALSE(doc.CanUndoNodeStep());
    }
    {
        // An attribute with a new name: the old one stays beside the new one.
        EditDialogAnswer answer("z", "9");
        page->SelectRows({3});
        EXPECT_TRUE(page->ExecuteCommand(ids::ID_NODE_EDIT));
        EXPECT_EQ(answer.shown, 1);
        EXPECT_EQ(root->getAttribute("a"), "1");
        EXPECT_EQ(root->getAttribute("z"), "9");
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_EQ(Names(page), (std::vector<std::string>{"p=d", "#comment=c", "#text=text", "z=9", "a=1"}));
    {
        // The same name takes the value in the attribute's place; a text and a
        // comment take the value only.
        EditDialogAnswer answer("a", "new");
        page->SelectRows({4});
        page->ExecuteCommand(ids::ID_NODE_EDIT);
        page->SelectRows({2});
        page->ExecuteCommand(ids::ID_NODE_EDIT);
        page->SelectRows({1});
        page->ExecuteCommand(ids::ID_NODE_EDIT);
    }
    EXPECT_EQ(Names(page), (std::vector<std::string>{"p=d", "#comment=new", "#text=new", "z=9", "a=new"}));
    {
        // An instruction is made again at the end with the new target and data.
        EditDialogAnswer answer("q", "e");
        page->SelectRows({0});
        page->ExecuteCommand(ids::ID_NODE_EDIT);
    }
    EXPECT_EQ(root->xml(), "<r a=\"new\" z=\"9\">new<!--new--><?q e?></r>");
    EXPECT_TRUE(ui.messages.empty());

    // With the DOCTYPE current (its rows are not yet made again) the dialog
    // never shows.
    EditDialogAnswer answer("x", "y");
    page->SelectRows({0});
    doc.SetCurrentNode(doc.GetDomDocument()->firstChild());
    page->ExecuteCommand(ids::ID_NODE_EDIT);
    EXPECT_EQ(answer.shown, 0);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"DTD information can only be modified using the source view."}));

    // The XML declaration keeps its place: at the end it would not be one.
    CBrindleDoc& declared = NewUnvalidatedDoc("<?xml version=\"1.0\"?><r/>");
    CNodePage* declaredPage = ShowPage(declared);
    SetCurrent(declaredPage, declared.GetDomDocument());
    EditDialogAnswer declaration("xml", "version=\"1.0\" standalone=\"yes\"");
    declaredPage->SelectRows({0});
    declaredPage->ExecuteCommand(ids::ID_NODE_EDIT);
    EXPECT_EQ(declared.GetDomDocument()->firstChild()->nodeValue(), "version=\"1.0\" standalone=\"yes\"");
    EXPECT_EQ(declared.GetDomDocument()->lastChild()->nodeName(), "r");
}

TEST_F(NodePageTest, CutCopyPasteDeleteAndRenameGoThroughTheDocument)
{
    CBrindleDoc& doc = NewDoc("<r><x a=\"1\" b=\"2\">t<!--c--></x><y/></r>");
    CNodePage* page = ShowPage(doc);
    const XmlElementPtr x = doc.GetDomDocument()->documentElement()->firstChild()->asElement();
    const XmlNodePtr y = x->nextSibling();
    SetCurrent(page, x);
    ASSERT_EQ(Names(page), (std::vector<std::string>{"#comment=c", "#text=t", "b=2", "a=1"}));

    // Copy wraps the rows; it does not touch the document.
    page->SelectRows({0, 3});
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_COPY));
    EXPECT_EQ(clipboard.GetText(), "<___CLIPBOARD___ a=\"1\"><!--c--></___CLIPBOARD___>");
    EXPECT_FALSE(doc.IsModified());

    // Cut takes them out; pasting onto another element brings them there.
    page->SelectRows({1, 2});
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_CUT));
    EXPECT_EQ(clipboard.GetText(), "<___CLIPBOARD___ b=\"2\">t</___CLIPBOARD___>");
    EXPECT_EQ(x->xml(), "<x a=\"1\"><!--c--></x>");
    SetCurrent(page, y);
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_EDIT_PASTE));
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_PASTE));
    EXPECT_EQ(y->xml(), "<y b=\"2\">t</y>");
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#text=t", "b=2"}));

    // Clipboard text that is not XML: the error is shown and nothing changes.
    clipboard.SetText("just words");
    EXPECT_FALSE(page->PasteOntoCurrent());
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Unable to paste from clipboard"}));
    EXPECT_EQ(y->xml(), "<y b=\"2\">t</y>");

    // Delete takes every selected row.
    page->SelectRows({0, 1});
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_DELETE));
    EXPECT_EQ(y->xml(), "<y/>");
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);

    // Renaming an attribute row; a name that is not a name fails with the error
    // shown and the row keeps its name.
    SetCurrent(page, x);
    ASSERT_EQ(Names(page), (std::vector<std::string>{"#comment=c", "a=1"}));
    EXPECT_TRUE(page->CanEditLabel(1));
    EXPECT_TRUE(page->FinishLabelEdit(1, "renamed"));
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#comment=c", "renamed=1"}));
    ui.messages.clear();
    EXPECT_FALSE(page->FinishLabelEdit(1, "no good"));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#comment=c", "renamed=1"}));

    // Undo takes the list's operations back one at a time (a delete of several
    // rows as one), Redo brings them again; the rows follow.
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_UNDO)); // the rename
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#comment=c", "a=1"}));
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_UNDO)); // the delete of two rows
    EXPECT_EQ(y->xml(), "<y b=\"2\">t</y>");
    EXPECT_EQ(doc.GetCurrentNode(), y);
    EXPECT_EQ(Names(page), (std::vector<std::string>{"#text=t", "b=2"}));
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_REDO));
    EXPECT_EQ(y->xml(), "<y/>");
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_UNDO));
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_UNDO)); // the paste
    EXPECT_TRUE(page->ExecuteCommand(ids::ID_EDIT_UNDO)); // the cut
    EXPECT_EQ(doc.GetDomDocument()->documentElement()->xml(), "<r><x a=\"1\" b=\"2\">t<!--c--></x><y/></r>");
    EXPECT_FALSE(page->IsCommandEnabled(ids::ID_EDIT_UNDO)); // copying changed nothing
    EXPECT_TRUE(page->IsCommandEnabled(ids::ID_EDIT_REDO));
}

TEST_F(NodePageTest, DraggingRowsMovesThemOntoAnotherDocumentsPageOnly)
{
    CBrindleDoc& source = NewDoc("<s a=\"1\" b=\"2\" c=\"3\"/>");
    CBrindleDoc& target = NewDoc("<t/>");
    CNodePage* from = ShowPage(source);
    CNodePage* to = ShowPage(target);
    const XmlElementPtr s = source.GetDomDocument()->documentElement();
    SetCurrent(from, s);
    SetCurrent(to, target.GetDomDocument()->documentElement());

    // Onto the same page: nothing happens.
    from->SelectRows({0, 2});
    from->BeginRowDrag();
    NodeDragSession* drag = NodeDragSession::Running();
    ASSERT_TRUE(drag);
    drag->MoveTo(InsideList(from));
    EXPECT_FALSE(drag->IsDropAllowed());
    drag->DropAt(InsideList(from));
    EXPECT_FALSE(NodeDragSession::IsActive());
    EXPECT_EQ(s->xml(), "<s a=\"1\" b=\"2\" c=\"3\"/>");
    EXPECT_FALSE(clipboard.HasText());

    // Onto the other document's page: the two rows (c and a) move there, and
    // the clipboard keeps what the user put there.
    clipboard.SetText("the user's text");
    from->SelectRows({0, 2});
    from->BeginRowDrag();
    drag->MoveTo(InsideList(to));
    EXPECT_TRUE(drag->IsDropAllowed());
    drag->DropAt(InsideList(to));
    EXPECT_EQ(target.GetDomDocument()->documentElement()->xml(), "<t c=\"3\" a=\"1\"/>");
    EXPECT_EQ(s->xml(), "<s b=\"2\"/>");
    EXPECT_EQ(clipboard.GetText(), "the user's text");
    EXPECT_EQ(Names(from), (std::vector<std::string>{"b=2"}));
    EXPECT_EQ(Names(to), (std::vector<std::string>{"a=1", "c=3"}));
    EXPECT_TRUE(ui.messages.empty());

    // A paste that fails leaves the source as it was: a text row onto the
    // document node of a document that has its element already.
    s->appendChild(source.GetDomDocument()->createNode(NODE_TEXT, "", ""))->put_nodeValue("words");
    SetCurrent(from, s);
    SetCurrent(to, target.GetDomDocument());
    from->SelectRows({0});
    from->BeginRowDrag();
    drag->DropAt(InsideList(to));
    EXPECT_EQ(s->xml(), "<s b=\"2\">words</s>");
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(NodePageTest, DraggingRowsOntoATreeMovesThemToItsElementButNotToTheDocument)
{
    CBrindleDoc& source = NewDoc("<s a=\"1\" b=\"2\"/>");
    CBrindleDoc& target = NewDoc("<t><u/></t>");
    CNodePage* page = ShowPage(source);
    SetCurrent(page, source.GetDomDocument()->documentElement());
    wxFrame* frame = NewFrame();
    auto* tree = new CLeftView(frame, &target);
    frame->SetSizer(new wxBoxSizer(wxVERTICAL));
    frame->GetSizer()->Add(tree, 1, wxEXPAND);
    frame->Layout();
    tree->OnInitialUpdate();
    const XmlNodePtr u = target.GetDomDocument()->selectSingleNode("/t/u");
    const wxTreeItemId uItem = tree->ItemOf(u);
    const wxTreeItemId documentItem = tree->ItemOf(target.GetDomDocument());
    ASSERT_TRUE(uItem.IsOk());
    test::PumpEvents();
    tree->SelectItem(tree->ItemOf(target.GetDomDocument()->documentElement()));
    const wxTreeItemId saved = tree->GetSelection();
    auto pointOf = [&](const wxTreeItemId& item) {
        wxRect rect;
        EXPECT_TRUE(tree->GetBoundingRect(item, rect, true));
        return tree->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
    };

    // Onto "Document": refused, and the tree gets its own selection back.
    page->SelectRows({0, 1});
    page->BeginRowDrag();
    NodeDragSession* drag = NodeDragSession::Running();
    ASSERT_TRUE(drag);
    drag->MoveTo(pointOf(documentItem));
    EXPECT_FALSE(drag->IsDropAllowed());
    EXPECT_EQ(target.GetCurrentNode(), target.GetDomDocument()); // the marker's node is current meanwhile
    drag->DropAt(pointOf(documentItem));
    EXPECT_EQ(source.GetDomDocument()->documentElement()->xml(), "<s a=\"1\" b=\"2\"/>");
    EXPECT_EQ(target.GetDomDocument()->documentElement()->xml(), "<t><u/></t>");
    EXPECT_EQ(tree->GetSelection(), saved);
    EXPECT_EQ(target.GetCurrentNode(), target.GetDomDocument()->documentElement());

    // Onto u: both attributes move.
    page->SelectRows({0, 1});
    page->BeginRowDrag();
    drag->MoveTo(pointOf(uItem));
    EXPECT_TRUE(drag->IsDropAllowed());
    drag->DropAt(pointOf(uItem));
    EXPECT_EQ(u->xml(), "<u b=\"2\" a=\"1\"/>");
    EXPECT_EQ(source.GetDomDocument()->documentElement()->xml(), "<s/>");
    EXPECT_EQ(target.GetCurrentNode(), u);
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
}
