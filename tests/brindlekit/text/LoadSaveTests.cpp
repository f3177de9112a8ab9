#include "TestSupport.h"

#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

using namespace brindle;
using namespace brindle::test;

using StrVec = std::vector<std::string>;

namespace {

struct Loaded {
    bool ok;
    int mode;
    StrVec lines;
};

Loaded Load(const std::string& bytes, int mode = -1)
{
    TempDir dir;
    WriteFile(dir.Path("in"), bytes);
    CTextBuffer buffer;
    const bool ok = buffer.LoadFromFile(dir.Path("in").c_str(), mode);
    return {ok, buffer.GetCRLFMode(), Lines(buffer)};
}

std::string SaveAgain(const std::string& bytes, int loadMode = -1, int saveMode = -1)
{
    TempDir dir;
    WriteFile(dir.Path("in"), bytes);
    CTextBuffer buffer;
    EXPECT_TRUE(buffer.LoadFromFile(dir.Path("in").c_str(), loadMode));
    EXPECT_TRUE(buffer.SaveToFile(dir.Path("out").c_str(), saveMode));
    return ReadFile(dir.Path("out"));
}

// The line break as a byte-by-byte automaton: a mismatch restarts the match
// without testing the mismatching byte again.
StrVec ReferenceSplit(const std::string& bytes, int mode)
{
    const std::string eol(EolBytes(mode));
    StrVec lines;
    std::string current;
    std::size_t matched = 0;
    for (char c : bytes) {
        current.push_back(c);
        if (c == eol[matched]) {
            if (++matched == eol.size()) {
                current.resize(current.size() - eol.size());
                lines.push_back(current);
                current.clear();
                matched = 0;
            }
        } else {
            matched = 0;
        }
    }
    lines.push_back(current);
    return lines;
}

// Text in the given mode with stray CR, LF and NUL bytes, lines over 256 bytes, one
// line across the first 32 KB boundary and enough bytes for several read blocks.
std::string GeneratedFile(int mode, unsigned seed, bool finalBreak)
{
    std::mt19937 rng(seed);
    const std::string eol(EolBytes(mode));
    const char alphabet[] = "<tag attr=\"v\">text</tag>\t \r\n\0xyz";
    // Clean first lines, so that the first LF is a break of the mode.
    std::string out = "<?xml version=\"1.0\"?>" + eol + "<root>" + eol;
    int lineNo = 0;
    while (out.size() < (2u << 20) + 12345) {
        std::size_t length = rng() % 90;
        if (lineNo % 50 == 7) length = 257 + rng() % 900;
        if (out.size() < 32768 && out.size() > 30000) length = 5000; // spans the first 32 KB
        if (lineNo == 3000) length = 1100000;                         // spans a whole read block
        for (std::size_t i = 0; i < length; ++i) out.push_back(alphabet[rng() % (sizeof alphabet - 1)]);
        out += eol;
        ++lineNo;
    }
    if (!finalBreak) out += "last line without a break";
    return out;
}

} // namespace

TEST(Load, DetectsTheModeFromTheFirstLineFeed)
{
    Loaded crlf = Load("a\r\nb\r\n");
    EXPECT_EQ(crlf.mode, EOL_CRLF);
    EXPECT_EQ(crlf.lines, (StrVec{"a", "b", ""}));
    Loaded lf = Load("a\nb");
    EXPECT_EQ(lf.mode, EOL_LF);
    EXPECT_EQ(lf.lines, (StrVec{"a", "b"}));
    Loaded lfcr = Load("a\n\rb");
    EXPECT_EQ(lfcr.mode, EOL_LFCR);
    EXPECT_EQ(lfcr.lines, (StrVec{"a", "b"}));
    EXPECT_EQ(Load("no break at all").mode, EOL_CRLF);
    EXPECT_EQ(Load("\n").mode, EOL_LF); // LF first and last
    // An LF after the first 32768 bytes is not looked at.
    Loaded late = Load(std::string(32768, 'x') + "\ny");
    EXPECT_EQ(late.mode, EOL_CRLF);
    EXPECT_EQ(late.lines.size(), 1u);
    // A given mode wins over detection.
    Loaded forced = Load("a\nb\r\nc", EOL_CRLF);
    EXPECT_EQ(forced.lines, (StrVec{"a\nb", "c"}));
}

TEST(Load, BytesThatDoNotFormTheBreakStayInTheLine)
{
    EXPECT_EQ(Load("p\r\nx\r\r\ny").lines, (StrVec{"p", "x\r\r\ny"}));
    EXPECT_EQ(Load("p\r\nx\r\r\r\ny").lines, (StrVec{"p", "x\r\r", "y"})); // an odd run of CRs ends it
    EXPECT_EQ(Load("a\r\nlone\ncr\rend").lines, (StrVec{"a", "lone\ncr\rend"}));
    EXPECT_EQ(Load("a\n\rb\n\n\rc\rd\n").lines, (StrVec{"a", "b\n\n\rc\rd\n"}));
    EXPECT_EQ(Load("a\nb\r\nc\r").lines, (StrVec{"a", "b\r", "c\r"}));
    EXPECT_EQ(Load(std::string("a\0b\nc", 5)).lines, (StrVec{std::string("a\0b", 3), "c"}));
}

