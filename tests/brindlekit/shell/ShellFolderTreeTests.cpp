#include "brindlekit/shell/ShellFolderTree.h"
#include "brindlekit/shell/ShellRoots.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace brindle;
using brindle::test::TempDir;
using brindle::test::WriteFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> ChildNames(const ShellFolderEntry& entry)
{
    std::vector<std::string> names;
    for (const auto& child : entry.children) names.push_back(child->name);
    return names;
}

// A tree rooted at a fresh folder.
class FolderTree : public ::testing::Test {
protected:
    ShellFolderEntry& Root()
    {
        if (m_tree.RootCount() == 0) m_tree.SetRoots({{"Top", m_dir.path()}});
        return m_tree.Root(0);
    }
    TempDir m_dir;
    ShellFolderTree m_tree;
};

} // namespace

TEST_F(FolderTree, ExpandingReadsOnlyTheOpenedLevelOfFolders)
{
    fs::create_directories(m_dir / "b/deep/deeper");
    fs::create_directories(m_dir / "a");
    fs::create_directories(m_dir / ".hidden/x");
    WriteFile(m_dir / "file.xml", "x");
    ShellFolderEntry& root = Root();
    EXPECT_TRUE(root.hasSubfolders);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(m_tree.FolderReads(), 0u);

    ASSERT_TRUE(m_tree.Expand(root));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(m_tree.FolderReads(), 1u);
    const ShellFolderEntry& a = *root.children[0];
    ShellFolderEntry& b = *root.children[1];
    EXPECT_FALSE(a.hasSubfolders);  // no expand button for a folder without subfolders
    EXPECT_TRUE(b.hasSubfolders);
    EXPECT_TRUE(b.children.empty());
    EXPECT_FALSE(b.expandedOnce);
    EXPECT_EQ(b.parent, &root);

    ASSERT_TRUE(m_tree.Expand(root));  // a second expansion reads nothing
    EXPECT_EQ(m_tree.FolderReads(), 1u);
    ASSERT_TRUE(m_tree.Expand(b));
    EXPECT_EQ(ChildNames(b), (std::vector<std::string>{"deep"}));
    EXPECT_TRUE(b.children[0]->children.empty());
    EXPECT_EQ(m_tree.FolderReads(), 2u);
}

TEST_F(FolderTree, RefreshReadsAnExpandedFolderAgain)
{
    fs::create_directories(m_dir / "a");
    ShellFolderEntry& root = Root();
    ASSERT_TRUE(m_tree.Expand(root));
    fs::create_directories(m_dir / "c");
    ASSERT_TRUE(m_tree.Refresh(root));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(m_tree.FolderReads(), 2u);

    // A folder never expanded stays unread, but its expand button follows the disk.
    ShellFolderEntry& a = *root.children[0];
    fs::create_directories(m_dir / "a/inner");
    ASSERT_TRUE(m_tree.Refresh(a));
    EXPECT_TRUE(a.hasSubfolders);
    EXPECT_FALSE(a.expandedOnce);
    EXPECT_EQ(m_tree.FolderReads(), 2u);
}

TEST_F(FolderTree, OddNamesLinksAndVanishedFoldersNeverBreakIt)
{
    const std::string odd = std::string("bad\xFE") + "name";
    fs::create_directories(m_dir.path() / odd);
    fs::create_directories(m_dir / "real");
    fs::create_directory_symlink(m_dir / "real", m_dir / "linked");
    fs::create_directory_symlink(m_dir / "missing", m_dir / "dangling");
    ShellFolderEntry& root = Root();
    ASSERT_TRUE(m_tree.Expand(root));
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{odd, "linked", "real"}));
    EXPECT_EQ(ShellFolderTree::Label(*root.children[0]), "bad\\xFEname");
    ASSERT_EQ(m_tree.Skipped().size(), 1u);
    EXPECT_EQ(m_tree.Skipped()[0].name, "dangling");

    ShellFolderEntry& real = *root.children[2];
    fs::remove_all(m_dir / "real");
    EXPECT_FALSE(m_tree.Expand(real));
    EXPECT_NE(real.problem.find("real"), std::string::npos) << real.problem;
    EXPECT_TRUE(real.children.empty());
}

TEST_F(FolderTree, UnreadableFolderIsOfferedAndSaysWhy)
{
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    fs::create_directories(m_dir / "locked/inside");
    fs::permissions(m_dir / "locked", fs::perms::none);
    ShellFolderEntry& root = Root();
    ASSERT_TRUE(m_tree.Expand(root));
    ShellFolderEntry& locked = *root.children[0];
    EXPECT_TRUE(locked.hasSubfolders);
    EXPECT_FALSE(m_tree.Expand(locked));
    EXPECT_FALSE(locked.problem.empty());
    fs::permissions(m_dir / "locked", fs::perms::owner_all);
}

TEST(ShellRoots, UserDirsAreReadFromTheXdgFile)
{
    const std::string text = "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk top\"\n"
                             "XDG_DOCUMENTS_DIR=\"/data/docs\"\nXDG_MUSIC_DIR=relative\n";
    EXPECT_EQ(XdgUserDir(text, "XDG_DESKTOP_DIR", "/home/u"), fs::path("/home/u/Desk top"));
    EXPECT_EQ(XdgUserDir(text, "XDG_DOCUMENTS_DIR", "/home/u"), fs::path("/data/docs"));
    EXPECT_TRUE(XdgUserDir(text, "XDG_MUSIC_DIR", "/home/u").empty());
    EXPECT_TRUE(XdgUserDir(text, "XDG_VIDEOS_DIR", "/home/u").empty());
}

TEST(ShellRoots, MountPointsDecodeTheirEscapes)
{
    const std::string table = "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/u/USB\\040Stick vfat rw 0 0\n";
    EXPECT_EQ(MountPoints(table), (std::vector<fs::path>{"/", "/media/u/USB Stick"}));
}

TEST(ShellRoots, HomeThenExistingUserFoldersThenTheFileSystem)
{
    TempDir home;
    fs::create_directories(home / "Desktop");
    WriteFile(home / "dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n");
    WriteFile(home / "mounts", "proc /proc proc rw 0 0\n");
    const auto roots = DefaultShellRoots({home.path(), home / "dirs", home / "mounts"});
    ASSERT_EQ(roots.size(), 3u);
    EXPECT_EQ(roots[0].path, home.path());
    EXPECT_EQ(roots[1].title, "Desktop");
    EXPECT_EQ(roots[2].path, fs::path("/"));

    // A desktop that is the home folder itself is not shown twice.
    WriteFile(home / "dirs", "XDG_DESKTOP_DIR=\"$HOME/\"\n");
    EXPECT_EQ(DefaultShellRoots({home.path(), home / "dirs", home / "mounts"}).size(), 2u);
}
