// Runs the real application object on a display: start-up with a file on the
// command line, the document kinds, the main window's commands, and a clean exit.
#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/document/BrindleDocBase.h"
#include "app/document/DomMemory.h"
#include "app/document/EncodedText.h"
#include "app/explorer/ExplorerBar.h"
#include "app/explorer/FileExplorerView.h"
#include "app/explorer/FtpExplorerView.h"
#include "app/explorer/RemoteFileDlg.h"
#include "app/explorer/RemoteFileIds.h"
#include "app/shell/ChildFrame.h"
#include "app/shell/IndicatorStatusBar.h"
#include "app/shell/LocationDlg.h"
#include "app/shell/NewDocDlg.h"
#include "app/shell/SourceChildFrame.h"
#include "app/shell/SplashWnd.h"
#include "app/shell/TransformDlg.h"
#include "app/shell/XPathPanel.h"
#include "brindlekit/chrome/SplitterWndEx.h"
#include "app/explorer/FTPDirView.h"
#include "app/explorer/FTPFolderView.h"
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "brindlekit/shell/ShellDirCtrl.h"
#include "brindlekit/shell/ShellFolderCtrl.h"
#include "app/views/EditSourceView.h"
#include "app/shell/DocumentView.h"
#include "app/views/BrindleView.h"
#include "app/views/NodePage.h"
#include "app/views/LeftView.h"
#include "app/views/ValidationErrorsPane.h"
#include "brindlekit/text/LineFlags.h"
#include "app/shell/BrindleApp.h"
#include "app/shell/BrindleDocTemplate.h"
#include "app/shell/MainFrame.h"
#include "app/settings/RecentStringList.h"
#include "app/document/UserCatalog.h"
#include "app/settings/Settings.h"
#include "app/shell/SettingsSheet.h"
#include "app/shell/WxUIServices.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "resources/CommandIds.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <wx/aui/aui.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/progdlg.h>
#include <wx/prntbase.h>
#include <wx/propdlg.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/timer.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>

wxIMPLEMENT_APP_NO_MAIN(CBrindleApp);

using namespace brindle;
namespace fs = std::filesystem;

namespace {

test::TempDir* g_dir = nullptr;
const std::string kSample = std::string(BRINDLE_SAMPLES) + "/catalog.xml";

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

CBrindleDocManager& Manager() { return *wxGetApp().DocManager(); }

std::vector<wxDocument*> Docs()
{
    auto docs = Manager().GetDocumentsVector();
    return {docs.begin(), docs.end()};
}

CChildFrame* FrameOf(wxDocument* doc) { return dynamic_cast<CChildFrame*>(doc->GetFirstView()->GetFrame()); }

CBrindleDocTemplate* KindOf(wxDocument* doc) { return dynamic_cast<CBrindleDocTemplate*>(doc->GetDocumentTemplate()); }

// Closes every document without asking.
void CloseAll()
{
    for (auto* doc : Docs()) doc->Modify(false);
    Manager().CloseDocuments(true);
    Pump();
}

fs::path Copy(const std::string& name)
{
    fs::path target = *g_dir / name;
    fs::copy_file(kSample, target, fs::copy_options::overwrite_existing);
    // With its DTD beside it, so the copy is valid as the sample is.
    fs::copy_file(std::string(BRINDLE_SAMPLES) + "/catalog.dtd", *g_dir / "catalog.dtd",
                  fs::copy_options::overwrite_existing);
    return target;
}

} // namespace

TEST(AppGui, StartUpOpensTheCommandLineFileAsXmlDocument)
{
    auto docs = Docs();
    ASSERT_EQ(docs.size(), 1u);
    EXPECT_EQ(KindOf(docs[0])->GetResourceId(), ids::IDR_XMLTYPE);
    EXPECT_EQ(docs[0]->GetFilename().utf8_string(), kSample);
    EXPECT_EQ(docs[0]->GetTitle().utf8_string(), kSample); // captions show the whole path
    EXPECT_EQ(wxGetApp().RecentFiles()[0], kSample);
    EXPECT_TRUE(wxGetApp().MainFrame()->IsShown());
    EXPECT_NE(wxGetApp().MainFrame()->GetActiveChild(), nullptr);
}

TEST(AppGui, TheSplashGoesOnTheSixthTickOrAtTheFirstKeyOrClick)
{
    // Started without "-nosplash", the program shows it above the main window,
    // which keeps the keyboard.
    ASSERT_NE(wxGetApp().Splash(), nullptr);
    EXPECT_TRUE(wxGetApp().Splash()->IsShown());
    EXPECT_NE(wxWindow::FindFocus() ? wxGetTopLevelParent(wxWindow::FindFocus()) : nullptr, wxGetApp().Splash());
    auto* splash = new CSplashWnd(wxGetApp().MainFrame());
    wxWeakRef<wxWindow> alive(splash);
    for (int i = 0; i < CSplashWnd::kTickLimit; ++i) splash->Tick();
    Pump();
    ASSERT_TRUE(alive);
    EXPECT_TRUE(splash->IsShown());
    splash->Tick();
    Pump();
    EXPECT_FALSE(alive);


    // The first key press or click anywhere puts it away at once.
    wxGetApp().ShowSplash();
    ASSERT_NE(wxGetApp().Splash(), nullptr);
    wxGetApp().MainFrame()->SetFocus();
    Pump();
    wxUIActionSimulator keys;
    keys.KeyDown(WXK_SHIFT);
    keys.KeyUp(WXK_SHIFT);
    Pump();
    EXPECT_EQ(wxGetApp().Splash(), nullptr);
    wxGetApp().ShowSplash();
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    wxGetApp().MainFrame()->GetClientWindow()->ProcessWindowEvent(click);
    Pump();
    EXPECT_EQ(wxGetApp().Splash(), nullptr);
}

TEST(AppGui, OpeningAnOpenFileAgainActivatesItsDocument)
{
    wxDocument* first = Docs().at(0);
    EXPECT_EQ(Manager().OpenDocumentFile(wxString::FromUTF8(kSample)), first);
    std::string roundabout = kSample;
    roundabout.insert(roundabout.rfind('/'), "/."); // another spelling of the same file
    EXPECT_EQ(Manager().OpenDocumentFile(wxString::FromUTF8("\"" + roundabout + "\"")), first);
    EXPECT_EQ(Docs().size(), 1u);
}

TEST(AppGui, KindsFollowTheExtensionAndUnknownOnesOpenAsXml)
{
    struct Case {
        std::string name;
        int kind;
    } cases[] = {{"book.dtd", ids::IDR_DTDTYPE}, {"style.xsl", ids::IDR_XMLTYPE},
                 {"style.XSL", ids::IDR_XMLTYPE}, {"data.txt", ids::IDR_XMLTYPE}};
    for (const auto& c : cases) {
        fs::path path = Copy(c.name);
        wxDocument* doc = Manager().OpenDocumentFile(wxString::FromUTF8(path.string()));
        ASSERT_NE(doc, nullptr) << c.name;
        EXPECT_EQ(KindOf(doc)->GetResourceId(), c.kind) << c.name;
        EXPECT_EQ(doc->GetFilename().utf8_string(), path.string());
    }
    EXPECT_EQ(Docs().size(), 5u);
    CloseAll();
}

TEST(AppGui, NewDocumentsAreNumberedInTheWorkingFolder)
{
    CloseAll();
    Profile::WriteProfileString("Settings", "workingPath", g_dir->path().string() + "/");
    auto* kind = Manager().DefaultTemplate();
    const int before = kind->GetUntitledCount();
    wxDocument* a = Manager().NewDocument();
    wxDocument* b = Manager().NewDocument();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetFilename().utf8_string(), g_dir->path().string() + "/untitled-" + std::to_string(before + 1));
    EXPECT_EQ(b->GetFilename().utf8_string(), g_dir->path().string() + "/untitled-" + std::to_string(before + 2));
    EXPECT_FALSE(a->IsModified());
    // Never saved, they are not recent files.
    for (int i = 0; i < wxGetApp().RecentFiles().GetSize(); ++i)
        EXPECT_EQ(wxGetApp().RecentFiles()[i].find("untitled-"), std::string::npos) << i;
    CloseAll();

    // A folder chosen with the folder button is stored without its separator.
    Profile::WriteProfileString("Settings", "workingPath", (*g_dir / "work").string());
    wxDocument* c = Manager().NewDocument();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetFilename().utf8_string(), (*g_dir / "work").string() + "/untitled-" + std::to_string(before + 3));
    CloseAll();
}

TEST(AppGui, TemplateFileGivesModifiedCopyUnderTheGivenName)
{
    auto* kind = Manager().DefaultTemplate();
    wxDocument* doc = Manager().CreateNewDocument(*kind, kSample, (*g_dir / "fromtemplate.xml").string());
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetFilename().utf8_string(), (*g_dir / "fromtemplate.xml").string());
    // It enters the recent files when it is saved, without a question.
    EXPECT_NE(wxGetApp().RecentFiles()[0], (*g_dir / "fromtemplate.xml").string());
    EXPECT_TRUE(doc->Save());
    EXPECT_EQ(wxGetApp().RecentFiles()[0], (*g_dir / "fromtemplate.xml").string());
    CloseAll();
}

TEST(AppGui, SaveAsTitlesTheDocumentByItsWholePathAndTemplatesStartInTheirFolder)
{
    const fs::path original = Copy("titled.xml");
    auto* doc = dynamic_cast<CBrindleDocBase*>(Manager().OpenDocumentFile(wxString::FromUTF8(original.string())));
    ASSERT_NE(doc, nullptr);
    doc->Modify(true);
    // The user's answers to Save As, and what it offered.
    std::vector<std::string> answers, offered;
    CBrindleDocBase::SetSavePathPrompt([&](const CBrindleDocBase&, const wxString& path) {
        offered.push_back(path.utf8_string());
        const std::string answer = answers.empty() ? std::string() : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return wxString::FromUTF8(answer);
    });

    // A template save starts in the templates folder; cancelled, nothing changes.
    answers = {""};
    EXPECT_FALSE(doc->SaveAsTemplate());
    EXPECT_EQ(offered.at(0), Settings::GetTemplatePath() + "titled.xml");
    EXPECT_EQ(doc->GetFilename().utf8_string(), original.string());
    EXPECT_EQ(doc->GetTitle().utf8_string(), original.string());
    EXPECT_TRUE(doc->IsModified());

    const fs::path saved = *g_dir / "renamed.xml";
    answers = {saved.string()};
    EXPECT_TRUE(doc->SaveAs());
    EXPECT_EQ(offered.at(1), original.string());
    EXPECT_EQ(doc->GetFilename().utf8_string(), saved.string());
    EXPECT_EQ(doc->GetTitle().utf8_string(), saved.string());
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_FALSE(doc->IsModified());
    CBrindleDocBase::SetSavePathPrompt(nullptr);
    CloseAll();
}

