// Documents on an FTP server (a real one on 127.0.0.1): opened by address,
// edited, saved back; and the failures a user meets.
#include "app/document/BrindleDoc.h"
#include "app/document/TempCopies.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpTimeouts.h"
#include "platform/settings/Profile.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <atomic>
#include <thread>
#include <unistd.h>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

class RemoteDocumentTest : public BasicDocManagerFixture<test::FtpServerFixture> {
protected:
    void SetUp() override
    {
        BasicDocManagerFixture<test::FtpServerFixture>::SetUp();
        // The local copies go to a folder of the test's own.
        if (const char* previous = std::getenv("TMPDIR")) m_previousTmp = previous;
        ::setenv("TMPDIR", copies.path().c_str(), 1);
        StoreServer("Local", kPassword);
        fs::create_directories(Root() / "pub" / "xml");
        Write(Root() / "pub" / "xml" / "a.xml", "<?xml version=\"1.0\"?>\n<list><item>one</item></list>\n");
        Write(Root() / "top.xml", "<top/>\n");
    }

    void TearDown() override
    {
        if (m_previousTmp) ::setenv("TMPDIR", m_previousTmp->c_str(), 1);
        else ::unsetenv("TMPDIR");
        BasicDocManagerFixture<test::FtpServerFixture>::TearDown();
    }

    static std::set<std::string> Names(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }

    // A document of over a megabyte on the server, opened.
    std::unique_ptr<CBrindleDoc> OpenBig(std::string& original)
    {
        original = "<?xml version=\"1.0\"?>\n<list>\n";
        while (original.size() < 1357817) original += "  <item n=\"" + std::to_string(original.size()) + "\">text</item>\n";
        original += "</list>\n";
        Write(Root() / "pub" / "xml" / "a.xml", original);
        auto doc = Open("ftp://Local/pub/xml/a.xml");
        if (doc) {
            doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
            doc->CreateNode(NODE_ELEMENT, "added", std::string(), nullptr, "");
        }
        return doc;
    }

    void StoreServer(const std::string& entry, const std::string& password)
    {
        const std::string section = "RemoteServers\\" + entry;
        Profile::WriteProfileString(section, "hostname", Host());
        Profile::WriteProfileString(section, "username", kUser);
        Profile::WriteProfileString(section, "password", password);
        Profile::WriteProfileInt(section, "hostport", Port());
    }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The store holds the one server stored at set-up, and its password only there.
    void ExpectOnlyTheStoredServer()
    {
        EXPECT_EQ(store->EnumSubkeys("Software\\Brindle\\Brindle\\RemoteServers"), std::vector<std::string>{"Local"});
        const std::string stored = Read(store->File());
        EXPECT_EQ(stored.find(kPassword), stored.rfind(kPassword)) << stored;
    }

    std::unique_ptr<CBrindleDoc> Open(const std::string& address)
    {
        auto doc = std::make_unique<CBrindleDoc>();
        const bool opened = doc->OnOpenDocument(wxString::FromUTF8(address));
        doc->Errors().Tell(); // as opening a file in the program does
        if (!opened) return nullptr;
        doc->SetPathName(wxString::FromUTF8(address), false);
        return doc;
    }

    test::RecordingUIServices ui;
    test::TempDir copies;

private:
    std::optional<std::string> m_previousTmp;
};

} // namespace

TEST_F(RemoteDocumentTest, AFetchedDocumentIsEditedAndSavedBackToItsAddress)
{
    const std::string address = "ftp://Local/pub/xml/a.xml";
    auto doc = Open(address);
    ASSERT_TRUE(doc) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_TRUE(doc->IsRemote());
    EXPECT_EQ(doc->RemoteUrl(), address);
    EXPECT_EQ(fs::path(doc->LocalCopy()).filename().string().rfind("WDS", 0), 0u);
    EXPECT_EQ(doc->GetTitle().utf8_string(), address);
    EXPECT_TRUE(ui.messages.empty()); // no complaint about a folder an address cannot have

    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "added", std::string(), nullptr, ""));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->Save());
    EXPECT_FALSE(doc->IsModified());
    // The server has the edited document; the local copy is the same bytes.
    const std::string onServer = Read(Root() / "pub" / "xml" / "a.xml");
    EXPECT_NE(onServer.find("<added/>"), std::string::npos);
    EXPECT_EQ(onServer, Read(doc->LocalCopy()));

    // An address without a folder is the login folder.
    auto top = Open("ftp://Local/top.xml");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->GetDomDocument()->documentElement()->nodeName(), "top");
}

