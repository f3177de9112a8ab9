// The local folder tree and directory list on a real display: folders read
// level by level, refreshes, failures told to the user, rows, filter and sorting.
#include "brindlekit/shell/ShellDirCtrl.h"
#include "brindlekit/shell/ShellFolderCtrl.h"
#include "brindlekit/shell/ShellItemCommands.h"
#include "brindlekit/shell/ShellPropertiesDialog.h"
#include "platform/shell/ContentType.h"
#include "platform/ui/Clipboard.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <wx/frame.h>

using namespace brindle;
using brindle::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class ShellControlsGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "docs/old");
        fs::create_directories(dir / "empty");
        WriteFile(dir / "docs/a.xml", std::string(1500, 'x'));
        WriteFile(dir / "docs/b.XML", "x");
        WriteFile(dir / "docs/c.txt", "x");
        frame = new wxFrame(nullptr, wxID_ANY, "shell", wxDefaultPosition, wxSize(600, 400));
        ShellDirListModel::SetSortedColumn(ShellDirListModel::kName);
    }
    void TearDown() override
    {
        frame->Destroy();
        test::PumpEvents();
    }
    std::vector<std::string> Labels(const wxTreeCtrl& tree, const wxTreeItemId& parent)
    {
        std::vector<std::string> labels;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree.GetFirstChild(parent, cookie); c.IsOk(); c = tree.GetNextChild(parent, cookie))
            labels.push_back(tree.GetItemText(c).utf8_string());
        return labels;
    }
    wxTreeItemId Child(const wxTreeCtrl& tree, const wxTreeItemId& parent, std::size_t index)
    {
        wxTreeItemIdValue cookie;
        wxTreeItemId c = tree.GetFirstChild(parent, cookie);
        while (index-- > 0 && c.IsOk()) c = tree.GetNextChild(parent, cookie);
        return c;
    }
    test::TempDir dir;
    test::RecordingUIServices ui;
    wxFrame* frame = nullptr;
};

} // namespace

TEST_F(ShellControlsGui, TreeReadsEachLevelOnceAndRefreshReadsAgain)
{
    auto* tree = new CShellFolderCtrl(frame);
    tree->Init();
    tree->SetFolder(dir.path());
    const wxTreeItemId top = Child(*tree, tree->GetRootItem(), 0);
    ASSERT_TRUE(top.IsOk());
    EXPECT_TRUE(tree->ItemHasChildren(top));
    EXPECT_EQ(tree->Model().FolderReads(), 0u);

    tree->Expand(top);
    EXPECT_EQ(Labels(*tree, top), (std::vector<std::string>{"docs", "empty"}));
    EXPECT_TRUE(tree->ItemHasChildren(Child(*tree, top, 0)));
    EXPECT_FALSE(tree->ItemHasChildren(Child(*tree, top, 1)));
    tree->Collapse(top);
    tree->Expand(top);
    EXPECT_EQ(tree->Model().FolderReads(), 1u);

    fs::create_directories(dir / "new");
    tree->SelectItem(top);
    tree->Refresh();
    EXPECT_EQ(Labels(*tree, top), (std::vector<std::string>{"docs", "empty", "new"}));
    EXPECT_EQ(tree->Model().FolderReads(), 2u);
    fs::path selected;
    ASSERT_TRUE(tree->GetSelectedFolderPath(selected));
    EXPECT_EQ(selected, dir.path());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShellControlsGui, TreeTellsWhyAVanishedFolderCannotBeOpened)
{
    auto* tree = new CShellFolderCtrl(frame);
    tree->Init();
    tree->SetFolder(dir.path());
    const wxTreeItemId top = Child(*tree, tree->GetRootItem(), 0);
    tree->Expand(top);
    fs::remove_all(dir / "docs");
    tree->Expand(Child(*tree, top, 0));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("docs"), std::string::npos) << ui.messages[0].text;
}