TEST(AppGui, MissingFileIsReportedAndOpensNothing)
{
    test::RecordingUIServices ui;
    const size_t before = Docs().size();
    // No empty document window stands under the message.
    auto* client = wxGetApp().MainFrame()->GetClientWindow();
    const size_t pages = client->GetPageCount();
    ui.onMessage = [&] { EXPECT_EQ(client->GetPageCount(), pages); };
    EXPECT_EQ(Manager().OpenDocumentFile(wxString::FromUTF8((*g_dir / "absent.xml").string())), nullptr);
    Pump();
    EXPECT_EQ(Docs().size(), before);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("absent.xml"), std::string::npos);

    // On the command line, a missing file is reported and every other one opens.
    const fs::path first = Copy("first.xml"), second = Copy("second.xml");
    ui.onMessage = nullptr;
    wxGetApp().OpenFiles({first.string(), (*g_dir / "absent.xml").string(), second.string()});
    Pump();
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Docs().size(), before + 2);
    CloseAll();

    // Relative names are the starting folder's, though opening a file moves
    // the current folder to the file's.
    fs::create_directories(*g_dir / "sub");
    for (const char* name : {"first.xml", "catalog.dtd"})
        fs::copy_file(*g_dir / name, *g_dir / "sub" / name, fs::copy_options::overwrite_existing);
    fs::current_path(*g_dir / "");
    wxGetApp().OpenFiles({"sub/first.xml", "second.xml"});
    Pump();
    EXPECT_EQ(ui.messages.size(), 2u) << ui.messages.back().text;
    EXPECT_EQ(Docs().size(), 2u);
    CloseAll();
}

TEST(AppGui, TheTitleAndTheWindowMenuFollowTheDocuments)
{
    CloseAll();
    CMainFrame* frame = wxGetApp().MainFrame();
    const auto settle = [] {
        Pump();
        wxTheApp->ProcessIdle();
    };
    settle();
    EXPECT_EQ(frame->GetTitle(), "Brindle");
    const fs::path first = Copy("one.xml"), second = Copy("a&b.xml");
    wxDocument* one = Manager().OpenDocumentFile(wxString::FromUTF8(first.string()));
    wxDocument* two = Manager().OpenDocumentFile(wxString::FromUTF8(second.string()));
    ASSERT_TRUE(one && two);
    settle();
    EXPECT_EQ(frame->GetTitle().utf8_string(), "a&b.xml \u2014 Brindle");
    two->Modify(true);
    settle();
    EXPECT_EQ(frame->GetTitle().utf8_string(), "*a&b.xml \u2014 Brindle");

    // The Window menu lists both, the active one checked; choosing one activates it.
    wxMenuBar* bar = frame->GetMenuBar();
    wxMenuItem* item = bar->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetItemLabelText().utf8_string(), "1 " + first.string());
    EXPECT_FALSE(item->IsChecked());
    ASSERT_NE(bar->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST + 1), nullptr);
    EXPECT_EQ(bar->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST + 1)->GetItemLabelText().utf8_string(), "2 *" + second.string());
    EXPECT_TRUE(bar->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST + 1)->IsChecked());
    wxCommandEvent choose(wxEVT_MENU, ids::ID_WINDOW_DOCUMENT_FIRST);
    frame->ProcessWindowEvent(choose);
    settle();
    EXPECT_EQ(frame->GetTitle().utf8_string(), "one.xml \u2014 Brindle");
    EXPECT_TRUE(frame->GetMenuBar()->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST)->IsChecked());
    EXPECT_EQ(frame->GetMenuBar()->FindItem(ids::ID_WINDOW_DOCUMENT_FIRST + 2), nullptr);
    CloseAll();
    settle();
    EXPECT_EQ(frame->GetTitle(), "Brindle");
}

TEST(AppGui, ViewButtonsFollowTheReportedModeAndFileBrowserToggles)
{
    CMainFrame* frame = wxGetApp().MainFrame();
    EXPECT_EQ(frame->CheckedViewButton(), ids::ID_VIEW_TREE);
    wxCommandEvent mode(EVT_BRINDLE_VIEW_MODE);
    mode.SetInt(ids::ID_VIEW_SOURCE);
    frame->GetEventHandler()->ProcessEvent(mode);
    EXPECT_EQ(frame->CheckedViewButton(), ids::ID_VIEW_SOURCE);
    wxCommandEvent sync(wxEVT_MENU, ids::CMD_SYNC_VIEW_BUTTONS);
    frame->GetEventHandler()->ProcessEvent(sync);
    EXPECT_EQ(frame->CheckedViewButton(), ids::ID_VIEW_SOURCE); // a checked Source View stays

    const bool shown = frame->IsExplorerBarShown();
    wxCommandEvent toggle(wxEVT_MENU, ids::ID_VIEW_FILE_BROWSER);
    frame->GetEventHandler()->ProcessEvent(toggle);
    EXPECT_EQ(frame->IsExplorerBarShown(), !shown);
    EXPECT_EQ(wxAuiManager::GetManager(frame)->GetPane("explorer").IsShown(), !shown);
    wxCommandEvent close(wxEVT_MENU, ids::ID_EXPLORER_CLOSE); // the bar's own close button
    frame->GetEventHandler()->ProcessEvent(close);
    EXPECT_EQ(frame->IsExplorerBarShown(), shown);
}

TEST(AppGui, DocumentMenusListTheFirstTenPluginsAndRecentFilesShow)
{
    CMainFrame* frame = wxGetApp().MainFrame();
    std::unique_ptr<wxMenuBar> bar(frame->CreateDocumentMenuBar(ids::IDR_XMLTYPE));
    int plugins = bar->FindMenu("Plugins");
    ASSERT_NE(plugins, wxNOT_FOUND);
    // Twelve scripts in the folder (see main): the first ten by name, the
    // placeholder gone.
    wxMenu* menu = bar->GetMenu(plugins);
    ASSERT_EQ(menu->GetMenuItemCount(), 10u);
    EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabelText(), "Collapse blank lines.vbs");
    EXPECT_EQ(menu->FindItemByPosition(0)->GetId(), ids::ID_PLUGIN_FIRST);
    EXPECT_EQ(menu->FindItemByPosition(9)->GetItemLabelText(), "zz06.vbs");
    EXPECT_EQ(menu->FindItemByPosition(9)->GetId(), ids::ID_PLUGIN_LAST);
    EXPECT_EQ(menu->FindItem(ids::ID_PLUGIN_PLACEHOLDER), nullptr);
    std::unique_ptr<wxMenuBar> dtd(frame->CreateDocumentMenuBar(ids::IDR_DTDTYPE));
    EXPECT_EQ(dtd->FindMenu("Plugins"), wxNOT_FOUND);

    // The File menu lists the recent files between separators, most recent first.
    wxMenu* file = bar->GetMenu(0);
    std::vector<std::string> labels;
    for (auto* item : file->GetMenuItems()) labels.push_back(item->GetItemLabel().utf8_string());
    auto exit = std::find(labels.begin(), labels.end(), "E&xit");
    ASSERT_NE(exit, labels.end());
    const auto& recent = wxGetApp().RecentFiles();
    ASSERT_FALSE(recent[0].empty());
    // A "&" in the name is doubled, so the menu shows it instead of taking it as the mnemonic.
    wxString shown = wxString::FromUTF8(recent.GetDisplayName(0));
    shown.Replace("&", "&&");
    const std::string first = "&1 " + shown.utf8_string();
    auto at = std::find(labels.begin(), labels.end(), first);
    ASSERT_NE(at, labels.end()) << "no " << first << " in " << ::testing::PrintToString(labels);
    EXPECT_EQ(*(at - 1), "");
    EXPECT_TRUE(file->FindItem(ids::ID_FILE_MRU_FILE1)->IsEnabled());
}

TEST(AppGui, SourceViewValidatesMarksErrorsAndFormats)
{
    const fs::path path = *g_dir / "broken.xml";
    test::WriteFile(path, "<a>\r\n<b>\r\n</a>\r\n");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    auto* docView = dynamic_cast<DocumentView*>(doc->GetFirstView());
    ASSERT_NE(docView, nullptr);
    auto* view = dynamic_cast<CEditSourceView*>(docView->GetEditWindow());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(doc->IsSourceMaster());
    EXPECT_EQ(doc->GetTextBuffer().GetLineCount(), 4);

    EXPECT_FALSE(view->Validate());
    EXPECT_FALSE(view->GetStatusMessage().empty());
    EXPECT_EQ(doc->GetTextBuffer().GetLineWithFlag(LINEF_BOOKMARK), 2);
    EXPECT_EQ(view->Model().GetCursorPos().y, 2);

    // The focus brings the source view's Edit menu.
    view->SetFocus();
    Pump();
    wxMenuBar* bar = wxGetApp().MainFrame()->GetMenuBar();
    const int edit = bar->FindMenu("Edit");
    ASSERT_NE(edit, wxNOT_FOUND);
    EXPECT_NE(bar->GetMenu(edit)->FindItem("Auto Format"), wxNOT_FOUND);

    // Commands reach the view through the frame's menus.
    auto& buffer = doc->GetTextBuffer();
    int endLine = 0, endChar = 0;
    buffer.DeleteText(nullptr, 1, 0, 1, 3, 1);
    buffer.InsertText(nullptr, 1, 0, "<b/>", endLine, endChar, 1);
    wxStatusBar* status = FrameOf(doc)->GetSourceStatusBar();
    wxTheApp->ProcessIdle();
    EXPECT_EQ(status->GetStatusText(0).utf8_string(), view->GetStatusMessage()); // still the error
    wxCommandEvent validate(wxEVT_MENU, ids::ID_TOOLS_VALIDATE);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(validate);
    EXPECT_EQ(view->GetStatusMessage(), "Document validation successful.");
    wxTheApp->ProcessIdle();
    EXPECT_EQ(status->GetStatusText(0), "Document validation successful.");
    // A long reason over several lines shows on one line, cut short with "...".
    view->SetStatusMessage("Opening and ending tag mismatch:\n" + std::string(300, 'x') + "\r\n\tline 2");
    wxTheApp->ProcessIdle();
    EXPECT_EQ(status->GetStatusText(0).utf8_string(), "Opening and ending tag mismatch: " + std::string(300, 'x') + " line 2");
    EXPECT_TRUE(status->HasFlag(wxSTB_ELLIPSIZE_END) && status->HasFlag(wxSTB_SHOW_TIPS));
    view->SetStatusMessage("Document validation successful.");
    const std::string typed = GetWholeText(buffer);
    EXPECT_TRUE(view->AutoFormat());
    EXPECT_EQ(GetWholeText(buffer), "<a>\r\n\t<b/>\r\n</a>\r\n");
    // Edit > Undo takes the formatting back as one step; Redo applies it again.
    wxCommandEvent undo(wxEVT_MENU, ids::ID_EDIT_UNDO);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(undo);
    EXPECT_EQ(GetWholeText(buffer), typed);
    wxCommandEvent redo(wxEVT_MENU, ids::ID_EDIT_REDO);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(redo);
    EXPECT_EQ(GetWholeText(buffer), "<a>\r\n\t<b/>\r\n</a>\r\n");

    // Save writes the edited text to the file it came from, without asking.
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->Save());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(test::ReadFile(path), "<a>\r\n\t<b/>\r\n</a>\r\n");
    CloseAll();
}