TEST_F(RemoteDocumentTest, FailuresAreToldOnceAndLoseNothing)
{
    // A file the server does not have.
    EXPECT_FALSE(Open("ftp://Local/pub/none.xml"));
    ASSERT_EQ(ui.Texts(), std::vector<std::string>{"Error getting file via ftp"});
    // A folder the server does not have: its reason, once.
    ui.messages.clear();
    EXPECT_FALSE(Open("ftp://Local/nowhere/a.xml"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("550"), std::string::npos) << ui.messages[0].text;

    // A wrong password: the server's refusal, without the password.
    ui.messages.clear();
    StoreServer("Wrong", "not-the-password");
    EXPECT_FALSE(Open("ftp://Wrong/top.xml"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("530"), std::string::npos);
    EXPECT_EQ(ui.messages[0].text.find("not-the-password"), std::string::npos);

    // The server gone at save time: the document stays modified, its copy intact.
    ui.messages.clear();
    auto doc = Open("ftp://Local/pub/xml/a.xml");
    ASSERT_TRUE(doc);
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "kept", std::string(), nullptr, ""));
    Stop();
    EXPECT_FALSE(doc->Save());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_NE(Read(doc->LocalCopy()).find("<kept/>"), std::string::npos);
    ASSERT_EQ(ui.messages.size(), 1u); // the connection's reason, once
    EXPECT_NE(ui.messages[0].text, "Error saving file via FTP.");
    EXPECT_EQ(Read(Root() / "pub" / "xml" / "a.xml").find("<kept/>"), std::string::npos);
}

