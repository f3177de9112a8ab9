#include "platform/net/FtpClient.h"
#include "platform/net/FtpListing.h"
#include "platform/net/FtpNames.h"
#include "platform/net/FtpPaths.h"
#include "platform/net/FtpTimeouts.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <utime.h>

using namespace brindle;
using namespace brindle::test;
namespace fs = std::filesystem;

namespace {

std::time_t Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return ::timegm(&tm);
}

const FtpEntry* Find(const std::vector<FtpEntry>& entries, const std::string& name)
{
    auto it = std::find_if(entries.begin(), entries.end(), [&](const FtpEntry& e) { return e.name == name; });
    return it == entries.end() ? nullptr : &*it;
}

} // namespace

// Listing lines, without a server.

TEST(FtpListingTest, MlsdFactsGiveSizeTimesTypeAndAttributes)
{
    FtpEntry e;
    ASSERT_TRUE(ParseMlsdLine("type=file;size=1234;modify=20240131120501.250;create=20230102030405;perm=r; a b;c.xml", e));
    EXPECT_EQ("a b;c.xml", e.name);
    EXPECT_EQ(1234u, e.size);
    EXPECT_EQ(Utc(2024, 1, 31, 12, 5, 1), e.written);
    EXPECT_EQ(Utc(2023, 1, 2, 3, 4, 5), e.created);
    EXPECT_EQ(0, e.accessed);
    EXPECT_FALSE(e.directory);
    EXPECT_TRUE(e.readOnly);
    EXPECT_FALSE(e.hidden);

    ASSERT_TRUE(ParseMlsdLine("Type=dir;Perm=flcdmpe;Modify=20200101000000; .config", e));
    EXPECT_TRUE(e.directory);
    EXPECT_FALSE(e.readOnly);
    EXPECT_TRUE(e.hidden);

    ASSERT_TRUE(ParseMlsdLine("type=file;perm=radfw;size=0; w", e));
    EXPECT_FALSE(e.readOnly);
    ASSERT_TRUE(ParseMlsdLine("type=file;unix.mode=0444; m", e));
    EXPECT_TRUE(e.readOnly);
    ASSERT_TRUE(ParseMlsdLine("type=file;unix.mode=0644;modify=bad; m", e));
    EXPECT_FALSE(e.readOnly);
    EXPECT_EQ(0, e.written);

    EXPECT_FALSE(ParseMlsdLine("type=cdir;perm=el; /home", e));
    EXPECT_FALSE(ParseMlsdLine("type=pdir;perm=el; ..", e));
    EXPECT_FALSE(ParseMlsdLine("nospace", e));
}

TEST(FtpListingTest, UnixLinesWithAndWithoutYearOwnerAndLinks)
{
    const std::time_t now = Utc(2024, 3, 10, 12, 0);
    FtpEntry e;
    ASSERT_TRUE(ParseListLine("-rw-r--r--   1 owner group   4096 Mar  9 08:15 notes  2.txt", now, e));
    EXPECT_EQ("notes  2.txt", e.name);
    EXPECT_EQ(4096u, e.size);
    EXPECT_EQ(Utc(2024, 3, 9, 8, 15), e.written);
    EXPECT_FALSE(e.readOnly);
    EXPECT_FALSE(e.directory);

    // A date without a year later than tomorrow is last year's.
    ASSERT_TRUE(ParseListLine("-r--r--r-- 1 owner group 10 Dec 24 18:00 old", now, e));
    EXPECT_EQ(Utc(2023, 12, 24, 18, 0), e.written);
    EXPECT_TRUE(e.readOnly);

    ASSERT_TRUE(ParseListLine("dr-xr-xr-x 2 owner 512 Jan  5  2019 .cache", now, e)); // no group
    EXPECT_TRUE(e.directory);
    EXPECT_TRUE(e.hidden);
    EXPECT_EQ(512u, e.size);
    EXPECT_EQ(Utc(2019, 1, 5, 0, 0), e.written);

    ASSERT_TRUE(ParseListLine("lrwxrwxrwx 1 o g 7 Feb 1 2020 link -> target", now, e));
    EXPECT_EQ("link", e.name);

    EXPECT_FALSE(ParseListLine("total 12", now, e));
    EXPECT_FALSE(ParseListLine("drwxr-xr-x 2 o g 4096 Mar 1 10:00 ..", now, e));
    EXPECT_FALSE(ParseListLine("-rw-r--r-- 1 o g size Mar 1 10:00 x", now, e));
}

