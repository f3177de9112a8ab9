#include "app/shell/MainFrame.h"

#include "app/shell/BrindleDocManager.h"
#include "app/document/BrindleDocBase.h"
#include "app/explorer/ExplorerBar.h"
#include "app/shell/ChildFrame.h"
#include "app/shell/XPathPanel.h"
#include "app/explorer/FileExplorerView.h"
#include "app/explorer/FtpExplorerView.h"
#include "app/explorer/RemoteFileDlg.h"
#include "app/menus/Menus.h"
#include "app/settings/RecentStringList.h"
#include "app/settings/Settings.h"
#include "app/shell/SettingsSheet.h"
#include "app/menus/ToolbarArt.h"
#include "app/shell/WindowTitles.h"
#include "app/views/EditSourceView.h"
#include "brindlekit/chrome/PrintJobs.h"
#include "platform/settings/Profile.h"
#include "resources/CommandIds.h"

#include <cstdint>
#include <wx/cmndata.h>
#include <wx/menu.h>
#include <wx/printdlg.h>

using namespace ids;

namespace {

constexpr int kExplorerBarId = 104;
constexpr const char* kBarSection = "Bars";
constexpr const char* kExplorerBarEntry = "Explorer";
// The commands of the explorer bar's browsers.
constexpr std::pair<int, int> kExplorerCommandRanges[] = {
    {ID_SHELLDIR_OPEN, ID_SHELLDIR_FILTER_ALL},  {ID_SHELLDIR_REFRESH, ID_SHELLFOLDER_PROPERTIES},
    {ID_FTP_ADD_SERVER, ID_FTP_ADD_SERVER},      {ID_FTP_DELETE_SERVER, ID_FTP_DISCONNECT},
};

constexpr int kViewButtons[] = {ID_VIEW_SOURCE, ID_VIEW_TREE, ID_VIEW_BROWSER};

// Commands that belong to views, frames or documents. A command that none of
// them answers is disabled, as it is when no document is open.
constexpr int kOwnedCommands[] = {
    ID_EDIT_CUT,         ID_EDIT_COPY,        ID_EDIT_PASTE,         ID_EDIT_UNDO,      ID_EDIT_REDO,
    ID_EDIT_FIND,        ID_EDIT_REPEAT,      ID_EDIT_FIND_TOOLBAR,  ID_EDIT_REPLACE,   ID_EDIT_FIND_PREVIOUS,
    ID_EDIT_SELECT_ALL,  ID_EDIT_DELETE,      ID_EDIT_RENAME,        ID_NODE_CHILD,     ID_NODE_SIBLING,
    ID_NODE_EDIT,        ID_PROPERTIES,       ID_REFRESH,            ID_TOOLS_VALIDATE, ID_TOOLS_TRANSFORM,
    ID_TOOLS_AUTO_FORMAT, ID_FILE_PRINT,      ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_DIRECT, ID_FILE_PAGE_SETUP,
    ID_TOOLS_VALIDATE_AGAINST,
};

wxAuiToolBar* MakeToolBar(wxWindow* parent, int id)
{
    auto* bar = new wxAuiToolBar(parent, id, wxDefaultPosition, wxDefaultSize, wxAUI_TB_DEFAULT_STYLE | wxAUI_TB_PLAIN_BACKGROUND);
    for (const auto& tool : ToolbarTools(id)) {
        if (tool.id == 0) {
            bar->AddSeparator();
            continue;
        }
        bar->AddTool(tool.id, tool.tip, ToolbarImage(tool.id), tool.tip, tool.check ? wxITEM_CHECK : wxITEM_NORMAL);
    }
    bar->Realize();
    return bar;
}

} // namespace

