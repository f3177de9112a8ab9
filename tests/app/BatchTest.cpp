#include "app/batch/BatchRun.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

using brindle::test::ReadFile;
using brindle::test::WriteFile;

namespace {

constexpr const char* kValid = "<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b (#PCDATA)>]>\n"
                               "<a><b>x</b></a>\n";
constexpr const char* kNotValid = "<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ELEMENT a (b*)><!ELEMENT b (#PCDATA)>]>\n"
                                  "<a><b>x</b>\n  <c/></a>\n";
constexpr const char* kNotWellFormed = "<a>\n<b>x</a>\n";
constexpr const char* kUpperCase = "Function Main(text)\n  Main = UCase(text)\nEnd Function\n";

class BatchTest : public ShellFixture {
protected:
    std::string File(const std::string& name, const std::string& text)
    {
        WriteFile(dir / name, text);
        return (dir / name).string();
    }
    int Run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return RunBatch(args, out, err);
    }
    std::ostringstream out, err;
};

} // namespace

TEST_F(BatchTest, ValidateReportsEachFailingFileAtItsPlace)
{
    const std::string good = File("good.xml", kValid);
    EXPECT_EQ(Run({"--validate", good}), 0);
    EXPECT_EQ(err.str(), "");

    const std::string bad = File("bad.xml", kNotValid), broken = File("broken.xml", kNotWellFormed);
    const std::string missing = (dir / "missing.xml").string();
    EXPECT_EQ(Run({"--validate", good, bad, broken, missing}), 1);
    const std::string messages = err.str();
    EXPECT_NE(messages.find(bad + ":4:"), std::string::npos) << messages;
    EXPECT_NE(messages.find(broken + ":2:"), std::string::npos) << messages;
    EXPECT_NE(messages.find(missing + ": cannot read the file"), std::string::npos) << messages;
    EXPECT_EQ(messages.find(good), std::string::npos) << messages;
    // One line per failing file.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 3) << messages;
}

