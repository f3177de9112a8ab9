#include "tests/brindlekit/ftp/FakeFolderTree.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

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

    // A stored record as "host user password initdir port"; missing values show as "?".
    std::string Stored(const std::string& entry)
    {
        const std::string key = kList + "\\" + entry;
        std::string out;
        for (const char* name : {"hostname", "username", "password", "initdir"})
            out += store->GetString(key, name).value_or("?") + " ";
        const auto port = store->GetInt(key, "hostport");
        return out + (port ? std::to_string(*port) : "?");
    }
    static std::string Loaded(const CFTPFolderServer& s)
    {
        return s.GetHostname() + " " + s.GetUsername() + " " + s.GetPassword() + " " + s.GetInitialDir() + " " +
               std::to_string(s.GetPort());
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

TEST_F(ServerStore, LoadsInStoreOrderWithDefaultsForMissingValuesAndWritesThemBack)
{
    FakeFolderTree empty;
    empty.RestoreSettings();
    EXPECT_TRUE(empty.entries.empty());

    store->SetString(kList + "\\bare", "hostname", "ftp.example.org");
    store->SetInt(kList + "\\Big", "hostport", 70000); // kept as stored, not cut to 16 bits
    store->SetString(kList + "\\alpha", "password", "pw");
    FakeFolderTree tree;
    tree.RestoreSettings();

    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"alpha", "bare", "Big"}));
    EXPECT_EQ(Loaded(*tree.At(1).server), "ftp.example.org    21");
    EXPECT_EQ(Stored("bare"), "ftp.example.org    21");
    EXPECT_EQ(Loaded(*tree.At(2).server), "    70000");
    EXPECT_EQ(Stored("Big"), "    70000");
    EXPECT_EQ(Stored("alpha"), "  pw  21");
    EXPECT_TRUE(ui.messages.empty());

    // Added servers keep their order in the tree until the next load.
    tree.AddServer("Aardvark", "a", "", "", "/", 21);
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"alpha", "bare", "Big", "Aardvark"}));
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"Aardvark", "alpha", "bare", "Big"}));
}

TEST_F(ServerStore, SameNameOverwritesTheRecordAndShowsTwiceUntilReloaded)
{
    FakeFolderTree tree;
    tree.AddServer("work", "old.example", "ann", "pw1", "/a", 21);
    tree.AddServer("other", "o", "", "", "", 21);
    tree.AddServer("work", "new.example", "bob", "pw2", "/b", 2121);

    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"work", "other", "work"}));
    EXPECT_EQ(Stored("work"), "new.example bob pw2 /b 2121");
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"other", "work"}));
}

TEST_F(ServerStore, EmptyNameWritesOntoTheListKeyAndIsNotLoadedBack)
{
    FakeFolderTree tree;
    tree.AddServer("keep", "k", "", "", "", 21);
    EXPECT_FALSE(CFTPServerStore::HasRecord(""));
    tree.AddServer("", "nameless", "", "", "", 21);
    EXPECT_EQ(store->GetString(kList, "hostname").value_or(""), "nameless");
    EXPECT_TRUE(CFTPServerStore::HasRecord(""));
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"keep"}));

    // Deleting it takes its values off the list key and leaves the other records.
    tree.Select(1);
    tree.DeleteServer("");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(store->GetString(kList, "hostname").has_value());
    EXPECT_FALSE(CFTPServerStore::HasRecord(""));
    EXPECT_EQ(Stored("keep"), "k    21");
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
    EXPECT_EQ(Stored("renamed"), "r.example ru rp /r 99999");
    EXPECT_EQ(Stored("first"), "f fu fp /f 21");
    EXPECT_EQ(tree.Texts(), (std::vector<std::string>{"first", "renamed"}));
    EXPECT_EQ(server->GetInitialDir(), "/r");

    // The old record already gone: the new one is written all the same, silently.
    store->DeleteKey(kList + "\\renamed");
    EXPECT_EQ(tree.ModifyServer(server, "again", "a", "", "", "", 21), 1);
    EXPECT_EQ(Stored("again"), "a    21");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Reloaded(), (std::vector<std::string>{"again", "first"}));
}

TEST_F(ServerStore, DeleteRemovesTheSubkeyAndTheEntryEvenWhenTheRecordIsGone)
{
    FakeFolderTree tree;
    tree.AddServer("one", "1", "", "", "", 21);
    tree.AddServer("two", "2", "", "", "", 21);
    tree.Select(0);
    EXPECT_TRUE(CFTPServerStore::HasRecord("one"));
    tree.DeleteServer("one");
    EXPECT_FALSE(store->KeyExists(kList + "\\one"));
    EXPECT_TRUE(store->KeyExists(kList + "\\two"));
    EXPECT_FALSE(CFTPServerStore::HasRecord("one"));
    EXPECT_TRUE(CFTPServerStore::HasRecord("TWO")); // names compare as the store's keys do
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

TEST_F(ServerStore, TlsIsKeptPerServerAndOldRecordsArePlainFtp)
{
    store->SetString(kList + "\\old", "hostname", "ftp.example.org");
    FakeFolderTree tree;
    tree.RestoreSettings();
    ASSERT_EQ(tree.Texts(), (std::vector<std::string>{"old"}));
    EXPECT_FALSE(tree.At(0).server->GetTls().required);
    EXPECT_EQ(store->GetInt(kList + "\\old", "usetls"), 0);

    auto secure = std::make_unique<CFTPFolderServer>("secure", "h", "u", "p", "/", 21);
    secure->SetTls({true, "/etc/brindle/ca.pem"});
    tree.AddServer(std::move(secure));
    auto loaded = CFTPServerStore::ReadRecord("secure");
    EXPECT_TRUE(loaded->GetTls().required);
    EXPECT_EQ(loaded->GetTls().caFile, "/etc/brindle/ca.pem");

    // Modifying the other values keeps the choice; renaming carries it along.
    tree.Select(1);
    tree.ModifyServer(tree.At(1).server.get(), "renamed", "h2", "u", "p", "/", 990);
    EXPECT_TRUE(CFTPServerStore::ReadRecord("renamed")->GetTls().required);
    EXPECT_FALSE(CFTPServerStore::HasRecord("secure"));
}
