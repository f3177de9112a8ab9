#include "brindlekit/ftp/FTPDirCtrl.h"

#include "brindlekit/ftp/FTPFolderRules.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/ui/UIServices.h"

#include <wx/artprov.h>
#include <wx/mimetype.h>

#include <algorithm>
#include <set>
#include <vector>

namespace brindle {

namespace {

struct ColumnSpec {
    const char* header;
    wxListColumnFormat align;
    int width;
};
// File name, size, type, modified.
const ColumnSpec kColumns[FTPDirListModel::kColumnCount] = {
    {"文件名", wxLIST_FORMAT_LEFT, 150},
    {"大小", wxLIST_FORMAT_RIGHT, 50},
    {"类型", wxLIST_FORMAT_LEFT, 100},
    {"修改时间", wxLIST_FORMAT_LEFT, 130},
};

constexpr int kIconSize = 16;
enum Icon { kDocumentIcon = 0, kProgramIcon = 1 };

bool IsProgram(const std::string& extension)
{
    static const std::set<std::string> programs = {"exe", "com", "bat", "cmd", "sh", "bin", "run", "appimage"};
    return programs.count(extension) != 0;
}

} // namespace

CFTPDirCtrl::CFTPDirCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL)
{
    Bind(wxEVT_LIST_COL_CLICK, &CFTPDirCtrl::OnColumnClick, this);
}

CFTPDirCtrl::~CFTPDirCtrl()
{
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
}

void CFTPDirCtrl::Init()
{
    CreateImageList();
    InsertFileColumns(*this);
}

void CFTPDirCtrl::InsertFileColumns(wxListCtrl& list)
{
    for (int c = 0; c < FTPDirListModel::kColumnCount; ++c)
        list.InsertColumn(c, wxString::FromUTF8(kColumns[c].header), kColumns[c].align, kColumns[c].width);
}

bool CFTPDirCtrl::CreateImageList()
{
    auto images = std::make_unique<wxImageList>(kIconSize, kIconSize, true);
    for (const char* id : {wxART_NORMAL_FILE, wxART_EXECUTABLE_FILE}) {
        const wxBitmap bitmap = wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(kIconSize, kIconSize));
        if (!bitmap.IsOk() || images->Add(bitmap) < 0) {
            SetImageList(nullptr, wxIMAGE_LIST_SMALL);
            m_images.reset();
            return false;
        }
    }
    m_images = std::move(images);
    SetImageList(m_images.get(), wxIMAGE_LIST_SMALL);
    return true;
}

// ---- Types and icons ----

bool CFTPDirCtrl::GetFileTypeName(const std::string& name, std::string& typeName)
{
    const std::string extension = FTPDirListModel::ExtensionOf(name);
    if (extension.empty() || !wxTheMimeTypesManager) return false;
    std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(extension)));
    wxString description;
    if (!type || !type->GetDescription(&description) || description.empty()) return false;
    typeName = description.utf8_string();
    return true;
}

const CFTPDirCtrl::TypeInfo& CFTPDirCtrl::TypeOf(const std::string& fileName)
{
    const std::string extension = FTPDirListModel::ExtensionOf(fileName);
    auto found = m_types.find(extension);
    if (found != m_types.end()) return found->second;
    TypeInfo info;
    if (!GetFileTypeName(fileName, info.name)) info.name = FTPDirListModel::FallbackTypeName(extension);
    if (m_images) info.icon = IsProgram(extension) ? kProgramIcon : kDocumentIcon;
    return m_types.emplace(extension, info).first->second;
}

int CFTPDirCtrl::GetItemIcon(const std::string& name)
{
    return TypeOf(name).icon;
}

// ---- Contents ----

void CFTPDirCtrl::ShowRows()
{
    SetItemCount(static_cast<long>(m_model.Count()));
    wxListCtrl::Refresh();
}