TEST_F(BatchTest, BadUsageExitsWithTwoAndTheUsage)
{
    const std::string good = File("good.xml", kValid);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--validate"},
             {"--transform", "a.xsl", good},
             {"--format", good, "b", "c"},
             {"--run-plugin", "x.vbs"},
             {"--xpath", "//a"},
             {"--validate", good, "--frobnicate"},
             {"--validate", good, "--xpath", "//a"},
             {"--validate", good, "--stdout"},
             {"--xpath", "//a", good, "--ns", "nobinding"},
         }) {
        EXPECT_EQ(Run(args), 2) << args.front() << " " << args.back();
        EXPECT_NE(err.str().find("Usage: Brindle"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    // "--" makes a file of what looks like an option.
    File("--weird.xml", kValid);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(Run({"--validate", "--", "--weird.xml"}), 0) << err.str();
    std::filesystem::current_path(previous);
}

TEST_F(BatchTest, TransformWritesTheOutputOrNothing)
{
    const std::string in = File("in.xml", kValid);
    const std::string xsl = File("t.xsl", "<xsl:stylesheet version=\"1.0\" "
                                          "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                                          "<xsl:output method=\"text\"/>"
                                          "<xsl:template match=\"/\">n=<xsl:value-of select=\"count(//b)\"/>"
                                          "</xsl:template></xsl:stylesheet>");
    const std::string result = (dir / "out.txt").string();
    EXPECT_EQ(Run({"--transform", xsl, in, result}), 0) << err.str();
    EXPECT_EQ(ReadFile(result), "n=1");

    const std::string other = (dir / "other.txt").string();
    EXPECT_EQ(Run({"--transform", (dir / "none.xsl").string(), in, other}), 1);
    EXPECT_NE(err.str().find(in + ": "), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_EQ(Run({"--transform", xsl, File("broken.xml", kNotWellFormed), other}), 1);
    EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(BatchTest, FormatRewritesInPlaceToAnotherFileOrToStandardOutput)
{
    const std::string text = "<a><b>hi</b><e/></a>";
    const std::string formatted = "<a>\n\t<b>hi</b>\n\t<e/>\n</a>\n";
    const std::string in = File("in.xml", text);
    EXPECT_EQ(Run({"--format", in, "--stdout"}), 0) << err.str();
    EXPECT_EQ(out.str(), formatted);
    EXPECT_EQ(ReadFile(in), text);

    const std::string copy = (dir / "copy.xml").string();
    EXPECT_EQ(Run({"--format", in, copy}), 0) << err.str();
    EXPECT_EQ(ReadFile(in), text);
    EXPECT_EQ(ReadFile(copy), "<a>\r\n\t<b>hi</b>\r\n\t<e/>\r\n</a>\r\n");

    EXPECT_EQ(Run({"--format", in}), 0) << err.str();
    EXPECT_EQ(ReadFile(in), ReadFile(copy));

    // Text that does not parse is left as it was.
    const std::string broken = File("broken.xml", kNotWellFormed);
    EXPECT_EQ(Run({"--format", broken}), 1);
    EXPECT_NE(err.str().find(broken + ":2:"), std::string::npos) << err.str();
    EXPECT_EQ(ReadFile(broken), kNotWellFormed);
}

TEST_F(BatchTest, PluginRunsOverEveryFile)
{
    const std::string script = File("upper.vbs", kUpperCase);
    const std::string one = File("one.xml", "<a>one</a>\n<!-- x -->"), two = File("two.xml", "<b>two</b>");
    EXPECT_EQ(Run({"--run-plugin", script, one, two}), 0) << err.str();
    EXPECT_EQ(ReadFile(one), "<A>ONE</A>\n<!-- X -->"); // the file's own line breaks kept
    EXPECT_EQ(ReadFile(two), "<B>TWO</B>");

    const std::string three = File("three.xml", "<c>three</c>");
    EXPECT_EQ(Run({"--run-plugin", script, three, "--stdout"}), 0) << err.str();
    EXPECT_EQ(out.str(), "<C>THREE</C>\n");
    EXPECT_EQ(ReadFile(three), "<c>three</c>");

    // A script that fails says where and leaves the files alone; the others still run.
    const std::string failing = File("fail.vbs", "Function Main(text)\n  Main = 1 / 0\nEnd Function\n");
    EXPECT_EQ(Run({"--run-plugin", failing, three}), 1);
    EXPECT_NE(err.str().find(failing + ":2:"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Division by zero"), std::string::npos) << err.str();
    EXPECT_EQ(ReadFile(three), "<c>three</c>");
    EXPECT_EQ(Run({"--run-plugin", script, (dir / "missing.xml").string(), three}), 1);
    EXPECT_EQ(ReadFile(three), "<C>THREE</C>");
    EXPECT_EQ(Run({"--run-plugin", (dir / "none.vbs").string(), three}), 1);
    EXPECT_NE(err.str().find("failed to open script file"), std::string::npos) << err.str();
}

TEST_F(BatchTest, XPathFindsNodesInANamespacedDocument)
{
    const std::string doc = File("ns.xml", "<?xml version=\"1.0\"?>\n<r xmlns=\"urn:x\" xmlns:p=\"urn:p\">"
                                           "<i id=\"1\">one</i><i id=\"2\">t\two</i><p:q>x\ny</p:q></r>");
    EXPECT_EQ(Run({"--xpath", "//d:i/@id", doc}), 0) << err.str();
    EXPECT_EQ(out.str(), "/d:r/d:i[1]/@id\t1\n/d:r/d:i[2]/@id\t2\n");
    EXPECT_EQ(Run({"--xpath", "//p:q/text()", doc}), 0) << err.str();
    EXPECT_EQ(out.str(), "/d:r/p:q/text()\tx\\ny\n");
    EXPECT_EQ(Run({"--xpath", "string(//y:i[2])", "--ns", "y=urn:x", doc}), 0) << err.str();
    EXPECT_EQ(out.str(), "t\\two\n");
    EXPECT_EQ(Run({"--xpath", "count(//d:i) div 4", doc}), 0);
    EXPECT_EQ(out.str(), "0.5\n");
    EXPECT_EQ(Run({"--xpath", "count(//i) = 0", doc, doc}), 0); // no prefix: no namespace
    EXPECT_EQ(out.str(), doc + ":true\n" + doc + ":true\n");

    EXPECT_EQ(Run({"--xpath", "//d:i[", doc}), 1);
    EXPECT_NE(err.str().find(doc + ": \"//d:i[\" is not a valid XPath expression"), std::string::npos) << err.str();
}

// The program itself answers without a display.
TEST_F(BatchTest, TheProgramRunsWithoutADisplay)
{
    const std::string bad = File("bad.xml", kNotValid), good = File("good.xml", kValid);
    const auto status = [&](const std::string& args, std::string& output) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY BRINDLE_CONFIG_DIR=" + dir.path().string() +
                                    " " BRINDLE_PROGRAM " " + args + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        output.clear();
        char chunk[256];
        while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
        const int rc = ::pclose(pipe);
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    };
    std::string output;
    EXPECT_EQ(status("--validate " + good, output), 0) << output;
    EXPECT_EQ(status("--validate " + good + " " + bad, output), 1);
    EXPECT_EQ(output.rfind(bad + ":4:", 0), 0u) << output;
    EXPECT_EQ(status("--format", output), 2);
    EXPECT_NE(output.find("--run-plugin SCRIPT.vbs FILE..."), std::string::npos) << output;
    EXPECT_EQ(status("--version", output), 0);
    EXPECT_EQ(output.rfind("Brindle ", 0), 0u) << output;
}
