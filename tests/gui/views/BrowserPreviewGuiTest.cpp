// The browser preview on a display: the side file's content and lifetime, the
// document's own stylesheet, our tree of the markup, failures that keep the page,
// and pages that run no script and reach no network whatever they say.
#include "app/views/BrowserView.h"
#include "app/views/WebViewLockdown.h"
#include "tests/gui/views/NodeViewFixture.h"

#include <arpa/inet.h>
#include <atomic>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <wx/filename.h>
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

// The web engine's script switch of a web view (the toolkit's own script calls
// wait for ever when it is off).
void* ScriptSettings(wxWebView& web)
{
    using GetSettings = void* (*)(void* view);
    static const auto getSettings = reinterpret_cast<GetSettings>(dlsym(RTLD_DEFAULT, "webkit_web_view_get_settings"));
    EXPECT_TRUE(getSettings);
    return getSettings ? getSettings(web.GetNativeBackend()) : nullptr;
}

void AllowScript(wxWebView& web, bool allow)
{
    using SetEnableJavascript = void (*)(void* settings, int enable);
    static const auto setEnableJavascript =
        reinterpret_cast<SetEnableJavascript>(dlsym(RTLD_DEFAULT, "webkit_settings_set_enable_javascript"));
    ASSERT_TRUE(setEnableJavascript);
    if (void* settings = ScriptSettings(web)) setEnableJavascript(settings, allow);
}

bool ScriptAllowed(wxWebView& web)
{
    using GetEnableJavascript = int (*)(void* settings);
    static const auto getEnableJavascript =
        reinterpret_cast<GetEnableJavascript>(dlsym(RTLD_DEFAULT, "webkit_settings_get_enable_javascript"));
    void* settings = ScriptSettings(web);
    EXPECT_TRUE(getEnableJavascript && settings);
    return getEnableJavascript && settings && getEnableJavascript(settings);
}

// A TCP listener on 127.0.0.1 that counts the connections made to it, answering
// each with an empty page so that a load that reached it ends at once.
class Listener {
public:
    Listener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        const bool listening = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                               ::listen(m_fd, 16) == 0 &&
                               ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0;
        EXPECT_TRUE(listening) << "no listener on 127.0.0.1";
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~Listener()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    std::string Url(const std::string& file) const { return "http://127.0.0.1:" + std::to_string(m_port) + "/" + file; }
    int Connections() const { return m_connections; }

private:
    void Serve()
    {
        pollfd listening{m_fd, POLLIN, 0};
        while (!m_stop) {
            if (::poll(&listening, 1, 20) <= 0) continue;
            const int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0) continue;
            ++m_connections;
            pollfd request{c, POLLIN, 0};
            char buffer[4096];
            if (::poll(&request, 1, 500) > 0) (void)!::read(c, buffer, sizeof buffer);
            static const char answer[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 0\r\n\r\n";
            (void)!::write(c, answer, sizeof answer - 1);
            ::close(c);
        }
    }