CMainFrame::CMainFrame(wxDocManager* manager, const wxString& title)
    : wxDocParentFrameAny(manager, nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(1024, 720))
{
    CScriptList::SetCurrent(&m_scripts);
    m_aui.SetManagedWindow(this);
    SetIcon(AppIconImage().GetIcon(wxSize(32, 32)));
    SetWindowMenu(nullptr); // the document menus carry their own Window menu
    m_defaultMenuBar = BuildMenuBar(IDR_MAINFRAME);
    SetMenuBar(m_defaultMenuBar);
    FillRecentFiles(m_defaultMenuBar);
    Manager()->OnRecentFilesChanged([this] { UpdateRecentFileMenus(); });
    CreateStatusBar(1);
    CreateToolbars();
    m_aui.AddPane(GetClientWindow(), wxAuiPaneInfo().Name("documents").CenterPane().PaneBorder(false));
    CreateExplorerBar();
    CreateXPathPanel();
    SetUpAccelerators();
    m_aui.Update();

    wxCommandEvent sync(wxEVT_MENU, CMD_SYNC_VIEW_BUTTONS);
    OnSyncViewButtons(sync);

    Bind(EVT_BRINDLE_VIEW_MODE, &CMainFrame::OnViewMode, this);
    Bind(EVT_BRINDLE_EDIT_MENU, &CMainFrame::OnEditMenu, this);
    Bind(wxEVT_MENU, &CMainFrame::OnSyncViewButtons, this, CMD_SYNC_VIEW_BUTTONS);
    Bind(wxEVT_MENU, &CMainFrame::OnFileBrowser, this, ID_VIEW_FILE_BROWSER);
    Bind(wxEVT_MENU, &CMainFrame::OnFileBrowser, this, ID_EXPLORER_CLOSE);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateFileBrowser, this, ID_VIEW_FILE_BROWSER);
    for (int id : kViewButtons) Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewMode, this, id);
    Bind(wxEVT_MENU, &CMainFrame::OnRecentFile, this, ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 15);
    Bind(wxEVT_MENU, &CMainFrame::OnExit, this, ID_APP_EXIT);
    Bind(wxEVT_MENU, &CMainFrame::OnPrintSetup, this, ID_FILE_PRINT_SETUP);
    Bind(wxEVT_MENU, &CMainFrame::OnToggleToolbar, this, ID_VIEW_TOOLBAR);
    Bind(wxEVT_MENU, &CMainFrame::OnToggleStatusBar, this, ID_VIEW_STATUS_BAR);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateToggleToolbar, this, ID_VIEW_TOOLBAR);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateToggleStatusBar, this, ID_VIEW_STATUS_BAR);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { RunSettingsSheet(this); }, ID_FILE_SETTINGS);
    // The remote file dialog: it opens what it accepts itself.
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CRemoteFileDlg(this).DoModal(); }, ID_FILE_FTP_OPEN);
    // A document's [FTP] Save As asks for its address through the same dialog.
    CBrindleDocBase::SetRemoteSavePrompt([this](const CBrindleDocBase&, const std::string& offered) {
        CRemoteFileDlg dialog(this);
        return dialog.DoSaveAs(offered) == wxID_OK ? dialog.GetRemotePath() : std::string();
    });
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    for (int id : kOwnedCommands) Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateNotYetAvailable, this, id);
    Bind(wxEVT_MENU, &CMainFrame::OnWindowDocument, this, ID_WINDOW_DOCUMENT_FIRST, ID_WINDOW_DOCUMENT_LAST);
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        UpdateDocumentLists();
        event.Skip();
    });
    // Coming back to the program asks about the active document's file, in case
    // another program changed it meanwhile.
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        event.Skip();
        if (event.GetActive())
            CallAfter([this] {
                if (auto* frame = dynamic_cast<DocChildFrame*>(GetActiveChild())) frame->CheckFileOnDisk();
            });
    });
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { ActivateNext(); }, wxID_MDI_WINDOW_NEXT);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { ActivatePrevious(); }, wxID_MDI_WINDOW_PREV);
}

CMainFrame::~CMainFrame()
{
    if (CScriptList::Current() == &m_scripts) CScriptList::SetCurrent(nullptr);
    CBrindleDocBase::SetRemoteSavePrompt(nullptr);
    if (Manager()) Manager()->OnRecentFilesChanged(nullptr);
    m_aui.UnInit();
}

void CMainFrame::CreateToolbars()
{
    m_mainBar = MakeToolBar(this, IDR_MAINFRAME);
    m_viewBar = MakeToolBar(this, IDR_VIEWBAR);
    // The view toolbar sits on the main toolbar's row, right of it.
    m_aui.AddPane(m_mainBar, wxAuiPaneInfo().Name("mainbar").Caption("Standard").ToolbarPane().Top().Row(0).Position(0));
    m_aui.AddPane(m_viewBar, wxAuiPaneInfo().Name("viewbar").Caption("View").ToolbarPane().Top().Row(0).Position(1));
}

