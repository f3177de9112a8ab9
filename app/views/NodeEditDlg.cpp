#include "app/views/NodeEditDlg.h"

#include "app/document/BrindleDoc.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

using namespace brindle;

namespace {
enum {
    IDD_NODE_EDIT = 145,
    IDC_NODE_NAME = 1000,
    IDC_NODE_VALUE = 1001,
    IDC_NODE_TYPE = 1002,
    IDC_NODE_ICON = 1006,
    IDC_NODE_LINE1 = 1012,
    IDC_NODE_LINE2 = 1013,
};
constexpr int kGap = 8;
} // namespace

CNodeEditDlg::CNodeEditDlg(wxWindow* parent, const XmlNodePtr& node, const wxBitmap& icon)
    : wxDialog(parent, IDD_NODE_EDIT, "Edit Node", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    const XmlNodeType type = node->nodeType();
    auto* top = new wxBoxSizer(wxVERTICAL);

    // The icon beside the name, which takes the width.
    auto* nameRow = new wxBoxSizer(wxHORIZONTAL);
    nameRow->Add(new wxStaticBitmap(this, IDC_NODE_ICON, icon), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    m_name = new wxTextCtrl(this, IDC_NODE_NAME, wxString::FromUTF8(node->nodeName()));
    m_name->Enable(type == NODE_ATTRIBUTE || type == NODE_PROCESSING_INSTRUCTION);
    nameRow->Add(m_name, 1, wxALIGN_CENTER_VERTICAL);
    top->Add(nameRow, 0, wxEXPAND | wxALL, kGap);
    top->Add(new wxStaticLine(this, IDC_NODE_LINE1), 0, wxEXPAND | wxLEFT | wxRIGHT, kGap);

    // The type keeps its place and width at the top left.
    auto* typeRow = new wxBoxSizer(wxHORIZONTAL);
    typeRow->Add(new wxStaticText(this, wxID_ANY, "Node Type:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
    auto* typeField = new wxTextCtrl(this, IDC_NODE_TYPE, wxString::FromUTF8(CBrindleDoc::NodeTypeName(node)),
                                     wxDefaultPosition, wxSize(220, -1), wxTE_READONLY);
    typeRow->Add(typeField, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(typeRow, 0, wxALL, kGap);
    top->Add(new wxStaticLine(this, IDC_NODE_LINE2), 0, wxEXPAND | wxLEFT | wxRIGHT, kGap);

    m_value = new wxTextCtrl(this, IDC_NODE_VALUE, wxString::FromUTF8(node->text()), wxDefaultPosition,
                             wxSize(380, 160), wxTE_MULTILINE);
    top->Add(m_value, 1, wxEXPAND | wxALL, kGap);

    // OK and Cancel at the bottom right.
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    auto* ok = new wxButton(this, wxID_OK);
    ok->SetDefault();
    buttons->Add(ok, 0, wxRIGHT, kGap);
    buttons->Add(new wxButton(this, wxID_CANCEL), 0);
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kGap);

    // Tab goes from the value (where the dialog opens) to the name, the type and
    // the buttons, and round to the value again.
    m_value->MoveBeforeInTabOrder(m_name);
    m_shownName = m_name->GetValue();
    m_shownValue = m_value->GetValue();

    SetSizerAndFit(top);
    SetMinSize(GetSize());
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        event.Skip();
        m_value->SetFocus();
    });
}

bool CNodeEditDlg::IsChanged() const
{
    return m_name->GetValue() != m_shownName || m_value->GetValue() != m_shownValue;
}

std::string CNodeEditDlg::GetNodeName() const { return m_name->GetValue().utf8_string(); }
std::string CNodeEditDlg::GetNodeValue() const { return m_value->GetValue().utf8_string(); }
void CNodeEditDlg::SetNodeName(const std::string& name) { m_name->ChangeValue(wxString::FromUTF8(name)); }
void CNodeEditDlg::SetNodeValue(const std::string& value) { m_value->ChangeValue(wxString::FromUTF8(value)); }
