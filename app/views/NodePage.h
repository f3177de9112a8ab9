#pragma once

#include "app/views/NodeListModel.h"

#include <wx/cursor.h>
#include <wx/panel.h>
#include <wx/treebase.h>

#include <memory>
#include <vector>

class CBrindleDoc;
class CLeftView;
class DragImageWindow;
class wxImageList;
class wxListCtrl;
class wxListEvent;

// The "Nodes" page: a report list of the attributes and the non-element children
// of the document's current node, where those are created, edited, renamed,
// cut, copied, pasted, deleted and dragged to another node. The rows come from a
// NodeListModel; the list is virtual, so a node with many attributes lists at
// once. Every change goes through the document's node operations.
class CNodePage : public wxPanel {
public:
    CNodePage(wxWindow* parent, CBrindleDoc* doc);
    ~CNodePage() override;

    CBrindleDoc* GetDocument() const { return m_doc; }
    wxListCtrl* GetList() const { return m_list; }
    const NodeListModel& GetModel() const { return m_model; }

    // The document changed: the rows are made again and the commands' state asked.
    void OnDocumentChanged();
    // The document is closing; the page must not reach it any more.
    void DetachDocument();
    // Makes the rows again from the current node; skipped while a node drag runs.
    void RefreshList();
    // Pastes the clipboard onto the current node; the error text is shown on
    // failure. True when something was pasted.
    bool PasteOntoCurrent();

    // The commands and their enable rules, callable without a menu.
    bool ExecuteCommand(int id);
    bool IsCommandEnabled(int id) const;

    // The selected rows, top to bottom, and their nodes.
    std::vector<long> SelectedRows() const;
    std::vector<brindle::XmlNodePtr> SelectedNodes() const;
    // Selects exactly these rows.
    void SelectRows(const std::vector<long>& rows);

    // Label editing: whether the row's name may be edited, and the end of an
    // edit (the rename). Public so that tests drive them without typing.
    bool CanEditLabel(long row) const;
    bool FinishLabelEdit(long row, const wxString& text);

    // Row drag and drop, as the mouse handlers drive it (screen coordinates).
    void BeginRowDrag();
    void DragMoveTo(const wxPoint& screenPoint);
    void DropAt(const wxPoint& screenPoint);
    bool IsDragging() const { return m_dragImage != nullptr; }
    const DragImageWindow* GetDragImage() const { return m_dragImage; }
    // Whether a drop at the last point the drag moved to would be taken.
    bool IsDropAllowed() const { return m_dropAllowed; }

    // The page the window is or lies in, if any.
    static CNodePage* FromWindow(wxWindow* window);

private:
    brindle::XmlNodePtr CurrentNode() const;
    void ShowLastError();
    void ShowDomError(const brindle::DomError& error, const std::string& context);
    void EditSelected();
    void CreateNew(int kind, const std::string& name);
    // Copies the nodes into a "___CLIPBOARD___" wrapper on the clipboard; with
    // cut, each is deleted after its copy. False when nothing reached the clipboard.
    bool CopyNodes(const std::vector<brindle::XmlNodePtr>& nodes, bool cut);
    void DeleteSelected();
    void StartRename();
    void ShowProperties();

    // The drag image: the visible dragged rows drawn over a see-through colour.
    DragImageWindow* MakeDragImage() const;
    // The window under the pointer, the drag image left out.
    wxWindow* WindowAt(const wxPoint& screenPoint) const;
    // The pointer left the tree it was over: its own selection comes back.
    void LeaveTreeTarget();
    // Ends the drag image, the mouse capture and the node-drag flag.
    void EndDragState();
    void MoveDraggedNodesTo(CLeftView* tree, CNodePage* page, const wxPoint& screenPoint);

    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnItemActivated(wxListEvent& event);
    void OnBeginLabelEdit(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    void OnBeginDrag(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnListFocus(wxFocusEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    CBrindleDoc* m_doc;
    NodeListModel m_model;
    wxListCtrl* m_list = nullptr;
    std::unique_ptr<wxImageList> m_largeImages; // the row pictures at 32 pixels, for the edit dialog

    // Drag state.
    std::vector<long> m_dragRows;
    std::vector<brindle::XmlNodePtr> m_dragNodes;
    brindle::XmlNodePtr m_dragOwner; // the current node when the drag began
    DragImageWindow* m_dragImage = nullptr;
    bool m_captured = false;
    wxWindow* m_dragOver = nullptr;   // the window under the pointer
    CLeftView* m_overTree = nullptr;  // the tree the pointer is over, if any
    wxTreeItemId m_treeSavedSelection;
    bool m_dropAllowed = false;
    wxCursor m_arrowCursor;
    wxCursor m_noCursor;
};
