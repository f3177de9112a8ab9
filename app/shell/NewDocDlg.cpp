#include "app/shell/NewDocDlg.h"

#include "app/shell/LocationDlg.h"
#include "platform/shell/ContentType.h"

#include <wx/artprov.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

constexpr int kPageId = 213;

// The icon of a kind: the theme's icon for its first extension.
wxBitmap KindIcon(const NewDocKind& kind)
{
    const std::string extension = kind.extensions.substr(0, kind.extensions.find(';'));
    for (const std::string& name : brindle::ContentTypeOfName("a" + extension).iconNames) {
        wxBitmap icon = wxArtProvider::GetBitmap(wxString::FromUTF8(name), wxART_LIST, wxSize(16, 16));
        if (icon.IsOk()) return icon;
    }
    return wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, wxSize(16, 16));
}

} // namespace

CNewDocFilePage::CNewDocFilePage(wxWindow* parent, const std::vector<NewDocKind>& kinds,
                                 const std::string& templateFolder, const std::string& location)
    : wxPanel(parent, kPageId), m_items(NewDocItems(kinds, templateFolder))
{
    m_list = new wxListCtrl(this, kListId, wxDefaultPosition, wxSize(360, 180),
                            wxLC_LIST | wxLC_SINGLE_SEL | wxLC_AUTOARRANGE | wxBORDER_SUNKEN);
    auto* images = new wxImageList(16, 16, true, 3);
    for (const NewDocKind& kind : kinds) images->Add(KindIcon(kind));
    m_list->AssignImageList(images, wxIMAGE_LIST_SMALL);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        m_list->InsertItem(static_cast<long>(i), wxString::FromUTF8(m_items[i].label), m_items[i].kind);
    if (!m_items.empty()) {
        m_list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                             wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }

    m_fileName = new wxTextCtrl(this, kFileNameId);
    m_location = new wxTextCtrl(this, kLocationId, wxString::FromUTF8(location));
    auto* browse = new wxButton(this, kBrowseId, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);

    auto* fields = new wxFlexGridSizer(3, wxSize(6, 6));
    fields->AddGrowableCol(1);
    fields->Add(new wxStaticText(this, wxID_ANY, "File name:"), 0, wxALIGN_CENTER_VERTICAL);
    fields->Add(m_fileName, 1, wxEXPAND);
    fields->AddSpacer(0);
    fields->Add(new wxStaticText(this, wxID_ANY, "Location:"), 0, wxALIGN_CENTER_VERTICAL);
    fields->Add(m_location, 1, wxEXPAND);
    fields->Add(browse);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_list, 1, wxEXPAND | wxALL, 6);
    sizer->Add(fields, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(sizer);

    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CNewDocFilePage::OnActivated, this);
    browse->Bind(wxEVT_BUTTON, &CNewDocFilePage::OnBrowse, this);
}

const NewDocItem* CNewDocFilePage::Chosen() const
{
    const long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row < 0 || row >= static_cast<long>(m_items.size()) ? nullptr : &m_items[static_cast<std::size_t>(row)];
}

std::string CNewDocFilePage::FullPath() const
{
    return NewDocFullPath(m_location->GetValue().utf8_string(), m_fileName->GetValue().utf8_string());
}

void CNewDocFilePage::OnActivated(wxListEvent&)
{
    // A double click accepts, as OK does.
    if (!Chosen()) return;
    if (auto* dialog = dynamic_cast<wxDialog*>(wxGetTopLevelParent(this))) dialog->EndModal(wxID_OK);
}

void CNewDocFilePage::OnBrowse(wxCommandEvent&)
{
    CLocationDlg picker(this, m_location->GetValue().utf8_string());
    if (picker.ShowModal() == wxID_OK) m_location->ChangeValue(wxString::FromUTF8(picker.GetPath().string()));
}

CNewDocTypeDlg::CNewDocTypeDlg(wxWindow* parent, const std::vector<NewDocKind>& kinds,
                               const std::string& templateFolder, const std::string& location)
    : wxPropertySheetDialog(parent, wxID_ANY, "New")
{
    CreateButtons(wxOK | wxCANCEL);
    m_page = new CNewDocFilePage(GetBookCtrl(), kinds, templateFolder, location);
    GetBookCtrl()->AddPage(m_page, "Files");
    LayoutDialog();
}
