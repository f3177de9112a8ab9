#include "app/views/NodeDragSession.h"

#include "app/document/BrindleDoc.h"
#include "app/views/DragImageWindow.h"
#include "app/views/NodeDropSite.h"

#include <wx/aui/tabmdi.h>
#include <wx/treectrl.h>

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
    NodeDropSite* site = nullptr;
    wxWindow* window = nullptr;
    bool tree = false;
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
    if ((target.site = Enclosing<NodeDropSite>(target.window))) {
        target.window = dynamic_cast<wxWindow*>(target.site);
        target.tree = dynamic_cast<wxTreeCtrl*>(target.window) != nullptr;
        target.item = target.site->DropItemAt(screenPoint);
        target.allowed = target.site->TakesDrop(m_drag, target.item, m_source);
    }
    return target;
}

void NodeDragSession::MoveTo(const wxPoint& screenPoint)
{
    if (s_running != this) return;
    const Target target = TargetAt(screenPoint);
    if (target.window != m_over) {
        LeaveSite();
        m_over = target.window;
        if (target.site) {
            m_overSite = target.window;
            m_site = target.site;
            m_marker = target.site->DropMarker();
            if (target.window != m_source) BringFrameToTop(target.window);
        }
        m_image->Raise(); // above a frame just brought up
    }
    if (target.item.IsOk() && target.site->DropMarker() != target.item) {
        target.site->MarkDrop(target.item, !m_drag.IsElementDrag());
        target.window->Update();
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
    if (!target.allowed || target.window != m_overSite.get()) LeaveSite();
    End();
    if (target.tree) target.window->SetFocus();
    if (!target.allowed) return;
    CBrindleDoc* targetDoc = target.site->DropDocument();
    if (!targetDoc) return;
    target.site->TakeDrop(drag, target.item);
    afterMove();
    targetDoc->UpdateAllViews();
    if (drag.GetDocument() != targetDoc) drag.GetDocument()->UpdateAllViews();
}

void NodeDragSession::Cancel()
{
    if (s_running != this) return;
    LeaveSite();
    End();
}

void NodeDragSession::LeaveSite()
{
    if (wxWindow* window = m_overSite.get()) {
        if (m_marker.IsOk()) m_site->MarkDrop(m_marker, !m_drag.IsElementDrag());
        window->Refresh();
    }
    m_overSite = nullptr;
    m_site = nullptr;
}

void NodeDragSession::End()
{
    m_image->Hide();
    m_image->Destroy();
    m_image = nullptr;
    if (m_source->HasCapture()) m_source->ReleaseMouse();
    m_source->SetCursor(wxNullCursor);
    m_over = nullptr;
    m_overSite = nullptr;
    m_site = nullptr;
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
