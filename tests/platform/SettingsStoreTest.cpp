#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;

namespace {

// Lowers the process's file size limit for its lifetime (root is bound by it too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

std::vector<std::string> FilesIn(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SettingsStore, ValuesSurviveReopeningWithAwkwardNamesAndContent)
{
    TempDir dir;
    const auto file = dir / "settings";
    const std::string tricky = "a=b [c] \\d\\ %41 100%\nline two\r\ttab \xE4\xB8\xAD";
    {
        SettingsStore store(file);
        EXPECT_TRUE(store.SetString("Software\\Brindle\\Brindle\\Settings", "parserAppId", "Msxml2.DOMDocument"));
        EXPECT_TRUE(store.SetInt("Software\\Brindle\\Brindle\\Settings", "validateOnParse", 0));
        EXPECT_TRUE(store.SetInt("Software\\Brindle\\Brindle\\Settings", "negative", INT32_MIN));
        EXPECT_TRUE(store.SetString("Software\\Brindle\\Brindle\\Odd [key] = %", "na=me]", tricky));
        EXPECT_TRUE(store.SetString("Software\\Brindle\\Brindle\\Settings", "empty", ""));
        EXPECT_TRUE(store.CreateKey("Software\\Brindle\\Brindle\\RemoteServers"));
    }
    SettingsStore reopened(file);
    EXPECT_EQ(reopened.GetString("Software\\Brindle\\Brindle\\Settings", "parserAppId"), "Msxml2.DOMDocument");
    EXPECT_EQ(reopened.GetInt("Software\\Brindle\\Brindle\\Settings", "validateOnParse"), 0);
    EXPECT_EQ(reopened.GetInt("Software\\Brindle\\Brindle\\Settings", "negative"), INT32_MIN);
    EXPECT_EQ(reopened.GetString("Software\\Brindle\\Brindle\\Odd [key] = %", "na=me]"), tricky);
    EXPECT_EQ(reopened.GetString("Software\\Brindle\\Brindle\\Settings", "empty"), "");
    EXPECT_TRUE(reopened.KeyExists("Software\\Brindle\\Brindle\\RemoteServers")); // empty keys persist
    EXPECT_FALSE(reopened.GetString("Software\\Brindle\\Brindle\\Settings", "missing").has_value());
    EXPECT_TRUE(reopened.TakeProblem().empty());
}

TEST(SettingsStore, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    TempDir dir;
    SettingsStore store(dir / "settings");
    store.SetString("Software\\Brindle\\RemoteServers\\MyServer", "Host", "one");
    store.SetString("software\\BRINDLE\\remoteservers\\myserver", "HOST", "two");
    EXPECT_EQ(store.GetString("SOFTWARE\\brindle\\RemoteServers\\MYSERVER", "host"), "two");
    EXPECT_EQ(store.EnumSubkeys("Software\\Brindle\\RemoteServers"), std::vector<std::string>{"MyServer"});
    EXPECT_EQ(store.EnumValueNames("Software\\Brindle\\RemoteServers\\MyServer"), std::vector<std::string>{"Host"});
    // A number stored as text reads as the number; other text does not.
    store.SetString("K", "n", "42");
    store.SetString("K", "t", "4x2");
    EXPECT_EQ(store.GetInt("K", "n"), 42);
    EXPECT_FALSE(store.GetInt("K", "t").has_value());
}

TEST(SettingsStore, SubkeysEnumerateInStableNameOrderAndDeleteRecursively)
{
    TempDir dir;
    SettingsStore store(dir / "settings");
    for (const char* name : {"zeta", "Alpha", "beta", "Gamma"}) store.SetString(std::string("R\\") + name + "\\sub", "v", name);
    const std::vector<std::string> expected{"Alpha", "beta", "Gamma", "zeta"};
    EXPECT_EQ(store.EnumSubkeys("R"), expected);
    SettingsStore other(dir / "settings");
    EXPECT_EQ(other.EnumSubkeys("R"), expected);

    EXPECT_TRUE(store.DeleteKey("R\\BETA"));
    EXPECT_FALSE(store.KeyExists("R\\beta\\sub"));
    EXPECT_EQ(store.EnumSubkeys("R"), (std::vector<std::string>{"Alpha", "Gamma", "zeta"}));
    EXPECT_FALSE(store.DeleteKey("R\\beta"));
    EXPECT_TRUE(store.DeleteValue("R\\Alpha\\sub", "v"));
    EXPECT_FALSE(store.DeleteValue("R\\Alpha\\sub", "v"));
    EXPECT_TRUE(store.KeyExists("R\\Alpha\\sub"));
    EXPECT_TRUE(store.EnumSubkeys("no\\such\\key").empty());
}

TEST(SettingsStore, WritesAreAtomicAndPrivate)
{
    TempDir dir;
    const auto file = dir / "nested" / "settings";
    SettingsStore store(file);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(store.SetInt("K", "n" + std::to_string(i), i));
    // No temporary files are left behind, and the file is readable by its owner only.
    EXPECT_EQ(FilesIn(dir / "nested"), std::vector<std::string>{"settings"});
    struct stat st{};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SettingsStore, FailedWriteKeepsOldFileAndSaysSoOnce)
{
    TempDir dir;
    const auto file = dir / "settings";
    RecordingUIServices ui;
    SettingsStore store(file);
    ASSERT_TRUE(store.SetString("K", "kept", "yes"));
    const std::string before = ReadFile(file);

