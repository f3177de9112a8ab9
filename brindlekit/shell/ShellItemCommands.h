#pragma once

#include "brindlekit/chrome/TarnMenu.h"
#include "platform/Export.h"

#include <filesystem>
#include <vector>

class wxWindow;

namespace brindle {

// The commands a local file or folder offers in the controls' own context
// menu, by number (the numbers InvokeCommand takes).
enum ShellCommand {
    kShellCommandOpen = 1,            // open with the default application
    kShellCommandOpenContaining = 2,  // open the folder that holds it
    kShellCommandCopyPath = 3,        // put its full path on the clipboard
    kShellCommandProperties = 20,     // the properties dialog
};

// The context menu of a file or folder when its control has no menu of its own.
BRINDLEKIT_API std::vector<MenuTemplateItem> ShellItemMenuItems();

// Carries out a command on a path; failures are told to the user. False for
// an unknown command or one that failed.
BRINDLEKIT_API bool RunShellCommand(int command, const std::filesystem::path& path, wxWindow* owner);

} // namespace brindle