TEST(FtpListingTest, DosLines)
{
    FtpEntry e;
    ASSERT_TRUE(ParseListLine("01-31-24  03:04PM       <DIR>          My Documents", 0, e));
    EXPECT_TRUE(e.directory);
    EXPECT_EQ("My Documents", e.name);
    EXPECT_EQ(Utc(2024, 1, 31, 15, 4), e.written);

    ASSERT_TRUE(ParseListLine("12-01-1999  12:30AM            1048576 data.bin", 0, e));
    EXPECT_FALSE(e.directory);
    EXPECT_EQ(1048576u, e.size);
    EXPECT_EQ(Utc(1999, 12, 1, 0, 30), e.written);

    ASSERT_TRUE(ParseListLine("07-04-98  17:45              7 x", 0, e));
    EXPECT_EQ(Utc(1998, 7, 4, 17, 45), e.written);

    EXPECT_FALSE(ParseListLine("13-01-24  03:04PM  <FILE>  x", 0, e));
}

TEST(FtpListingTest, WholeListingFiltersAndJoinsPaths)
{
    const std::string text = "type=dir;modify=20240101000000; sub\r\n"
                             "type=file;size=3; a.xml\r\n"
                             "type=cdir; /pub\r\n"
                             "type=file;size=4; b.txt"; // no line end on the last line
    std::vector<FtpEntry> all = ParseFtpListing(text, true, "/pub", "*.*", 0);
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ("/pub/sub", all[0].path);
    EXPECT_EQ("/pub/b.txt", all[2].path);
    std::vector<FtpEntry> xml = ParseFtpListing(text, true, "/", "*.xml", 0);
    ASSERT_EQ(1u, xml.size());
    EXPECT_EQ("/a.xml", xml[0].path);

    EXPECT_TRUE(FtpNameMatches("*", ".hidden"));
    EXPECT_TRUE(FtpNameMatches("*.*", "noext"));
    EXPECT_TRUE(FtpNameMatches("d?ta[0-9].xml", "data7.xml"));
    EXPECT_FALSE(FtpNameMatches("*.xml", "a.xsl"));
}

TEST(FtpListingTest, PathsResolveAndEncodeAsAbsoluteUrls)
{
    EXPECT_EQ("/a/c", FtpResolvePath("/a/b", "../c"));
    EXPECT_EQ("/x", FtpResolvePath("/a/b", "//x/./"));
    EXPECT_EQ("/", FtpResolvePath("/a", "../../.."));
    EXPECT_EQ("/a/b/f g", FtpResolvePath("/a/b", "f g"));

    const std::string server = FtpServerUrl("127.0.0.1", 2121);
    EXPECT_EQ("ftp://127.0.0.1:2121", server);
    EXPECT_EQ("ftp://[::1]:21", FtpServerUrl("::1", 21));
    EXPECT_EQ("ftp://127.0.0.1:2121/%2F", FtpPathUrl(server, "/", true));
    EXPECT_EQ("ftp://127.0.0.1:2121/%2Fa%20b/c%23%25%3F/", FtpPathUrl(server, "/a b/c#%?", true));
    EXPECT_EQ("ftp://127.0.0.1:2121/%2Fd/%E4%B8%AD.xml", FtpPathUrl(server, "/d/\xE4\xB8\xAD.xml", false));
}

TEST(FtpListingTest, StandardUrlsSplitIntoDecodedParts)
{
    const auto url = ParseFtpUrl("ftp://br%69ndle:p%40ss%3Aw@[::1]:2121/sub%20dir/a#1?.xml");
    ASSERT_TRUE(url);
    EXPECT_EQ("brindle", url->user.value_or("?"));
    EXPECT_EQ("p@ss:w", url->password.value_or("?"));
    EXPECT_EQ("[::1]", url->host);
    EXPECT_EQ(2121, url->port);
    EXPECT_EQ("/sub dir/a#1?.xml", url->path); // no fragment, no query
    const auto plain = ParseFtpUrl("ftp://h/a.xml");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->user);
    EXPECT_FALSE(plain->password);

    for (const char* bad : {"ftp:///a.xml", "ftp://h:0/a.xml", "ftp://h:65536/a.xml", "ftp://h%21/a.xml",
                            "ftp://h/a%00.xml", "ftp://h/a%0D%0ADELE%20b", "http://h/a.xml"})
        EXPECT_FALSE(ParseFtpUrl(bad)) << bad;
}

