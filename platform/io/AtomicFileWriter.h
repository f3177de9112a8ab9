#pragma once

#include "platform/Export.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <sys/types.h>

namespace brindle {

// Replaces a file's contents all at once: the bytes go to a temporary file in the
// target's folder, which is flushed to disk and renamed over the target only when
// everything was written. A symbolic link is followed and its target replaced; an
// existing target's permissions and owner carry over; a target without write
// permission is refused. Until Commit succeeds the target is untouched, and an
// abandoned temporary file is removed. A new file gets `newFileMode` (by default
// what the process's creation mask allows).
//
// A save that is killed leaves nothing behind: the temporary file has no name
// (O_TMPFILE) until the instant before the rename. Where the file system has no
// unnamed files, it is named ".<name>.brindle-XXXXXX" and locked while in use, and
// the next save of the same target removes such files whose writer is gone.
class BRINDLEKIT_API AtomicFileWriter {
public:
    static constexpr int kDefaultMode = -1;
    explicit AtomicFileWriter(std::string path, int newFileMode = kDefaultMode);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Open();
    bool Write(const char* bytes, std::size_t count)
    {
        if (count <= kBufferSize - m_used && m_fd >= 0 && !m_failed) {
            std::memcpy(m_buffer.get() + m_used, bytes, count);
            m_used += count;
            return true;
        }
        return WriteSlow(bytes, count);
    }
    bool Commit();

    // The file that will be replaced (symbolic links resolved); valid after Open.
    const std::string& Target() const { return m_target; }

    // Whether Open may use unnamed temporary files (true by default). False makes
    // every writer behave as on a file system without them; for tests.
    static void AllowUnnamedFiles(bool allow);

private:
    bool ResolveTarget();
    bool OpenUnnamed();
    bool OpenNamed();
    bool NameUnnamed();
    bool WriteSlow(const char* bytes, std::size_t count);
    bool Flush();
    bool WriteAll(const char* bytes, std::size_t count);

    static constexpr std::size_t kBufferSize = 1 << 20;
    static constexpr std::size_t kSyncStep = 8 << 20;

    std::string m_path;
    int m_newFileMode;
    std::string m_target;
    std::string m_tempPrefix; // the target's temporaries: this, then six characters
    std::string m_tempName;   // the temporary's name in the folder, once it has one
    int m_dirFd = -1;         // the target's folder
    int m_fd = -1;
    bool m_failed = false;
    bool m_committed = false;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    std::size_t m_written = 0; // bytes handed to the system
    std::size_t m_synced = 0;  // bytes whose writing to disk has been started
};

} // namespace brindle