void CMainFrame::CreateExplorerBar()
{
    m_explorerBar = new CExplorerBar(this, kExplorerBarId);
    m_explorerBar->AddView("Explore", [](wxWindow* parent) { return new CZevFileExplorerView(parent); });
    m_explorerBar->AddView("FTP", [](wxWindow* parent) { return new CZevFtpExplorerView(parent); });
    wxAuiPaneInfo pane = wxAuiPaneInfo()
                             .Name("explorer")
                             .Caption("File Browser")
                             .Left()
                             .BestSize(200, 400)
                             .MinSize(32, 32)
                             .FloatingSize(200, 200)
                             .CloseButton(true)
                             .PinButton(true);
    // The bar comes back where the user left it, and as large; whether it shows is
    // the start-up setting's choice.
    const std::string saved = brindle::Profile::GetProfileString(kBarSection, kExplorerBarEntry);
    if (!saved.empty()) m_aui.LoadPaneInfo(wxString::FromUTF8(saved), pane);
    m_aui.AddPane(m_explorerBar, pane.Name("explorer").Hide());
    Bind(wxEVT_AUI_PANE_CLOSE, [this](wxAuiManagerEvent& event) {
        if (event.GetPane() && event.GetPane()->window == m_explorerBar) {
            event.Veto(); // closing goes through the File Browser command, which keeps the button in step
            wxCommandEvent close(wxEVT_MENU, ID_EXPLORER_CLOSE);
            ProcessWindowEvent(close);
        }
    });
    // The browsers' commands reach them from the Edit menu they put up.
    for (const auto& [first, last] : kExplorerCommandRanges) {
        Bind(wxEVT_MENU, [this](wxCommandEvent& event) { if (!m_explorerBar->ForwardEvent(event)) event.Skip(); },
             first, last);
        Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { if (!m_explorerBar->ForwardEvent(event)) event.Skip(); },
             first, last);
    }
    if (Settings::GetDisplayNavBar()) {
        wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_FILE_BROWSER);
        OnFileBrowser(toggle);
    }
}

void CMainFrame::SaveExplorerBarLayout()
{
    wxAuiPaneInfo pane = m_aui.GetPane(m_explorerBar);
    if (!pane.IsOk()) return;
    pane.Show(); // visibility at start-up follows the setting, not the last session
    brindle::Profile::WriteProfileString(kBarSection, kExplorerBarEntry, m_aui.SavePaneInfo(pane).utf8_string());
}

void CMainFrame::CreateXPathPanel()
{
    m_xpathPanel = new CXPathPanel(this, [this] { return dynamic_cast<CChildFrame*>(GetActiveChild()); });
    m_aui.AddPane(m_xpathPanel, wxAuiPaneInfo()
                                    .Name("xpath")
                                    .Caption("XPath")
                                    .Bottom()
                                    .BestSize(600, 220)
                                    .MinSize(200, 120)
                                    .CloseButton(true)
                                    .Hide());
    Bind(wxEVT_MENU, &CMainFrame::OnXPathPanel, this, ID_VIEW_XPATH);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateXPathPanel, this, ID_VIEW_XPATH);
}

bool CMainFrame::IsXPathPanelShown() const
{
    return m_xpathPanel && const_cast<wxAuiManager&>(m_aui).GetPane(m_xpathPanel).IsShown();
}

void CMainFrame::OnXPathPanel(wxCommandEvent&)
{
    const bool show = !IsXPathPanelShown() && Settings::GetUseXPath() != 0;
    m_aui.GetPane(m_xpathPanel).Show(show);
    m_aui.Update();
    if (show) {
        m_xpathPanel->OfferPrefixes();
        m_xpathPanel->SetFocus();
    }
}

void CMainFrame::OnUpdateXPathPanel(wxUpdateUIEvent& event)
{
    // The panel belongs to the "Enable XPATH" setting: turned off, it goes.
    const bool enabled = Settings::GetUseXPath() != 0;
    if (!enabled && IsXPathPanelShown()) {
        m_aui.GetPane(m_xpathPanel).Hide();
        m_aui.Update();
    }
    event.Enable(enabled);
    event.Check(IsXPathPanelShown());
}