    int m_fd = -1;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Lets the web engine work for a while: long enough for a page's late loads
// (a refresh after no delay, frames) to start, were they let.
void Settle()
{
    for (int i = 0; i < 40; ++i) {
        brindle::test::PumpEvents();
        wxMilliSleep(10);
    }
}

// Pages that would run script (setting the title to "ran") or reach the
// listener in every way a page can without a user's help.
std::vector<std::pair<std::string, std::string>> HostilePages(const Listener& net)
{
    const auto url = [&](const char* file) { return net.Url(file); };
    const std::string title = "<title>quiet</title>";
    const std::string script = "<script>document.title = 'ran'</script>";
    return {
        // Markup ahead of the head, where a policy put into the head comes too late.
        {"markup before the head", "<html><script src=\"" + url("early.js") + "\"></script>" + script + "<img src=\"" +
                                       url("early.png") + "\"><head>" + title + "</head><body>x</body></html>"},
        // A comment around the head's start tag, which would swallow a policy put
        // after it.
        {"head tag in a comment", "<html><!--<head>--><head>" + title + "</head><body>" + script + "<img src=\"" +
                                      url("commented.png") + "\"></body></html>"},
        {"script", "<html><head>" + title + "<script src=\"" + url("s.js") + "\"></script></head><body>" + script +
                       "<svg><script>document.title = 'ran'</script></svg><img src=\"x:\" onerror=\"document.title = "
                       "'ran'\"><body onload=\"document.title = 'ran'\"></body></html>"},
        {"frames", "<html><head>" + title + "</head><body><iframe src=\"" + url("frame.html") +
                       "\"></iframe><iframe srcdoc=\"<img src='" + url("srcdoc.png") + "'>\"></iframe><object data=\"" +
                       url("object.html") + "\"></object><embed src=\"" + url("embed.html") + "\"></body></html>"},
        {"images", "<html><head>" + title + "</head><body background=\"" + url("back.png") + "\"><img src=\"" +
                       url("img.png") + "\"><img srcset=\"" + url("set.png") + " 2x\"><picture><source srcset=\"" +
                       url("source.png") + "\"><img></picture><input type=\"image\" src=\"" + url("input.png") +
                       "\"><svg><image href=\"" + url("svg.png") + "\"/></svg><video src=\"" + url("v.webm") +
                       "\" poster=\"" + url("poster.png") + "\"></video><audio src=\"" + url("a.ogg") +
                       "\" preload=\"auto\"></audio></body></html>"},
        {"meta refresh", "<html><head>" + title + "<meta http-equiv=\"refresh\" content=\"0; url=" + url("refresh.html") +
                             "\"></head><body>x</body></html>"},
        {"style sheets", "<html><head>" + title + "<style>@import url(\"" + url("import.css") + "\"); body { background: url(\"" +
                             url("bg.png") + "\") } @font-face { font-family: f; src: url(\"" + url("f.woff") +
                             "\") } p { font-family: f }</style><link rel=\"stylesheet\" href=\"" + url("link.css") +
                             "\"></head><body><p style=\"background-image: url('" + url("inline.png") + "')\">x</p></body></html>"},
        {"links the engine follows by itself",
         "<html><head>" + title + "<link rel=\"preconnect\" href=\"" + url("") + "\"><link rel=\"prefetch\" href=\"" +
             url("prefetch.html") + "\"><link rel=\"preload\" as=\"image\" href=\"" + url("preload.png") +
             "\"><link rel=\"icon\" href=\"" + url("icon.png") + "\"></head><body>x</body></html>"},
    };
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

    // Runs a script of the test's own in the page shown: the view's script is
    // turned on for it, and off again.
    static std::string Script(PreviewRenderer& preview, const std::string& script)
    {
        wxString result;
        wxWebView* web = preview.WebView();
        EXPECT_TRUE(web);
        if (!web) return {};
        AllowScript(*web, true);
        EXPECT_TRUE(web->RunScript(wxString::FromUTF8(script), &result)) << script;
        AllowScript(*web, false);
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

namespace {

// Once the engine has settled: the view runs no script, the page loaded and kept
// its title, and the listener saw no connection.
void ExpectQuietAndOffline(wxWebView& web, const Listener& net, const std::string& page, int connectionsBefore)
{
    Settle();
    EXPECT_FALSE(ScriptAllowed(web)) << page << ": the web view runs script";
    EXPECT_EQ(web.GetCurrentTitle().utf8_string(), "quiet") << page << ": the page did not load, or its script ran";
    EXPECT_EQ(net.Connections(), connectionsBefore) << page << ": the page reached the network";
}

} // namespace

TEST_F(BrowserPreviewTest, NoPageRunsScriptOrReachesTheNetworkThroughThePreview)
{
    // The document's stylesheet writes out its text as the page, markup and all.
    std::ofstream(dir / "raw.xsl") << R"xsl(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html"/>
  <xsl:template match="/"><xsl:value-of select="/page" disable-output-escaping="yes"/></xsl:template>
</xsl:stylesheet>)xsl";
    const auto document = [](const std::string& html) {
        return "<?xml-stylesheet type=\"text/xsl\" href=\"raw.xsl\"?><page><![CDATA[" + html + "]]></page>";
    };
    Listener net;
    CBrindleDoc& doc = DocAt("hostile.xml", document("<p>x</p>"));
    CBrowserPage& page = NewPage(doc);
    bool first = true;
    for (const auto& [name, html] : HostilePages(net)) {
        ASSERT_TRUE(doc.GetDomDocument()->loadXML(document(html))) << name;
        const int before = net.Connections();
        EXPECT_EQ(RenderAndWait(page.Preview(), [&] {
                      if (first) page.OnShown();
                      else page.Preview().Render(true);
                  }),
                  "")
            << name;
        first = false;
        ExpectQuietAndOffline(*page.Preview().WebView(), net, name, before);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BrowserPreviewTest, ALockedDownWebViewRunsNoScriptAndLoadsOnlyLocalFilesOfAnyPage)
{
    // The pages as they stand, with no policy of ours in them.
    Listener net;
    wxFrame* frame = NewFrame();
    wxWebView* web = wxWebView::New(frame, wxID_ANY);
    frame->SetSizer(new wxBoxSizer(wxVERTICAL));
    frame->GetSizer()->Add(web, 1, wxEXPAND);
    frame->Layout();
    WebViewLockdown lockdown;
    lockdown.Attach(web, (dir / "filters").string());
    WebViewLockdown::State state = lockdown.Check();
    for (int i = 0; i < 3000 && state == WebViewLockdown::State::Pending; ++i) {
        test::PumpEvents();
        wxMilliSleep(10);
        state = lockdown.Check();
    }
    ASSERT_EQ(state, WebViewLockdown::State::Ready) << lockdown.Failure();

    std::optional<std::string> loaded;
    web->Bind(wxEVT_WEBVIEW_LOADED, [&](wxWebViewEvent& event) { loaded = event.GetURL().utf8_string(); });
    int n = 0;
    for (const auto& [name, html] : HostilePages(net)) {
        const fs::path file = dir / ("hostile-" + std::to_string(++n) + ".html");
        std::ofstream(file) << html;
        const std::string url = wxFileName::FileNameToURL(wxString::FromUTF8(file.string())).utf8_string();
        const int before = net.Connections();
        loaded.reset();
        web->LoadURL(wxString::FromUTF8(url));
        for (int i = 0; i < 3000 && loaded != url; ++i) {
            test::PumpEvents();
            wxMilliSleep(10);
        }
        EXPECT_EQ(loaded, url) << name << ": the page did not load";
        ExpectQuietAndOffline(*web, net, name, before);
    }
}
