// The browser preview on a display: the side file's content and lifetime, the
// document's own stylesheet, our tree of the markup, failures that keep the page,
// and pages that run no script of their own.
#include "app/views/BrowserView.h"
#include "tests/gui/views/NodeViewFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <wx/sizer.h>
#include <wx/utils.h>
#include <wx/webview.h>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class BrowserPreviewTest : public NodeViewFixture {
protected:
    // A document read from a file of the test's folder.
    CBrindleDoc& DocAt(const std::string& name, const std::string& xml)
    {
        const fs::path path = dir / name;
        std::ofstream(path) << xml;
        CBrindleDoc& doc = NewDoc(xml);
        doc.SetFilename(wxString::FromUTF8(path.string()), false);
        doc.SetNew(false);
        return doc;
    }

    CBrowserPage& NewPage(CBrindleDoc& doc)
    {
        wxFrame* frame = NewFrame();
        auto* page = new CBrowserPage(frame, &doc);
        frame->SetSizer(new wxBoxSizer(wxVERTICAL));
        frame->GetSizer()->Add(page, 1, wxEXPAND);
        frame->Layout();
        test::PumpEvents();
        return *page;
    }

    // Runs the action and waits for the render it starts; gives its failure text.
    static std::string RenderAndWait(PreviewRenderer& preview, const std::function<void()>& action)
    {
        std::optional<std::string> outcome;
        preview.onRendered = [&](const std::string& failure) { outcome = failure; };
        action();
        for (int i = 0; i < 3000 && !outcome; ++i) {
            test::PumpEvents();
            wxMilliSleep(10);
        }
        preview.onRendered = nullptr;
        EXPECT_TRUE(outcome.has_value()) << "no render ended";
        return outcome.value_or("timed out");
    }

    static std::string Script(PreviewRenderer& preview, const std::string& script)
    {
        wxString result;
        EXPECT_TRUE(preview.WebView() && preview.WebView()->RunScript(wxString::FromUTF8(script), &result)) << script;
        return result.utf8_string();
    }
};

} // namespace

TEST_F(BrowserPreviewTest, TheSideFileFollowsTheTreeAndGoesWithThePage)
{
    CBrindleDoc& doc = DocAt("plain.xml", "<list><item code=\"A1\">first</item></list>");
    CBrowserPage& page = NewPage(doc);
    const fs::path side = dir / "plain.xml~";
    EXPECT_FALSE(fs::exists(side)); // nothing before the tab was shown

    EXPECT_EQ(RenderAndWait(page.Preview(), [&] { page.OnShown(); }), "");
    EXPECT_EQ(page.Preview().SideFile(), side.string());
    EXPECT_NE(ReadFile(side).find("<item code=\"A1\">first</item>"), std::string::npos);
    // Our tree of the markup: names, attribute values and text, each element
    // with children collapsible.
    const std::string text = Script(page.Preview(), "document.body.innerText");
    for (const char* piece : {"list", "item", "code", "A1", "first"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << " in " << text;
    EXPECT_EQ(Script(page.Preview(), "String(document.querySelectorAll('details').length >= 1)"), "true");

    // A change in the tree writes the side file again and reloads the page.
    doc.SetCurrentNode(doc.GetDomDocument()->documentElement());
    const XmlNodePtr second = doc.CreateNode(NODE_ELEMENT, "second", std::string(), nullptr, "");
    ASSERT_TRUE(second && doc.CreateNode(NODE_TEXT, "", std::string("added"), second, ""));
    EXPECT_EQ(RenderAndWait(page.Preview(), [&] { page.OnDocumentChanged(); }), "");
    EXPECT_NE(ReadFile(side).find("<second>added</second>"), std::string::npos);
    EXPECT_NE(Script(page.Preview(), "document.body.innerText").find("added"), std::string::npos);

    // A notice without a change renders nothing.
    page.OnDocumentChanged();
    EXPECT_FALSE(page.Preview().IsBusy());

    // The page takes its side file with it.
    page.GetParent()->DestroyChildren();
    test::PumpEvents();
    EXPECT_FALSE(fs::exists(side));
}

TEST_F(BrowserPreviewTest, TheDocumentsStylesheetRendersItAndRunsNoScript)
{
    std::ofstream(dir / "show.xsl") << R"xsl(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html"/>
  <xsl:template match="/">
    <html><head><title>t</title></head><body>
      <h1><xsl:value-of select="/book/title"/></h1>
      <script>document.body.setAttribute('data-ran', 'yes')</script>
      <p onclick="x()">para</p>
    </body></html>
  </xsl:template>
</xsl:stylesheet>)xsl";
    CBrindleDoc& doc = DocAt("book.xml", "<?xml-stylesheet type=\"text/xsl\" href=\"show.xsl\"?><book><title>Rain</title></book>");
    CBrowserPage& page = NewPage(doc);
    EXPECT_EQ(RenderAndWait(page.Preview(), [&] { page.OnShown(); }), "");
    EXPECT_EQ(Script(page.Preview(), "document.querySelector('h1').textContent"), "Rain");
    EXPECT_EQ(Script(page.Preview(), "String(document.body.getAttribute('data-ran'))"), "null");

    // A stylesheet that fails is reported, and the page shown stays.
    std::ofstream(dir / "show.xsl") << "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                                       "<xsl:template match=\"/\"><xsl:value-of select=\"((\"/></xsl:template>"
                                       "</xsl:stylesheet>";
    const std::string failure = RenderAndWait(page.Preview(), [&] { page.Preview().Render(true); });
    EXPECT_FALSE(failure.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, failure);
    EXPECT_EQ(Script(page.Preview(), "document.querySelector('h1').textContent"), "Rain");
}

TEST_F(BrowserPreviewTest, ADocumentWithoutAPathRendersThroughTheTemporaryFolder)
{
    CBrindleDoc& doc = NewDoc("<note>unsaved</note>");
    const fs::path before = fs::current_path();
    CBrowserPage& page = NewPage(doc);
    EXPECT_EQ(RenderAndWait(page.Preview(), [&] { page.OnShown(); }), "");
    const fs::path side = page.Preview().SideFile();
    EXPECT_EQ(side.parent_path().parent_path(), fs::temp_directory_path()) << side;
    EXPECT_NE(side.filename(), "~");
    EXPECT_FALSE(fs::exists(before / "~"));
    EXPECT_NE(Script(page.Preview(), "document.body.innerText").find("unsaved"), std::string::npos);
    page.GetParent()->DestroyChildren();
    test::PumpEvents();
    EXPECT_FALSE(fs::exists(side));
}
