// A plugin that renames an element with Replace and rewrites attributes with a
// RegExp replace, run on a generated source text of about 10 MB the way the
// Plugins menu runs it (script read, text handed in and taken back), against
// the same two replacements done with the C++ standard library
// (std::string::find and std::regex_replace) on the same text.
//
//   plugin_bench [megabytes] [runs]
// Prints the medians in milliseconds and their ratio.
#include "app/document/PluginRunner.h"
#include "bench/GeneratedXml.h"
#include "bench/Measure.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <unistd.h>

namespace {

const char* const kScript =
    "Function Main(text)\r\n"
    "    Dim re\r\n"
    "    text = Replace(text, \"<book \", \"<record \")\r\n"
    "    text = Replace(text, \"</book>\", \"</record>\")\r\n"
    "    Set re = New RegExp\r\n"
    "    re.Global = True\r\n"
    "    re.Pattern = \"id=\"\"b(\\d+)\"\"\"\r\n"
    "    Main = re.Replace(text, \"key=\"\"k$1\"\"\")\r\n"
    "End Function\r\n";

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t found; (found = text.find(from, at)) != std::string::npos; at = found + from.size()) {
        out.append(text, at, found - at);
        out += to;
    }
    out.append(text, at, std::string::npos);
    return out;
}

std::string Reference(const std::string& text)
{
    std::string s = ReplaceAll(text, "<book ", "<record ");
    s = ReplaceAll(s, "</book>", "</record>");
    static const std::regex re("id=\"b(\\d+)\"");
    return std::regex_replace(s, re, "key=\"k$1\"");
}

} // namespace

int main(int argc, char** argv)
{
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 10;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("brindle-plugin-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string data = (dir / "data.xml").string();
    const std::string script = (dir / "rename.vbs").string();
    if (!bench::WriteCatalogXml(data.c_str(), megabytes, "A summary of the book, long enough to matter.")) return 1;
    std::ofstream(script, std::ios::binary) << kScript;
    std::ifstream in(data, std::ios::binary);
    // The source view hands the text over with CR LF line breaks.
    std::string text = ReplaceAll(std::string(std::istreambuf_iterator<char>(in), {}), "\n", "\r\n");

    std::vector<double> plugin, reference;
    std::string ours, theirs;
    for (int i = 0; i < runs; ++i) {
        auto t0 = bench::Clock::now();
        PluginRunner runner("rename.vbs");
        PluginRunner::Outcome outcome = runner.Run(script, text);
        auto t1 = bench::Clock::now();
        theirs = Reference(text);
        auto t2 = bench::Clock::now();
        if (outcome.status != PluginRunner::Status::Done) {
            std::fprintf(stderr, "the plugin failed: %s (line %d)\n", outcome.error.c_str(), outcome.line);
            return 1;
        }
        ours = std::move(outcome.text);
        plugin.push_back(bench::Ms(t0, t1));
        reference.push_back(bench::Ms(t1, t2));
    }
    fs::remove_all(dir);
    if (ours != theirs) {
        std::fprintf(stderr, "the plugin's result differs from the reference's\n");
        return 1;
    }
    const double p = bench::Median(plugin), r = bench::Median(reference);
    std::printf("text %.1f MB, median of %d runs\nplugin    %8.1f ms\nstd       %8.1f ms\nratio     %8.2f (goal <= 3)\n",
                text.size() / 1048576.0, runs, p, r, p / r);
    return 0;
}
