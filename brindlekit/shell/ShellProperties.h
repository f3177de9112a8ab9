#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace brindle {

// What the properties of a local file or folder show, as texts. Read without a
// window, so that every field can be checked.
struct BRINDLEKIT_API ShellProperties {
    std::string name;         // the name as shown (escaped)
    std::string type;         // the type description; "Folder" for a folder
    std::string location;     // the folder that holds it
    std::string size;         // "1.46 KB (1,500 bytes)"; empty for a folder
    std::string modified;     // local time, as the file list shows times
    std::string accessed;
    std::string permissions;  // "rw-r--r-- (0644)"
    std::string owner;        // "user:group"; numbers where no name is known
    std::string linkTarget;   // what a symbolic link points at; empty otherwise
    bool isFolder = false;

    // Reads the properties of a path (a link's own target is followed for
    // everything but the link target). False when the path cannot be
    // examined; `error` then says why, for the user.
    static bool Read(const std::filesystem::path& path, ShellProperties& properties, std::string& error);
    // "%0.2f KB (%s bytes)" with the byte count grouped by thousands.
    static std::string SizeText(std::uint64_t bytes);
    // "rwxr-x--- (0750)" of a mode's permission bits.
    static std::string PermissionText(unsigned mode);
};

} // namespace brindle
