// Browser preview benchmark driver.
//
//   preview_bench gen FILE MEGABYTES       write a generated document of about that size
//   preview_bench tree FILE [MAX] [OUT]    the built-in markup view of FILE (at most MAX
//                                          elements; default the preview's limit, 0 none),
//                                          its HTML written to OUT when given
//
// "tree" prints: milliseconds, output bytes, peak resident megabytes.

#include "app/views/PreviewStylesheet.h"
#include "bench/GeneratedXml.h"
#include "bench/Measure.h"
#include "platform/xml/DomError.h"
#include "platform/xml/XmlPreview.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

int Generate(const char* path, long megabytes)
{
    return bench::WriteCatalogXml(path, megabytes,
                                  "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
                                  "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud "
                                  "exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat.")
               ? 0
               : 1;
}


} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_bench gen FILE MB | tree FILE [MAX] [OUT]\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "gen") return Generate(argv[2], argc > 3 ? std::atol(argv[3]) : 20);
    if (mode != "tree") return 2;
    const std::size_t limit = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : brindle::kPreviewElementLimit;
    try {
        const auto start = bench::Clock::now();
        const brindle::PreviewOutput out =
            brindle::TransformFileWithStylesheetText(argv[2], PreviewTreeStylesheet(), limit);
        const double ms = bench::Ms(start, bench::Clock::now());
        if (argc > 4) std::ofstream(argv[4], std::ios::binary) << out.content;
        std::printf("%.1f %zu %.1f\n", ms, out.content.size(), static_cast<double>(bench::PeakResidentBytes()) / (1 << 20));
    } catch (const brindle::DomError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
