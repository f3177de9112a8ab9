#pragma once

// Runs the GoogleTest suites of a GUI test program inside a started toolkit, with
// toolkit assertions reported as test failures and an event loop made active.

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/wx.h>

#include <cstdio>
#include <string>

namespace brindle::test {

// Lets pending events, idle handlers and queued toolkit work run.
inline void PumpEvents()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        if (auto* loop = wxEventLoopBase::GetActive())
            while (loop->Pending()) loop->Dispatch();
        wxTheApp->ProcessIdle();
    }
}

inline int RunGuiTests(const char* program)
{
    std::string name = program;
    char* appArgv[] = {name.data(), nullptr};
    int appArgc = 1;
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(appArgc, appArgv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    wxInitAllImageHandlers();
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
        std::fprintf(stderr, "%s:%d: toolkit check failed: %s %s\n", file.utf8_str().data(), line,
                     cond.utf8_str().data(), msg.utf8_str().data());
        ADD_FAILURE() << "toolkit check failed: " << cond << " " << msg;
    });
    int result;
    {
        wxGUIEventLoop loop;
        wxEventLoopBase::SetActive(&loop);
        result = RUN_ALL_TESTS();
        PumpEvents();
        wxEventLoopBase::SetActive(nullptr);
    }
    wxEntryCleanup();
    return result;
}

} // namespace brindle::test