void CMainFrame::SetUpAccelerators()
{
    const wxAcceleratorEntry entries[] = {
        {wxACCEL_ALT, '0', ID_VIEW_FILE_BROWSER},
        {wxACCEL_CTRL | wxACCEL_SHIFT, 'X', ID_VIEW_XPATH},
        {wxACCEL_ALT, '1', ID_VIEW_SOURCE},
        {wxACCEL_ALT, '2', ID_VIEW_TREE},
        {wxACCEL_ALT, '3', ID_VIEW_BROWSER},
        {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
        {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY},
        {wxACCEL_CTRL, 'X', ID_EDIT_CUT},
        {wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT},
        {wxACCEL_CTRL, 'V', ID_EDIT_PASTE},
        {wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE},
        {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
        {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'Y', ID_EDIT_REDO},
        {wxACCEL_NORMAL, WXK_DELETE, ID_EDIT_DELETE},
        {wxACCEL_ALT, 'F', ID_NODE_CHILD},
        {wxACCEL_ALT, 'G', ID_NODE_SIBLING},
        {wxACCEL_CTRL, 'N', ID_FILE_NEW},
        {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
        {wxACCEL_CTRL, 'S', ID_FILE_SAVE},
        {wxACCEL_CTRL, 'P', ID_FILE_PRINT},
        {wxACCEL_ALT, WXK_RETURN, ID_PROPERTIES},
        {wxACCEL_NORMAL, WXK_F1, ID_HELP},
        {wxACCEL_NORMAL, WXK_F5, ID_REFRESH},
        {wxACCEL_NORMAL, WXK_F6, ID_WINDOW_NEXT_PANE},
        {wxACCEL_SHIFT, WXK_F6, ID_WINDOW_PREV_PANE},
        {wxACCEL_CTRL, WXK_TAB, wxID_MDI_WINDOW_NEXT},
        {wxACCEL_CTRL | wxACCEL_SHIFT, WXK_TAB, wxID_MDI_WINDOW_PREV},
    };
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(entries)), entries));
}

wxMenuBar* CMainFrame::CreateDocumentMenuBar(int resourceId)
{
    wxMenuBar* bar = BuildMenuBar(resourceId);
    // The Plugins menu lists the plugin scripts, one command each from 300 on; with
    // no scripts it is empty (the resource's placeholder item goes).
    for (int pos = static_cast<int>(bar->GetMenuCount()) - 1; pos >= 1; --pos) {
        if (bar->GetMenuLabelText(pos) != "Plugins") continue;
        wxMenu* plugins = bar->GetMenu(pos);
        while (plugins->GetMenuItemCount() > 0) plugins->Destroy(plugins->FindItemByPosition(0));
        for (int i = 0; i < m_scripts.GetCount(); ++i) {
            // A "&" in a file name is shown, not taken as the item's mnemonic.
            wxString name = wxString::FromUTF8(m_scripts.GetScriptName(i));
            name.Replace("&", "&&");
            plugins->Append(ID_PLUGIN_FIRST + i, name);
        }
        break;
    }
    FillRecentFiles(bar);
    return bar;
}

bool CMainFrame::IsExplorerBarShown() const { return m_viewBar && m_mainBar->GetToolToggled(ID_VIEW_FILE_BROWSER); }

void CMainFrame::CheckViewButton(int commandId)
{
    for (int id : kViewButtons) m_viewBar->ToggleTool(id, id == commandId);
    m_viewBar->Refresh();
}

int CMainFrame::CheckedViewButton() const
{
    for (int id : kViewButtons)
        if (m_viewBar->GetToolToggled(id)) return id;
    return 0;
}

void CMainFrame::OnEditMenu(wxCommandEvent& event)
{
    // The active document's menu bar gets the Edit menu of the view with the
    // focus (the first top-level item is never taken).
    wxMenuBar* bar = GetMenuBar();
    const auto& resource = MenuResource(event.GetInt() ? event.GetInt() : IDR_DEFAULT_EDIT);
    if (!bar || resource.empty()) return;
    for (int pos = static_cast<int>(bar->GetMenuCount()) - 1; pos >= 1; --pos) {
        if (bar->GetMenuLabel(pos) != "&Edit") continue;
        delete bar->Replace(pos, BuildMenu(resource.front().items), "&Edit");
        return;
    }
}

void CMainFrame::OnViewMode(wxCommandEvent& event) { CheckViewButton(event.GetInt()); }

void CMainFrame::OnSyncViewButtons(wxCommandEvent&)
{
    int checked = CheckedViewButton();
    CheckViewButton(checked == ID_VIEW_SOURCE || checked == ID_VIEW_BROWSER ? checked : ID_VIEW_TREE);
}

