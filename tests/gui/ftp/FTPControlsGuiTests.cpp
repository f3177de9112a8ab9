// The FTP folder tree and directory list on a real display against a live
// pyftpdlib server: lazy folders, connections opened and closed, refreshes,
// hostile names, rows and sorting.
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderCtrl.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"

#include <wx/frame.h>

#include <filesystem>
#include <fstream>

using namespace brindle;

namespace {

const std::string kList = "Software\\Brindle\\Brindle\\RemoteServers";

// Lets a test click the way the tree does after the toolkit's own handling.
class ClickableFolderCtrl : public CFTPFolderCtrl {
public:
    using CFTPFolderCtrl::CFTPFolderCtrl;
    void Click(const wxTreeItemId& item)
    {
        SelectItem(item);
        AfterClick();
    }
};

class FtpControlsGui : public brindle::test::FtpServerFixture {
protected:
    void SetUp() override
    {
        FtpServerFixture::SetUp();
        settings = std::make_unique<SettingsStore>(dir.path() / "settings");
        Profile::SetStore(settings.get());
        Profile::SetRegistryKey("Brindle", "Brindle");
        std::filesystem::create_directories(Root() / "pub" / "one" / "deep");
        std::filesystem::create_directories(Root() / "pub" / "two");
        std::filesystem::create_directories(Root() / "pub" / "tab\there");
        std::ofstream(Root() / "pub" / "small.xml") << std::string(999, 'x');
        std::ofstream(Root() / "pub" / "big.xml") << std::string(1500, 'x');
        std::ofstream(Root() / "pub" / "notes.zzq") << "n";
        frame = new wxFrame(nullptr, wxID_ANY, "ftp", wxDefaultPosition, wxSize(600, 400));
        FTPDirListModel::SetSortedColumn(FTPDirListModel::kName);
    }
    void TearDown() override
    {
        frame->Destroy();
        test::PumpEvents();
        Profile::SetStore(nullptr);
        FtpServerFixture::TearDown();
    }
    ClickableFolderCtrl* Tree(bool expansion = true)
    {
        auto* tree = new ClickableFolderCtrl(frame);
        tree->SetExpansion(expansion);
        tree->Init();
        return tree;
    }
    static std::vector<std::string> Children(wxTreeCtrl& tree, const wxTreeItemId& item)
    {
        std::vector<std::string> texts;
        wxTreeItemIdValue cookie;
        for (auto c = tree.GetFirstChild(item, cookie); c.IsOk(); c = tree.GetNextChild(item, cookie))
            texts.push_back(tree.GetItemText(c).utf8_string());
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    static wxTreeItemId Child(wxTreeCtrl& tree, const wxTreeItemId& item, const std::string& text)
    {
        wxTreeItemIdValue cookie;
        for (auto c = tree.GetFirstChild(item, cookie); c.IsOk(); c = tree.GetNextChild(item, cookie))
            if (tree.GetItemText(c).utf8_string() == text) return c;
        return {};
    }
    static CFTPFolderServer* ServerOf(CFTPFolderCtrl& tree, const wxTreeItemId& item)
    {
        CFTPFolderServer* server = nullptr;
        return tree.GetFolderServer(server, item) ? server : nullptr;
    }

    brindle::test::TempDir dir;
    std::unique_ptr<SettingsStore> settings;
    brindle::test::RecordingUIServices ui;
    wxFrame* frame = nullptr;
};

} // namespace

TEST_F(FtpControlsGui, ServersConnectOnceOnExpansionAndFoldersListLazilyOnAClick)
{
    StoreServer("local", "/pub");
    auto* tree = Tree();
    const wxTreeItemId root = tree->GetRootItem();
    EXPECT_EQ(tree->GetItemText(root), wxString::FromUTF8("远程服务器"));
    const wxTreeItemId server = Child(*tree, root, "local");
    ASSERT_TRUE(server.IsOk());
    EXPECT_TRUE(tree->ItemHasChildren(server));
    EXPECT_FALSE(tree->IsFolder(server));
    EXPECT_FALSE(tree->IsFolder(root));
    CFTPFolderServer* record = ServerOf(*tree, server);
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->GetConnection());
    CFTPFolderServer* none = nullptr;
    EXPECT_FALSE(tree->GetFolderServer(none, root));

