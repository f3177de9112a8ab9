// Browser mode on a file under a real window: from the mode's render request to
// the loaded page, and the longest time the window's event loop was kept from
// running meanwhile (its ticks are asked for every 10 ms).
//
//   preview_view_bench FILE
//
// Prints: "open_ms", "render_ms" (to the loaded page, or to the failure),
// "longest_stall_ms", "failure" (empty when none).
#include "app/document/BrindleDoc.h"
#include "app/views/BrowserView.h"
#include "bench/GuiPump.h"
#include "bench/Measure.h"
#include "platform/ui/UIServices.h"

#include <cstdio>
#include <optional>
#include <string>
#include <wx/docview.h>
#include <wx/sizer.h>
#include <wx/timer.h>
#include <wx/utils.h>
#include <wx/wx.h>

using namespace bench;

namespace {

// Message boxes are counted, not shown.
class QuietServices : public brindle::IUIServices {
public:
    brindle::MsgResult MessageBox(const std::string& text, brindle::MsgButtons, brindle::MsgIcon) override
    {
        std::printf("message %s\n", text.c_str());
        return brindle::MsgResult::Ok;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void OpenUrl(const std::string&) override {}
};

int Run(const char* path)
{
    QuietServices quiet;
    brindle::SetUIServices(&quiet);
    wxDocManager manager;
    CBrindleDoc doc;
    auto start = Clock::now();
    if (!doc.OnOpenDocument(wxString::FromUTF8(path))) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    std::printf("open_ms %.0f\n", Ms(start, Clock::now()));
    auto* frame = new wxFrame(nullptr, wxID_ANY, "preview bench", wxPoint(0, 0), wxSize(1000, 800));
    frame->SetSizer(new wxBoxSizer(wxVERTICAL));
    auto* view = new CBrowserView(frame, &doc);
    frame->GetSizer()->Add(view, 1, wxEXPAND);
    frame->Show();
    frame->Layout();
    for (int i = 0; i < 5; ++i) Pump();

    double longest = 0;
    Clock::time_point lastTick = Clock::now();
    wxTimer ticks;
    ticks.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        longest = std::max(longest, Ms(lastTick, now));
        lastTick = now;
    });
    std::optional<std::string> outcome;
    view->Preview().onRendered = [&](const std::string& failure) { outcome = failure; };
    ticks.Start(10);
    start = lastTick = Clock::now();
    // The mode switch asks for the render from an event handler, as here.
    frame->CallAfter([view] { view->Activate(true); });
    while (!outcome && Ms(start, Clock::now()) < 120000) {
        Pump();
        wxMilliSleep(1);
    }
    const double rendered = Ms(start, Clock::now());
    const auto tickEnd = Clock::now();
    longest = std::max(longest, Ms(lastTick, tickEnd));
    ticks.Stop();
    std::printf("render_ms %.0f\nlongest_stall_ms %.0f\nfailure %s\n", rendered, longest,
                outcome ? outcome->c_str() : "timed out");
    view->Preview().onRendered = nullptr;
    frame->Destroy();
    for (int i = 0; i < 3; ++i) Pump();
    brindle::SetUIServices(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_view_bench FILE\n");
        return 2;
    }
    return RunWithToolkit("preview_view_bench", [&] { return Run(argv[1]); });
}
