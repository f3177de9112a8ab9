#pragma once

#include "platform/Export.h"

// Command ids of the text views and the keys bound to them. The numbers are those of
// the program's resources, so a menu item of the program and a key of a view reach the
// same handler.

namespace brindle::textcmd {

// Cursor movement; the odd ids extend the selection.
constexpr int ID_EDIT_CHAR_LEFT = 37100;
constexpr int ID_EDIT_EXT_CHAR_LEFT = 37101;
constexpr int ID_EDIT_CHAR_RIGHT = 37102;
constexpr int ID_EDIT_EXT_CHAR_RIGHT = 37103;
constexpr int ID_EDIT_WORD_LEFT = 37104;
constexpr int ID_EDIT_EXT_WORD_LEFT = 37105;
constexpr int ID_EDIT_WORD_RIGHT = 37106;
constexpr int ID_EDIT_EXT_WORD_RIGHT = 37107;
constexpr int ID_EDIT_LINE_UP = 37108;
constexpr int ID_EDIT_EXT_LINE_UP = 37109;
constexpr int ID_EDIT_LINE_DOWN = 37110;
constexpr int ID_EDIT_EXT_LINE_DOWN = 37111;
constexpr int ID_EDIT_SCROLL_UP = 37112;
constexpr int ID_EDIT_SCROLL_DOWN = 37113;
constexpr int ID_EDIT_PAGE_UP = 37114;
constexpr int ID_EDIT_EXT_PAGE_UP = 37115;
constexpr int ID_EDIT_PAGE_DOWN = 37116;
constexpr int ID_EDIT_EXT_PAGE_DOWN = 37117;
constexpr int ID_EDIT_LINE_END = 37118;
constexpr int ID_EDIT_EXT_LINE_END = 37119;
constexpr int ID_EDIT_HOME = 37120;
constexpr int ID_EDIT_EXT_HOME = 37121;
constexpr int ID_EDIT_TEXT_BEGIN = 37122;
constexpr int ID_EDIT_EXT_TEXT_BEGIN = 37123;
constexpr int ID_EDIT_TEXT_END = 37124;
constexpr int ID_EDIT_EXT_TEXT_END = 37125;
constexpr int ID_EDIT_FIND_PREVIOUS = 37126;
// Fold every foldable range / open every fold.
constexpr int ID_EDIT_FOLD_ALL = 37160;
constexpr int ID_EDIT_UNFOLD_ALL = 37161;

// Bookmarks.
constexpr int ID_EDIT_TOGGLE_BOOKMARK0 = 37200; // ... 37209
constexpr int ID_EDIT_GO_BOOKMARK0 = 37210;     // ... 37219
constexpr int ID_EDIT_CLEAR_BOOKMARKS = 37220;
constexpr int ID_EDIT_TOGGLE_BOOKMARK = 37223;
constexpr int ID_EDIT_GOTO_NEXT_BOOKMARK = 37224;
constexpr int ID_EDIT_GOTO_PREV_BOOKMARK = 37225;
constexpr int ID_EDIT_CLEAR_ALL_BOOKMARKS = 37226;

// Editing.
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_FIND = 57636;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_REPEAT = 57640;
constexpr int ID_EDIT_REPLACE = 57641;
constexpr int ID_EDIT_SELECT_ALL = 57642;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;
constexpr int ID_EDIT_DELETE = 32772;
constexpr int ID_EDIT_DELETE_BACK = 37001;
constexpr int ID_EDIT_DELETE_WORD_BACK = 37002; // bound to a key, handled by nobody
constexpr int ID_EDIT_TAB = 37003;
constexpr int ID_EDIT_UNTAB = 37004;
constexpr int ID_EDIT_SWITCH_OVRMODE = 37005;

// Page setup and printing.
constexpr int ID_FILE_PAGE_SETUP = 57605;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;

// Status-bar panes.
constexpr int ID_INDICATOR_EDIT_STATE = 37900;
constexpr int ID_INDICATOR_READ = 37901;
constexpr int ID_INDICATOR_CRLF = 37902;
constexpr int ID_INDICATOR_POSITION = 37903;
constexpr int ID_INDICATOR_OVR = 59140;

// Resources the views name.
constexpr int IDR_DEFAULT_ACCEL = 22901;
constexpr int IDR_MARGIN_CURSOR = 22900;
constexpr int IDR_MARGIN_ICONS = 22902;
constexpr int IDD_EDIT_FIND = 8601;
constexpr int IDD_EDIT_REPLACE = 8602;
constexpr int IDS_EDIT_TEXT_NOT_FOUND = 8606;

// Controls of the Find and Replace dialogs.
constexpr int IDC_EDIT_WHOLE_WORD = 8603;
constexpr int IDC_EDIT_MATCH_CASE = 8604;
constexpr int IDC_EDIT_TEXT = 8605;
constexpr int IDC_EDIT_SKIP = 8607; // Replace
constexpr int IDC_EDIT_REPLACE_ALL = 8608;
constexpr int IDC_EDIT_REPLACE_WITH = 8609;
constexpr int IDC_EDIT_FIND_NEXT = 8610; // in the Replace dialog
constexpr int IDC_EDIT_DIRECTION_UP = 8611;
constexpr int IDC_EDIT_DIRECTION_DOWN = 8612;
constexpr int IDC_EDIT_SCOPE_SELECTION = 8613;
constexpr int IDC_EDIT_SCOPE_WHOLE_FILE = 8614;

// Modifier bits of a key binding.
constexpr int KEYMOD_NONE = 0;
constexpr int KEYMOD_SHIFT = 1;
constexpr int KEYMOD_CTRL = 2;
constexpr int KEYMOD_ALT = 4;

// Key names independent of the toolkit; the window maps its key codes onto them.
enum TextKey : int {
    KEY_LEFT = 0x10000,
    KEY_RIGHT,
    KEY_UP,
    KEY_DOWN,
    KEY_PAGE_UP,
    KEY_PAGE_DOWN,
    KEY_HOME,
    KEY_END,
    KEY_INSERT,
    KEY_DELETE,
    KEY_BACK,
    KEY_TAB,
    KEY_F2,
    KEY_F3,
    // Letters and digits are their upper-case ASCII codes ('A', '0').
};

struct KeyBinding {
    int modifiers; // KEYMOD_*
    int key;       // TextKey or an ASCII letter/digit
    int command;
};

// Table 22901 as the views load it: movement, editing and search keys.
BRINDLEKIT_API const KeyBinding* DefaultKeyTable(int& count);
// The library's own bookmark keys (Ctrl+0..9, Alt+0..9, F2 and its variants), which the
// program's table leaves out; a view uses them only when asked to.
BRINDLEKIT_API const KeyBinding* BookmarkKeyTable(int& count);
// The command bound to a key in the given tables, or 0.
BRINDLEKIT_API int FindKeyCommand(int modifiers, int key, bool withBookmarkKeys);

} // namespace brindle::textcmd
