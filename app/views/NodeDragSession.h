#pragma once

#include "app/views/NodeDragModel.h"

#include <wx/bitmap.h>
#include <wx/event.h>
#include <wx/treebase.h>
#include <wx/weakref.h>

#include <functional>

class DragImageWindow;
class NodeDropSite;

// A node drag with the mouse, from a node tree or a node list page (the source
// window, which holds the mouse meanwhile) to a tree or a page of any document:
// the drag image under the pointer, the frame under it brought to the top, the
// tree item under it selected as the drop marker (the tree's own selection comes
// back when the pointer leaves), the cursor telling whether a drop there is
// taken, and at the drop the move. Each source window owns one; at most one runs
// at a time, and while it does the views leave their selection and rows alone.
class NodeDragSession {
public:
    explicit NodeDragSession(wxWindow* source);
    ~NodeDragSession();

    // Starts dragging what the model holds, the picture's hot spot at the screen
    // point; afterMove runs after a drop moved the nodes. Nothing starts for an
    // empty model or while another drag runs.
    void Begin(NodeDragModel drag, const wxBitmap& picture, const wxPoint& screenPoint,
               std::function<void()> afterMove);
    // The pointer moved to, or the button was released at, a screen point (the
    // mouse handlers call them, tests too); Cancel ends the drag without a drop.
    void MoveTo(const wxPoint& screenPoint);
    void DropAt(const wxPoint& screenPoint);
    void Cancel();

    // Whether a drop where the drag last moved to would be taken.
    bool IsDropAllowed() const { return m_dropAllowed; }
    // The drag that runs, if any.
    static NodeDragSession* Running() { return s_running; }
    static bool IsActive() { return s_running != nullptr; }

private:
    struct Target;
    Target TargetAt(const wxPoint& screenPoint) const;
    // The tree the pointer was over gets its own selection back.
    void LeaveSite();
    void End();
    void OnMouse(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    static inline NodeDragSession* s_running = nullptr;

    wxWindow* m_source;
    NodeDragModel m_drag;
    std::function<void()> m_afterMove;
    DragImageWindow* m_image = nullptr;
    const wxWindow* m_over = nullptr; // the tree, page or other window under the pointer
    wxWeakRef<wxWindow> m_overSite;   // the tree or page under the pointer
    NodeDropSite* m_site = nullptr;   // the same, while m_overSite lives
    wxTreeItemId m_marker;            // the drop marker the site had
    bool m_dropAllowed = false;
};
