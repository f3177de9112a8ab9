#include "brindlekit/ftp/FTPDirListModel.h"
#include "brindlekit/shell/ShellDirListModel.h"
#include "brindlekit/shell/ShellProperties.h"
#include "platform/shell/ContentType.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace brindle;
using brindle::test::TempDir;
using brindle::test::WriteFile;
namespace fs = std::filesystem;

namespace {

ShellDirItem File(const std::string& name, std::uint64_t size = 0, std::time_t modified = 0,
                  const std::string& type = "")
{
    ShellDirItem item;
    item.name = name;
    item.size = size;
    item.modified = modified;
    item.typeName = type;
    return item;
}

std::vector<std::string> Names(const ShellDirListModel& model)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < model.Count(); ++i) names.push_back(model.Row(i).name);
    return names;
}

// Sorts a handful of rows by loading them from a folder whose files carry the
// given sizes and times.
class SortedRows : public ::testing::Test {
protected:
    void SetUp() override { ShellDirListModel::SetSortedColumn(ShellDirListModel::kName); }
    void Add(const std::string& name, std::uintmax_t size, std::time_t modified)
    {
        WriteFile(m_dir / name, std::string(size, 'x'));
        const auto when = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(modified));
        fs::last_write_time(m_dir / name, when);
    }
    void Load() { ASSERT_TRUE(m_model.SetFolder(m_dir.path()).Ok()); }
    TempDir m_dir;
    ShellDirListModel m_model;
};

} // namespace

TEST(ShellDirFilter, ExtensionMustMatchExactlyFromTheLastDot)
{
    EXPECT_TRUE(ShellDirListModel::PassesFilter("a.xml", ".xml"));
    EXPECT_TRUE(ShellDirListModel::PassesFilter("b.old.xml", ".xml"));
    EXPECT_FALSE(ShellDirListModel::PassesFilter("a.XML", ".xml"));
    EXPECT_FALSE(ShellDirListModel::PassesFilter("a.xml.bak", ".xml"));
    EXPECT_FALSE(ShellDirListModel::PassesFilter("xml", ".xml"));
    EXPECT_FALSE(ShellDirListModel::PassesFilter("a.xmls", ".xml"));
    EXPECT_TRUE(ShellDirListModel::PassesFilter("README", ""));
    EXPECT_TRUE(ShellDirListModel::PassesFilter("a.XML", ""));
}

TEST(ShellDirFilter, AppliesWhenAFolderIsRead)
{
    TempDir dir;
    for (const char* name : {"a.xml", "a.XML", "notes", "b.xsl"}) WriteFile(dir / name, "x");
    ShellDirListModel model;
    model.SetFilter(".xml");
    ASSERT_TRUE(model.SetFolder(dir.path()).Ok());
    EXPECT_EQ(Names(model), (std::vector<std::string>{"a.xml"}));
    model.SetFilter("");
    ASSERT_TRUE(model.Refresh().Ok());
    EXPECT_EQ(Names(model), (std::vector<std::string>{"a.XML", "a.xml", "b.xsl", "notes"}));
}

TEST(ShellDirListing, ListsFilesOnlyWithTheirColumns)
{
    TempDir dir;
    WriteFile(dir / "data.xml", std::string(2500, 'x'));
    WriteFile(dir / ".hidden.xml", "x");
    fs::create_directory(dir / "sub.xml");
    ShellDirListModel model;
    const ShellListResult result = model.SetFolder(dir.path());
    ASSERT_TRUE(result.Ok()) << result.message;
    ASSERT_EQ(Names(model), (std::vector<std::string>{"data.xml"}));
    EXPECT_EQ(model.Text(0, ShellDirListModel::kName), "data.xml");
    EXPECT_EQ(model.Text(0, ShellDirListModel::kSize), "2 KB");
    EXPECT_EQ(model.Text(0, ShellDirListModel::kType), "XML File");
    EXPECT_EQ(model.Text(0, ShellDirListModel::kModified).size(), std::string("12/31/2026 11:59:59 PM").size());
    EXPECT_EQ(model.ItemPath(0), dir / "data.xml");
}

