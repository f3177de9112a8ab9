#include "app/batch/BatchRun.h"
#include "app/settings/Settings.h"
#include "tests/app/ShellFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
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
    // Runs the program without a display, with the environment settings env
    // ("NAME=value ..."); its exit status, and in output what it printed.
    int Program(const std::string& env, const std::string& args, std::string& output)
    {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY BRINDLE_CONFIG_DIR=" + dir.path().string() +
                                    " " + env + " " BRINDLE_PROGRAM " " + args + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        output.clear();
        char chunk[256];
        while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
        const int rc = ::pclose(pipe);
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
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
    // One line per error: both of bad.xml's, the first of broken.xml's.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 4) << messages;
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

TEST_F(BatchTest, PluginWritesThatFailAreReportedInFileOrder)
{
    const std::string script = File("double.vbs", "Function Main(text)\n  Main = text & text\nEnd Function\n");
    const std::string small = "<s/>", large = "<large>" + std::string(40, 'x') + "</large>";
    std::vector<std::string> args{"--run-plugin", script}, expected;
    for (int i = 0; i < 12; ++i) {
        args.push_back(File("f" + std::to_string(i) + ".xml", i % 3 ? small : large));
        if (i % 3 == 0) expected.push_back(args.back());
    }
    // Files may not grow past 64 bytes for the run: the large ones' writes fail.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = previous;
    capped.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0);
    const int status = Run(args);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(status, 1);
    std::string messages;
    for (const std::string& file : expected) messages += file + ": cannot write the file: File too large\n";
    EXPECT_EQ(err.str(), messages);
    for (size_t i = 2; i < args.size(); ++i)
        EXPECT_EQ(ReadFile(args[i]), (i - 2) % 3 ? small + small : large) << args[i];
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

TEST_F(BatchTest, CatalogAndXIncludeSettingsReachTheCommands)
{
    // Through the user catalog, an article validates offline.
    const std::string article =
        File("article.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE article PUBLIC \"-//Brindle Test//DTD Article 1.0//EN\" "
                            "\"http://brindle.invalid/dtd/article.dtd\">\n<article>\n<para>no title</para></article>\n");
    // The DTD out of reach is said, never taken for valid.
    EXPECT_EQ(Run({"--validate", article}), 1);
    EXPECT_NE(err.str().find("no DTD found"), std::string::npos) << err.str();
    Settings::WriteString(Settings::Key::kUserCatalog, BRINDLE_TEST_DATA "/catalog/catalog.xml");
    EXPECT_EQ(Run({"--validate", article}), 1);
    EXPECT_NE(err.str().find(article + ":4:"), std::string::npos) << err.str();
    // A catalog that cannot be used is named; the run goes on without it.
    const std::string notCatalog = File("notes.xml", "<notes/>");
    Settings::WriteString(Settings::Key::kUserCatalog, notCatalog);
    EXPECT_EQ(Run({"--validate", article}), 1);
    EXPECT_EQ(err.str().rfind("Brindle: The file " + notCatalog + " is not an XML catalog.\n", 0), 0u) << err.str();
    Settings::WriteString(Settings::Key::kUserCatalog, "");
    EXPECT_EQ(Run({"--validate", article}), 1);

    // The included para satisfies the DTD, and the transformation counts it.
    File("para.xml", "<para>included</para>");
    const std::string including = File("including.xml", R"(<!DOCTYPE article [
<!ELEMENT article (title, para+)>
<!ATTLIST article xmlns:xi CDATA #FIXED "http://www.w3.org/2001/XInclude">
<!ELEMENT title (#PCDATA)> <!ELEMENT para (#PCDATA)>
<!ELEMENT xi:include EMPTY> <!ATTLIST xi:include href CDATA #REQUIRED>
]>
<article xmlns:xi="http://www.w3.org/2001/XInclude"><title/><xi:include href="para.xml"/></article>)");
    const std::string xsl = File("count.xsl", "<xsl:stylesheet version=\"1.0\" "
                                              "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                                              "<xsl:output method=\"text\"/><xsl:template match=\"/\">"
                                              "<xsl:value-of select=\"count(//para)\"/></xsl:template></xsl:stylesheet>");
    const std::string result = (dir / "count.txt").string();
    EXPECT_EQ(Run({"--validate", including}), 1);
    EXPECT_EQ(Run({"--transform", xsl, including, result}), 0) << err.str();
    EXPECT_EQ(ReadFile(result), "0");
    Settings::WriteInt(Settings::Key::kProcessXIncludes, 1);
    EXPECT_EQ(Run({"--validate", including}), 0) << err.str();
    EXPECT_EQ(Run({"--transform", xsl, including, result}), 0) << err.str();
    EXPECT_EQ(ReadFile(result), "1");
    EXPECT_NE(ReadFile(including).find("para.xml\"/></article>"), std::string::npos); // the file is not touched

    const std::string remote = File("remote.xml", "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\">\n"
                                                  "<xi:include href=\"http://127.0.0.1:9/p.xml\"/></r>");
    EXPECT_EQ(Run({"--validate", remote}), 1);
    EXPECT_EQ(err.str(), remote + ":2:1: XInclude refused: http://127.0.0.1:9/p.xml is not a local file.\n");
    EXPECT_EQ(Run({"--transform", xsl, remote, result}), 1);
    EXPECT_NE(err.str().find("XInclude refused: http://127.0.0.1:9/p.xml"), std::string::npos) << err.str();
}

// The program itself answers without a display.
TEST_F(BatchTest, TheProgramRunsWithoutADisplay)
{
    const std::string bad = File("bad.xml", kNotValid), good = File("good.xml", kValid);
    const auto status = [&](const std::string& args, std::string& output) { return Program("", args, output); };
    std::string output;
    EXPECT_EQ(status("--validate " + good, output), 0) << output;
    EXPECT_EQ(status("--validate " + good + " " + bad, output), 1);
    EXPECT_EQ(output.rfind(bad + ":4:", 0), 0u) << output;
    EXPECT_EQ(status("--format", output), 2);
    EXPECT_NE(output.find("--run-plugin SCRIPT.vbs FILE..."), std::string::npos) << output;
    EXPECT_EQ(status("--version", output), 0);
    EXPECT_EQ(output.rfind("Brindle ", 0), 0u) << output;
}

// The system catalog (here named by XML_CATALOG_FILES, read once as the program
// starts) resolves as the user catalog does.
TEST_F(BatchTest, TheSystemCatalogResolvesIdentifiers)
{
    const std::string article =
        File("article.xml", "<!DOCTYPE article PUBLIC \"-//Brindle Test//DTD Article 1.0//EN\" "
                            "\"http://brindle.invalid/dtd/article.dtd\">\n<article>\n<para>no title</para></article>\n");
    std::string output;
    EXPECT_EQ(Program("XML_CATALOG_FILES=/nonexistent", "--validate " + article, output), 1) << output;
    EXPECT_NE(output.find("no DTD found"), std::string::npos) << output;
    EXPECT_EQ(Program("XML_CATALOG_FILES=" BRINDLE_TEST_DATA "/catalog/catalog.xml", "--validate " + article, output),
              1);
    EXPECT_EQ(output.rfind(article + ":3:", 0), 0u) << output;
}
