// Where the memory of opening a document goes, stage by stage, without a window:
// the DOM loaded from the file, then its serialisation streamed into a text
// buffer, as the XML document does when it opens in the source view; then, for
// comparison, the text parsed back into the DOM as leaving the source view does.
//
//   open_stages FILE
//
// For each stage prints the resident size it added and the peak reached during it
// (the peak is reset between stages), in MiB.

#include "app/document/CrLfBreaks.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextBufferFiller.h"
#include "platform/xml/XmlDom.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace brindle;

namespace {

long StatusKib(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0) return std::stol(line.substr(prefix.size()));
    return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

struct Stage {
    long rss = StatusKib("VmRSS");
    double start = Now();
    Stage() { ResetPeak(); }
    void Report(const char* name) const
    {
        std::printf("%-28s +%7.1f MiB resident, peak %7.1f MiB, %.2f s\n", name, (StatusKib("VmRSS") - rss) / 1024.0,
                    StatusKib("VmHWM") / 1024.0, Now() - start);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: open_stages FILE\n");
        return 2;
    }
    std::printf("%-28s  %7.1f MiB resident\n", "start", StatusKib("VmRSS") / 1024.0);
    auto dom = XmlDocument::Create();
    dom->put_validateOnParse(false);
    {
        Stage stage;
        if (!dom->load(argv[1])) {
            std::fprintf(stderr, "load failed: %s\n", dom->parseError().reason.c_str());
            return 1;
        }
        stage.Report("DOM (libxml2)");
    }
    CTextBuffer buffer;
    {
        Stage stage;
        buffer.InitNew();
        CTextBufferFiller filler(buffer);
        CrLfBreakWriter writer(filler);
        dom->writeXml([&writer](std::string_view piece) { writer.Write(piece); });
        int endLine = 0, endChar = 0;
        filler.Finish(nullptr, endLine, endChar);
        stage.Report("text buffer from the DOM");
    }
    {
        // Leaving the source view: the whole text is taken and parsed into the DOM.
        Stage stage;
        std::string text;
        const int last = buffer.GetLineCount() - 1;
        buffer.GetText(0, 0, last, buffer.GetLineLength(last), text);
        if (!dom->loadXML(text, argv[1])) std::fprintf(stderr, "reparse failed: %s\n", dom->parseError().reason.c_str());
        stage.Report("text parsed back into DOM");
    }
    long long bytes = 0;
    for (int i = 0; i < buffer.GetLineCount(); ++i) bytes += buffer.GetLineLength(i);
    std::printf("text: %d lines (table %.1f MiB), %.1f MiB of characters\n", buffer.GetLineCount(),
                buffer.GetLineCount() * double(sizeof(TextLine)) / 1048576.0, bytes / 1048576.0);
    std::printf("%-28s  %7.1f MiB resident\n", "end", StatusKib("VmRSS") / 1024.0);
    return 0;
}
