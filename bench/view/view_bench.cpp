// View benchmarks, each printing "name value unit" lines for bench/view/run.sh:
//
//   view_bench keystroke LINES RUNS [xml|plain] [gutter]
//                                     typing at the last line of a LINES-line document
//                                     plus re-colouring of the visible lines (no window),
//                                     with the XML colouring or the plain line colouring
//                                     (default: as the settings say)
//   view_bench open FILE RUNS         first paint of a real window after the buffer is
//                                     loaded, then Ctrl+End (needs a display)
//   ... keystroke/open ... gutter     the same with line numbers and folding on (markers
//                                     of the visible lines found, a fold above the caret)
//   view_bench find FILE RUNS         FindText of an absent string, both case modes
#include "app/settings/Settings.h"
#include "app/views/SourceColouring.h"
#include "app/views/XmlFoldScanner.h"
#include "app/views/XmlColouring.h"
#include "brindlekit/text/EditViewModel.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextView.h"
#include "bench/GuiPump.h"
#include "bench/Measure.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brindle;
using namespace bench;

namespace {

bool g_xmlColouring = true;

std::uint32_t Colour(const TextViewModel& model, std::uint32_t cookie, int line, TextBlock* blocks, int& count)
{
    if (g_xmlColouring) return xml_colour::ParseLine(cookie, model.GetLineText(line), blocks, count);
    return source_colour::ParseLine(cookie, model.GetLineText(line), blocks, count);
}

int FoldEnd(const TextViewModel& model, int line)
{
    return xml_fold::FindEnd([&model](int l) { return model.GetLineText(l); }, model.GetLineCount(), line,
                             FoldModel::kSearchLines);
}

// A window-less host that colours lines as the source views do and finds fold ranges.
class ColouringHost : public ITextViewHost {
public:
    explicit ColouringHost(const TextViewModel& model) : m_model(model) {}
    std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count) override
    {
        return Colour(m_model, cookie, line, blocks, count);
    }
    int FoldEnd(int line) override { return ::FoldEnd(m_model, line); }

private:
    const TextViewModel& m_model;
};

int Keystroke(int lines, int runs, bool gutter)
{
    CTextBuffer buffer;
    buffer.InitNew();
    buffer.FreeAll();
    const int commentAt = lines - 30; // on screen with the last line
    for (int i = 0; i < lines; ++i) {
        std::string line = "  <item id=\"" + std::to_string(i) + "\" kind='a'>text &amp; more</item>";
        // With the gutter on, a comment over three lines is folded above the caret.
        if (gutter && i >= commentAt && i < commentAt + 3)
            line = i == commentAt ? "  <!-- a comment" : i == commentAt + 1 ? "  over three" : "  lines -->";
        buffer.InsertLine(line.data(), static_cast<int>(line.size()));
    }
    EditViewModel view;
    ColouringHost host(view);
    view.SetHost(&host);
    view.SetCharMetrics(16, 8);
    view.SetClientSize(TextViewModel::kMarginWidth + 120 * 8, 50 * 16);
    view.AttachToBuffer(&buffer);
    if (gutter) {
        view.SetShowLineNumbers(true);
        view.SetFolding(true);
        view.ToggleFold(commentAt);
    }
    view.MoveCtrlEnd(false);
    std::vector<TextBlock> blocks;
    std::size_t gutterChars = 0;
    // Colours the visible lines as a paint would, with their numbers and fold markers.
    auto colourVisible = [&]() {
        for (int row = 0; row <= view.GetScreenLines(); ++row) {
            const int line = view.LineAtRow(row);
            if (line < 0) break;
            blocks.resize(static_cast<std::size_t>(3 * view.GetLineLength(line) + 1));
            int count = 0;
            const std::uint32_t cookie = view.GetParseCookie(line - 1);
            view.StoreParseCookie(line, Colour(view, cookie, line, blocks.data(), count));
            if (gutter) {
                gutterChars += LineNumberText(line).size();
                gutterChars += view.GetFoldMarker(line) != TextViewModel::FoldMarker::None;
            }
        }
    };
    // The first paint there walks the whole document once to learn the parse state.
    auto start = Clock::now();
    colourVisible();
    std::printf("keystroke_first_colour %.3f ms\n", Ms(start, Clock::now()));

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        start = Clock::now();
        view.OnChar("x");
        colourVisible();
        times.push_back(Ms(start, Clock::now()));
    }
    std::printf("keystroke_median %.4f ms\n", Median(times));
    std::printf("keystroke_max %.4f ms\n", *std::max_element(times.begin(), times.end()));
    if (gutter && (gutterChars == 0 || !view.Folds().IsFolded(commentAt))) {
        std::fprintf(stderr, "the gutter was not drawn or the fold went away\n");
        return 1;
    }
    return 0;
}

