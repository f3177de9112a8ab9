#pragma once

#include "brindlekit/chrome/TarnMenu.h"

#include <string>
#include <vector>

class wxMenu;
class wxMenuBar;
class wxPoint;
class wxWindow;

// Menu resources of the program as data: a popup has a text and items; an item
// with id 0 and no text is a separator.
using MenuItemDef = brindle::MenuTemplateItem;

// The top-level popups of a menu resource (174, 129, 203, 130, 131, 132, 166, 211);
// empty for an unknown id.
const std::vector<MenuItemDef>& MenuResource(int resourceId);

// The program's menu and toolbar resources, which every TarnMenu is built from.
const brindle::ITarnResources& MenuResources();

// Builds a menu bar from a menu resource, with the pictures of toolbars 174,
// 173 and 191 on its items.
wxMenuBar* BuildMenuBar(int resourceId);
// Builds a popup menu from a list of item definitions, with the same pictures.
wxMenu* BuildMenu(const std::vector<MenuItemDef>& items);
// Shows the first popup of a menu resource as a context menu of the window.
void TrackContextMenu(wxWindow* window, int resourceId, const wxPoint& point);

// The menu text that starts the recent files in the File menu: it stands for the
// recent file entries and shows greyed while the list is empty.
inline constexpr const char* kRecentFilePlaceholder = "Recent File";
