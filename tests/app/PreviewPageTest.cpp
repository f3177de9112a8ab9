#include "app/views/PreviewLoadRules.h"
#include "app/views/PreviewPage.h"

#include <gtest/gtest.h>

using brindle::PreviewOutput;

namespace {

const std::string kBase = "file:///docs/a%20b/";

std::string Page(const std::string& content, const char* type = "text/html")
{
    return MakePreviewPage(PreviewOutput{content, type}, kBase);
}

// Where the policy stands in the page.
std::size_t PolicyAt(const std::string& page) { return page.find("Content-Security-Policy"); }

} // namespace

TEST(PreviewPage, TheHeadGetsThePolicyAndTheBaseAheadOfThePagesOwnMarkup)
{
    // After a leading doctype, so that the page keeps its rendering mode.
    const std::string doctype = "<!DOCTYPE html>";
    const std::string withHead = Page(doctype + "<HTML><Head lang=\"en\"><title>t</title></Head><body/></HTML>");
    EXPECT_EQ(withHead.find("<meta charset=\"utf-8\">"), doctype.size());
    EXPECT_LT(PolicyAt(withHead), withHead.find("<HTML>"));
    EXPECT_NE(withHead.find("script-src 'unsafe-eval'"), std::string::npos);
    EXPECT_NE(withHead.find("<base href=\"file:///docs/a%20b/\">"), std::string::npos);
    // An XML declaration and white space may come first too; a lower-case doctype
    // is one.
    const std::string xhtml = Page("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!doctype html>\n<html><body/></html>");
    EXPECT_EQ(xhtml.find("<meta charset"), xhtml.find("<!doctype html>") + 15);
    // A page with no head or html tag gets the items first.
    EXPECT_EQ(Page("<p>bare</p>").find("<meta charset"), 0u);
    EXPECT_EQ(Page("<html><body><header>x</header></body></html>").find("<meta charset"), 0u);
    // Text is shown as it is, escaped.
    const std::string text = Page("a < b & \"c\"", "text/plain");
    EXPECT_NE(text.find("<pre style=\"white-space: pre-wrap\">a &lt; b &amp; &quot;c&quot;</pre>"), std::string::npos);
    EXPECT_NE(PolicyAt(text), std::string::npos);
}

TEST(PreviewPage, NoMarkupOfThePageComesBeforeThePolicy)
{
    // Elements ahead of the head would be parsed, and run, before a policy put
    // into the head.
    const std::string early = Page("<html><script src=\"http://127.0.0.1:9/a.js\"></script><head></head></html>");
    EXPECT_LT(PolicyAt(early), early.find("<script"));
    // A comment opened in the head would swallow a policy put after it.
    const std::string swallowed = Page("<html><head><!--</head><body><img src=\"http://127.0.0.1:9/\">--></body>");
    EXPECT_LT(PolicyAt(swallowed), swallowed.find("<!--"));
    // "<!-->" is a whole comment to an HTML parser: no comment is skipped over.
    const std::string emptyComment = Page("<!--><script>x()</script>--><html><head></head></html>");
    EXPECT_EQ(emptyComment.find("<meta charset"), 0u);
    // A doctype ends at its first ">", quoted or not, as it does for an HTML parser.
    const std::string quoted = R"(<!DOCTYPE html "a>b"><script>x()</script>)";
    EXPECT_EQ(Page(quoted).find("<meta charset"), quoted.find('>') + 1);
    const std::string afterDeclaration = Page("<?xml version=\"1.0\"?><script>x()</script><?y?>");
    EXPECT_LT(PolicyAt(afterDeclaration), afterDeclaration.find("<script"));
}

TEST(PreviewLoadRules, OnlyLocalFilesInlineDataAndTheEmptyPageMayLoad)
{
    for (const char* url : {"file:///tmp/page-1.html?3", "FILE:///x", "data:text/css,p{}", "about:blank", "about:srcdoc"})
        EXPECT_TRUE(IsPreviewLoadAllowed(url)) << url;
    for (const char* url : {"http://127.0.0.1:8080/", "https://example.org/a.css", "ftp://host/x", "ws://127.0.0.1/",
                            "blob:file:///x", "javascript:alert(1)", "filesystem:file:///x", "file", "", ":file:",
                            "1file:///x", "/tmp/page.html", "//example.org/x"})
        EXPECT_FALSE(IsPreviewLoadAllowed(url)) << url;
}
