#include "tests/app/ShellFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

using SettingsTest = ShellFixture;

TEST_F(SettingsTest, IntegersFallBackToDefaultsWithoutWritingThem)
{
    EXPECT_EQ(Settings::GetValidateOnParse(), 1);
    EXPECT_EQ(Settings::GetResolveExternals(), 1);
    EXPECT_EQ(Settings::GetUseXPath(), 0);
    EXPECT_EQ(Settings::GetDisplayFileTypesDlg(), 0);
    EXPECT_EQ(Settings::GetDisplayNavBar(), 0);
    EXPECT_EQ(Settings::GetStartWithSourceView(), 0);
    EXPECT_EQ(Settings::GetPreviewPages(), 0);
    EXPECT_EQ(Settings::GetLargeFileMB(), 200);
    EXPECT_EQ(Settings::GetLargeFileAsText(), -1); // not asked yet
    EXPECT_TRUE(store->EnumValueNames("Software\\Brindle\\Brindle\\Settings").empty());

    brindle::Profile::WriteProfileInt("Settings", "validateOnParse", 0);
    brindle::Profile::WriteProfileInt("Settings", "PreviewPages", 2);
    EXPECT_EQ(Settings::GetValidateOnParse(), 0);
    EXPECT_EQ(Settings::GetPreviewPages(), 2);

    // A size of 0 makes every file large; a negative one is not a size.
    Settings::WriteInt(Settings::Key::kLargeFileMB, 0);
    EXPECT_EQ(Settings::GetLargeFileMB(), 0);
    Settings::WriteInt(Settings::Key::kLargeFileMB, -5);
    EXPECT_EQ(Settings::GetLargeFileMB(), 200);
    Settings::WriteInt(Settings::Key::kLargeFileAsText, 7);
    EXPECT_EQ(Settings::GetLargeFileAsText(), 1);
}

TEST_F(SettingsTest, ScriptMemoryDefaultsToAQuarterOfTheMachinesAtMost4GB)
{
    const int fallback = Settings::GetScriptMemoryMB();
    EXPECT_GE(fallback, 1);
    EXPECT_LE(fallback, 4096);
    brindle::Profile::WriteProfileInt("Settings", "scriptMemoryMB", 64);
    EXPECT_EQ(Settings::GetScriptMemoryMB(), 64);
    // A value that would let no script run is not taken.
    brindle::Profile::WriteProfileInt("Settings", "scriptMemoryMB", 0);
    EXPECT_EQ(Settings::GetScriptMemoryMB(), fallback);
}

TEST_F(SettingsTest, DefaultFolderIsStoredAtFirstReadAndCreatedAtSecond)
{
    const std::string expected = programFolder + "templates/";
    EXPECT_EQ(Settings::GetTemplatePath(), expected);
    EXPECT_EQ(Stored("templatePath"), expected);
    EXPECT_FALSE(fs::exists(expected));
    EXPECT_EQ(Settings::GetTemplatePath(), expected);
    EXPECT_TRUE(fs::is_directory(expected));

    EXPECT_EQ(Settings::GetScriptPath(), programFolder + "scripts/");
}

TEST_F(SettingsTest, ShippedFilesAreFoundBesideTheProgramElseInTheInstallationsDataFolder)
{
    // An installed program: bin/Brindle, share/brindle/scripts/.
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "usr/share/brindle/scripts");
    Settings::SetProgramFolder((dir / "usr/bin").string());
    EXPECT_EQ(Settings::GetScriptPath(), (dir / "usr/share/brindle/scripts/").string());
    EXPECT_EQ(Stored("scriptPath"), (dir / "usr/share/brindle/scripts/").string());
    // A build tree: the folder beside the program comes first.
    fs::create_directories(dir / "usr/bin/templates");
    fs::create_directories(dir / "usr/share/brindle/templates");
    EXPECT_EQ(Settings::GetTemplatePath(), (dir / "usr/bin/templates/").string());
}

TEST_F(SettingsTest, NewDocumentsGoToTheDocumentsFolderOrHome)
{
    // The documents folder the desktop names (XDG user dirs), else home.
    const fs::path home = dir / "home";
    fs::create_directories(home / "Papers");
    fs::create_directories(dir / "xdg");
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const char* oldXdg = getenv("XDG_CONFIG_HOME");
    const std::string oldXdgValue = oldXdg ? oldXdg : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "xdg").c_str(), 1);
    brindle::test::WriteFile(dir / "xdg" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(Settings::GetWorkingPath(), (home / "Papers").string() + "/");
    EXPECT_EQ(Stored("workingPath"), (home / "Papers").string() + "/");

    brindle::Profile::WriteProfileString("Settings", "workingPath", "");
    fs::remove(dir / "xdg" / "user-dirs.dirs");
    EXPECT_EQ(Settings::GetWorkingPath(), home.string() + "/");
    setenv("HOME", oldHome.c_str(), 1);
    if (oldXdg) setenv("XDG_CONFIG_HOME", oldXdgValue.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsTest, StoredFolderIsReturnedAsStoredAndCreatedIfPossible)
{
    // Chosen with the folder button: stored without a trailing separator, which
    // the reader adds, so names joined to it land inside the folder.
    const std::string chosen = (dir / "mine").string();
    brindle::Profile::WriteProfileString("Settings", "workingPath", chosen);
    EXPECT_EQ(Settings::GetWorkingPath(), chosen + "/");
    EXPECT_EQ(Stored("workingPath"), chosen);
    EXPECT_TRUE(fs::is_directory(chosen));

    // A folder that cannot be created is ignored.
    brindle::Profile::WriteProfileString("Settings", "scriptPath", "/proc/no/such/place/");
    EXPECT_EQ(Settings::GetScriptPath(), "/proc/no/such/place/");
}

TEST_F(SettingsTest, EmptyParserIdentifierIsRestoredToTheDefault)
{
    EXPECT_EQ(Settings::GetParserAppId(), "Msxml2.DOMDocument");
    EXPECT_EQ(Stored("parserAppId"), "Msxml2.DOMDocument");
    Settings::WriteParserAppId("Msxml2.DOMDocument.6.0");
    EXPECT_EQ(Settings::GetParserAppId(), "Msxml2.DOMDocument.6.0");
    Settings::WriteParserAppId("");
    EXPECT_EQ(Stored("parserAppId"), "");
    EXPECT_EQ(Settings::GetParserAppId(), "Msxml2.DOMDocument");
    EXPECT_EQ(Stored("parserAppId"), "Msxml2.DOMDocument");
}
