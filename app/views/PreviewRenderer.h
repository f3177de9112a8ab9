#pragma once

#include "app/views/WebViewLockdown.h"

#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CBrindleDoc;
struct PreviewJob;
class wxWebView;
class wxWebViewEvent;
class wxWindow;

// Renders a document in a web view, as the browser view and the Browse tab show
// it: the DOM is written to a side file beside the document (the document's path
// with "~" appended; for a document without a path, a file in the temporary
// folder), the side file is transformed into a page off the UI thread (by the
// document's xml-stylesheet, or by our tree of the markup), and the web view loads
// that page. The web view runs no script of the page's and loads nothing but
// local files and inline data, whatever the page says; no page is loaded before
// it is held so. A failure is shown in a message box and the previous page stays.
class PreviewRenderer {
public:
    // The web view is made in the host (which must lay it out with a sizer) on
    // the first render.
    explicit PreviewRenderer(wxWindow* host);
    // Deletes the side file and the page written.
    ~PreviewRenderer();
    PreviewRenderer(const PreviewRenderer&) = delete;
    PreviewRenderer& operator=(const PreviewRenderer&) = delete;

    void SetDocument(CBrindleDoc* doc) { m_doc = doc; }
    // Renders the document; unless forced, only when its DOM changed since the
    // last render. Never while a node drag runs or without a document.
    void Render(bool force);

    const std::string& SideFile() const { return m_sideFile; }
    wxWebView* WebView() const { return m_web; }
    // Whether a transformation or a page load is under way.
    bool IsBusy() const;
    // Called when a render ends: an empty text once the page has loaded, else the
    // failure's description (after it was shown).
    std::function<void(const std::string& failure)> onRendered;

    // The side file of a document path.
    static std::string SideFileOf(const std::string& documentPath);
    // At the program's exit: waits for the transformations still running and
    // removes this process's temporary folder of pages and side files.
    static void ShutDown();

private:
    void EnsureWebView();
    void StartJob();
    void OnPoll(wxTimerEvent& event);
    void OnNavigating(wxWebViewEvent& event);
    void OnLoaded(wxWebViewEvent& event);
    void OnLoadError(wxWebViewEvent& event);
    void Finish(const std::string& failure);

    wxWindow* m_host;
    CBrindleDoc* m_doc = nullptr;
    wxWebView* m_web = nullptr;
    WebViewLockdown m_lockdown; // what the web view may run and load
    std::string m_sideFile;
    std::string m_pageFile;   // the transformed page, in the temporary folder
    std::string m_loadingUrl; // the page being loaded, "" when none
    std::uint64_t m_renderedRevision = 0;
    int m_loads = 0;
    bool m_rendered = false;
    bool m_renderAgain = false; // a render asked for while a job ran
    std::shared_ptr<PreviewJob> m_job;
    wxTimer m_poll;
};