TEST_F(ShellControlsGui, ListShowsFilteredFilesAndKeepsTheSelectionThroughASort)
{
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    list->SetFilter(".xml");
    ASSERT_TRUE(list->SetFolder(dir / "docs").Ok());
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, ShellDirListModel::kSize).utf8_string(), "1 KB");
    fs::path path;
    EXPECT_FALSE(list->GetItemPath(path));

    list->SetFilter("");
    ASSERT_TRUE(list->Refresh().Ok());
    ASSERT_EQ(list->GetItemCount(), 3);
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    ASSERT_TRUE(list->GetItemPath(path));
    EXPECT_EQ(path, dir / "docs/a.xml");
    list->SortByColumn(ShellDirListModel::kName);  // descending: c.txt, b.XML, a.xml
    EXPECT_EQ(list->GetItemText(0).utf8_string(), "c.txt");
    ASSERT_TRUE(list->GetItemPath(path));
    EXPECT_EQ(path, dir / "docs/a.xml");
}

TEST_F(ShellControlsGui, ListTellsWhyAFolderCannotBeRead)
{
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    EXPECT_EQ(list->SetFolder(dir / "missing").code, ShellListResult::kUnreadable);
    EXPECT_EQ(list->GetItemCount(), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("missing"), std::string::npos);
    EXPECT_EQ(list->SetFolder("").code, ShellListResult::kEmptyPath);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ShellControlsGui, ListTakesTypesAndIconsFromTheMimeDatabaseInTwoSizes)
{
    WriteFile(dir / "docs/d.qzx9unheard", "x");
    WriteFile(dir / "docs/e.xml", "x");
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    wxImageList* small = list->GetImageList(wxIMAGE_LIST_SMALL);
    wxImageList* large = list->GetImageList(wxIMAGE_LIST_NORMAL);
    ASSERT_TRUE(small && large);
    EXPECT_EQ(small->GetSize().x, 16);
    EXPECT_EQ(large->GetSize().x, 32);
    list->SetFilter(".xml");
    ASSERT_TRUE(list->SetFolder(dir / "docs").Ok());
    ASSERT_EQ(list->GetItemCount(), 2);  // a.xml, e.xml
    const std::string description = ContentTypeOfName("a.xml").description;
    ASSERT_FALSE(description.empty());
    EXPECT_EQ(list->GetItemText(0, ShellDirListModel::kType).utf8_string(), description);
    // Files of one type share one icon, looked up once; both lists stay parallel.
    const int before = small->GetImageCount();
    EXPECT_EQ(large->GetImageCount(), before);
    list->SetFilter("");
    ASSERT_TRUE(list->Refresh().Ok());
    EXPECT_EQ(large->GetImageCount(), small->GetImageCount());
    // An extension the database does not know falls back to its own name and
    // the plain file's icon.
    for (long row = 0; row < list->GetItemCount(); ++row) {
        if (list->GetItemText(row).utf8_string() != "d.qzx9unheard") continue;
        EXPECT_EQ(list->GetItemText(row, ShellDirListModel::kType).utf8_string(), "QZX9UNHEARD File");
        wxListItem item;
        item.SetId(row);
        item.SetMask(wxLIST_MASK_IMAGE);
        ASSERT_TRUE(list->GetItem(item));
        EXPECT_EQ(item.GetImage(), 0);
    }
}

namespace {

constexpr int kMenu = 183, kToolbar = 176, kOpen = 30010, kProperties = 30045;

class OneMenu : public ITarnResources {
public:
    const std::vector<MenuTemplateItem>* Menu(int id) const override { return id == kMenu ? &menu : nullptr; }
    const std::vector<int>* Toolbar(int id) const override { return id == kToolbar ? &buttons : nullptr; }
    wxBitmapBundle ButtonImage(int) const override { return wxBitmapBundle(wxBitmap(16, 16)); }
    bool IsCheckCommand(int) const override { return false; }
    std::vector<MenuTemplateItem> menu{{0, "SHELLDIR", {{kOpen, "&Open", {}}, {kProperties, "&Properties", {}}}}};
    std::vector<int> buttons{kOpen};
};

std::vector<int> Ids(const wxMenu& menu)
{
    std::vector<int> ids;
    for (const wxMenuItem* item : menu.GetMenuItems()) ids.push_back(item->IsSeparator() ? 0 : item->GetId());
    return ids;
}

} // namespace

