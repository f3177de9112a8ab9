#pragma once

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <functional>
#include <string>

namespace bench {

// Lets pending events, queued toolkit work and idle handlers run once.
inline void Pump()
{
    wxTheApp->ProcessPendingEvents();
    if (auto* loop = wxEventLoopBase::GetActive())
        while (loop->Pending()) loop->Dispatch();
    wxTheApp->ProcessIdle();
}

// Starts the toolkit with an active event loop, runs the benchmark and ends
// the toolkit; 1 when there is no display.
inline int RunWithToolkit(const char* program, const std::function<int()>& run)
{
    int argc = 1;
    std::string name = program;
    char* argv[] = {name.data(), nullptr};
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    wxInitAllImageHandlers();
    int result;
    {
        wxGUIEventLoop loop;
        wxEventLoopBase::SetActive(&loop);
        result = run();
        wxEventLoopBase::SetActive(nullptr);
    }
    wxEntryCleanup();
    return result;
}

} // namespace bench
