// The remote file dialog and the FTP explorer page on a real display against a
// live pyftpdlib server: choosing a server, moving through folders, the save
// mode, accepting, the keys that act on servers, opening remote files and their
// property sheet.
#include "app/explorer/FTPDirView.h"
#include "app/explorer/FTPFilePropSheet.h"
#include "app/explorer/FTPFolderView.h"
#include "app/explorer/FTPServerDlg.h"
#include "app/explorer/FtpExplorerView.h"
#include "app/explorer/RemoteFileDlg.h"
#include "app/explorer/RemoteFileIds.h"
#include "app/views/EditSourceView.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "resources/CommandIds.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/docview.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace brindle;
using namespace remote_ids;

namespace {

const std::string kList = "Software\\Brindle\\Brindle\\RemoteServers";

// Records what is asked to be opened instead of opening it.
class RecordingDocManager : public wxDocManager {
public:
    wxDocument* CreateDocument(const wxString& path, long) override
    {
        opened.push_back(path.utf8_string());
        return nullptr;
    }
    std::vector<std::string> opened;
};

// Two stored servers, "Home" and "Spare", on the test's server, in settings of
// the test's own; "/docs/a.xml" on the server.
class StoredServersGui : public test::FtpServerFixture {
protected:
    void SetUp() override
    {
        FtpServerFixture::SetUp();
        settings = std::make_unique<SettingsStore>(dir.path() / "settings");
        Profile::SetStore(settings.get());
        Profile::SetRegistryKey("Brindle", "Brindle");
        std::filesystem::create_directories(Root() / "docs");
        std::ofstream(Root() / "docs" / "a.xml") << "<a/>";
        StoreServer("Home");
        StoreServer("Spare");
    }
    void TearDown() override
    {
        test::PumpEvents();
        Profile::SetStore(nullptr);
        FtpServerFixture::TearDown();
    }
    static wxTreeItemId Child(const wxTreeCtrl& tree, const wxTreeItemId& parent, const std::string& text)
    {
        wxTreeItemIdValue cookie;
        for (auto c = tree.GetFirstChild(parent, cookie); c.IsOk(); c = tree.GetNextChild(parent, cookie))
            if (tree.GetItemText(c).utf8_string() == text) return c;
        return {};
    }
    static std::vector<std::string> Rows(const wxListCtrl& list)
    {
        std::vector<std::string> rows;
        for (long i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i).utf8_string());
        return rows;
    }
    // Runs `inspect` on the property sheet that `command` shows modally, then closes it.
    static void OnSheet(wxWindow& owner, const std::function<void(CFTPFilePropSheet&)>& inspect,
                        const std::function<void()>& command)
    {
        bool seen = false;
        owner.CallAfter([&] {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* sheet = dynamic_cast<CFTPFilePropSheet*>(window); sheet && sheet->IsModal()) {
                    seen = true;
                    inspect(*sheet);
                    sheet->EndModal(wxID_OK);
                }
        });
        command();
        test::PumpEvents();
        EXPECT_TRUE(seen) << "no property sheet was shown";
    }
    static std::string Label(wxWindow& sheet, int id)
    {
        auto* text = dynamic_cast<wxStaticText*>(sheet.FindWindow(id));
        return text ? text->GetLabel().utf8_string() : std::string("(none)");
    }

    test::TempDir dir;
    std::unique_ptr<SettingsStore> settings;
    test::RecordingUIServices ui;
};

class RemoteFileDlgGui : public StoredServersGui {
protected:
    void SetUp() override
    {
        StoredServersGui::SetUp();
        dialog = new CRemoteFileDlg(nullptr);
    }
    void TearDown() override
    {
        dialog->Destroy();
        StoredServersGui::TearDown();
    }

    CFTPFolderCtrl& Tree() { return *static_cast<CFTPFolderCtrl*>(dialog->FindWindow(ID_TREE)); }
    wxListCtrl& List() { return *static_cast<wxListCtrl*>(dialog->FindWindow(ID_LIST)); }
    wxTextCtrl& FileName() { return *static_cast<wxTextCtrl*>(dialog->FindWindow(ID_FILE_NAME)); }
    wxComboBox& LookIn() { return *static_cast<wxComboBox*>(dialog->FindWindow(ID_LOOK_IN)); }

    wxTreeItemId Server(const std::string& name) { return Child(Tree(), Tree().GetRootItem(), name); }
    std::vector<std::string> Rows() { return StoredServersGui::Rows(List()); }
    void Activate(const std::string& row)
    {
        wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, ID_LIST);
        event.SetEventObject(&List());
        event.m_itemIndex = List().FindItem(-1, wxString::FromUTF8(row));
        List().GetEventHandler()->ProcessEvent(event);
    }
    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(event);
    }
    void Key(int code)
    {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        dialog->ProcessWindowEvent(event);
    }

    CRemoteFileDlg* dialog = nullptr;
};

} // namespace

