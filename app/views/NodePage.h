#pragma once

#include "app/views/NodeDragSession.h"
#include "app/views/NodeDropSite.h"
#include "app/views/NodeListModel.h"

#include <wx/panel.h>

#include <memory>
#include <vector>

class CBrindleDoc;
class wxImageList;
class wxListCtrl;
class wxListEvent;

// The "Nodes" page: a report list of the attributes and the non-element children
// of the document's current node, where those are created, edited, renamed,
// cut, copied, pasted, deleted and dragged to another node. The rows come from a
// NodeListModel; the list is virtual, so a node with many attributes lists at
// once. Every change goes through the document's node operations.
class CNodePage : public wxPanel, public NodeDropSite {
public:
    CNodePage(wxWindow* parent, CBrindleDoc* doc);

    CBrindleDoc* GetDocument() const { return m_doc; }
    wxListCtrl* GetList() const { return m_list; }
    const NodeListModel& GetModel() const { return m_model; }

    // The document changed: the rows are made again and the commands' state asked.
    void OnDocumentChanged();
    // The document is closing; the page must not reach it any more.
    void DetachDocument();
    // Drops the rows, and the nodes they hold, until the next refresh.
    void ReleaseNodes();
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

    // Starts dragging the selected rows (the drag runs in
    // NodeDragSession::Running()).
    void BeginRowDrag();
    // As a drop site, the page takes the nodes onto the current node.
    bool TakesDrop(const NodeDragModel& drag, const wxTreeItemId& item, const wxWindow* source) const override;
    void TakeDrop(const NodeDragModel& drag, const wxTreeItemId& item) override;
    CBrindleDoc* DropDocument() const override { return m_doc; }
    // Shows the stored error text in a message box.
    void ShowLastError();

private:
    brindle::XmlNodePtr CurrentNode() const;
    void ShowDomError(const brindle::DomError& error, const std::string& context);
    void EditSelected();
    void CreateNew(int kind, const std::string& name);
    // Copies the nodes into a "___CLIPBOARD___" wrapper on the clipboard; with
    // cut, each is deleted after its copy. False when nothing reached the clipboard.
    bool CopyNodes(const std::vector<brindle::XmlNodePtr>& nodes, bool cut);
    void DeleteSelected();
    void StartRename();
    void ShowProperties();

    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnItemActivated(wxListEvent& event);
    void OnBeginLabelEdit(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnListFocus(wxFocusEvent& event);

    CBrindleDoc* m_doc;
    NodeListModel m_model;
    wxListCtrl* m_list = nullptr;
    std::unique_ptr<wxImageList> m_largeImages; // the row pictures at 32 pixels, for the edit dialog
    NodeDragSession m_drag{this};
};
