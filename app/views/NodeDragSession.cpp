#include "app/views/NodeDragSession.h"

#include "app/document/BrindleDoc.h"
#include "app/views/DragImageWindow.h"
#include "app/views/LeftView.h"
#include "app/views/NodePage.h"

#include <wx/aui/tabmdi.h>

namespace {

// Brings the document frame that holds the window to the front: the frame's tab
// among the documents, or the top-level window.
void BringFrameToTop(wxWindow* window)
{
    for (wxWindow* w = window; w; w = w->GetParent()) {
        if (auto* child = dynamic_cast<wxAuiMDIChildFrame*>(w)) return child->Activate();
        if (w->IsTopLevel()) return w->Raise();
    }
}

// The window of the kind that is the window or holds it, if any.
template <class T> T* Enclosing(wxWindow* window)
{
    for (; window; window = window->GetParent())
        if (auto* found = dynamic_cast<T*>(window)) return found;
    return nullptr;
}

} // namespace

// What lies under a point: a tree (and its item there), a page, or another window.
struct NodeDragSession::Target {
    CLeftView* tree = nullptr;
    CNodePage* page = nullptr;
    wxWindow* window = nullptr;
    wxTreeItemId item;
    bool allowed = false;
};

NodeDragSession::NodeDragSession(wxWindow* source) : m_source(source)
{
    for (const auto& type : {wxEVT_MOTION, wxEVT_LEFT_UP}) m_source->Bind(type, &NodeDragSession::OnMouse, this);
    m_source->Bind(wxEVT_MOUSE_CAPTURE_LOST, &NodeDragSession::OnCaptureLost, this);
}

NodeDragSession::~NodeDragSession()
{
    Cancel();
    for (const auto& type : {wxEVT_MOTION, wxEVT_LEFT_UP}) m_source->Unbind(type, &NodeDragSession::OnMouse, this);
    m_source->Unbind(wxEVT_MOUSE_CAPTURE_LOST, &NodeDragSession::OnCaptureLost, this);
}

void NodeDragSession::Begin(NodeDragModel drag, const wxBitmap& picture, const wxPoint& screenPoint,
                            std::function<void()> afterMove)
{
    if (IsActive() || drag.IsEmpty()) return;
    s_running = this;
    m_drag = std::move(drag);
    m_afterMove = std::move(afterMove);
    m_image = new DragImageWindow(m_source, picture, wxPoint(15, 15));
    m_image->MoveTo(screenPoint);
    m_image->Show();
    if (!m_source->HasCapture()) m_source->CaptureMouse();
    // It starts over what it carries, where it cannot be dropped.
    m_source->SetCursor(wxCursor(wxCURSOR_NO_ENTRY));
}

NodeDragSession::Target NodeDragSession::TargetAt(const wxPoint& screenPoint) const
{
    Target target;
    target.window = DragImageWindow::WindowAtPoint(screenPoint, m_image);
    if ((target.tree = Enclosing<CLeftView>(target.window))) {
        target.window = target.tree;
        target.item = target.tree->ItemAtPoint(target.tree->ScreenToClient(screenPoint));
        target.allowed = m_drag.AcceptsTreeNode(target.tree->NodeOf(target.item));
    } else if ((target.page = Enclosing<CNodePage>(target.window))) {
        target.window = target.page;
        target.allowed = m_drag.AcceptsPage(target.page->GetDocument(), target.page == m_source);
    }
    return target;
}

void NodeDragSession::MoveTo(const wxPoint& screenPoint)
{
    if (s_running != this) return;
    const Target target = TargetAt(screenPoint);
    if (target.window != m_over) {
        LeaveTree();
        m_over = target.window;
        if (target.tree) {
            m_overTree = target.tree;
            m_treeSelection = target.tree->GetSelection();
        }
        if ((target.tree || target.page) && target.window != m_source) BringFrameToTop(target.window);
        m_image->Raise(); // above a frame just brought up
    }
    if (target.item.IsOk() && target.tree->GetSelection() != target.item) {
        Mark(target.tree, target.item);
        target.tree->Update();
    }
    m_dropAllowed = target.allowed;
    m_source->SetCursor(wxCursor(m_dropAllowed ? wxCURSOR_ARROW : wxCURSOR_NO_ENTRY));
    // An element's image leaves a tree place that refuses it, the cursor alone showing.
    m_image->Show(m_dropAllowed || !target.tree || !m_drag.IsElementDrag());
    m_image->MoveTo(screenPoint);
}

void NodeDragSession::DropAt(const wxPoint& screenPoint)
{
    if (s_running != this) return;
    const Target target = TargetAt(screenPoint);
    const NodeDragModel drag = m_drag;
    const std::function<void()> afterMove = m_afterMove;
    // The marker stays on the item that takes the drop; another tree gets its
    // selection back.
    if (!target.allowed || target.tree != m_overTree.get()) LeaveTree();
    End();
    if (target.tree) target.tree->SetFocus();
    if (!target.allowed) return;
    CBrindleDoc* targetDoc = target.tree ? target.tree->GetDocument() : target.page->GetDocument();
    if (!targetDoc) return;
    if (target.tree) {
        target.tree->SelectNodeItem(target.item);
        target.tree->AppendUnder(target.item, [&](const auto& node) { return drag.MoveTo(*targetDoc, node); });
    } else {
        if (!drag.MoveTo(*targetDoc, targetDoc->GetCurrentNode())) target.page->ShowLastError();
        target.page->RefreshList();
        target.page->SetFocus();
    }
    afterMove();
    targetDoc->UpdateAllViews();
    if (drag.GetDocument() != targetDoc) drag.GetDocument()->UpdateAllViews();
}

void NodeDragSession::Cancel()
{
    if (s_running != this) return;
    LeaveTree();
    End();
}

void NodeDragSession::Mark(CLeftView* tree, const wxTreeItemId& item) const
{
    // Rows make the marked item's node current in its document; an element's drag
    // moves the selection alone.
    m_drag.IsElementDrag() ? tree->SelectItem(item) : tree->SelectNodeItem(item);
}

void NodeDragSession::LeaveTree()
{
    if (CLeftView* tree = m_overTree.get()) {
        if (m_treeSelection.IsOk()) Mark(tree, m_treeSelection);
        tree->Refresh();
    }
    m_overTree = nullptr;
}

void NodeDragSession::End()
{
    m_image->Hide();
    m_image->Destroy();
    m_image = nullptr;
    if (m_source->HasCapture()) m_source->ReleaseMouse();
    m_source->SetCursor(wxNullCursor);
    m_over = nullptr;
    m_overTree = nullptr;
    m_dropAllowed = false;
    m_drag = NodeDragModel();
    m_afterMove = nullptr;
    s_running = nullptr;
}

void NodeDragSession::OnMouse(wxMouseEvent& event)
{
    if (s_running != this) return event.Skip();
    const wxPoint point = m_source->ClientToScreen(event.GetPosition());
    event.LeftUp() ? DropAt(point) : MoveTo(point);
}

void NodeDragSession::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    // Another window took the mouse: the drag ends without a drop.
    Cancel();
}
