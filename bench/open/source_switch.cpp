// Switching a large document between the tree and its source text, through the
// document's own operations and without a window: open, enter Source mode,
// validate the text as the source view does on entering, leave it, enter Node
// Tree mode, twice over.
//
//   source_switch [MEGABYTES | FILE]
//
// With a number (default 100) a generated catalogue of that size is written to a
// temporary folder first. For each step prints its time, the peak resident size
// reached during it (the peak is reset before each step) and the resident size
// after it, in MiB. Settings go to a temporary store, not the user's.

#include "app/document/BrindleDoc.h"
#include "app/settings/Settings.h"
#include "bench/GeneratedXml.h"
#include "bench/Measure.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"

#include <wx/docview.h>
#include <wx/paper.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace bench;

namespace {

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double MiB(long bytes) { return bytes / 1048576.0; }

bool Step(const char* name, const std::function<bool()>& run)
{
    ResetPeak();
    const auto start = Clock::now();
    const bool ok = run();
    const double ms = Ms(start, Clock::now());
    std::printf("%-24s %8.0f ms   peak %7.1f MiB   resident after %7.1f MiB%s\n", name, ms,
                MiB(PeakResidentBytes()), MiB(ResidentBytes()), ok ? "" : "   FAILED");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string arg = argc > 1 ? argv[1] : "100";
    char folderTemplate[] = "/tmp/source_switch.XXXXXX";
    if (!::mkdtemp(folderTemplate)) return 1;
    const std::filesystem::path folder = folderTemplate;

    std::string file = arg;
    if (arg.find_first_not_of("0123456789") == std::string::npos) {
        file = (folder / "catalog.xml").string();
        if (!WriteCatalogXml(file.c_str(), std::atol(arg.c_str()), "A summary of the book, long enough to matter.")) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    std::printf("%s: %.1f MiB\n", file.c_str(), MiB(static_cast<long>(std::filesystem::file_size(file))));

    brindle::SettingsStore store(folder / "settings");
    brindle::Profile::SetStore(&store);
    brindle::Profile::SetRegistryKey("Brindle", "Brindle");

    int result = 0;
    {
        // Documents need a document manager, whose page set-up needs the paper sizes.
        wxThePrintPaperDatabase = new wxPrintPaperDatabase;
        wxThePrintPaperDatabase->CreateDatabase();
        wxDocManager manager;
        CBrindleDoc doc;
        std::printf("%-24s %8s      peak %7.1f MiB   resident after %7.1f MiB\n", "start", "", MiB(PeakResidentBytes()),
                    MiB(ResidentBytes()));
        bool ok = Step("open", [&] { return doc.OnOpenDocument(wxString::FromUTF8(file)) && doc.IsDomValid(); });
        doc.SetFilename(wxString::FromUTF8(file)); // as the program's open does
        for (int round = 1; ok && round <= 2; ++round) {
            std::printf("round %d\n", round);
            ok = Step("  enter Source mode", [&] { doc.EnterSourceMode(); return true; }) &&
                 // The source view validates the text on entering.
                 Step("  validate", [&] {
                     brindle::XmlParseError error;
                     return doc.CheckSource(error) != CBrindleDoc::SourceCheck::NotWellFormed;
                 }) &&
                 Step("  leave Source mode", [&] {
                     const CBrindleDoc::SourceExit exit = doc.LeaveSourceMode();
                     if (!exit.message.empty()) std::fprintf(stderr, "%s\n", exit.message.c_str());
                     return exit.left;
                 }) &&
                 Step("  enter Node Tree mode", [&] { doc.EnterTreeMode(); return true; }) &&
                 // The old tree is freed, and its memory given back, on a thread of its own.
                 Step("  old tree freed", [] { brindle::XmlDocument::waitForFreedMemory(); return true; });
        }
        result = ok ? 0 : 1;
    }
    brindle::Profile::SetStore(nullptr);
    std::filesystem::remove_all(folder);
    return result;
}
