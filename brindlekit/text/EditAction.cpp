#include "brindlekit/text/EditAction.h"

namespace brindle {

namespace {

struct ActionEntry {
    int stringId;
    std::string_view name;
};

// Indexed by action code. Delete (9) was added after the others and took the id
// between Cut and Typing, so ids do not follow codes.
constexpr ActionEntry kActions[kEditActionCount] = {
    {8619, "Unknown"},        {8620, "Paste"},  {8621, "Delete Selection"}, {8622, "Cut"},
    {8624, "Typing"},         {8625, "Backspace"}, {8626, "Indent"},      {8627, "Drag And Drop"},
    {8628, "Replace"},        {8623, "Delete"}, {8629, "Auto Indent"},
};

} // namespace

int EditActionStringId(int action)
{
    return action >= 0 && action < kEditActionCount ? kActions[action].stringId : 0;
}

std::string_view EditActionName(int action)
{
    return action >= 0 && action < kEditActionCount ? kActions[action].name : std::string_view();
}

std::string_view UndoMenuLabel(int stringId)
{
    switch (stringId) {
    case IDS_MENU_UNDO_FORMAT: return "&Undo %s\tCtrl+Z";
    case IDS_MENU_REDO_FORMAT: return "&Redo %s\tCtrl+Y";
    case IDS_MENU_UNDO_DEFAULT: return "&Undo\tCtrl+Z";
    case IDS_MENU_REDO_DEFAULT: return "&Redo\tCtrl+Y";
    default: return {};
    }
}

} // namespace brindle
