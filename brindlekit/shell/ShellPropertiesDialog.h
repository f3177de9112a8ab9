#pragma once

#include "brindlekit/shell/ShellProperties.h"
#include "platform/Export.h"

#include <wx/dialog.h>

namespace brindle {

// Shows the properties of a local file or folder, one labelled line each; a
// field without a value (the size of a folder, the target of a plain file) is
// left out.
class BRINDLEKIT_API ShellPropertiesDialog : public wxDialog {
public:
    ShellPropertiesDialog(wxWindow* parent, const ShellProperties& properties);
};

} // namespace brindle
