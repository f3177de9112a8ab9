#pragma once

#include <wx/treebase.h>

class CBrindleDoc;
class NodeDragModel;
class wxWindow;

// A window that takes node drops, as the drag session sees it: a node tree (whose
// items are the drop places) or a node list page (the page as a whole).
class NodeDropSite {
public:
    // The tree item under the screen point; none on a page.
    virtual wxTreeItemId DropItemAt(const wxPoint&) const { return {}; }
    // Whether the drag, started in the source window, may drop at the item.
    virtual bool TakesDrop(const NodeDragModel& drag, const wxTreeItemId& item, const wxWindow* source) const = 0;
    // The item marked as the drop place (a tree's selection), and marking one;
    // rows being dragged make the marked node current as well.
    virtual wxTreeItemId DropMarker() const { return {}; }
    virtual void MarkDrop(const wxTreeItemId&, bool /*makeCurrent*/) {}
    // Moves the dragged nodes to the item; failures are told.
    virtual void TakeDrop(const NodeDragModel& drag, const wxTreeItemId& item) = 0;
    virtual CBrindleDoc* DropDocument() const = 0;

protected:
    ~NodeDropSite() = default;
};
