#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace brindle {

// One file row of the FTP directory list, as the server listed it.
struct CFTPDirItem {
    std::uint64_t size = 0;    // bytes
    std::time_t modified = 0;  // last write
    std::string path;          // the server's full path
    std::string name;          // as the server sent it; shown escaped
    std::string typeName;      // the type description shown for it
    int icon = -1;             // index in the list's images, -1 for none
};

} // namespace brindle
