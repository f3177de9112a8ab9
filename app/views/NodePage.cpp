#include "app/views/NodePage.h"

#include "app/document/BrindleDoc.h"
#include "app/menus/Menus.h"
#include "app/views/DragImageWindow.h"
#include "app/views/EditSourceView.h"
#include "app/views/NodeEditDlg.h"
#include "app/views/NodeIcons.h"
#include "app/views/NodePropertyDlg.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/utils.h>

using namespace brindle;

namespace {

constexpr int kListId = 1001;

constexpr int kCommands[] = {ids::ID_NODE_EDIT,   ids::ID_NEW_ATTRIBUTE, ids::ID_NEW_COMMENT, ids::ID_NEW_CDATA,
                             ids::ID_NEW_TEXT,    ids::ID_NEW_PROCINST,  ids::ID_EDIT_CUT,    ids::ID_EDIT_COPY,
                             ids::ID_EDIT_PASTE,  ids::ID_EDIT_DELETE,   ids::ID_EDIT_RENAME, ids::ID_PROPERTIES,
                             ids::ID_REFRESH,     ids::ID_EDIT_UNDO,     ids::ID_EDIT_REDO};

// The report list over the model: cells are read when they are drawn.
class NodeListCtrl : public wxListCtrl {
public:
    NodeListCtrl(wxWindow* parent, const NodeListModel& model)
        : wxListCtrl(parent, kListId, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_EDIT_LABELS | wxBORDER_NONE),
          m_model(model)
    {
    }

protected:
    wxString OnGetItemText(long item, long column) const override
    {
        return wxString::FromUTF8(
            NodeListModel::CellText(m_model.NodeAt(item), static_cast<NodeListModel::Column>(column)));
    }
    int OnGetItemImage(long item) const override
    {
        const XmlNodePtr node = m_model.NodeAt(item);
        return node ? NodeListModel::ImageOf(node->nodeType()) : -1;
    }

private:
    const NodeListModel& m_model;
};

} // namespace

CNodePage::CNodePage(wxWindow* parent, CBrindleDoc* doc)
    : wxPanel(parent, wxID_ANY), m_doc(doc)
{
    m_list = new NodeListCtrl(this, m_model);
    m_list->AppendColumn("Name", wxLIST_FORMAT_LEFT, 120);
    m_list->AppendColumn("Type", wxLIST_FORMAT_LEFT, 120);
    m_list->AppendColumn("Value", wxLIST_FORMAT_LEFT, 300);
    m_list->AssignImageList(CreateNodeListImages(16), wxIMAGE_LIST_SMALL);
    m_largeImages.reset(CreateNodeListImages(32));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_list, 1, wxEXPAND);
    SetSizer(sizer);

    for (int id : kCommands) {
        Bind(wxEVT_MENU, &CNodePage::OnCommand, this, id);
        Bind(wxEVT_UPDATE_UI, &CNodePage::OnUpdateCommand, this, id);
    }
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CNodePage::OnItemActivated, this);
    m_list->Bind(wxEVT_LIST_BEGIN_LABEL_EDIT, &CNodePage::OnBeginLabelEdit, this);
    m_list->Bind(wxEVT_LIST_END_LABEL_EDIT, &CNodePage::OnEndLabelEdit, this);
    m_list->Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent&) { BeginRowDrag(); });
    m_list->Bind(wxEVT_CONTEXT_MENU, &CNodePage::OnContextMenu, this);
    m_list->Bind(wxEVT_SET_FOCUS, &CNodePage::OnListFocus, this);
    // F2 renames the selected row, as elsewhere on the desktop.
    m_list->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F2 && event.GetModifiers() == wxMOD_NONE) ExecuteCommand(ids::ID_EDIT_RENAME);
        else event.Skip();
    });

    RefreshList();
}

XmlNodePtr CNodePage::CurrentNode() const { return m_doc ? m_doc->GetCurrentNode() : nullptr; }

void CNodePage::ShowLastError() { m_doc->Errors().Tell(); }

void CNodePage::ShowDomError(const DomError& error, const std::string& context)
{
    UIServices().MessageBox(m_doc->DomErrorText(error, context), MsgButtons::Ok, MsgIcon::Error);
}

// --- rows