    {
        // A file size limit makes the write fail partway, as a full disk does.
        FileSizeLimit limit(before.size() / 2);
        EXPECT_FALSE(store.SetString("K", "lost", std::string(500, 'x')));
        EXPECT_FALSE(store.SetString("K", "lost2", "2"));
    }

    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"settings"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("could not save its settings"), std::string::npos);
    // The value lives on for this run, and the next successful write stores it.
    EXPECT_EQ(store.GetString("K", "lost2"), "2");
    EXPECT_TRUE(store.SetString("K", "later", "3"));
    EXPECT_EQ(SettingsStore(file).GetString("K", "lost2"), "2");
}

TEST(SettingsStore, UnreadableFileIsSetAsideAndReportedOnce)
{
    TempDir dir;
    const auto file = dir / "settings";
    const std::string garbage = "BrindleSettings 1\n[K]\ns bad=%G1\nnot a line\n";
    WriteFile(file, garbage);

    SettingsStore store(file);
    EXPECT_FALSE(store.KeyExists("K"));
    const std::string problem = store.TakeProblem();
    EXPECT_NE(problem.find("could not be read"), std::string::npos);
    EXPECT_TRUE(store.TakeProblem().empty());

    auto names = FilesIn(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].rfind("settings.unreadable-", 0), 0u);
    EXPECT_EQ(ReadFile(dir / names[0]), garbage); // nothing of the old file is lost

    EXPECT_TRUE(store.SetInt("K", "fresh", 1));
    EXPECT_EQ(SettingsStore(file).GetInt("K", "fresh"), 1);
}

TEST(SettingsStore, OtherProcessChangesArePickedUp)
{
    TempDir dir;
    SettingsStore first(dir / "settings");
    SettingsStore second(dir / "settings");
    first.SetString("K", "a", "1");
    EXPECT_EQ(second.GetString("K", "a"), "1");
    second.SetString("K", "b", "2");
    first.SetString("K", "c", "3"); // must not drop b
    EXPECT_EQ(SettingsStore(dir / "settings").EnumValueNames("K"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Profile, SectionsLiveUnderTheApplicationKey)
{
    TempDir dir;
    SettingsStore store(dir / "settings");
    Profile::SetStore(&store);
    Profile::SetRegistryKey("Brindle", "Brindle");
    EXPECT_EQ(Profile::GetProfileInt("Settings", "validateOnParse", 7), 7);
    EXPECT_EQ(Profile::GetProfileString("Settings", "x", "dflt"), "dflt");
    Profile::WriteProfileInt("Settings", "validateOnParse", 0);
    Profile::WriteProfileString("Recent File List", "File1", "/tmp/a.xml");
    EXPECT_EQ(store.GetInt("Software\\Brindle\\Brindle\\Settings", "validateOnParse"), 0);
    EXPECT_EQ(store.GetString("Software\\Brindle\\Brindle\\Recent File List", "File1"), "/tmp/a.xml");
    EXPECT_TRUE(Profile::DeleteProfileEntry("Recent File List", ""));
    EXPECT_FALSE(store.KeyExists("Software\\Brindle\\Brindle\\Recent File List"));
    Profile::SetStore(nullptr);
}