TEST(FtpListingTest, ServerNamesShowEscapedAndOnlySafeOnesAreActedOn)
{
    EXPECT_EQ("a b.xml", FtpDisplayName("a b.xml"));
    EXPECT_EQ("\xE4\xB8\xAD.xml", FtpDisplayName("\xE4\xB8\xAD.xml")); // valid UTF-8 stays
    EXPECT_EQ("a\\x0Ab", FtpDisplayName(std::string("a\nb")));
    EXPECT_EQ("nul\\x00", FtpDisplayName(std::string("nul\0", 4)));
    EXPECT_EQ("\\xFF\\xC0\\x80", FtpDisplayName("\xFF\xC0\x80")); // invalid and overlong bytes
    EXPECT_EQ("\\\\x0A", FtpDisplayName("\\x0A")); // a literal backslash cannot pass for an escape
    EXPECT_EQ("\\xED\\xA0\\x80", FtpDisplayName("\xED\xA0\x80")); // a surrogate

    EXPECT_TRUE(FtpNameIsSafe("report 2024.xml"));
    EXPECT_TRUE(FtpNameIsSafe("\xE4\xB8\xAD"));
    EXPECT_TRUE(FtpNameIsSafe(std::string(kMaxFtpName, 'a')));
    for (const std::string& bad : {std::string(), std::string("."), std::string(".."), std::string("../../etc/passwd"),
                                   std::string("a/b"), std::string("a\r\nDELE b"), std::string("a\0b", 3),
                                   std::string("\xFF"), std::string(kMaxFtpName + 1, 'a')})
        EXPECT_FALSE(FtpNameIsSafe(bad)) << FtpDisplayName(bad);
}

// Against a live server.

class FtpClientTest : public FtpServerFixture {
protected:
    std::unique_ptr<FtpConnection> Connect()
    {
        return m_session.Connect(Host(), Port(), kUser, kPassword);
    }
    FtpSession m_session;
    TempDir m_local;
};

TEST_F(FtpClientTest, TransfersKeepBinaryBytesAndTurnAsciiLineEnds)
{
    auto ftp = Connect();
    std::string binary;
    for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
    binary += "\r\n\r\r\n";
    WriteFile(m_local / "up.bin", binary);
    ASSERT_TRUE(ftp->PutFile((m_local / "up.bin").string(), "up.bin")) << ftp->LastError();
    EXPECT_EQ(binary, ReadFile(Root() / "up.bin"));

    ASSERT_TRUE(ftp->GetFile("/up.bin", (m_local / "down.bin").string(), FtpTransfer::Binary)) << ftp->LastError();
    EXPECT_EQ(binary, ReadFile(m_local / "down.bin"));

    // Text over a megabyte, so that line ends fall across the pieces received.
    std::string text;
    while (text.size() < (1 << 20) + 7) text += "<line a=\"1\">text</line>\n";
    WriteFile(Root() / "doc.xml", text);
    ASSERT_TRUE(ftp->GetFile("doc.xml", (m_local / "doc.xml").string(), FtpTransfer::Ascii)) << ftp->LastError();
    EXPECT_EQ(text, ReadFile(m_local / "doc.xml"));

    // An empty file arrives as an empty file; a missing one leaves nothing.
    WriteFile(Root() / "empty", "");
    ASSERT_TRUE(ftp->GetFile("empty", (m_local / "empty").string(), FtpTransfer::Binary));
    EXPECT_TRUE(fs::exists(m_local / "empty"));
    EXPECT_FALSE(ftp->GetFile("missing.xml", (m_local / "missing.xml").string(), FtpTransfer::Binary));
    EXPECT_NE(std::string::npos, ftp->LastError().find("550")) << ftp->LastError();
    EXPECT_FALSE(fs::exists(m_local / "missing.xml"));
    EXPECT_TRUE(ftp->IsOpen());
}

