#include "TestSupport.h"

#include "platform/io/AtomicFileWriter.h"
#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;

namespace {

const char* const kSaveFailed = "创建文件错误";

mode_t ModeOf(const std::string& path)
{
    struct stat st{};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

std::size_t EntriesIn(const std::string& dir)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

std::vector<std::string> NamesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `save` in a child process, SIGKILLed after `delay` seconds (never when
// negative); returns the seconds from the fork to the child's end.
double RunInChild(const std::function<bool()>& save, double delay)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(save() ? 0 : 1);
    EXPECT_GT(pid, 0);
    if (delay >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (delay < 0) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Kills saves of a few megabytes over an older file at random moments of the whole
// save. The target must always hold the old or the new bytes. Besides it the folder
// may only hold the last killed save's own temporary, which the next save removes;
// `leaving` counts the runs that left one.
void KillSavesAtRandom(const std::function<bool(const std::string&)>& save, int runs, int& leaving)
{
    leaving = 0;
    TempDir dir;
    const std::string target = dir.Path("doc.xml");
    const std::string oldBytes = "<old/>\r\n";
    WriteFile(target, oldBytes);
    const double whole = RunInChild([&] { return save(target); }, -1);
    const std::string newBytes = ReadFile(target);
    ASSERT_GT(newBytes.size(), 1000000u);

    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> delay(0.0, whole);
    for (int run = 0; run < runs; ++run) {
        WriteFile(target, oldBytes);
        RunInChild([&] { return save(target); }, delay(rng));
        const std::string now = ReadFile(target);
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "torn target after run " << run;
        const std::vector<std::string> names = NamesIn(dir.Path());
        ASSERT_LE(names.size(), 2u) << "left behind after run " << run;
        if (names.size() == 2) {
            ASSERT_EQ(names[0].rfind(".doc.xml.brindle-", 0), 0u) << names[0];
            ++leaving;
        }
    }
    RunInChild([&] { return save(target); }, -1);
    EXPECT_EQ(ReadFile(target), newBytes);
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"doc.xml"});
}

// Writers behave as on a file system without unnamed files while this lives.
struct NamedTemporariesOnly {
    NamedTemporariesOnly() { AtomicFileWriter::AllowUnnamedFiles(false); }
    ~NamedTemporariesOnly() { AtomicFileWriter::AllowUnnamedFiles(true); }
};

void FillBuffer(CTextBuffer& buffer, std::size_t lines)
{
    SetLines(buffer, std::vector<std::string>(lines, std::string(99, 'n')));
}

// Limits the size of files this process writes; writes past it fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

} // namespace

TEST(SafeSave, AFailedWriteLeavesTheOldFileUntouched)
{
    RecordingUIServices ui;
    TempDir dir;
    const std::string path = dir.Path("doc.xml");
    WriteFile(path, "<old/>\r\n");
    CTextBuffer buffer;
    FillBuffer(buffer, 20000); // 2 MB: fails partway
    buffer.SetModified(true);
    bool saved;
    {
        FileSizeLimit limit(64 * 1024);
        saved = buffer.SaveToFile(path.c_str());
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), "<old/>\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u); // no temporary file left behind
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(buffer.IsModified());
}

TEST(SafeSave, TargetsThatCannotBeWrittenFailWithTheMessage)
{
    RecordingUIServices ui;
    TempDir dir;
    CTextBuffer buffer;
    buffer.InitNew();
    EXPECT_FALSE(buffer.SaveToFile(dir.Path("no/such/folder/f.txt").c_str()));
    EXPECT_FALSE(buffer.SaveToFile(dir.Path().c_str())); // a folder
    EXPECT_FALSE(buffer.SaveToFile(nullptr));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>(3, kSaveFailed)));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
}

TEST(SafeSave, AReadOnlyFileIsNotReplaced)
{
    RecordingUIServices ui;
    TempDir dir;
    const std::string path = dir.Path("locked.txt");
    WriteFile(path, "locked");
    ::chmod(path.c_str(), 0444);
    CTextBuffer buffer;
    SetLines(buffer, {"new"});
    EXPECT_FALSE(buffer.SaveToFile(path.c_str()));
    EXPECT_EQ(ReadFile(path), "locked");
    EXPECT_EQ(ModeOf(path), 0444u);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kSaveFailed});
}

