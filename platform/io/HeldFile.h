#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace brindle {

// A file kept open from the moment it was read, so that its bytes of that
// moment can be read again later: a save that replaces the file by renaming a
// new one over it leaves the held one readable. A change made to the file in
// place is noticed (its size or modification time moved) and refused.
class BRINDLEKIT_API HeldFile {
public:
    // nullptr when the file cannot be opened.
    static std::shared_ptr<HeldFile> Open(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // The bytes as they were when opened, mapped into memory; valid while this
    // object lives. Empty with a reason when the file changed since or cannot
    // be read.
    std::string_view Bytes(std::string& whyNot);
    std::uint64_t Size() const { return m_size; }

private:
    HeldFile(int fd, std::uint64_t size, std::int64_t mtimeNs) : m_fd(fd), m_size(size), m_mtimeNs(mtimeNs) {}
    int m_fd;
    std::uint64_t m_size;
    std::int64_t m_mtimeNs;
    void* m_map = nullptr;
};

} // namespace brindle