TEST_F(RemoteDocumentTest, AFailedUploadLeavesTheServersFileWhole)
{
    // The connection dropped halfway through the upload.
    std::string original;
    auto doc = OpenBig(original);
    ASSERT_TRUE(doc);
    StartWith({256 * 1024});
    // The server goes once bytes of the upload are on their way, however long
    // the save takes to get there.
    std::atomic<bool> uploading = false;
    ui.onProgress = [&uploading](std::uint64_t done, std::uint64_t) {
        if (done > 0) uploading = true;
        return true;
    };
    std::thread killer([this, &uploading] {
        for (int waited = 0; !uploading && waited < 60000; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        Stop();
    });
    const bool saved = doc->Save();
    killer.join();
    ui.onProgress = nullptr;
    EXPECT_FALSE(saved);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(original, Read(Root() / "pub" / "xml" / "a.xml"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error saving file via FTP.\n\n", 0), 0u) << ui.messages[0].text;

    // Cancelled while the server takes a hundred bytes a second: the file stays,
    // the upload is removed, and a later save goes through.
    ui.messages.clear();
    ui.progressTexts.clear();
    StartWith({100});
    // What the dropped connection left cannot be removed; the cancelled upload's is.
    const std::set<std::string> before = Names(Root() / "pub" / "xml");
    EXPECT_LE(before.size(), 2u);
    ui.onProgress = [](std::uint64_t, std::uint64_t) { return false; };
    EXPECT_FALSE(doc->Save());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(std::vector<std::string>{"The transfer was cancelled. The file on the server was not replaced."},
              ui.Texts());
    EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Saving a.xml to Local..."});
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_EQ(original, Read(Root() / "pub" / "xml" / "a.xml"));
    EXPECT_EQ(before, Names(Root() / "pub" / "xml"));
    ui.onProgress = nullptr;
    ui.messages.clear();
    StartWith({});
    ASSERT_TRUE(doc->Save()) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_NE(Read(Root() / "pub" / "xml" / "a.xml").find("<added/>"), std::string::npos);
    EXPECT_EQ(before, Names(Root() / "pub" / "xml"));
}

// Logged in, the server refuses the save: the fixed message with the server's
// reply, the document still modified and the server's file as it was.
TEST_F(RemoteDocumentTest, ASaveRefusedAfterLoginShowsTheServersReply)
{
    const std::string original = Read(Root() / "pub" / "xml" / "a.xml");
    StartWith({0, true, true, true, -1, {}, "pub/xml"});
    auto doc = Open("ftp://Local/pub/xml/a.xml");
    ASSERT_TRUE(doc);
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "refused", std::string(), nullptr, ""));
    // The folder may not be written to: the upload is refused.
    EXPECT_FALSE(doc->Save());
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error saving file via FTP.\n\n550 ", 0), 0u) << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(original, Read(Root() / "pub" / "xml" / "a.xml"));
    EXPECT_EQ(std::set<std::string>{"a.xml"}, Names(Root() / "pub" / "xml"));

    // The folder is gone: it cannot be entered.
    ui.messages.clear();
    StartWith({});
    fs::rename(Root() / "pub" / "xml", Root() / "pub" / "moved");
    EXPECT_FALSE(doc->Save());
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error saving file via FTP.\n\n550 ", 0), 0u) << ui.messages[0].text;
    EXPECT_NE(Read(doc->LocalCopy()).find("<refused/>"), std::string::npos);

    // Opening from there names the folder's refusal after the fixed message.
    ui.messages.clear();
    EXPECT_FALSE(Open("ftp://Local/pub/xml/a.xml"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error getting file via ftp\n\n550 ", 0), 0u) << ui.messages[0].text;
}

TEST_F(RemoteDocumentTest, ARefusedRenameWritesTheFileDirectlyAndSaysSo)
{
    StartWith({0, true, true, false});
    auto doc = Open("ftp://Local/pub/xml/a.xml");
    ASSERT_TRUE(doc);
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "direct", std::string(), nullptr, ""));
    ASSERT_TRUE(doc->Save());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_NE(Read(Root() / "pub" / "xml" / "a.xml").find("<direct/>"), std::string::npos);
    EXPECT_EQ(std::vector<std::string>{"The server refused to rename the uploaded copy to a.xml, so the file was "
                                       "written to it directly."},
              ui.Texts());
    EXPECT_EQ(std::set<std::string>{"a.xml"}, Names(Root() / "pub" / "xml"));
}

TEST_F(RemoteDocumentTest, ADownloadCutShortOrTricklingOpensNothing)
{
    // No SIZE, and the transfer ends early with a reply of success.
    StartWith({0, true, false, true, 20});
    EXPECT_FALSE(Open("ftp://Local/pub/xml/a.xml"));
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(text.rfind("Error getting file via ftp\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("20 of the 52 bytes the server lists"), std::string::npos) << text;
    EXPECT_TRUE(Names(copies.path()).empty());

    // A server trickling a hundred bytes a second stops below the low-speed
    // limit; meanwhile the progress window offered Cancel.
    // (A busy machine may have shown progress for the first download too.)
    ui.messages.clear();
    ui.progressTexts.clear();
    ui.progressUpdates = 0;
    Write(Root() / "slow.xml", "<slow>" + std::string(20000, ' ') + "</slow>");
    StartWith({100});
    const FtpTimeouts saved = GetFtpTimeouts();
    FtpTimeouts quick = saved; // only the stall window: a slow machine must not time out elsewhere
    quick.stallSeconds = 2;
    SetFtpTimeouts(quick);
    const auto start = std::chrono::steady_clock::now();
    // Only a guard against a test that would run for minutes: never reached
    // when the limit works.
    ui.onProgress = [&](std::uint64_t, std::uint64_t) {
        return std::chrono::steady_clock::now() - start < std::chrono::seconds(60);
    };
    auto slow = Open("ftp://Local/slow.xml");
    SetFtpTimeouts(saved);
    EXPECT_FALSE(slow);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("stalled"), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Getting slow.xml from Local..."});
    EXPECT_GT(ui.progressUpdates, 0);
    EXPECT_FALSE(ui.progressOpen);
    EXPECT_TRUE(Names(copies.path()).empty());
}

TEST_F(RemoteDocumentTest, LocalCopiesArePrivateAndGoWithTheirDocument)
{
    auto mode = [](const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    };
    auto doc = Open("ftp://Local/pub/xml/a.xml");
    ASSERT_TRUE(doc);
    const std::string copy = doc->LocalCopy();
    EXPECT_EQ(fs::path(copy).parent_path(), copies.path());
    EXPECT_EQ(fs::path(copy).filename().string().rfind("WDS" + std::to_string(::getpid()) + "-", 0), 0u) << copy;
    EXPECT_EQ(0600u, mode(copy));
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "added", std::string(), nullptr, ""));
    ASSERT_TRUE(doc->Save());
    EXPECT_EQ(0600u, mode(copy));
    doc.reset();
    EXPECT_TRUE(Names(copies.path()).empty());

    // A failed open and a failed upload of a local document leave nothing.
    EXPECT_FALSE(Open("ftp://Local/pub/none.xml"));
    const fs::path local = dir / "local.xml";
    Write(local, "<local/>\n");
    CBrindleDoc localDoc;
    ASSERT_TRUE(localDoc.OnOpenDocument(wxString::FromUTF8(local.string())));
    localDoc.SetPathName(wxString::FromUTF8(local.string()), false);
    Stop();
    EXPECT_FALSE(localDoc.UploadRemote("ftp://Local/local.xml"));
    EXPECT_FALSE(localDoc.IsRemote());
    EXPECT_TRUE(Names(copies.path()).empty());
}

TEST_F(RemoteDocumentTest, AStandardAddressAsksThePasswordOnceAndStoresNothing)
{
    Write(Root() / "remote.xml", "<remote/>\n");
    const std::string server = "127.0.0.1:" + std::to_string(Port());
    const std::string address = "ftp://" + std::string(kUser) + "@" + server + "/remote.xml";
    ui.passwords = {kPassword};
    auto doc = Open(address);
    ASSERT_TRUE(doc) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_EQ(ui.passwordPrompts, std::vector<std::string>{"Password for brindle on " + server + ":"});
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->nodeName(), "remote");
    EXPECT_EQ(doc->RemoteUrl(), address);
    EXPECT_EQ(doc->GetTitle().utf8_string(), address);

    // Saved back to the same server and file with the password given once.
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "added", std::string(), nullptr, ""));
    ASSERT_TRUE(doc->Save()) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_NE(Read(Root() / "remote.xml").find("<added/>"), std::string::npos);
    EXPECT_TRUE(doc->UploadRemote(wxString::FromUTF8(address)));
    EXPECT_EQ(ui.passwordPrompts.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    ExpectOnlyTheStoredServer(); // neither this server nor its password stored

    // A password in the address: percent-decoded like the user and the path,
    // used without asking, and shown nowhere.
    fs::create_directories(Root() / "sub dir");
    Write(Root() / "sub dir" / "my file.xml", "<mine/>\n");
    const std::string withPassword =
        "ftp://br%69ndle:s3cret%2DPw0rd@" + server + "/sub%20dir/my%20file.xml"; // %2D is "-"
    const std::string shown = "ftp://br%69ndle@" + server + "/sub%20dir/my%20file.xml";
    auto mine = std::make_unique<CBrindleDoc>();
    ASSERT_TRUE(mine->OnOpenDocument(wxString::FromUTF8(withPassword)))
        << (ui.messages.empty() ? "" : ui.messages[0].text);
    mine->SetPathName(wxString::FromUTF8(withPassword), true);
    EXPECT_EQ(mine->GetDomDocument()->documentElement()->nodeName(), "mine");
    EXPECT_EQ(mine->GetTitle().utf8_string(), shown);
    EXPECT_EQ(mine->GetFilename().utf8_string(), shown);
    EXPECT_EQ(mine->RemoteUrl(), shown);
    EXPECT_EQ(manager->GetHistoryFile(0).utf8_string(), shown);
    mine->Modify(true);
    ASSERT_TRUE(mine->Save());
    EXPECT_EQ(ui.passwordPrompts.size(), 1u);
    ExpectOnlyTheStoredServer();

    // A cancelled prompt opens nothing, and says nothing more.
    EXPECT_FALSE(Open(address));
    EXPECT_EQ(ui.passwordPrompts.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RemoteDocumentTest, AddressesOfNeitherFormAreExplainedAndOpenNothing)
{
    const auto expectExplained = [&](const std::string& address, const std::string& shown) {
        ui.messages.clear();
        EXPECT_FALSE(Open(address)) << address;
        ASSERT_EQ(ui.messages.size(), 1u) << address;
        EXPECT_EQ(ui.messages[0].text,
                  "The address " + shown +
                      " is not understood. Use ftp://SERVER/folder/file.xml, where SERVER is a server stored under "
                      "[FTP] Open FTP..., or ftp://user@host:port/folder/file.xml.");
    };
    const std::string host = "ftp://brindle@127.0.0.1:";
    const std::string port = std::to_string(Port());
    for (const std::string& address :
         std::vector<std::string>{"ftp://brindle@:" + port + "/top.xml", "ftp:///top.xml", host + "99999/top.xml",
                                  host + "abc/top.xml", host + port, host + port + "/pub/",
                                  "ftp://bad host:" + port + "/top.xml", "ftp://Local"})
        expectExplained(address, address);
    // The message keeps a password to itself.
    expectExplained("ftp://brindle:" + std::string(kPassword) + "@127.0.0.1:0/top.xml",
                    "ftp://brindle@127.0.0.1:0/top.xml");
    EXPECT_TRUE(ui.passwordPrompts.empty());
    EXPECT_TRUE(Names(copies.path()).empty());
}

TEST_F(RemoteDocumentTest, AStoredNameWinsAndOtherwiseTheLoginIsAnonymousFromTheLoginFolder)
{
    StoreServer("me:x@y", kPassword);
    DocErrors errors;
    const std::optional<RemoteLocation> stored = RemoteLocation::Find("ftp://me:x@y/top.xml", errors);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Address(), "ftp://me:x@y/top.xml");
    EXPECT_EQ(stored->Server()->GetHostname(), Host());

    const std::optional<RemoteLocation> anonymous = RemoteLocation::Find("ftp://example.org/pub/a.xml", errors);
    ASSERT_TRUE(anonymous);
    EXPECT_EQ(anonymous->Server()->GetUsername(), "anonymous");
    EXPECT_EQ(anonymous->Server()->GetHostname(), "example.org");
    EXPECT_EQ(anonymous->Server()->GetPort(), 21u);
    EXPECT_EQ(anonymous->Folder(), "pub");
    EXPECT_EQ(anonymous->File(), "a.xml");
    // "%2F" starts the path at the root.
    const auto folderOf = [&errors](const std::string& address) {
        const std::optional<RemoteLocation> where = RemoteLocation::Find(address, errors);
        return where ? where->Folder() : "<none>";
    };
    EXPECT_EQ(folderOf("ftp://example.org/%2Fpub/a.xml"), "/pub");
    EXPECT_EQ(folderOf("ftp://example.org/%2Fa.xml"), "/");
    EXPECT_EQ(folderOf("ftp://example.org/a.xml"), "");
    EXPECT_TRUE(ui.passwordPrompts.empty());
    EXPECT_TRUE(errors.Empty());
}