TEST_F(FtpClientTest, ListingGivesNamesPathsSizesTimesAndKinds)
{
    fs::create_directories(Root() / "pub" / "inner");
    WriteFile(Root() / "pub" / "a.xml", std::string(1500, 'a'));
    WriteFile(Root() / "pub" / "b c.txt", "bc");
    WriteFile(Root() / "pub" / ".hidden", "h");
    const std::time_t when = Utc(2021, 6, 7, 8, 9, 10);
    const utimbuf times{when, when};
    ::utime((Root() / "pub" / "a.xml").c_str(), &times);

    for (bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        if (!mlsd) StartWith({0, false});
        auto ftp = Connect();
        ASSERT_TRUE(ftp->SetCurrentDirectory("pub")) << ftp->LastError();
        std::vector<FtpEntry> entries;
        ASSERT_TRUE(ftp->List("*", entries)) << ftp->LastError();
        ASSERT_EQ(4u, entries.size());
        const FtpEntry* a = Find(entries, "a.xml");
        ASSERT_TRUE(a);
        EXPECT_EQ("/pub/a.xml", a->path);
        EXPECT_EQ(1500u, a->size);
        EXPECT_FALSE(a->directory);
        // LIST shows only the day of a file older than half a year.
        EXPECT_EQ(mlsd ? when : Utc(2021, 6, 7, 0, 0), a->written);
        ASSERT_TRUE(Find(entries, "inner"));
        EXPECT_TRUE(Find(entries, "inner")->directory);
        ASSERT_TRUE(Find(entries, "b c.txt"));
        EXPECT_EQ(2u, Find(entries, "b c.txt")->size);
        ASSERT_TRUE(Find(entries, ".hidden"));
        EXPECT_TRUE(Find(entries, ".hidden")->hidden);

        ASSERT_TRUE(ftp->List("*.xml", entries));
        ASSERT_EQ(1u, entries.size());
        // Read afresh each time.
        WriteFile(Root() / "pub" / "new.xml", "n");
        ASSERT_TRUE(ftp->List("*.xml", entries));
        EXPECT_EQ(2u, entries.size());
        fs::remove(Root() / "pub" / "new.xml");
    }
}

TEST_F(FtpClientTest, DirectoryOperations)
{
    auto ftp = Connect();
    std::string current;
    ASSERT_TRUE(ftp->GetCurrentDirectory(current)) << ftp->LastError();
    EXPECT_EQ("/", current);

    ASSERT_TRUE(ftp->CreateDirectory("new dir")) << ftp->LastError();
    EXPECT_TRUE(fs::is_directory(Root() / "new dir"));
    EXPECT_FALSE(ftp->CreateDirectory("new dir"));
    EXPECT_FALSE(ftp->LastError().empty());

    ASSERT_TRUE(ftp->SetCurrentDirectory("/new dir"));
    ASSERT_TRUE(ftp->GetCurrentDirectory(current));
    EXPECT_EQ("/new dir", current);
    EXPECT_FALSE(ftp->SetCurrentDirectory("nowhere"));
    EXPECT_NE(std::string::npos, ftp->LastError().find("550")) << ftp->LastError();
    ASSERT_TRUE(ftp->GetCurrentDirectory(current));
    EXPECT_EQ("/new dir", current);

    WriteFile(m_local / "f", "file");
    ASSERT_TRUE(ftp->PutFile((m_local / "f").string(), "f.xml"));
    EXPECT_EQ("file", ReadFile(Root() / "new dir" / "f.xml"));
    ASSERT_TRUE(ftp->Rename("f.xml", "../g.xml")) << ftp->LastError();
    EXPECT_EQ("file", ReadFile(Root() / "g.xml"));
    EXPECT_FALSE(ftp->Rename("f.xml", "h.xml"));
    // Refusals leave the connection open and in step.
    EXPECT_FALSE(ftp->GetFile("missing.xml", (m_local / "missing").string(), FtpTransfer::Binary));
    EXPECT_EQ(FtpFailure::Refused, ftp->LastFailure()) << ftp->LastError();
    EXPECT_FALSE(ftp->PutFile((m_local / "f").string(), "/no/such/folder/f.xml"));
    EXPECT_EQ(FtpFailure::Refused, ftp->LastFailure()) << ftp->LastError();
    EXPECT_TRUE(ftp->IsOpen());
    ASSERT_TRUE(ftp->GetCurrentDirectory(current)) << ftp->LastError();

    ASSERT_TRUE(ftp->SetCurrentDirectory(".."));
    ASSERT_TRUE(ftp->RemoveFile("g.xml")) << ftp->LastError();
    EXPECT_FALSE(fs::exists(Root() / "g.xml"));
    ASSERT_TRUE(ftp->RemoveDirectory("/new dir")) << ftp->LastError();
    EXPECT_FALSE(fs::exists(Root() / "new dir"));
    EXPECT_FALSE(ftp->RemoveFile("g.xml"));

    // A line end cannot smuggle in a second command.
    WriteFile(Root() / "keep", "k");
    EXPECT_FALSE(ftp->CreateDirectory("x\r\nDELE /keep"));
    EXPECT_TRUE(fs::exists(Root() / "keep"));

    ftp->Close();
    EXPECT_FALSE(ftp->IsOpen());
    EXPECT_FALSE(ftp->GetCurrentDirectory(current));
}

