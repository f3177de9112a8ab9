#include "app/explorer/FileExplorerView.h"

#include "app/menus/Menus.h"
#include "app/views/EditSourceView.h"
#include "brindlekit/shell/ShellDirCtrl.h"
#include "brindlekit/shell/ShellFolderCtrl.h"
#include "resources/CommandIds.h"

#include <wx/accel.h>
#include <wx/docview.h>
#include <wx/sizer.h>
#include <wx/splitter.h>

using namespace ids;

namespace {

constexpr int kFolderTreeId = 112;
constexpr int kFileListId = 113;
constexpr int kShellPropertiesCommand = 20;

// Puts a control alone into a view, filling it.
void Fill(wxWindow* view, wxWindow* control)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(control, 1, wxEXPAND);
    view->SetSizer(sizer);
}

// The point a context menu shows at: where the mouse was, or for the menu key
// the window's top left corner.
wxPoint MenuPoint(wxWindow* window, const wxContextMenuEvent& event)
{
    const wxPoint at = event.GetPosition();
    return at == wxDefaultPosition ? wxPoint(0, 0) : window->ScreenToClient(at);
}

} // namespace

// ---- Folder tree ----

CShellFolderView::CShellFolderView(wxWindow* parent) : wxPanel(parent)
{
    m_tree = new brindle::CShellFolderCtrl(this, kFolderTreeId);
    m_tree->Init();
    Fill(this, m_tree);
    m_tree->Bind(wxEVT_TREE_SEL_CHANGED, &CShellFolderView::OnSelChanged, this);
    m_tree->Bind(wxEVT_CONTEXT_MENU, &CShellFolderView::OnContextMenu, this);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_tree->Refresh(); }, ID_SHELLFOLDER_REFRESH);
    Bind(wxEVT_MENU, &CShellFolderView::OnProperties, this, ID_SHELLFOLDER_PROPERTIES);
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(m_tree->GetSelection().IsOk()); },
         ID_SHELLFOLDER_PROPERTIES);
    m_tree->Bind(wxEVT_SET_FOCUS, [](wxFocusEvent& event) {
        RequestEditMenu(IDR_SHELLFOLDER);
        event.Skip();
    });
    const wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F5, ID_SHELLFOLDER_REFRESH},
                                       {wxACCEL_ALT, WXK_RETURN, ID_SHELLFOLDER_PROPERTIES}};
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(keys)), keys));
}

void CShellFolderView::OnSelChanged(wxTreeEvent& event)
{
    std::filesystem::path folder;
    if (m_list && m_tree->GetSelectedFolderPath(folder)) m_list->SetFolder(folder);
    event.Skip();
}

void CShellFolderView::OnContextMenu(wxContextMenuEvent& event)
{
    const wxPoint at = MenuPoint(m_tree, event);
    if (event.GetPosition() != wxDefaultPosition) {
        int flags = 0;
        const wxTreeItemId item = m_tree->HitTest(at, flags);
        if (item.IsOk())
            m_tree->SelectItem(item);
        else
            m_tree->UnselectAll();
    }
    TrackContextMenu(this, IDR_SHELLFOLDER, ScreenToClient(m_tree->ClientToScreen(at)));
}

void CShellFolderView::OnProperties(wxCommandEvent&)
{
    m_tree->InvokeCommand(kShellPropertiesCommand, wxGetMousePosition());
}

// ---- File list ----

CShellDirView::CShellDirView(wxWindow* parent) : wxPanel(parent)
{
    m_list = new brindle::CShellDirCtrl(this, kFileListId);
    m_list->Init();
    m_list->SetMenu(IDR_SHELLDIR, IDR_EXPLORERIMAGES);
    m_list->SetFolder({}); // empty until a folder is chosen
    Fill(this, m_list);
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { Open(); });
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Open(); }, ID_SHELLDIR_OPEN);
    Bind(wxEVT_MENU, &CShellDirView::OnFilter, this, ID_SHELLDIR_FILTER_XML, ID_SHELLDIR_FILTER_ALL);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_list->Refresh(); }, ID_SHELLDIR_REFRESH);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { m_list->InvokeCommand(kShellPropertiesCommand, wxGetMousePosition()); },
         ID_SHELLDIR_PROPERTIES);
    Bind(wxEVT_UPDATE_UI, &CShellDirView::OnUpdateNeedsSelection, this, ID_SHELLDIR_OPEN);
    Bind(wxEVT_UPDATE_UI, &CShellDirView::OnUpdateNeedsSelection, this, ID_SHELLDIR_PROPERTIES);
    m_list->Bind(wxEVT_SET_FOCUS, [](wxFocusEvent& event) {
        RequestEditMenu(IDR_SHELLDIR);
        event.Skip();
    });
    const wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F5, ID_SHELLDIR_REFRESH},
                                       {wxACCEL_NORMAL, WXK_RETURN, ID_SHELLDIR_OPEN},
                                       {wxACCEL_ALT, WXK_RETURN, ID_SHELLDIR_PROPERTIES}};
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(keys)), keys));
}

void CShellDirView::Open()
{
    std::filesystem::path path;
    if (!m_list->GetItemPath(path)) return;
    if (wxDocManager* manager = wxDocManager::GetDocumentManager())
        manager->CreateDocument(wxString::FromUTF8(path.string()));
}

void CShellDirView::OnFilter(wxCommandEvent& event)
{
    static const char* const kExtensions[] = {".xml", ".xsl", ".xsd", ".dtd", ""};
    m_list->SetFilter(kExtensions[event.GetId() - ID_SHELLDIR_FILTER_XML]);
    m_list->Refresh();
}

void CShellDirView::OnUpdateNeedsSelection(wxUpdateUIEvent& event) { event.Enable(m_list->GetSelectedItemCount() > 0); }

// ---- The page ----

CZevFileExplorerView::CZevFileExplorerView(wxWindow* parent) : wxPanel(parent)
{
    auto* rows = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3DSASH);
    rows->SetMinimumPaneSize(32);
    m_folders = new CShellFolderView(rows);
    m_files = new CShellDirView(rows);
    rows->SplitHorizontally(m_folders, m_files, 200);
    m_folders->SetDirCtrl(&m_files->List());
    Fill(this, rows);
}
