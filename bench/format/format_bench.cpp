// Auto format benchmark.
//
//   format_bench generate FILE MEGABYTES   writes a generated document of about that size
//   format_bench format IN OUT             loads IN into a DOM, auto formats it, writes OUT
//
// "format" prints load_seconds, format_seconds, write_seconds and total_seconds.
#include "app/document/AutoFormat.h"
#include "platform/xml/XmlDom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// An order catalogue: nested elements with attributes, indented text, some mixed
// content, comments, CDATA sections and escaped characters.
int Generate(const char* path, long megabytes)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::perror(path);
        return 1;
    }
    std::mt19937 rng(42);
    const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const char* words[] = {"alpha", "beta", "gamma", "delta", "item", "value", "name", "price", "order", "line"};
    const auto sentence = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i) {
            if (i) s += ' ';
            s += words[pick(10)];
        }
        return s;
    };
    const long target = megabytes * 1000000;
    std::string chunk = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated catalogue -->\n"
                        "<catalog xmlns=\"urn:brindle:catalog\" xmlns:x=\"urn:brindle:extra\">\n";
    long written = 0;
    for (long order = 0; written + static_cast<long>(chunk.size()) < target; ++order) {
        chunk += "  <order id=\"" + std::to_string(order) + "\" status=\"" + words[pick(10)] + "\">\n";
        chunk += "    <customer x:ref=\"c" + std::to_string(pick(100000)) + "\">" + sentence(2) + "</customer>\n";
        if (pick(4) == 0) chunk += "    <!-- " + sentence(4) + " -->\n";
        for (int line = 1 + pick(5); line > 0; --line) {
            chunk += "    <line sku=\"S-" + std::to_string(pick(1000000)) + "\" qty=\"" + std::to_string(1 + pick(9)) +
                     "\">\n      <desc>" + sentence(3 + pick(6)) + " &amp; " + words[pick(10)] + "</desc>\n";
            chunk += "      <price currency=\"EUR\">" + std::to_string(pick(100000) / 100.0).substr(0, 6) + "</price>\n";
            if (pick(8) == 0) chunk += "      <note>see <b>" + sentence(1) + "</b> for " + sentence(2) + "</note>\n";
            if (pick(16) == 0) chunk += "      <raw><![CDATA[a < b && " + sentence(2) + "]]></raw>\n";
            chunk += "    </line>\n";
        }
        chunk += "  </order>\n";
        if (chunk.size() > (1 << 20)) {
            std::fwrite(chunk.data(), 1, chunk.size(), file);
            written += static_cast<long>(chunk.size());
            chunk.clear();
        }
    }
    chunk += "</catalog>\n";
    std::fwrite(chunk.data(), 1, chunk.size(), file);
    return std::fclose(file) == 0 ? 0 : 1;
}

int Format(const char* in, const char* outPath)
{
    const auto start = std::chrono::steady_clock::now();
    brindle::XmlDocumentPtr dom = brindle::XmlDocument::Create();
    dom->put_async(false);
    dom->put_validateOnParse(false);
    dom->put_resolveExternals(false);
    if (!dom->load(in)) {
        std::fprintf(stderr, "%s: %s\n", in, dom->parseError().reason.c_str());
        return 1;
    }
    const double loaded = Seconds(start);

    const auto formatStart = std::chrono::steady_clock::now();
    std::string text;
    if (!AutoFormatNode(dom, text, 0, true)) return 1;
    const double formatted = Seconds(formatStart);

    const auto writeStart = std::chrono::steady_clock::now();
    std::FILE* file = std::fopen(outPath, "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
        std::perror(outPath);
        return 1;
    }
    const double wrote = Seconds(writeStart);
    std::printf("load_seconds %.6f\nformat_seconds %.6f\nwrite_seconds %.6f\ntotal_seconds %.6f\noutput_bytes %zu\n",
                loaded, formatted, wrote, Seconds(start), text.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "generate" && argc == 4) return Generate(argv[2], std::atol(argv[3]));
    if (mode == "format" && argc == 4) return Format(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s generate FILE MEGABYTES | format IN OUT\n", argv[0]);
    return 2;
}