bool CFTPDirCtrl::SetFolder(const CFTPFolderItem& folder)
{
    Freeze();
    WaitCursor wait;
    RemoveAllItems();
    m_folder = folder;
    CFTPFolderServer* server = folder.GetFolderServer();
    if (!folder.IsListable()) {
        UIServices().MessageBox(ftp_tree::UnusableFolderMessage(folder), MsgButtons::Ok, MsgIcon::Warning);
    } else if (server) {
        std::unique_ptr<CFTPFileFind> finder;
        if (server->GetFiles(finder, folder.GetEntryPath()) && finder)
            m_model.AddListing(*finder, [this](CFTPDirItem& item) { Describe(item); });
    }
    ShowRows();
    Thaw();
    return true;
}

void CFTPDirCtrl::Describe(CFTPDirItem& item)
{
    const TypeInfo& type = TypeOf(item.name);
    item.typeName = type.name;
    item.icon = type.icon;
}

void CFTPDirCtrl::AddFile(const CFTPFileFind& finder)
{
    CFTPDirItem item = FTPDirListModel::ItemOf(finder);
    Describe(item);
    m_model.Add(std::move(item));
    if (!IsFrozen()) ShowRows();
}

void CFTPDirCtrl::Refresh()
{
    if (m_folder) SetFolder(*m_folder);
}

void CFTPDirCtrl::RemoveAllItems()
{
    // The folder's server may be deleted next; a later Refresh must not reach it.
    m_folder.reset();
    m_model.Clear();
    DeleteAllItems();
}

// ---- Questions ----

const CFTPDirItem* CFTPDirCtrl::GetSelectedDirItem() const
{
    const long row = FirstSelected();
    if (row < 0 || static_cast<std::size_t>(row) >= m_model.Count()) return nullptr;
    return &m_model.Row(static_cast<std::size_t>(row));
}

bool CFTPDirCtrl::GetFileProperties(std::unique_ptr<CFTPFileFind>& finder, long index)
{
    finder.reset();
    const long row = index == -1 ? FirstSelected() : index;
    if (row < 0 || static_cast<std::size_t>(row) >= m_model.Count() || !m_folder) return false;
    CFTPFolderServer* server = m_folder->GetFolderServer();
    if (!server || !m_folder->IsListable()) return false;
    const std::string name = m_model.Row(static_cast<std::size_t>(row)).name;
    std::unique_ptr<CFTPFileFind> listing;
    if (!server->GetFiles(listing, m_folder->GetEntryPath()) || !listing) return false;
    bool more = true;
    while (more) {
        more = listing->FindNextFile();
        if (listing->GetFileName() == name) {
            finder = std::move(listing);
            return true;
        }
    }
    listing->Close();
    return false;
}

// ---- Drawing and sorting ----

wxString CFTPDirCtrl::OnGetItemText(long item, long column) const
{
    if (item < 0 || static_cast<std::size_t>(item) >= m_model.Count()) return {};
    return wxString::FromUTF8(m_model.Text(static_cast<std::size_t>(item), static_cast<int>(column)));
}

int CFTPDirCtrl::OnGetItemImage(long item) const
{
    if (item < 0 || static_cast<std::size_t>(item) >= m_model.Count()) return -1;
    return m_model.Row(static_cast<std::size_t>(item)).icon;
}

void CFTPDirCtrl::SortByColumn(int column)
{
    // The selection follows its rows through the sort.
    std::set<const CFTPDirItem*> selected;
    for (long row = FirstSelected(); row >= 0; row = NextSelected(row)) {
        selected.insert(&m_model.Row(static_cast<std::size_t>(row)));
        SelectRow(row, false);
    }
    m_model.ClickColumn(column);
    for (std::size_t row = 0; row < m_model.Count() && !selected.empty(); ++row)
        if (selected.count(&m_model.Row(row))) SelectRow(static_cast<long>(row), true);
    wxListCtrl::Refresh();
}

void CFTPDirCtrl::OnColumnClick(wxListEvent& event)
{
    SortByColumn(event.GetColumn());
}

} // namespace brindle
