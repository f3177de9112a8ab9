// Documents on an FTP server (a real one on 127.0.0.1): opened by address,
// edited, saved back; and the failures a user meets.
#include "app/document/BrindleDoc.h"
#include "platform/settings/Profile.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/FtpServerFixture.h"
#include "tests/support/RecordingUIServices.h"

#include <fstream>
#include <sstream>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

class RemoteDocumentTest : public BasicDocManagerFixture<test::FtpServerFixture> {
protected:
    void SetUp() override
    {
        BasicDocManagerFixture<test::FtpServerFixture>::SetUp();
        StoreServer("Local", kPassword);
        fs::create_directories(Root() / "pub" / "xml");
        Write(Root() / "pub" / "xml" / "a.xml", "<?xml version=\"1.0\"?>\n<list><item>one</item></list>\n");
        Write(Root() / "top.xml", "<top/>\n");
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

    std::unique_ptr<CBrindleDoc> Open(const std::string& address)
    {
        auto doc = std::make_unique<CBrindleDoc>();
        if (!doc->OnOpenDocument(wxString::FromUTF8(address))) return nullptr;
        doc->SetPathName(wxString::FromUTF8(address), false);
        return doc;
    }

    test::RecordingUIServices ui;
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