// Copies left by a run that has ended go at start-up; nothing else does.
TEST(TempCopiesTest, OnlyCopiesOfEndedRunsAreRemoved)
{
    test::TempDir folder;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0); // its id now names no running process
    const std::string ended = "WDS" + std::to_string(child) + "-";
    const std::string running = "WDS" + std::to_string(::getpid()) + "-";
    for (const std::string& name : {ended + "a1B2c3", ended + "zzzzzz", running + "a1B2c3", std::string("WDSa1B2c3"),
                                    ended + "short", std::string("other.txt")})
        test::WriteFile(folder / name, "text");
    fs::create_directory(folder / (ended + "folder"));
    fs::create_symlink(folder / "other.txt", folder / (ended + "link00"));

    EXPECT_EQ(2, RemoveStaleTempFiles(folder.path()));
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.path())) left.insert(entry.path().filename().string());
    EXPECT_EQ((std::set<std::string>{running + "a1B2c3", "WDSa1B2c3", ended + "short", "other.txt", ended + "folder",
                                     ended + "link00"}),
              left);
}

TEST_F(RemoteDocumentTest, FtpSaveAsPutsALocalDocumentOnTheServerAndItLivesThereAfter)
{
    const fs::path local = dir / "sub" / "local.xml";
    fs::create_directories(local.parent_path());
    Write(local, "<local/>\n");
    CBrindleDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(wxString::FromUTF8(local.string())));
    doc.SetPathName(wxString::FromUTF8(local.string()), false);

    std::vector<std::string> offered;
    std::string answer;
    CBrindleDocBase::SetRemoteSavePrompt([&](const CBrindleDocBase&, const std::string& path) {
        offered.push_back(path);
        return answer;
    });
    // Cancelled: nothing sent, nothing said.
    EXPECT_FALSE(doc.FtpSaveAs());
    EXPECT_FALSE(doc.IsRemote());
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], local.string());

    answer = "ftp://Local/pub/saved.xml";
    EXPECT_TRUE(doc.FtpSaveAs());
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_TRUE(doc.IsRemote());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle().utf8_string(), answer);
    EXPECT_EQ(doc.GetPathName().utf8_string(), answer);
    EXPECT_EQ(Read(Root() / "pub" / "saved.xml").find("<local/>") != std::string::npos, true);

    // Now remote, it offers its address; a name the server cannot write is told with the command's text.
    answer = "ftp://Local/pub/xml";
    EXPECT_FALSE(doc.FtpSaveAs());
    EXPECT_EQ(offered.back(), "ftp://Local/pub/saved.xml");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Error saving remote file", 0), 0u) << ui.messages[0].text;
    EXPECT_EQ(doc.GetPathName().utf8_string(), "ftp://Local/pub/saved.xml");
    CBrindleDocBase::SetRemoteSavePrompt(nullptr);
}

