#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptString.h"

#include <optional>

namespace brindle::vbs {

// The dialogs a script may show (MsgBox, InputBox). The program implements
// this with its toolkit; without one the engine answers as if OK was pressed
// and nothing typed.
class BRINDLEKIT_API ScriptUI {
public:
    virtual ~ScriptUI();
    // buttons is MsgBox's second argument (button set + icon + default button
    // flags); returns the pressed button's value (vbOK 1 ... vbNo 7).
    virtual int MsgBox(const VbString& prompt, int buttons, const VbString& title) = 0;
    // The typed text, or nothing when cancelled.
    virtual std::optional<VbString> InputBox(const VbString& prompt, const VbString& title,
                                             const VbString& defaultText) = 0;
};

} // namespace brindle::vbs
