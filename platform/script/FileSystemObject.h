#pragma once

#include "platform/script/ScriptObject.h"

namespace brindle::vbs {

// Scripting.FileSystemObject over the host's file system. Paths are UTF-8 on
// disk and may separate folders with "\" or "/"; paths it returns use "/".
// There are no drive letters: the root "/" is the one drive, and
// GetSpecialFolder knows only the temporary folder (2).
class FileSystemObject : public ScriptObject {
public:
    VbString TypeName() const override { return u"FileSystemObject"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
};

// The path-name functions, which work on the text alone (the items need not exist).
namespace pathname {
VbString BuildPath(VbStringView path, VbStringView name);
VbString FileName(VbStringView path);      // the last part
VbString BaseName(VbStringView path);      // the last part without its extension
VbString ExtensionName(VbStringView path); // after the last part's last "."
VbString ParentFolderName(VbStringView path);
VbString DriveName(VbStringView path);     // "C:" of "C:\x", else ""
} // namespace pathname

} // namespace brindle::vbs
