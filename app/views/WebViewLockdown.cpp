#include "app/views/WebViewLockdown.h"

#include "app/views/PreviewLoadRules.h"

#include <wx/webview.h>

#include <cstddef>
#include <cstdint>
#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace {

std::string CannotLockDown(const std::string& reason)
{
    return "The preview cannot be shown: the web view could not be kept from running scripts and loading from the "
           "network (" + reason + ").";
}

#ifdef __WXGTK__

// The few GLib and WebKitGTK (API 4.0) declarations used, as those C libraries
// define them; every object is an opaque pointer.
using gboolean = int;
struct GError {
    std::uint32_t domain;
    int code;
    char* message;
};
using GCallback = void (*)();
using GAsyncReadyCallback = void (*)(void* source, void* result, void* data);

// WebKitPolicyDecisionType
constexpr int kNavigationAction = 0;
constexpr int kNewWindowAction = 1;
constexpr int kResponse = 2;

constexpr const char* kFilterName = "brindle-preview";

struct WebKitCalls {
    void* (*getSettings)(void* view) = nullptr;
    void (*setEnableJavascript)(void* settings, gboolean enable) = nullptr;
    void (*setEnableJavascriptMarkup)(void* settings, gboolean enable) = nullptr; // WebKitGTK 2.24 on
    void (*setEnablePlugins)(void* settings, gboolean enable) = nullptr;          // gone in later APIs
    void (*setEnableJava)(void* settings, gboolean enable) = nullptr;             // gone in later APIs
    void* (*getUserContentManager)(void* view) = nullptr;
    void (*addFilter)(void* manager, void* filter) = nullptr;
    void* (*filterStoreNew)(const char* folder) = nullptr;
    void (*filterStoreSave)(void* store, const char* name, void* json, void* cancellable, GAsyncReadyCallback done,
                            void* data) = nullptr;
    void* (*filterStoreSaveFinish)(void* store, void* result, GError** error) = nullptr;
    void* (*navigationAction)(void* decision) = nullptr;
    void* (*navigationRequest)(void* action) = nullptr;
    void* (*responseRequest)(void* decision) = nullptr;
    const char* (*requestUri)(void* request) = nullptr;
    void (*ignore)(void* decision) = nullptr;
    unsigned long (*signalConnect)(void* instance, const char* signal, GCallback handler, void* data, void* destroy,
                                   int flags) = nullptr;
    void* (*bytesNew)(const void* data, std::size_t size) = nullptr;
    void (*bytesUnref)(void* bytes) = nullptr;
    void (*errorFree)(GError* error) = nullptr;
    void (*objectUnref)(void* object) = nullptr;
    bool complete = false; // every call but the optional ones was found
};

template <class F> bool Find(F& call, const char* name)
{
    call = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    return call != nullptr;
}

const WebKitCalls& Calls()
{
    static const WebKitCalls calls = [] {
        WebKitCalls c;
        Find(c.setEnableJavascriptMarkup, "webkit_settings_set_enable_javascript_markup");
        Find(c.setEnablePlugins, "webkit_settings_set_enable_plugins");
        Find(c.setEnableJava, "webkit_settings_set_enable_java");
        c.complete = Find(c.getSettings, "webkit_web_view_get_settings") &&
                     Find(c.setEnableJavascript, "webkit_settings_set_enable_javascript") &&
                     Find(c.getUserContentManager, "webkit_web_view_get_user_content_manager") &&
                     Find(c.addFilter, "webkit_user_content_manager_add_filter") &&
                     Find(c.filterStoreNew, "webkit_user_content_filter_store_new") &&
                     Find(c.filterStoreSave, "webkit_user_content_filter_store_save") &&
                     Find(c.filterStoreSaveFinish, "webkit_user_content_filter_store_save_finish") &&
                     Find(c.navigationAction, "webkit_navigation_policy_decision_get_navigation_action") &&
                     Find(c.navigationRequest, "webkit_navigation_action_get_request") &&
                     Find(c.responseRequest, "webkit_response_policy_decision_get_request") &&
                     Find(c.requestUri, "webkit_uri_request_get_uri") &&
                     Find(c.ignore, "webkit_policy_decision_ignore") &&
                     Find(c.signalConnect, "g_signal_connect_data") && Find(c.bytesNew, "g_bytes_new") &&
                     Find(c.bytesUnref, "g_bytes_unref") && Find(c.errorFree, "g_error_free") &&
                     Find(c.objectUnref, "g_object_unref");
        return c;
    }();
    return calls;
}

