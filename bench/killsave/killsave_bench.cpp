// Kills saves at random moments and counts what they leave behind.
//
//   killsave_bench [--runs N] [--mb M] [--named] [KIND...]
//
// KIND is one of
//   text      the text buffer's SaveToFile
//   dom       the DOM document's save
//   source    the source text saved in the encoding its declaration names
//   settings  the settings store rewriting its file
// (all four when none is given). For each kind the document is prepared once; every
// run forks a child that saves it over a target holding older contents, and SIGKILLs
// the child after a random delay within the time one whole save takes. After each
// run the target must hold the old or the new bytes; every other entry in the
// folder is something a killed save left behind; one more save, not killed, shows
// whether such files are cleaned up. --named makes the saves behave as on a file
// system without unnamed temporary files. Prints one line per kind:
//   KIND runs=N killed=K old=O new=W torn=T runs_leaving_files=L leftover_entries=E
//        leftover_bytes=B after_next_save=A ...
#include "app/document/EncodedText.h"
#include "brindlekit/text/TextBuffer.h"
#include "platform/io/AtomicFileWriter.h"
#include "platform/settings/SettingsStore.h"
#include "platform/xml/XmlDom.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An XML document of about `bytes` bytes in CRLF lines, declared as ISO-8859-1 (its
// text is ASCII) so that the source save goes through the encoder.
std::string MakeDocument(std::size_t bytes, unsigned seed)
{
    std::mt19937 rng(seed);
    const char* words[] = {"alpha", "beta", "gamma", "delta", "item", "value", "name", "price", "order", "line"};
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<catalog>\r\n";
    for (long id = 0; text.size() < bytes; ++id) {
        text += "  <item id=\"" + std::to_string(id) + "\">";
        for (int i = 0; i < 6; ++i) text += std::string(words[rng() % 10]) + ' ';
        text += "</item>\r\n";
    }
    text += "</catalog>";
    return text;
}

// Entries in the folder other than the target.
std::size_t Leftovers(const fs::path& dir, const fs::path& target, std::uintmax_t* bytes = nullptr)
{
    std::size_t n = 0;
    if (bytes) *bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path() == target) continue;
        ++n;
        std::error_code ec;
        if (bytes && entry.is_regular_file(ec)) *bytes += entry.file_size(ec);
    }
    return n;
}