TEST(AppGui, ValidationErrorsAreListedBelowTheViewsAndLeadToTheirPlace)
{
    test::WriteFile(*g_dir / "items.dtd", "<!ELEMENT r (i*)>\n<!ELEMENT i EMPTY>\n");
    const fs::path path = *g_dir / "items.xml";
    test::WriteFile(path, "<!DOCTYPE r SYSTEM 'items.dtd'>\n<r>\n<i/>\n</r>\n");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    CChildFrame* frame = FrameOf(doc);
    ASSERT_TRUE(frame->ShowSourceMode());
    ValidationErrorsPane* pane = frame->GetErrorsPane();
    EXPECT_FALSE(pane->IsShown()); // valid: nothing to list

    auto& buffer = doc->GetTextBuffer();
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 2, 0, "<i/>  <x/>\n<y/>\n", endLine, endChar, 1);
    wxCommandEvent validate(wxEVT_MENU, ids::ID_TOOLS_VALIDATE);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(validate);
    Pump();
    ASSERT_TRUE(pane->IsShown());
    EXPECT_GT(pane->GetSize().GetHeight(), 0);
    ASSERT_EQ(pane->List()->GetItemCount(), 3); // x and y undeclared, r's content wrong
    EXPECT_EQ(pane->List()->GetItemText(0, 0), "3");
    EXPECT_EQ(pane->List()->GetItemText(1, 0), "4");
    EXPECT_NE(pane->List()->GetItemText(1, 2).Find("y"), wxNOT_FOUND);
    // The status pane and the line mark tell the first error, as before.
    CEditSourceView* view = frame->GetSourceView();
    EXPECT_EQ(view->GetStatusMessage(), doc->ValidateSource().errors.front().reason);

    // A double-click on a row puts the caret at its line and column.
    view->Model().MoveToPos(0, 0);
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, pane->List()->GetId());
    activated.SetEventObject(pane->List());
    activated.m_itemIndex = 0;
    pane->List()->GetEventHandler()->ProcessEvent(activated);
    EXPECT_EQ(view->Model().GetCursorPos().y, 2);
    EXPECT_EQ(view->Model().GetCursorPos().x, pane->Model().PlaceOf(0).column - 1);
    EXPECT_GT(pane->Model().PlaceOf(0).column, 1);

    // A row in another file opens that file at its line (here the DTD).
    XmlParseError inDtd;
    inDtd.line = 2;
    inDtd.linepos = 3;
    inDtd.reason = "in the DTD";
    inDtd.url = (*g_dir / "items.dtd").string();
    pane->ShowErrors({inDtd}, path.string());
    pane->Activate(0);
    Pump();
    wxDocument* dtd = Manager().FindDocumentByPath(wxString::FromUTF8(inDtd.url));
    ASSERT_NE(dtd, nullptr);
    auto* dtdFrame = dynamic_cast<DocChildFrame*>(dtd->GetFirstView()->GetFrame());
    ASSERT_NE(dtdFrame, nullptr);
    EXPECT_EQ(dtdFrame->GetSourceEditor()->Model().GetCursorPos(), CPoint(2, 1));
    // Open already: found, not opened again.
    const size_t open = Manager().GetDocumentsVector().size();
    pane->Activate(0);
    Pump();
    EXPECT_EQ(Manager().GetDocumentsVector().size(), open);
    ASSERT_TRUE(Manager().CloseDocument(dtd, true));
    frame->Activate();
    Pump();

    // Valid again: the pane goes.
    wxCommandEvent undo(wxEVT_MENU, ids::ID_EDIT_UNDO);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(undo);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(validate);
    Pump();
    EXPECT_FALSE(pane->IsShown());
    EXPECT_EQ(view->GetStatusMessage(), "Document validation successful.");
    CloseAll();
}

TEST(AppGui, DtdFilesOpenInTheirOwnFrame)
{
    const fs::path path = *g_dir / "shape.dtd";
    test::WriteFile(path, "<!ELEMENT shape EMPTY>\n");
    wxDocument* doc = Manager().OpenDocumentFile(wxString::FromUTF8(path.string()));
    ASSERT_NE(doc, nullptr);
    Pump();
    auto* frame = dynamic_cast<CChildFrame2*>(doc->GetFirstView()->GetFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(dynamic_cast<CEditSourceView2*>(frame->GetSourceView()), nullptr);
    EXPECT_EQ(dynamic_cast<CBrindleDoc2*>(doc)->GetTextBuffer().GetCRLFMode(), brindle::EOL_LF);
    // Printing and page setup reach its source view from the File menu.
    ASSERT_NE(frame->GetMenuBar()->FindItem(ids::ID_FILE_PAGE_SETUP), nullptr);
    for (int id : {ids::ID_FILE_PRINT, ids::ID_FILE_PRINT_PREVIEW, ids::ID_FILE_PAGE_SETUP}) {
        wxUpdateUIEvent update(id);
        wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(update);
        EXPECT_TRUE(update.GetEnabled()) << id;
    }
    CloseAll();
}

namespace {


// The frame's visible views, by what they are.
std::string Shown(CChildFrame* frame)
{
    std::string out;
    auto* splitter = frame->GetSplitter();
    for (int c = 0; c < splitter->GetColumnCount(); ++c) {
        wxWindow* pane = splitter->GetPane(0, c);
        out += pane == frame->GetSourceView() ? "S" : pane->IsShown() ? "V" : "?";
    }
    return out;
}

void Command(int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(event);
    Pump();
}

} // namespace

TEST(AppGui, SourceViewColoursAsTheSettingSays)
{
    CloseAll();
    const fs::path path = *g_dir / "colours.xml";
    // Not well-formed: it opens as text, in Source mode.
    std::string text = "<!-- one\r\ntwo -->\r\n<a x='1'>it's\r\n";
    for (int i = 0; i < 200; ++i) text += "<b>\r\n";
    test::WriteFile(path, text + "<!-- far below\r\n"); // line 203
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    brindle::CTextView* view = FrameOf(doc)->GetSourceView();
    ASSERT_NE(view, nullptr);
    // The colours of characters 1 ("a"), 3 ("x") and 12 (the "s" after an apostrophe) of line 2.
    const auto coloursOfLine2 = [view] {
        std::vector<TextBlock> blocks(64);
        int count = 0;
        view->ParseLine(view->Model().GetParseCookie(1), 2, blocks.data(), count);
        std::vector<int> colours;
        for (int at : {1, 3, 12}) {
            int colour = COLORINDEX_NORMALTEXT;
            for (int b = 0; b < count && blocks[static_cast<size_t>(b)].m_nCharPos <= at; ++b)
                colour = blocks[static_cast<size_t>(b)].m_nColorIndex;
            colours.push_back(colour);
        }
        return colours;
    };
    const auto repaint = [view] {
        view->Refresh();
        view->Update();
        Pump();
    };
    // XML colouring: the comment runs on to line 1; a tag's name, its attribute,
    // and text that is plain, apostrophe and all.
    const auto comment = static_cast<std::uint32_t>(xml_colour::State::Comment);
    EXPECT_EQ(view->Model().GetParseCookie(0), comment);
    EXPECT_EQ(view->Model().GetParseCookie(203), comment);
    EXPECT_EQ(coloursOfLine2(), (std::vector<int>{COLORINDEX_TAG, COLORINDEX_ATTRNAME, COLORINDEX_NORMALTEXT}));

    // The plain line colouring once the setting is off and the view repaints: its
    // states are computed again, those of lines out of sight too.
    Profile::WriteProfileInt("Settings", "xmlColouring", 0);
    repaint();
    EXPECT_EQ(view->Model().GetParseCookie(0), 0u);
    EXPECT_EQ(view->Model().GetParseCookie(203), 0u);
    EXPECT_EQ(coloursOfLine2(), (std::vector<int>{COLORINDEX_NORMALTEXT, COLORINDEX_NORMALTEXT, COLORINDEX_STRING}));
    Profile::WriteProfileInt("Settings", "xmlColouring", 1);
    repaint();
    EXPECT_EQ(view->Model().GetParseCookie(203), comment);
    CloseAll();
}

TEST(AppGui, SourceModeMarksChangesOnlyAndSaveAsClearsTheMark)
{
    CloseAll();
    const fs::path original = Copy("source-save.xml"), saved = *g_dir / "source-saved.xml";
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(original.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    CChildFrame* frame = FrameOf(doc);
    Command(ids::ID_VIEW_SOURCE);
    ASSERT_EQ(frame->GetMode(), ViewMode::Source);
    EXPECT_FALSE(doc->IsModified()); // still the file's own text
    int endLine = 0, endChar = 0;
    doc->GetTextBuffer().InsertText(nullptr, 0, 0, " ", endLine, endChar, 1);
    EXPECT_TRUE(doc->IsModified());

    CBrindleDocBase::SetSavePathPrompt([&](const CBrindleDocBase&, const wxString&) {
        return wxString::FromUTF8(saved.string());
    });
    EXPECT_TRUE(doc->SaveAs());
    CBrindleDocBase::SetSavePathPrompt(nullptr);
    // The focus coming back from the dialog to the text changes nothing.
    frame->GetTreeView()->SetFocus();
    Pump();
    frame->GetSourceView()->SetFocus();
    Pump();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(frame->GetTitle().EndsWith("*"));
    CloseAll();
}

TEST(AppGui, ModesSwitchTheViewsAndCarryEditsAcross)
{
    const fs::path path = *g_dir / "modes.xml";
    test::WriteFile(path, "<?xml version=\"1.0\"?>\n<catalog><book id=\"b1\">Title</book></catalog>\n");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    CChildFrame* frame = FrameOf(doc);
    ASSERT_NE(frame, nullptr);
    CMainFrame* main = wxGetApp().MainFrame();
    EXPECT_EQ(frame->GetMode(), ViewMode::Tree);
    EXPECT_EQ(Shown(frame), "VV");
    EXPECT_EQ(main->CheckedViewButton(), ids::ID_VIEW_TREE);
    EXPECT_EQ(wxWindow::FindFocus(), frame->GetActiveView()); // the keyboard is in the new document

    // The view with the keyboard brings its Edit menu; the View menu's marks
    // show the mode.
    const auto editHas = [&](int id) {
        wxMenuBar* bar = main->GetMenuBar();
        const int edit = bar->FindMenu("Edit");
        return edit != wxNOT_FOUND && bar->GetMenu(edit)->FindItem(id) != nullptr;
    };
    frame->GetSplitter()->SetActivePane(0, kTreeColumn);
    Pump();
    EXPECT_TRUE(editHas(ids::ID_NODE_CHILD));
    frame->GetSplitter()->SetActivePane(0, kListColumn);
    Pump();
    EXPECT_TRUE(editHas(ids::ID_NEW_ATTRIBUTE));
    EXPECT_FALSE(editHas(ids::ID_NODE_CHILD));
    wxUpdateUIEvent treeMark(ids::ID_VIEW_TREE), sourceMark(ids::ID_VIEW_SOURCE);
    main->GetEventHandler()->ProcessEvent(treeMark);
    main->GetEventHandler()->ProcessEvent(sourceMark);
    EXPECT_TRUE(treeMark.GetChecked());
    EXPECT_FALSE(sourceMark.GetChecked());

    // Looking at the document in the browser changes nothing in it.
    Command(ids::ID_VIEW_BROWSER);
    EXPECT_FALSE(doc->IsModified());
    Command(ids::ID_VIEW_TREE);

    // The canonical round ends with the tree and the list.
    const std::pair<int, std::string> steps[] = {
        {ids::ID_VIEW_SOURCE, "S"}, {ids::ID_VIEW_BROWSER, "V"}, {ids::ID_VIEW_TREE, "VV"}, {ids::ID_VIEW_BROWSER, "V"},
        {ids::ID_VIEW_SOURCE, "S"}, {ids::ID_VIEW_TREE, "VV"}};
    for (const auto& [command, shown] : steps) {
        Command(command);
        EXPECT_EQ(Shown(frame), shown) << command;
        EXPECT_EQ(main->CheckedViewButton(), command);
    }

    // Source mode: the text from the DOM, the keyboard in the source view; a
    // malformed text keeps the document there, once told.
    Command(ids::ID_VIEW_SOURCE);
    EXPECT_TRUE(doc->IsSourceMaster());
    EXPECT_EQ(wxWindow::FindFocus(), frame->GetSourceView());
    for (int id : {ids::ID_TOOLS_VALIDATE, ids::ID_TOOLS_AUTO_FORMAT, ids::ID_EDIT_SELECT_ALL_TEXT}) {
        wxUpdateUIEvent update(id); // the source view answers for its own commands
        main->GetEventHandler()->ProcessEvent(update);
        EXPECT_TRUE(update.GetEnabled()) << id;
    }
    EXPECT_NE(GetWholeText(doc->GetTextBuffer()).find("<catalog"), std::string::npos);
    auto& buffer = doc->GetTextBuffer();
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 0, 0, "<broken>", endLine, endChar, 1);
    {
        test::RecordingUIServices ui;
        Command(ids::ID_VIEW_TREE);
        // The refusal says why and where.
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Source XML document contains errors.\n\n"
                                                        "XML declaration allowed only at the start of the document"
                                                        "\n\nLine 1, position 14"});
    }
    EXPECT_EQ(frame->GetMode(), ViewMode::Source);
    EXPECT_EQ(main->CheckedViewButton(), ids::ID_VIEW_SOURCE);
    EXPECT_EQ(buffer.GetLineWithFlag(LINEF_BOOKMARK), 0);
    {
        // A tree that would not fit is refused before the text is looked at: no
        // error line is marked for it.
        test::RecordingUIServices ui;
        SetAvailableMemoryQuery([] { return std::optional<std::uint64_t>(0); });
        Command(ids::ID_VIEW_TREE);
        SetAvailableMemoryQuery({});
        ASSERT_EQ(ui.Texts().size(), 1u);
        EXPECT_EQ(ui.Texts()[0].rfind("This document needs about ", 0), 0u);
        EXPECT_NE(ui.Texts()[0].find("It stays in Source mode."), std::string::npos);
        EXPECT_EQ(frame->GetMode(), ViewMode::Source);
        EXPECT_EQ(buffer.GetLineWithFlag(LINEF_BOOKMARK), -1);
    }

    // Fixed, the text goes into the DOM on the way to the tree.
    buffer.DeleteText(nullptr, 0, 0, 0, 8, 1);
    const std::string text = GetWholeText(buffer);
    const size_t root = text.find("<catalog");
    ASSERT_NE(root, std::string::npos);
    std::string edited = text;
    edited.insert(root + 8, " edited=\"yes\"");
    buffer.DeleteText(nullptr, 0, 0, buffer.GetLineCount() - 1, buffer.GetLineLength(buffer.GetLineCount() - 1), 1);
    buffer.InsertText(nullptr, 0, 0, edited, endLine, endChar, 1);
    Command(ids::ID_VIEW_TREE);
    EXPECT_EQ(frame->GetMode(), ViewMode::Tree);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->getAttribute("edited"), "yes");
    EXPECT_FALSE(doc->IsSourceMaster());

    // With a second document in another mode, the buttons follow the active one.
    const fs::path other = *g_dir / "other.xml";
    fs::copy_file(path, other, fs::copy_options::overwrite_existing);
    auto* second = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(other.string())));
    ASSERT_NE(second, nullptr);
    Pump();
    Command(ids::ID_VIEW_BROWSER);
    EXPECT_EQ(FrameOf(second)->GetMode(), ViewMode::Browser);
    EXPECT_EQ(main->CheckedViewButton(), ids::ID_VIEW_BROWSER);
    frame->Activate();
    Pump();
    EXPECT_EQ(main->GetActiveChild(), frame);
    EXPECT_EQ(main->CheckedViewButton(), ids::ID_VIEW_TREE);
    FrameOf(second)->Activate();
    Pump();
    EXPECT_EQ(main->CheckedViewButton(), ids::ID_VIEW_BROWSER);
    // Window › Next and Previous Document go round the documents.
    Command(wxID_MDI_WINDOW_NEXT);
    EXPECT_NE(main->GetActiveChild(), FrameOf(second));
    Command(wxID_MDI_WINDOW_PREV);
    EXPECT_EQ(main->GetActiveChild(), FrameOf(second));
    CloseAll();
}

