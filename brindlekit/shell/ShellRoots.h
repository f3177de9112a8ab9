#pragma once

#include "brindlekit/shell/ShellFolderTree.h"
#include "platform/Export.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brindle {

// Where the tree's starting points are found.
struct BRINDLEKIT_API ShellRootSources {
    std::filesystem::path home;          // the user's home folder
    std::filesystem::path userDirsFile;  // the XDG user-dirs.dirs file
    std::filesystem::path mountsFile;    // the table of mounted file systems
    // From $HOME, $XDG_CONFIG_HOME and /proc/self/mounts.
    static ShellRootSources FromEnvironment();
};

// The starting points, in order: the home folder, Desktop and Documents when
// they exist and are not the home folder itself, "/", then the removable and
// other volumes mounted under /media, /run/media and /mnt.
BRINDLEKIT_API std::vector<ShellRoot> DefaultShellRoots(const ShellRootSources& sources);

// The folder an XDG user-dirs file gives for a key such as "XDG_DESKTOP_DIR",
// with "$HOME" replaced; empty when the key is missing or unusable.
BRINDLEKIT_API std::filesystem::path XdgUserDir(const std::string& fileText, const std::string& key,
                                                const std::filesystem::path& home);

// The mount points of a mounts table whose octal escapes ("\040") are decoded.
BRINDLEKIT_API std::vector<std::filesystem::path> MountPoints(const std::string& tableText);

} // namespace brindle
