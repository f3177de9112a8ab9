#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace brindle {
class CFTPFileFind;
struct FtpEntry;
} // namespace brindle

// What the remote file property sheet shows for one file or folder, as text.
// Names and paths from the server are in their shown (escaped) form.
struct RemoteFileFields {
    std::string name;
    std::string type;
    std::string host;
    std::string location;
    std::string size; // "%0.2f KB (%i bytes)"
    std::string created;
    std::string modified;
    std::string accessed;
    bool folder = false;
    bool readOnly = false;
    bool hidden = false;
};

// "%0.2f KB (%i bytes)": the byte count in thousands with two decimals, then itself.
std::string RemoteFileSizeText(std::uint64_t bytes);
// The local time in a strftime format; empty for an unknown (0) time or one
// that cannot be formatted.
std::string LocalTimeText(std::time_t when, const char* format);
// The local time as "%A, %B %d, %Y, %I:%M:%S %p"; empty for an unknown (0) time
// or one that cannot be formatted.
std::string RemoteFileTimeText(std::time_t when);

RemoteFileFields RemoteFileFieldsOf(const brindle::FtpEntry& entry, const std::string& host);
// The finder's current entry.
RemoteFileFields RemoteFileFieldsOf(const brindle::CFTPFileFind& finder, const std::string& host);
