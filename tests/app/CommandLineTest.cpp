#include "app/shell/CommandLine.h"

#include <gtest/gtest.h>

using Files = std::vector<std::string>;

TEST(CommandLine, EveryFileInOrderAndTheSwitches)
{
    CommandLine line = ParseCommandLine({"a.xml", "-nosplash", "ftp://u@host:21/b.xml", "c.dtd"});
    EXPECT_EQ(line.files, (Files{"a.xml", "ftp://u@host:21/b.xml", "c.dtd"}));
    EXPECT_FALSE(line.splash);
    EXPECT_FALSE(line.help || line.version);
    EXPECT_TRUE(line.unknownOption.empty());

    EXPECT_TRUE(ParseCommandLine({}).splash);
    EXPECT_FALSE(ParseCommandLine({"-Embedding"}).splash);
    EXPECT_FALSE(ParseCommandLine({"--automation"}).splash);
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"-h"}).help);
    EXPECT_TRUE(ParseCommandLine({"x.xml", "--version"}).version);

    // After "--" everything is a file.
    line = ParseCommandLine({"--", "-x.xml", "--help"});
    EXPECT_EQ(line.files, (Files{"-x.xml", "--help"}));
    EXPECT_FALSE(line.help);

    // The toolkit's options and their values are not files; others are wrong.
    EXPECT_EQ(ParseCommandLine({"--display", ":1", "a.xml", "--display=:2", "--sync"}).files, Files{"a.xml"});
    line = ParseCommandLine({"--frobnicate", "a.xml", "-q"});
    EXPECT_EQ(line.unknownOption, "--frobnicate");
    EXPECT_EQ(line.files, Files{"a.xml"});
}

TEST(CommandLine, UsageNamesTheSwitchesAndTheAddressForms)
{
    const std::string usage = UsageText();
    for (const char* part : {"--help", "--version", "-nosplash", "ftp://SERVER/", "ftp://user@host:port/"})
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    EXPECT_EQ(VersionText().rfind("Brindle ", 0), 0u);
}
