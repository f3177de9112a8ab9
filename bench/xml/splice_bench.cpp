// Spliced saves on a large document, measured side by side with a plain save.
//
//   splice_bench FILE [RUNS]
//
// Loads FILE (make one with `xml_bench gen FILE 100`) with and without element
// spans, then alternates RUNS times (default 5): a plain save of the whole tree,
// and one attribute edit followed by a spliced save. Prints the medians, their
// ratio (goal <= 1.2), the load cost of noting spans, and the spans' memory
// against the tree's (goal <= 10 %).

#include "bench/Measure.h"
#include "platform/xml/XmlDom.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brindle;

namespace {

XmlElementPtr MiddleElement(const XmlDocumentPtr& doc)
{
    XmlElementPtr root = doc->documentElement();
    const long count = root->childNodes()->length();
    for (long i = count / 2; i < count; ++i)
        if (XmlNodePtr n = root->childNodes()->item(i); n->nodeType() == NODE_ELEMENT)
            return std::dynamic_pointer_cast<XmlElement>(n);
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: splice_bench FILE [RUNS]\n");
        return 2;
    }
    const std::string file = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string out = file + ".out";
    std::vector<double> plainLoad, spanLoad, plainSave, splicedSave;

    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    for (int i = 0; i < runs; ++i) {
        doc->put_keepSourceSpans(false);
        auto t0 = bench::Clock::now();
        if (!doc->load(file)) {
            std::fprintf(stderr, "load failed: %s\n", doc->parseError().reason.c_str());
            return 1;
        }
        plainLoad.push_back(bench::Ms(t0, bench::Clock::now()));
        doc->releaseContent();
        XmlDocument::waitForFreedMemory();
    }
    const long before = bench::ResidentBytes();
    for (int i = 0; i < runs; ++i) {
        if (i) {
            doc->releaseContent();
            XmlDocument::waitForFreedMemory();
        }
        doc->put_keepSourceSpans(true);
        auto t0 = bench::Clock::now();
        if (!doc->load(file)) return 1;
        spanLoad.push_back(bench::Ms(t0, bench::Clock::now()));
    }
    // The lookup by node is built on first use; it counts as the spans' memory.
    doc->sourceSpan(doc->documentElement());
    const long treeAndSpans = bench::ResidentBytes() - before;
    const double spanBytes = static_cast<double>(doc->sourceSpanBytes());

    XmlElementPtr target = MiddleElement(doc);
    if (!target) return 1;
    for (int i = 0; i < runs; ++i) {
        auto t0 = bench::Clock::now();
        doc->save(out);
        plainSave.push_back(bench::Ms(t0, bench::Clock::now()));
        t0 = bench::Clock::now();
        target->setAttribute("edited", std::to_string(i));
        const std::string why = doc->saveSpliced(out);
        splicedSave.push_back(bench::Ms(t0, bench::Clock::now()));
        if (!why.empty()) {
            std::fprintf(stderr, "not spliced: %s\n", why.c_str());
            return 1;
        }
    }
    std::remove(out.c_str());
    const double plain = bench::Median(plainSave), spliced = bench::Median(splicedSave);
    std::printf("median of %d runs\n", runs);
    std::printf("save     plain %8.0f ms  edit+spliced %8.0f ms  ratio %.2f  (goal <= 1.2)\n", plain, spliced,
                spliced / plain);
    std::printf("load     plain %8.0f ms  noting spans %8.0f ms  ratio %.2f\n", bench::Median(plainLoad),
                bench::Median(spanLoad), bench::Median(spanLoad) / bench::Median(plainLoad));
    std::printf("memory   spans %8.1f MB  tree %8.1f MB  share %.1f %%  (goal <= 10 %%)\n", spanBytes / 1048576,
                (static_cast<double>(treeAndSpans) - spanBytes) / 1048576,
                100 * spanBytes / (static_cast<double>(treeAndSpans) - spanBytes));
    return 0;
}