TEST(AppGui, FilesThatDoNotParseOpenInSourceModeWithTheReason)
{
    const std::pair<std::string, std::string> files[] = {
        {"empty.xml", ""}, {"binary.xml", std::string("\x00\x01\x02\xFF\xFE", 5)}, {"bad-utf8.xml", "<a>\xFF\xC3</a>"}};
    for (const auto& [name, bytes] : files) {
        const fs::path path = *g_dir / name;
        test::WriteFile(path, bytes);
        auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
        ASSERT_NE(doc, nullptr) << name;
        Pump();
        CChildFrame* frame = FrameOf(doc);
        EXPECT_EQ(frame->GetMode(), ViewMode::Source) << name;
        EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), bytes) << name;
        EXPECT_NE(frame->GetSourceView()->GetStatusMessage(), "") << name;
        EXPECT_NE(frame->GetSourceView()->GetStatusMessage(), "Document validation successful.") << name;
        EXPECT_EQ(wxWindow::FindFocus(), frame->GetSourceView()) << name;
        CloseAll();
    }
}

TEST(AppGui, TransformProposesTheDocumentsStylesheetAndChecksTheEntries)
{
    test::WriteFile(*g_dir / "style.xsl",
                    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                    "<xsl:output method=\"text\"/><xsl:template match=\"/\">n=<xsl:value-of select=\"/r/@n\"/>"
                    "</xsl:template></xsl:stylesheet>");
    const fs::path path = *g_dir / "styled.xml";
    test::WriteFile(path, "<?xml-stylesheet type=\"text/xsl\" href=\"style.xsl\"?><r n=\"7\"/>");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    const std::string output = (*g_dir / "out.txt").string();
    test::RecordingUIServices ui;
    std::string proposed;
    bool stayedOpen = false;
    wxTheApp->CallAfter([&] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<CTransformDlg*>(w);
            if (!dialog) continue;
            auto* xsl = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1000));
            auto* out = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1001));
            proposed = xsl->GetValue().utf8_string();
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            dialog->ProcessWindowEvent(ok); // no output file yet: it stays
            stayedOpen = dialog->IsModal();
            out->ChangeValue(wxString::FromUTF8(output));
            dialog->ProcessWindowEvent(ok);
        }
    });
    FrameOf(doc)->TransformDocument();
    EXPECT_EQ(proposed, "style.xsl");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"No output file specified."});
    EXPECT_EQ(test::ReadFile(output), "n=7");
    EXPECT_EQ(TransformDialogProblem("out.xml", ""), "No stylesheet file specified.");
    EXPECT_EQ(TransformDialogProblem("out.xml", "s.xsl"), "");
    CloseAll();
}

TEST(AppGui, AnHtmlResultOpensUnmodifiedWithoutAnXmlError)
{
    const fs::path catalog = Copy("catalog.xml");
    fs::copy_file(std::string(BRINDLE_SAMPLES) + "/catalog.xsl", *g_dir / "catalog.xsl", fs::copy_options::overwrite_existing);
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(catalog.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    const std::string output = (*g_dir / "catalog.html").string();
    test::RecordingUIServices ui;
    wxTheApp->CallAfter([&] {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<CTransformDlg*>(w);
            if (!dialog) continue;
            // A message about the entries is shown over the dialog, which stays.
            EXPECT_EQ(WxUIServices::DialogParent(), dialog);
            dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1001))->ChangeValue(wxString::FromUTF8(output));
            dynamic_cast<wxCheckBox*>(dialog->FindWindow(1005))->SetValue(true);
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            dialog->ProcessWindowEvent(ok);
        }
    });
    FrameOf(doc)->TransformDocument();
    Pump();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.at(0).text;
    auto* result = dynamic_cast<CBrindleDoc*>(Manager().GetCurrentDocument());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetFilename().utf8_string(), output);
    EXPECT_EQ(FrameOf(result)->GetMode(), ViewMode::Source);
    EXPECT_EQ(FrameOf(result)->GetSourceView()->GetStatusMessage(), "HTML document: edited as text.");
    EXPECT_EQ(result->GetTextBuffer().GetLineWithFlag(LINEF_BOOKMARK), -1);
    EXPECT_FALSE(result->IsModified());
    EXPECT_NE(GetWholeText(result->GetTextBuffer()).find("<table"), std::string::npos);
    CloseAll();
}

TEST(AppGui, CommandsThatNothingAnswersAreDisabled)
{
    const auto enabled = [](int id) {
        wxUpdateUIEvent event(id);
        wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(event);
        return !event.GetSetEnabled() || event.GetEnabled();
    };
    CloseAll();
    for (int id : {ids::ID_EDIT_CUT, ids::ID_EDIT_COPY, ids::ID_EDIT_REDO, ids::ID_EDIT_FIND, ids::ID_EDIT_REPLACE,
                   ids::ID_TOOLS_VALIDATE, ids::ID_TOOLS_TRANSFORM, ids::ID_TOOLS_AUTO_FORMAT, ids::ID_VIEW_SOURCE})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(ids::ID_FILE_OPEN));

    // A DTD document has no XML tools and no modes.
    const fs::path path = *g_dir / "tools.dtd";
    test::WriteFile(path, "<!ELEMENT a EMPTY>\n");
    ASSERT_NE(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())), nullptr);
    Pump();
    for (int id : {ids::ID_TOOLS_VALIDATE, ids::ID_TOOLS_TRANSFORM, ids::ID_TOOLS_AUTO_FORMAT, ids::ID_VIEW_TREE})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(ids::ID_EDIT_FIND));
    CloseAll();
}

