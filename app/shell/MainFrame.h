#pragma once

#include <wx/aui/aui.h>
#include <wx/aui/tabmdi.h>
#include <wx/docview.h>

#include "app/document/ScriptList.h"
#include "app/shell/DocChildFrame.h"

#include <memory>
#include <string>
#include <vector>

class CBrindleDocManager;
class CExplorerBar;
class CXPathPanel;
class wxMenuBar;
class wxPrintData;

// The top-level window: menus, the main and view toolbars, the status bar, the
// explorer bar on the left and the documents as tabs.
class CMainFrame : public wxDocParentFrameAny<wxAuiMDIParentFrame>, public DocumentMenuBarSource {
public:
    CMainFrame(wxDocManager* manager, const wxString& title);
    ~CMainFrame() override;

    // A menu bar for a document frame of the kind with the given menu resource.
    wxMenuBar* CreateDocumentMenuBar(int resourceId) override;
    // The printer settings all print jobs share.
    wxPrintData& PrintData();

    bool IsExplorerBarShown() const;
    CExplorerBar* ExplorerBar() const { return m_explorerBar; }
    bool IsXPathPanelShown() const;
    CXPathPanel* XPathPanel() const { return m_xpathPanel; }
    // Checks the given view button and unchecks the other two.
    void CheckViewButton(int commandId);
    int CheckedViewButton() const;
    // Shows the current recent files in the File menu of every menu bar.
    void UpdateRecentFileMenus();
    // Brings the title and the Window menu's document list up to date with the
    // open documents and the active one (done when the program is idle).
    void UpdateDocumentLists();

private:
    void CreateToolbars();
    void CreateExplorerBar();
    void SaveExplorerBarLayout();
    void CreateXPathPanel();
    void OnXPathPanel(wxCommandEvent& event);
    void OnUpdateXPathPanel(wxUpdateUIEvent& event);
    void SetUpAccelerators();
    void FillRecentFiles(wxMenuBar* bar);

    void OnViewMode(wxCommandEvent& event);
    void OnEditMenu(wxCommandEvent& event);
    void OnSyncViewButtons(wxCommandEvent& event);
    void OnFileBrowser(wxCommandEvent& event);
    void OnUpdateFileBrowser(wxUpdateUIEvent& event);
    void OnUpdateViewMode(wxUpdateUIEvent& event);
    void OnRecentFile(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnPrintSetup(wxCommandEvent& event);
    void OnToggleToolbar(wxCommandEvent& event);
    void OnToggleStatusBar(wxCommandEvent& event);
    void OnUpdateToggleToolbar(wxUpdateUIEvent& event);
    void OnUpdateToggleStatusBar(wxUpdateUIEvent& event);
    void OnUpdateNotYetAvailable(wxUpdateUIEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnWindowDocument(wxCommandEvent& event);
    std::vector<wxAuiMDIChildFrame*> DocumentFrames() const;
    CBrindleDocManager* Manager() const;

    wxAuiManager m_aui;
    CScriptList m_scripts; // the plugins found at start-up
    wxMenuBar* m_defaultMenuBar = nullptr;
    wxAuiToolBar* m_mainBar = nullptr;
    wxAuiToolBar* m_viewBar = nullptr;
    CExplorerBar* m_explorerBar = nullptr;
    CXPathPanel* m_xpathPanel = nullptr;
};
