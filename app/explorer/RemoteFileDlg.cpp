#include "app/explorer/RemoteFileDlg.h"

#include "app/explorer/FTPServerDlg.h"
#include "app/explorer/RemoteFileIds.h"
#include "app/explorer/FTPFilePropSheet.h"
#include "app/explorer/FTPFolderView.h"
#include "app/menus/Menus.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "platform/net/FtpNames.h"
#include "platform/ui/UIServices.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/docview.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

using namespace brindle;
using namespace remote_ids;

namespace {

constexpr int kFolderImage = 0;
constexpr int kFileImage = 1;

wxImageList* Icons(int size)
{
    auto* images = new wxImageList(size, size, true, 2);
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_LIST, wxSize(size, size)));
    images->Add(wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, wxSize(size, size)));
    return images;
}

wxString Text(const std::string& utf8) { return wxString::FromUTF8(utf8); }

} // namespace

CRemoteFileDlg::CRemoteFileDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Remote File", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    BuildControls();

    Bind(wxEVT_TREE_SEL_CHANGED, &CRemoteFileDlg::OnTreeSelChanged, this, ID_TREE);
    Bind(wxEVT_TREE_ITEM_MENU, &CRemoteFileDlg::OnTreeMenu, this, ID_TREE);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnAddServer, this, ID_ADD_SERVER);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnServerProperties, this, ID_SERVER_PROPERTIES);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnDeleteServer, this, ID_DELETE_SERVER);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnRefreshServer, this, ID_REFRESH_SERVER);
    Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& event) { event.Enable(false); }, ID_DISCONNECT);
    Bind(wxEVT_TOOL, &CRemoteFileDlg::OnUp, this, ID_UP);
    Bind(wxEVT_TOOL, &CRemoteFileDlg::OnCreateDirectory, this, ID_CREATE_DIRECTORY);
    Bind(wxEVT_TOOL, &CRemoteFileDlg::OnRowProperties, this, ID_FILE_PROPERTIES);
    Bind(wxEVT_TOOL, &CRemoteFileDlg::OnViewMenu, this, ID_VIEW_MENU);
    Bind(wxEVT_TOOL_DROPDOWN, &CRemoteFileDlg::OnViewMenu, this, ID_VIEW_MENU);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnDeleteRow, this, ID_DELETE_ROW);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnRenameRow, this, ID_RENAME_ROW);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnOpenRow, this, ID_OPEN_ROW);
    Bind(wxEVT_MENU, &CRemoteFileDlg::OnViewMode, this, ID_VIEW_SMALL_ICONS, ID_VIEW_DETAILS);
    Bind(wxEVT_COMBOBOX, &CRemoteFileDlg::OnLookIn, this, ID_LOOK_IN);
    Bind(wxEVT_BUTTON, &CRemoteFileDlg::OnAccept, this, ID_ACCEPT);
    Bind(wxEVT_LIST_ITEM_SELECTED, &CRemoteFileDlg::OnRowSelected, this, ID_LIST);
    Bind(wxEVT_LIST_ITEM_ACTIVATED, &CRemoteFileDlg::OnRowActivated, this, ID_LIST);
    Bind(wxEVT_LIST_BEGIN_LABEL_EDIT, &CRemoteFileDlg::OnBeginLabelEdit, this, ID_LIST);
    Bind(wxEVT_LIST_END_LABEL_EDIT, &CRemoteFileDlg::OnEndLabelEdit, this, ID_LIST);
    Bind(wxEVT_CHAR_HOOK, &CRemoteFileDlg::OnCharHook, this);
    m_list->Bind(wxEVT_CONTEXT_MENU, &CRemoteFileDlg::OnListMenu, this);
}

CRemoteFileDlg::~CRemoteFileDlg()
{
    // The windows go first, while the dialog is whole; what their removal
    // reports (a tree selection moving) is ignored.
    m_closing = true;
    DestroyChildren();
    m_browser.Disconnect();
    delete m_treeImages;
}

