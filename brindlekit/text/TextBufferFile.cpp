#include "brindlekit/text/TextBuffer.h"

#include "platform/io/AtomicFileWriter.h"
#include "brindlekit/text/LineArena.h"
#include "brindlekit/text/LineReader.h"
#include "platform/ui/UIServices.h"

#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle {

namespace {

// Shown when a file cannot be written ("error creating file").
constexpr const char* kSaveFailedMessage = "创建文件错误";

struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

// The file cannot be written by us: the counterpart of a read-only attribute.
bool IsReadOnlyFile(const char* path, const struct stat& st)
{
    return (st.st_mode & 0222) == 0 || ::access(path, W_OK) != 0;
}

} // namespace

bool CTextBuffer::LoadFromFile(const char* path, int mode, const FileProgress& progress)
{
    if (mode != -1 && !IsValidEolMode(mode)) throw CTextIndexError("invalid end-of-line mode " + std::to_string(mode));
    if (!path) return false;
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    FileDescriptor file{::open(path, O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return false;
    ::posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (::fstat(file.fd, &st) != 0) return false;

    // Read into new storage: the current text stays until the whole file is in.
    LineArena arena;
    LineTable lines;
    LineReader reader(file.fd, S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0, mode, &progress);
    try {
        if (!reader.Read(arena, lines)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }

    ReleaseLines();
    ClearUndoHistory();
    m_aLines.swap(lines);
    m_bLinesOwnStorage = false;
    m_pArena->Swap(arena);
    ResetState(reader.Mode(), IsReadOnlyFile(path, st));
    return true;
}

bool CTextBuffer::SaveToFile(const char* path, int mode, bool clearModifiedFlag, const FileProgress& progress)
{
    const int eolMode = mode == -1 ? m_nCRLFMode : mode;
    const std::string_view eol = EolBytes(eolMode);

    AtomicFileWriter writer(path ? path : "");
    bool ok = writer.Open();
    const std::size_t count = m_aLines.size();
    std::uint64_t total = 0, done = 0;
    if (progress)
        for (const TextLine& line : m_aLines) total += line.Text().size() + eol.size();
    constexpr std::size_t kLinesPerReport = 16384;
    for (std::size_t i = 0; ok && i < count; ++i) {
        const std::string_view text = m_aLines[i].Text();
        ok = writer.Write(text.data(), text.size());
        if (ok && i + 1 < count) ok = writer.Write(eol.data(), eol.size());
        if (progress) {
            done += text.size() + eol.size();
            // A cancel leaves the temporary file uncommitted: the target stays as it was.
            if (i % kLinesPerReport == 0 && !progress(done, total)) return false;
        }
    }
    ok = ok && writer.Commit();
    if (!ok) {
        UIServices().MessageBox(kSaveFailedMessage, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    if (clearModifiedFlag) MarkSaved();
    return true;
}

void CTextBuffer::MarkSaved()
{
    m_nSyncPosition = m_nUndoPosition;
    SetModified(false);
}

void CTextBuffer::MarkUnsaved()
{
    m_nSyncPosition = -1;
    SetModified(true);
}

} // namespace brindle