TEST_F(ShellControlsGui, ListContextMenuIsTheFilesOwnOrTheOneSetAndItsChoiceGoesToTheParent)
{
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    ASSERT_TRUE(list->SetFolder(dir / "docs").Ok());
    EXPECT_EQ(list->CreateContextMenu(), nullptr);  // nothing selected
    EXPECT_FALSE(list->InvokeCommand(0, {}));
    EXPECT_FALSE(list->InvokeCommand(kShellCommandCopyPath, {}));
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    auto own = list->CreateContextMenu();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(Ids(*own), (std::vector<int>{kShellCommandOpen, kShellCommandOpenContaining, kShellCommandCopyPath, 0,
                                           kShellCommandProperties}));
    MemoryClipboard clipboard;
    SetClipboard(&clipboard);
    list->OnMenuChoice(kShellCommandCopyPath, {});
    EXPECT_EQ(clipboard.GetText().value_or(""), (dir / "docs/a.xml").string());

    OneMenu resources;
    TarnMenu::SetResources(&resources);
    std::vector<int> received;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& event) { received.push_back(event.GetId()); });
    list->SetMenu(kMenu, kToolbar);
    auto set = list->CreateContextMenu();
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(Ids(*set), (std::vector<int>{kOpen, kProperties}));
    EXPECT_TRUE(set->FindItem(kOpen)->GetBitmapBundle().IsOk());
    list->OnMenuChoice(kProperties, {});
    list->OnMenuChoice(kShellCommandCopyPath, {});  // not the file's own command now: the parent's
    EXPECT_EQ(received, (std::vector<int>{kProperties, kShellCommandCopyPath}));
    list->SetMenu(kMenu + 1, kToolbar);
    EXPECT_EQ(list->CreateContextMenu(), nullptr);  // no such menu
    TarnMenu::SetResources(nullptr);
    SetClipboard(nullptr);
}

TEST_F(ShellControlsGui, TreeCommandsActOnTheSelectedFolder)
{
    auto* tree = new CShellFolderCtrl(frame);
    tree->Init();
    tree->SetFolder(dir.path());
    EXPECT_FALSE(tree->InvokeCommand(kShellCommandProperties, {}));
    MemoryClipboard clipboard;
    SetClipboard(&clipboard);
    tree->SelectItem(Child(*tree, tree->GetRootItem(), 0));
    EXPECT_TRUE(tree->InvokeCommand(kShellCommandCopyPath, {}));
    EXPECT_EQ(clipboard.GetText().value_or(""), dir.path().string());
    EXPECT_FALSE(tree->InvokeCommand(99, {}));
    SetClipboard(nullptr);
}

TEST_F(ShellControlsGui, ListFollowsFilesCreatedAndDeletedByOthers)
{
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    ASSERT_TRUE(list->SetFolder(dir / "docs").Ok());
    list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);  // b.XML
    // Waits for the change to arrive; the bound only ends a test that fails.
    const auto waitFor = [&](long rows) {
        for (int i = 0; i < 3000 && list->GetItemCount() != rows; ++i) {
            test::PumpEvents();
            wxMilliSleep(10);
        }
        return list->GetItemCount() == rows;
    };
    WriteFile(dir / "docs/0.xml", "x");
    ASSERT_TRUE(waitFor(4));
    EXPECT_EQ(list->GetItemText(0).utf8_string(), "0.xml");
    fs::path selected;
    ASSERT_TRUE(list->GetItemPath(selected));
    EXPECT_EQ(selected, dir / "docs/b.XML");
    fs::remove(dir / "docs/a.xml");
    ASSERT_TRUE(waitFor(3));
    EXPECT_EQ(list->GetItemText(1).utf8_string(), "b.XML");
    fs::remove_all(dir / "docs");
    ASSERT_TRUE(waitFor(0));
    EXPECT_FALSE(list->Model().Reason().empty());
    // Leaving a folder deleted before the news arrived, for one that is watched.
    ASSERT_TRUE(list->SetFolder(dir / "empty").Ok());
    fs::remove_all(dir / "empty");
    ASSERT_TRUE(list->SetFolder(dir.path()).Ok());
    WriteFile(dir / "top.xml", "x");
    ASSERT_TRUE(waitFor(1));
    EXPECT_TRUE(list->Model().Reason().empty());
}