void CRemoteFileDlg::BuildControls()
{
    // Left: the servers, growing with the dialog's height.
    auto* servers = new wxStaticBoxSizer(wxVERTICAL, this, "Remote Servers");
    m_tree = new CFTPFolderCtrl(servers->GetStaticBox(), ID_TREE, wxDefaultPosition, wxSize(180, 300),
                                wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE);
    m_treeImages = CreateFtpTreeImages();
    m_tree->SetImageList(m_treeImages);
    m_tree->SetExpansion(false);
    m_tree->Init();
    if (m_tree->GetRootItem().IsOk()) m_tree->Expand(m_tree->GetRootItem());
    servers->Add(m_tree, 1, wxEXPAND | wxALL, 4);

    // Right: "Look in:" with the toolbar, the list, the name and type rows.
    auto* browser = new wxStaticBoxSizer(wxVERTICAL, this, "File Browser");
    wxWindow* box = browser->GetStaticBox();
    auto* lookInRow = new wxBoxSizer(wxHORIZONTAL);
    lookInRow->Add(new wxStaticText(box, wxID_ANY, "Look in:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    m_lookIn = new wxComboBox(box, ID_LOOK_IN, {}, wxDefaultPosition, wxSize(220, -1), 0, nullptr, wxCB_READONLY);
    lookInRow->Add(m_lookIn, 1, wxALIGN_CENTER_VERTICAL);
    m_toolBar = new wxToolBar(box, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL | wxTB_NODIVIDER);
    const wxSize tool(16, 16);
    m_toolBar->AddTool(ID_UP, "Up One Level", wxArtProvider::GetBitmap(wxART_GO_DIR_UP, wxART_TOOLBAR, tool),
                       "Up One Level");
    m_toolBar->AddTool(ID_CREATE_DIRECTORY, "Create Directory",
                       wxArtProvider::GetBitmap(wxART_NEW_DIR, wxART_TOOLBAR, tool), "Create Directory");
    // The view button as a whole opens its menu, arrow or not.
    m_toolBar->AddTool(ID_VIEW_MENU, "View", wxArtProvider::GetBitmap(wxART_REPORT_VIEW, wxART_TOOLBAR, tool),
                       wxNullBitmap, wxITEM_DROPDOWN, "View");
    m_toolBar->AddTool(ID_FILE_PROPERTIES, "Properties",
                       wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_TOOLBAR, tool), "Properties");
    m_toolBar->Realize();
    lookInRow->Add(m_toolBar, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    browser->Add(lookInRow, 0, wxEXPAND | wxALL, 4);

    m_list = new wxListCtrl(box, ID_LIST, wxDefaultPosition, wxSize(400, 260),
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS);
    m_list->AssignImageList(Icons(16), wxIMAGE_LIST_SMALL);
    m_list->AssignImageList(Icons(32), wxIMAGE_LIST_NORMAL);
    AddColumns();
    browser->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 4);

    auto* rows = new wxFlexGridSizer(3, wxSize(6, 6));
    rows->AddGrowableCol(1);
    rows->Add(new wxStaticText(box, wxID_ANY, "File Name:"), 0, wxALIGN_CENTER_VERTICAL);
    m_fileName = new wxTextCtrl(box, ID_FILE_NAME);
    rows->Add(m_fileName, 1, wxEXPAND);
    m_accept = new wxButton(box, ID_ACCEPT, "Open");
    m_accept->SetDefault();
    rows->Add(m_accept, 0, wxEXPAND);
    rows->Add(new wxStaticText(box, wxID_ANY, "File Type:"), 0, wxALIGN_CENTER_VERTICAL);
    m_fileType = new wxComboBox(box, ID_FILE_TYPE, {}, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxCB_READONLY);
    rows->Add(m_fileType, 1, wxEXPAND);
    rows->Add(new wxButton(box, wxID_CANCEL, "Cancel"), 0, wxEXPAND);
    browser->Add(rows, 0, wxEXPAND | wxALL, 4);

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(servers, 0, wxEXPAND | wxALL, 8);
    top->Add(browser, 1, wxEXPAND | wxTOP | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(top);
    SetMinSize(GetSize());
    SetEscapeId(wxID_CANCEL);
}

void CRemoteFileDlg::AddColumns()
{
    m_list->AppendColumn("Name", wxLIST_FORMAT_LEFT, 120);
    m_list->AppendColumn("Size", wxLIST_FORMAT_RIGHT, 75);
    m_list->AppendColumn("File Type", wxLIST_FORMAT_RIGHT, 75);
    m_list->AppendColumn("Modified", wxLIST_FORMAT_RIGHT, 120);
}

int CRemoteFileDlg::DoModal()
{
    const int result = ShowModal();
    if (result == wxID_OK && !m_saveMode) {
        if (wxDocManager* manager = wxDocManager::GetDocumentManager()) manager->CreateDocument(Text(m_remotePath));
    }
    return result;
}

int CRemoteFileDlg::DoSaveAs(const std::string& currentPath)
{
    m_saveMode = true;
    SetTitle("Save As");
    m_accept->SetLabel("Save FTP");
    m_fileName->ChangeValue(Text(currentPath.substr(currentPath.rfind('/') + 1)));
    return DoModal();
}

void CRemoteFileDlg::Popup(const std::vector<MenuItemDef>& items)
{
    std::unique_ptr<wxMenu> menu(BuildMenu(items));
    PopupMenu(menu.get());
}

int CRemoteFileDlg::SelectedRow() const
{
    return static_cast<int>(m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void CRemoteFileDlg::ShowBrowser()
{
    m_lookIn->Clear();
    const auto& entries = m_browser.LookIn();
    for (std::size_t i = 0; i < entries.size(); ++i)
        m_lookIn->Append(Text(std::string(i == 0 ? 0 : 2, ' ') + entries[i])); // below the host, indented
    if (m_browser.LookInSelection() >= 0) m_lookIn->SetSelection(m_browser.LookInSelection());

    m_list->Freeze();
    m_list->DeleteAllItems();
    const auto& rows = m_browser.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const long at = m_list->InsertItem(static_cast<long>(i), Text(rows[i].shown),
                                           rows[i].folder ? kFolderImage : kFileImage);
        m_list->SetItemData(at, rows[i].folder ? 32 : 1);
        if (!m_list->InReportView()) continue; // the other views have no columns
        m_list->SetItem(at, 1, Text(rows[i].size));
        m_list->SetItem(at, 2, Text(rows[i].type));
        m_list->SetItem(at, 3, Text(rows[i].modified));
    }
    m_list->Thaw();
}

// ---- Servers ----

void CRemoteFileDlg::OnTreeSelChanged(wxTreeEvent& event)
{
    if (m_closing) return;
    CFTPFolderServer* server = nullptr;
    if (m_tree->GetFolderServer(server, event.GetItem())) {
        m_browser.Connect(*server);
    } else if (event.GetItem() == m_tree->GetRootItem()) {
        m_browser.Disconnect();
    } else {
        return;
    }
    if (!m_saveMode) m_fileName->Clear();
    ShowBrowser();
}

void CRemoteFileDlg::OnTreeMenu(wxTreeEvent& event)
{
    const wxTreeItemId item = event.GetItem();
    if (!item.IsOk()) return;
    m_tree->SelectItem(item);
    CFTPFolderServer* server = nullptr;
    if (item == m_tree->GetRootItem())
        Popup({{ID_ADD_SERVER, "Add Server ...", {}}, {ID_REFRESH_SERVER, "Refresh", {}}});
    else if (m_tree->GetFolderServer(server, item) && !m_tree->IsFolder(item))
        Popup({{ID_DISCONNECT, "Disconnect", {}},
               {ID_REFRESH_SERVER, "Refresh", {}},
               {ID_DELETE_SERVER, "Delete", {}},
               {ID_SERVER_PROPERTIES, "Properties", {}}});
    else
        Popup({{ID_REFRESH_SERVER, "Refresh", {}}});
}

void CRemoteFileDlg::OnAddServer(wxCommandEvent&)
{
    CFTPServerDlg dialog(this);
    if (dialog.DoModal() != wxID_OK) return;
    const ServerFields& f = dialog.Fields();
    AddServerFromFields(*m_tree, f);
}

void CRemoteFileDlg::OnServerProperties(wxCommandEvent&)
{
    CFTPFolderServer* server = nullptr;
    if (!m_tree->GetFolderServer(server) || m_tree->IsFolder(m_tree->GetSelection())) return;
    CFTPServerDlg dialog(this);
    dialog.SetServer(*server);
    if (dialog.DoModal() != wxID_OK) return;
    const ServerFields& f = dialog.Fields();
    const bool browsing = m_browser.IsConnected() && m_browser.CurrentLogin().entryName == server->GetEntryName();
    ModifyServerFromFields(*m_tree, server, f);
    // Addresses name the entry: the browser follows the server's new values.
    if (browsing) {
        m_browser.Connect(*server);
        ShowBrowser();
    }
}

void CRemoteFileDlg::OnDeleteServer(wxCommandEvent&)
{
    CFTPFolderServer* server = nullptr;
    if (!m_tree->GetFolderServer(server) || m_tree->IsFolder(m_tree->GetSelection())) return;
    const std::string name = server->GetEntryName();
    if (UIServices().MessageBox("Delete server " + FtpDisplayName(name) + "?", MsgButtons::YesNo, MsgIcon::Question) !=
        MsgResult::Yes)
        return;
    if (m_browser.IsConnected() && m_browser.CurrentLogin().entryName == name) {
        m_browser.Disconnect();
        ShowBrowser();
    }
    m_tree->DeleteServer(name);
}

void CRemoteFileDlg::OnRefreshServer(wxCommandEvent&)
{
    if (m_tree->GetSelection().IsOk()) m_tree->RefreshItem(m_tree->GetSelection());
}

// ---- Browser ----

void CRemoteFileDlg::OnUp(wxCommandEvent&)
{
    if (m_browser.Up()) ShowBrowser();
}

void CRemoteFileDlg::OnCreateDirectory(wxCommandEvent&)
{
    const int row = m_browser.CreateDirectory();
    if (row < 0) return;
    ShowBrowser();
    m_list->SetFocus();
    m_list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_list->EditLabel(row);
}

void CRemoteFileDlg::OnDeleteRow(wxCommandEvent&)
{
    const int row = SelectedRow();
    if (row >= 0 && m_browser.Delete(row)) ShowBrowser();
}

void CRemoteFileDlg::OnRenameRow(wxCommandEvent&)
{
    const int row = SelectedRow();
    if (row < 0) {
        UIServices().MessageBox("No Item Selected", MsgButtons::Ok, MsgIcon::None);
        return;
    }
    m_list->EditLabel(row);
}

void CRemoteFileDlg::OnOpenRow(wxCommandEvent&)
{
    const int row = SelectedRow();
    if (row >= 0 && m_browser.Rows()[row].folder && m_browser.OpenFolder(row)) ShowBrowser();
}

void CRemoteFileDlg::OnRowProperties(wxCommandEvent&)
{
    const int row = SelectedRow();
    if (const auto properties = m_browser.GetProperties(row < 0 ? m_browser.Rows().size() : std::size_t(row))) {
        CFTPFilePropSheet sheet(this, *properties);
        sheet.DoModal();
    }
}

void CRemoteFileDlg::OnViewMode(wxCommandEvent& event)
{
    long mode = wxLC_ICON;
    if (event.GetId() == ID_VIEW_SMALL_ICONS) mode = wxLC_SMALL_ICON;
    else if (event.GetId() == ID_VIEW_LIST) mode = wxLC_LIST;
    else if (event.GetId() == ID_VIEW_DETAILS) mode = wxLC_REPORT;
    if (m_list->HasFlag(mode)) return;
    m_list->SetSingleStyle(mode);
    if (mode == wxLC_REPORT && m_list->GetColumnCount() == 0) AddColumns();
    ShowBrowser(); // changing the mode empties the list
}

void CRemoteFileDlg::OnViewMenu(wxCommandEvent&)
{
    wxMenu menu;
    menu.AppendRadioItem(ID_VIEW_LARGE_ICONS, "Large Icons");
    menu.AppendRadioItem(ID_VIEW_SMALL_ICONS, "Small Icons");
    menu.AppendRadioItem(ID_VIEW_LIST, "List");
    menu.AppendRadioItem(ID_VIEW_DETAILS, "Details");
    int checked = ID_VIEW_LARGE_ICONS;
    if (m_list->HasFlag(wxLC_REPORT)) checked = ID_VIEW_DETAILS;
    else if (m_list->HasFlag(wxLC_LIST)) checked = ID_VIEW_LIST;
    else if (m_list->HasFlag(wxLC_SMALL_ICON)) checked = ID_VIEW_SMALL_ICONS;
    menu.Check(checked, true);
    // Below the toolbar, as a drop-down.
    PopupMenu(&menu, ScreenToClient(m_toolBar->ClientToScreen(wxPoint(0, m_toolBar->GetSize().y))));
}

void CRemoteFileDlg::OnLookIn(wxCommandEvent& event)
{
    if (m_browser.SelectLookIn(event.GetSelection())) ShowBrowser();
    else if (m_browser.LookInSelection() >= 0) m_lookIn->SetSelection(m_browser.LookInSelection());
}

void CRemoteFileDlg::OnAccept(wxCommandEvent&)
{
    const auto address = m_browser.AcceptAddress(m_fileName->GetValue().utf8_string());
    if (!address) return;
    m_remotePath = *address;
    EndModal(wxID_OK);
}

void CRemoteFileDlg::OnRowSelected(wxListEvent& event)
{
    const auto& rows = m_browser.Rows();
    const long row = event.GetIndex();
    if (row < 0 || row >= static_cast<long>(rows.size()) || rows[row].folder) return;
    // A name that cannot be sent back is not offered as one to type.
    if (FtpNameIsSafe(rows[row].name)) m_fileName->ChangeValue(Text(rows[row].name));
}

void CRemoteFileDlg::OnRowActivated(wxListEvent& event)
{
    const long row = event.GetIndex();
    if (row < 0 || row >= static_cast<long>(m_browser.Rows().size())) return;
    if (m_browser.Rows()[row].folder) {
        if (m_browser.OpenFolder(row)) ShowBrowser();
        return;
    }
    if (!RemoteBrowser::CheckName(m_browser.Rows()[row].name)) return;
    m_fileName->ChangeValue(Text(m_browser.Rows()[row].name));
    wxCommandEvent accept(wxEVT_BUTTON, ID_ACCEPT);
    OnAccept(accept);
}

void CRemoteFileDlg::OnListMenu(wxContextMenuEvent& event)
{
    // The row under the cursor is selected first; the menu follows the selection.
    if (event.GetPosition() != wxDefaultPosition) {
        int flags = 0;
        // Rows are hit in the coordinates of the list's inner window under the cursor.
        wxWindow* inner = m_list;
        for (wxWindow* child : m_list->GetChildren())
            if (child->GetScreenRect().Contains(event.GetPosition())) inner = child;
        const long hit = m_list->HitTest(inner->ScreenToClient(event.GetPosition()), flags);
        if (hit >= 0) m_list->SetItemState(hit, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }
    const long row = SelectedRow();
    if (row < 0 || row >= static_cast<long>(m_browser.Rows().size())) {
        Popup({{ID_CREATE_DIRECTORY, "Create Directory", {}}});
        return;
    }
    std::vector<MenuItemDef> items;
    if (m_browser.Rows()[row].folder) items.push_back({ID_OPEN_ROW, "&Open", {}});
    items.push_back({ID_DELETE_ROW, "&Delete", {}});
    items.push_back({ID_RENAME_ROW, "&Rename", {}});
    items.push_back({ID_FILE_PROPERTIES, "&Properties", {}});
    Popup(items);
}

void CRemoteFileDlg::OnBeginLabelEdit(wxListEvent& event)
{
    const long row = event.GetIndex();
    if (row < 0 || row >= static_cast<long>(m_browser.Rows().size()) || !RemoteBrowser::CheckName(m_browser.Rows()[row].name))
        event.Veto();
}

void CRemoteFileDlg::OnEndLabelEdit(wxListEvent& event)
{
    // The list never takes the label itself: the row changes once the server has renamed.
    event.Veto();
    const long row = event.GetIndex();
    if (event.IsEditCancelled() || row < 0 || row >= static_cast<long>(m_browser.Rows().size())) return;
    const std::string oldName = m_browser.Rows()[row].name;
    if (m_browser.Rename(oldName, event.GetLabel().utf8_string()))
        m_list->SetItemText(row, Text(m_browser.Rows()[row].shown));
}

void CRemoteFileDlg::OnCharHook(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    int command = 0;
    if (key == WXK_F5 && event.GetModifiers() == wxMOD_NONE) command = ID_REFRESH_SERVER;
    else if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && event.GetModifiers() == wxMOD_ALT)
        command = ID_SERVER_PROPERTIES;
    // Delete removes the selected server, but never while a text is being typed.
    else if (key == WXK_DELETE && event.GetModifiers() == wxMOD_NONE && !wxDynamicCast(FindFocus(), wxTextCtrl))
        command = ID_DELETE_SERVER;
    if (command == 0) return event.Skip();
    wxCommandEvent run(wxEVT_MENU, command);
    ProcessWindowEvent(run);
}