TEST(AppGui, KeysInTheNodeViewsDeleteUndoAndRename)
{
    const fs::path path = *g_dir / "undo.xml";
    test::WriteFile(path, "<?xml version=\"1.0\"?>\n<catalog><book id=\"b1\"><title>T</title></book><book/></catalog>\n");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    CLeftView* tree = FrameOf(doc)->GetTreeView();
    tree->SetFocus();
    const XmlNodePtr book = doc->GetDomDocument()->selectSingleNode("/catalog/book");
    tree->SelectNodeItem(tree->ItemOf(book));
    Pump();
    const std::string before = doc->GetDomDocument()->xml();

    // The keys of the main accelerator table, pressed with the tree in front.
    wxUIActionSimulator keys;
    keys.Char(WXK_DELETE);
    Pump();
    ASSERT_EQ(doc->GetDomDocument()->selectSingleNode("/catalog/book/title"), nullptr);
    keys.Char('z', wxMOD_CONTROL);
    Pump();
    EXPECT_EQ(doc->GetDomDocument()->xml(), before);
    EXPECT_EQ(tree->NodeOf(tree->GetSelection()), book);
    keys.Char('y', wxMOD_CONTROL);
    Pump();
    EXPECT_EQ(doc->GetDomDocument()->selectSingleNode("/catalog/book/title"), nullptr);
    // Edit > Undo (the tree's Edit menu) does the same.
    Command(ids::ID_EDIT_UNDO);
    EXPECT_EQ(doc->GetDomDocument()->xml(), before);

    // F2 renames the selected item, as on the desktop.
    tree->SetFocus();
    Pump();
    keys.Char(WXK_F2);
    Pump();
    ASSERT_NE(tree->GetEditControl(), nullptr);
    tree->EndEditLabel(tree->GetSelection(), true);
    Pump();
    // And the selected row of the node list (the book's "id" attribute).
    CNodePage* page = FrameOf(doc)->GetFormView()->GetNodePage();
    wxListCtrl* list = page->GetList();
    ASSERT_TRUE(page->CanEditLabel(0));
    list->SetFocus();
    list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    Pump();
    keys.Char(WXK_F2);
    Pump();
    ASSERT_NE(list->GetEditControl(), nullptr);
    list->EndEditLabel(true);
    Pump();
    CloseAll();
}

// Runs the settings sheet, letting `act` work on it once it is up.
bool RunSheetWith(std::function<void(wxPropertySheetDialog&)> act)
{
    wxTheApp->CallAfter([act] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* sheet = dynamic_cast<wxPropertySheetDialog*>(w)) act(*sheet);
    });
    return RunSettingsSheet(wxGetApp().MainFrame());
}

TEST(AppGui, PluginsRunFromTheMenuOnTheSourceTextAndUndoInOneStep)
{
    const fs::path path = *g_dir / "plugin.xml";
    const std::string text = "<catalog>\r\n  <!-- a note -->\r\n  <book id=\"b1\"/>\r\n</catalog>";
    test::WriteFile(path, text);
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(path.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    const int removeComments = ids::ID_PLUGIN_FIRST + 2; // "Remove comments.vbs"
    {
        test::RecordingUIServices ui;
        Command(removeComments);
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Plugins only work when editing the source"});
    }
    Command(ids::ID_VIEW_SOURCE);
    ASSERT_TRUE(doc->IsSourceMaster());
    {
        test::RecordingUIServices ui;
        Command(removeComments);
        EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    }
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), "<catalog>\r\n  <book id=\"b1\"/>\r\n</catalog>");
    EXPECT_TRUE(doc->IsModified());
    Command(ids::ID_EDIT_UNDO);
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), text);
    CloseAll();
}

TEST(AppGui, SettingsSheetStoresOnlyThePagesThatWereShown)
{
    const std::string key = "Software\\Brindle\\Brindle\\Settings";
    auto& store = Profile::Store();
    for (const auto& name : store.EnumValueNames(key)) store.DeleteValue(key, name);

    EXPECT_TRUE(RunSheetWith([](wxPropertySheetDialog& sheet) {
        EXPECT_EQ(sheet.GetTitle(), "Settings");
        wxBookCtrlBase* book = sheet.GetBookCtrl();
        ASSERT_EQ(book->GetPageCount(), 4u);
        EXPECT_EQ(book->GetPageText(0), "Parser");
        EXPECT_EQ(book->GetPageText(3), "Edit");
        EXPECT_EQ(book->GetPage(3)->GetChildren().size(), 0u);
        EXPECT_EQ(sheet.FindWindow(wxID_APPLY), nullptr);
        auto* validate = dynamic_cast<wxCheckBox*>(book->GetPage(0)->FindWindow(1005));
        ASSERT_NE(validate, nullptr);
        EXPECT_TRUE(validate->GetValue()); // the default shows
        validate->SetValue(false);
        sheet.EndModal(wxID_OK);
    }));
    auto names = store.EnumValueNames(key);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"parserAppId", "processXIncludes", "resolveExternals", "useXPath",
                                               "userCatalog", "validateOnParse"}));
    EXPECT_EQ(Settings::GetValidateOnParse(), 0);

    // Cancel stores nothing, even from a page that was shown and changed.
    EXPECT_FALSE(RunSheetWith([](wxPropertySheetDialog& sheet) {
        sheet.GetBookCtrl()->SetSelection(1);
        dynamic_cast<wxCheckBox*>(sheet.GetBookCtrl()->GetPage(1)->FindWindow(1005))->SetValue(true);
        auto* largeMB = dynamic_cast<wxSpinCtrl*>(sheet.GetBookCtrl()->GetPage(1)->FindWindow(1009));
        ASSERT_NE(largeMB, nullptr);
        EXPECT_EQ(largeMB->GetValue(), 200);
        largeMB->SetValue(5);
        sheet.EndModal(wxID_CANCEL);
    }));
    EXPECT_EQ(Settings::GetDisplayNavBar(), 0);
    EXPECT_EQ(Settings::GetLargeFileMB(), 200);
    EXPECT_TRUE(RunSheetWith([](wxPropertySheetDialog& sheet) {
        sheet.GetBookCtrl()->SetSelection(1);
        dynamic_cast<wxSpinCtrl*>(sheet.GetBookCtrl()->GetPage(1)->FindWindow(1009))->SetValue(50);
        sheet.EndModal(wxID_OK);
    }));
    EXPECT_EQ(Settings::GetLargeFileMB(), 50);
    Profile::WriteProfileInt("Settings", "largeFileMB", 200);
    Profile::WriteProfileInt("Settings", "validateOnParse", 1);
}

// Every value of the "Settings" section, to compare and to put back.
std::map<std::string, SettingsStore::Value> StoredSettings()
{
    const std::string key = "Software\\Brindle\\Brindle\\Settings";
    std::map<std::string, SettingsStore::Value> values;
    for (const auto& name : Profile::Store().EnumValueNames(key)) values[name] = *Profile::Store().GetValue(key, name);
    return values;
}

// Puts the section back as it was when made.
struct SettingsRestorer {
    std::map<std::string, SettingsStore::Value> saved = StoredSettings();
    ~SettingsRestorer()
    {
        const std::string key = "Software\\Brindle\\Brindle\\Settings";
        auto& store = Profile::Store();
        for (const auto& name : store.EnumValueNames(key)) store.DeleteValue(key, name);
        for (const auto& [name, value] : saved) {
            if (const auto* text = std::get_if<std::string>(&value)) store.SetString(key, name, *text);
            else store.SetInt(key, name, std::get<int32_t>(value));
        }
    }
};

// The sheet's check boxes: page, control and the key each stands for.
struct SheetCheck {
    size_t page;
    int id;
    const char* key;
};
const SheetCheck kSheetChecks[] = {
    {0, 1005, Settings::Key::kValidateOnParse},   {0, 1006, Settings::Key::kResolveExternals},
    {0, 1007, Settings::Key::kUseXPath},          {1, 1005, Settings::Key::kDisplayNavBar},
    {1, 1006, Settings::Key::kStartWithSourceView}, {1, 1007, Settings::Key::kDisplayFileTypesDlg},
    {1, 1008, Settings::Key::kKeepOwnText},         {0, 1010, Settings::Key::kProcessXIncludes},
};

template <class Control> Control* SheetControl(wxPropertySheetDialog& sheet, size_t page, int id)
{
    auto* control = dynamic_cast<Control*>(sheet.GetBookCtrl()->GetPage(page)->FindWindow(id));
    EXPECT_NE(control, nullptr) << "page " << page << ", control " << id;
    return control;
}

// Shows every page, last to first, so that each loads its controls.
void ShowEveryPage(wxPropertySheetDialog& sheet)
{
    for (size_t page = sheet.GetBookCtrl()->GetPageCount(); page-- > 0;) sheet.GetBookCtrl()->SetSelection(page);
}

TEST(AppGui, SettingsSheetEachCheckBoxShowsAndStoresItsOwnKey)
{
    SettingsRestorer restore;
    const size_t count = std::size(kSheetChecks);
    // Only one box is on when the sheet opens, and OK leaves only the next one on:
    // a box that reads or writes another's key shows up.
    for (size_t on = 0; on < count; ++on) {
        for (size_t i = 0; i < count; ++i) Settings::WriteInt(kSheetChecks[i].key, i == on ? 1 : 0);
        const size_t next = (on + 1) % count;
        EXPECT_TRUE(RunSheetWith([&](wxPropertySheetDialog& sheet) {
            ShowEveryPage(sheet);
            for (size_t i = 0; i < count; ++i) {
                auto* box = SheetControl<wxCheckBox>(sheet, kSheetChecks[i].page, kSheetChecks[i].id);
                if (!box) continue;
                EXPECT_EQ(box->GetValue(), i == on) << kSheetChecks[i].key;
                box->SetValue(i == next);
            }
            sheet.EndModal(wxID_OK);
        }));
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(Profile::GetProfileInt("Settings", kSheetChecks[i].key, -1), i == next ? 1 : 0)
                << kSheetChecks[i].key << " after turning on " << kSheetChecks[next].key;
    }
}

TEST(AppGui, SettingsSheetUserCatalogIsStoredAndOneThatCannotBeUsedIsNamed)
{
    SettingsRestorer restore;
    const fs::path notCatalog = *g_dir / "sheet-notes.xml";
    test::WriteFile(notCatalog, "<notes/>");
    Settings::WriteString(Settings::Key::kUserCatalog, BRINDLE_TEST_DATA "/catalog/catalog.xml");
    test::RecordingUIServices ui;
    EXPECT_TRUE(RunSheetWith([&](wxPropertySheetDialog& sheet) {
        if (auto* field = SheetControl<wxTextCtrl>(sheet, 0, 1011)) {
            EXPECT_EQ(field->GetValue().utf8_string(), BRINDLE_TEST_DATA "/catalog/catalog.xml");
            field->ChangeValue(wxString::FromUTF8(notCatalog.string()));
        }
        sheet.EndModal(wxID_OK);
    }));
    // Kept, so that it can be mended, and said to be unusable.
    EXPECT_EQ(Settings::GetUserCatalog(), notCatalog.string());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The file " + notCatalog.string() + " is not an XML catalog.");
    Settings::WriteString(Settings::Key::kUserCatalog, "");
    EXPECT_EQ(ApplyUserCatalog(), "");
}