TEST(SafeSave, KeepsPermissionsOfTheReplacedFile)
{
    TempDir dir;
    const std::string path = dir.Path("f.txt");
    WriteFile(path, "old");
    ::chmod(path.c_str(), 0640);
    CTextBuffer buffer;
    SetLines(buffer, {"new", "text"});
    ASSERT_TRUE(buffer.SaveToFile(path.c_str()));
    EXPECT_EQ(ReadFile(path), "new\r\ntext");
    EXPECT_EQ(ModeOf(path), 0640u);
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(buffer.SaveToFile(path.c_str(), EOL_LF));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(ReadFile(path), "new\ntext");

    // A new file gets the usual mode for a created file.
    const mode_t mask = ::umask(027);
    ASSERT_TRUE(buffer.SaveToFile(dir.Path("new.txt").c_str()));
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.Path("new.txt")), 0640u);
}

TEST(SafeSave, WritesThroughSymbolicLinks)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("real"));
    const std::string target = dir.Path("real/target.xml");
    WriteFile(target, "old");
    ::chmod(target.c_str(), 0600);
    // link2 -> link1 -> real/target.xml, the first one relative.
    ASSERT_EQ(::symlink("real/target.xml", dir.Path("link1").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path("link1").c_str(), dir.Path("link2").c_str()), 0);
    CTextBuffer buffer;
    SetLines(buffer, {"through", "links"});
    ASSERT_TRUE(buffer.SaveToFile(dir.Path("link2").c_str(), EOL_LF));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link1")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link2")));
    EXPECT_EQ(ReadFile(target), "through\nlinks");
    EXPECT_EQ(ModeOf(target), 0600u);
    EXPECT_EQ(EntriesIn(dir.Path("real")), 1u);

    // A dangling link names the file to create.
    ASSERT_EQ(::symlink("real/created.txt", dir.Path("dangling").c_str()), 0);
    ASSERT_TRUE(buffer.SaveToFile(dir.Path("dangling").c_str(), EOL_LF));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("dangling")));
    EXPECT_EQ(ReadFile(dir.Path("real/created.txt")), "through\nlinks");

    // A loop of links cannot be saved through.
    RecordingUIServices ui;
    ASSERT_EQ(::symlink("loopB", dir.Path("loopA").c_str()), 0);
    ASSERT_EQ(::symlink("loopA", dir.Path("loopB").c_str()), 0);
    EXPECT_FALSE(buffer.SaveToFile(dir.Path("loopA").c_str()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kSaveFailed});
}

TEST(SafeSave, SuccessMarksTheSavedState)
{
    TempDir dir;
    const std::string path = dir.Path("f");
    CTextBuffer buffer;
    buffer.InitNew();
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 0, 0, "a", endLine, endChar, EA_TYPING);
    buffer.InsertText(nullptr, 0, 1, "b", endLine, endChar, EA_TYPING);
    ASSERT_TRUE(buffer.SaveToFile(path.c_str(), -1, false));
    EXPECT_TRUE(buffer.IsModified());
    ASSERT_TRUE(buffer.SaveToFile(path.c_str()));
    EXPECT_FALSE(buffer.IsModified());
    CPoint cursor;
    buffer.Undo(cursor);
    EXPECT_TRUE(buffer.IsModified());
    buffer.Undo(cursor); // the empty start is not what the file holds
    EXPECT_TRUE(buffer.IsModified());
    buffer.Redo(cursor);
    buffer.Redo(cursor);
    EXPECT_FALSE(buffer.IsModified());
}

