#include "brindlekit/shell/ShellItemCommands.h"

#include "brindlekit/shell/ShellProperties.h"
#include "brindlekit/shell/ShellPropertiesDialog.h"
#include "platform/io/DisplayName.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/UIServices.h"

#include <wx/utils.h>

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool Launch(const fs::path& path)
{
    if (wxLaunchDefaultApplication(wxString::FromUTF8(path.string()))) return true;
    UIServices().MessageBox("No application could be started for \"" + EscapedDisplayName(path.string()) + "\".",
                            MsgButtons::Ok, MsgIcon::Warning);
    return false;
}

} // namespace

std::vector<MenuTemplateItem> ShellItemMenuItems()
{
    return {{kShellCommandOpen, "Open with Default Application", {}},
            {kShellCommandOpenContaining, "Open Containing Folder", {}},
            {kShellCommandCopyPath, "Copy Path", {}},
            {},
            {kShellCommandProperties, "Properties", {}}};
}

bool RunShellCommand(int command, const fs::path& path, wxWindow* owner)
{
    switch (command) {
    case kShellCommandOpen:
        return Launch(path);
    case kShellCommandOpenContaining:
        return Launch(path.parent_path().empty() ? path : path.parent_path());
    case kShellCommandCopyPath:
        if (Clipboard().SetText(path.string())) return true;
        UIServices().MessageBox("The clipboard cannot be opened.", MsgButtons::Ok, MsgIcon::Warning);
        return false;
    case kShellCommandProperties: {
        ShellProperties properties;
        std::string error;
        if (!ShellProperties::Read(path, properties, error)) {
            UIServices().MessageBox(error, MsgButtons::Ok, MsgIcon::Warning);
            return false;
        }
        ShellPropertiesDialog dialog(owner, properties);
        dialog.ShowModal();
        return true;
    }
    default:
        return false;
    }
}

} // namespace brindle
