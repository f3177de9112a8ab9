#include "platform/io/AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace brindle {

namespace {

std::atomic<bool> g_allowUnnamed{true};

constexpr std::string_view kTempMark = ".brindle-";
constexpr std::size_t kSuffixLength = 6;
constexpr std::size_t kMaxNameLength = 255;
constexpr int kNameAttempts = 100;

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

constexpr std::string_view kSuffixChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// ".<name>.brindle-": the target's name is shortened when the whole would not fit
// in a folder entry.
std::string TempPrefixFor(const std::string& name)
{
    const std::size_t room = kMaxNameLength - 1 - kTempMark.size() - kSuffixLength;
    return "." + name.substr(0, room) + std::string(kTempMark);
}

std::string RandomSuffix()
{
    thread_local std::mt19937_64 rng{std::random_device{}()};
    std::string suffix(kSuffixLength, ' ');
    for (char& c : suffix) c = kSuffixChars[rng() % kSuffixChars.size()];
    return suffix;
}

bool IsTempName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kSuffixLength || name.substr(0, prefix.size()) != prefix) return false;
    return name.substr(prefix.size()).find_first_not_of(kSuffixChars) == std::string_view::npos;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether the folder entry `name` is the file open as fd.
bool NameIsFile(int dirFd, const std::string& name, int fd)
{
    struct stat byName, byFd;
    return ::fstatat(dirFd, name.c_str(), &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
           SameFile(byName, byFd);
}

// A writer holds a lock on its named temporary until it is renamed or removed; the
// lock goes with the writer's process, so a temporary that can be locked was
// abandoned.
void RemoveIfAbandoned(int dirFd, const std::string& name)
{
    int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        NameIsFile(dirFd, name, fd))
        ::unlinkat(dirFd, name.c_str(), 0);
    ::close(fd);
}

// Removes the temporaries of earlier saves of the same target that were killed
// before they could clean up.
void RemoveStaleTemporaries(int dirFd, const std::string& prefix)
{
    const int scanFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scanFd < 0) return;
    DIR* dir = ::fdopendir(scanFd);
    if (!dir) {
        ::close(scanFd);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir))
        if (IsTempName(entry->d_name, prefix)) stale.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : stale) RemoveIfAbandoned(dirFd, name);
}

} // namespace

void AtomicFileWriter::AllowUnnamedFiles(bool allow) { g_allowUnnamed = allow; }

AtomicFileWriter::AtomicFileWriter(std::string path, int newFileMode)
    : m_path(std::move(path)), m_newFileMode(newFileMode)
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    // Unlink before closing: the lock keeps others' clean-up away meanwhile.
    if (!m_committed && !m_tempName.empty()) ::unlinkat(m_dirFd, m_tempName.c_str(), 0);
    if (m_fd >= 0) ::close(m_fd);
    if (m_dirFd >= 0) ::close(m_dirFd);
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

bool AtomicFileWriter::OpenUnnamed()
{
    // Naming it later goes through /proc (or needs a privilege for AT_EMPTY_PATH).
    if (!g_allowUnnamed || (::access("/proc/self/fd", X_OK) != 0 && ::geteuid() != 0)) return false;
    m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (m_fd < 0) return false;
    // Locked from the start, so that the name it gets for the rename is never taken
    // for an abandoned one.
    ::flock(m_fd, LOCK_EX);
    return true;
}

bool AtomicFileWriter::OpenNamed()
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = m_tempPrefix + RandomSuffix();
        const int fd = ::openat(m_dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        // Another save's clean-up may have taken the file between its creation and
        // the lock: then it is gone from the folder, and we start again.
        if (::flock(fd, LOCK_EX) == 0 && !NameIsFile(m_dirFd, name, fd)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_tempName = name;
        return true;
    }
    errno = EEXIST;
    return false;
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

    m_dirFd = ::open(DirectoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0) return false;
    m_tempPrefix = TempPrefixFor(NameOf(m_target));
    RemoveStaleTemporaries(m_dirFd, m_tempPrefix);
    // Any failure of the unnamed file (a file system without them answers
    // EOPNOTSUPP, EISDIR or EINVAL) leaves the named one to try, which fails in turn
    // when the folder is the trouble.
    if (!OpenUnnamed() && !OpenNamed()) return false;

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

bool AtomicFileWriter::NameUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = m_tempPrefix + RandomSuffix();
        int linked = ::linkat(AT_FDCWD, self.c_str(), m_dirFd, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST) linked = ::linkat(m_fd, "", m_dirFd, name.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            m_tempName = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool AtomicFileWriter::Commit()
{
    if (m_fd < 0 || m_failed || !Flush()) return false;
    if (::fsync(m_fd) != 0) return false;
    // An unnamed file gets its name only now, for the rename; the lock on it stays
    // until the rename is done.
    if (m_tempName.empty() && !NameUnnamed()) return false;
    if (::renameat(m_dirFd, m_tempName.c_str(), m_dirFd, NameOf(m_target).c_str()) != 0) return false;
    m_committed = true;
    ::close(m_fd); // the contents are on disk already
    m_fd = -1;
    // Make the rename itself durable.
    ::fsync(m_dirFd);
    return true;
}

} // namespace brindle
