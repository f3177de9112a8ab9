#include "app/views/PreviewRenderer.h"

#include "app/document/BrindleDoc.h"
#include "app/document/Transform.h"
#include "app/views/NodeDragSession.h"
#include "app/views/PreviewPage.h"
#include "app/views/PreviewStylesheet.h"
#include "platform/ui/UIServices.h"
#include "platform/xml/XmlPreview.h"

#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/webview.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace brindle;
namespace fs = std::filesystem;

// A transformation handed to a worker thread.
struct PreviewJob {
    // What the worker reads; set before it starts.
    std::string sideFile;
    std::string stylesheet; // a local file, or "" for our tree of the markup
    std::string treeStylesheet; // our tree's, in the colours of the desktop's theme
    std::string baseUrl;
    std::string pageFile;
    // What it leaves; valid once done is set.
    std::string failure;
    std::atomic<bool> done{false};
};

namespace {

// The transformations under way: each thread is joined once its job is done, or
// at the program's exit.
std::mutex g_workersLock;
std::vector<std::pair<std::thread, std::shared_ptr<PreviewJob>>>& Workers()
{
    static std::vector<std::pair<std::thread, std::shared_ptr<PreviewJob>>> workers;
    return workers;
}

void JoinFinishedWorkers()
{
    std::lock_guard<std::mutex> lock(g_workersLock);
    auto& workers = Workers();
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->second->done) {
            it->first.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}

// The folder of this process's preview pages and of the side files of documents
// without a path.
fs::path PreviewFolder()
{
    static const fs::path folder = fs::temp_directory_path() / ("brindle-preview-" + std::to_string(getpid()));
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ignored);
    return folder;
}

std::string NextName(const char* stem, const char* extension)
{
    static std::atomic<int> counter{0};
    return (PreviewFolder() / (stem + std::to_string(++counter) + extension)).string();
}

std::string FileUrl(const std::string& path) { return wxFileName::FileNameToURL(wxString::FromUTF8(path)).utf8_string(); }

// A stylesheet reference names a file of this computer unless it has a scheme
// other than file.
bool IsLocalReference(const std::string& href)
{
    const auto colon = href.find("://");
    return colon == std::string::npos || href.compare(0, colon, "file") == 0;
}

void RemoveFile(const std::string& path)
{
    std::error_code ignored;
    if (!path.empty()) fs::remove(path, ignored);
}

void Transform(PreviewJob& job)
{
    try {
        const PreviewOutput output = job.stylesheet.empty()
                                         ? TransformFileWithStylesheetText(job.sideFile, job.treeStylesheet)
                                         : TransformFileForPreview(job.sideFile, job.stylesheet);
        const std::string page = MakePreviewPage(output, job.baseUrl);
        std::ofstream out(job.pageFile, std::ios::binary | std::ios::trunc);
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
        out.close();
        if (!out) job.failure = "The preview page could not be written to " + job.pageFile + ".";
    } catch (const std::exception& error) {
        job.failure = error.what();
    }
    job.done = true;
}

} // namespace

PreviewRenderer::PreviewRenderer(wxWindow* host) : m_host(host)
{
    m_poll.Bind(wxEVT_TIMER, &PreviewRenderer::OnPoll, this);
}

PreviewRenderer::~PreviewRenderer()
{
    m_poll.Stop();
    if (m_web) {
        m_web->Unbind(wxEVT_WEBVIEW_NAVIGATING, &PreviewRenderer::OnNavigating, this);
        m_web->Unbind(wxEVT_WEBVIEW_LOADED, &PreviewRenderer::OnLoaded, this);
        m_web->Unbind(wxEVT_WEBVIEW_ERROR, &PreviewRenderer::OnLoadError, this);
    }
    RemoveFile(m_sideFile);
    RemoveFile(m_pageFile);
}

std::string PreviewRenderer::SideFileOf(const std::string& documentPath)
{
    // A document without a path has no folder of its own to write beside.
    return documentPath.empty() ? NextName("untitled-", ".xml~") : documentPath + "~";
}

void PreviewRenderer::ShutDown()
{
    {
        std::lock_guard<std::mutex> lock(g_workersLock);
        for (auto& [thread, job] : Workers()) thread.join();
        Workers().clear();
    }
    // Every renderer is gone by now; a page a finished job wrote after its
    // renderer went is left only here.
    std::error_code ignored;
    fs::remove_all(PreviewFolder(), ignored);
}

bool PreviewRenderer::IsBusy() const { return m_job != nullptr || !m_loadingUrl.empty(); }