TEST(Load, EmptyFileIsOneEmptyLineAndSavesEmpty)
{
    Loaded empty = Load("");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.lines, StrVec{""});
    EXPECT_EQ(SaveAgain(""), "");
}

TEST(Load, ResetsStateNotifiesAndReportsReadOnlyFiles)
{
    TempDir dir;
    WriteFile(dir.Path("f"), "one\ntwo");
    ::chmod(dir.Path("f").c_str(), 0444);
    CTextBuffer buffer;
    buffer.InitNew();
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 0, 0, "typed", endLine, endChar, EA_TYPING);
    RecordingView view;
    buffer.AddView(&view);
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f").c_str()));
    EXPECT_TRUE(buffer.GetReadOnly());
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());
    ASSERT_EQ(view.updates.size(), 1u);
    EXPECT_EQ(view.updates[0].flags, UPD_RESET);
    EXPECT_EQ(view.updates[0].line, -1);
    ::chmod(dir.Path("f").c_str(), 0644);
    ASSERT_TRUE(buffer.LoadFromFile(dir.Path("f").c_str()));
    EXPECT_FALSE(buffer.GetReadOnly());
}

TEST(Load, FailureKeepsTheCurrentTextSilently)
{
    RecordingUIServices ui;
    TempDir dir;
    CTextBuffer buffer;
    SetLines(buffer, {"kept", "text"});
    EXPECT_FALSE(buffer.LoadFromFile(dir.Path("missing").c_str()));
    EXPECT_FALSE(buffer.LoadFromFile(dir.Path().c_str())); // a folder: reading fails
    EXPECT_FALSE(buffer.LoadFromFile(nullptr));
    EXPECT_EQ(Lines(buffer), (StrVec{"kept", "text"}));
    EXPECT_TRUE(ui.Texts().empty());
}

TEST(LoadSave, GeneratedFilesRoundTripByteForByte)
{
    for (int mode = 0; mode < kEolModeCount; ++mode) {
        for (bool finalBreak : {false, true}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + (finalBreak ? " with" : " without") + " final break");
            const std::string bytes = GeneratedFile(mode, 17u + static_cast<unsigned>(mode), finalBreak);
            TempDir dir;
            WriteFile(dir.Path("in"), bytes);
            CTextBuffer buffer;
            ASSERT_TRUE(buffer.LoadFromFile(dir.Path("in").c_str()));
            ASSERT_EQ(buffer.GetCRLFMode(), mode);
            ASSERT_TRUE(Lines(buffer) == ReferenceSplit(bytes, mode));
            ASSERT_TRUE(buffer.SaveToFile(dir.Path("out").c_str()));
            ASSERT_TRUE(ReadFile(dir.Path("out")) == bytes);
        }
    }
}

TEST(LoadSave, ForcedModesSplitLikeTheAutomaton)
{
    const std::string noisy = GeneratedFile(EOL_LF, 99, false).substr(0, 300000) + "\r\r\r\n\n\n\r";
    for (int mode = 0; mode < kEolModeCount; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_TRUE(Load(noisy, mode).lines == ReferenceSplit(noisy, mode));
        EXPECT_TRUE(SaveAgain(noisy, mode) == noisy);
    }
}

TEST(LoadSave, StreamsWithoutAKnownSizeLoadIntact)
{
    // A pipe gives no size in advance, so lines are carried across storage blocks.
    TempDir dir;
    const std::string fifo = dir.Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = GeneratedFile(EOL_CRLF, 5, false);
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        std::size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, std::min<std::size_t>(bytes.size() - done, 70000));
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        if (fd >= 0) ::close(fd);
    });
    CTextBuffer buffer;
    const bool ok = buffer.LoadFromFile(fifo.c_str());
    writer.join();
    ASSERT_TRUE(ok);
    EXPECT_TRUE(Lines(buffer) == ReferenceSplit(bytes, EOL_CRLF));
}

TEST(Save, WritesTheRequestedBreaks)
{
    CTextBuffer buffer;
    SetLines(buffer, {"a", "", "b", ""});
    TempDir dir;
    const std::string path = dir.Path("out");
    buffer.SetCRLFMode(EOL_LFCR);
    ASSERT_TRUE(buffer.SaveToFile(path.c_str()));
    EXPECT_EQ(ReadFile(path), "a\n\r\n\rb\n\r");
    ASSERT_TRUE(buffer.SaveToFile(path.c_str(), EOL_LF));
    EXPECT_EQ(ReadFile(path), "a\n\nb\n");
    ASSERT_TRUE(buffer.SaveToFile(path.c_str(), EOL_CRLF));
    EXPECT_EQ(ReadFile(path), "a\r\n\r\nb\r\n");
    EXPECT_EQ(buffer.GetCRLFMode(), EOL_LFCR);
    EXPECT_THROW(buffer.SaveToFile(path.c_str(), 7), CTextIndexError);
}
