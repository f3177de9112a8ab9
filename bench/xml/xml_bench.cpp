// Parser component benchmark driver.
//
//   xml_bench gen FILE MEGABYTES   write a generated document of about that size
//   xml_bench load FILE            load FILE into the DOM
//   xml_bench xml FILE             load FILE and write its xml to standard output
//   xml_bench xpath FILE EXPR      load FILE, evaluate EXPR and write every result
//                                  row (path, kind, value) to standard output
//
// Prints the time of the measured step to standard error.

#include "bench/GeneratedXml.h"
#include "platform/xml/XPathQuery.h"
#include "platform/xml/XmlDom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

using namespace brindle;

namespace {

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int Generate(const char* path, long megabytes)
{
    return bench::WriteCatalogXml(path, megabytes,
                                  "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
                                  "incididunt ut labore et dolore magna aliqua.")
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: xml_bench gen FILE MB | load FILE | xml FILE | xpath FILE EXPR\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "gen") return Generate(argv[2], argc > 3 ? std::atol(argv[3]) : 100);
    auto doc = XmlDocument::Create();
    doc->put_validateOnParse(false);
    double start = Now();
    if (!doc->load(argv[2])) {
        std::fprintf(stderr, "load failed: %s\n", doc->parseError().reason.c_str());
        return 1;
    }
    double loaded = Now();
    if (mode == "load") {
        std::fprintf(stderr, "load %.3f s\n", loaded - start);
        return 0;
    }
    if (mode == "xpath") {
        if (argc < 4) return 2;
        const auto result = EvaluateXPath(*doc, argv[3], DeclaredNamespaces(*doc), std::numeric_limits<size_t>::max());
        const double evaluated = Now();
        if (result.kind == XPathResult::Kind::Error) {
            std::fprintf(stderr, "%s\n", result.error.c_str());
            return 1;
        }
        std::string out;
        for (const auto& hit : result.hits) out += hit.path + '\t' + hit.kind + '\t' + hit.value + '\n';
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fprintf(stderr, "load %.3f s, xpath %.3f s, %zu nodes\n", loaded - start, evaluated - loaded, result.count);
        return 0;
    }
    std::string text = doc->xml();
    double serialised = Now();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fprintf(stderr, "load %.3f s, xml %.3f s, %zu bytes\n", loaded - start, serialised - loaded, text.size());
    return 0;
}
