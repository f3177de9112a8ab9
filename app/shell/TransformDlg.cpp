#include "app/shell/TransformDlg.h"

#include "platform/ui/UIServices.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

constexpr int kDialogId = 201;
constexpr int kXslEdit = 1000;
constexpr int kOutputEdit = 1001;
constexpr int kOpenCheck = 1005;
constexpr int kBrowseXsl = 4;
constexpr int kBrowseOutput = 5;

// A group box holding a label, an edit and its Browse button.
wxTextCtrl* AddFileGroup(wxDialog* dialog, wxSizer* sizer, const char* title, const char* label, int editId,
                         int browseId)
{
    auto* group = new wxStaticBoxSizer(wxVERTICAL, dialog, title);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(group->GetStaticBox(), wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    auto* edit = new wxTextCtrl(group->GetStaticBox(), editId, wxEmptyString, wxDefaultPosition, wxSize(320, -1));
    row->Add(edit, 1, wxALIGN_CENTER_VERTICAL);
    row->Add(new wxButton(group->GetStaticBox(), browseId, "Browse"), 0, wxLEFT, 6);
    group->Add(row, 0, wxEXPAND | wxALL, 6);
    sizer->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
    return edit;
}

} // namespace

std::string TransformDialogProblem(const std::string& outputFile, const std::string& xslFile)
{
    if (outputFile.empty()) return "No output file specified.";
    if (xslFile.empty()) return "No stylesheet file specified.";
    return {};
}

CTransformDlg::CTransformDlg(wxWindow* parent) : wxDialog(parent, kDialogId, "Transform")
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_xsl = AddFileGroup(this, sizer, "Style Sheet", "XSL File:", kXslEdit, kBrowseXsl);
    m_output = AddFileGroup(this, sizer, "Destination", "Output File:", kOutputEdit, kBrowseOutput);
    m_open = new wxCheckBox(this, kOpenCheck, "Open file after transformation");
    sizer->Add(m_open, 0, wxALL, 10);
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(this, wxID_OK, "Transform");
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, "Cancel"));
    buttons->Realize();
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(sizer);

    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        m_xsl->ChangeValue(wxString::FromUTF8(xslFile));
        m_output->ChangeValue(wxString::FromUTF8(outputFile));
        m_open->SetValue(openAfter);
        event.Skip();
    });
    Bind(wxEVT_BUTTON, &CTransformDlg::OnBrowse, this, kBrowseXsl);
    Bind(wxEVT_BUTTON, &CTransformDlg::OnBrowse, this, kBrowseOutput);
    Bind(wxEVT_BUTTON, &CTransformDlg::OnOK, this, wxID_OK);
}

void CTransformDlg::OnBrowse(wxCommandEvent& event)
{
    const bool stylesheet = event.GetId() == kBrowseXsl;
    wxTextCtrl* edit = stylesheet ? m_xsl : m_output;
    wxFileDialog dialog(this, stylesheet ? "XSL File" : "Output File", wxEmptyString, edit->GetValue(),
                        stylesheet ? "XSL File (*.xsl)|*.xsl|All Files (*.*)|*.*" : "All Files (*.*)|*.*",
                        stylesheet ? wxFD_OPEN : wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK) edit->ChangeValue(dialog.GetPath());
}

void CTransformDlg::OnOK(wxCommandEvent&)
{
    xslFile = m_xsl->GetValue().utf8_string();
    outputFile = m_output->GetValue().utf8_string();
    openAfter = m_open->GetValue();
    const std::string problem = TransformDialogProblem(outputFile, xslFile);
    if (!problem.empty()) {
        brindle::UIServices().MessageBox(problem, brindle::MsgButtons::Ok, brindle::MsgIcon::Warning);
        return;
    }
    EndModal(wxID_OK);
}
