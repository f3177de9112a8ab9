#pragma once

#include "app/shell/BrindleDocManager.h"
#include "brindlekit/text/SystemClipboard.h"
#include "app/shell/WxUIServices.h"

#include <memory>
#include <string>
#include <vector>
#include <wx/app.h>
#include <wx/weakref.h>

class CMainFrame;

// The application: start-up checks, the document kinds, the main window and the
// recent files.
class CBrindleApp : public wxApp {
public:
    CBrindleApp();
    ~CBrindleApp() override;

    bool OnInit() override;
    int OnExit() override;
    int FilterEvent(wxEvent& event) override;
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override;
    // Command ids above 0x7FFF are ours by design; the toolkit's check on them is
    // no fault.
    static bool IsExpectedAssert(const wxString& message);

    CRecentStringList& RecentFiles() { return m_docManager->RecentFiles(); }
    CBrindleDocManager* DocManager() const { return m_docManager; }
    CMainFrame* MainFrame() const { return m_mainFrame; }
    // Shows the start-up picture over the main window.
    void ShowSplash();
    // The start-up picture while it is up, else null.
    wxWindow* Splash() const { return m_splash.get(); }

    // Opens the documents named on the command line, in order.
    void OpenFiles(const std::vector<std::string>& files);

private:
    void RegisterDocumentKinds();

    WxUIServices m_uiServices;
    brindle::SystemClipboard m_clipboard;
    CBrindleDocManager* m_docManager = nullptr;
    CMainFrame* m_mainFrame = nullptr;
    wxWeakRef<wxWindow> m_splash;
    int m_previewPages = 0;
    bool m_curlReady = false;
};

wxDECLARE_APP(CBrindleApp);