// The content filter of this process: compiled once, shared by every view.
struct ContentFilter {
    bool started = false;
    WebViewLockdown::State state = WebViewLockdown::State::Pending;
    void* filter = nullptr; // WebKitUserContentFilter, kept for the process's life
    std::string failure;
};

ContentFilter& Filter()
{
    static ContentFilter filter;
    return filter;
}

void OnFilterCompiled(void* store, void* result, void*)
{
    const WebKitCalls& c = Calls();
    ContentFilter& f = Filter();
    GError* error = nullptr;
    f.filter = c.filterStoreSaveFinish(store, result, &error);
    if (f.filter) {
        f.state = WebViewLockdown::State::Ready;
    } else {
        f.state = WebViewLockdown::State::Failed;
        f.failure = "its content filter was refused: " +
                    std::string(error && error->message ? error->message : "no reason given");
    }
    if (error) c.errorFree(error);
    c.objectUnref(store);
}

void CompileFilter(const std::string& folder)
{
    ContentFilter& f = Filter();
    if (f.started) return;
    f.started = true;
    const WebKitCalls& c = Calls();
    void* store = c.filterStoreNew(folder.c_str());
    const std::string_view rules = PreviewContentRules();
    void* json = c.bytesNew(rules.data(), rules.size());
    c.filterStoreSave(store, kFilterName, json, nullptr, OnFilterCompiled, nullptr);
    c.bytesUnref(json);
}

// "decide-policy": navigations, new windows and responses anywhere but to local
// files and inline data are refused. The toolkit's own handler runs first and
// may have refused already; this one lets the rest through to the engine.
gboolean OnDecidePolicy(void*, void* decision, int type, void*)
{
    const WebKitCalls& c = Calls();
    void* request = nullptr;
    if (type == kNavigationAction || type == kNewWindowAction) {
        if (void* action = c.navigationAction(decision)) request = c.navigationRequest(action);
    } else if (type == kResponse) {
        request = c.responseRequest(decision);
    } else {
        return false;
    }
    const char* uri = request ? c.requestUri(request) : nullptr;
    if (uri && IsPreviewLoadAllowed(uri)) return false;
    c.ignore(decision);
    return true;
}

#endif // __WXGTK__

} // namespace

#ifdef __WXGTK__

void WebViewLockdown::Attach(wxWebView* web, const std::string& filterFolder)
{
    const WebKitCalls& c = Calls();
    m_view = web ? web->GetNativeBackend() : nullptr;
    if (!c.complete) {
        m_failure = CannotLockDown("the WebKitGTK library in use lacks calls it needs");
        return;
    }
    if (!m_view) {
        m_failure = CannotLockDown("the web view has no WebKit view");
        return;
    }
    void* settings = c.getSettings(m_view);
    c.setEnableJavascript(settings, false);
    if (c.setEnableJavascriptMarkup) c.setEnableJavascriptMarkup(settings, false);
    if (c.setEnablePlugins) c.setEnablePlugins(settings, false);
    if (c.setEnableJava) c.setEnableJava(settings, false);
    c.signalConnect(m_view, "decide-policy", reinterpret_cast<GCallback>(OnDecidePolicy), nullptr, nullptr, 0);
    CompileFilter(filterFolder);
}

WebViewLockdown::State WebViewLockdown::Check()
{
    if (!m_failure.empty()) return State::Failed;
    if (!m_view) {
        m_failure = CannotLockDown("there is no web view");
        return State::Failed;
    }
    if (m_filtered) return State::Ready;
    const ContentFilter& f = Filter();
    if (f.state == State::Failed) m_failure = CannotLockDown(f.failure);
    if (f.state != State::Ready) return f.state;
    const WebKitCalls& c = Calls();
    c.addFilter(c.getUserContentManager(m_view), f.filter);
    m_filtered = true;
    return State::Ready;
}

#else

void WebViewLockdown::Attach(wxWebView*, const std::string&)
{
    m_failure = CannotLockDown("only the WebKitGTK web view can be held to local files");
}

WebViewLockdown::State WebViewLockdown::Check() { return State::Failed; }

#endif
