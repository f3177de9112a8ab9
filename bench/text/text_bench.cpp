// Times the text buffer on one file: load, save, random one-character insertions,
// and resident memory after loading. Prints one "name value" line per figure.
//
//   text_bench load FILE               seconds to load
//   text_bench save FILE OUT           seconds to save a loaded FILE to OUT
//   text_bench insert FILE N SEED      median microseconds per insertion, in batches
//   text_bench memory FILE             resident bytes after loading (and the peak), over the file size
//   text_bench undo FILE N             deletes the whole text, then undoes and redoes that
//                                      N times: resident bytes after N cycles over after one
#include "brindlekit/text/TextBuffer.h"
#include "bench/Measure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace brindle;
using bench::ResidentBytes;

namespace {

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Load(CTextBuffer& buffer, const char* path)
{
    if (!buffer.LoadFromFile(path)) {
        std::fprintf(stderr, "cannot load %s\n", path);
        std::exit(1);
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: text_bench load FILE | save FILE OUT | insert FILE N SEED | memory FILE | undo FILE N\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const char* file = argv[2];
    CTextBuffer buffer;

    if (command == "load") {
        const double start = Now();
        Load(buffer, file);
        std::printf("load_seconds %.6f\nlines %d\n", Now() - start, buffer.GetLineCount());
    } else if (command == "save" && argc >= 4) {
        Load(buffer, file);
        const double start = Now();
        if (!buffer.SaveToFile(argv[3])) return 1;
        std::printf("save_seconds %.6f\n", Now() - start);
    } else if (command == "insert" && argc >= 5) {
        Load(buffer, file);
        const int count = std::atoi(argv[3]);
        std::mt19937 rng(static_cast<unsigned>(std::atoi(argv[4])));
        // Positions are drawn before timing; each batch of 1000 is timed as a whole.
        struct Place { int line, pos; };
        std::vector<Place> places;
        places.reserve(static_cast<std::size_t>(count));
        const int lines = buffer.GetLineCount();
        std::vector<int> lengths(static_cast<std::size_t>(lines));
        for (int i = 0; i < lines; ++i) lengths[static_cast<std::size_t>(i)] = buffer.GetLineLength(i);
        for (int i = 0; i < count; ++i) {
            const int line = static_cast<int>(rng() % static_cast<unsigned>(lines));
            const int pos = static_cast<int>(rng() % static_cast<unsigned>(lengths[static_cast<std::size_t>(line)] + 1));
            ++lengths[static_cast<std::size_t>(line)];
            places.push_back({line, pos});
        }
        std::vector<double> perInsert;
        const int batch = 1000;
        const double total0 = Now();
        for (int b = 0; b < count; b += batch) {
            const double start = Now();
            for (int i = b; i < std::min(count, b + batch); ++i) {
                int endLine = 0, endChar = 0;
                buffer.InsertText(nullptr, places[static_cast<std::size_t>(i)].line,
                                  places[static_cast<std::size_t>(i)].pos, "x", endLine, endChar, EA_TYPING);
            }
            perInsert.push_back((Now() - start) / std::min(batch, count - b) * 1e6);
        }
        const double total = Now() - total0;
        std::sort(perInsert.begin(), perInsert.end());
        std::printf("insert_median_us %.4f\ninsert_mean_us %.4f\ninsert_max_batch_us %.4f\n",
                    perInsert[perInsert.size() / 2], total / count * 1e6, perInsert.back());
    } else if (command == "memory") {
        struct stat st{};
        if (::stat(file, &st) != 0) return 1;
        const long before = ResidentBytes();
        Load(buffer, file);
        const long after = ResidentBytes();
        const long peak = bench::PeakResidentBytes();
        std::printf("rss_bytes %ld\nrss_before_bytes %ld\nfile_bytes %lld\nrss_over_file %.4f\npeak_over_file %.4f\n",
                    after, before, static_cast<long long>(st.st_size),
                    static_cast<double>(after) / static_cast<double>(st.st_size),
                    static_cast<double>(peak) / static_cast<double>(st.st_size));
    } else if (command == "undo" && argc >= 4) {
        Load(buffer, file);
        const int cycles = std::atoi(argv[3]);
        const int last = buffer.GetLineCount() - 1;
        buffer.DeleteText(nullptr, 0, 0, last, buffer.GetLineLength(last), EA_DELSEL);
        CPoint cursor;
        long afterOne = 0;
        const double start = Now();
        for (int i = 0; i < cycles; ++i) {
            buffer.Undo(cursor);
            buffer.Redo(cursor);
            if (i == 0) afterOne = ResidentBytes();
        }
        const double seconds = Now() - start;
        const long after = ResidentBytes();
        std::printf("rss_after_one_bytes %ld\nrss_after_all_bytes %ld\nrss_growth %.4f\ncycle_ms %.3f\n", afterOne,
                    after, static_cast<double>(after) / static_cast<double>(afterOne), seconds / cycles * 1e3);
    } else {
        return Usage();
    }
    return 0;
}
