#pragma once

#include <string>

class wxWebView;

// Holds a web view to what a preview may do, in the web engine itself and
// whatever the page says: no script of the page's (the engine's JavaScript and
// script markup off, plugins and Java off), and no load but of local files and
// inline data (a content filter over every request, and a policy hook refusing
// navigations and new windows elsewhere).
//
// The content filter is compiled once per process, in the background, into a
// folder given by the first caller; a page may be loaded into the view only once
// Check() says Ready. The engine's calls are looked up in the WebKitGTK library
// the web view already loaded, so building needs no WebKit headers.
class WebViewLockdown {
public:
    enum class State { Pending, Ready, Failed };

    // Locks the view down as far as it can at once and starts the filter's
    // compilation if no one has; filterFolder is where the compiled filter goes.
    void Attach(wxWebView* web, const std::string& filterFolder);
    // Whether the view is locked down; puts the filter in place once it is
    // compiled. Failed when the view could not be locked down (see Failure()).
    State Check();
    // Why the view could not be locked down.
    const std::string& Failure() const { return m_failure; }

private:
    void* m_view = nullptr; // the WebKitWebView
    bool m_filtered = false;
    std::string m_failure;
};