    // Expanding connects and adds the initial folder, listing nothing yet.
    tree->Expand(server);
    EXPECT_EQ(Children(*tree, server), (std::vector<std::string>{"/pub"}));
    const wxTreeItemId pub = Child(*tree, server, "/pub");
    EXPECT_TRUE(tree->IsFolder(pub));
    EXPECT_EQ(tree->GetChildrenCount(pub), 0u);
    const FtpConnection* connection = record->GetConnection();
    ASSERT_TRUE(connection);
    EXPECT_EQ(record->GetFolderHITEM(), server);

    // A second expansion neither connects again nor adds a folder.
    tree->Collapse(server);
    tree->Expand(server);
    tree->ExpandItem(server);
    EXPECT_EQ(record->GetConnection(), connection);
    EXPECT_EQ(tree->GetChildrenCount(server, false), 1u);

    // A click lists the folder's subfolders; hostile names show escaped.
    tree->Click(pub);
    EXPECT_EQ(Children(*tree, pub), (std::vector<std::string>{"one", "tab\\x09here", "two"}));
    CFTPFolderItem selected;
    ASSERT_TRUE(tree->GetSelectedFolder(selected));
    EXPECT_EQ(selected.GetEntryPath(), "/pub");
    EXPECT_EQ(ServerOf(*tree, pub), record);
    tree->Click(pub); // it has subfolders now: not listed again
    EXPECT_EQ(tree->GetChildrenCount(pub, false), 3u);

    // The hostile folder is never listed into: one clear message per click.
    const wxTreeItemId hostile = Child(*tree, pub, "tab\\x09here");
    tree->Click(hostile);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("tab\\x09here"), std::string::npos);
    EXPECT_EQ(tree->GetChildrenCount(hostile), 0u);

    tree->Click(Child(*tree, pub, "one"));
    EXPECT_EQ(Children(*tree, Child(*tree, pub, "one")), (std::vector<std::string>{"deep"}));

    // Refreshing a folder lists it afresh.
    std::filesystem::create_directories(Root() / "pub" / "three");
    tree->RefreshItem(pub);
    EXPECT_EQ(Children(*tree, pub), (std::vector<std::string>{"one", "tab\\x09here", "three", "two"}));

    // Closing drops the folders and the connection; the next expansion connects again.
    tree->CloseItem(pub);
    EXPECT_FALSE(record->GetConnection());
    EXPECT_EQ(tree->GetChildrenCount(server), 0u);
    EXPECT_TRUE(tree->ItemHasChildren(server));
    tree->Expand(server);
    EXPECT_TRUE(record->GetConnection());
    EXPECT_EQ(Children(*tree, server), (std::vector<std::string>{"/pub"}));
}

TEST_F(FtpControlsGui, AnEmptyInitialDirectoryAFlagOffAndAnUnreachableServer)
{
    StoreServer("blank", "");
    StoreServer("dead", "/");
    settings->SetInt(kList + "\\dead", "hostport", 1); // nothing listens there
    auto* tree = Tree();
    const wxTreeItemId blank = Child(*tree, tree->GetRootItem(), "blank");
    tree->Expand(blank);
    EXPECT_EQ(Children(*tree, blank), (std::vector<std::string>{""}));
    // The client reads an empty path as the login folder; were it refused, the
    // user would be told the path could not be entered.
    const wxTreeItemId unnamed = Child(*tree, blank, "");
    tree->Click(unnamed);
    if (ui.messages.empty()) {
        EXPECT_EQ(Children(*tree, unnamed), (std::vector<std::string>{"pub"}));
    } else {
        EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"不能设置当前目录到 ."}));
        EXPECT_EQ(tree->GetChildrenCount(unnamed), 0u);
    }
    ui.messages.clear();

    // An unreachable server says why once and stays closed, ready to try again.
    const wxTreeItemId dead = Child(*tree, tree->GetRootItem(), "dead");
    tree->Expand(dead);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(tree->GetChildrenCount(dead), 0u);
    EXPECT_FALSE(tree->IsExpanded(dead));
    EXPECT_TRUE(tree->ItemHasChildren(dead));

    // With expansion off servers have no button and never connect.
    auto* flat = Tree(false);
    const wxTreeItemId server = Child(*flat, flat->GetRootItem(), "blank");
    EXPECT_FALSE(flat->ItemHasChildren(server));
    flat->Expand(server);
    flat->Click(server);
    EXPECT_EQ(flat->GetChildrenCount(server), 0u);
    EXPECT_FALSE(ServerOf(*flat, server)->GetConnection());
}

