#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptObject.h"

namespace brindle::vbs {

// CreateObject: "Scripting.Dictionary", "Scripting.FileSystemObject",
// "VBScript.RegExp", "Msxml2.DOMDocument" (and its versioned and older names).
// Names compare case-insensitively; an unknown one throws 429 (ActiveX
// component can't create object).
BRINDLEKIT_API ObjectPtr CreateScriptObject(VbStringView progId);
// New RegExp (the language's own "New RegExp").
BRINDLEKIT_API ObjectPtr CreateRegExp();

} // namespace brindle::vbs
