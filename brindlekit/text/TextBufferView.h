#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <string_view>

namespace brindle {

class CUpdateContext;

// What a text buffer knows of the views attached to it. The text view implements
// it; the buffer calls it after every change and never owns the views.
class BRINDLEKIT_API ITextBufferView {
public:
    virtual ~ITextBufferView();

    // A change happened. source: the view that made it (null for undo, redo, loads
    // and changes from elsewhere); context: how positions move (null for flag
    // changes and resets); flags: UPD_* bits; line: the first line concerned, or -1.
    virtual void UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line) = 0;

    // Called on the view that closed an undo group, with the action and text of the
    // last record. May itself edit the buffer (auto-indent); such edits form a new group.
    virtual void OnEditOperation(int action, std::string_view text);
};

} // namespace brindle
