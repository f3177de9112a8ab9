#pragma once

#include "platform/Export.h"

#include <wx/bmpbndl.h>
#include <wx/menu.h>

#include <initializer_list>
#include <string>
#include <vector>

class wxMenuBar;
class wxWindow;

namespace brindle {

// One item of a menu resource: a command with its text ("label\taccelerator"), a
// popup (text and items), or a separator (id 0, no text).
struct MenuTemplateItem {
    int id = 0;
    std::string text;
    std::vector<MenuTemplateItem> items; // non-empty for a popup
};

// The program's resources that menus are built from.
class BRINDLEKIT_API ITarnResources {
public:
    virtual ~ITarnResources();
    // The top-level popups of a menu resource; null when there is none.
    virtual const std::vector<MenuTemplateItem>* Menu(int resourceId) const = 0;
    // The commands of a toolbar's buttons, in order; null when there is none.
    virtual const std::vector<int>* Toolbar(int toolbarId) const = 0;
    // The picture of a command's button.
    virtual wxBitmapBundle ButtonImage(int commandId) const = 0;
    // Whether the command's item shows a check mark rather than a picture.
    virtual bool IsCheckCommand(int commandId) const = 0;
};

// A menu built from a menu resource whose commands show the picture of the
// toolbar button with the same command. The toolkit draws the items (GTK menus
// are drawn by GTK); this class builds them, gives them their pictures, brings
// their states up to date before they show, and finds access keys.
class BRINDLEKIT_API TarnMenu : public wxMenu {
public:
    // The resources every TarnMenu is built from (not owned; null: none).
    static void SetResources(const ITarnResources* resources);

    // The items of the first popup of the resource; false when it is missing.
    bool LoadMenu(int resourceId);
    // Appends the items; popups become TarnMenu submenus.
    void AppendItems(const std::vector<MenuTemplateItem>& items);
    // Gives every item whose command is a button of the toolbar that button's
    // picture; false when the toolbar is missing.
    bool LoadToolbar(int toolbarId);
    // LoadToolbar for each; true only if all were found.
    bool LoadToolbars(std::initializer_list<int> toolbarIds);

    // The item of the menu whose text holds "&" and the character (either case):
    // 2 in the high word, its position in the low word; 0 when there is none.
    static long FindKeyboardShortcut(wxChar character, const wxMenu& menu);
    // Asks the owner for the state of every item. With disableIfNoHandler, a
    // command (below 0xF000) that nothing answers is disabled.
    void InitMenuPopup(wxEvtHandler& owner, bool disableIfNoHandler);
    // InitMenuPopup(owner, true), then shows the menu at the point (owner's
    // client coordinates).
    void TrackPopupMenu(wxWindow& owner, const wxPoint& at);

    // A menu bar whose menus are the resource's popups, as TarnMenus with the
    // pictures of the toolbars; empty for a missing resource.
    static wxMenuBar* LoadMenuBar(int resourceId, std::initializer_list<int> toolbarIds);
};

} // namespace brindle
