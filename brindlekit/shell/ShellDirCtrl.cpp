#include "brindlekit/shell/ShellDirCtrl.h"

#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/shell/ShellItemCommands.h"
#include "platform/shell/ContentType.h"
#include "platform/ui/UIServices.h"

#include <wx/artprov.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include <set>

namespace brindle {

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;
constexpr int kPlainFileIcon = 0;

wxBitmap Icon(const wxString& artId, int size)
{
    return wxArtProvider::GetBitmap(artId, wxART_LIST, wxSize(size, size));
}

} // namespace

CShellDirCtrl::CShellDirCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | wxLC_EDIT_LABELS)
{
    Bind(wxEVT_LIST_COL_CLICK, &CShellDirCtrl::OnColumnClick, this);
    Bind(wxEVT_CONTEXT_MENU, &CShellDirCtrl::OnContextMenu, this);
    Bind(wxEVT_FSWATCHER, &CShellDirCtrl::OnFileSystemChange, this);
}

CShellDirCtrl::~CShellDirCtrl()
{
    Watch({});
    m_watcher.reset();
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    SetImageList(nullptr, wxIMAGE_LIST_NORMAL);
}

void CShellDirCtrl::Init()
{
    CreateImageList();
    CFTPDirCtrl::InsertFileColumns(*this);
}

bool CShellDirCtrl::CreateImageList()
{
    const wxBitmap small = Icon(wxART_NORMAL_FILE, kSmallIcon);
    const wxBitmap large = Icon(wxART_NORMAL_FILE, kLargeIcon);
    if (!small.IsOk() || !large.IsOk()) return false;
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    SetImageList(nullptr, wxIMAGE_LIST_NORMAL);
    m_images = std::make_unique<wxImageList>(kSmallIcon, kSmallIcon, true);
    m_largeImages = std::make_unique<wxImageList>(kLargeIcon, kLargeIcon, true);
    m_images->Add(small);
    m_largeImages->Add(large);
    SetImageList(m_images.get(), wxIMAGE_LIST_SMALL);
    SetImageList(m_largeImages.get(), wxIMAGE_LIST_NORMAL);
    // Icons already looked up point into the old lists.
    m_types.clear();
    return true;
}

int CShellDirCtrl::AddIcon(const std::vector<std::string>& iconNames)
{
    // The first theme name the icon theme has in both sizes; the lists stay
    // parallel, so one index serves both views.
    for (const std::string& name : iconNames) {
        const wxBitmap small = Icon(wxString::FromUTF8(name), kSmallIcon);
        const wxBitmap large = Icon(wxString::FromUTF8(name), kLargeIcon);
        if (small.IsOk() && large.IsOk()) {
            m_largeImages->Add(wxBitmap(large.ConvertToImage().Rescale(kLargeIcon, kLargeIcon)));
            return m_images->Add(wxBitmap(small.ConvertToImage().Rescale(kSmallIcon, kSmallIcon)));
        }
    }
    return kPlainFileIcon;
}

const CShellDirCtrl::TypeInfo& CShellDirCtrl::TypeOf(const ShellDirItem& item)
{
    const std::string extension = FTPDirListModel::ExtensionOf(item.name);
    auto found = m_types.find(extension);
    if (found != m_types.end()) return found->second;
    TypeInfo info;
    const ContentType type = ContentTypeOfName(item.name);
    info.name = type.description.empty() ? ShellDirListModel::DefaultTypeName(item) : type.description;
    if (m_images) info.icon = AddIcon(type.iconNames);
    return m_types.emplace(extension, std::move(info)).first->second;
}

void CShellDirCtrl::ShowRows()
{
    SetItemCount(static_cast<long>(m_model.Count()));
    wxListCtrl::Refresh();
}

ShellListResult CShellDirCtrl::SetFolder(const std::filesystem::path& folder)
{
    Freeze();
    DeleteAllItems();
    ShellListResult result;
    {
        WaitCursor wait;
        result = m_model.SetFolder(folder, [this](const ShellDirItem& item) { return TypeOf(item).name; });
    }
    ShowRows();
    Thaw();
    Watch(result.code == ShellListResult::kOk ? m_model.Folder() : std::filesystem::path());
    if (result.code == ShellListResult::kUnreadable)
        UIServices().MessageBox(result.message, MsgButtons::Ok, MsgIcon::Warning);
    return result;
}

void CShellDirCtrl::RemoveAllItems()
{
    m_model.Clear();
    DeleteAllItems();
}

bool CShellDirCtrl::GetItemPath(std::filesystem::path& path) const
{
    const long row = FirstSelected();
    if (row < 0 || static_cast<std::size_t>(row) >= m_model.Count()) return false;
    path = m_model.ItemPath(static_cast<std::size_t>(row));
    return true;
}

wxString CShellDirCtrl::OnGetItemText(long item, long column) const
{
    if (item < 0 || static_cast<std::size_t>(item) >= m_model.Count()) return {};
    return wxString::FromUTF8(m_model.Text(static_cast<std::size_t>(item), static_cast<int>(column)));
}

int CShellDirCtrl::OnGetItemImage(long item) const
{
    if (!m_images || item < 0 || static_cast<std::size_t>(item) >= m_model.Count()) return -1;
    const auto found = m_types.find(FTPDirListModel::ExtensionOf(m_model.Row(static_cast<std::size_t>(item)).name));
    return found != m_types.end() ? found->second.icon : kPlainFileIcon;
}