void CMainFrame::OnFileBrowser(wxCommandEvent&)
{
    // The button's check state is the record of the bar's visibility.
    const bool show = !m_mainBar->GetToolToggled(ID_VIEW_FILE_BROWSER);
    m_mainBar->ToggleTool(ID_VIEW_FILE_BROWSER, show);
    m_mainBar->Refresh();
    m_aui.GetPane(m_explorerBar).Show(show);
    m_aui.Update();
}

void CMainFrame::OnUpdateFileBrowser(wxUpdateUIEvent& event) { event.Check(IsExplorerBarShown()); }

void CMainFrame::OnUpdateViewMode(wxUpdateUIEvent& event)
{
    // The mode commands belong to the active XML document frame, which answers
    // them first; without one (no document, a DTD document) they are disabled.
    event.Enable(false);
    event.Check(CheckedViewButton() == event.GetId());
}

void CMainFrame::FillRecentFiles(wxMenuBar* bar)
{
    auto& recent = Manager()->RecentFiles();
    wxMenu* menu = nullptr;
    int pos = -1;
    for (int id = ID_FILE_MRU_FILE1; id < ID_FILE_MRU_FILE1 + recent.GetSize(); ++id) {
        wxMenu* owner = nullptr;
        wxMenuItem* item = bar->FindItem(id, &owner);
        if (!item) continue;
        if (pos < 0) {
            menu = owner;
            pos = menu->GetMenuItems().IndexOf(item);
        }
        owner->Destroy(item);
    }
    if (!menu || pos < 0) return;
    int added = 0;
    for (int i = 0; i < recent.GetSize(); ++i) {
        if (recent[i].empty()) continue;
        wxString text = wxString::Format("&%d %s", added + 1, wxString::FromUTF8(recent.GetDisplayName(i)));
        text.Replace("&", "&&");
        text.Replace(wxString::Format("&&%d ", added + 1), wxString::Format("&%d ", added + 1));
        menu->Insert(static_cast<size_t>(pos + added), ID_FILE_MRU_FILE1 + i, text, wxString::FromUTF8(recent[i]));
        ++added;
    }
    if (added == 0) {
        menu->Insert(static_cast<size_t>(pos), ID_FILE_MRU_FILE1, kRecentFilePlaceholder);
        menu->Enable(ID_FILE_MRU_FILE1, false);
    }
}

void CMainFrame::UpdateRecentFileMenus()
{
    FillRecentFiles(m_defaultMenuBar);
    wxAuiMDIClientWindow* client = GetClientWindow();
    for (size_t i = 0; client && i < client->GetPageCount(); ++i)
        if (auto* child = dynamic_cast<wxAuiMDIChildFrame*>(client->GetPage(i)); child && child->GetMenuBar())
            FillRecentFiles(child->GetMenuBar());
}

std::vector<wxAuiMDIChildFrame*> CMainFrame::DocumentFrames() const
{
    std::vector<wxAuiMDIChildFrame*> frames;
    wxAuiMDIClientWindow* client = GetClientWindow();
    for (size_t i = 0; client && i < client->GetPageCount(); ++i)
        if (auto* child = dynamic_cast<wxAuiMDIChildFrame*>(client->GetPage(i))) frames.push_back(child);
    return frames;
}