// Runs `save` in a child; kills it after `delay` seconds unless negative. True when
// the child was killed.
bool RunChild(const std::function<bool()>& save, double delay, double* took = nullptr)
{
    const double start = Now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (pid == 0) ::_exit(save() ? 0 : 1);
    if (delay >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (took) *took = Now() - start;
    if (delay < 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        std::fprintf(stderr, "an uninterrupted save failed\n");
        std::exit(1);
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct Kind {
    std::string name;
    std::string targetName;
    // Prepares the document in this process (children inherit it) and writes the
    // old contents to the target; returns the save that writes the new ones.
    std::function<std::function<bool()>(const fs::path& target)> prepare;
};

int RunKind(const Kind& kind, int runs, const fs::path& work)
{
    const fs::path dir = work / kind.name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / kind.targetName;
    const std::function<bool()> save = kind.prepare(target);
    const std::string oldBytes = ReadBytes(target);

    // One whole save, timed from the fork to the child's end, gives the new bytes
    // and the range of the kill delays.
    double whole = 0;
    RunChild(save, -1, &whole);
    const std::string newBytes = ReadBytes(target);
    WriteBytes(target, oldBytes);
    if (newBytes == oldBytes || Leftovers(dir, target) != 0) {
        std::fprintf(stderr, "%s: the calibrating save did not work\n", kind.name.c_str());
        return 1;
    }

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> delay(0.0, whole);
    int killed = 0, olds = 0, news = 0, torn = 0, leaving = 0;
    std::size_t before = 0;
    for (int run = 0; run < runs; ++run) {
        if (RunChild(save, delay(rng))) ++killed;
        const std::string now = ReadBytes(target);
        if (now == oldBytes)
            ++olds;
        else if (now == newBytes)
            ++news;
        else
            ++torn;
        if (now != oldBytes) WriteBytes(target, oldBytes);
        const std::size_t after = Leftovers(dir, target);
        if (after > before) ++leaving;
        before = after;
    }
    std::uintmax_t leftBytes = 0;
    const std::size_t left = Leftovers(dir, target, &leftBytes);
    RunChild(save, -1);
    const std::size_t afterNext = Leftovers(dir, target);
    std::printf("%s runs=%d killed=%d old=%d new=%d torn=%d runs_leaving_files=%d leftover_entries=%zu "
                "leftover_bytes=%ju after_next_save=%zu save_seconds=%.3f (%zu bytes)\n",
                kind.name.c_str(), runs, killed, olds, news, torn, leaving, left, leftBytes, afterNext, whole,
                newBytes.size());
    std::fflush(stdout);
    fs::remove_all(dir);
    return torn == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 100;
    long megabytes = 20;
    std::vector<std::string> kinds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (arg == "--mb" && i + 1 < argc)
            megabytes = std::atol(argv[++i]);
        else if (arg == "--named")
            AtomicFileWriter::AllowUnnamedFiles(false);
        else
            kinds.push_back(arg);
    }
    if (kinds.empty()) kinds = {"text", "dom", "source", "settings"};
    const std::size_t bytes = static_cast<std::size_t>(megabytes) * 1000000;
    const fs::path work = fs::path(std::getenv("BENCH_DIR") ? std::getenv("BENCH_DIR") : "/tmp/brindle-killsave-bench");
    fs::create_directories(work);
    const fs::path source = work / "document.xml";
    WriteBytes(source, MakeDocument(bytes, 42));
    const std::string oldText = "<?xml version=\"1.0\"?>\r\n<old/>\r\n";

    // Kept alive for the children to inherit.
    CTextBuffer buffer;
    XmlDocumentPtr doc;
    std::unique_ptr<SettingsStore> store;
    std::string value;

    const std::vector<Kind> all = {
        {"text", "doc.xml",
         [&](const fs::path& target) -> std::function<bool()> {
             WriteBytes(target, oldText);
             if (!buffer.LoadFromFile(source.c_str())) std::exit(1);
             return [&, target] { return buffer.SaveToFile(target.c_str()); };
         }},
        {"dom", "doc.xml",
         [&](const fs::path& target) -> std::function<bool()> {
             WriteBytes(target, oldText);
             doc = XmlDocument::Create();
             doc->put_preserveWhiteSpace(true);
             if (!doc->load(source.string())) std::exit(1);
             return [&, target] {
                 doc->save(target.string());
                 return true;
             };
         }},
        {"source", "doc.xml",
         [&](const fs::path& target) -> std::function<bool()> {
             WriteBytes(target, oldText);
             if (!buffer.LoadFromFile(source.c_str())) std::exit(1);
             return [&, target] {
                 DocErrors errors;
                 return SaveEncodedText(buffer, target.string(), FileEncoding{}, TextForm::Decoded, errors);
             };
         }},
        {"settings", "settings",
         [&](const fs::path& target) -> std::function<bool()> {
             store = std::make_unique<SettingsStore>(target);
             store->SetString("Bench", "data", "old");
             value = ReadBytes(source);
             return [&] { return store->SetString("Bench", "data", value); };
         }},
    };

    int failures = 0;
    for (const std::string& name : kinds) {
        bool found = false;
        for (const Kind& kind : all) {
            if (kind.name != name) continue;
            found = true;
            failures += RunKind(kind, runs, work);
        }
        if (!found) {
            std::fprintf(stderr, "unknown kind %s\n", name.c_str());
            return 2;
        }
    }
    fs::remove(source);
    return failures == 0 ? 0 : 1;
}