TEST(ShellDirListing, TypeDescriptionComesFromTheCaller)
{
    TempDir dir;
    WriteFile(dir / "a.xml", "x");
    ShellDirListModel model;
    ASSERT_TRUE(model.SetFolder(dir.path(), [](const ShellDirItem& item) { return "T:" + item.name; }).Ok());
    EXPECT_EQ(model.Text(0, ShellDirListModel::kType), "T:a.xml");
}

TEST(ShellDirListing, OddNamesAreEscapedAndBadLinksSkippedWithAReason)
{
    TempDir dir;
    const std::string odd = std::string("bad\xFF") + "\\" + "\x01.xml";
    WriteFile(dir.path() / odd, "x");
    WriteFile(dir / "target.txt", "x");
    fs::create_symlink(dir / "target.txt", dir / "link.txt");
    fs::create_symlink(dir / "gone.txt", dir / "dangling.txt");
    ShellDirListModel model;
    ASSERT_TRUE(model.SetFolder(dir.path()).Ok());
    EXPECT_EQ(Names(model), (std::vector<std::string>{odd, "link.txt", "target.txt"}));
    EXPECT_EQ(model.Text(0, ShellDirListModel::kName), "bad\\xFF\\\\\\x01.xml");
    ASSERT_EQ(model.Skipped().size(), 1u);
    EXPECT_EQ(model.Skipped()[0].name, "dangling.txt");
    EXPECT_EQ(model.Skipped()[0].reason, "the link points nowhere");
    EXPECT_EQ(model.ItemPath(0), dir.path() / odd);
}

TEST(ShellDirListing, FailuresClearTheListAndSayWhy)
{
    ShellDirListModel model;
    EXPECT_EQ(model.SetFolder("").code, ShellListResult::kEmptyPath);
    EXPECT_TRUE(model.Folder().empty());

    TempDir dir;
    const fs::path folder = dir / "shown";
    fs::create_directory(folder);
    WriteFile(folder / "a.xml", "x");
    ASSERT_TRUE(model.SetFolder(folder).Ok());
    ASSERT_EQ(model.Count(), 1u);
    fs::remove_all(folder);
    const ShellListResult gone = model.Refresh();
    EXPECT_EQ(gone.code, ShellListResult::kUnreadable);
    EXPECT_NE(gone.message.find("shown"), std::string::npos) << gone.message;
    EXPECT_EQ(model.Count(), 0u);

    WriteFile(dir / "plain", "x");
    EXPECT_EQ(model.SetFolder(dir / "plain").code, ShellListResult::kUnreadable);
    const ShellListResult odd = model.SetFolder(dir.path() / std::string("no\xFF"));
    EXPECT_NE(odd.message.find("no\\xFF"), std::string::npos) << odd.message;
}

TEST_F(SortedRows, NameSortsByBytesAndAClickTogglesTheDirection)
{
    Add("b", 1, 0);
    Add("B", 1, 0);
    Add("a", 1, 0);
    Load();
    // The name column is the remembered one: the first click sorts descending.
    EXPECT_EQ(m_model.ClickColumn(ShellDirListModel::kName), ShellDirListModel::kName + ShellDirListModel::kDescending);
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"b", "a", "B"}));
    EXPECT_EQ(m_model.ClickColumn(ShellDirListModel::kName), ShellDirListModel::kName);
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"B", "a", "b"}));
}

TEST_F(SortedRows, SizeAndTypeSort)
{
    Add("big.xml", 3000, 0);
    Add("small.txt", 10, 0);
    Add("mid.dtd", 500, 0);
    Load();
    m_model.ClickColumn(ShellDirListModel::kSize);
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"small.txt", "mid.dtd", "big.xml"}));
    m_model.ClickColumn(ShellDirListModel::kSize);
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"big.xml", "mid.dtd", "small.txt"}));
    m_model.ClickColumn(ShellDirListModel::kType);
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"mid.dtd", "small.txt", "big.xml"}));
}