void CShellDirCtrl::KeepingSelection(const std::function<void()>& change)
{
    // The selection follows its files, wherever the change puts them.
    std::set<std::string> selected;
    for (long row = FirstSelected(); row >= 0; row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        if (static_cast<std::size_t>(row) < m_model.Count())
            selected.insert(m_model.Row(static_cast<std::size_t>(row)).name);
        SetItemState(row, 0, wxLIST_STATE_SELECTED);
    }
    change();
    if (GetItemCount() != static_cast<long>(m_model.Count())) SetItemCount(static_cast<long>(m_model.Count()));
    for (std::size_t row = 0; row < m_model.Count() && !selected.empty(); ++row)
        if (selected.count(m_model.Row(row).name))
            SetItemState(static_cast<long>(row), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxListCtrl::Refresh();
}

void CShellDirCtrl::SortByColumn(int column)
{
    KeepingSelection([&] { m_model.ClickColumn(column); });
}

// ---- Changes made by others ----

void CShellDirCtrl::Watch(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!m_watched.empty() && !std::filesystem::is_directory(m_watched, error)) DropWatcherOfGoneFolder();
    m_watched = folder;
    if (!m_watcher) {
        // The watcher hangs on the running event loop.
        if (folder.empty() || !wxEventLoopBase::GetActive()) return;
        m_watcher = std::make_unique<wxFileSystemWatcher>();
        m_watcher->SetOwner(this);
    }
    m_watcher->RemoveAll();
    if (folder.empty()) return;
    // A folder that cannot be watched is still listed; F5 reads it again.
    wxLogNull quiet;
    m_watcher->Add(wxFileName::DirName(wxString::FromUTF8(folder.string())),
                   wxFSW_EVENT_CREATE | wxFSW_EVENT_DELETE | wxFSW_EVENT_RENAME | wxFSW_EVENT_MODIFY);
}

void CShellDirCtrl::DropWatcherOfGoneFolder()
{
    if (!m_watcher) return;
    // The toolkit forgets the watch of a deleted folder on its own but still
    // lists it, so removing it, or deleting the watcher, fails and crashes.
    // The watcher is left to itself instead: it tells only itself from now on.
    m_watcher->SetOwner(m_watcher.get());
    (void)m_watcher.release();
    m_watched.clear();
}

void CShellDirCtrl::OnFileSystemChange(wxFileSystemWatcherEvent& event)
{
    const std::filesystem::path folder = m_model.Folder();
    if (folder.empty()) return;
    const auto describe = [this](const ShellDirItem& item) { return TypeOf(item).name; };
    const wxFileName& path = event.GetPath();
    const auto same = [](const std::filesystem::path& a, const std::filesystem::path& b) {
        return (a / "").lexically_normal() == (b / "").lexically_normal();
    };
    const bool inFolder = same(path.GetPath().utf8_string(), folder);
    const std::string name = path.GetFullName().utf8_string();
    const bool self = !inFolder || name.empty();
    switch (event.GetChangeType()) {
    case wxFSW_EVENT_CREATE:
    case wxFSW_EVENT_MODIFY:
        if (!self) KeepingSelection([&] { m_model.FileChanged(name, describe); });
        break;
    case wxFSW_EVENT_DELETE:
    case wxFSW_EVENT_RENAME:
        if (self || !std::filesystem::exists(folder)) {
            DropWatcherOfGoneFolder();
            KeepingSelection([&] { m_model.FolderGone(); });
        } else if (event.GetChangeType() == wxFSW_EVENT_DELETE) {
            KeepingSelection([&] { m_model.FileRemoved(name); });
        } else {
            const std::string to = event.GetNewPath().GetFullName().utf8_string();
            KeepingSelection([&] { m_model.FileRenamed(name, to, describe); });
        }
        break;
    case wxFSW_EVENT_WARNING:
        // Changes were lost (the queue overflowed): read the folder again.
        Refresh();
        break;
    default:
        break;
    }
}

// ---- Commands ----

bool CShellDirCtrl::InvokeCommand(int command, const wxPoint&)
{
    std::filesystem::path path;
    if (!GetItemPath(path)) return false;
    return command == 0 || RunShellCommand(command, path, this);
}

std::unique_ptr<TarnMenu> CShellDirCtrl::CreateContextMenu()
{
    auto menu = std::make_unique<TarnMenu>();
    if (m_menuId != 0) {
        if (!menu->LoadMenu(m_menuId)) return nullptr;
        menu->LoadToolbar(m_toolbarId);
        return menu;
    }
    if (FirstSelected() < 0) return nullptr;
    menu->AppendItems(ShellItemMenuItems());
    return menu;
}

void CShellDirCtrl::PopupMenu(const wxPoint& at)
{
    std::unique_ptr<TarnMenu> menu = CreateContextMenu();
    if (!menu) return;
    // The owner of the menu's commands answers for their states.
    menu->InitMenuPopup(m_menuId != 0 && GetParent() ? *GetParent() : *static_cast<wxWindow*>(this), false);
    const int chosen = GetPopupMenuSelectionFromUser(*menu, at);
    if (chosen != wxID_NONE) OnMenuChoice(chosen, at);
}

void CShellDirCtrl::OnMenuChoice(int command, const wxPoint& at)
{
    if (m_menuId == 0 || command == kShellCommandProperties) {
        InvokeCommand(command, at);
        return;
    }
    if (command <= 0 || !GetParent()) return;
    wxCommandEvent event(wxEVT_MENU, command);
    event.SetEventObject(this);
    GetParent()->ProcessWindowEvent(event);
}

void CShellDirCtrl::OnContextMenu(wxContextMenuEvent& event)
{
    wxPoint at = event.GetPosition();
    if (at == wxDefaultPosition) {
        // From the keyboard: at the selected row, or the top left corner.
        wxRect rect;
        const long row = FirstSelected();
        at = row >= 0 && GetItemRect(row, rect) ? rect.GetLeftBottom() : wxPoint(0, 0);
    } else {
        at = ScreenToClient(at);
    }
    PopupMenu(at);
}

} // namespace brindle
