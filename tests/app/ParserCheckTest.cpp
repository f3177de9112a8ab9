#include "app/shell/ParserCheck.h"
#include "tests/app/ShellFixture.h"
#include "tests/support/RecordingUIServices.h"

using ParserCheckTest = ShellFixture;
using namespace brindle;

TEST_F(ParserCheckTest, FreshSettingsPassSilentlyAndStoreTheDefault)
{
    test::RecordingUIServices ui;
    EXPECT_TRUE(CheckParserPresence());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Stored("parserAppId"), "Msxml2.DOMDocument");
}

TEST_F(ParserCheckTest, ClassIdentifierIsAccepted)
{
    test::RecordingUIServices ui;
    Settings::WriteParserAppId("{F5078F32-C551-11D3-89B9-0000F81FE221}");
    EXPECT_TRUE(CheckParserPresence());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ParserCheckTest, BadIdentifierIsNamedResetAndStartUpGoesOn)
{
    test::RecordingUIServices ui;
    Settings::WriteParserAppId("No.Such.Parser");
    EXPECT_TRUE(CheckParserPresence());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to create instance of No.Such.Parser");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(Stored("parserAppId"), "Msxml2.DOMDocument");
}
