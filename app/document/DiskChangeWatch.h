#pragma once

#include <cstdint>
#include <string>

// What a file on disk looks like from outside: enough to tell that another
// program replaced, rewrote or deleted it, from one stat call.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // last write, nanoseconds since the epoch

    // The file as it is now (exists false when it cannot be stat'ed).
    static FileStamp Of(const std::string& path);
    bool operator==(const FileStamp&) const = default;
};

// Watches the file a local document was read from or last written to, so that a
// change made by another program is noticed when the window is activated. The
// document records the file at every open and save; a check then compares it
// with the disk. Each distinct state of the file is reported once: once the user
// has been asked about it (and kept the document), only a further change is
// reported again.
class DiskChangeWatch {
public:
    enum class Change { None, Changed, Deleted };

    // The document now holds what is in the file at path (read or just written).
    void Record(const std::string& path);
    // The document has no local file to watch (new, remote).
    void Forget();
    const std::string& Path() const { return m_path; }

    // What happened to the file since it was recorded, unless that state was
    // reported already; a reported state is not reported again.
    Change Check();
    // Whether the file differs from what the document last read or wrote (and
    // still exists), whether or not that was reported: Save asks before
    // overwriting such a file.
    bool ChangedSinceRecorded() const;

private:
    std::string m_path;
    FileStamp m_recorded;
    FileStamp m_reported; // the last state the user was told of
};
