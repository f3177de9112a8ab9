#include "app/shell/BrindleApp.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/document/TempCopies.h"
#include "app/document/UserCatalog.h"
#include "app/shell/AboutDlg.h"
#include "app/shell/BrindleDocTemplate.h"
#include "app/shell/CommandLine.h"
#include "app/shell/SplashWnd.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ParserCheck.h"
#include "app/views/PreviewRenderer.h"
#include "app/settings/Settings.h"
#include "app/shell/ChildFrame.h"
#include "app/shell/SourceChildFrame.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/ui/Clipboard.h"
#include "resources/CommandIds.h"
#include "resources/Strings.h"

#include <csignal>
#include <filesystem>
#include <curl/curl.h>
#include <wx/dnd.h>

using namespace brindle;

namespace {

const char* const kXmlDocString =
    "\nXML\ndocument\nXML Document (*.xml,*.xsl,*.xsd,*.xdr)\n.xml;.xsl;.xsd;.xdr;\nBrindle.Document\nXML Document";
const char* const kDtdDocString = "\nDTD\ndocument\nDTD Document (*.dtd)\n.dtd\nBrindle.General\nDTD Document";

// Files dropped onto the main window open as documents.
class FileDropTarget : public wxFileDropTarget {
public:
    explicit FileDropTarget(CBrindleDocManager* manager) : m_manager(manager) {}
    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override
    {
        for (const auto& file : files) m_manager->OpenDocumentFile(file);
        return true;
    }

private:
    CBrindleDocManager* m_manager;
};

} // namespace

CBrindleApp::CBrindleApp() = default;
CBrindleApp::~CBrindleApp() = default;

bool CBrindleApp::OnInit()
{
    SetAppName("Brindle");
    SetAppDisplayName("Brindle");
    SetUIServices(&m_uiServices);
    SetClipboard(&m_clipboard);
    wxInitAllImageHandlers();

    // The settings live under Software\Brindle\Brindle.
    Profile::SetRegistryKey("Brindle", "Brindle");

    if (!CheckParserPresence()) return false;

    // The network library stands in for the sockets layer the FTP client needs.
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        UIServices().MessageBox(strings::kSocketsInitFailed, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    m_curlReady = true;

    // Local copies of remote documents that an earlier run left behind (it
    // crashed or was killed) hold the user's text: they go now.
    RemoveStaleTempFiles();

    m_docManager = new CBrindleDocManager;
    m_docManager->RecentFiles().ReadList();
    m_previewPages = Settings::GetPreviewPages();

    RegisterDocumentKinds();

    Bind(wxEVT_MENU, [this](wxCommandEvent&) { ShowAboutDialog(m_mainFrame); }, ids::ID_APP_ABOUT);

    m_mainFrame = new CMainFrame(m_docManager, GetAppDisplayName());
    SetTopWindow(m_mainFrame);
    auto* dropTarget = new FileDropTarget(m_docManager);
    m_mainFrame->SetDropTarget(dropTarget);
    m_mainFrame->GetClientWindow()->SetDropTarget(new FileDropTarget(m_docManager));

    // The toolkit has taken its own options out of the arguments by now.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i].utf8_string());
    const CommandLine commandLine = ParseCommandLine(args);

    m_mainFrame->Show(true);
    if (commandLine.splash) ShowSplash();
    // A request to terminate (session end, kill) closes the window as the user
    // would, so open documents get their chance to be saved and the recent files
    // are stored. The handler runs in the event loop, not in the signal.
    SetSignalHandler(SIGTERM, [](int) {
        if (wxGetApp().m_mainFrame) wxGetApp().m_mainFrame->Close();
    });

    if (std::string problem = Profile::Store().TakeProblem(); !problem.empty())
        UIServices().MessageBox(problem, MsgButtons::Ok, MsgIcon::Warning);
    if (std::string fault = ApplyUserCatalog(); !fault.empty())
        UIServices().MessageBox(fault, MsgButtons::Ok, MsgIcon::Warning);

    if (!commandLine.files.empty()) OpenFiles(commandLine.files);
    else if (Settings::GetDisplayFileTypesDlg()) m_docManager->FileNew();
    // The first document's window must not cover the picture.
    if (m_splash) m_splash->Raise();
    return true;
}

void CBrindleApp::ShowSplash()
{
    if (!m_splash) m_splash = new CSplashWnd(m_mainFrame);
}

int CBrindleApp::FilterEvent(wxEvent& event)
{
    // The first key press or click anywhere puts the start-up picture away, so it
    // never stands between the user and the document.
    if (m_splash) {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_KEY_DOWN || type == wxEVT_LEFT_DOWN || type == wxEVT_RIGHT_DOWN ||
            type == wxEVT_MIDDLE_DOWN)
            m_splash->Close();
    }
    return Event_Skip;
}

void CBrindleApp::OpenFiles(const std::vector<std::string>& files)
{
    // Each file that cannot be opened has shown its message; the others open and
    // the program goes on. Relative names are taken against the folder the
    // program started in: opening a file makes its folder the current one.
    std::vector<std::string> paths;
    for (const auto& file : files) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
        paths.push_back(ec || file.find("://") != std::string::npos ? file : absolute.string());
    }
    for (const auto& path : paths) m_docManager->OpenDocumentFile(wxString::FromUTF8(path));
}

void CBrindleApp::RegisterDocumentKinds()
{
    new CBrindleDocTemplate(
        m_docManager, ids::IDR_XMLTYPE, kXmlDocString, [] { return new CBrindleDoc; },
        [](wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent) -> DocChildFrame* {
            return new CChildFrame(static_cast<CBrindleDoc*>(doc), view, parent);
        });
    new CBrindleDocTemplate(
        m_docManager, ids::IDR_DTDTYPE, kDtdDocString, [] { return new CBrindleDoc2; },
        [](wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent) -> DocChildFrame* {
            return new CChildFrame2(static_cast<CBrindleDoc2*>(doc), view, parent);
        });
}

bool CBrindleApp::IsExpectedAssert(const wxString& message) { return message == "invalid itemid value"; }

void CBrindleApp::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond, const wxChar* msg)
{
    if (msg && IsExpectedAssert(msg)) return;
    wxApp::OnAssertFailure(file, line, func, cond, msg);
}

int CBrindleApp::OnExit()
{
    if (m_splash) m_splash->Destroy();
    if (m_docManager) m_docManager->RecentFiles().WriteList();
    delete m_docManager;
    m_docManager = nullptr;
    PreviewRenderer::ShutDown();
    if (m_curlReady) curl_global_cleanup();
    SetUIServices(nullptr);
    SetClipboard(nullptr);
    return wxApp::OnExit();
}
