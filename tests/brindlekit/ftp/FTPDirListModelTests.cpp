#include "brindlekit/ftp/FTPDirListModel.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

using namespace brindle;

namespace {

CFTPDirItem File(const std::string& name, std::uint64_t size = 0, std::time_t modified = 0,
                 const std::string& type = "")
{
    CFTPDirItem item;
    item.name = name;
    item.size = size;
    item.modified = modified;
    item.typeName = type;
    return item;
}

std::vector<std::string> Names(const FTPDirListModel& model)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < model.Count(); ++i) names.push_back(model.Row(i).name);
    return names;
}

// Each test starts from a fresh process's sort state, and leaves it so.
class DirList : public ::testing::Test {
protected:
    void SetUp() override { FTPDirListModel::SetSortedColumn(FTPDirListModel::kName); }
    void TearDown() override { FTPDirListModel::SetSortedColumn(FTPDirListModel::kName); }

    FTPDirListModel model;
};

} // namespace

TEST_F(DirList, RowsGoInAtPositionOneAndShowSizeTypeAndTime)
{
    for (const char* name : {"a", "b", "c", "d"}) model.Add(File(name));
    EXPECT_EQ(Names(model), (std::vector<std::string>{"a", "d", "c", "b"}));

    EXPECT_EQ(FTPDirListModel::SizeText(0), "0 KB");
    EXPECT_EQ(FTPDirListModel::SizeText(999), "0 KB");
    EXPECT_EQ(FTPDirListModel::SizeText(1500), "1 KB");
    EXPECT_EQ(FTPDirListModel::SizeText(5'000'000'000ull), "5000000 KB"); // beyond 32 bits

    const std::string shown = FTPDirListModel::TimeText(1'700'000'000);
    EXPECT_EQ(shown.size(), std::string("11/14/2023 10:13:20 PM").size()) << shown;
    EXPECT_TRUE(shown.ends_with("AM") || shown.ends_with("PM")) << shown;
    EXPECT_EQ(FTPDirListModel::TimeText(std::numeric_limits<std::time_t>::max()), "");

    model.Clear();
    model.Add(File("line\nbreak.xml", 1500, 0, "XML File"));
    EXPECT_EQ(model.Text(0, FTPDirListModel::kName), "line\\x0Abreak.xml");
    EXPECT_EQ(model.Text(0, FTPDirListModel::kSize), "1 KB");
    EXPECT_EQ(model.Text(0, FTPDirListModel::kType), "XML File");
    EXPECT_EQ(model.Text(0, 9), "");

    EXPECT_EQ(FTPDirListModel::ExtensionOf("Report.XML"), "xml");
    EXPECT_EQ(FTPDirListModel::ExtensionOf("archive.tar.gz"), "gz");
    EXPECT_EQ(FTPDirListModel::ExtensionOf(".profile"), "");
    EXPECT_EQ(FTPDirListModel::ExtensionOf("README"), "");
    EXPECT_EQ(FTPDirListModel::FallbackTypeName("xyz"), "XYZ File");
    EXPECT_EQ(FTPDirListModel::FallbackTypeName(""), "File");
}

TEST_F(DirList, EachColumnSortsBothWaysAndTheRememberedColumnIsShared)
{
    model.Add(File("beta.xml", 1500, 300, "XML File"));
    model.Add(File("Alpha.txt", 999, 100, "Text File"));
    model.Add(File("gamma", 3'000'000'000u, 200, "File")); // over 2^31: still the largest
    model.Add(File("ALPHA.xml", 20, 400, "XML File"));

    // Name: case does not count; the first click on it sorts descending.
    EXPECT_EQ(model.ClickColumn(FTPDirListModel::kName), FTPDirListModel::kName + FTPDirListModel::kDescending);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"gamma", "beta.xml", "ALPHA.xml", "Alpha.txt"}));
    EXPECT_EQ(model.ClickColumn(FTPDirListModel::kName), FTPDirListModel::kName);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Alpha.txt", "ALPHA.xml", "beta.xml", "gamma"}));

    // Size: ascending, descending, ascending again.
    model.ClickColumn(FTPDirListModel::kSize);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"ALPHA.xml", "Alpha.txt", "beta.xml", "gamma"}));
    model.ClickColumn(FTPDirListModel::kSize);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"gamma", "beta.xml", "Alpha.txt", "ALPHA.xml"}));
    EXPECT_EQ(FTPDirListModel::SortedColumn(), -1);
    model.ClickColumn(FTPDirListModel::kSize);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"ALPHA.xml", "Alpha.txt", "beta.xml", "gamma"}));

    // Type: case-sensitive, rows of one type keep their order.
    model.ClickColumn(FTPDirListModel::kType);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"gamma", "Alpha.txt", "ALPHA.xml", "beta.xml"}));

    // A second list continues from the column the first one sorted last.
    FTPDirListModel other;
    other.Add(File("x", 0, 10));
    other.Add(File("y", 0, 30));
    other.Add(File("z", 0, 20));
    other.ClickColumn(FTPDirListModel::kModified);
    EXPECT_EQ(Names(other), (std::vector<std::string>{"x", "z", "y"}));
    other.ClickColumn(FTPDirListModel::kModified);
    EXPECT_EQ(Names(other), (std::vector<std::string>{"y", "z", "x"}));
    model.ClickColumn(FTPDirListModel::kModified);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Alpha.txt", "gamma", "beta.xml", "ALPHA.xml"}));

    EXPECT_EQ(FTPDirListModel::CompareProc(File("a"), File("b"), 7), 0);
}