TEST(TempCopiesTest, RemoteNamesBecomeOnlyPlainLocalNames)
{
    EXPECT_EQ("passwd", SafeLocalName("../../etc/passwd", "fallback"));
    EXPECT_EQ("a.xml", SafeLocalName("/pub/a.xml", "fallback"));
    EXPECT_EQ("a.xml", SafeLocalName("a.xml", "fallback"));
    for (const char* unsafe : {"", "..", "/pub/..", ".", "pub/", "a\nb", "a\rDELE x", "bad\xff"})
        EXPECT_EQ("fallback", SafeLocalName(unsafe, "fallback")) << unsafe;
    const fs::path folder = "/tmp/copies";
    for (const char* name : {"../../etc/passwd", "..", "x/../..", "a.xml"})
        EXPECT_EQ(folder, (folder / SafeLocalName(name, "f")).parent_path()) << name;
}

// Remote names from an address never become local paths: a path that climbs
// out of folders is fetched into a copy in the copies' folder, and an address
// whose file is no plain name opens nothing.
TEST_F(RemoteDocumentTest, RemoteNamesNeverLeaveTheCopiesFolder)
{
    fs::create_directories(Root() / "etc");
    Write(Root() / "etc" / "passwd", "<passwd/>\n");
    auto doc = Open("ftp://Local/pub/../../etc/passwd");
    ASSERT_TRUE(doc) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_EQ(fs::path(doc->LocalCopy()).parent_path(), copies.path());
    EXPECT_EQ(1u, Names(copies.path()).size());
    EXPECT_EQ("<passwd/>\n", Read(doc->LocalCopy()));
    // Save As offers the remote file's plain name.
    wxString offered;
    CBrindleDocBase::SetSavePathPrompt([&](const CBrindleDocBase&, const wxString& name) {
        offered = name;
        return wxString();
    });
    EXPECT_FALSE(doc->SaveAs());
    CBrindleDocBase::SetSavePathPrompt(nullptr);
    EXPECT_EQ("passwd", offered.utf8_string());

    const std::string host = "ftp://" + std::string(Host()) + ":" + std::to_string(Port());
    for (const std::string& address : std::vector<std::string>{"ftp://Local/pub/..", "ftp://Local/pub/.", "ftp://Local/pub/a\r\nb",
                                      host + "/pub/%2E%2E", host + "/pub/x%2F.."}) {
        SCOPED_TRACE(address);
        ui.messages.clear();
        EXPECT_FALSE(Open(address));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].text.find("names no file"), std::string::npos) << ui.messages[0].text;
    }
    EXPECT_EQ(1u, Names(copies.path()).size());
    EXPECT_FALSE(fs::exists(Root() / "x"));
}