TEST_F(RemoteFileDlgGui, ChoosingAServerListsItAndTheRootLetsItGo)
{
    EXPECT_EQ(dialog->GetTitle(), "Remote File");
    EXPECT_EQ(static_cast<wxButton*>(dialog->FindWindow(ID_ACCEPT))->GetLabel(), "Open");
    ASSERT_TRUE(Server("Home").IsOk());
    EXPECT_FALSE(Tree().ItemHasChildren(Server("Home"))) << "servers show no folders here";

    Tree().SelectItem(Server("Home"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_EQ(Rows(), std::vector<std::string>{"docs"});
    ASSERT_EQ(LookIn().GetCount(), 2u);
    EXPECT_EQ(LookIn().GetString(0), "/ (127.0.0.1)");

    Activate("docs");
    EXPECT_EQ(Rows(), std::vector<std::string>{"a.xml"});
    EXPECT_EQ(LookIn().GetSelection(), 2);
    ASSERT_EQ(List().GetColumnCount(), 4);
    wxListItem size;
    size.SetId(0);
    size.SetColumn(1);
    size.SetMask(wxLIST_MASK_TEXT);
    ASSERT_TRUE(List().GetItem(size));
    EXPECT_EQ(size.GetText(), "1 KB");

    // Each view shows the rows; the details come back with their columns.
    for (int mode : {ID_VIEW_LIST, ID_VIEW_SMALL_ICONS, ID_VIEW_LARGE_ICONS, ID_VIEW_DETAILS}) {
        Command(mode);
        EXPECT_EQ(Rows(), std::vector<std::string>{"a.xml"}) << mode;
    }
    EXPECT_TRUE(List().InReportView());
    EXPECT_EQ(List().GetColumnCount(), 4);
    ASSERT_TRUE(List().GetItem(size));
    EXPECT_EQ(size.GetText(), "1 KB");

    Command(ID_UP);
    EXPECT_EQ(Rows(), std::vector<std::string>{"docs"});
    FileName().ChangeValue("typed.xml");
    Tree().SelectItem(Tree().GetRootItem());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(LookIn().GetCount(), 0u);
    EXPECT_EQ(FileName().GetValue(), "") << "open mode empties the name";
}

TEST_F(RemoteFileDlgGui, OpenModeHandsTheAcceptedAddressToTheDocumentManager)
{
    RecordingDocManager manager;
    dialog->CallAfter([this] {
        Tree().SelectItem(Server("Home"));
        Activate("docs");
        Activate("a.xml"); // a file: accepted
    });
    EXPECT_EQ(dialog->DoModal(), wxID_OK);
    EXPECT_EQ(dialog->GetRemotePath(), "ftp://Home/docs/a.xml");
    EXPECT_EQ(manager.opened, std::vector<std::string>{"ftp://Home/docs/a.xml"});
}

TEST_F(RemoteFileDlgGui, SaveModeOffersTheDocumentsNameAndGivesTheAddressBack)
{
    RecordingDocManager manager;
    std::string shownName;
    dialog->CallAfter([&] {
        shownName = FileName().GetValue().utf8_string();
        EXPECT_EQ(dialog->GetTitle(), "Save As");
        EXPECT_EQ(static_cast<wxButton*>(dialog->FindWindow(ID_ACCEPT))->GetLabel(), "Save FTP");
        Tree().SelectItem(Server("Home"));
        EXPECT_EQ(FileName().GetValue().utf8_string(), shownName) << "save mode keeps the name";
        wxCommandEvent accept(wxEVT_BUTTON, ID_ACCEPT);
        dialog->ProcessWindowEvent(accept);
    });
    EXPECT_EQ(dialog->DoSaveAs("c:/work/a.xml"), wxID_OK);
    EXPECT_EQ(shownName, "a.xml");
    EXPECT_EQ(dialog->GetRemotePath(), "ftp://Home/a.xml");
    EXPECT_TRUE(manager.opened.empty()) << "the caller uploads; nothing is opened";
}

TEST_F(RemoteFileDlgGui, DeleteRemovesTheSelectedServerNotAFileAndNeverWhileTyping)
{
    Tree().SelectItem(Server("Home"));
    List().SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    ui.answers = {MsgResult::No, MsgResult::Yes};
    Key(WXK_DELETE);
    ASSERT_EQ(ui.Texts(), std::vector<std::string>{"Delete server Home?"});
    EXPECT_TRUE(Server("Home").IsOk());
    Key(WXK_DELETE);
    EXPECT_FALSE(Server("Home").IsOk());
    EXPECT_FALSE(Profile::GetProfileString("RemoteServers\\Home", "hostname", "") == Host());
    EXPECT_TRUE(std::filesystem::exists(Root() / "docs")) << "no file or folder was deleted";
    EXPECT_TRUE(Server("Spare").IsOk());

    // In the file name box the key edits the text.
    Tree().SelectItem(Server("Spare"));
    ui.messages.clear();
    dialog->Show();
    FileName().SetFocus();
    test::PumpEvents();
    ASSERT_EQ(wxWindow::FindFocus(), &FileName());
    Key(WXK_DELETE);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(Server("Spare").IsOk());
}

TEST_F(RemoteFileDlgGui, RenameWithoutASelectionAndCommandsWithoutAServerSaySo)
{
    Command(ID_RENAME_ROW);
    Command(ID_UP);
    Command(ID_CREATE_DIRECTORY);
    Command(ID_FILE_PROPERTIES);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"No Item Selected", "Not connected to a server.",
                                                    "Not connected to a server.", "No File or Folder Selected."}));
}

