#pragma once

#include "app/views/NodeDragSession.h"
#include "app/views/NodeDropSite.h"
#include "app/views/NodeTreeModel.h"

#include <wx/treectrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CBrindleDoc;

// The node tree of an XML document: the document node, its DOCTYPE and its
// elements, where elements are added, renamed, moved, cut, copied, pasted and
// deleted through the document's node operations. Items are made lazily: an
// element's children get items when it is first expanded.
class CLeftView : public wxTreeCtrl, public NodeDropSite {
public:
    CLeftView(wxWindow* parent, CBrindleDoc* doc);
    ~CLeftView() override;

    CBrindleDoc* GetDocument() const { return m_doc; }
    // The document is closing; the view must not reach it any more.
    void DetachDocument();

    // The first build of the tree, once the document is loaded.
    void OnInitialUpdate();
    // The document notified its views: rebuilds when a rebuild is pending.
    void OnDocumentUpdate();
    // Drops every item and builds the tree again from the DOM, selecting the item
    // with the path of the document's current node, if any.
    void Rebuild();
    // Drops every item, and the nodes they hold, until the next rebuild: while
    // the text is edited, the tree it will replace need not stay in memory.
    void ReleaseNodes();

    // The node an item stands for (null for none).
    brindle::XmlNodePtr NodeOf(const wxTreeItemId& item) const;
    // The item of a node, made (and its ancestors expanded) when needed; invalid
    // when the node has no item.
    wxTreeItemId ItemOf(const brindle::XmlNodePtr& node);
    // Selects the item, scrolls it into view and makes its node the current one.
    void SelectNodeItem(const wxTreeItemId& item);
    // The item under a point of this window (client coordinates); invalid for none.
    wxTreeItemId ItemAtPoint(const wxPoint& point) const;
    // Runs an insert of nodes under the item's node (a paste, a drop) and makes
    // items for what it appended; the error text is shown on failure.
    bool AppendUnder(const wxTreeItemId& target, const std::function<bool(const brindle::XmlNodePtr&)>& insert);

    // The path shown in the status pane: the last selected node's.
    const std::string& GetStatusPath() const { return m_statusPath; }

    // The command handlers and their enable rules, callable without a menu.
    bool ExecuteCommand(int id);
    bool IsCommandEnabled(int id) const;

    // Starts dragging the item's element from a screen point (the drag runs in
    // NodeDragSession::Running()); tests call it with synthetic points.
    void BeginNodeDrag(const wxTreeItemId& item, const wxPoint& screenPoint);
    // As a drop site, the items are the drop places.
    wxTreeItemId DropItemAt(const wxPoint& screenPoint) const override;
    bool TakesDrop(const NodeDragModel& drag, const wxTreeItemId& item, const wxWindow* source) const override;
    wxTreeItemId DropMarker() const override { return GetSelection(); }
    void MarkDrop(const wxTreeItemId& item, bool makeCurrent) override;
    void TakeDrop(const NodeDragModel& drag, const wxTreeItemId& item) override;
    CBrindleDoc* DropDocument() const override { return m_doc; }

    // Label editing ends: the rename with the namespace rule. False leaves the
    // old label. Public so that tests drive it without typing.
    bool FinishLabelEdit(const wxTreeItemId& item, const wxString& text);

protected:
    // Asks for the URI of an unknown prefix; nullopt when the user cancels.
    virtual std::optional<std::string> AskNamespace();

private:
    struct ItemData;

    NodeTreeModel::Item* ModelItem(const wxTreeItemId& item) const;
    wxTreeItemId AppendModelItem(const wxTreeItemId& parent, NodeTreeModel::Item& item);
    // Items for model items of the top level that have none yet.
    void ShowNewTopLevelItems();
    // Makes the items of the item's children (the model makes them first).
    void FillChildren(const wxTreeItemId& parent);
    void ExpandItem(const wxTreeItemId& item);
    // Opens the model item's ancestors, so that it has a window item, and gives it.
    wxTreeItemId ShowModelItem(NodeTreeModel::Item& item);
    void RemoveItem(const wxTreeItemId& item);
    void BuildTree();
    void RegisterPrefix(const std::string& name, const std::string& uri);
    const std::string* KnownPrefixUri(const std::string& prefix) const;
    void NotifyViews();
    void ShowLastError();

    void AddNode(bool sibling);
    void CopyNode(bool cut);
    void DeleteSelected();
    void SelectAfterRemoval();
    // Undo or Redo of the document's node history; the tree is built again.
    void StepHistory(bool undo);
    void ShowProperties();
    bool Rename(NodeTreeModel::Item& item, const std::string& name);

    void OnItemExpanding(wxTreeEvent& event);
    void OnSelChanged(wxTreeEvent& event);
    void OnBeginLabelEdit(wxTreeEvent& event);
    void OnEndLabelEdit(wxTreeEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);

    CBrindleDoc* m_doc;
    NodeTreeModel m_model;
    std::vector<std::pair<std::string, std::string>> m_knownPrefixes;
    std::string m_statusPath;
    bool m_initialised = false;
    bool m_rebuilding = false;
    bool m_rebuildQueued = false;
    NodeDragSession m_drag{this};
};