void CMainFrame::UpdateDocumentLists()
{
    const auto documentOf = [](wxWindow* frame) -> wxDocument* {
        auto* docFrame = dynamic_cast<DocChildFrame*>(frame);
        return docFrame ? docFrame->GetDocument() : nullptr;
    };
    wxDocument* active = documentOf(GetActiveChild());
    const wxString title = wxString::FromUTF8(
        MainWindowTitle(active ? active->GetFilename().utf8_string() : std::string(), active && active->IsModified()));
    if (GetTitle() != title) SetTitle(title);

    wxMenuBar* bar = GetMenuBar();
    const int pos = bar ? bar->FindMenu("Window") : wxNOT_FOUND;
    if (pos == wxNOT_FOUND) return;
    std::vector<std::string> labels;
    const auto frames = DocumentFrames();
    for (size_t i = 0; i < frames.size() && i <= ID_WINDOW_DOCUMENT_LAST - ID_WINDOW_DOCUMENT_FIRST; ++i) {
        wxDocument* doc = documentOf(frames[i]);
        labels.push_back(WindowMenuLabel(static_cast<int>(i), doc ? doc->GetFilename().utf8_string()
                                                                  : frames[i]->GetTitle().utf8_string(),
                                         doc && doc->IsModified()));
    }
    // Nothing to do while the menu already lists them so, the active one checked.
    wxMenu* menu = bar->GetMenu(static_cast<size_t>(pos));
    size_t listed = 0;
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        const int id = item->GetId();
        if (id < ID_WINDOW_DOCUMENT_FIRST || id > ID_WINDOW_DOCUMENT_LAST) continue;
        const size_t index = static_cast<size_t>(id - ID_WINDOW_DOCUMENT_FIRST);
        if (index >= labels.size() || item->GetItemLabel().utf8_string() != labels[index] ||
            item->IsChecked() != (frames[index] == GetActiveChild()))
            break;
        ++listed;
    }
    if (listed == labels.size() && menu->FindItem(ID_WINDOW_DOCUMENT_FIRST + static_cast<int>(listed)) == nullptr)
        return;

    // The list follows the menu's own items, after a separator.
    while (menu->GetMenuItemCount() > 0) {
        wxMenuItem* last = menu->FindItemByPosition(menu->GetMenuItemCount() - 1);
        const int id = last->GetId();
        if (!last->IsSeparator() && (id < ID_WINDOW_DOCUMENT_FIRST || id > ID_WINDOW_DOCUMENT_LAST)) break;
        menu->Destroy(last);
    }
    if (!labels.empty()) menu->AppendSeparator();
    for (size_t i = 0; i < labels.size(); ++i) {
        const int id = ID_WINDOW_DOCUMENT_FIRST + static_cast<int>(i);
        menu->AppendCheckItem(id, wxString::FromUTF8(labels[i]));
        menu->Check(id, frames[i] == GetActiveChild());
    }
}

void CMainFrame::OnWindowDocument(wxCommandEvent& event)
{
    const auto frames = DocumentFrames();
    const size_t index = static_cast<size_t>(event.GetId() - ID_WINDOW_DOCUMENT_FIRST);
    if (index < frames.size()) frames[index]->Activate();
}

void CMainFrame::OnRecentFile(wxCommandEvent& event)
{
    auto& recent = Manager()->RecentFiles();
    const int slot = event.GetId() - ID_FILE_MRU_FILE1;
    if (slot < 0 || slot >= recent.GetSize() || recent[slot].empty()) return;
    const std::string path = recent[slot];
    if (!Manager()->OpenDocumentFile(wxString::FromUTF8(path))) {
        // A file that no longer opens leaves the list, as it does in other editors.
        recent.Remove(slot);
        recent.WriteList();
        UpdateRecentFileMenus();
    }
}

void CMainFrame::OnExit(wxCommandEvent&) { Close(); }

void CMainFrame::OnPrintSetup(wxCommandEvent&)
{
    wxPageSetupDialogData data(PrintData());
    wxPageSetupDialog dialog(this, &data);
    if (dialog.ShowModal() == wxID_OK) PrintData() = dialog.GetPageSetupDialogData().GetPrintData();
}

wxPrintData& CMainFrame::PrintData() { return brindle::SharedPrintData(); }

CBrindleDocManager* CMainFrame::Manager() const { return static_cast<CBrindleDocManager*>(GetDocumentManager()); }

void CMainFrame::OnToggleToolbar(wxCommandEvent&)
{
    for (auto* bar : {static_cast<wxWindow*>(m_mainBar), static_cast<wxWindow*>(m_viewBar)}) {
        auto& pane = m_aui.GetPane(bar);
        pane.Show(!pane.IsShown());
    }
    m_aui.Update();
}

void CMainFrame::OnToggleStatusBar(wxCommandEvent&)
{
    GetStatusBar()->Show(!GetStatusBar()->IsShown());
    SendSizeEvent();
}

void CMainFrame::OnUpdateToggleToolbar(wxUpdateUIEvent& event) { event.Check(m_aui.GetPane(m_mainBar).IsShown()); }

void CMainFrame::OnUpdateToggleStatusBar(wxUpdateUIEvent& event) { event.Check(GetStatusBar()->IsShown()); }

// Also the answer for a command that nothing else answered.
void CMainFrame::OnUpdateNotYetAvailable(wxUpdateUIEvent& event) { event.Enable(false); }

void CMainFrame::OnClose(wxCloseEvent& event)
{
    // Documents close first (each may ask to save); then the recent files are stored.
    if (event.CanVeto() && GetDocumentManager() && !GetDocumentManager()->Clear(false)) {
        event.Veto();
        return;
    }
    Manager()->RecentFiles().WriteList();
    SaveExplorerBarLayout();
    event.Skip();
}
