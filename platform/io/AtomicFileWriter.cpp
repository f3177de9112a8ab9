#include "platform/io/AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace brindle {

namespace {

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's file creation mask (set and restored at once; files are only
// created from the user-interface thread).
mode_t CurrentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string path, int newFileMode)
    : m_path(std::move(path)), m_newFileMode(newFileMode)
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (m_fd >= 0) ::close(m_fd);
    if (!m_committed && !m_temp.empty()) ::unlink(m_temp.c_str());
}

bool AtomicFileWriter::ResolveTarget()
{
    // Follow symbolic links one by one so that a dangling one still names the file
    // to create; relative links are relative to the link's folder.
    std::string path = m_path;
    for (int hops = 0;; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        if (hops == 40) return false;
        std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return false;
        std::string next(link.data(), static_cast<std::size_t>(n));
        if (next.empty()) return false;
        path = next[0] == '/' ? next : DirectoryOf(path) + "/" + next;
    }
    m_target = path;
    return true;
}

bool AtomicFileWriter::Open()
{
    if (m_path.empty() || !ResolveTarget()) return false;

    struct stat st;
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return false; // never rename over a folder or device
    if (!exists && errno != ENOENT) return false;
    // A file that may not be written stays as it is, even though replacing it would
    // only need the folder to be writable.
    if (exists && ((st.st_mode & 0222) == 0 || ::access(m_target.c_str(), W_OK) != 0)) return false;

    std::string pattern = DirectoryOf(m_target) + "/." + NameOf(m_target) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0) return false;
    m_temp.assign(name.data());

    if (exists) {
        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
            // Not permitted for an ordinary user saving someone else's file: keep ours.
        }
        if (::fchmod(m_fd, st.st_mode & 07777) != 0) return false;
    } else if (::fchmod(m_fd, m_newFileMode >= 0 ? static_cast<mode_t>(m_newFileMode) : 0666 & ~CurrentUmask()) != 0) {
        return false;
    }
    m_buffer.reset(new char[kBufferSize]);
    return true;
}

bool AtomicFileWriter::WriteAll(const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(m_fd, bytes, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
        m_written += static_cast<std::size_t>(n);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Start writing finished stretches to disk now, so that the final fsync has
    // little left to wait for.
    if (m_written - m_synced >= kSyncStep) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_synced), static_cast<off_t>(m_written - m_synced),
                          SYNC_FILE_RANGE_WRITE);
        m_synced = m_written;
    }
#endif
    return true;
}

bool AtomicFileWriter::Flush()
{
    if (m_used == 0) return true;
    const bool ok = WriteAll(m_buffer.get(), m_used);
    m_used = 0;
    return ok;
}

bool AtomicFileWriter::WriteSlow(const char* bytes, std::size_t count)
{
    if (m_fd < 0 || m_failed) return false;
    if (count > kBufferSize - m_used) {
        bool ok = Flush();
        if (ok && count >= kBufferSize) {
            ok = WriteAll(bytes, count);
            if (ok) return true;
        }
        if (!ok) {
            m_failed = true;
            return false;
        }
    }
    std::memcpy(m_buffer.get() + m_used, bytes, count);
    m_used += count;
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_fd < 0 || m_failed || !Flush()) return false;
    if (::fsync(m_fd) != 0) return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) return false;
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) return false;
    m_committed = true;
    // Make the rename itself durable; the new contents are already on disk.
    const int dir = ::open(DirectoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace brindle
