#include "brindlekit/ftp/FTPFileFind.h"

namespace brindle {

CFTPFileFind::CFTPFileFind(FtpConnection* connection) : m_pConnection(connection) {}

CFTPFileFind::~CFTPFileFind() = default;

bool CFTPFileFind::FindFile(const std::string& pattern)
{
    Close();
    if (!m_pConnection || !m_pConnection->List(pattern, m_entries)) {
        m_entries.clear();
        return false;
    }
    return !m_entries.empty();
}

bool CFTPFileFind::FindNextFile()
{
    const long count = static_cast<long>(m_entries.size());
    if (m_current < count) ++m_current;
    return m_current + 1 < count;
}

void CFTPFileFind::Close()
{
    m_entries.clear();
    m_current = -1;
}

const FtpEntry* CFTPFileFind::Current() const
{
    if (m_current < 0 || m_current >= static_cast<long>(m_entries.size())) return nullptr;
    return &m_entries[static_cast<size_t>(m_current)];
}

std::string CFTPFileFind::GetFileName() const { return Current() ? Current()->name : std::string(); }
std::string CFTPFileFind::GetFilePath() const { return Current() ? Current()->path : std::string(); }
std::uint64_t CFTPFileFind::GetLength() const { return Current() ? Current()->size : 0; }
std::time_t CFTPFileFind::GetCreationTime() const { return Current() ? Current()->created : 0; }
std::time_t CFTPFileFind::GetLastAccessTime() const { return Current() ? Current()->accessed : 0; }
std::time_t CFTPFileFind::GetLastWriteTime() const { return Current() ? Current()->written : 0; }
bool CFTPFileFind::IsDirectory() const { return Current() && Current()->directory; }
bool CFTPFileFind::IsReadOnly() const { return Current() && Current()->readOnly; }
bool CFTPFileFind::IsHidden() const { return Current() && Current()->hidden; }

} // namespace brindle
