#include "app/views/AddNamespaceDlg.h"

#include "app/settings/RecentStringList.h"
#include "resources/CommandIds.h"

#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/valgen.h>

namespace {
CRecentStringList MakeNamespaceList() { return CRecentStringList("namespace", "namespace%d", 10, 30); }
} // namespace

CAddNamespaceDlg::CAddNamespaceDlg(wxWindow* parent) : wxDialog(parent, ids::IDD_ADD_NAMESPACE, "Add Namespace")
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, "Namespace unknown. Please enter the path to this namespace."),
               0, wxALL, 10);
    m_combo = new wxComboBox(this, ids::IDC_NAMESPACE_COMBO, wxEmptyString, wxDefaultPosition, wxSize(360, -1), 0,
                             nullptr, wxCB_DROPDOWN, wxGenericValidator(&m_namespace));
    sizer->Add(m_combo, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(sizer);
    Bind(wxEVT_INIT_DIALOG, &CAddNamespaceDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CAddNamespaceDlg::OnOK, this, wxID_OK);
}

void CAddNamespaceDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    CRecentStringList list = MakeNamespaceList();
    list.ReadList();
    // All ten slots, the empty ones as empty lines, in slot order.
    for (int i = 0; i < list.GetSize(); ++i) m_combo->Append(wxString::FromUTF8(list[i]));
    m_combo->SetSelection(0);
    m_namespace = m_combo->GetValue();
}

void CAddNamespaceDlg::OnOK(wxCommandEvent&)
{
    if (!Validate() || !TransferDataFromWindow()) return;
    CRecentStringList list = MakeNamespaceList();
    list.ReadList();
    list.Add(m_namespace.utf8_string());
    list.WriteList();
    EndModal(wxID_OK);
}
