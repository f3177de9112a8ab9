#include "app/document/DiskChangeWatch.h"

#include <sys/stat.h>

FileStamp FileStamp::Of(const std::string& path)
{
    FileStamp stamp;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

void DiskChangeWatch::Record(const std::string& path)
{
    m_path = path;
    m_recorded = FileStamp::Of(path);
    m_reported = m_recorded;
}

void DiskChangeWatch::Forget()
{
    m_path.clear();
    m_recorded = m_reported = FileStamp{};
}

DiskChangeWatch::Change DiskChangeWatch::Check()
{
    // A file that was not there when recorded has nothing to compare with.
    if (m_path.empty() || !m_recorded.exists) return Change::None;
    const FileStamp now = FileStamp::Of(m_path);
    if (now == m_reported) return Change::None;
    m_reported = now;
    if (now == m_recorded) return Change::None; // back as it was
    return now.exists ? Change::Changed : Change::Deleted;
}

bool DiskChangeWatch::ChangedSinceRecorded() const
{
    if (m_path.empty() || !m_recorded.exists) return false;
    const FileStamp now = FileStamp::Of(m_path);
    return now.exists && now != m_recorded;
}
