// The remote file dialog's browser against a real FTP server on 127.0.0.1:
// "Look in:", moving through folders, the rows, the address it accepts, the
// file operations and what the user is told when they fail.
#include "app/explorer/RemoteBrowser.h"
#include "app/explorer/RemoteFileFields.h"
#include "brindlekit/ftp/FTPFileFind.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <limits>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

class RemoteBrowserTest : public test::FtpServerFixture {
protected:
    void SetUp() override
    {
        test::FtpServerFixture::SetUp();
        fs::create_directories(Root() / "home" / "user" / "inner");
        fs::create_directories(Root() / "docs");
        fs::create_directories(Root() / "pub");
        Write(Root() / "empty.xml", "");
        Write(Root() / "docs" / "big.xml", std::string(2500, 'x'));
    }

    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    CFTPFolderServer Server(const std::string& password = kPassword) const
    {
        return CFTPFolderServer("Home", Host(), kUser, password, "/", Port());
    }

    // Connected as a server whose login folder is `start`.
    bool ConnectAt(const std::string& start)
    {
        FtpSession session;
        auto connection = session.Connect(Host(), Port(), kUser, kPassword);
        if (!connection->SetCurrentDirectory(start)) return false;
        return browser.Attach(std::move(connection), {"Home", Host(), kUser, kPassword, Port()});
    }

    std::vector<std::string> Shown() const
    {
        std::vector<std::string> names;
        for (const auto& row : browser.Rows()) names.push_back(row.shown);
        return names;
    }

    const RemoteBrowser::Row* RowNamed(const std::string& name) const
    {
        const int index = browser.FindRow(name);
        return index < 0 ? nullptr : &browser.Rows()[index];
    }

    // Each message is shown with the wait cursor off; records the busy depth there.
    void WatchCursorAtMessages()
    {
        ui.onMessage = [this] { cursorAtMessages.push_back(ui.waitDepth); };
    }

    test::RecordingUIServices ui;
    std::vector<int> cursorAtMessages;
    RemoteBrowser browser;
};

} // namespace

// ---- "Look in:" and moving up ----

