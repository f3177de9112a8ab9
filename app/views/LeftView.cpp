#include "app/views/LeftView.h"

#include "app/document/BrindleDoc.h"
#include "app/views/AddNamespaceDlg.h"
#include "app/menus/Menus.h"
#include "app/views/DocPrinter.h"
#include "app/views/DragImageWindow.h"
#include "app/views/EditSourceView.h"
#include "app/views/NodeIcons.h"
#include "app/views/NodePropertyDlg.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"


using namespace brindle;
using namespace ids;
using Item = NodeTreeModel::Item;

namespace {

constexpr int kCommands[] = {ID_NODE_CHILD,  ID_NODE_SIBLING, ID_EDIT_CUT,   ID_EDIT_COPY, ID_EDIT_PASTE,
                             ID_EDIT_DELETE, ID_EDIT_RENAME,  ID_PROPERTIES, ID_REFRESH,   ID_EDIT_UNDO,
                             ID_EDIT_REDO,   ID_FILE_PRINT,   ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW};

bool IsOfType(const XmlNodePtr& node, XmlNodeType type) { return node && node->nodeType() == type; }

// Whether the node still belongs to its document's tree (a load replaces the tree
// and leaves the old nodes without parents).
bool IsInDocument(XmlNodePtr node)
{
    while (node && node->nodeType() != NODE_DOCUMENT) node = node->parentNode();
    return node != nullptr;
}

// The URI the prefix is bound to where the node stands ("" when it is not bound).
std::string InScopeNamespace(XmlNodePtr node, const std::string& prefix)
{
    for (; node; node = node->parentNode()) {
        XmlElementPtr element = node->asElement();
        if (!element) continue;
        for (const auto& [declared, uri] : element->namespaceDeclarations())
            if (declared == prefix) return uri;
    }
    return {};
}

std::string PrefixOf(const std::string& name)
{
    const auto colon = name.find(':');
    return colon == std::string::npos ? std::string() : name.substr(0, colon);
}

} // namespace

struct CLeftView::ItemData : wxTreeItemData {
    explicit ItemData(Item* i) : item(i) {}
    Item* item;
};

CLeftView::CLeftView(wxWindow* parent, CBrindleDoc* doc)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_EDIT_LABELS | wxTR_HIDE_ROOT | wxTR_SINGLE |
                     wxBORDER_SUNKEN),
      m_doc(doc)
{
    AssignImageList(CreateNodeTreeImages());
    AddRoot(wxString());
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CLeftView::OnItemExpanding, this);
    Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::OnSelChanged, this);
    Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, &CLeftView::OnBeginLabelEdit, this);
    Bind(wxEVT_TREE_END_LABEL_EDIT, &CLeftView::OnEndLabelEdit, this);
    // The drag is not allowed to the control: the view runs it itself.
    Bind(wxEVT_TREE_BEGIN_DRAG, [this](wxTreeEvent& event) {
        BeginNodeDrag(event.GetItem(), ClientToScreen(event.GetPoint()));
    });
    Bind(wxEVT_RIGHT_DOWN, &CLeftView::OnRightDown, this);
    Bind(wxEVT_SET_FOCUS, &CLeftView::OnFocus, this);
    // F2 renames the selected item, as elsewhere on the desktop.
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F2 && event.GetModifiers() == wxMOD_NONE) ExecuteCommand(ID_EDIT_RENAME);
        else event.Skip();
    });
    for (int id : kCommands) {
        Bind(wxEVT_MENU, &CLeftView::OnCommand, this, id);
        Bind(wxEVT_UPDATE_UI, &CLeftView::OnUpdateCommand, this, id);
    }
}

CLeftView::~CLeftView()
{
    m_drag.Cancel();
    // The items point into the model; they go first.
    DeleteAllItems();
}

void CLeftView::DetachDocument() { m_doc = nullptr; }

// --- items

