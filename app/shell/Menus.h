#pragma once

#include <string>
#include <vector>

class wxMenu;
class wxMenuBar;

// Menu resources of the program as data: a popup has a text and items; an item
// with id 0 and no text is a separator.
struct MenuItemDef {
    int id = 0;
    std::string text;
    std::vector<MenuItemDef> items; // non-empty for a popup
};

// The top-level popups of a menu resource (174, 129, 203, 130, 131, 132, 166, 211);
// empty for an unknown id.
const std::vector<MenuItemDef>& MenuResource(int resourceId);

// Builds a menu bar from a menu resource, with the toolbar images on its items.
wxMenuBar* BuildMenuBar(int resourceId);
// Builds a popup menu from a list of item definitions.
wxMenu* BuildMenu(const std::vector<MenuItemDef>& items);

// The menu text that starts the recent files in the File menu: it stands for the
// recent file entries and shows greyed while the list is empty.
inline constexpr const char* kRecentFilePlaceholder = "Recent File";
