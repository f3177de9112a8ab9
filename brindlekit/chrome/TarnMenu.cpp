#include "brindlekit/chrome/TarnMenu.h"

#include <wx/menuitem.h>
#include <wx/window.h>

#include <algorithm>

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
    ForEachItem(*this, [&](wxMenuItem& item) {
        if (item.IsCheckable() || std::find(buttons->begin(), buttons->end(), item.GetId()) == buttons->end()) return;
        const wxBitmapBundle image = g_resources->ButtonImage(item.GetId());
        if (image.IsOk()) item.SetBitmap(image);
    });
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