void PreviewRenderer::EnsureWebView()
{
    if (m_web) return;
    m_web = wxWebView::New(m_host, wxID_ANY);
    m_web->EnableContextMenu(false);
    m_web->EnableHistory(false);
    m_web->Bind(wxEVT_WEBVIEW_NAVIGATING, &PreviewRenderer::OnNavigating, this);
    m_web->Bind(wxEVT_WEBVIEW_LOADED, &PreviewRenderer::OnLoaded, this);
    m_web->Bind(wxEVT_WEBVIEW_ERROR, &PreviewRenderer::OnLoadError, this);
    m_lockdown.Attach(m_web, (PreviewFolder() / "filters").string());
    if (wxSizer* sizer = m_host->GetSizer()) sizer->Add(m_web, 1, wxEXPAND);
    m_host->Layout();
}

void PreviewRenderer::Render(bool force)
{
    if (!m_doc || NodeDragSession::IsActive()) return;
    if (!force && m_rendered && m_doc->GetDomRevision() == m_renderedRevision) return;
    if (IsBusy()) {
        m_renderAgain = true;
        return;
    }
    StartJob();
}

void PreviewRenderer::StartJob()
{
    // A new document's name is a title, and a remote one's an address: neither
    // has a folder here to write beside.
    const bool local = !m_doc->IsNew() && !m_doc->IsRemote();
    const std::string path = local ? m_doc->GetFilename().utf8_string() : std::string();
    // References in the document and its page resolve beside the document through
    // the page's base and the stylesheet's path; the process's folder stays.
    const std::string folder = path.empty() ? std::string() : fs::path(path).parent_path().string();
    const std::string side = SideFileOf(path);
    try {
        m_doc->SaveDomToFile(side);
    } catch (const std::exception& error) {
        UIServices().MessageBox(error.what(), MsgButtons::Ok, MsgIcon::Error);
        Finish(error.what());
        return;
    }
    if (side != m_sideFile) RemoveFile(m_sideFile);
    m_sideFile = side;
    m_rendered = true;
    m_renderedRevision = m_doc->GetDomRevision();

    auto job = std::make_shared<PreviewJob>();
    job->sideFile = side;
    const std::string href = ProposeStylesheet(m_doc->GetDomDocument());
    // A relative reference of a remote document names a file on its server.
    if (!href.empty() && IsLocalReference(href) && (local || fs::path(href).is_absolute()))
        job->stylesheet = ResolveStylesheetPath(href, path);
    // The theme is asked here: the worker thread may not ask the toolkit.
    if (job->stylesheet.empty()) job->treeStylesheet = PreviewTreeStylesheet(SystemViewPalette());
    job->baseUrl = FileUrl((folder.empty() ? PreviewFolder().string() : folder) + "/");
    if (m_pageFile.empty()) m_pageFile = NextName("page-", ".html");
    job->pageFile = m_pageFile;
    m_job = job;
    JoinFinishedWorkers();
    {
        std::lock_guard<std::mutex> lock(g_workersLock);
        Workers().emplace_back(std::thread([job] { Transform(*job); }), job);
    }
    m_poll.Start(30);
}

void PreviewRenderer::OnPoll(wxTimerEvent&)
{
    if (!m_job || !m_job->done) return;
    std::string failure = m_job->failure;
    if (failure.empty()) {
        EnsureWebView();
        // Nothing is loaded before the web view is held to local files.
        const WebViewLockdown::State state = m_lockdown.Check();
        if (state == WebViewLockdown::State::Pending) return;
        if (state == WebViewLockdown::State::Failed) failure = m_lockdown.Failure();
    }
    m_poll.Stop();
    m_job.reset();
    JoinFinishedWorkers();
    if (!failure.empty()) {
        UIServices().MessageBox(failure, MsgButtons::Ok, MsgIcon::Error);
        Finish(failure);
        return;
    }
    // A new query each time, so that the page is read again from its file.
    m_loadingUrl = FileUrl(m_pageFile) + "?" + std::to_string(++m_loads);
    m_web->LoadURL(wxString::FromUTF8(m_loadingUrl));
}

void PreviewRenderer::OnNavigating(wxWebViewEvent& event)
{
    // Only the pages written here are shown: a link in a page goes nowhere.
    const std::string url = event.GetURL().utf8_string();
    const std::string page = FileUrl(m_pageFile);
    if (url.compare(0, page.size(), page) != 0 && url != "about:blank") event.Veto();
}

void PreviewRenderer::OnLoaded(wxWebViewEvent& event)
{
    if (m_loadingUrl.empty() || event.GetURL().utf8_string() != m_loadingUrl) return;
    Finish(std::string());
}

void PreviewRenderer::OnLoadError(wxWebViewEvent& event)
{
    if (m_loadingUrl.empty() || event.GetURL().utf8_string() != m_loadingUrl) return;
    const std::string failure = "The preview could not be shown: " + event.GetString().utf8_string();
    UIServices().MessageBox(failure, MsgButtons::Ok, MsgIcon::Error);
    Finish(failure);
}

void PreviewRenderer::Finish(const std::string& failure)
{
    m_loadingUrl.clear();
    if (onRendered) onRendered(failure);
    if (m_renderAgain) {
        m_renderAgain = false;
        Render(false);
    }
}
