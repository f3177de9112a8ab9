#include "brindlekit/shell/ShellDirCtrl.h"

#include "brindlekit/ftp/FTPDirCtrl.h"
#include "platform/ui/UIServices.h"

#include <wx/artprov.h>

#include <set>

namespace brindle {

namespace {

constexpr int kIconSize = 16;

} // namespace

CShellDirCtrl::CShellDirCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | wxLC_EDIT_LABELS)
{
    Bind(wxEVT_LIST_COL_CLICK, &CShellDirCtrl::OnColumnClick, this);
}

CShellDirCtrl::~CShellDirCtrl()
{
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
}

void CShellDirCtrl::Init()
{
    const wxBitmap file = wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, wxSize(kIconSize, kIconSize));
    if (file.IsOk()) {
        m_images = std::make_unique<wxImageList>(kIconSize, kIconSize, true);
        m_images->Add(file);
        SetImageList(m_images.get(), wxIMAGE_LIST_SMALL);
    }
    CFTPDirCtrl::InsertFileColumns(*this);
}

std::string CShellDirCtrl::TypeOf(const ShellDirItem& item)
{
    const std::string extension = FTPDirListModel::ExtensionOf(item.name);
    auto found = m_types.find(extension);
    if (found != m_types.end()) return found->second;
    std::string name;
    if (!CFTPDirCtrl::GetFileTypeName(item.name, name)) name = ShellDirListModel::DefaultTypeName(item);
    return m_types.emplace(extension, name).first->second;
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
        result = m_model.SetFolder(folder, [this](const ShellDirItem& item) { return TypeOf(item); });
    }
    ShowRows();
    Thaw();
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
    return m_images && item >= 0 && static_cast<std::size_t>(item) < m_model.Count() ? 0 : -1;
}

void CShellDirCtrl::SortByColumn(int column)
{
    // The selection follows its files through the sort.
    std::set<std::string> selected;
    for (long row = FirstSelected(); row >= 0; row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        selected.insert(m_model.Row(static_cast<std::size_t>(row)).name);
        SetItemState(row, 0, wxLIST_STATE_SELECTED);
    }
    m_model.ClickColumn(column);
    for (std::size_t row = 0; row < m_model.Count() && !selected.empty(); ++row)
        if (selected.count(m_model.Row(row).name))
            SetItemState(static_cast<long>(row), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxListCtrl::Refresh();
}

} // namespace brindle
