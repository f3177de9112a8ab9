#include "TestSupport.h"

#include "tests/support/RecordingUIServices.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
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
