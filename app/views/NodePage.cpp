#include "app/views/NodePage.h"

#include "app/document/BrindleDoc.h"
#include "app/document/ErrorText.h"
#include "app/menus/Menus.h"
#include "app/views/DragImageWindow.h"
#include "app/views/EditSourceView.h"
#include "app/views/LeftView.h"
#include "app/views/NodeEditDlg.h"
#include "app/views/NodeDragSupport.h"
#include "app/views/NodeIcons.h"
#include "app/views/NodePropertyDlg.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <algorithm>
#include <optional>

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
    : wxPanel(parent, wxID_ANY), m_doc(doc), m_arrowCursor(wxCURSOR_ARROW), m_noCursor(wxCURSOR_NO_ENTRY)
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
    m_list->Bind(wxEVT_LIST_BEGIN_DRAG, &CNodePage::OnBeginDrag, this);
    m_list->Bind(wxEVT_CONTEXT_MENU, &CNodePage::OnContextMenu, this);
    m_list->Bind(wxEVT_SET_FOCUS, &CNodePage::OnListFocus, this);
    // F2 renames the selected row, as elsewhere on the desktop.
    m_list->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F2 && event.GetModifiers() == wxMOD_NONE) ExecuteCommand(ids::ID_EDIT_RENAME);
        else event.Skip();
    });
    Bind(wxEVT_MOTION, &CNodePage::OnMouseMove, this);
    Bind(wxEVT_LEFT_UP, &CNodePage::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CNodePage::OnCaptureLost, this);

    RefreshList();
}

CNodePage::~CNodePage()
{
    if (IsDragging()) EndDragState();
}

CNodePage* CNodePage::FromWindow(wxWindow* window)
{
    for (wxWindow* at = window; at; at = at->GetParent())
        if (auto* page = dynamic_cast<CNodePage*>(at)) return page;
    return nullptr;
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
    if (!m_doc || IsNodeDragActive()) return;
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
    if (IsDragging()) EndDragState();
    m_doc = nullptr;
    m_dragOwner.reset();
    m_dragNodes.clear();
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
        XmlElementPtr wrapper = m_doc->CreateDetachedElement(CBrindleDoc::kClipboardWrapper);
        for (const XmlNodePtr& node : nodes) {
            const int type = node->nodeType();
            if (type == NODE_ATTRIBUTE) {
                wrapper->setAttribute(node->nodeName(), node->nodeValue().value_or(std::string()));
            } else if (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT ||
                       type == NODE_PROCESSING_INSTRUCTION) {
                // A copy of the same kind, name and value; the document itself is
                // not touched, so copying does not mark it modified. Kinds that
                // cannot be created (entity references) are left out.
                wrapper->appendChild(node->cloneNode(false));
            }
            if (cut && !m_doc->DeleteNode(node, owner)) ShowLastError();
        }
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

DragImageWindow* CNodePage::MakeDragImage() const
{
    // The union of the visible dragged rows, within the list's width.
    const wxSize client = m_list->GetClientSize();
    wxRect area;
    std::vector<std::pair<long, wxRect>> visible;
    for (long row : m_dragRows) {
        wxRect rect;
        if (!m_list->GetItemRect(row, rect) || !rect.Intersects(wxRect(client))) continue;
        visible.emplace_back(row, rect);
        area = area.IsEmpty() ? rect : area.Union(rect);
    }
    if (area.IsEmpty()) area = wxRect(0, 0, 16, 16);
    area.x = std::max(area.x, 0);
    area.width = std::max(1, std::min(area.GetRight(), client.x - 1) - area.x + 1);

    // Each row's picture and name at its place, on the list's colours, framed.
    wxBitmap bitmap(area.width, area.height);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(m_list->GetBackgroundColour()));
        dc.Clear();
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(0, 0, area.width, area.height);
        dc.SetFont(m_list->GetFont());
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
        wxImageList* images = m_list->GetImageList(wxIMAGE_LIST_SMALL);
        for (const auto& [row, rect] : visible) {
            const wxPoint at = rect.GetTopLeft() - area.GetTopLeft();
            const XmlNodePtr node = m_model.NodeAt(row);
            const int image = node ? NodeListModel::ImageOf(node->nodeType()) : -1;
            int x = at.x + 2;
            if (images && image >= 0) {
                images->Draw(image, dc, x, at.y + (rect.height - 16) / 2, wxIMAGELIST_DRAW_TRANSPARENT);
                x += 20;
            }
            const wxString name = wxString::FromUTF8(NodeListModel::CellText(node, NodeListModel::kNameColumn));
            dc.DrawText(name, x, at.y + (rect.height - dc.GetCharHeight()) / 2);
        }
    }
    return new DragImageWindow(const_cast<CNodePage*>(this), bitmap, wxPoint(15, 15));
}

void CNodePage::BeginRowDrag()
{
    if (!m_doc || IsDragging()) return;
    m_dragRows = SelectedRows();
    m_dragNodes = SelectedNodes();
    if (m_dragNodes.empty()) return;
    m_dragOwner = m_doc->GetCurrentNode();
    // The image starts over the rows it shows, its hot spot at their corner.
    m_dragImage = MakeDragImage();
    wxRect first;
    const wxPoint corner = m_list->GetItemRect(m_dragRows.front(), first)
                               ? m_list->ClientToScreen(wxPoint(std::max(first.x, 0), first.y))
                               : wxGetMousePosition();
    m_dragImage->MoveTo(corner);
    m_dragImage->Show();
    m_dragOver = this;
    m_dropAllowed = false;
    SetNodeDragActive(true);
    CaptureMouse();
    m_captured = true;
    SetCursor(m_noCursor);
}

