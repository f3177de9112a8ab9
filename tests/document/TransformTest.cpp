#include "app/document/Transform.h"
#include "tests/app/ShellFixture.h"
#include "tests/document/FormatTestSupport.h"
#include "tests/support/RecordingUIServices.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace brindle;
using brindle::test::ParseOrFail;
using brindle::test::ReadFile;
using brindle::test::WriteFile;

namespace {

const char* const kTextStylesheet =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
    "  <xsl:output method=\"text\"/>\n"
    "  <xsl:template match=\"/\">items: <xsl:for-each select=\"//item\"><xsl:value-of select=\".\"/>;"
    "</xsl:for-each></xsl:template>\n"
    "</xsl:stylesheet>\n";

class TransformTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        dom = ParseOrFail("<?xml-stylesheet type=\"text/xsl\" href=\"style.xsl\"?><list><item>caf\xC3\xA9</item>"
                          "<item>b &amp; c</item></list>");
        xsl = (dir / "style.xsl").string();
        WriteFile(xsl, kTextStylesheet);
        output = (dir / "out.txt").string();
    }

    bool Run(const std::string& out, const std::string& stylesheet, bool openAfter = false)
    {
        DocErrors errors;
        const bool done = TransformDocument(
            dom, out, stylesheet, openAfter, [this](const std::string& path) { opened.push_back(path); }, errors);
        errors.Tell();
        return done;
    }

    brindle::test::RecordingUIServices ui;
    XmlDocumentPtr dom;
    std::string xsl;
    std::string output;
    std::vector<std::string> opened;
};

TEST_F(TransformTest, WritesTheResultAndOpensItWhenAsked)
{
    ASSERT_TRUE(dom);
    EXPECT_TRUE(Run(output, xsl));
    EXPECT_EQ(ReadFile(output), "items: caf\xC3\xA9;b & c;");
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.waitDepth, 0);

    // An existing output is replaced as a whole.
    WriteFile(output, std::string(10000, 'z'));
    EXPECT_TRUE(Run(output, xsl, true));
    EXPECT_EQ(ReadFile(output), "items: caf\xC3\xA9;b & c;");
    EXPECT_EQ(opened, std::vector<std::string>{output});
}

TEST_F(TransformTest, MissingArgumentsAndAnUnknownParser)
{
    EXPECT_FALSE(Run("", xsl, true));
    EXPECT_FALSE(Run(output, "", true));
    Settings::WriteParserAppId("No.Such.Parser");
    EXPECT_FALSE(Run(output, xsl, true));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"No output file specified",
                                                    "Unable to transform document. No XSL File specified.",
                                                    "failed to create instance of DOM"}));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(opened.empty());
}