TEST_F(FtpClientTest, WrongPasswordGivesTheServersTextWithoutThePassword)
{
    const std::string wrong = "wrong-Secret-99";
    try {
        m_session.Connect(Host(), Port(), kUser, wrong);
        FAIL() << "logged in with a wrong password";
    } catch (const FtpError& e) {
        const std::string text = e.what();
        EXPECT_NE(std::string::npos, text.find("530")) << text;
        EXPECT_EQ(std::string::npos, text.find(wrong)) << text;
        EXPECT_EQ(std::string::npos, text.find(kPassword)) << text;
    }
}

TEST_F(FtpClientTest, StoppedServerClosesTheConnectionAndRestartAllowsANewOne)
{
    auto ftp = Connect();
    std::string current;
    ASSERT_TRUE(ftp->GetCurrentDirectory(current));
    Stop();
    std::vector<FtpEntry> entries;
    EXPECT_FALSE(ftp->GetCurrentDirectory(current));
    EXPECT_FALSE(ftp->LastError().empty());
    EXPECT_FALSE(ftp->IsOpen());
    EXPECT_FALSE(ftp->List("*", entries));
    EXPECT_FALSE(ftp->LastError().empty());

    // Nothing listens now: the connection is refused at once.
    EXPECT_THROW(Connect(), FtpError);

    Start();
    auto again = Connect();
    EXPECT_TRUE(again->IsOpen());
    EXPECT_TRUE(again->List("*", entries)) << again->LastError();
}

TEST_F(FtpClientTest, TransferCutOffLeavesTheTargetAsItWas)
{
    WriteFile(Root() / "big.bin", std::string(4 << 20, 'x'));
    StartWith({256 * 1024, true});
    auto ftp = Connect();
    const fs::path target = m_local / "big.bin";
    WriteFile(target, "previous contents");
    std::thread killer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        Stop();
    });
    const bool ok = ftp->GetFile("big.bin", target.string(), FtpTransfer::Binary);
    killer.join();
    EXPECT_FALSE(ok);
    EXPECT_FALSE(ftp->LastError().empty());
    EXPECT_EQ("previous contents", ReadFile(target));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_local.path()), fs::directory_iterator()));
}

