#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace brindle {

// One folder of the local folder tree. Its children are read the first time it
// is expanded and kept until it is refreshed.
struct ShellFolderEntry {
    std::string name;                 // the folder name's bytes (or a root's title)
    std::filesystem::path path;
    bool hasSubfolders = false;       // whether to offer expanding it
    bool expandedOnce = false;        // its children have been read
    std::string problem;              // why its children could not be read; empty when they could
    ShellFolderEntry* parent = nullptr;
    std::vector<std::unique_ptr<ShellFolderEntry>> children;
};

} // namespace brindle