TEST_F(RemoteFileDlgGui, ServerPropertiesShowTheRecordMaskedAndTheBrowserFollowsARename)
{
    Tree().SelectItem(Server("Home"));
    std::vector<std::string> shown;
    bool masked = false;
    dialog->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* server = dynamic_cast<CFTPServerDlg*>(window); server && server->IsModal()) {
                for (int id = 1000; id <= 1005; ++id)
                    shown.push_back(static_cast<wxTextCtrl*>(server->FindWindow(id))->GetValue().utf8_string());
                masked = server->FindWindow(1004)->HasFlag(wxTE_PASSWORD);
                static_cast<wxTextCtrl*>(server->FindWindow(1000))->ChangeValue("Renamed");
                wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
                server->ProcessWindowEvent(ok);
            }
    });
    Key(WXK_RETURN); // with Alt, below
    EXPECT_TRUE(shown.empty()) << "Enter alone is no shortcut";
    wxKeyEvent altEnter(wxEVT_CHAR_HOOK);
    altEnter.m_keyCode = WXK_RETURN;
    altEnter.m_altDown = true;
    dialog->ProcessWindowEvent(altEnter);
    const std::vector<std::string> record{"Home", Host(), "", kUser, kPassword, std::to_string(Port())};
    EXPECT_EQ(shown, record);
    EXPECT_TRUE(masked);
    EXPECT_TRUE(Server("Renamed").IsOk());
    EXPECT_EQ(Profile::GetProfileString("RemoteServers\\Renamed", "hostname", ""), Host());

    // The address names the server by its new entry.
    std::string address;
    dialog->CallAfter([&] {
        FileName().ChangeValue("a.xml");
        wxCommandEvent accept(wxEVT_BUTTON, ID_ACCEPT);
        dialog->ProcessWindowEvent(accept);
    });
    ASSERT_EQ(dialog->DoSaveAs("x.xml"), wxID_OK);
    EXPECT_EQ(dialog->GetRemotePath(), "ftp://Renamed/a.xml");
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return brindle::test::RunGuiTests(argv[0]);
}

TEST_F(RemoteFileDlgGui, FileAndFolderPropertiesShowInTheRemoteFileSheet)
{
    Tree().SelectItem(Server("Home"));
    List().SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    OnSheet(*dialog, [](CFTPFilePropSheet& sheet) {
        EXPECT_EQ(sheet.GetTitle(), "Remote File Properties");
        EXPECT_EQ(Label(sheet, file_page_ids::ID_TYPE), "File Folder");
        EXPECT_EQ(Label(sheet, file_page_ids::ID_LOCATION), "/docs");
    }, [this] { Command(ID_FILE_PROPERTIES); });

    Activate("docs");
    List().SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    OnSheet(*dialog, [this](CFTPFilePropSheet& sheet) {
        EXPECT_EQ(static_cast<wxTextCtrl*>(sheet.FindWindow(file_page_ids::ID_NAME))->GetValue(), "a.xml");
        EXPECT_EQ(Label(sheet, file_page_ids::ID_SIZE), "0.00 KB (4 bytes)");
        EXPECT_EQ(Label(sheet, file_page_ids::ID_HOST), Host());
    }, [this] { Command(ID_FILE_PROPERTIES); });
    EXPECT_TRUE(ui.messages.empty());
}

// ---- The FTP page of the explorer bar ----

