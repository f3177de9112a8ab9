#include "brindlekit/shell/ShellFolderCtrl.h"

#include "brindlekit/shell/ShellItemCommands.h"
#include "brindlekit/shell/ShellRoots.h"
#include "platform/ui/UIServices.h"

#include <wx/artprov.h>

namespace brindle {

namespace {
constexpr int kIconSize = 16;
enum Icon { kClosedIcon = 0, kOpenIcon = 1 };
} // namespace

// Points at the entry an item shows; the entry belongs to the model and
// outlives the item, whose children are always deleted before the model
// forgets theirs.
class CShellFolderCtrl::EntryData : public wxTreeItemData {
public:
    explicit EntryData(ShellFolderEntry& entry) : m_entry(&entry) {}
    ShellFolderEntry* m_entry;
};

CShellFolderCtrl::CShellFolderCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxTreeCtrl(parent, id, pos, size, wxTR_DEFAULT_STYLE | wxTR_HIDE_ROOT)
{
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CShellFolderCtrl::OnExpanding, this);
}

CShellFolderCtrl::~CShellFolderCtrl()
{
    // The items' data points into the model: they go first.
    DeleteAllItems();
    SetImageList(nullptr);
}

void CShellFolderCtrl::Init()
{
    auto images = std::make_unique<wxImageList>(kIconSize, kIconSize, true);
    bool ok = true;
    for (const char* id : {wxART_FOLDER, wxART_FOLDER_OPEN}) {
        const wxBitmap bitmap = wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(kIconSize, kIconSize));
        ok = ok && bitmap.IsOk() && images->Add(bitmap) >= 0;
    }
    if (ok) {
        m_images = std::move(images);
        SetImageList(m_images.get());
    }
    SetFolder(DefaultShellRoots(ShellRootSources::FromEnvironment()));
}

void CShellFolderCtrl::SetFolder(const std::vector<ShellRoot>& roots)
{
    Freeze();
    DeleteAllItems();
    m_tree.SetRoots(roots);
    const wxTreeItemId top = AddRoot(wxString());
    for (std::size_t i = 0; i < m_tree.RootCount(); ++i) AddItem(top, m_tree.Root(i));
    Thaw();
}

void CShellFolderCtrl::SetFolder(const std::filesystem::path& folder)
{
    const std::string title = folder.has_filename() ? folder.filename().string() : folder.string();
    SetFolder(std::vector<ShellRoot>{{title, folder}});
}

ShellFolderEntry* CShellFolderCtrl::EntryOf(const wxTreeItemId& item) const
{
    if (!item.IsOk()) return nullptr;
    const auto* data = dynamic_cast<EntryData*>(GetItemData(item));
    return data ? data->m_entry : nullptr;
}

void CShellFolderCtrl::AddItem(const wxTreeItemId& parent, ShellFolderEntry& entry)
{
    const int closed = m_images ? kClosedIcon : -1;
    const int open = m_images ? kOpenIcon : -1;
    const wxTreeItemId item = AppendItem(parent, wxString::FromUTF8(ShellFolderTree::Label(entry)), closed, open,
                                         new EntryData(entry));
    SetItemHasChildren(item, entry.hasSubfolders);
}

void CShellFolderCtrl::AddChildren(const wxTreeItemId& item, ShellFolderEntry& entry)
{
    for (const auto& child : entry.children) AddItem(item, *child);
    SetItemHasChildren(item, entry.hasSubfolders);
    if (!entry.problem.empty()) UIServices().MessageBox(entry.problem, MsgButtons::Ok, MsgIcon::Warning);
}

void CShellFolderCtrl::OnExpanding(wxTreeEvent& event)
{
    ShellFolderEntry* entry = EntryOf(event.GetItem());
    if (!entry || entry->expandedOnce) return;
    {
        WaitCursor wait;
        m_tree.Expand(*entry);
    }
    AddChildren(event.GetItem(), *entry);
}

wxTreeItemId CShellFolderCtrl::ChildNamed(const wxTreeItemId& parent, const std::string& name) const
{
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk(); child = GetNextChild(parent, cookie)) {
        const ShellFolderEntry* entry = EntryOf(child);
        if (entry && entry->path.filename() == name) return child;
    }
    return {};
}

bool CShellFolderCtrl::SelectFolder(const std::filesystem::path& folder)
{
    const std::filesystem::path target = folder.lexically_normal();
    // The starting point that holds the folder with the fewest steps left.
    wxTreeItemId item;
    std::filesystem::path steps;
    wxTreeItemIdValue cookie;
    const wxTreeItemId top = GetRootItem();
    for (wxTreeItemId root = GetFirstChild(top, cookie); root.IsOk(); root = GetNextChild(top, cookie)) {
        const std::filesystem::path relative = target.lexically_relative(EntryOf(root)->path.lexically_normal());
        if (relative.empty() || *relative.begin() == "..") continue;
        const auto count = [](const std::filesystem::path& p) { return std::distance(p.begin(), p.end()); };
        if (!item.IsOk() || count(relative) < count(steps)) {
            item = root;
            steps = relative;
        }
    }
    if (!item.IsOk()) return false;
    bool reached = true;
    for (const std::filesystem::path& step : steps) {
        if (step == "." || step.empty()) continue;
        Expand(item);
        const wxTreeItemId child = ChildNamed(item, step.string());
        if (!child.IsOk()) {
            reached = false;
            break;
        }
        item = child;
    }
    SelectItem(item);
    EnsureVisible(item);
    return reached;
}

bool CShellFolderCtrl::GetSelectedFolderPath(std::filesystem::path& path) const
{
    const ShellFolderEntry* entry = EntryOf(GetSelection());
    if (!entry) return false;
    path = entry->path;
    return true;
}

bool CShellFolderCtrl::InvokeCommand(int command, const wxPoint&)
{
    std::filesystem::path path;
    if (!GetSelectedFolderPath(path)) return false;
    return command == 0 || RunShellCommand(command, path, this);
}

void CShellFolderCtrl::Refresh()
{
    const wxTreeItemId item = GetSelection();
    ShellFolderEntry* entry = EntryOf(item);
    if (!entry) return;
    const bool expanded = IsExpanded(item);
    Freeze();
    DeleteChildren(item);
    {
        WaitCursor wait;
        m_tree.Refresh(*entry);
    }
    if (entry->expandedOnce) AddChildren(item, *entry);
    else SetItemHasChildren(item, entry->hasSubfolders);
    if (expanded && entry->hasSubfolders) Expand(item);
    Thaw();
}

} // namespace brindle
