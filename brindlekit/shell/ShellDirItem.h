#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace brindle {

// One file row of the local directory list.
struct ShellDirItem {
    std::string name;                // the file name's bytes; shown escaped
    std::filesystem::path path;      // the full path
    std::uint64_t size = 0;          // bytes
    std::time_t modified = 0;        // last write
    std::string typeName;            // the type description shown for it
    int icon = -1;                   // index in the list's images, -1 for none
};

// A directory entry left out of a listing, and why.
struct ShellSkippedEntry {
    std::string name;
    std::string reason;
};

} // namespace brindle