TEST_F(FtpControlsGui, RefreshingTheRootClosesEveryConnectionAndReloadsInStoreOrder)
{
    StoreServer("b-second", "/pub");
    StoreServer("a-first", "/");
    auto* tree = Tree();
    const wxTreeItemId root = tree->GetRootItem();
    const wxTreeItemId server = Child(*tree, root, "a-first");
    tree->Expand(server);
    ASSERT_TRUE(ServerOf(*tree, server)->GetConnection());
    const std::string added = "zz-added";
    tree->AddServer(added, Host(), kUser, kPassword, "/", Port());
    settings->DeleteKey(kList + "\\" + added);
    StoreServer("c-third", "/");

    tree->RefreshItem(root);
    std::vector<std::string> texts;
    wxTreeItemIdValue cookie;
    for (auto c = tree->GetFirstChild(root, cookie); c.IsOk(); c = tree->GetNextChild(root, cookie)) {
        texts.push_back(tree->GetItemText(c).utf8_string());
        EXPECT_FALSE(ServerOf(*tree, c)->GetConnection());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"a-first", "b-second", "c-third"}));

    // Removing a server entry takes its folders and closes it.
    const wxTreeItemId first = Child(*tree, root, "a-first");
    tree->Expand(first);
    tree->RemoveItem(first);
    EXPECT_EQ(tree->GetChildrenCount(root, false), 2u);
}

TEST_F(FtpControlsGui, TheDirectoryListShowsFilesWithSizesTypesAndSortsOnHeaderClicks)
{
    auto* list = new CFTPDirCtrl(frame);
    list->Init();
    ASSERT_EQ(list->GetColumnCount(), 4);
    wxListItem header;
    header.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT | wxLIST_MASK_WIDTH);
    list->GetColumn(1, header);
    EXPECT_EQ(header.GetText(), wxString::FromUTF8("大小"));
    EXPECT_EQ(header.GetAlign(), wxLIST_FORMAT_RIGHT);
    EXPECT_EQ(list->GetColumnWidth(0), 150);
    EXPECT_EQ(list->GetColumnWidth(3), 130);

    CFTPFolderServer server("local", Host(), kUser, kPassword, "/pub", Port());
    ASSERT_TRUE(list->SetFolder(CFTPFolderItem(&server, "/pub", "/pub")));
    ASSERT_EQ(list->GetItemCount(), 3);
    list->SortByColumn(FTPDirListModel::kSize);
    EXPECT_EQ(list->GetItemText(0, 0), "notes.zzq");
    EXPECT_EQ(list->GetItemText(1, 1), "0 KB");
    EXPECT_EQ(list->GetItemText(2, 1), "1 KB");
    EXPECT_EQ(list->GetItemText(0, 2), "ZZQ File");
    EXPECT_FALSE(list->GetItemText(2, 2).empty());

    // The selection follows its row through a sort.
    list->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    list->SortByColumn(FTPDirListModel::kSize);
    ASSERT_TRUE(list->GetSelectedDirItem());
    EXPECT_EQ(list->GetSelectedDirItem()->name, "big.xml");
    EXPECT_EQ(list->GetSelectedDirItem()->path, "/pub/big.xml");

    std::unique_ptr<CFTPFileFind> finder;
    ASSERT_TRUE(list->GetFileProperties(finder));
    EXPECT_EQ(finder->GetFileName(), "big.xml");
    EXPECT_EQ(finder->GetLength(), 1500u);
    std::filesystem::remove(Root() / "pub" / "big.xml");
    EXPECT_FALSE(list->GetFileProperties(finder));
    EXPECT_FALSE(finder);

    list->Refresh();
    EXPECT_EQ(list->GetItemCount(), 2);
    ASSERT_TRUE(list->GetFolderItem());
    EXPECT_EQ(list->GetFolderItem()->GetEntryPath(), "/pub");

    // A folder whose name cannot be sent back is refused, not listed.
    list->SetFolder(CFTPFolderItem(&server, "tab\there", "/pub/tab\there", false));
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages.back().text.find("tab\\x09here") != std::string::npos);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return brindle::test::RunGuiTests(argv[0]);
}
