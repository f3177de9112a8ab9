// A file held open for reading its original bytes later.

#include "platform/io/HeldFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle {

namespace {

std::int64_t ModifiedNs(const struct stat& info)
{
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

} // namespace

std::shared_ptr<HeldFile> HeldFile::Open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<HeldFile>(new HeldFile(fd, static_cast<std::uint64_t>(info.st_size), ModifiedNs(info)));
}

HeldFile::~HeldFile()
{
    if (m_map) ::munmap(m_map, m_size);
    ::close(m_fd);
}

std::string_view HeldFile::Bytes(std::string& whyNot)
{
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        whyNot = std::string("the file cannot be read: ") + std::strerror(errno);
        return {};
    }
    if (static_cast<std::uint64_t>(info.st_size) != m_size || ModifiedNs(info) != m_mtimeNs) {
        whyNot = "the file changed on disk since it was opened";
        return {};
    }
    if (m_size == 0) return {};
    if (!m_map) {
        void* map = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (map == MAP_FAILED) {
            whyNot = std::string("the file cannot be read: ") + std::strerror(errno);
            return {};
        }
        ::madvise(map, m_size, MADV_SEQUENTIAL);
        m_map = map;
    }
    return {static_cast<const char*>(m_map), m_size};
}

} // namespace brindle