TEST_F(FtpClientTest, SilentServerFailsWithinTheTimeOut)
{
    // A socket that accepts connections (the system completes them) and never speaks.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ASSERT_EQ(0, ::listen(fd, 4));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);

    const FtpTimeouts saved = GetFtpTimeouts();
    SetFtpTimeouts({2, 2, 2});
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    try {
        m_session.Connect(Host(), ntohs(address.sin_port), kUser, kPassword);
    } catch (const FtpError& e) {
        text = e.what();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetFtpTimeouts(saved);
    ::close(fd);
    EXPECT_FALSE(text.empty());
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(std::string::npos, text.find(kPassword));
}

// A server that refuses SIZE and ends downloads early while calling them
// complete: the listing's size shows that the file did not all come.
TEST_F(FtpClientTest, DownloadShorterThanTheServersSizeFailsAndKeepsTheTarget)
{
    WriteFile(Root() / "five.bin", std::string(5000, 'f'));
    const fs::path target = m_local / "five.bin";
    for (bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        StartWith({0, mlsd, false, true, 1000});
        WriteFile(target, "previous contents");
        auto ftp = Connect();
        EXPECT_FALSE(ftp->GetFile("five.bin", target.string(), FtpTransfer::Binary));
        EXPECT_EQ(FtpFailure::Short, ftp->LastFailure());
        EXPECT_NE(std::string::npos, ftp->LastError().find("1000 of the 5000 bytes")) << ftp->LastError();
        EXPECT_EQ("previous contents", ReadFile(target));
        EXPECT_FALSE(ftp->GetFile("five.bin", target.string(), FtpTransfer::Ascii));
        EXPECT_EQ(FtpFailure::Short, ftp->LastFailure());
        EXPECT_TRUE(ftp->IsOpen());
    }

    // With SIZE answered, a short download fails as well.
    StartWith({0, true, true, true, 1000});
    auto sized = Connect();
    EXPECT_FALSE(sized->GetFile("five.bin", target.string(), FtpTransfer::Binary));
    EXPECT_EQ(FtpFailure::Short, sized->LastFailure());
    EXPECT_EQ("previous contents", ReadFile(target));

    // Without SIZE, a whole download still succeeds.
    StartWith({0, false, false, true, -1});
    auto whole = Connect();
    ASSERT_TRUE(whole->GetFile("five.bin", target.string(), FtpTransfer::Binary)) << whole->LastError();
    EXPECT_EQ(std::string(5000, 'f'), ReadFile(target));
}

TEST_F(FtpClientTest, ProgressSeesTheTransferAndCancelStopsIt)
{
    const std::string big(3 << 20, 'b');
    WriteFile(Root() / "big.bin", big);
    auto ftp = Connect();
    std::uint64_t lastDone = 0, lastTotal = 0;
    ftp->SetProgressHandler([&](std::uint64_t done, std::uint64_t total) {
        lastDone = done;
        lastTotal = total;
        return true;
    });
    ASSERT_TRUE(ftp->GetFile("big.bin", (m_local / "big.bin").string(), FtpTransfer::Binary)) << ftp->LastError();
    EXPECT_EQ(big.size(), lastDone);
    EXPECT_EQ(big.size(), lastTotal);
    ASSERT_TRUE(ftp->PutFile((m_local / "big.bin").string(), "up.bin")) << ftp->LastError();
    EXPECT_EQ(big.size(), lastDone);
    EXPECT_EQ(big.size(), lastTotal);

    // A trickling server; Cancel ends both directions, the local file untouched.
    StartWith({100});
    auto slow = Connect();
    int calls = 0;
    slow->SetProgressHandler([&](std::uint64_t, std::uint64_t) { return ++calls < 2; });
    const fs::path target = m_local / "target";
    WriteFile(target, "previous contents");
    EXPECT_FALSE(slow->GetFile("big.bin", target.string(), FtpTransfer::Binary));
    EXPECT_EQ(FtpFailure::Cancelled, slow->LastFailure());
    EXPECT_EQ("The transfer was cancelled.", slow->LastError());
    EXPECT_EQ("previous contents", ReadFile(target));
    calls = 0;
    EXPECT_FALSE(slow->PutFile((m_local / "big.bin").string(), "up2.bin"));
    EXPECT_EQ(FtpFailure::Cancelled, slow->LastFailure());

    // The connection goes on working after a cancel.
    slow->SetProgressHandler(nullptr);
    std::vector<FtpEntry> entries;
    EXPECT_TRUE(slow->List("*", entries)) << slow->LastError();
}

TEST_F(FtpClientTest, TransferBelowTheLowSpeedLimitEnds)
{
    WriteFile(Root() / "slow.bin", std::string(20000, 's'));
    StartWith({100}); // a hundred bytes a second: over three minutes for the file
    const FtpTimeouts saved = GetFtpTimeouts();
    FtpTimeouts quick = saved; // only the stall window: a slow machine must not time out elsewhere
    quick.stallSeconds = 2;
    SetFtpTimeouts(quick);
    auto ftp = Connect();
    // Only a guard against a test that would run for minutes: never reached
    // when the limit works.
    const auto start = std::chrono::steady_clock::now();
    ftp->SetProgressHandler([&](std::uint64_t, std::uint64_t) {
        return std::chrono::steady_clock::now() - start < std::chrono::seconds(60);
    });
    const bool ok = ftp->GetFile("slow.bin", (m_local / "slow.bin").string(), FtpTransfer::Binary);
    SetFtpTimeouts(saved);
    EXPECT_FALSE(ok);
    EXPECT_EQ(FtpFailure::Stalled, ftp->LastFailure()) << ftp->LastError();
    EXPECT_NE(std::string::npos, ftp->LastError().find("stalled")) << ftp->LastError();
    EXPECT_FALSE(fs::exists(m_local / "slow.bin"));
}

// The calling thread stays free while an exchange runs: a progress window with
// Cancel comes up, moved from the calling thread, and Cancel ends the exchange.
TEST_F(FtpClientTest, SlowExchangesShowProgressAndCancelEndsThem)
{
    WriteFile(Root() / "big.bin", std::string(200 * 1024, 'b')); // over a minute and a half at the rate below
    for (int i = 0; i < 2000; ++i) WriteFile(Root() / ("file-with-a-longish-name-" + std::to_string(i)), "");
    fs::create_directory(Root() / "small");
    WriteFile(Root() / "small" / "one", "1");
    StartWith({2000});
    RecordingUIServices ui;
    auto ftp = Connect();
    const std::thread::id caller = std::this_thread::get_id();
    bool otherThread = false;
    std::string nested;
    ui.onProgress = [&](std::uint64_t, std::uint64_t) {
        otherThread = otherThread || std::this_thread::get_id() != caller;
        // A second operation started meanwhile (from the event loop) is refused.
        std::vector<FtpEntry> entries;
        if (nested.empty() && !ftp->List("*", entries)) nested = ftp->LastError();
        return false; // Cancel
    };

    const fs::path target = m_local / "target";
    WriteFile(target, "previous contents");
    EXPECT_FALSE(ftp->GetFile("big.bin", target.string(), FtpTransfer::Binary));
    EXPECT_EQ(FtpFailure::Cancelled, ftp->LastFailure());
    EXPECT_EQ("The transfer was cancelled.", ftp->LastError());
    EXPECT_EQ("previous contents", ReadFile(target));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_local.path()), fs::directory_iterator()));
    ASSERT_FALSE(ui.progressTexts.empty());
    EXPECT_EQ("Getting big.bin...", ui.progressTexts.front());
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_FALSE(otherThread);
    EXPECT_EQ("The connection is busy with another operation.", nested);

    // A cancelled listing leaves the connection logged in afresh, in the same
    // folder, every later reply answering its own command.
    ui.progressTexts.clear();
    std::vector<FtpEntry> entries;
    EXPECT_FALSE(ftp->List("*", entries));
    EXPECT_EQ(FtpFailure::Cancelled, ftp->LastFailure());
    EXPECT_EQ("Cancelled.", ftp->LastError());
    EXPECT_TRUE(entries.empty());
    ASSERT_FALSE(ui.progressTexts.empty());
    EXPECT_EQ("Listing / on 127.0.0.1...", ui.progressTexts.front());
    ui.onProgress = nullptr;
    EXPECT_TRUE(ftp->IsOpen());
    std::string current;
    ASSERT_TRUE(ftp->GetCurrentDirectory(current)) << ftp->LastError();
    EXPECT_EQ("/", current);
    EXPECT_FALSE(ftp->RemoveFile("missing"));
    EXPECT_NE(std::string::npos, ftp->LastError().find("550")) << ftp->LastError();
    EXPECT_TRUE(ftp->CreateDirectory("after")) << ftp->LastError();
    ASSERT_TRUE(ftp->SetCurrentDirectory("small")) << ftp->LastError();
    ASSERT_TRUE(ftp->List("*", entries)) << ftp->LastError();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("one", entries[0].name);

    // Connecting to a server that never greets: Cancel ends the wait.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(0, ::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ASSERT_EQ(0, ::listen(silent, 4));
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    ui.progressTexts.clear();
    ui.onProgress = [](std::uint64_t, std::uint64_t) { return false; };
    std::string text;
    try {
        m_session.Connect(Host(), ntohs(address.sin_port), kUser, kPassword);
    } catch (const FtpError& e) {
        text = e.what();
    }
    ::close(silent);
    EXPECT_EQ("Connecting to 127.0.0.1 was cancelled.", text);
    EXPECT_EQ(std::vector<std::string>{"Connecting to 127.0.0.1..."}, ui.progressTexts);
}

