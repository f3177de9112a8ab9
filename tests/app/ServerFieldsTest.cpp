// The server configuration dialog's values: presets and what is refused.
#include "app/explorer/ServerFields.h"
#include "brindlekit/ftp/FTPFolderServer.h"

#include <gtest/gtest.h>

namespace {

ServerFields Valid() { return {"Home", "ftp.example.org", "/", "me", "pw", "21"}; }

} // namespace

TEST(ServerFieldsTest, PresetsForANewServerAndFromAStoredOne)
{
    const ServerFields added = ServerFields::ForNewServer();
    EXPECT_EQ(added.initialDir, "/");
    EXPECT_EQ(added.port, "21");
    EXPECT_EQ(added.entryName, "");

    const brindle::CFTPFolderServer server("Work", "10.0.0.2", "ann", "pw", "/srv", 70000);
    const ServerFields stored = ServerFields::From(server);
    EXPECT_EQ(stored.entryName, "Work");
    EXPECT_EQ(stored.host, "10.0.0.2");
    EXPECT_EQ(stored.user, "ann");
    EXPECT_EQ(stored.password, "pw");
    EXPECT_EQ(stored.initialDir, "/srv");
    EXPECT_EQ(stored.port, "70000");
    EXPECT_FALSE(ValidateServerFields(stored));
    EXPECT_EQ(ServerPort(stored), 70000u);
}

TEST(ServerFieldsTest, TextsUpTo255CharactersAndPortsFrom1To99999Pass)
{
    ServerFields fields = Valid();
    EXPECT_FALSE(ValidateServerFields(fields));
    fields.host = std::string(255, 'h');
    fields.port = "99999";
    EXPECT_FALSE(ValidateServerFields(fields));
    fields.user = "";
    for (int i = 0; i < 255; ++i) fields.user += "\xC3\xA9"; // 255 characters of two bytes each
    EXPECT_FALSE(ValidateServerFields(fields));
    fields.port = " 1 ";
    EXPECT_FALSE(ValidateServerFields(fields));
    EXPECT_EQ(ServerPort(fields), 1u);
}

TEST(ServerFieldsTest, EachFaultIsNamedAndThePasswordNeverShown)
{
    const auto refused = [](auto change) {
        ServerFields fields = Valid();
        change(fields);
        const auto message = ValidateServerFields(fields);
        return message ? *message : std::string();
    };
    EXPECT_EQ(refused([](ServerFields& f) { f.password = std::string(256, 'p'); }),
              "Password: enter no more than 255 characters.");
    EXPECT_EQ(refused([](ServerFields& f) { f.initialDir = std::string(256, 'd'); }),
              "Initial Directory: enter no more than 255 characters.");
    EXPECT_EQ(refused([](ServerFields& f) { f.entryName = "  "; }), "Connection Name: enter a name for the server.");
    EXPECT_NE(refused([](ServerFields& f) { f.entryName = "a/b"; }), "");
    EXPECT_NE(refused([](ServerFields& f) { f.entryName = "a\\b"; }), "");
    EXPECT_EQ(refused([](ServerFields& f) { f.host = ""; }), "Hostname: enter the server's host name or address.");
    for (const char* port : {"0", "100000", "", "21a", "-5", "99999999999999999999"})
        EXPECT_EQ(refused([&](ServerFields& f) { f.port = port; }), "Port: enter a whole number from 1 to 99999.")
            << port;
}
