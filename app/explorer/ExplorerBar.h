#pragma once

#include <wx/panel.h>
#include <wx/weakref.h>

#include <functional>
#include <vector>

class wxBookCtrlEvent;
class wxNotebook;

// The explorer bar's contents: browsers as pages of a tab control with the tabs
// at the bottom. One page is active; the others are disabled and hidden. The
// docking, resizing and floating around it are the main frame's docking
// manager's.
class CExplorerBar : public wxPanel {
public:
    explicit CExplorerBar(wxWindow* parent, wxWindowID id = wxID_ANY);

    // Creates a page with a tab of that name; the first page becomes the active
    // one. False, and no tab, when `create` makes no window.
    bool AddView(const wxString& name, const std::function<wxWindow*(wxWindow* parent)>& create);
    // Makes page `index` the active one and gives it the focus; -1 and the
    // active page are ignored.
    void SetActiveView(int index);
    int GetActiveIndex() const { return m_current; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    wxWindow* GetPage(int index) const { return m_pages.at(static_cast<std::size_t>(index)).view; }

    // Hands a command (or its update) from the frame's menus to the browser
    // window that last had the focus; false when none takes it.
    bool ForwardEvent(wxEvent& event);

private:
    struct Page {
        wxWindow* view = nullptr;
        wxString name;
    };
    void OnTabChanged(wxBookCtrlEvent& event);

    wxNotebook* m_tabs = nullptr;
    std::vector<Page> m_pages;
    int m_current = 0;
    wxWeakRef<wxWindow> m_lastFocus;
    bool m_forwarding = false;
};