Item* CLeftView::ModelItem(const wxTreeItemId& item) const
{
    if (!item.IsOk()) return nullptr;
    auto* data = static_cast<ItemData*>(GetItemData(item));
    return data ? data->item : nullptr;
}

XmlNodePtr CLeftView::NodeOf(const wxTreeItemId& item) const
{
    const Item* model = ModelItem(item);
    return model ? model->node : nullptr;
}

wxTreeItemId CLeftView::AppendModelItem(const wxTreeItemId& parent, Item& item)
{
    const wxTreeItemId id = AppendItem(parent, wxString::FromUTF8(item.label), item.image, item.selectedImage,
                                       new ItemData(&item));
    item.handle = id.GetID();
    if (NodeTreeModel::HasChildren(item)) SetItemHasChildren(id, true);
    RegisterPrefix(item.label, std::string());
    return id;
}

void CLeftView::ShowNewTopLevelItems()
{
    for (const auto& item : m_model.TopLevel())
        if (!item->handle) AppendModelItem(GetRootItem(), *item);
}

void CLeftView::FillChildren(const wxTreeItemId& parent)
{
    Item* item = ModelItem(parent);
    if (!item) return;
    for (const auto& child : m_model.Children(*item))
        if (!child->handle) AppendModelItem(parent, *child);
    ShowNewTopLevelItems();
}

void CLeftView::ExpandItem(const wxTreeItemId& item)
{
    FillChildren(item);
    if (GetChildrenCount(item, false) > 0) Expand(item);
}

wxTreeItemId CLeftView::ShowModelItem(Item& item)
{
    // The ancestors are opened top first; opening one makes its children's items.
    std::vector<Item*> way;
    for (Item* up = item.parent; up; up = up->parent) way.push_back(up);
    for (auto it = way.rbegin(); it != way.rend(); ++it) ExpandItem(wxTreeItemId((*it)->handle));
    if (!item.handle) ShowNewTopLevelItems();
    return wxTreeItemId(item.handle);
}

wxTreeItemId CLeftView::ItemOf(const XmlNodePtr& node)
{
    if (!node) return {};
    std::vector<XmlNodePtr> chain; // the node, its parent, ... up to the top
    for (XmlNodePtr up = node; up; up = up->parentNode()) chain.push_back(up);
    const std::vector<std::unique_ptr<Item>>* level = &m_model.TopLevel();
    Item* found = nullptr;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        Item* match = nullptr;
        for (const auto& candidate : *level)
            if (candidate->node == *it) match = candidate.get();
        if (!match) {
            // Nodes that get no item (an entity reference) are passed over.
            if (!NodeTreeModel::GetsItem(*it) || !found) continue;
            return {};
        }
        found = match;
        if (it + 1 != chain.rend()) level = &m_model.Children(*found);
    }
    return found && found->node == node ? ShowModelItem(*found) : wxTreeItemId();
}

void CLeftView::RemoveItem(const wxTreeItemId& item)
{
    Item* model = ModelItem(item);
    if (!model) return;
    const wxTreeItemId parent = GetItemParent(item);
    Delete(item);
    m_model.Remove(*model);
    if (Item* parentModel = ModelItem(parent); parentModel && parentModel->children.empty())
        SetItemHasChildren(parent, NodeTreeModel::HasChildren(*parentModel));
}

wxTreeItemId CLeftView::ItemAtPoint(const wxPoint& point) const
{
    int flags = 0;
    const wxTreeItemId item = const_cast<CLeftView*>(this)->HitTest(point, flags);
    constexpr int kOnRow = wxTREE_HITTEST_ONITEM | wxTREE_HITTEST_ONITEMINDENT | wxTREE_HITTEST_ONITEMRIGHT |
                           wxTREE_HITTEST_ONITEMBUTTON;
    return (flags & kOnRow) ? item : wxTreeItemId();
}

void CLeftView::SelectNodeItem(const wxTreeItemId& item)
{
    if (!item.IsOk()) return;
    SelectItem(item);
    EnsureVisible(item);
    if (XmlNodePtr node = NodeOf(item); node && m_doc) {
        m_doc->SetCurrentNode(node);
        m_statusPath = CBrindleDoc::GetNodePath(node);
    }
}