TEST(AppGui, SettingsSheetTextsNumberAndFoldersShowAndStoreTheirKeysAndCancelStoresNothing)
{
    SettingsRestorer restore;
    const fs::path picked = *g_dir / "sheet/picked";
    fs::create_directories(picked);
    const std::string folders[] = {(*g_dir / "sheet/t/").string(), (*g_dir / "sheet/w/").string(),
                                   (*g_dir / "sheet/s/").string()};
    Settings::WriteParserAppId("Stored.Parser");
    Settings::WriteInt(Settings::Key::kLargeFileMB, 12);
    Settings::WriteString(Settings::Key::kTemplatePath, folders[0]);
    Settings::WriteString(Settings::Key::kWorkingPath, folders[1]);
    Settings::WriteString(Settings::Key::kScriptPath, folders[2]);
    const int folderIds[] = {1004, 1002, 1003};

    // Every control changed, then Cancel: nothing is stored.
    const auto before = StoredSettings();
    EXPECT_FALSE(RunSheetWith([&](wxPropertySheetDialog& sheet) {
        ShowEveryPage(sheet);
        for (const auto& check : kSheetChecks)
            if (auto* box = SheetControl<wxCheckBox>(sheet, check.page, check.id)) box->SetValue(!box->GetValue());
        if (auto* appId = SheetControl<wxTextCtrl>(sheet, 0, 1000)) appId->ChangeValue("Other");
        if (auto* largeMB = SheetControl<wxSpinCtrl>(sheet, 1, 1009)) largeMB->SetValue(99);
        for (int id : folderIds)
            if (auto* field = SheetControl<wxTextCtrl>(sheet, 2, id)) field->ChangeValue("/elsewhere");
        sheet.EndModal(wxID_CANCEL);
    }));
    EXPECT_EQ(StoredSettings(), before);

    EXPECT_TRUE(RunSheetWith([&](wxPropertySheetDialog& sheet) {
        wxBookCtrlBase* book = sheet.GetBookCtrl();
        EXPECT_EQ(book->GetPageText(1), "Display");
        EXPECT_EQ(book->GetPageText(2), "File");
        ShowEveryPage(sheet);
        if (auto* appId = SheetControl<wxTextCtrl>(sheet, 0, 1000)) {
            EXPECT_EQ(appId->GetValue(), "Stored.Parser");
            appId->ChangeValue("Changed.Parser");
        }
        if (auto* largeMB = SheetControl<wxSpinCtrl>(sheet, 1, 1009)) {
            EXPECT_EQ(largeMB->GetValue(), 12);
            largeMB->SetValue(34);
        }
        for (size_t i = 0; i < 3; ++i)
            if (auto* field = SheetControl<wxTextCtrl>(sheet, 2, folderIds[i])) {
                EXPECT_EQ(field->GetValue().utf8_string(), folders[i]);
                field->ChangeValue(wxString::FromUTF8(folders[(i + 1) % 3]));
            }
        // Shown for information only: disabled, and stored nowhere.
        if (auto* extensions = SheetControl<wxTextCtrl>(sheet, 2, 1000)) {
            EXPECT_FALSE(extensions->IsEnabled());
            EXPECT_EQ(extensions->GetValue(), ".xml;.xsl;.xsd;.xdr");
        }
        if (auto* dtdExtensions = SheetControl<wxTextCtrl>(sheet, 2, 1001)) {
            EXPECT_FALSE(dtdExtensions->IsEnabled());
            EXPECT_EQ(dtdExtensions->GetValue(), ".dtd");
        }
        // The folder buttons are wide enough for their "..." (the toolkit
        // complains about a narrower one).
        for (int id : {1016, 1017, 1018}) {
            if (auto* folderButton = SheetControl<wxButton>(sheet, 2, id)) {
                EXPECT_GE(folderButton->GetSize().x, folderButton->GetBestSize().x) << id;
            }
        }
        if (auto* format = SheetControl<wxChoice>(sheet, 2, 1042)) {
            EXPECT_FALSE(format->IsEnabled());
            EXPECT_EQ(wxJoin(format->GetStrings(), ','), "DOS,Unix,Machintosh");
        }
        // The template folder picked in the Location dialog, given with a final
        // separator, goes into the field without it.
        wxTheApp->CallAfter([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<CLocationDlg*>(w)) {
                    EXPECT_TRUE(dialog->Tree().SelectFolder(picked.string() + "/"));
                    dialog->EndModal(wxID_OK);
                }
        });
        wxWindow* button = book->GetPage(2)->FindWindow(1018);
        wxCommandEvent click(wxEVT_BUTTON, 1018);
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
        sheet.EndModal(wxID_OK);
    }));
    auto& store = Profile::Store();
    const std::string key = "Software\\Brindle\\Brindle\\Settings";
    EXPECT_EQ(store.GetString(key, "parserAppId"), "Changed.Parser");
    EXPECT_EQ(store.GetInt(key, "largeFileMB"), 34);
    EXPECT_EQ(store.GetString(key, "templatePath"), picked.string());
    EXPECT_EQ(store.GetString(key, "workingPath"), folders[2]);
    EXPECT_EQ(store.GetString(key, "scriptPath"), folders[0]);
    // Its users get it back with the separator.
    EXPECT_EQ(Settings::GetTemplatePath(), picked.string() + "/");
}

TEST(AppGui, FolderButtonsPickInTheFolderTreeStartingAtTheFieldsFolder)
{
    fs::create_directories(*g_dir / "pick/a");
    fs::create_directories(*g_dir / "pick/b");
    // Answers the Location dialog once it is up.
    const auto answer = [](std::function<void(CLocationDlg&)> act) {
        wxTheApp->CallAfter([act] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<CLocationDlg*>(w)) act(*dialog);
        });
    };
    EXPECT_FALSE(RunSheetWith([&](wxPropertySheetDialog& sheet) {
        sheet.GetBookCtrl()->SetSelection(2);
        wxWindow* page = sheet.GetBookCtrl()->GetPage(2);
        auto* field = dynamic_cast<wxTextCtrl*>(page->FindWindow(1002));
        ASSERT_NE(field, nullptr);
        field->ChangeValue(wxString::FromUTF8((*g_dir / "pick/a").string()));
        const auto click = [&] {
            wxCommandEvent event(wxEVT_BUTTON, 1016);
            event.SetEventObject(page->FindWindow(1016));
            page->FindWindow(1016)->ProcessWindowEvent(event);
        };
        answer([](CLocationDlg& dialog) {
            EXPECT_EQ(dialog.GetTitle(), "Location");
            EXPECT_EQ(dialog.GetPath(), *g_dir / "pick/a");
            EXPECT_TRUE(dialog.Tree().SelectFolder(*g_dir / "pick/b/"));
            dialog.EndModal(wxID_OK);
        });
        click();
        EXPECT_EQ(field->GetValue().utf8_string(), (*g_dir / "pick/b").string());
        answer([](CLocationDlg& dialog) {
            dialog.Tree().SelectFolder(*g_dir / "pick");
            dialog.EndModal(wxID_CANCEL);
        });
        click();
        EXPECT_EQ(field->GetValue().utf8_string(), (*g_dir / "pick/b").string());
        sheet.EndModal(wxID_CANCEL);
    }));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    test::TempDir dir;
    g_dir = &dir;
    // The application reads its settings from the test's own folder.
    setenv("BRINDLE_CONFIG_DIR", (dir / "config").c_str(), 1);
    Settings::SetProgramFolder(dir.path().string());
    // Twelve plugins in the program's scripts folder: our samples and stand-ins
    // named to sort after them.
    fs::create_directories(dir / "scripts");
    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(std::string(BRINDLE_SAMPLES) + "/scripts")) {
        fs::copy_file(entry.path(), dir / "scripts" / entry.path().filename());
        ++scripts;
    }
    for (int i = 1; scripts < 12; ++i, ++scripts)
        test::WriteFile(dir / "scripts" / ("zz0" + std::to_string(i) + ".vbs"), "Function Main(t)\nMain = t\nEnd Function\n");

    std::string program = "Brindle";
    std::string file = kSample;
    char* appArgv[] = {program.data(), file.data(), nullptr};
    int appArgc = 2;
    if (!wxEntryStart(appArgc, appArgv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    // A failed toolkit check fails the run instead of waiting in a dialog.
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
        if (CBrindleApp::IsExpectedAssert(msg)) return;
        std::fprintf(stderr, "%s:%d: toolkit check failed: %s %s\n", file.utf8_str().data(), line,
                     cond.utf8_str().data(), msg.utf8_str().data());
        ADD_FAILURE() << "toolkit check failed: " << cond << " " << msg;
    });
    if (!wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    Pump();
    int result = RUN_ALL_TESTS();

    // A clean exit: the main window closes, the loop ends, the recent files are stored.
    wxGetApp().MainFrame()->Close();
    Pump();
    wxTheApp->OnExit();
    wxEntryCleanup();
    if (result == 0) {
        SettingsStore stored(dir / "config" / "settings");
        if (!stored.GetString("Software\\Brindle\\Brindle\\Recent File List", "File1")) {
            std::fprintf(stderr, "recent files were not stored at exit\n");
            result = 1;
        }
    }
    return result;
}

TEST(AppGui, TheProgressWindowPassesCancelBack)
{
    WxUIServices services;
    services.BeginProgress("Getting a.xml from Local...");
    Pump();
    wxProgressDialog* dialog = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<wxProgressDialog*>(window)) dialog = found;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetMessage(), "Getting a.xml from Local...");
    EXPECT_TRUE(services.UpdateProgress(0, 0)); // size unknown
    EXPECT_TRUE(services.UpdateProgress(500, 1000));
    EXPECT_EQ(dialog->GetValue(), 500);
    EXPECT_TRUE(services.UpdateProgress(1000, 1000)); // stays open until taken down

    wxWindow* cancel = dialog->FindWindow(wxID_CANCEL);
    ASSERT_NE(cancel, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
    click.SetEventObject(cancel);
    cancel->ProcessWindowEvent(click);
    EXPECT_FALSE(services.UpdateProgress(600, 1000));
    services.EndProgress();
    Pump();
    for (wxWindow* window : wxTopLevelWindows) EXPECT_EQ(dynamic_cast<wxProgressDialog*>(window), nullptr);
}

TEST(AppGui, PrintSetupHasPrintDataTheNativeDialogsCanUse)
{
    // The page set-up dialog takes the application's print data; native data of
    // another kind than the print factory makes crashed it.
    std::unique_ptr<wxPrintNativeDataBase> made(wxPrintFactory::GetFactory()->CreatePrintNativeData());
    ASSERT_TRUE(made && wxGetApp().MainFrame()->PrintData().GetNativeData());
    EXPECT_EQ(wxString(wxGetApp().MainFrame()->PrintData().GetNativeData()->GetClassInfo()->GetClassName()),
              wxString(made->GetClassInfo()->GetClassName()));
}

namespace {

// Records what is said; asks the password in the program's own dialog.
class PromptingUIServices : public test::RecordingUIServices {
public:
    bool PasswordBox(const std::string& prompt, const std::string& title, std::string& value) override
    {
        passwordPrompts.push_back(prompt);
        return m_wx.PasswordBox(prompt, title, value);
    }

private:
    WxUIServices m_wx;
};

class AppGuiFtp : public test::FtpServerFixture {
protected:
    // Stores the test server under an entry name, with docs/remote.xml on it.
    void StoreServerWithDocument(const std::string& entryName)
    {
        fs::create_directories(Root() / "docs");
        test::WriteFile(Root() / "docs" / "remote.xml", "<remote/>\n");
        StoreServer(entryName);
    }
};

} // namespace

