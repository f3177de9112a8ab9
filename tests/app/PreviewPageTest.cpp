#include "app/views/PreviewPage.h"

#include <gtest/gtest.h>

using brindle::PreviewOutput;

TEST(PreviewPage, TheHeadGetsThePolicyAndTheBaseWhereverTheOutputStartsIt)
{
    const std::string base = "file:///docs/a%20b/";
    const auto page = [&](const std::string& content, const char* type = "text/html") {
        return MakePreviewPage(PreviewOutput{content, type}, base);
    };
    // After the head's start tag, so that a doctype stays first.
    const std::string withHead = page("<!DOCTYPE html><HTML><Head lang=\"en\"><title>t</title></Head><body/></HTML>");
    const std::string headTag = "<Head lang=\"en\">";
    EXPECT_EQ(withHead.find("<meta charset=\"utf-8\">"), withHead.find(headTag) + headTag.size());
    EXPECT_NE(withHead.find("Content-Security-Policy"), std::string::npos);
    EXPECT_NE(withHead.find("script-src 'unsafe-eval'"), std::string::npos);
    EXPECT_NE(withHead.find("<base href=\"file:///docs/a%20b/\">"), std::string::npos);
    // A page with no head gets one; <header> is not a head.
    const std::string noHead = page("<html><body><header>x</header></body></html>");
    EXPECT_EQ(noHead.find("<html><head><meta charset"), 0u);
    EXPECT_EQ(page("<p>bare</p>").find("<meta charset"), 0u);
    // Text is shown as it is, escaped.
    const std::string text = page("a < b & \"c\"", "text/plain");
    EXPECT_NE(text.find("<pre style=\"white-space: pre-wrap\">a &lt; b &amp; &quot;c&quot;</pre>"), std::string::npos);
    EXPECT_NE(text.find("Content-Security-Policy"), std::string::npos);
}