TEST_F(TransformTest, AStylesheetThatIsMissingOrNotXsltFailsTheTransformation)
{
    const std::string missing = (dir / "missing.xsl").string();
    const std::string notXslt = (dir / "plain.xsl").string();
    WriteFile(notXslt, "<just-a-document/>");
    const std::string broken = (dir / "broken.xsl").string();
    WriteFile(broken, "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                      "<xsl:template match=\"/\"><xsl:value-of select=\"((\"/></xsl:template></xsl:stylesheet>");
    WriteFile(output, "previous");
    for (const std::string& stylesheet : {missing, notXslt, broken}) {
        SCOPED_TRACE(stylesheet);
        ui.messages.clear();
        EXPECT_FALSE(Run(output, stylesheet, true));
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string prefix = "Error while transforming due to the following error: ";
        EXPECT_EQ(ui.messages[0].text.rfind(prefix, 0), 0u) << ui.messages[0].text;
        EXPECT_GT(ui.messages[0].text.size(), prefix.size());
    }
    EXPECT_EQ(ReadFile(output), "previous");
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(TransformTest, AnOutputThatCannotBeWrittenShowsTheSystemErrorAndKeepsTheOldFile)
{
    const std::string inMissingFolder = (dir / "no-such-folder" / "out.txt").string();
    EXPECT_FALSE(Run(inMissingFolder, xsl, true));

    const std::string readOnly = (dir / "readonly.txt").string();
    WriteFile(readOnly, "keep me");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_FALSE(Run(readOnly, xsl, true));
    EXPECT_EQ(ReadFile(readOnly), "keep me");

    const std::string folder = (dir / "prog").string();
    EXPECT_FALSE(Run(folder, xsl, true));

    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Error saving transformed document to " + inMissingFolder + std::strerror(ENOENT));
    EXPECT_EQ(ui.messages[1].text, "Error saving transformed document to " + readOnly + std::strerror(EACCES));
    EXPECT_EQ(ui.messages[2].text, "Error saving transformed document to " + folder + std::strerror(EISDIR));
    for (const auto& message : ui.messages) EXPECT_EQ(message.icon, MsgIcon::Information);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << "temporary file left: " << entry.path();
}

TEST_F(TransformTest, TheProposedStylesheetIsFoundBesideTheDocument)
{
    const std::string documentPath = (dir / "list.xml").string();
    ASSERT_TRUE(dom);
    const std::string proposal = ProposeStylesheet(dom);
    EXPECT_EQ(proposal, "style.xsl");
    const std::string resolved = ResolveStylesheetPath(proposal, documentPath);
    EXPECT_EQ(resolved, xsl);
    EXPECT_TRUE(Run(output, resolved));
    EXPECT_EQ(ReadFile(output), "items: caf\xC3\xA9;b & c;");
}

TEST(StylesheetProposal, TakesTheDoubleQuotedHrefOfTheLastTopLevelInstruction)
{
    const auto propose = [](const std::string& text) {
        XmlDocumentPtr dom = ParseOrFail(text);
        return dom ? ProposeStylesheet(dom) : std::string("<unparsed>");
    };
    EXPECT_EQ(propose("<r/>"), "");
    EXPECT_EQ(propose("<?xml-stylesheet type=\"text/xsl\" href=\"a b/s.xsl\"?><r/>"), "a b/s.xsl");
    EXPECT_EQ(propose("<?xml-stylesheet href=\"one.xsl\"?><?xml-stylesheet href=\"two.xsl\"?><r/>"), "two.xsl");
    EXPECT_EQ(propose("<?xml-stylesheet href=\"one.xsl\"?><r/><?xml-stylesheet href=\"after.xsl\"?>"), "after.xsl");
    EXPECT_EQ(propose("<?xml-stylesheet href='single.xsl'?><r/>"), "");
    EXPECT_EQ(propose("<?xml-stylesheet type=\"text/xsl\"?><r/>"), "");
    EXPECT_EQ(propose("<?xml-stylesheet href=\"one.xsl\"?><?xml-stylesheet type=\"text/css\"?><r/>"), "");
    EXPECT_EQ(propose("<?xml-stylesheet href=\"unterminated?><r/>"), "");
    EXPECT_EQ(propose("<?other href=\"no.xsl\"?><r><?xml-stylesheet href=\"inner.xsl\"?></r>"), "");
    EXPECT_EQ(ProposeStylesheet(nullptr), "");
}

TEST(StylesheetPath, RelativePathsAreTakenBesideTheDocument)
{
    EXPECT_EQ(ResolveStylesheetPath("s.xsl", "/home/u/docs/a.xml"), "/home/u/docs/s.xsl");
    EXPECT_EQ(ResolveStylesheetPath("sub/s.xsl", "/home/u/docs/a.xml"), "/home/u/docs/sub/s.xsl");
    EXPECT_EQ(ResolveStylesheetPath("/etc/s.xsl", "/home/u/docs/a.xml"), "/etc/s.xsl");
    EXPECT_EQ(ResolveStylesheetPath("", "/home/u/docs/a.xml"), "");
    EXPECT_EQ(ResolveStylesheetPath("s.xsl", ""), "s.xsl");
    EXPECT_EQ(ResolveStylesheetPath("s.xsl", "ftp://server/dir/a.xml"), "s.xsl");
}

} // namespace
