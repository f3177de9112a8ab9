#include "brindlekit/ftp/FTPFolderServer.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace brindle;

namespace {

// A server record against a live pyftpdlib holding /pub with one file and one folder.
class FolderServer : public brindle::test::FtpServerFixture {
protected:
    void SetUp() override
    {
        FtpServerFixture::SetUp();
        std::filesystem::create_directories(Root() / "pub" / "sub");
        std::ofstream(Root() / "pub" / "a.xml") << "<a/>";
    }
    std::unique_ptr<CFTPFolderServer> Record(std::uint32_t port, const std::string& password = kPassword)
    {
        return std::make_unique<CFTPFolderServer>("local", Host(), kUser, password, "/", port);
    }
    static std::vector<std::string> Walk(CFTPFileFind& finder)
    {
        std::vector<std::string> names;
        for (bool more = true; more;) {
            more = finder.FindNextFile();
            names.push_back(finder.GetFileName() + (finder.IsDirectory() ? "/" : ""));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    brindle::test::RecordingUIServices ui;
};

} // namespace

TEST_F(FolderServer, ConnectsOnTheLowSixteenBitsOfThePortAndLists)
{
    auto server = Record(Port() + 65536u);
    EXPECT_EQ(server->IsConnected(), 0);
    ASSERT_EQ(server->Connect(), 1);
    EXPECT_EQ(server->IsConnected(), 1);
    EXPECT_EQ(server->GetPort(), Port() + 65536u);

    std::unique_ptr<CFTPFileFind> finder;
    ASSERT_NE(server->GetFiles(finder, "/pub"), 0);
    ASSERT_TRUE(finder);
    EXPECT_EQ(finder->GetFileName(), ""); // nothing current before the first step
    EXPECT_EQ(Walk(*finder), (std::vector<std::string>{"a.xml", "sub/"}));
    EXPECT_FALSE(finder->FindNextFile());
    finder->Close();
    EXPECT_EQ(finder->GetFileName(), "");

    // An empty folder is entered but starts no listing.
    finder.reset();
    EXPECT_EQ(server->GetFiles(finder, "/pub/sub"), 0);
    EXPECT_TRUE(finder);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FolderServer, StoppedServerIsNotConnectedAndTheNextListingReconnects)
{
    auto server = Record(Port());
    ASSERT_EQ(server->Connect(), 1);
    Stop();
    EXPECT_EQ(server->IsConnected(), 0);
    // Close leaves a dropped connection alone: only a live one is closed.
    server->Close();
    EXPECT_NE(server->GetConnection(), nullptr);

    Start();
    std::unique_ptr<CFTPFileFind> finder;
    ASSERT_NE(server->GetFiles(finder, "/pub"), 0);
    EXPECT_EQ(Walk(*finder), (std::vector<std::string>{"a.xml", "sub/"}));
    EXPECT_EQ(server->IsConnected(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FolderServer, FailuresAreShownAndLeaveTheRecordClosed)
{
    auto wrong = Record(Port(), "not-the-Pw0rd");
    EXPECT_EQ(wrong->Connect(), 0);
    EXPECT_EQ(wrong->GetConnection(), nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
    EXPECT_FALSE(ui.messages[0].text.empty());
    EXPECT_EQ(ui.messages[0].text.find("not-the-Pw0rd"), std::string::npos);

    ui.messages.clear();
    auto server = Record(Port());
    ASSERT_EQ(server->Connect(), 1);
    std::unique_ptr<CFTPFileFind> finder;
    EXPECT_EQ(server->GetFiles(finder, "/missing"), 0);
    EXPECT_FALSE(finder);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "不能设置当前目录到 /missing.");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);

    // New values close the connection first.
    server->SetParams("renamed", Host(), kUser, kPassword, "/pub", Port());
    EXPECT_EQ(server->GetConnection(), nullptr);
    EXPECT_EQ(server->GetEntryName(), "renamed");
}

// Asking whether the connection stands never logs in again: with a server back
// on the port, a dropped connection answers 0 and the server sees no login
// until the next listing reconnects.
TEST_F(FolderServer, IsConnectedAnswersADroppedConnectionWithoutLoggingIn)
{
    StartWith({});
    auto server = Record(Port());
    ASSERT_EQ(server->Connect(), 1);
    ASSERT_EQ(Logins(), 1);
    Stop();
    StartWith({});
    EXPECT_EQ(server->IsConnected(), 0);
    EXPECT_EQ(server->IsConnected(), 0);
    EXPECT_EQ(Logins(), 0);

    std::unique_ptr<CFTPFileFind> finder;
    ASSERT_NE(server->GetFiles(finder, "/pub"), 0);
    EXPECT_EQ(Walk(*finder), (std::vector<std::string>{"a.xml", "sub/"}));
    EXPECT_EQ(Logins(), 1);
    EXPECT_EQ(server->IsConnected(), 1);
    EXPECT_EQ(Logins(), 1);
    EXPECT_TRUE(ui.messages.empty());
}