void CNodePage::LeaveTreeTarget()
{
    if (!m_overTree) return;
    if (m_treeSavedSelection.IsOk()) m_overTree->SelectNodeItem(m_treeSavedSelection);
    m_overTree->Refresh();
    m_overTree = nullptr;
    m_treeSavedSelection = wxTreeItemId();
}

void CNodePage::DragMoveTo(const wxPoint& screenPoint)
{
    if (!IsDragging()) return;
    wxWindow* under = WindowAt(screenPoint);
    CLeftView* tree = CLeftView::FromWindow(under);
    CNodePage* page = tree ? nullptr : FromWindow(under);
    wxWindow* target = tree ? static_cast<wxWindow*>(tree) : page ? static_cast<wxWindow*>(page) : under;

    if (target != m_dragOver) {
        LeaveTreeTarget();
        m_dragOver = target;
        if (tree) {
            m_overTree = tree;
            m_treeSavedSelection = tree->GetSelection();
            BringFrameToTop(tree);
        } else if (page && page != this) {
            BringFrameToTop(page);
        }
        m_dragImage->Raise(); // above the frame just brought up
    }

    m_dropAllowed = false;
    if (tree) {
        const wxTreeItemId item = tree->ItemAtPoint(tree->ScreenToClient(screenPoint));
        if (item.IsOk()) {
            if (item != tree->GetSelection()) tree->SelectNodeItem(item);
            const XmlNodePtr node = tree->NodeOf(item);
            m_dropAllowed = node && node->nodeType() != NODE_DOCUMENT_TYPE && node->nodeType() != NODE_DOCUMENT &&
                            node != m_dragOwner;
        }
    } else if (page && page != this) {
        m_dropAllowed = !(page->GetDocument() == m_doc && CurrentNode() == m_dragOwner);
    }
    SetCursor(m_dropAllowed ? m_arrowCursor : m_noCursor);
    m_dragImage->MoveTo(screenPoint);
}

wxWindow* CNodePage::WindowAt(const wxPoint& screenPoint) const
{
    return DragImageWindow::WindowAtPoint(screenPoint, m_dragImage);
}

void CNodePage::EndDragState()
{
    SetNodeDragActive(false);
    if (m_captured) ReleaseMouse();
    m_captured = false;
    if (m_dragImage) {
        m_dragImage->Hide();
        m_dragImage->Destroy();
        m_dragImage = nullptr;
    }
    SetCursor(wxNullCursor);
}

void CNodePage::DropAt(const wxPoint& screenPoint)
{
    if (!IsDragging()) return;
    wxWindow* under = WindowAt(screenPoint);
    EndDragState();
    CLeftView* tree = CLeftView::FromWindow(under);
    CNodePage* page = tree ? nullptr : FromWindow(under);
    if (tree != m_overTree) LeaveTreeTarget();
    if (tree) MoveDraggedNodesTo(tree, nullptr, screenPoint);
    else if (page && page != this) MoveDraggedNodesTo(nullptr, page, screenPoint);
    m_overTree = nullptr;
    m_treeSavedSelection = wxTreeItemId();
    m_dragOver = nullptr;
    m_dropAllowed = false;
    m_dragRows.clear();
    m_dragNodes.clear();
    m_dragOwner.reset();
}

void CNodePage::MoveDraggedNodesTo(CLeftView* tree, CNodePage* page, const wxPoint& screenPoint)
{
    CBrindleDoc* target = nullptr;
    bool pasted = false;
    // The move is one step to undo (in each document when it goes to another).
    std::optional<CBrindleDoc::NodeStep> step;
    if (m_doc) step.emplace(*m_doc);
    if (tree) {
        const wxTreeItemId item = tree->ItemAtPoint(tree->ScreenToClient(screenPoint));
        if (!item.IsOk()) {
            LeaveTreeTarget();
            return;
        }
        const XmlNodePtr node = tree->NodeOf(item);
        // Refused onto the document, its type, and the rows' own node (pasting
        // there and deleting the originals would lose the attributes).
        if (!node || node->nodeType() == NODE_DOCUMENT_TYPE || node->nodeType() == NODE_DOCUMENT ||
            node == m_dragOwner) {
            LeaveTreeTarget(); // the tree's own selection comes back
            return;
        }
        tree->SelectNodeItem(item);
        target = tree->GetDocument();
        // The tree's paste shows its own error text.
        pasted = CopyNodes(m_dragNodes, false) && tree->PasteOnto(item);
        tree->SetFocus();
    } else {
        target = page->GetDocument();
        if (!target || (target == m_doc && target->GetCurrentNode() == m_dragOwner)) return;
        pasted = CopyNodes(m_dragNodes, false) && page->PasteOntoCurrent();
        page->SetFocus();
    }
    if (pasted && m_doc) {
        for (const XmlNodePtr& node : m_dragNodes)
            if (!m_doc->DeleteNode(node, m_dragOwner)) ShowLastError();
    }
    if (target && target != m_doc) target->UpdateAllViews();
    if (m_doc) m_doc->UpdateAllViews();
    RefreshList();
}

void CNodePage::OnBeginDrag(wxListEvent&) { BeginRowDrag(); }

void CNodePage::OnMouseMove(wxMouseEvent& event)
{
    if (IsDragging()) DragMoveTo(ClientToScreen(event.GetPosition()));
    event.Skip();
}

void CNodePage::OnLeftUp(wxMouseEvent& event)
{
    if (IsDragging()) DropAt(ClientToScreen(event.GetPosition()));
    event.Skip();
}

void CNodePage::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    // Another window took the mouse: the drag ends without a drop.
    m_captured = false;
    if (!IsDragging()) return;
    EndDragState();
    LeaveTreeTarget();
    m_dragOver = nullptr;
    m_dragRows.clear();
    m_dragNodes.clear();
    m_dragOwner.reset();
}