namespace {

class DirListing : public brindle::test::FtpServerFixture {
protected:
    void SetUp() override
    {
        FtpServerFixture::SetUp();
        FTPDirListModel::SetSortedColumn(FTPDirListModel::kName);
    }

    brindle::test::RecordingUIServices ui;
};

} // namespace

TEST_F(DirListing, AListingGivesItsFilesWithoutDirectories)
{
    std::filesystem::create_directories(Root() / "pub" / "sub");
    std::filesystem::create_directories(Root() / "dirs" / "one");
    std::filesystem::create_directories(Root() / "dirs" / "two");
    std::ofstream(Root() / "pub" / "small.xml") << std::string(999, 'x');
    std::ofstream(Root() / "pub" / "big.dtd") << std::string(1500, 'x');
    CFTPFolderServer server("local", Host(), kUser, kPassword, "/", Port());
    FTPDirListModel model;
    int described = 0;
    const auto describe = [&](CFTPDirItem& item) {
        item.typeName = FTPDirListModel::FallbackTypeName(FTPDirListModel::ExtensionOf(item.name));
        ++described;
    };

    std::unique_ptr<CFTPFileFind> finder;
    ASSERT_NE(server.GetFiles(finder, "/pub"), 0);
    model.AddListing(*finder, describe);
    EXPECT_EQ(described, 2);
    model.ClickColumn(FTPDirListModel::kSize);
    ASSERT_EQ(model.Count(), 2u);
    EXPECT_EQ(model.Row(0).name, "small.xml");
    EXPECT_EQ(model.Row(0).path, "/pub/small.xml");
    EXPECT_EQ(model.Text(0, FTPDirListModel::kSize), "0 KB");
    EXPECT_EQ(model.Text(0, FTPDirListModel::kType), "XML File");
    EXPECT_EQ(model.Text(1, FTPDirListModel::kSize), "1 KB");
    EXPECT_NE(model.Text(1, FTPDirListModel::kModified), "");

    // A folder holding only folders gives no rows, and no message.
    FTPDirListModel onlyDirs;
    ASSERT_NE(server.GetFiles(finder, "/dirs"), 0);
    onlyDirs.AddListing(*finder, describe);
    EXPECT_EQ(onlyDirs.Count(), 0u);
    EXPECT_TRUE(ui.messages.empty());
}
