// The remote file dialog on a real display against a live pyftpdlib server:
// choosing a server, moving through folders, the save mode, accepting, and the
// keys that act on servers.
#include "app/explorer/FTPServerDlg.h"
#include "app/explorer/RemoteFileDlg.h"
#include "app/explorer/RemoteFileIds.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/docview.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>

using namespace brindle;
using namespace remote_ids;

namespace {

const std::string kList = "Software\\Brindle\\Brindle\\RemoteServers";

// Records what the dialog asks to open instead of opening it.
class RecordingDocManager : public wxDocManager {
public:
    wxDocument* CreateDocument(const wxString& path, long) override
    {
        opened.push_back(path.utf8_string());
        return nullptr;
    }
    std::vector<std::string> opened;
};

class RemoteFileDlgGui : public test::FtpServerFixture {
protected:
    void SetUp() override
    {
        FtpServerFixture::SetUp();
        settings = std::make_unique<SettingsStore>(dir.path() / "settings");
        Profile::SetStore(settings.get());
        Profile::SetRegistryKey("Brindle", "Brindle");
        std::filesystem::create_directories(Root() / "docs");
        std::ofstream(Root() / "docs" / "a.xml") << "<a/>";
        Store("Home");
        Store("Spare");
        dialog = new CRemoteFileDlg(nullptr);
    }
    void TearDown() override
    {
        dialog->Destroy();
        test::PumpEvents();
        Profile::SetStore(nullptr);
        FtpServerFixture::TearDown();
    }
    void Store(const std::string& entry)
    {
        settings->SetString(kList + "\\" + entry, "hostname", Host());
        settings->SetString(kList + "\\" + entry, "username", kUser);
        settings->SetString(kList + "\\" + entry, "password", kPassword);
        settings->SetInt(kList + "\\" + entry, "hostport", Port());
    }

    CFTPFolderCtrl& Tree() { return *static_cast<CFTPFolderCtrl*>(dialog->FindWindow(ID_TREE)); }
    wxListCtrl& List() { return *static_cast<wxListCtrl*>(dialog->FindWindow(ID_LIST)); }
    wxTextCtrl& FileName() { return *static_cast<wxTextCtrl*>(dialog->FindWindow(ID_FILE_NAME)); }
    wxComboBox& LookIn() { return *static_cast<wxComboBox*>(dialog->FindWindow(ID_LOOK_IN)); }

    wxTreeItemId Server(const std::string& name)
    {
        wxTreeItemIdValue cookie;
        const wxTreeItemId root = Tree().GetRootItem();
        for (auto c = Tree().GetFirstChild(root, cookie); c.IsOk(); c = Tree().GetNextChild(root, cookie))
            if (Tree().GetItemText(c).utf8_string() == name) return c;
        return {};
    }
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        for (long i = 0; i < List().GetItemCount(); ++i) rows.push_back(List().GetItemText(i).utf8_string());
        return rows;
    }
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

    test::TempDir dir;
    std::unique_ptr<SettingsStore> settings;
    test::RecordingUIServices ui;
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