TEST_F(SortedRows, ModifiedTimesCloserThanTheFileTimeGrainCompareEqual)
{
    const std::time_t base = 1700000000;
    Add("late", 1, base + 3600);
    Add("early", 1, base);
    Add("also-early", 1, base + 1);
    Load();
    m_model.ClickColumn(ShellDirListModel::kModified);
    // "also-early" and "early" are one second apart: equal, so they keep their order.
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"also-early", "early", "late"}));
    EXPECT_EQ(ShellDirListModel::CoarseTime(base), ShellDirListModel::CoarseTime(base + 1));
    EXPECT_LT(ShellDirListModel::CoarseTime(base), ShellDirListModel::CoarseTime(base + 3600));
    EXPECT_EQ(ShellDirListModel::CompareProc(File("x", 0, base), File("y", 0, base + 3600),
                                             ShellDirListModel::kModified + ShellDirListModel::kDescending), 1);
}

TEST(ShellContentType, KnownNamesGetATypeAndUnknownOnesNothing)
{
    // What the database calls a type differs between machines; that it knows
    // XML files, and that an unheard-of extension is not passed off as "binary
    // data", does not.
    const ContentType xml = ContentTypeOfName("catalog.xml");
    ASSERT_TRUE(xml.Known());
    EXPECT_NE(xml.mimeType.find("xml"), std::string::npos) << xml.mimeType;
    EXPECT_FALSE(xml.description.empty());
    EXPECT_FALSE(xml.iconNames.empty());
    for (const char* name : {"data.qzx9unheard", "", "no-extension-qzx9"}) {
        const ContentType unknown = ContentTypeOfName(name);
        EXPECT_FALSE(unknown.Known()) << name << " -> " << unknown.mimeType;
        EXPECT_TRUE(unknown.description.empty()) << name;
    }
}

TEST(ShellProperties, SizeAndPermissionTexts)
{
    EXPECT_EQ(ShellProperties::SizeText(0), "0.00 KB (0 bytes)");
    EXPECT_EQ(ShellProperties::SizeText(1500), "1.46 KB (1,500 bytes)");
    EXPECT_EQ(ShellProperties::SizeText(1234567), "1205.63 KB (1,234,567 bytes)");
    EXPECT_EQ(ShellProperties::PermissionText(0754), "rwxr-xr-- (0754)");
    EXPECT_EQ(ShellProperties::PermissionText(S_IFREG | 04600), "rw------- (4600)");
}

