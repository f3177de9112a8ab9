#include "tests/brindlekit/ftp/FakeFolderTree.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

using namespace brindle;
using brindle::test::FakeFolderTree;

namespace {

const std::string kList = "Software\\Brindle\\Brindle\\RemoteServers";

// A private settings store for each test.
class ServerStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<SettingsStore>(dir.path() / "settings");
        Profile::SetStore(store.get());
        Profile::SetRegistryKey("Brindle", "Brindle");
    }
    void TearDown() override { Profile::SetStore(nullptr); }

    std::string String(const std::string& entry, const std::string& value)
    {
        return store->GetString(kList + "\\" + entry, value).value_or("<missing>");
    }
    int Int(const std::string& entry, const std::string& value)
    {
        return store->GetInt(kList + "\\" + entry, value).value_or(-1);
    }
    // Loads the stored list into a fresh tree, as at the program's start.
    std::vector<std::string> Reloaded()
    {
        FakeFolderTree tree;
        tree.RestoreSettings();
        return tree.Texts();
    }

    brindle::test::TempDir dir;
    std::unique_ptr<SettingsStore> store;
    brindle::test::RecordingUIServices ui;
};

} // namespace

TEST_F(ServerStore, MissingValuesLoadAsDefaultsAndAreWrittenBack)
{
    store->SetString(kList + "\\bare", "hostname", "ftp.example.org");
    FakeFolderTree tree;
    tree.RestoreSettings();

    ASSERT_EQ(tree.entries.size(), 1u);
    const CFTPFolderServer& s = *tree.At(0).server;
    EXPECT_EQ(s.GetEntryName(), "bare");
    EXPECT_EQ(s.GetHostname(), "ftp.example.org");
    EXPECT_EQ(s.GetPort(), 21u);
    EXPECT_EQ(s.GetUsername(), "");
    EXPECT_EQ(s.GetPassword(), "");
    EXPECT_EQ(s.GetInitialDir(), "");
    EXPECT_EQ(Int("bare", "hostport"), 21);
    EXPECT_EQ(String("bare", "username"), "");
    EXPECT_EQ(String("bare", "password"), "");
    EXPECT_EQ(String("bare", "initdir"), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ServerStore, LoadsInStoreOrderAndNothingWithoutAList)
{
    EXPECT_TRUE(Reloaded().empty());
    store->CreateKey(kList);
    EXPECT_TRUE(Reloaded().empty());

    FakeFolderTree tree;
    tree.AddServer("gamma", "g", "", "", "/", 21);
    tree.AddServer("Alpha", "a", "", "", "/", 21);
    tree.AddServer("beta", "b", "", "", "/", 21);
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"gamma", "Alpha", "beta"}));
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ServerStore, PortIsStoredAsEnteredAndKeepsItsHighBits)
{
    FakeFolderTree tree;
    tree.AddServer("big", "h", "u", "p", "/", 70000);
    EXPECT_EQ(Int("big", "hostport"), 70000);

    FakeFolderTree loaded;
    loaded.RestoreSettings();
    ASSERT_EQ(loaded.entries.size(), 1u);
    EXPECT_EQ(loaded.At(0).server->GetPort(), 70000u);
}

TEST_F(ServerStore, SameNameOverwritesTheRecordAndShowsTwiceUntilReloaded)
{
    FakeFolderTree tree;
    tree.AddServer("work", "old.example", "ann", "pw1", "/a", 21);
    tree.AddServer("other", "o", "", "", "", 21);
    tree.AddServer("work", "new.example", "bob", "pw2", "/b", 2121);

    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"work", "other", "work"}));
    EXPECT_EQ(String("work", "hostname"), "new.example");
    EXPECT_EQ(String("work", "username"), "bob");
    EXPECT_EQ(String("work", "password"), "pw2");
    EXPECT_EQ(String("work", "initdir"), "/b");
    EXPECT_EQ(Int("work", "hostport"), 2121);
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"other", "work"}));
}

TEST_F(ServerStore, EmptyNameWritesOntoTheListKeyAndIsNotLoadedBack)
{
    FakeFolderTree tree;
    tree.AddServer("keep", "k", "", "", "", 21);
    tree.AddServer("", "nameless", "", "", "", 21);
    EXPECT_EQ(store->GetString(kList, "hostname").value_or(""), "nameless");
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"keep"}));

    // Deleting it takes its values off the list key and leaves the other records.
    tree.Select(1);
    tree.DeleteServer("");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(store->GetString(kList, "hostname").has_value());
    EXPECT_EQ(String("keep", "hostname"), "k");
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"keep"}));
}

TEST_F(ServerStore, ModifyReplacesTheOldRecordAndRenamesTheSelectedEntry)
{
    FakeFolderTree tree;
    tree.AddServer("first", "f", "fu", "fp", "/f", 21);
    tree.AddServer("second", "s", "su", "sp", "/s", 21);
    tree.Select(1);
    CFTPFolderServer* server = tree.At(1).server.get();

    EXPECT_EQ(tree.ModifyServer(server, "renamed", "r.example", "ru", "rp", "/r", 99999), 1);
    EXPECT_EQ(tree.closedItems, (std::vector<std::string>{"second"}));
    EXPECT_FALSE(store->KeyExists(kList + "\\second"));
    EXPECT_EQ(String("renamed", "hostname"), "r.example");
    EXPECT_EQ(String("renamed", "password"), "rp");
    EXPECT_EQ(Int("renamed", "hostport"), 99999);
    EXPECT_EQ(String("first", "password"), "fp");
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"first", "renamed"}));
    EXPECT_EQ(server->GetInitialDir(), "/r");

    // The old record already gone: the new one is written all the same, silently.
    store->DeleteKey(kList + "\\renamed");
    EXPECT_EQ(tree.ModifyServer(server, "again", "a", "", "", "", 21), 1);
    EXPECT_EQ(String("again", "hostname"), "a");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"again", "first"}));
}

TEST_F(ServerStore, DeleteRemovesTheSubkeyAndTheEntryEvenWhenTheRecordIsGone)
{
    FakeFolderTree tree;
    tree.AddServer("one", "1", "", "", "", 21);
    tree.AddServer("two", "2", "", "", "", 21);
    tree.Select(0);
    tree.DeleteServer("one");
    EXPECT_FALSE(store->KeyExists(kList + "\\one"));
    EXPECT_TRUE(store->KeyExists(kList + "\\two"));
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"two"}));
    EXPECT_TRUE(ui.messages.empty());

    store->DeleteKey(kList + "\\two");
    tree.Select(0);
    tree.DeleteServer("two");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "从注册表移除项目错误");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);
    EXPECT_TRUE(tree.entries.empty());
    EXPECT_TRUE(store->KeyExists(kList));
}

TEST_F(ServerStore, NamesUpTo254BytesLoadAndALongerOneEndsTheList)
{
    const std::string longest(254, 'm');
    FakeFolderTree tree;
    tree.AddServer("a", "", "", "", "", 21);
    tree.AddServer(longest, "h", "", "", "", 21);
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"a", longest}));

    // In store order "a" < 255 × "n" < "z": loading stops at the long name.
    tree.AddServer(std::string(255, 'n'), "", "", "", "", 21);
    tree.AddServer("z", "", "", "", "", 21);
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"a", longest}));
}

TEST_F(ServerStore, PasswordIsOnlyInThePrivateSettingsFile)
{
    FakeFolderTree tree;
    tree.AddServer("secret", "h", "u", "pa55-word", "/", 21);

    struct stat st{};
    ASSERT_EQ(::stat(store->File().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::ifstream in(store->File());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("pa55-word"), std::string::npos);
}