// The view of the source windows: XML colouring; counts the lines drawn.
class ColouredView : public CTextView {
public:
    using CTextView::CTextView;
    std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count) override
    {
        if (blocks) ++drawnLines;
        return Colour(Model(), cookie, line, blocks, count);
    }
    int FoldEnd(int line) override { return ::FoldEnd(Model(), line); }
    int drawnLines = 0;
};

// Milliseconds from start to the end of a paint that drew lines; the clock
// stops as the paint is done, and the work it leaves for after it is shown
// (searches for fold markers) is timed into `later`.
template <class View> double PaintDone(View& view, Clock::time_point start, std::vector<double>& later)
{
    while (view.drawnLines == 0 && Ms(start, Clock::now()) < 10000) {
        view.Update();
        if (view.drawnLines == 0) Pump();
    }
    const double painted = Ms(start, Clock::now());
    const auto after = Clock::now();
    for (int i = 0; i < 3; ++i) Pump();
    later.push_back(Ms(after, Clock::now()));
    return painted;
}

int Open(const char* path, int runs, bool gutter)
{
    int argc = 1;
    std::string program = "view_bench";
    char* argv[] = {program.data(), nullptr};
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopBase::SetActive(&loop);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "view bench", wxDefaultPosition, wxSize(1000, 800));
        auto* view = new ColouredView(frame, wxID_ANY);
        view->SetShowLineNumbers(gutter);
        view->SetFolding(gutter);
        frame->Show();
        for (int i = 0; i < 5; ++i) Pump();

        CTextBuffer buffer;
        auto start = Clock::now();
        if (!buffer.LoadFromFile(path)) {
            std::fprintf(stderr, "cannot load %s\n", path);
            result = 1;
        } else {
            std::printf("load %.1f ms, %d lines\n", Ms(start, Clock::now()), buffer.GetLineCount());
            std::vector<double> paints;
            std::vector<double> ends;
            std::vector<double> endPaints;
            std::vector<double> later; // what paints leave for afterwards
            for (int r = 0; r < runs && result == 0; ++r) {
                view->DetachFromBuffer();
                for (int i = 0; i < 3; ++i) Pump();
                // From the loaded buffer to the end of a real paint event.
                view->drawnLines = 0;
                start = Clock::now();
                view->AttachToBuffer(&buffer);
                view->Refresh();
                paints.push_back(PaintDone(*view, start, later));
                if (view->drawnLines == 0) {
                    std::fprintf(stderr, "no paint\n");
                    result = 1;
                }
                // Ctrl+End: the command with its EnsureVisible.
                start = Clock::now();
                view->Model().MoveCtrlEnd(false);
                ends.push_back(Ms(start, Clock::now()));
                // And the paint that follows, which first learns the parse state there.
                view->drawnLines = 0;
                start = Clock::now();
                endPaints.push_back(PaintDone(*view, start, later));
                view->Model().MoveCtrlHome(false);
            }
            if (result == 0) {
                std::printf("first_paint_median %.2f ms\n", Median(paints));
                std::printf("ctrl_end_median %.3f ms\n", Median(ends));
                std::printf("paint_after_ctrl_end_median %.2f ms\n", Median(endPaints));
                std::printf("after_paint_median %.2f ms\n", Median(later));
            }
        }
        view->DetachFromBuffer();
        frame->Destroy();
        for (int i = 0; i < 3; ++i) Pump();
        wxEventLoopBase::SetActive(nullptr);
    }
    wxEntryCleanup();
    return result;
}

int Find(const char* path, int runs)
{
    CTextBuffer buffer;
    if (!buffer.LoadFromFile(path)) {
        std::fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    EditViewModel view;
    view.AttachToBuffer(&buffer);
    const std::string absent = "Brindle-absent-needle";
    for (const std::uint32_t flags : {FIND_MATCH_CASE, 0u}) {
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            CPoint found;
            const auto start = Clock::now();
            const bool hit = view.FindText(absent, CPoint(0, 0), flags, false, &found);
            times.push_back(Ms(start, Clock::now()));
            if (hit) {
                std::fprintf(stderr, "unexpected match at %d:%d\n", found.y, found.x);
                return 1;
            }
        }
        std::printf("%s_median %.2f ms\n", flags ? "find_case" : "find_nocase", Median(times));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: view_bench keystroke LINES RUNS [xml|plain] [gutter] | open FILE RUNS [xml|plain] [gutter] | find FILE RUNS\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int runs = std::max(1, std::atoi(argv[3]));
    bool gutter = false;
    g_xmlColouring = Settings::GetXmlColouring() != 0;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "gutter") gutter = true;
        else g_xmlColouring = option == "xml";
    }
    if (mode == "keystroke") return Keystroke(std::atoi(argv[2]), runs, gutter);
    if (mode == "open") return Open(argv[2], runs, gutter);
    if (mode == "find") return Find(argv[2], runs);
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