// --- building

void CLeftView::BuildTree()
{
    m_rebuilding = true;
    // All items go, with every reference the control keeps to them.
    DeleteAllItems();
    AddRoot(wxString());
    m_model.Clear();
    m_knownPrefixes.clear();
    if (m_doc && m_doc->GetDomDocument()) {
        m_model.Build(m_doc->GetDomDocument());
        ShowNewTopLevelItems();
    }
    m_rebuilding = false;
}

void CLeftView::OnInitialUpdate()
{
    if (m_initialised || !m_doc) return;
    m_initialised = true;
    BuildTree();
    // The tree is as new as the DOM now.
    m_doc->SetTreeRebuildPending(false);
    wxTreeItemIdValue cookie;
    if (const wxTreeItemId first = GetFirstChild(GetRootItem(), cookie); first.IsOk()) ExpandItem(first);
}

void CLeftView::OnDocumentUpdate()
{
    if (!m_doc) return;
    if (!m_initialised) {
        OnInitialUpdate();
        return;
    }
    // The tree is rebuilt once the handler that notified has returned: it may
    // still hold items of the old tree.
    if (!m_doc->IsTreeRebuildPending() || m_rebuildQueued) return;
    m_doc->SetTreeRebuildPending(false);
    m_rebuildQueued = true;
    CallAfter([this] {
        m_rebuildQueued = false;
        if (!m_doc) return;
        Rebuild();
        NotifyViews();
    });
}

void CLeftView::Rebuild()
{
    if (!m_doc) return;
    // A load replaces the document's nodes: the current node is then an old one,
    // whose place is known by the path last shown.
    std::string path;
    if (m_doc->HasCurrentNode())
        path = IsInDocument(m_doc->GetCurrentNode()) ? CBrindleDoc::GetNodePath(m_doc->GetCurrentNode()) : m_statusPath;
    BuildTree();
    Item* found = m_model.FindByPath(path);
    if (!found) {
        if (m_doc->HasCurrentNode() && !IsInDocument(m_doc->GetCurrentNode())) m_doc->SetCurrentNode(nullptr);
        return;
    }
    const wxTreeItemId item = ShowModelItem(*found);
    m_doc->SetCurrentNode(found->node);
    ExpandItem(item);
    SelectNodeItem(item);
}

void CLeftView::ReleaseNodes()
{
    m_rebuilding = true;
    DeleteAllItems();
    AddRoot(wxString());
    m_model.Clear();
    m_rebuilding = false;
}

void CLeftView::NotifyViews()
{
    if (m_doc) m_doc->UpdateAllViews();
}

void CLeftView::ShowLastError() { m_doc->Errors().Tell(); }

// --- namespaces

void CLeftView::RegisterPrefix(const std::string& name, const std::string& uri)
{
    const std::string prefix = PrefixOf(name);
    if (prefix.empty() || KnownPrefixUri(prefix)) return;
    m_knownPrefixes.emplace_back(prefix, uri);
}

const std::string* CLeftView::KnownPrefixUri(const std::string& prefix) const
{
    for (const auto& [known, uri] : m_knownPrefixes)
        if (known == prefix) return &uri;
    return nullptr;
}

std::optional<std::string> CLeftView::AskNamespace()
{
    CAddNamespaceDlg dialog(this);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return dialog.m_namespace.utf8_string();
}

// --- commands