namespace {

class FtpExplorerGui : public StoredServersGui {
protected:
    void SetUp() override
    {
        StoredServersGui::SetUp();
        settings->SetString(kList + "\\Home", "initdir", "/docs");
        std::ofstream(Root() / "docs" / "tab\there.xml") << "t";
    }
    void TearDown() override
    {
        if (frame) frame->Destroy();
        StoredServersGui::TearDown();
    }
    void Create()
    {
        frame = new wxFrame(nullptr, wxID_ANY, "ftp", wxDefaultPosition, wxSize(400, 600));
        page = new CZevFtpExplorerView(frame);
        frame->Show();
        test::PumpEvents();
    }
    CFTPFolderCtrl& Tree() { return page->FolderView().Tree(); }
    CFTPDirCtrl& List() { return page->DirView().List(); }
    wxTreeItemId Home() { return Child(Tree(), Tree().GetRootItem(), "Home"); }
    // Home's initial folder, after expanding Home.
    wxTreeItemId Docs()
    {
        Tree().Expand(Home());
        wxTreeItemIdValue cookie;
        return Tree().GetFirstChild(Home(), cookie);
    }
    static void Command(wxWindow& view, int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        view.ProcessWindowEvent(event);
    }
    void SelectRow(const std::string& shown)
    {
        const long row = List().FindItem(-1, wxString::FromUTF8(shown));
        ASSERT_GE(row, 0) << shown;
        for (long i = 0; i < List().GetItemCount(); ++i) List().SetItemState(i, 0, wxLIST_STATE_SELECTED);
        List().SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }

    wxFrame* frame = nullptr;
    CZevFtpExplorerView* page = nullptr;
};

} // namespace

TEST_F(FtpExplorerGui, AServerEmptiesTheListItsFolderFillsItAndRefreshFollowsTheTree)
{
    Create();
    ASSERT_TRUE(page->Splitter().IsSplit());
    EXPECT_EQ(page->Splitter().GetSplitMode(), wxSPLIT_HORIZONTAL);
    EXPECT_EQ(page->Splitter().GetWindow1(), &page->FolderView());
    EXPECT_EQ(page->Splitter().GetSashPosition(), CZevFtpExplorerView::kFolderPaneHeight);
    EXPECT_EQ(Tree().GetId(), 177);
    EXPECT_EQ(List().GetId(), 178);
    EXPECT_TRUE(Tree().IsExpanded(Tree().GetRootItem()));
    ASSERT_TRUE(Home().IsOk());

    EXPECT_EQ(page->FolderView().MenuFor(Tree().GetRootItem()), ids::IDR_FTPROOT);
    EXPECT_EQ(page->FolderView().MenuFor(Home()), ids::IDR_FTPSERVER);
    EXPECT_EQ(page->FolderView().MenuFor({}), ids::IDR_FTPSERVER) << "empty space";

    const wxTreeItemId docs = Docs();
    ASSERT_TRUE(docs.IsOk());
    EXPECT_EQ(page->FolderView().MenuFor(docs), ids::IDR_FTPFOLDER);
    Tree().SelectItem(docs);
    EXPECT_EQ(Rows(List()), (std::vector<std::string>{"a.xml", "tab\\x09here.xml"}));
    Tree().SelectItem(Home());
    EXPECT_TRUE(Rows(List()).empty());

    // F5 in the list afterwards does not bring the old folder back.
    Command(page->DirView(), ids::ID_FTP_REFRESH);
    EXPECT_TRUE(Rows(List()).empty());

    Tree().SelectItem(Docs());
    std::ofstream(Root() / "docs" / "b.xml") << "b";
    Command(page->FolderView(), ids::ID_FTP_REFRESH);
    EXPECT_EQ(Rows(List()).size(), 3u) << "a refreshed folder lists afresh";
    Tree().SelectItem(Home());
    Tree().SelectItem(Docs());
    ASSERT_EQ(Rows(List()).size(), 3u);
    Tree().SelectItem(Home());
    Command(page->FolderView(), ids::ID_FTP_REFRESH);
    EXPECT_TRUE(Rows(List()).empty());
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
}