void CNodePage::RefreshList()
{
    if (!m_doc || NodeDragSession::IsActive()) return;
    m_list->DeleteAllItems();
    m_model.Fill(m_doc->GetCurrentNode());
    m_list->SetItemCount(static_cast<long>(m_model.RowCount()));
    m_list->Refresh();
}

void CNodePage::OnDocumentChanged()
{
    RefreshList();
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
}

void CNodePage::DetachDocument()
{
    m_doc = nullptr;
    ReleaseNodes();
}

void CNodePage::ReleaseNodes()
{
    m_drag.Cancel();
    m_list->DeleteAllItems();
    m_model.Clear();
}

std::vector<long> CNodePage::SelectedRows() const
{
    std::vector<long> rows;
    for (long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = m_list->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

std::vector<XmlNodePtr> CNodePage::SelectedNodes() const
{
    std::vector<XmlNodePtr> nodes;
    for (long row : SelectedRows())
        if (XmlNodePtr node = m_model.NodeAt(row)) nodes.push_back(node);
    return nodes;
}

void CNodePage::SelectRows(const std::vector<long>& rows)
{
    for (long row : SelectedRows()) m_list->SetItemState(row, 0, wxLIST_STATE_SELECTED);
    for (long row : rows) m_list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    if (!rows.empty()) m_list->SetItemState(rows.front(), wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

// --- commands

bool CNodePage::IsCommandEnabled(int id) const
{
    if (!m_doc) return id == ids::ID_REFRESH;
    if (id == ids::ID_EDIT_UNDO) return m_doc->CanUndoNodeStep();
    if (id == ids::ID_EDIT_REDO) return m_doc->CanRedoNodeStep();
    NodeListModel::Context context;
    context.current = m_doc->GetCurrentNode();
    context.selected = SelectedNodes();
    context.clipboardHasText = id == ids::ID_EDIT_PASTE && Clipboard().HasText();
    return NodeListModel::IsCommandEnabled(id, context);
}

bool CNodePage::ExecuteCommand(int id)
{
    if (!IsCommandEnabled(id)) return false;
    switch (id) {
    case ids::ID_NODE_EDIT: EditSelected(); break;
    case ids::ID_NEW_ATTRIBUTE: CreateNew(NODE_ATTRIBUTE, "attribute"); break;
    case ids::ID_NEW_COMMENT: CreateNew(NODE_COMMENT, ""); break;
    case ids::ID_NEW_CDATA: CreateNew(NODE_CDATA_SECTION, ""); break;
    case ids::ID_NEW_TEXT: CreateNew(NODE_TEXT, ""); break;
    case ids::ID_NEW_PROCINST: CreateNew(NODE_PROCESSING_INSTRUCTION, "procinst"); break;
    case ids::ID_EDIT_CUT:
    case ids::ID_EDIT_COPY:
        CopyNodes(SelectedNodes(), id == ids::ID_EDIT_CUT);
        RefreshList();
        break;
    case ids::ID_EDIT_PASTE: PasteOntoCurrent(); break;
    case ids::ID_EDIT_DELETE: DeleteSelected(); break;
    case ids::ID_EDIT_RENAME: StartRename(); break;
    case ids::ID_PROPERTIES: ShowProperties(); break;
    case ids::ID_REFRESH: RefreshList(); break;
    case ids::ID_EDIT_UNDO:
    case ids::ID_EDIT_REDO:
        if (!(id == ids::ID_EDIT_UNDO ? m_doc->UndoNodeStep() : m_doc->RedoNodeStep())) ShowLastError();
        RefreshList();
        m_doc->UpdateAllViews(); // the tree is built again
        break;
    default: return false;
    }
    return true;
}

void CNodePage::OnCommand(wxCommandEvent& event) { ExecuteCommand(event.GetId()); }

void CNodePage::OnUpdateCommand(wxUpdateUIEvent& event) { event.Enable(IsCommandEnabled(event.GetId())); }

void CNodePage::CreateNew(int kind, const std::string& name)
{
    // The node goes to the current node; a failure shows as no new row.
    m_doc->CreateNode(kind, name, std::string(), nullptr, "");
    RefreshList();
}

void CNodePage::EditSelected()
{
    const std::vector<long> rows = SelectedRows();
    const XmlNodePtr node = rows.empty() ? nullptr : m_model.NodeAt(rows.front());
    if (!node) return;
    const int image = NodeListModel::ImageOf(node->nodeType());
    CNodeEditDlg dialog(this, node, image >= 0 ? m_largeImages->GetBitmap(image) : wxNullBitmap);
    const XmlNodePtr current = m_doc->GetCurrentNode();
    if (current && current->nodeType() == NODE_DOCUMENT_TYPE) {
        UIServices().MessageBox("DTD information can only be modified using the source view.", MsgButtons::Ok,
                                MsgIcon::Warning);
        return;
    }
    // OK without a change changes nothing (an element's value would replace its children).
    if (dialog.ShowModal() != wxID_OK || !dialog.IsChanged()) return;
    const std::string name = dialog.GetNodeName();
    const std::string value = dialog.GetNodeValue();

    CBrindleDoc::NodeStep step(*m_doc); // the edit is undone as one
    switch (node->nodeType()) {
    case NODE_ATTRIBUTE:
        // The same name takes the new value in the attribute's place; another
        // name adds an attribute beside the old one.
        if (name == node->nodeName() ? !m_doc->SetNodeValue(node, value)
                                     : !m_doc->CreateNode(NODE_ATTRIBUTE, name, value, nullptr, ""))
            ShowDomError(DomError(kDomFail, m_doc->Errors().Take()), "Error creating node.");
        break;
    case NODE_TEXT:
        if (!m_doc->SetNodeValue(node, value))
            UIServices().MessageBox("Unable to set the text: " + m_doc->Errors().Take(), MsgButtons::Ok, MsgIcon::Error);
        break;
    case NODE_PROCESSING_INSTRUCTION:
        if (name == "xml" && node->nodeName() == "xml" && node->parentNode() &&
            node->parentNode()->nodeType() == NODE_DOCUMENT) {
            // The XML declaration stays first, where alone it is one: it takes the
            // new data in its place.
            if (!m_doc->SetNodeValue(node, value))
                ShowDomError(DomError(kDomFail, m_doc->Errors().Take()), "Error updating node");
            break;
        }
        try {
            // The instruction is made again with the new target and data; it moves
            // to the end of its parent.
            if (m_doc->CreateNode(NODE_PROCESSING_INSTRUCTION, name, value, nullptr, ""))
                m_doc->DeleteNode(node, nullptr);
            else
                ShowDomError(DomError(kDomFail, m_doc->Errors().Take()), "Error updating node");
        } catch (const DomError& error) {
            ShowDomError(error, "error");
        }
        break;
    default:
        if (!m_doc->SetNodeValue(node, value))
            UIServices().MessageBox("Unable to set the value: " + m_doc->Errors().Take(), MsgButtons::Ok, MsgIcon::Error);
        break;
    }
    m_doc->MarkDomChanged();
    RefreshList();
    m_doc->UpdateAllViews();
}

bool CNodePage::CopyNodes(const std::vector<XmlNodePtr>& nodes, bool cut)
{
    const XmlNodePtr owner = m_doc->GetCurrentNode();
    CBrindleDoc::NodeStep step(*m_doc); // a cut of several rows is undone as one
    try {
        // Copying does not touch the document, so it does not mark it modified.
        const XmlElementPtr wrapper = m_doc->WrapNodes(nodes);
        for (const XmlNodePtr& node : nodes)
            if (cut && !m_doc->DeleteNode(node, owner)) ShowLastError();
        return m_doc->CopyNodeToClipboard(wrapper);
    } catch (const DomError& error) {
        UIServices().MessageBox(error.what(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
}

bool CNodePage::PasteOntoCurrent()
{
    if (!m_doc) return false;
    XmlNodePtr pasted;
    if (!m_doc->PasteNode(nullptr, pasted)) {
        ShowLastError();
        return false;
    }
    RefreshList();
    return true;
}

void CNodePage::DeleteSelected()
{
    const XmlNodePtr owner = m_doc->GetCurrentNode();
    CBrindleDoc::NodeStep step(*m_doc);
    for (const XmlNodePtr& node : SelectedNodes())
        if (!m_doc->DeleteNode(node, owner)) ShowLastError();
    RefreshList();
}

void CNodePage::StartRename()
{
    const std::vector<long> rows = SelectedRows();
    if (rows.empty()) return;
    m_list->SetFocus();
    m_list->EditLabel(rows.front());
}

void CNodePage::ShowProperties()
{
    const std::vector<XmlNodePtr> nodes = SelectedNodes();
    if (nodes.size() != 1) return;
    CNodePropertyDlg dialog(this, "Node Properties");
    dialog.SetNode(nodes.front());
    dialog.ShowModal();
}

// --- list events

void CNodePage::OnItemActivated(wxListEvent&) { ExecuteCommand(ids::ID_NODE_EDIT); }

bool CNodePage::CanEditLabel(long row) const { return NodeListModel::RenameAllowed(CurrentNode(), m_model.NodeAt(row)); }

void CNodePage::OnBeginLabelEdit(wxListEvent& event)
{
    if (!CanEditLabel(event.GetIndex())) event.Veto();
}

void CNodePage::OnEndLabelEdit(wxListEvent& event)
{
    // The label itself is never taken: the rows show the document as it is after
    // the rename.
    event.Veto();
    if (event.IsEditCancelled()) return;
    const long row = event.GetIndex();
    const wxString text = event.GetLabel();
    // The rename changes the rows; the edit control finishes first.
    CallAfter([this, row, text] { FinishLabelEdit(row, text); });
}

bool CNodePage::FinishLabelEdit(long row, const wxString& text)
{
    const XmlNodePtr node = m_model.NodeAt(row);
    if (!m_doc || !node) return false;
    XmlNodePtr replacement;
    if (!m_doc->RenameNode(node, text.utf8_string(), replacement, "")) {
        ShowLastError();
        m_list->RefreshItem(row);
        return false;
    }
    RefreshList();
    return true;
}

void CNodePage::OnContextMenu(wxContextMenuEvent& event)
{
    wxPoint point = event.GetPosition();
    if (point == wxDefaultPosition) {
        // From the keyboard: below the focused row, else at the list's corner.
        const long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        wxRect rect;
        point = row >= 0 && m_list->GetItemRect(row, rect) ? rect.GetBottomLeft() : wxPoint(0, 0);
        point = m_list->ClientToScreen(point);
    }
    TrackContextMenu(this, ids::IDR_LIST_EDIT, ScreenToClient(point));
}

void CNodePage::OnListFocus(wxFocusEvent& event)
{
    RequestEditMenu(ids::IDR_LIST_EDIT);
    event.Skip();
}

// --- drag and drop

void CNodePage::BeginRowDrag()
{
    const std::vector<long> rows = SelectedRows();
    if (!m_doc || rows.empty()) return;
    // The picture: the visible rows at their places, within the list's width. It
    // starts over them, its hot spot at their corner.
    const wxRect client(m_list->GetClientSize());
    std::vector<DragImageWindow::Row> shown;
    for (long row : rows) {
        wxRect rect;
        if (!m_list->GetItemRect(row, rect) || !rect.Intersects(client)) continue;
        const XmlNodePtr node = m_model.NodeAt(row);
        shown.push_back({rect.Intersect(client), node ? NodeListModel::ImageOf(node->nodeType()) : -1,
                         wxString::FromUTF8(NodeListModel::CellText(node, NodeListModel::kNameColumn))});
    }
    const wxPoint corner =
        shown.empty() ? wxGetMousePosition() : m_list->ClientToScreen(shown.front().rect.GetTopLeft());
    m_drag.Begin(NodeDragModel(*m_doc, m_doc->GetCurrentNode(), SelectedNodes()),
                 DragImageWindow::RowsPicture(*m_list, m_list->GetImageList(wxIMAGE_LIST_SMALL), shown), corner,
                 [this] { RefreshList(); });
}

bool CNodePage::TakesDrop(const NodeDragModel& drag, const wxTreeItemId&, const wxWindow* source) const
{
    return drag.AcceptsPage(m_doc, source == this);
}

void CNodePage::TakeDrop(const NodeDragModel& drag, const wxTreeItemId&)
{
    if (!drag.MoveTo(*m_doc, m_doc->GetCurrentNode())) ShowLastError();
    RefreshList();
    SetFocus();
}
