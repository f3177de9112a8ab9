#pragma once

#include "platform/Export.h"
#include "platform/net/FtpClient.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace brindle {

// A walk over one directory listing of an FTP connection. FindFile fetches the
// listing afresh from the server; the entries are then read one by one:
//
//     bool more = finder.FindFile("*.*");
//     while (more) {
//         more = finder.FindNextFile();   // moves to the next entry
//         ... finder.GetFileName() ...    // the entry just reached
//     }
//
// FindNextFile returns false when the entry it reached is the last one. The
// accessors read the current entry; before the first FindNextFile, or after
// Close, there is none and they give empty values. "." and ".." are kept when
// the server lists them.
class BRINDLEKIT_API CFTPFileFind {
public:
    // The connection is used by FindFile only; it must outlive that call.
    explicit CFTPFileFind(FtpConnection* connection);
    virtual ~CFTPFileFind();

    // ---- Walking ----
    // Lists the connection's current directory; true when at least one entry matched.
    bool FindFile(const std::string& pattern = "*.*");
    bool FindNextFile();
    void Close();

    // ---- The current entry ----
    std::string GetFileName() const;
    std::string GetFilePath() const;
    std::uint64_t GetLength() const;
    std::time_t GetCreationTime() const;
    std::time_t GetLastAccessTime() const;
    std::time_t GetLastWriteTime() const;
    bool IsDirectory() const;
    bool IsReadOnly() const;
    bool IsHidden() const;

private:
    const FtpEntry* Current() const;

    FtpConnection* m_pConnection;
    std::vector<FtpEntry> m_entries;
    // Index of the current entry; -1 before the first FindNextFile.
    long m_current = -1;
};

} // namespace brindle