TEST(SafeSave, AKilledSaveLeavesNothingBehind)
{
    // While a save is written its file has no name in the folder.
    {
        TempDir dir;
        AtomicFileWriter writer(dir.Path("doc.xml"));
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("x", 1));
        EXPECT_EQ(EntriesIn(dir.Path()), 0u);
        ASSERT_TRUE(writer.Commit());
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"doc.xml"});
    }

    // The writer itself, in chunks as the DOM serialiser hands them over.
    std::string bytes;
    for (int i = 0; bytes.size() < 2500000; ++i) bytes += "<item n=\"" + std::to_string(i) + "\">some text</item>\n";
    const auto write = [&](const std::string& path) {
        AtomicFileWriter writer(path);
        if (!writer.Open()) return false;
        for (std::size_t at = 0; at < bytes.size(); at += 4000)
            if (!writer.Write(bytes.data() + at, std::min<std::size_t>(4000, bytes.size() - at))) return false;
        return writer.Commit();
    };
    // The temporary has a name only between the two calls that link it into the
    // folder and rename it over the target: a kill rarely falls there.
    int leaving = 0;
    KillSavesAtRandom(write, 20, leaving);
    EXPECT_LE(leaving, 5);

    // The text buffer's save.
    CTextBuffer buffer;
    FillBuffer(buffer, 25000); // 2.5 MB
    KillSavesAtRandom([&](const std::string& path) { return buffer.SaveToFile(path.c_str()); }, 20, leaving);
    EXPECT_LE(leaving, 5);

    // Without unnamed files, each save removes what a killed one left.
    NamedTemporariesOnly named;
    KillSavesAtRandom([&](const std::string& path) { return buffer.SaveToFile(path.c_str()); }, 10, leaving);
}

TEST(SafeSave, OnlyAbandonedTemporariesOfTheSameTargetAreRemoved)
{
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporaries" : "named temporaries");
        std::optional<NamedTemporariesOnly> named;
        if (!unnamed) named.emplace();
        TempDir dir;
        const std::string target = dir.Path("doc.xml");
        WriteFile(target, "old");
        const std::vector<std::string> kept = {
            ".doc.xml.Ab12Cd",            // not ours
            ".doc.xml.brindle-Ab12C",     // one character short
            ".doc.xml.brindle-Ab12C_",    // a character we never use
            ".other.xml.brindle-Ab12Cd",  // another target's
            "doc.xml.brindle-Ab12Cd",     // no leading dot
        };
        for (const std::string& name : kept) WriteFile(dir.Path(name), "x");
        WriteFile(dir.Path(".doc.xml.brindle-Ab12Cd"), "abandoned");
        // A save still in progress holds a lock on its file.
        WriteFile(dir.Path(".doc.xml.brindle-Zz9Yy8"), "in use");
        const int busy = ::open(dir.Path(".doc.xml.brindle-Zz9Yy8").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(busy, 0);
        ASSERT_EQ(::flock(busy, LOCK_EX), 0);

        CTextBuffer buffer;
        SetLines(buffer, {"new"});
        ASSERT_TRUE(buffer.SaveToFile(target.c_str()));
        EXPECT_EQ(ReadFile(target), "new");
        std::vector<std::string> expected = kept;
        expected.push_back(".doc.xml.brindle-Zz9Yy8");
        expected.push_back("doc.xml");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(NamesIn(dir.Path()), expected);

        ::close(busy); // its writer is gone
        ASSERT_TRUE(buffer.SaveToFile(target.c_str()));
        expected.erase(std::find(expected.begin(), expected.end(), ".doc.xml.brindle-Zz9Yy8"));
        EXPECT_EQ(NamesIn(dir.Path()), expected);
    }
}

TEST(SafeSave, NamedTemporariesKeepTheGuarantees)
{
    NamedTemporariesOnly named;
    RecordingUIServices ui;
    TempDir dir;
    std::filesystem::create_directory(dir.Path("real"));
    const std::string target = dir.Path("real/doc.xml");
    WriteFile(target, "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(::symlink("real/doc.xml", dir.Path("link").c_str()), 0);
    CTextBuffer buffer;
    FillBuffer(buffer, 20000);
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(buffer.SaveToFile(dir.Path("link").c_str()));
    }
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(NamesIn(dir.Path("real")), std::vector<std::string>{"doc.xml"});

    SetLines(buffer, {"new"});
    ASSERT_TRUE(buffer.SaveToFile(dir.Path("link").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link")));
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(NamesIn(dir.Path("real")), std::vector<std::string>{"doc.xml"});

    ::chmod(target.c_str(), 0440);
    EXPECT_FALSE(buffer.SaveToFile(target.c_str()));
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(2, kSaveFailed));
}