bool CLeftView::IsCommandEnabled(int id) const
{
    const wxTreeItemId selected = GetSelection();
    const XmlNodePtr node = NodeOf(selected);
    const bool isDocument = IsOfType(node, NODE_DOCUMENT);
    const bool editable = node && !isDocument && !IsOfType(node, NODE_DOCUMENT_TYPE);
    switch (id) {
    case ID_NODE_CHILD: return !(isDocument && ItemHasChildren(selected));
    case ID_NODE_SIBLING: return !isDocument && !(node && IsOfType(node->parentNode(), NODE_DOCUMENT));
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_DELETE:
    case ID_EDIT_RENAME: return editable;
    case ID_EDIT_PASTE: return node && !IsOfType(node, NODE_DOCUMENT_TYPE) && Clipboard().HasText();
    // The property dialog needs a node.
    case ID_PROPERTIES: return node != nullptr;
    case ID_REFRESH: return true;
    case ID_EDIT_UNDO: return m_doc && m_doc->CanUndoNodeStep();
    case ID_EDIT_REDO: return m_doc && m_doc->CanRedoNodeStep();
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: return m_doc != nullptr;
    default: return false;
    }
}

bool CLeftView::ExecuteCommand(int id)
{
    if (!m_doc || !IsCommandEnabled(id)) return false;
    switch (id) {
    case ID_NODE_CHILD: AddNode(false); break;
    case ID_NODE_SIBLING: AddNode(true); break;
    case ID_EDIT_CUT: CopyNode(true); break;
    case ID_EDIT_COPY: CopyNode(false); break;
    case ID_EDIT_PASTE:
        AppendUnder(GetSelection(), [this](const XmlNodePtr& node) {
            XmlNodePtr pasted;
            return m_doc->PasteNode(node, pasted);
        });
        break;
    case ID_EDIT_DELETE: DeleteSelected(); break;
    case ID_EDIT_RENAME:
        if (!IsOfType(m_doc->GetCurrentNode(), NODE_DOCUMENT_TYPE)) EditLabel(GetSelection());
        break;
    case ID_PROPERTIES: ShowProperties(); break;
    case ID_REFRESH: Rebuild(); break;
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO: StepHistory(id == ID_EDIT_UNDO); break;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: return RunDocPrintCommand(this, *m_doc, id);
    default: return false;
    }
    return true;
}

void CLeftView::StepHistory(bool undo)
{
    if (!(undo ? m_doc->UndoNodeStep() : m_doc->RedoNodeStep())) ShowLastError();
    // The items go with the nodes they showed; the node the step was about is
    // selected in the new tree.
    m_doc->SetTreeRebuildPending(false);
    const XmlNodePtr current = m_doc->GetCurrentNode();
    BuildTree();
    const wxTreeItemId item = ItemOf(current);
    if (item.IsOk()) {
        ExpandItem(item);
        SelectNodeItem(item);
    } else {
        m_doc->SetCurrentNode(nullptr);
    }
    NotifyViews();
}

void CLeftView::OnCommand(wxCommandEvent& event)
{
    if (!ExecuteCommand(event.GetId())) event.Skip();
}

void CLeftView::OnUpdateCommand(wxUpdateUIEvent& event) { event.Enable(m_doc && IsCommandEnabled(event.GetId())); }

void CLeftView::AddNode(bool sibling)
{
    wxTreeItemId selected = GetSelection();
    if (!selected.IsOk()) {
        // With nothing selected a child goes under the document.
        wxTreeItemIdValue cookie;
        selected = GetFirstChild(GetRootItem(), cookie);
        if (sibling || !selected.IsOk()) return;
        SelectNodeItem(selected);
    }
    const XmlNodePtr node = NodeOf(selected);
    const wxTreeItemId parentItem = sibling ? GetItemParent(selected) : selected;
    Item* parentModel = ModelItem(parentItem);
    if (!node || !parentModel) return;
    const XmlNodePtr created = m_doc->CreateNode(NODE_ELEMENT, sibling ? "NewSibling" : "NewChild", std::string(),
                                                 sibling ? node->parentNode() : nullptr, "");
    if (!created) {
        ShowLastError();
        return;
    }
    wxTreeItemId item;
    if (Item* added = m_model.AddChild(*parentModel, created)) {
        item = AppendModelItem(parentItem, *added);
    } else {
        // The parent's children were not made yet: making them now includes the new one.
        FillChildren(parentItem);
        item = ItemOf(created);
    }
    SetItemHasChildren(parentItem, true);
    Expand(parentItem);
    SelectNodeItem(item);
    NotifyViews();
    EditLabel(item);
}