TEST_F(RemoteBrowserTest, AHomeFolderShowsTheHostAndItsLastNameAndGoesUpToTheTop)
{
    ASSERT_TRUE(ConnectAt("/home/user"));
    EXPECT_EQ(browser.StartDirectory(), "/home/user");
    EXPECT_EQ(browser.LookIn(), (std::vector<std::string>{"/ (127.0.0.1)", "user"}));
    EXPECT_EQ(browser.LookInSelection(), 1);
    EXPECT_EQ(Shown(), std::vector<std::string>{"inner"});

    ASSERT_TRUE(browser.Up());
    EXPECT_EQ(browser.LookIn(), (std::vector<std::string>{"/ (127.0.0.1)", "user", "/home"}));
    EXPECT_EQ(browser.LookInSelection(), 2);
    EXPECT_EQ(Shown(), std::vector<std::string>{"user"});

    ASSERT_TRUE(browser.Up());
    EXPECT_EQ(browser.LookInSelection(), 0);
    // Folders first, then the file, whatever order the server lists them in.
    ASSERT_EQ(Shown().size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(browser.Rows()[i].folder) << i;
    EXPECT_EQ(Shown()[3], "empty.xml");

    EXPECT_FALSE(browser.Up());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Already at the top-most directory."});
    EXPECT_EQ(Shown().size(), 4u) << "the listing stays";

    // The entries come back to the folders they stand for.
    ASSERT_TRUE(browser.SelectLookIn(2));
    EXPECT_EQ(Shown(), std::vector<std::string>{"user"});
    ASSERT_TRUE(browser.SelectLookIn(1));
    EXPECT_EQ(Shown(), std::vector<std::string>{"inner"});
}

TEST_F(RemoteBrowserTest, AFolderRightBelowTheRootShowsTheRootAsItsEntry)
{
    ASSERT_TRUE(ConnectAt("/pub"));
    EXPECT_EQ(browser.LookIn(), (std::vector<std::string>{"/ (127.0.0.1)", "/"}));
}

TEST_F(RemoteBrowserTest, AnOpenedFolderBecomesTheThirdEntryByItsWholePath)
{
    WatchCursorAtMessages();
    ASSERT_TRUE(browser.Connect(Server()));
    EXPECT_EQ(browser.StartDirectory(), "/");
    ASSERT_TRUE(browser.OpenFolder(browser.FindRow("home")));
    ASSERT_TRUE(browser.OpenFolder(browser.FindRow("user")));
    EXPECT_EQ(browser.LookIn().back(), "/home/user");
    EXPECT_FALSE(browser.List("/nowhere"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Unable to change directory"});
    EXPECT_EQ(Shown(), std::vector<std::string>{"inner"}) << "a failed change keeps the listing";
    EXPECT_FALSE(browser.Rename("inner", "a/b"));
    EXPECT_FALSE(browser.Rename("missing", "b"));
    EXPECT_EQ(cursorAtMessages, std::vector<int>(3, 0));
}

TEST_F(RemoteBrowserTest, WithoutAServerTheCommandsSaySo)
{
    EXPECT_FALSE(browser.Up());
    EXPECT_EQ(browser.CreateDirectory(), -1);
    EXPECT_FALSE(browser.AcceptAddress("a.xml"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(3, "Not connected to a server."));
}

// ---- Rows ----

TEST_F(RemoteBrowserTest, FilesShowTheirSizeInWholeThousandsPlusOne)
{
    ASSERT_TRUE(browser.Connect(Server()));
    ASSERT_TRUE(RowNamed("empty.xml"));
    EXPECT_EQ(RowNamed("empty.xml")->size, "1 KB");
    EXPECT_FALSE(RowNamed("empty.xml")->folder);
    EXPECT_FALSE(RowNamed("empty.xml")->modified.empty());
    EXPECT_TRUE(RowNamed("docs")->folder);
    EXPECT_EQ(RowNamed("docs")->size, "");
    ASSERT_TRUE(browser.List("/docs"));
    ASSERT_TRUE(RowNamed("big.xml"));
    EXPECT_EQ(RowNamed("big.xml")->size, "3 KB");
    EXPECT_EQ(RemoteBrowser::SizeText(999), "1 KB");
    EXPECT_EQ(RemoteBrowser::SizeText(1000), "2 KB");
    EXPECT_EQ(RemoteBrowser::SizeText(6'000'000'000ULL), "6000001 KB") << "sizes past 4 GB are not cut";
}

TEST_F(RemoteBrowserTest, NamesThatCannotBeSentBackAreShownEscapedAndRefused)
{
    Write(Root() / "docs" / "bad\\name.xml", "x");
    ASSERT_TRUE(browser.Connect(Server()));
    ASSERT_TRUE(browser.List("/docs"));
    const RemoteBrowser::Row* bad = RowNamed("bad\\name.xml");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->shown, "bad\\\\name.xml");

    EXPECT_FALSE(browser.Rename("big.xml", "a/b.xml"));
    EXPECT_FALSE(browser.AcceptAddress("x\ny.xml"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[0].text.find("\"a/b.xml\" cannot be used"), std::string::npos) << ui.messages[0].text;
    EXPECT_NE(ui.messages[1].text.find("x\\x0Ay.xml"), std::string::npos) << ui.messages[1].text;
    EXPECT_TRUE(fs::exists(Root() / "docs" / "big.xml"));

    // A listed name with a control character: shown, but never opened or deleted.
    fs::create_directories(Root() / "docs" / "tab\there");
    ASSERT_TRUE(browser.Refresh());
    const int tab = browser.FindRow("tab\there");
    ASSERT_GE(tab, 0);
    EXPECT_EQ(browser.Rows()[tab].shown, "tab\\x09here");
    ui.messages.clear();
    EXPECT_FALSE(browser.OpenFolder(tab));
    EXPECT_FALSE(browser.Delete(tab));
    EXPECT_FALSE(browser.Rename("tab\there", "fine"));
    ASSERT_EQ(ui.messages.size(), 3u) << "refused without asking";
    for (const auto& message : ui.messages) EXPECT_NE(message.text.find("tab\\x09here"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(Root() / "docs" / "tab\there"));
    EXPECT_EQ(browser.AcceptAddress("big.xml"), "ftp://Home/docs/big.xml") << "still in the folder";
}

// ---- Accepting ----

TEST_F(RemoteBrowserTest, TheAddressNamesTheServerEntryAndTheCurrentFolder)
{
    ASSERT_TRUE(browser.Connect(Server()));
    EXPECT_EQ(browser.AcceptAddress("a.xml"), "ftp://Home/a.xml");
    ASSERT_TRUE(browser.List("/docs"));
    EXPECT_EQ(browser.AcceptAddress("a.xml"), "ftp://Home/docs/a.xml");
    EXPECT_FALSE(browser.AcceptAddress(""));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Type a file name or choose a file."});
}

TEST_F(RemoteBrowserTest, TheRootOfAServerWhoseLoginFolderIsElsewhereIsWrittenWithTwoSlashes)
{
    // An address without a folder names the login folder, which here is /pub.
    ASSERT_TRUE(ConnectAt("/pub"));
    ASSERT_TRUE(browser.List("/"));
    EXPECT_EQ(browser.AcceptAddress("a.xml"), "ftp://Home//a.xml");
    ASSERT_TRUE(browser.List("/pub"));
    EXPECT_EQ(browser.AcceptAddress("a.xml"), "ftp://Home/pub/a.xml");
}

// ---- Changing files ----

TEST_F(RemoteBrowserTest, ANewFolderIsNamedThroughRenameAndASecondOneIsRefused)
{
    WatchCursorAtMessages();
    ASSERT_TRUE(browser.Connect(Server()));
    const int row = browser.CreateDirectory();
    ASSERT_GE(row, 0);
    EXPECT_TRUE(browser.Rows()[row].folder);
    EXPECT_TRUE(fs::is_directory(Root() / "NewDirectory"));

    const std::size_t rows = browser.Rows().size();
    EXPECT_EQ(browser.CreateDirectory(), -1);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Error creating directory"});
    EXPECT_EQ(browser.Rows().size(), rows) << "the listing stays as it was";

    ASSERT_TRUE(browser.Rename("NewDirectory", "named"));
    EXPECT_EQ(browser.Rows()[row].shown, "named");
    EXPECT_TRUE(fs::is_directory(Root() / "named"));
    EXPECT_FALSE(fs::exists(Root() / "NewDirectory"));
    EXPECT_FALSE(browser.Rename("NewDirectory", "other"));
    EXPECT_EQ(ui.Texts().back(), "Item not found in list");
    EXPECT_EQ(cursorAtMessages, std::vector<int>(2, 0));
}

TEST_F(RemoteBrowserTest, DeleteAsksFirstAndTellsTheServersReason)
{
    ASSERT_TRUE(browser.Connect(Server()));
    ui.answers = {MsgResult::No, MsgResult::Yes, MsgResult::Yes};
    EXPECT_FALSE(browser.Delete(browser.FindRow("empty.xml")));
    EXPECT_TRUE(fs::exists(Root() / "empty.xml"));
    EXPECT_TRUE(browser.Delete(browser.FindRow("empty.xml")));
    EXPECT_FALSE(fs::exists(Root() / "empty.xml"));
    EXPECT_EQ(browser.FindRow("empty.xml"), -1) << "listed again";

    // A folder with something in it is refused by the server.
    EXPECT_FALSE(browser.Delete(browser.FindRow("home")));
    EXPECT_TRUE(fs::exists(Root() / "home"));
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0].text, "Delete empty.xml?");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.messages[2].text, "Delete home?");
    EXPECT_FALSE(ui.messages[3].text.empty());
    EXPECT_EQ(ui.messages[3].text.find(kPassword), std::string::npos);
}

TEST_F(RemoteBrowserTest, PropertiesAreReadAfreshFromTheServer)
{
    ASSERT_TRUE(browser.List("/") == false); // not connected
    ui.messages.clear();
    ASSERT_TRUE(browser.Connect(Server()));
    ASSERT_TRUE(browser.List("/docs"));
    EXPECT_FALSE(browser.GetProperties(99));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"No File or Folder Selected."});

    auto properties = browser.GetProperties(browser.FindRow("big.xml"));
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->size, "2.50 KB (2500 bytes)");
    EXPECT_EQ(properties->location, "/docs/big.xml");
    EXPECT_EQ(properties->host, "127.0.0.1");
    EXPECT_FALSE(properties->modified.empty());

    fs::remove(Root() / "docs" / "big.xml");
    EXPECT_FALSE(browser.GetProperties(browser.FindRow("big.xml")));
    EXPECT_EQ(ui.Texts().back(), "big.xml is no longer on the server.");
}

// ---- The property sheet's fields ----

namespace {

// Local time is UTC while it lives.
class UtcZone {
public:
    UtcZone()
    {
        if (const char* zone = std::getenv("TZ")) m_old = zone;
        ::setenv("TZ", "UTC0", 1);
        ::tzset();
    }
    ~UtcZone()
    {
        if (m_old) ::setenv("TZ", m_old->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> m_old;
};

} // namespace

TEST(RemoteFileFieldsTest, SizesAndTimesReadAsTheSheetShowsThem)
{
    EXPECT_EQ(RemoteFileSizeText(0), "0.00 KB (0 bytes)");
    EXPECT_EQ(RemoteFileSizeText(2505), "2.50 KB (2505 bytes)");
    EXPECT_EQ(RemoteFileSizeText(5'000'000'000ULL), "5000000.00 KB (5000000000 bytes)") << "past 4 GB";

    UtcZone utc;
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 5;
    when.tm_hour = 14;
    when.tm_min = 7;
    when.tm_sec = 9;
    EXPECT_EQ(RemoteFileTimeText(::timegm(&when)), "Thursday, March 05, 2026, 02:07:09 PM");
    EXPECT_EQ(RemoteFileTimeText(0), "") << "a time the server did not give";
    EXPECT_EQ(RemoteFileTimeText(std::numeric_limits<std::time_t>::max()), "") << "no calendar date for it";
}

TEST_F(RemoteBrowserTest, TheFieldsComeFromTheFindersEntryWithNamesEscaped)
{
    // A plain listing carries the file's mode: no owner write bit is read-only.
    test::FtpServerFixture::Options options;
    options.mlsd = false;
    fs::create_directories(Root() / "locked");
    Write(Root() / "locked" / "ro.xml", "abc");
    fs::permissions(Root() / "locked" / "ro.xml", fs::perms::owner_read | fs::perms::group_read);
    Write(Root() / "docs" / ".hid\\den.xml", std::string(1500, 'x'));
    StartWith(options);

    FtpSession session;
    auto connection = session.Connect(Host(), Port(), kUser, kPassword);
    ASSERT_TRUE(connection->SetCurrentDirectory("/docs"));
    CFTPFileFind docs(connection.get());
    bool more = docs.FindFile("*");
    std::optional<RemoteFileFields> hidden;
    while (more) {
        more = docs.FindNextFile();
        if (docs.GetFileName() == ".hid\\den.xml") hidden = RemoteFileFieldsOf(docs, "host\x01");
    }
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden->name, ".hid\\\\den.xml");
    EXPECT_EQ(hidden->location, "/docs/.hid\\\\den.xml");
    EXPECT_EQ(hidden->host, "host\\x01") << "the host as typed, escaped alike";
    EXPECT_EQ(hidden->size, "1.50 KB (1500 bytes)");
    EXPECT_EQ(hidden->type, RemoteBrowser::TypeDescription("x.xml"));
    EXPECT_FALSE(hidden->modified.empty());
    EXPECT_TRUE(hidden->hidden);
    EXPECT_FALSE(hidden->readOnly);
    EXPECT_FALSE(hidden->folder);

    ASSERT_TRUE(connection->SetCurrentDirectory("/"));
    CFTPFileFind root(connection.get());
    more = root.FindFile("*");
    std::optional<RemoteFileFields> locked;
    while (more) {
        more = root.FindNextFile();
        if (root.GetFileName() == "locked") locked = RemoteFileFieldsOf(root, Host());
    }
    ASSERT_TRUE(locked);
    EXPECT_TRUE(locked->folder);
    EXPECT_EQ(locked->type, "File Folder");

    ASSERT_TRUE(connection->SetCurrentDirectory("/locked"));
    CFTPFileFind inLocked(connection.get());
    ASSERT_TRUE(inLocked.FindFile("*"));
    inLocked.FindNextFile();
    ASSERT_EQ(inLocked.GetFileName(), "ro.xml");
    const RemoteFileFields readOnly = RemoteFileFieldsOf(inLocked, Host());
    EXPECT_TRUE(readOnly.readOnly);
    EXPECT_FALSE(readOnly.hidden);
    EXPECT_EQ(readOnly.size, "0.00 KB (3 bytes)");
}

// ---- Connecting ----

TEST_F(RemoteBrowserTest, AWrongPasswordOrADeadServerShowsTheClientsReason)
{
    WatchCursorAtMessages();
    EXPECT_FALSE(browser.Connect(Server("wrong")));
    EXPECT_FALSE(browser.IsConnected());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.messages[0].text.empty());
    EXPECT_EQ(ui.messages[0].text.find("wrong"), std::string::npos) << "no password in the message";

    ASSERT_TRUE(browser.Connect(Server()));
    Stop();
    EXPECT_FALSE(browser.Connect(Server()));
    EXPECT_FALSE(browser.IsConnected());
    EXPECT_TRUE(browser.LookIn().empty()) << "the old server's entries are gone";
    EXPECT_TRUE(browser.Rows().empty());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_FALSE(ui.messages[1].text.empty());
    EXPECT_EQ(cursorAtMessages, std::vector<int>(2, 0)) << "the cursor is back before the message";
    EXPECT_EQ(ui.waitDepth, 0);
}