// A dropped connection shows as closed without the library logging in again
// behind the caller's back, even with a server back on the same port.
TEST_F(FtpClientTest, DroppedConnectionIsNotLoggedInAgainUnasked)
{
    StartWith({});
    auto ftp = Connect();
    ASSERT_EQ(1, Logins());
    Stop();
    StartWith({});
    std::string current;
    EXPECT_FALSE(ftp->GetCurrentDirectory(current));
    EXPECT_EQ(FtpFailure::Connection, ftp->LastFailure());
    EXPECT_EQ("The connection to the server was lost.", ftp->LastError());
    EXPECT_FALSE(ftp->IsOpen());
    std::vector<FtpEntry> entries;
    EXPECT_FALSE(ftp->List("*", entries));
    EXPECT_EQ(0, Logins());
    // Connecting anew is the caller's choice.
    EXPECT_TRUE(Connect()->GetCurrentDirectory(current));
    EXPECT_EQ(1, Logins());
}

// Replies that cannot be matched up with the commands close the connection
// rather than answer later commands; a path long enough to make a server answer
// several times is never sent.
TEST_F(FtpClientTest, StaleOrOverlongRepliesCloseTheConnection)
{
    auto ftp = Connect();
    const std::string longName(10000, 'n');
    EXPECT_FALSE(ftp->RemoveFile(longName));
    EXPECT_EQ(FtpFailure::Refused, ftp->LastFailure());
    EXPECT_NE(std::string::npos, ftp->LastError().find("too long")) << ftp->LastError();
    EXPECT_FALSE(ftp->GetFile(longName, (m_local / "x").string(), FtpTransfer::Binary));
    EXPECT_NE(std::string::npos, ftp->LastError().find("too long")) << ftp->LastError();
    EXPECT_FALSE(fs::exists(m_local / "x"));
    EXPECT_TRUE(ftp->CreateDirectory("after")) << ftp->LastError();
    EXPECT_FALSE(ftp->RemoveFile("missing"));
    EXPECT_NE(std::string::npos, ftp->LastError().find("550")) << ftp->LastError();
    EXPECT_TRUE(ftp->IsOpen());

    // A server answering NOOP twice: the extra reply is not taken for the next
    // command's (it would call the removal of a missing file done).
    StartWith({0, true, true, true, -1, {"200 Done.", "200 Done again."}});
    ftp = Connect();
    std::string current;
    EXPECT_TRUE(ftp->GetCurrentDirectory(current)) << ftp->LastError();
    EXPECT_FALSE(ftp->RemoveFile("missing"));
    EXPECT_EQ(FtpFailure::Connection, ftp->LastFailure()) << ftp->LastError();
    EXPECT_FALSE(ftp->IsOpen());
    EXPECT_FALSE(ftp->CreateDirectory("never"));
    EXPECT_FALSE(fs::exists(Root() / "never"));

    // An over-long reply.
    StartWith({0, true, true, true, -1, {"200 " + std::string(5000, 'x')}});
    ftp = Connect();
    EXPECT_FALSE(ftp->GetCurrentDirectory(current));
    EXPECT_NE(std::string::npos, ftp->LastError().find("over-long")) << ftp->LastError();
    EXPECT_FALSE(ftp->IsOpen());
}

