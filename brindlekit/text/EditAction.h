#pragma once

#include "platform/Export.h"

#include <string_view>

namespace brindle {

// The edit action recorded with each undoable change.
enum EditAction : int {
    EA_UNKNOWN = 0,
    EA_PASTE = 1,
    EA_DELSEL = 2,
    EA_CUT = 3,
    EA_TYPING = 4,
    EA_BACKSPACE = 5,
    EA_INDENT = 6,
    EA_DRAGDROP = 7,
    EA_REPLACE = 8,
    EA_DELETE = 9,
    EA_AUTOINDENT = 10,
};

constexpr int kEditActionCount = 11;

// String-table ids of the action names and of the Undo/Redo menu labels.
constexpr int IDS_EA_FIRST = 8619;
constexpr int IDS_MENU_UNDO_FORMAT = 8615; // "&Undo %s\tCtrl+Z"
constexpr int IDS_MENU_REDO_FORMAT = 8616; // "&Redo %s\tCtrl+Y"
constexpr int IDS_MENU_UNDO_DEFAULT = 8617;
constexpr int IDS_MENU_REDO_DEFAULT = 8618;

// The string id of an action's name, or 0 for a code outside 0..10.
BRINDLEKIT_API int EditActionStringId(int action);
// The name of an action ("Unknown" ... "Auto Indent"), or empty for an unknown code.
BRINDLEKIT_API std::string_view EditActionName(int action);
// The menu label texts by string id (8615..8618); empty for other ids.
BRINDLEKIT_API std::string_view UndoMenuLabel(int stringId);

} // namespace brindle