TEST_F(FtpExplorerGui, OpeningAFileHandsItsAddressToTheDocumentManager)
{
    RecordingDocManager manager;
    Create();
    Tree().SelectItem(Docs());
    SelectRow("a.xml");
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, CFTPDirView::kListId);
    activated.SetEventObject(&List());
    activated.m_itemIndex = 0;
    List().GetEventHandler()->ProcessEvent(activated);
    EXPECT_EQ(manager.opened, std::vector<std::string>{"ftp://Home/docs/a.xml"});

    // A name that cannot be sent back is refused with a message.
    SelectRow("tab\\x09here.xml");
    Command(page->DirView(), ids::ID_FTP_OPEN);
    EXPECT_EQ(manager.opened.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("tab\\x09here.xml"), std::string::npos);

    Tree().SelectItem(Home());
    Command(page->DirView(), ids::ID_FTP_OPEN);
    EXPECT_EQ(ui.Texts().back(), "No File Selected");
    EXPECT_EQ(manager.opened.size(), 1u);
}

TEST_F(FtpExplorerGui, PropertiesAreReadAfreshAndAReadOnlyFileShowsTheBoxCheckedAndDisabled)
{
    // A plain listing carries the mode: no owner write bit is read-only.
    test::FtpServerFixture::Options options;
    options.mlsd = false;
    StartWith(options);
    std::ofstream(Root() / "docs" / "ro.xml") << "read only";
    std::filesystem::permissions(Root() / "docs" / "ro.xml",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    Create();
    Tree().SelectItem(Docs());

    for (const auto& [name, readOnly] : {std::pair{"ro.xml", true}, std::pair{"a.xml", false}}) {
        SCOPED_TRACE(name);
        SelectRow(name);
        OnSheet(page->DirView(), [&](CFTPFilePropSheet& sheet) {
            EXPECT_EQ(sheet.GetTitle(), "Remote File Properties");
            EXPECT_EQ(sheet.GetBookCtrl()->GetPageText(0), "General");
            EXPECT_EQ(Label(sheet, file_page_ids::ID_LOCATION), std::string("/docs/") + name);
            EXPECT_EQ(Label(sheet, file_page_ids::ID_HOST), Host());
            auto* box = static_cast<wxCheckBox*>(sheet.FindWindow(file_page_ids::ID_READ_ONLY));
            EXPECT_EQ(box->GetValue(), readOnly);
            EXPECT_FALSE(box->IsEnabled());
        }, [this] { Command(page->DirView(), ids::ID_FTP_PROPERTIES); });
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;

    std::filesystem::remove(Root() / "docs" / "a.xml");
    Command(page->DirView(), ids::ID_FTP_PROPERTIES);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"unable to load properties for file"});
}

TEST_F(FtpExplorerGui, ServerCommandsActOnTheSelectedServerOnly)
{
    Create();
    // A new server starts at the root on port 21.
    std::vector<std::string> preset;
    frame->CallAfter([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* server = dynamic_cast<CFTPServerDlg*>(window); server && server->IsModal()) {
                preset = {server->Fields().initialDir, server->Fields().port};
                server->EndModal(wxID_CANCEL);
            }
    });
    Command(page->FolderView(), ids::ID_FTP_ADD_SERVER);
    EXPECT_EQ(preset, (std::vector<std::string>{"/", "21"}));

    // Folder entries are no servers: nothing is asked or deleted.
    Tree().SelectItem(Docs());
    Command(page->FolderView(), ids::ID_FTP_DELETE_SERVER);
    EXPECT_TRUE(ui.messages.empty());

    Tree().SelectItem(Home());
    CFTPFolderServer* server = nullptr;
    ASSERT_TRUE(Tree().GetFolderServer(server, Home()));
    EXPECT_TRUE(server->IsConnected());
    Command(page->FolderView(), ids::ID_FTP_DISCONNECT);
    EXPECT_FALSE(server->IsConnected());

    ui.answers = {MsgResult::No, MsgResult::Yes};
    Command(page->FolderView(), ids::ID_FTP_DELETE_SERVER);
    EXPECT_TRUE(Home().IsOk());
    Command(page->FolderView(), ids::ID_FTP_DELETE_SERVER);
    EXPECT_FALSE(Home().IsOk());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(2, "Delete server Home?"));
    EXPECT_TRUE(Child(Tree(), Tree().GetRootItem(), "Spare").IsOk());
}

TEST_F(FtpExplorerGui, TheFileListAnnouncesItsEditMenuWhenFocused)
{
    Create();
    wxTheApp->SetTopWindow(frame);
    std::vector<int> announced;
    frame->Bind(EVT_BRINDLE_EDIT_MENU, [&](wxCommandEvent& event) { announced.push_back(event.GetInt()); });
    wxFocusEvent focus(wxEVT_SET_FOCUS, CFTPDirView::kListId);
    focus.SetEventObject(&List());
    List().ProcessWindowEvent(focus);
    EXPECT_EQ(announced, std::vector<int>{ids::IDR_FTPITEM});
    wxTheApp->SetTopWindow(nullptr);
}