TEST(ShellProperties, FileFolderAndLinksAreDescribed)
{
    TempDir dir;
    WriteFile(dir / "a.xml", std::string(1500, 'x'));
    fs::permissions(dir / "a.xml", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::time_t when = 1700000000;
    fs::last_write_time(dir / "a.xml",
                        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)));
    ShellProperties file;
    std::string error;
    ASSERT_TRUE(ShellProperties::Read(dir / "a.xml", file, error)) << error;
    EXPECT_EQ(file.name, "a.xml");
    EXPECT_EQ(file.location, dir.path().string());
    EXPECT_FALSE(file.isFolder);
    EXPECT_FALSE(file.type.empty());
    EXPECT_NE(file.type, "Folder");
    EXPECT_EQ(file.size, "1.46 KB (1,500 bytes)");
    EXPECT_EQ(file.modified, FTPDirListModel::TimeText(when));
    EXPECT_FALSE(file.accessed.empty());
    EXPECT_EQ(file.permissions, "rw-r----- (0640)");
    EXPECT_NE(file.owner.find(':'), std::string::npos);
    EXPECT_TRUE(file.linkTarget.empty());

    ShellProperties folder;
    ASSERT_TRUE(ShellProperties::Read(dir.path(), folder, error)) << error;
    EXPECT_TRUE(folder.isFolder);
    EXPECT_EQ(folder.type, "Folder");
    EXPECT_TRUE(folder.size.empty());

    // A link shows where it points and what it points at.
    fs::create_symlink("a.xml", dir / "link.xml");
    ShellProperties link;
    ASSERT_TRUE(ShellProperties::Read(dir / "link.xml", link, error)) << error;
    EXPECT_EQ(link.linkTarget, "a.xml");
    EXPECT_EQ(link.size, file.size);
    EXPECT_EQ(link.type, file.type);
    fs::create_symlink("gone.xml", dir / "dangling.xml");
    ShellProperties dangling;
    ASSERT_TRUE(ShellProperties::Read(dir / "dangling.xml", dangling, error)) << error;
    EXPECT_EQ(dangling.linkTarget, "gone.xml");
    EXPECT_EQ(dangling.type, "Link (target missing)");
    EXPECT_TRUE(dangling.size.empty());

    ShellProperties missing;
    EXPECT_FALSE(ShellProperties::Read(dir / "missing\n.xml", missing, error));
    EXPECT_NE(error.find("missing\\x0A.xml"), std::string::npos) << error;
}

TEST_F(SortedRows, ChangesMadeByOthersTouchOneRowAndKeepOrderAndFilter)
{
    Add("a.xml", 30, 0);
    Add("c.xml", 10, 0);
    Add("d.txt", 5, 0);
    m_model.SetFilter(".xml");
    Load();
    m_model.ClickColumn(ShellDirListModel::kSize);  // by size: c.xml 10, a.xml 30
    ASSERT_EQ(Names(m_model), (std::vector<std::string>{"c.xml", "a.xml"}));

    Add("b.xml", 20, 0);
    EXPECT_TRUE(m_model.FileChanged("b.xml"));
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"c.xml", "b.xml", "a.xml"}));
    // Filtered out, hidden, folders and names already gone are not listed.
    Add("e.txt", 1, 0);
    Add(".f.xml", 1, 0);
    fs::create_directories(m_dir / "g.xml");
    for (const char* name : {"e.txt", ".f.xml", "g.xml", "gone.xml", "", "../a.xml"})
        EXPECT_FALSE(m_model.FileChanged(name)) << name;
    EXPECT_EQ(m_model.Count(), 3u);

    // A changed file is replaced and moves to where its new size puts it.
    Add("c.xml", 40, 0);
    EXPECT_TRUE(m_model.FileChanged("c.xml"));
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"b.xml", "a.xml", "c.xml"}));
    EXPECT_EQ(m_model.Row(2).size, 40u);

    fs::rename(m_dir / "b.xml", m_dir / "z.xml");
    EXPECT_TRUE(m_model.FileRenamed("b.xml", "z.xml"));
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"z.xml", "a.xml", "c.xml"}));
    fs::rename(m_dir / "z.xml", m_dir / "z.txt");  // renamed out of the filter
    EXPECT_TRUE(m_model.FileRenamed("z.xml", "z.txt"));
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"a.xml", "c.xml"}));
    fs::remove(m_dir / "a.xml");
    EXPECT_TRUE(m_model.FileRemoved("a.xml"));
    EXPECT_FALSE(m_model.FileRemoved("a.xml"));
    // A file deleted before its creation is told is not listed.
    EXPECT_FALSE(m_model.FileChanged("a.xml"));
    EXPECT_EQ(Names(m_model), (std::vector<std::string>{"c.xml"}));
    EXPECT_TRUE(m_model.Reason().empty());

    m_model.FolderGone();
    EXPECT_EQ(m_model.Count(), 0u);
    EXPECT_NE(m_model.Reason().find(m_dir.path().string()), std::string::npos) << m_model.Reason();
    Load();
    EXPECT_TRUE(m_model.Reason().empty());
}
