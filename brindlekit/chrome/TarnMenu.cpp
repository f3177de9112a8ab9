#include "brindlekit/chrome/TarnMenu.h"

#include <wx/menuitem.h>
#include <wx/window.h>

#include <algorithm>
#ifdef __WXGTK__
#include <dlfcn.h>
#endif
#include <iterator>
#include <utility>
#include <vector>

namespace brindle {

namespace {

const ITarnResources* g_resources = nullptr;

constexpr int kFirstSystemCommand = 0xF000;

template <class F> void ForEachItem(wxMenu& menu, const F& visit)
{
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (wxMenu* sub = item->GetSubMenu()) ForEachItem(*sub, visit);
        else if (!item->IsSeparator()) visit(*item);
    }
}

// GTK 3 shows a menu item's image only when the item asks for it always to be
// shown, which the toolkit's wrapper does not do. The call is looked up in the
// GTK library already loaded, so building needs no GTK headers.
void ShowImageAlways(wxMenuItem& item)
{
#ifdef __WXGTK__
    using SetAlwaysShowImage = void (*)(void*, int);
    static const auto setAlwaysShowImage =
        reinterpret_cast<SetAlwaysShowImage>(dlsym(RTLD_DEFAULT, "gtk_image_menu_item_set_always_show_image"));
    if (setAlwaysShowImage && item.GetMenuItem()) setAlwaysShowImage(item.GetMenuItem(), 1);
#else
    (void)item;
#endif
}

} // namespace

ITarnResources::~ITarnResources() = default;

void TarnMenu::SetResources(const ITarnResources* resources) { g_resources = resources; }

bool TarnMenu::LoadMenu(int resourceId)
{
    const auto* popups = g_resources ? g_resources->Menu(resourceId) : nullptr;
    if (!popups || popups->empty()) return false;
    AppendItems(popups->front().items);
    return true;
}

void TarnMenu::AppendItems(const std::vector<MenuTemplateItem>& items)
{
    for (const MenuTemplateItem& item : items) {
        if (!item.items.empty()) {
            auto* sub = new TarnMenu;
            sub->AppendItems(item.items);
            AppendSubMenu(sub, wxString::FromUTF8(item.text));
        } else if (item.id == 0 && item.text.empty()) {
            AppendSeparator();
        } else {
            const bool check = g_resources && g_resources->IsCheckCommand(item.id);
            Append(new wxMenuItem(this, item.id, wxString::FromUTF8(item.text), wxEmptyString,
                                  check ? wxITEM_CHECK : wxITEM_NORMAL));
        }
    }
}

bool TarnMenu::LoadToolbar(int toolbarId)
{
    const auto* buttons = g_resources ? g_resources->Toolbar(toolbarId) : nullptr;
    if (!buttons) return false;
    std::vector<std::pair<wxMenuItem*, wxBitmapBundle>> images;
    ForEachItem(*this, [&](wxMenuItem& item) {
        if (item.IsCheckable() || std::find(buttons->begin(), buttons->end(), item.GetId()) == buttons->end()) return;
        const wxBitmapBundle image = g_resources->ButtonImage(item.GetId());
        if (image.IsOk()) images.emplace_back(&item, image);
    });
    // The toolkit gives an item room for an image only when it is inserted, so
    // each item is taken out, given its image and put back in its place.
    for (auto& [item, image] : images) {
        wxMenu* menu = item->GetMenu();
        const wxMenuItemList& items = menu->GetMenuItems();
        const size_t position = static_cast<size_t>(std::distance(items.begin(), std::find(items.begin(), items.end(), item)));
        menu->Remove(item);
        item->SetBitmap(image);
        menu->Insert(position, item);
        ShowImageAlways(*item);
    }
    return true;
}

bool TarnMenu::LoadToolbars(std::initializer_list<int> toolbarIds)
{
    bool all = true;
    for (int id : toolbarIds) all = LoadToolbar(id) && all;
    return all;
}

long TarnMenu::FindKeyboardShortcut(wxChar character, const wxMenu& menu)
{
    const wxString key = wxString("&") + wxString(character).Lower();
    const wxMenuItemList& items = menu.GetMenuItems();
    long position = 0;
    for (auto it = items.begin(); it != items.end(); ++it, ++position) {
        const wxString text = (*it)->GetItemLabel().Left(1024).Lower();
        if (text.Contains(key)) return (2L << 16) | position;
    }
    return 0;
}

void TarnMenu::InitMenuPopup(wxEvtHandler& owner, bool disableIfNoHandler)
{
    ForEachItem(*this, [&](wxMenuItem& item) {
        wxUpdateUIEvent event(item.GetId());
        event.SetEventObject(this);
        const bool answered = owner.ProcessEvent(event);
        if (event.GetSetEnabled()) item.Enable(event.GetEnabled());
        else if (disableIfNoHandler && !answered && item.GetId() < kFirstSystemCommand) item.Enable(false);
        if (event.GetSetChecked() && item.IsCheckable()) item.Check(event.GetChecked());
    });
}

void TarnMenu::TrackPopupMenu(wxWindow& owner, const wxPoint& at)
{
    InitMenuPopup(*owner.GetEventHandler(), true);
    owner.PopupMenu(this, at);
}

wxMenuBar* TarnMenu::LoadMenuBar(int resourceId, std::initializer_list<int> toolbarIds)
{
    auto* bar = new wxMenuBar;
    const auto* popups = g_resources ? g_resources->Menu(resourceId) : nullptr;
    if (!popups) return bar;
    for (const MenuTemplateItem& popup : *popups) {
        auto* menu = new TarnMenu;
        menu->AppendItems(popup.items);
        menu->LoadToolbars(toolbarIds);
        bar->Append(menu, wxString::FromUTF8(popup.text));
    }
    return bar;
}

} // namespace brindle
