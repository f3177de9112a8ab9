#include "brindlekit/ftp/FTPFolderRules.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace brindle;
using namespace brindle::ftp_tree;

TEST(FolderTreeRules, PositionDecidesTheKindAndTheKindWhatExpandingAndClickingDo)
{
    EXPECT_EQ(KindOf(false, false, false), EntryKind::None);
    EXPECT_EQ(KindOf(true, true, false), EntryKind::Root);
    EXPECT_EQ(KindOf(true, false, true), EntryKind::Server);
    EXPECT_EQ(KindOf(true, false, false), EntryKind::Folder);

    EXPECT_EQ(ExpansionOf(EntryKind::Server, false, true), Expansion::OpenServer);
    EXPECT_EQ(ExpansionOf(EntryKind::Folder, false, true), Expansion::ListFolder);
    EXPECT_EQ(ExpansionOf(EntryKind::Folder, false, false), Expansion::RefuseFolder);
    // Once is enough: a second expansion neither connects nor lists.
    EXPECT_EQ(ExpansionOf(EntryKind::Server, true, true), Expansion::Nothing);
    EXPECT_EQ(ExpansionOf(EntryKind::Folder, true, true), Expansion::Nothing);
    EXPECT_EQ(ExpansionOf(EntryKind::Root, false, true), Expansion::Nothing);
    EXPECT_EQ(ExpansionOf(EntryKind::None, false, true), Expansion::Nothing);

    // Servers open on the tree's expansion, and only with the flag on.
    EXPECT_TRUE(ExpandsOnExpanding(EntryKind::Server, true));
    EXPECT_FALSE(ExpandsOnExpanding(EntryKind::Server, false));
    EXPECT_FALSE(ExpandsOnExpanding(EntryKind::Folder, true));
    EXPECT_FALSE(ExpandsOnExpanding(EntryKind::Root, true));
    // Folders list on a click while they have no subfolders.
    EXPECT_TRUE(ExpandsOnClick(EntryKind::Folder, false));
    EXPECT_FALSE(ExpandsOnClick(EntryKind::Folder, true));
    EXPECT_FALSE(ExpandsOnClick(EntryKind::Server, false));
    EXPECT_FALSE(ExpandsOnClick(EntryKind::None, false));
}

namespace {

class FolderListing : public brindle::test::FtpServerFixture {
protected:
    std::vector<CFTPFolderItem> Subfolders(const std::string& directory)
    {
        std::unique_ptr<CFTPFileFind> finder;
        if (!server.GetFiles(finder, directory) || !finder) return {};
        return SubfoldersOf(*finder, &server);
    }
    // The names of the listing's entries in the order the server sent them.
    std::vector<std::string> ListedNames(const std::string& directory)
    {
        std::unique_ptr<CFTPFileFind> finder;
        std::vector<std::string> names;
        if (!server.GetFiles(finder, directory)) return names;
        for (bool more = true; more;) {
            more = finder->FindNextFile();
            if (finder->IsDirectory()) names.push_back(finder->GetFileName());
        }
        return names;
    }

    brindle::test::RecordingUIServices ui;
    CFTPFolderServer server{"local", "127.0.0.1", kUser, kPassword, "/pub", 0};
};

} // namespace

TEST_F(FolderListing, SubfoldersComeInTheServersOrderWithoutFilesAndHostileNamesAreShownEscapedButNotListable)
{
    server.SetParams("local", Host(), kUser, kPassword, "/pub", Port());
    for (const char* name : {"zeta", "alpha", "Mid", "tab\there", "back\\slash"})
        std::filesystem::create_directories(Root() / "pub" / name);
    std::ofstream(Root() / "pub" / "file.xml") << "<a/>";
    ASSERT_EQ(server.Connect(), 1);

    const CFTPFolderItem first = InitialFolder(&server);
    EXPECT_EQ(first.GetEntryName(), "/pub");
    EXPECT_EQ(first.GetEntryPath(), "/pub");
    EXPECT_EQ(first.GetFolderServer(), &server);

    const auto folders = Subfolders("/pub");
    std::vector<std::string> names, paths, texts;
    for (const auto& folder : folders) {
        names.push_back(folder.GetEntryName());
        paths.push_back(folder.GetEntryPath());
        texts.push_back(FolderText(folder));
        EXPECT_EQ(folder.GetFolderServer(), &server);
        EXPECT_EQ(folder.IsListable(), folder.GetEntryName() != "tab\there") << folder.GetEntryName();
    }
    EXPECT_EQ(names, ListedNames("/pub"));
    ASSERT_EQ(names.size(), 5u);
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(paths[i], "/pub/" + names[i]);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "tab\\x09here"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "back\\\\slash"), texts.end());

    const auto bad = std::find_if(folders.begin(), folders.end(), [](auto& f) { return !f.IsListable(); });
    const std::string message = UnusableFolderMessage(*bad);
    EXPECT_NE(message.find("\"tab\\x09here\""), std::string::npos);
    EXPECT_EQ(message.find('\t'), std::string::npos);

    // An empty folder and one holding only files give no subfolders, silently.
    std::filesystem::create_directories(Root() / "empty");
    EXPECT_TRUE(Subfolders("/empty").empty());
    EXPECT_TRUE(Subfolders("/pub/zeta").empty());
    EXPECT_TRUE(ui.messages.empty());
}
