#include "brindlekit/text/TextCommandIds.h"

#include <iterator>

namespace brindle::textcmd {

namespace {

constexpr int S = KEYMOD_SHIFT;
constexpr int C = KEYMOD_CTRL;
constexpr int A = KEYMOD_ALT;

const KeyBinding kDefaultKeys[] = {
    {0, KEY_LEFT, ID_EDIT_CHAR_LEFT},
    {S, KEY_LEFT, ID_EDIT_EXT_CHAR_LEFT},
    {0, KEY_RIGHT, ID_EDIT_CHAR_RIGHT},
    {S, KEY_RIGHT, ID_EDIT_EXT_CHAR_RIGHT},
    {C, KEY_LEFT, ID_EDIT_WORD_LEFT},
    {C | S, KEY_LEFT, ID_EDIT_EXT_WORD_LEFT},
    {C, KEY_RIGHT, ID_EDIT_WORD_RIGHT},
    {C | S, KEY_RIGHT, ID_EDIT_EXT_WORD_RIGHT},
    {0, KEY_UP, ID_EDIT_LINE_UP},
    {S, KEY_UP, ID_EDIT_EXT_LINE_UP},
    {0, KEY_DOWN, ID_EDIT_LINE_DOWN},
    {S, KEY_DOWN, ID_EDIT_EXT_LINE_DOWN},
    {C, KEY_UP, ID_EDIT_SCROLL_UP},
    {C, KEY_DOWN, ID_EDIT_SCROLL_DOWN},
    {0, KEY_PAGE_UP, ID_EDIT_PAGE_UP},
    {S, KEY_PAGE_UP, ID_EDIT_EXT_PAGE_UP},
    {0, KEY_PAGE_DOWN, ID_EDIT_PAGE_DOWN},
    {S, KEY_PAGE_DOWN, ID_EDIT_EXT_PAGE_DOWN},
    {0, KEY_END, ID_EDIT_LINE_END},
    {S, KEY_END, ID_EDIT_EXT_LINE_END},
    {0, KEY_HOME, ID_EDIT_HOME},
    {S, KEY_HOME, ID_EDIT_EXT_HOME},
    {C, KEY_HOME, ID_EDIT_TEXT_BEGIN},
    {C | S, KEY_HOME, ID_EDIT_EXT_TEXT_BEGIN},
    {C, KEY_END, ID_EDIT_TEXT_END},
    {C | S, KEY_END, ID_EDIT_EXT_TEXT_END},
    {C, 'C', ID_EDIT_COPY},
    {C, KEY_INSERT, ID_EDIT_COPY},
    {C, 'X', ID_EDIT_CUT},
    {S, KEY_DELETE, ID_EDIT_CUT},
    {C, 'V', ID_EDIT_PASTE},
    {S, KEY_INSERT, ID_EDIT_PASTE},
    {0, KEY_DELETE, ID_EDIT_DELETE},
    {0, KEY_BACK, ID_EDIT_DELETE_BACK},
    {C, KEY_BACK, ID_EDIT_DELETE_WORD_BACK},
    {0, KEY_TAB, ID_EDIT_TAB},
    {S, KEY_TAB, ID_EDIT_UNTAB},
    {0, KEY_INSERT, ID_EDIT_SWITCH_OVRMODE},
    {C, 'Z', ID_EDIT_UNDO},
    {A, KEY_BACK, ID_EDIT_UNDO},
    {C, 'Y', ID_EDIT_REDO},
    {C, 'A', ID_EDIT_SELECT_ALL},
    {C, 'F', ID_EDIT_FIND},
    {C, 'H', ID_EDIT_REPLACE},
    {0, KEY_F3, ID_EDIT_REPEAT},
    {S, KEY_F3, ID_EDIT_FIND_PREVIOUS},
};

const KeyBinding kBookmarkKeys[] = {
    {C, '0', ID_EDIT_TOGGLE_BOOKMARK0 + 0}, {C, '1', ID_EDIT_TOGGLE_BOOKMARK0 + 1},
    {C, '2', ID_EDIT_TOGGLE_BOOKMARK0 + 2}, {C, '3', ID_EDIT_TOGGLE_BOOKMARK0 + 3},
    {C, '4', ID_EDIT_TOGGLE_BOOKMARK0 + 4}, {C, '5', ID_EDIT_TOGGLE_BOOKMARK0 + 5},
    {C, '6', ID_EDIT_TOGGLE_BOOKMARK0 + 6}, {C, '7', ID_EDIT_TOGGLE_BOOKMARK0 + 7},
    {C, '8', ID_EDIT_TOGGLE_BOOKMARK0 + 8}, {C, '9', ID_EDIT_TOGGLE_BOOKMARK0 + 9},
    {A, '0', ID_EDIT_GO_BOOKMARK0 + 0},     {A, '1', ID_EDIT_GO_BOOKMARK0 + 1},
    {A, '2', ID_EDIT_GO_BOOKMARK0 + 2},     {A, '3', ID_EDIT_GO_BOOKMARK0 + 3},
    {A, '4', ID_EDIT_GO_BOOKMARK0 + 4},     {A, '5', ID_EDIT_GO_BOOKMARK0 + 5},
    {A, '6', ID_EDIT_GO_BOOKMARK0 + 6},     {A, '7', ID_EDIT_GO_BOOKMARK0 + 7},
    {A, '8', ID_EDIT_GO_BOOKMARK0 + 8},     {A, '9', ID_EDIT_GO_BOOKMARK0 + 9},
    {C, KEY_F2, ID_EDIT_TOGGLE_BOOKMARK},   {0, KEY_F2, ID_EDIT_GOTO_NEXT_BOOKMARK},
    {S, KEY_F2, ID_EDIT_GOTO_PREV_BOOKMARK}, {C | S, KEY_F2, ID_EDIT_CLEAR_ALL_BOOKMARKS},
};

int Lookup(const KeyBinding* table, int count, int modifiers, int key)
{
    for (int i = 0; i < count; ++i)
        if (table[i].modifiers == modifiers && table[i].key == key) return table[i].command;
    return 0;
}

} // namespace

const KeyBinding* DefaultKeyTable(int& count)
{
    count = static_cast<int>(std::size(kDefaultKeys));
    return kDefaultKeys;
}

const KeyBinding* BookmarkKeyTable(int& count)
{
    count = static_cast<int>(std::size(kBookmarkKeys));
    return kBookmarkKeys;
}

int FindKeyCommand(int modifiers, int key, bool withBookmarkKeys)
{
    if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
    int command = Lookup(kDefaultKeys, static_cast<int>(std::size(kDefaultKeys)), modifiers, key);
    if (command == 0 && withBookmarkKeys)
        command = Lookup(kBookmarkKeys, static_cast<int>(std::size(kBookmarkKeys)), modifiers, key);
    return command;
}

} // namespace brindle::textcmd