TEST_F(AppGuiFtp, AStandardAddressOpensThroughTheDocumentManagerAskingThePasswordOnce)
{
    test::WriteFile(Root() / "remote.xml", "<remote/>\n");
    const std::string shown = "ftp://" + std::string(kUser) + "@127.0.0.1:" + std::to_string(Port()) + "/remote.xml";
    PromptingUIServices ui;
    // Types the password into the dialog once it is up.
    bool masked = false;
    wxTimer typist;
    typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxPasswordEntryDialog*>(window); dialog && dialog->IsModal()) {
                typist.Stop();
                for (wxWindow* child : dialog->GetChildren())
                    if (auto* text = dynamic_cast<wxTextCtrl*>(child)) masked = text->HasFlag(wxTE_PASSWORD);
                dialog->SetValue(kPassword);
                dialog->EndModal(wxID_OK);
            }
    });
    typist.Start(20);
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(shown)));
    typist.Stop();
    ASSERT_NE(doc, nullptr) << (ui.messages.empty() ? "" : ui.messages[0].text);
    Pump();
    EXPECT_TRUE(masked);
    EXPECT_EQ(ui.passwordPrompts.size(), 1u);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->nodeName(), "remote");
    EXPECT_EQ(doc->GetTitle().utf8_string(), shown);
    EXPECT_EQ(wxGetApp().RecentFiles()[0], shown);

    // Asked for with a password in its address, it is the document already open.
    std::string withPassword = shown;
    withPassword.insert(shown.find('@'), ":" + std::string(kPassword));
    EXPECT_EQ(Manager().OpenDocumentFile(wxString::FromUTF8(withPassword)), doc);
    EXPECT_EQ(ui.passwordPrompts.size(), 1u);
    EXPECT_EQ(test::ReadFile(Profile::Store().File()).find(kPassword), std::string::npos);
    CloseAll();
}

namespace {

// Drives the remote file dialog once it is up: chooses the server entry, then
// hands the dialog to `act`.
void WhenRemoteDialogIsUp(wxTimer& driver, const std::string& server, std::function<void(CRemoteFileDlg&)> act)
{
    driver.Bind(wxEVT_TIMER, [&driver, server, act](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<CRemoteFileDlg*>(window); dialog && dialog->IsModal()) {
                driver.Stop();
                auto* tree = static_cast<CFTPFolderCtrl*>(dialog->FindWindow(remote_ids::ID_TREE));
                wxTreeItemIdValue cookie;
                for (auto c = tree->GetFirstChild(tree->GetRootItem(), cookie); c.IsOk();
                     c = tree->GetNextChild(tree->GetRootItem(), cookie))
                    if (tree->GetItemText(c).utf8_string() == server) tree->SelectItem(c);
                act(*dialog);
                return;
            }
    });
    driver.Start(20);
}

} // namespace

TEST_F(AppGuiFtp, TheFtpCommandsOpenThroughTheRemoteDialogAndSaveElsewhere)
{
    StoreServerWithDocument("Local");
    test::RecordingUIServices ui;
    const auto enabled = [](int id) {
        wxUpdateUIEvent event(id);
        wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(event);
        return !event.GetSetEnabled() || event.GetEnabled();
    };
    CloseAll();
    EXPECT_TRUE(enabled(ids::ID_FILE_FTP_OPEN));

    const auto accept = [](CRemoteFileDlg& dialog, const std::string& folder, const std::string& name) {
        auto* list = static_cast<wxListCtrl*>(dialog.FindWindow(remote_ids::ID_LIST));
        wxListEvent open(wxEVT_LIST_ITEM_ACTIVATED, remote_ids::ID_LIST);
        open.m_itemIndex = list->FindItem(-1, wxString::FromUTF8(folder));
        list->GetEventHandler()->ProcessEvent(open);
        static_cast<wxTextCtrl*>(dialog.FindWindow(remote_ids::ID_FILE_NAME))->ChangeValue(wxString::FromUTF8(name));
        wxCommandEvent button(wxEVT_BUTTON, remote_ids::ID_ACCEPT);
        dialog.ProcessWindowEvent(button);
    };
    wxTimer opener;
    WhenRemoteDialogIsUp(opener, "Local", [&](CRemoteFileDlg& dialog) { accept(dialog, "docs", "remote.xml"); });
    wxCommandEvent open(wxEVT_MENU, ids::ID_FILE_FTP_OPEN);
    wxGetApp().MainFrame()->GetEventHandler()->ProcessEvent(open);
    Pump();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    auto* doc = dynamic_cast<CBrindleDocBase*>(Manager().GetCurrentDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle().utf8_string(), "ftp://Local/docs/remote.xml");

    // [FTP] Save As offers the file's name and puts the document where the dialog says.
    std::string offered;
    std::string caption;
    wxTimer saver;
    WhenRemoteDialogIsUp(saver, "Local", [&](CRemoteFileDlg& dialog) {
        caption = dialog.GetTitle().utf8_string();
        offered = static_cast<wxTextCtrl*>(dialog.FindWindow(remote_ids::ID_FILE_NAME))->GetValue().utf8_string();
        accept(dialog, "", "copy.xml");
    });
    EXPECT_TRUE(doc->FtpSaveAs());
    EXPECT_EQ(caption, "Save As");
    EXPECT_EQ(offered, "remote.xml");
    EXPECT_EQ(test::ReadFile(Root() / "copy.xml"), test::ReadFile(Root() / "docs" / "remote.xml"));
    EXPECT_EQ(doc->GetTitle().utf8_string(), "ftp://Local/copy.xml");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    CloseAll();
}

TEST(AppGui, TheExplorePageListsTheChosenFolderFiltersItAndOpensFiles)
{
    CMainFrame* frame = wxGetApp().MainFrame();
    CExplorerBar* bar = frame->ExplorerBar();
    ASSERT_NE(bar, nullptr);
    auto* page = dynamic_cast<CZevFileExplorerView*>(bar->GetPage(0));
    ASSERT_NE(page, nullptr);
    const fs::path folder = *g_dir / "explore";
    fs::create_directories(folder / "sub");
    test::WriteFile(folder / "a.xml", "<a/>");
    test::WriteFile(folder / "b.xsd", "<b/>");

    // The list follows the tree's selection; folders are never listed.
    CShellFolderCtrl& tree = page->FolderView().Tree();
    CShellDirCtrl& list = page->DirView().List();
    EXPECT_EQ(list.GetItemCount(), 0);
    tree.SetFolder(folder);
    wxTreeItemIdValue cookie;
    const wxTreeItemId root = tree.GetFirstChild(tree.GetRootItem(), cookie);
    ASSERT_TRUE(root.IsOk());
    tree.SelectItem(root);
    Pump();
    ASSERT_EQ(list.GetItemCount(), 2);

    // The filter commands, as the Edit menu gives them to the list that had the focus.
    if (!frame->IsExplorerBarShown()) {
        wxCommandEvent toggle(wxEVT_MENU, ids::ID_VIEW_FILE_BROWSER);
        frame->GetEventHandler()->ProcessEvent(toggle);
    }
    wxChildFocusEvent focused(&list); // focus does not move without a window manager
    list.GetEventHandler()->ProcessEvent(focused);
    const auto command = [&](int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(event);
    };
    command(ids::ID_SHELLDIR_FILTER_XSD);
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0), "b.xsd");
    command(ids::ID_SHELLDIR_FILTER_ALL);
    EXPECT_EQ(list.GetItemCount(), 2);

    // Open without a selection does nothing; with one, the file opens as a document.
    CloseAll();
    command(ids::ID_SHELLDIR_OPEN);
    EXPECT_TRUE(Docs().empty());
    const long row = list.FindItem(-1, "a.xml");
    ASSERT_GE(row, 0);
    list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    page->DirView().Open();
    Pump();
    ASSERT_EQ(Docs().size(), 1u);
    EXPECT_EQ(fs::path(Docs()[0]->GetFilename().utf8_string()), folder / "a.xml");
    CloseAll();
}

TEST(AppGui, TheExplorerBarsTabsKeepEachBrowserAndEnableOnlyTheShownOne)
{
    CExplorerBar* bar = wxGetApp().MainFrame()->ExplorerBar();
    ASSERT_EQ(bar->GetPageCount(), 2);
    auto* local = dynamic_cast<CZevFileExplorerView*>(bar->GetPage(0));
    ASSERT_NE(local, nullptr);
    ASSERT_NE(dynamic_cast<CZevFtpExplorerView*>(bar->GetPage(1)), nullptr);
    local->FolderView().Tree().SetFolder(g_dir->path());
    const std::size_t shown = local->FolderView().Tree().GetCount();

    bar->SetActiveView(1);
    EXPECT_EQ(bar->GetActiveIndex(), 1);
    EXPECT_FALSE(bar->GetPage(0)->IsEnabled());
    EXPECT_TRUE(bar->GetPage(1)->IsEnabled());
    bar->SetActiveView(-1); // ignored
    EXPECT_EQ(bar->GetActiveIndex(), 1);
    bar->SetActiveView(0);
    EXPECT_TRUE(bar->GetPage(0)->IsEnabled());
    EXPECT_FALSE(bar->GetPage(1)->IsEnabled());
    EXPECT_EQ(local->FolderView().Tree().GetCount(), shown); // the tree was not rebuilt
}

TEST_F(AppGuiFtp, TheFtpPageOpensARemoteFileAsADocument)
{
    StoreServerWithDocument("Page");
    test::RecordingUIServices ui;
    CloseAll();

    auto* page = dynamic_cast<CZevFtpExplorerView*>(wxGetApp().MainFrame()->ExplorerBar()->GetPage(1));
    ASSERT_NE(page, nullptr);
    CFTPFolderCtrl& tree = page->FolderView().Tree();
    tree.RefreshItem(tree.GetRootItem()); // the stored servers afresh
    // Opens the entries on the way down, as a user clicking through the tree does.
    std::function<wxTreeItemId(const wxTreeItemId&, const wxString&, bool)> find =
        [&](const wxTreeItemId& under, const wxString& text, bool deeper) {
            tree.ExpandItem(under);
            wxTreeItemIdValue cookie;
            for (auto item = tree.GetFirstChild(under, cookie); item.IsOk(); item = tree.GetNextChild(under, cookie)) {
                if (tree.GetItemText(item) == text) return item;
                if (auto found = deeper ? find(item, text, true) : wxTreeItemId(); found.IsOk()) return found;
            }
            return wxTreeItemId();
        };
    const wxTreeItemId server = find(tree.GetRootItem(), "Page", false);
    ASSERT_TRUE(server.IsOk());
    const wxTreeItemId docs = find(server, "docs", true);
    ASSERT_TRUE(docs.IsOk());
    tree.SelectItem(docs);
    Pump();
    CFTPDirCtrl& list = page->DirView().List();
    const long row = list.FindItem(-1, "remote.xml");
    ASSERT_GE(row, 0);
    list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxCommandEvent open(wxEVT_MENU, ids::ID_FTP_OPEN);
    page->DirView().GetEventHandler()->ProcessEvent(open);
    Pump();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    auto* doc = dynamic_cast<CBrindleDocBase*>(Manager().GetCurrentDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle().utf8_string(), "ftp://Page/docs/remote.xml");
    CloseAll();
    tree.RefreshItem(tree.GetRootItem()); // closes the connection before the server stops
}

