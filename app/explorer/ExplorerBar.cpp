#include "app/explorer/ExplorerBar.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>
#include <wx/notebook.h>
#include <wx/sizer.h>

namespace {

constexpr int kTabControlId = 110;
constexpr std::size_t kMaxNameLength = 31;

} // namespace

CExplorerBar::CExplorerBar(wxWindow* parent, wxWindowID id) : wxPanel(parent, id)
{
    m_tabs = new wxNotebook(this, kTabControlId, wxDefaultPosition, wxDefaultSize, wxNB_BOTTOM);
    // Tab pictures by page number: the local folders, then the remote ones.
    auto* images = new wxImageList(16, 16, true, 2);
    for (const wxArtID& art : {wxArtID(wxART_FOLDER), wxArtID("network-server")}) {
        wxBitmap picture = wxArtProvider::GetBitmap(art, wxART_OTHER, wxSize(16, 16));
        images->Add(picture.IsOk() ? picture : wxArtProvider::GetBitmap(wxART_HARDDISK, wxART_OTHER, wxSize(16, 16)));
    }
    m_tabs->AssignImageList(images);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_tabs, 1, wxEXPAND);
    SetSizer(sizer);
    m_tabs->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CExplorerBar::OnTabChanged, this);
    // Remembers the browser window with the focus, for the frame's menu commands.
    Bind(wxEVT_CHILD_FOCUS, [this](wxChildFocusEvent& event) {
        wxWindow* focus = wxWindow::FindFocus();
        if (!focus || !IsDescendant(focus)) focus = event.GetWindow();
        if (focus && IsDescendant(focus)) m_lastFocus = focus;
        event.Skip();
    });
}

bool CExplorerBar::AddView(const wxString& name, const std::function<wxWindow*(wxWindow* parent)>& create)
{
    wxWindow* view = create ? create(m_tabs) : nullptr;
    if (!view) return false;
    m_pages.push_back({view, name.Left(kMaxNameLength)});
    const int index = static_cast<int>(m_pages.size()) - 1;
    if (index != m_current) view->Disable();
    m_tabs->AddPage(view, m_pages.back().name, index == m_current, index);
    return true;
}

void CExplorerBar::SetActiveView(int index)
{
    if (index < 0 || index == m_current || index >= GetPageCount()) return;
    if (m_current >= 0 && m_current < GetPageCount()) m_pages[static_cast<std::size_t>(m_current)].view->Disable();
    wxWindow* view = m_pages[static_cast<std::size_t>(index)].view;
    view->Enable();
    m_current = index;
    if (m_tabs->GetSelection() != index) m_tabs->ChangeSelection(static_cast<std::size_t>(index));
    view->SetFocus();
}

void CExplorerBar::OnTabChanged(wxBookCtrlEvent& event)
{
    if (event.GetEventObject() == m_tabs) SetActiveView(event.GetSelection());
    event.Skip();
}

bool CExplorerBar::ForwardEvent(wxEvent& event)
{
    // The focus stays where it was while a menu of the frame is open.
    wxWindow* target = wxWindow::FindFocus();
    if (!target || !IsDescendant(target)) target = m_lastFocus.get();
    // A command no browser window handles climbs back to the frame, which must
    // not hand it here again.
    if (m_forwarding || !target || !target->IsEnabled()) return false;
    m_forwarding = true;
    event.SetEventObject(target);
    const bool handled = target->GetEventHandler()->ProcessEvent(event);
    m_forwarding = false;
    return handled;
}