// Explicit TLS: transfers and listings go through it; a certificate that cannot
// be trusted, or a server without TLS, is refused with the reason.

TEST_F(FtpClientTest, TlsRefusesWhatItCannotTrustOrSecure)
{
    StartTls();
    {
        auto ftp = m_session.Connect(Host(), Port(), kUser, kPassword, FtpTls{true, TlsCaFile()});
        ASSERT_TRUE(ftp) << "no TLS session";
        const std::string text = "<doc>over TLS</doc>\r\n";
        WriteFile(m_local / "up.xml", text);
        ASSERT_TRUE(ftp->PutFile((m_local / "up.xml").string(), "up.xml")) << ftp->LastError();
        EXPECT_EQ(text, ReadFile(Root() / "up.xml"));
        ASSERT_TRUE(ftp->GetFile("up.xml", (m_local / "down.xml").string(), FtpTransfer::Binary)) << ftp->LastError();
        EXPECT_EQ(text, ReadFile(m_local / "down.xml"));
        std::vector<FtpEntry> entries;
        ASSERT_TRUE(ftp->List("*", entries)) << ftp->LastError();
        ASSERT_TRUE(Find(entries, "up.xml"));
    }
    const auto refusal = [&](const FtpTls& tls) {
        try {
            m_session.Connect(Host(), Port(), kUser, kPassword, tls);
        } catch (const FtpError& e) {
            return std::string(e.what());
        }
        return std::string("connected");
    };
    // The system's authorities do not know the test certificate: the problem is named.
    std::string text = refusal(FtpTls{true, ""});
    EXPECT_NE(text.find("cannot be trusted"), std::string::npos) << text;
    EXPECT_NE(text.find("self-signed certificate"), std::string::npos) << text;
    EXPECT_EQ(text.find(kPassword), std::string::npos) << text;

    // An authority file that is not one.
    const auto bogus = m_local / "bogus.pem";
    WriteFile(bogus, "not a certificate\n");
    text = refusal(FtpTls{true, bogus.string()});
    EXPECT_NE(text.find("bogus.pem"), std::string::npos) << text;

    // A server in the clear, when TLS is required: refused before the login is sent.
    Start();
    text = refusal(FtpTls{true, TlsCaFile()});
    EXPECT_NE(text.find("does not offer TLS"), std::string::npos) << text;
    // ... and the same server still answers a plain login.
    EXPECT_TRUE(m_session.Connect(Host(), Port(), kUser, kPassword));
}