TEST_F(ShellControlsGui, TreeOpensDownToAFolderAndSelectsIt)
{
    auto* tree = new CShellFolderCtrl(frame);
    tree->Init();
    fs::create_directories(dir / "docs/old/older");
    fs::create_directories(dir / ".hidden/inner");
    // Two starting points, one inside the other: the deeper one is used.
    tree->SetFolder(std::vector<ShellRoot>{{"top", dir.path()}, {"docs", dir / "docs"}});
    fs::path selected;
    ASSERT_TRUE(tree->SelectFolder(dir / "docs/old/./older/"));
    ASSERT_TRUE(tree->GetSelectedFolderPath(selected));
    EXPECT_EQ(selected, dir / "docs/old/older");
    EXPECT_EQ(tree->GetItemParent(tree->GetItemParent(tree->GetSelection())), Child(*tree, tree->GetRootItem(), 1));
    EXPECT_EQ(tree->Model().FolderReads(), 2u);  // docs and old, nothing else

    ASSERT_TRUE(tree->SelectFolder(dir.path()));
    ASSERT_TRUE(tree->GetSelectedFolderPath(selected));
    EXPECT_EQ(selected, dir.path());
    // Not in the tree: the deepest folder on the way is selected.
    EXPECT_FALSE(tree->SelectFolder(dir / ".hidden/inner"));
    ASSERT_TRUE(tree->GetSelectedFolderPath(selected));
    EXPECT_EQ(selected, dir.path());
    EXPECT_FALSE(tree->SelectFolder(dir / "docs/missing"));
    ASSERT_TRUE(tree->GetSelectedFolderPath(selected));
    EXPECT_EQ(selected, dir / "docs");
    EXPECT_FALSE(tree->SelectFolder("/proc-qzx9-not-here"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShellControlsGui, PropertiesCommandShowsTheSelectedFilesFieldsAndLeavesOutEmptyOnes)
{
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    ASSERT_TRUE(list->SetFolder(dir / "docs").Ok());
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);  // a.xml
    std::vector<std::string> fileValues, folderValues;
    // Reads the values the dialog shows once it is up, then closes it.
    const auto readDialog = [](std::vector<std::string>& values) {
        wxTheApp->CallAfter([&values] {
            for (wxWindow* w : wxTopLevelWindows) {
                auto* dialog = dynamic_cast<ShellPropertiesDialog*>(w);
                if (!dialog) continue;
                values.push_back(dialog->GetTitle().utf8_string());
                for (wxWindow* child : dialog->GetChildren())
                    if (auto* field = dynamic_cast<wxTextCtrl*>(child))
                        values.push_back(field->GetValue().utf8_string());
                dialog->EndModal(wxID_OK);
            }
        });
    };
    readDialog(fileValues);
    EXPECT_TRUE(list->InvokeCommand(kShellCommandProperties, {}));
    ASSERT_GE(fileValues.size(), 4u);
    EXPECT_EQ(fileValues[0], "a.xml Properties");
    EXPECT_EQ(fileValues[1], "a.xml");
    EXPECT_NE(std::find(fileValues.begin(), fileValues.end(), "1.46 KB (1,500 bytes)"), fileValues.end());

    auto* tree = new CShellFolderCtrl(frame);
    tree->Init();
    tree->SetFolder(dir / "docs");
    tree->SelectItem(Child(*tree, tree->GetRootItem(), 0));
    readDialog(folderValues);
    EXPECT_TRUE(tree->InvokeCommand(kShellCommandProperties, {}));
    ASSERT_FALSE(folderValues.empty());
    EXPECT_EQ(folderValues[0], "docs Properties");
    // A folder has no size: one field fewer.
    EXPECT_EQ(folderValues.size() + 1, fileValues.size());
    EXPECT_NE(std::find(folderValues.begin(), folderValues.end(), "Folder"), folderValues.end());
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return brindle::test::RunGuiTests(argv[0]);
}