namespace {

// Runs File New with `act` driving the "New" dialog; act must close it.
wxDocument* FileNewWith(std::function<void(CNewDocTypeDlg&)> act)
{
    wxTheApp->CallAfter([act] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<CNewDocTypeDlg*>(w); dialog && dialog->IsModal()) act(*dialog);
    });
    return Manager().FileNew();
}

void SelectNewItem(CNewDocTypeDlg& dialog, const std::string& label)
{
    auto* list = static_cast<wxListCtrl*>(dialog.FindWindow(CNewDocFilePage::kListId));
    const long row = list->FindItem(-1, wxString::FromUTF8(label));
    list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void SetNewField(CNewDocTypeDlg& dialog, int id, const std::string& text)
{
    static_cast<wxTextCtrl*>(dialog.FindWindow(id))->ChangeValue(wxString::FromUTF8(text));
}

} // namespace

TEST(AppGui, FileNewOffersTheKindsAndTemplatesAndNamesTheDocumentAsChosen)
{
    CloseAll();
    const fs::path templates = *g_dir / "templates";
    const fs::path work = *g_dir / "newwork";
    fs::create_directories(templates);
    fs::create_directories(work);
    test::WriteFile(templates / "t.xml", "<t/>\n");
    Profile::WriteProfileString("Settings", "templatePath", templates.string());
    Profile::WriteProfileString("Settings", "workingPath", work.string());
    auto* xmlKind = Manager().DefaultTemplate();
    const int untitled = xmlKind->GetUntitledCount();

    // A template with no name: a modified copy, untitled in the working folder.
    std::vector<std::string> labels;
    wxDocument* copy = FileNewWith([&](CNewDocTypeDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "New");
        for (const auto& item : dialog.Page().Items()) labels.push_back(item.label);
        EXPECT_EQ(dialog.Page().Chosen()->label, "XML Document") << "selected when the page opens";
        EXPECT_EQ(static_cast<wxTextCtrl*>(dialog.FindWindow(CNewDocFilePage::kLocationId))->GetValue(),
                  work.string() + "/");
        SelectNewItem(dialog, "t.xml");
        dialog.EndModal(wxID_OK);
    });
    EXPECT_EQ(labels, (std::vector<std::string>{"XML Document", "DTD Document", "t.xml"}));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsModified());
    EXPECT_EQ(GetWholeText(dynamic_cast<CBrindleDoc*>(copy)->GetTextBuffer(), "\n"), "<t/>\n");
    EXPECT_EQ(copy->GetFilename().utf8_string(), (work / ("untitled-" + std::to_string(untitled + 1))).string());
    CloseAll();

    // A kind with a name: an empty document at the location, joined with a separator.
    wxDocument* dtd = FileNewWith([&](CNewDocTypeDlg& dialog) {
        SelectNewItem(dialog, "DTD Document");
        SetNewField(dialog, CNewDocFilePage::kFileNameId, "a.dtd");
        SetNewField(dialog, CNewDocFilePage::kLocationId, work.string());
        dialog.EndModal(wxID_OK);
    });
    ASSERT_NE(dtd, nullptr);
    EXPECT_EQ(KindOf(dtd)->GetResourceId(), ids::IDR_DTDTYPE);
    EXPECT_FALSE(dtd->IsModified());
    EXPECT_EQ(dtd->GetFilename().utf8_string(), (work / "a.dtd").string());
    EXPECT_EQ(xmlKind->GetUntitledCount(), untitled + 1) << "a named document takes no number";
    CloseAll();

    // A template chosen and then the plain kind: an empty document; a double
    // click accepts.
    wxDocument* plain = FileNewWith([&](CNewDocTypeDlg& dialog) {
        SelectNewItem(dialog, "t.xml");
        SelectNewItem(dialog, "XML Document");
        wxListEvent open(wxEVT_LIST_ITEM_ACTIVATED, CNewDocFilePage::kListId);
        dialog.FindWindow(CNewDocFilePage::kListId)->GetEventHandler()->ProcessEvent(open);
    });
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->IsModified());
    EXPECT_EQ(GetWholeText(dynamic_cast<CBrindleDoc*>(plain)->GetTextBuffer()).find("<t/>"), std::string::npos);
    CloseAll();

    // Cancel makes nothing.
    EXPECT_EQ(FileNewWith([](CNewDocTypeDlg& dialog) { dialog.EndModal(wxID_CANCEL); }), nullptr);
    EXPECT_TRUE(Docs().empty());

    // A document saved as a template is offered, and a new document from it
    // saves as the same text.
    auto* original = dynamic_cast<CBrindleDocBase*>(Manager().OpenDocumentFile(wxString::FromUTF8(Copy("mine.xml").string())));
    ASSERT_NE(original, nullptr);
    CBrindleDocBase::SetSavePathPrompt([](const CBrindleDocBase&, const wxString& offered) { return offered; });
    EXPECT_TRUE(original->SaveAsTemplate());
    CloseAll();
    test::RecordingUIServices ui; // the copy's DTD is not beside the template: a warning
    wxDocument* fromMine = FileNewWith([&](CNewDocTypeDlg& dialog) {
        SelectNewItem(dialog, "mine.xml");
        SetNewField(dialog, CNewDocFilePage::kFileNameId, "again.xml");
        dialog.EndModal(wxID_OK);
    });
    ASSERT_NE(fromMine, nullptr);
    EXPECT_TRUE(fromMine->Save());
    CBrindleDocBase::SetSavePathPrompt(nullptr);
    EXPECT_EQ(test::ReadFile(work / "again.xml"), test::ReadFile(templates / "mine.xml"));
    EXPECT_EQ(test::ReadFile(work / "again.xml"), test::ReadFile(kSample));
    CloseAll();
}

TEST(AppGui, AMissingTemplateSaysSoAndABrokenOneOpensInSourceModeWithTheReason)
{
    CloseAll();
    auto* kind = Manager().DefaultTemplate();
    {
        test::RecordingUIServices ui;
        EXPECT_EQ(Manager().CreateNewDocument(*kind, (*g_dir / "gone.xml").string(), {}), nullptr);
        EXPECT_FALSE(ui.messages.empty());
        EXPECT_TRUE(Docs().empty()) << "no empty document is left behind";
    }
    const fs::path broken = *g_dir / "broken.xml";
    test::WriteFile(broken, "<a><b></a>");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().CreateNewDocument(*kind, broken.string(), {}));
    ASSERT_NE(doc, nullptr);
    Pump();
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), "<a><b></a>");
    EXPECT_EQ(FrameOf(doc)->GetMode(), ViewMode::Source);
    EXPECT_NE(FrameOf(doc)->GetSourceView()->GetStatusMessage(), "");
    EXPECT_NE(doc->GetFilename().utf8_string(), broken.string()) << "saving never overwrites the template";
    CloseAll();
}

TEST(AppGui, TheXPathPanelListsResultsAndGoesToThemInTheTreeAndTheSource)
{
    CloseAll();
    SettingsRestorer restore;
    CMainFrame* frame = wxGetApp().MainFrame();
    auto enabled = [frame] {
        wxUpdateUIEvent update(ids::ID_VIEW_XPATH);
        frame->ProcessWindowEvent(update);
        return update.GetEnabled();
    };
    Settings::WriteInt(Settings::Key::kUseXPath, 0);
    EXPECT_FALSE(enabled());
    wxCommandEvent toggle(wxEVT_MENU, ids::ID_VIEW_XPATH);
    frame->ProcessWindowEvent(toggle);
    EXPECT_FALSE(frame->IsXPathPanelShown()) << "the setting is off";

    Settings::WriteInt(Settings::Key::kUseXPath, 1);
    EXPECT_TRUE(enabled());
    frame->ProcessWindowEvent(toggle);
    ASSERT_TRUE(frame->IsXPathPanelShown());

    const fs::path file = *g_dir / "shop.xml";
    test::WriteFile(file, "<?xml version=\"1.0\"?>\n"
                          "<shop xmlns=\"urn:shop\">\n"
                          "  <item id=\"a\"><name>Pen</name></item>\n"
                          "  <item id=\"b\"><name>Ink</name></item>\n"
                          "</shop>\n");
    auto* doc = dynamic_cast<CBrindleDoc*>(Manager().OpenDocumentFile(wxString::FromUTF8(file.string())));
    ASSERT_NE(doc, nullptr);
    Pump();
    CXPathPanel* panel = frame->XPathPanel();
    // The expression is typed and entered as a user does.
    panel->SetExpression("//d:item[@id='b']/d:name");
    wxCommandEvent enter(wxEVT_TEXT_ENTER);
    wxComboBox* box = nullptr;
    for (wxWindow* child : panel->GetChildren())
        if (!box) box = dynamic_cast<wxComboBox*>(child);
    ASSERT_NE(box, nullptr);
    enter.SetEventObject(box);
    box->ProcessWindowEvent(enter);
    EXPECT_EQ(panel->SummaryText(), "1 node.");
    ASSERT_EQ(panel->ResultList()->GetItemCount(), 1);
    EXPECT_EQ(panel->ResultList()->GetItemText(0, 0), "/d:shop/d:item[2]/d:name");
    EXPECT_EQ(panel->ResultList()->GetItemText(0, 2), "Ink");

    // A double-click selects the node in the tree.
    auto activate = [panel](long row) {
        wxListEvent dclick(wxEVT_LIST_ITEM_ACTIVATED, panel->ResultList()->GetId());
        dclick.SetEventObject(panel->ResultList());
        dclick.m_itemIndex = row;
        panel->ResultList()->ProcessWindowEvent(dclick);
        Pump();
    };
    activate(0);
    CChildFrame* child = FrameOf(doc);
    ASSERT_NE(doc->GetCurrentNode(), nullptr);
    EXPECT_EQ(doc->GetCurrentNode()->nodeName(), "name");
    EXPECT_EQ(doc->GetCurrentNode()->text(), "Ink");
    EXPECT_EQ(child->GetTreeView()->NodeOf(child->GetTreeView()->GetSelection()), doc->GetCurrentNode());

    // An attribute selects its element.
    panel->SetExpression("//d:item/@id");
    ASSERT_TRUE(panel->Evaluate());
    activate(0);
    EXPECT_EQ(doc->GetCurrentNode()->nodeName(), "item");
    EXPECT_EQ(doc->GetCurrentNode()->selectSingleNode("@id")->text(), "a");

    // In Source mode the same result goes to its line of the text.
    child->ShowSourceMode();
    Pump();
    ASSERT_EQ(child->GetMode(), ViewMode::Source);
    activate(1);
    EXPECT_EQ(child->GetSourceView()->Model().GetCursorPos().y, 3);

    // A bad expression says why and where, and lists nothing.
    panel->SetExpression("//d:item[");
    EXPECT_FALSE(panel->Evaluate());
    EXPECT_EQ(panel->SummaryText(), "Invalid expression at character 10 of the expression.");
    EXPECT_EQ(panel->ResultList()->GetItemCount(), 0);

    // Turning the setting off puts the panel away.
    Settings::WriteInt(Settings::Key::kUseXPath, 0);
    EXPECT_FALSE(enabled());
    EXPECT_FALSE(frame->IsXPathPanelShown());
    CloseAll();
}