void CLeftView::CopyNode(bool cut)
{
    const wxTreeItemId selected = GetSelection();
    const XmlNodePtr node = NodeOf(selected);
    if (!m_doc->CopyNodeToClipboard(node)) {
        UIServices().MessageBox(cut ? "Error pasting node to clipboard" : "Error copying node to clipboard",
                                MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    if (cut && m_doc->DeleteNode(node, nullptr)) {
        RemoveItem(selected);
        SelectAfterRemoval();
    }
}

void CLeftView::DeleteSelected()
{
    const wxTreeItemId selected = GetSelection();
    if (!m_doc->DeleteNode(NodeOf(selected), nullptr)) return;
    RemoveItem(selected);
    SelectAfterRemoval();
}

void CLeftView::SelectAfterRemoval()
{
    // The removed node is current no more: the item now selected (if any) is.
    if (const wxTreeItemId now = GetSelection(); now.IsOk()) SelectNodeItem(now);
    else m_doc->SetCurrentNode(nullptr);
    NotifyViews();
}

bool CLeftView::AppendUnder(const wxTreeItemId& target, const std::function<bool(const XmlNodePtr&)>& insert)
{
    Item* targetModel = ModelItem(target);
    if (!m_doc || !targetModel) return false;
    XmlNodePtr lastBefore = targetModel->node->lastChild();
    const bool ok = insert(targetModel->node);
    if (ok) {
        if (targetModel->childrenBuilt) {
            // Items for what was appended: the nodes after the old last child.
            XmlNodePtr added = lastBefore ? lastBefore->nextSibling() : targetModel->node->firstChild();
            for (; added; added = added->nextSibling())
                if (Item* item = m_model.AddChild(*targetModel, added)) AppendModelItem(target, *item);
        }
        if (NodeTreeModel::HasChildren(*targetModel)) {
            SetItemHasChildren(target, true);
            ExpandItem(target);
        }
    } else {
        ShowLastError();
    }
    NotifyViews();
    return ok;
}

void CLeftView::ShowProperties()
{
    const XmlNodePtr node = NodeOf(GetSelection());
    if (!node) return;
    CNodePropertyDlg dialog(this, "Element Properties");
    dialog.SetNode(node);
    dialog.ShowModal();
}

// --- label editing

void CLeftView::OnBeginLabelEdit(wxTreeEvent& event)
{
    const XmlNodePtr node = NodeOf(event.GetItem());
    if (!node || IsOfType(node, NODE_DOCUMENT) || IsOfType(node, NODE_DOCUMENT_TYPE)) event.Veto();
}

void CLeftView::OnEndLabelEdit(wxTreeEvent& event)
{
    // The edit closes with whatever was typed; the rename runs after it and puts
    // the node's name back on the item whatever came of it.
    if (event.IsEditCancelled()) return;
    const XmlNodePtr node = NodeOf(event.GetItem());
    const wxString text = event.GetLabel();
    CallAfter([this, node, text] {
        if (const wxTreeItemId item = ItemOf(node); item.IsOk()) FinishLabelEdit(item, text);
    });
}

bool CLeftView::FinishLabelEdit(const wxTreeItemId& item, const wxString& text)
{
    Item* model = ModelItem(item);
    if (!m_doc || !model) return false;
    const std::string name = text.utf8_string();
    bool renamed = false;
    if (!name.empty() && name != model->node->nodeName()) renamed = Rename(*model, name);
    SetItemText(item, wxString::FromUTF8(model->label));
    return renamed;
}

bool CLeftView::Rename(Item& item, const std::string& name)
{
    std::string uri;
    const std::string prefix = PrefixOf(name);
    if (!prefix.empty()) {
        if (const std::string* known = KnownPrefixUri(prefix)) {
            uri = *known;
        } else {
            std::optional<std::string> asked = AskNamespace();
            if (!asked) return false;
            uri = *asked;
        }
        // Prefixes found in the document are known without their URI: the one in
        // force where the element stands is meant.
        if (uri.empty()) uri = InScopeNamespace(item.node->parentNode(), prefix);
        // A prefix bound to nothing would write XML that does not parse.
        if (uri.empty()) {
            UIServices().MessageBox("The prefix \"" + prefix + "\" is bound to no namespace. The name stays as it was.",
                                    MsgButtons::Ok, MsgIcon::Error);
            return false;
        }
    }
    XmlNodePtr replacement;
    const bool ok = m_doc->RenameNode(item.node, name, replacement, uri);
    if (ok && replacement) {
        RegisterPrefix(name, uri);
        item.node = replacement;
        item.label = replacement->nodeName();
        m_doc->SetCurrentNode(replacement);
        m_statusPath = CBrindleDoc::GetNodePath(replacement);
    } else {
        ShowLastError();
    }
    NotifyViews();
    return ok && replacement;
}

// --- selection and expansion

void CLeftView::OnItemExpanding(wxTreeEvent& event)
{
    FillChildren(event.GetItem());
    event.Skip();
}

void CLeftView::OnSelChanged(wxTreeEvent& event)
{
    event.Skip();
    // A drag moves the selection as its drop marker.
    if (m_rebuilding || NodeDragSession::IsActive() || !m_doc) return;
    const XmlNodePtr node = NodeOf(event.GetItem());
    if (!node) return;
    m_doc->SetCurrentNode(node);
    m_statusPath = CBrindleDoc::GetNodePath(node);
    NotifyViews();
}

void CLeftView::OnFocus(wxFocusEvent& event)
{
    RequestEditMenu(IDR_TREE_EDIT);
    event.Skip();
}

void CLeftView::OnRightDown(wxMouseEvent& event)
{
    const wxTreeItemId item = ItemAtPoint(event.GetPosition());
    if (!item.IsOk()) return;
    SetFocus();
    SelectItem(item);
    TrackContextMenu(this, IDR_TREE_EDIT, event.GetPosition());
}

// --- drag and drop

void CLeftView::BeginNodeDrag(const wxTreeItemId& item, const wxPoint& screenPoint)
{
    if (!m_doc) return;
    // The dragged item is the selected one; the selection comes back to it when
    // the drop marker leaves. Once moved, the element has left, and its item goes.
    if (GetSelection() != item) SelectItem(item);
    // The picture: the item's image and label.
    const wxString label = GetItemText(item);
    const wxSize text = GetTextExtent(label);
    const wxRect rect(0, 0, text.x + 26, std::max(18, text.y + 4));
    const wxBitmap picture = DragImageWindow::RowsPicture(*this, GetImageList(), {{rect, GetItemImage(item), label}});
    m_drag.Begin(NodeDragModel(*m_doc, NodeOf(item)), picture, screenPoint, [this, item] {
        if (const XmlNodePtr node = NodeOf(item); node && !node->parentNode()) RemoveItem(item);
    });
}

wxTreeItemId CLeftView::DropItemAt(const wxPoint& screenPoint) const { return ItemAtPoint(ScreenToClient(screenPoint)); }

bool CLeftView::TakesDrop(const NodeDragModel& drag, const wxTreeItemId& item, const wxWindow*) const
{
    return drag.AcceptsTreeNode(NodeOf(item));
}

void CLeftView::MarkDrop(const wxTreeItemId& item, bool makeCurrent)
{
    makeCurrent ? SelectNodeItem(item) : SelectItem(item);
}

void CLeftView::TakeDrop(const NodeDragModel& drag, const wxTreeItemId& item)
{
    SelectNodeItem(item);
    AppendUnder(item, [&](const brindle::XmlNodePtr& node) { return drag.MoveTo(*m_doc, node); });
}
