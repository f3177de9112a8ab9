#include "app/explorer/FTPServerDlg.h"

#include "platform/ui/UIServices.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

constexpr const char* kLabels[6] = {"Connection Name", "Hostname", "Initial Directory", "Username", "Password", "Port"};
constexpr int kFirstBoxId = 1000;

} // namespace

CFTPServerDlg::CFTPServerDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Configure FTP Server"), m_fields(ServerFields::ForNewServer())
{
    auto* grid = new wxFlexGridSizer(2, wxSize(8, 6));
    grid->AddGrowableCol(1);
    for (int i = 0; i < 6; ++i) {
        grid->Add(new wxStaticText(this, wxID_ANY, kLabels[i]), 0, wxALIGN_CENTER_VERTICAL);
        const long style = i == 4 ? wxTE_PASSWORD : 0;
        m_boxes[i] = new wxTextCtrl(this, kFirstBoxId + i, {}, wxDefaultPosition, wxSize(240, -1), style);
        m_boxes[i]->SetMaxLength(i == 5 ? 5 : kMaxServerField);
        grid->Add(m_boxes[i], 1, wxEXPAND);
    }
    // Explicit TLS, off for a new server as for a stored one without it.
    grid->AddSpacer(0);
    m_tls = new wxCheckBox(this, wxID_ANY, "Require explicit TLS (FTPS)");
    grid->Add(m_tls);
    grid->Add(new wxStaticText(this, wxID_ANY, "CA certificates file"), 0, wxALIGN_CENTER_VERTICAL);
    m_caFile = new wxTextCtrl(this, wxID_ANY);
    m_caFile->SetMaxLength(kMaxServerField);
    m_caFile->SetHint("the system's certificate authorities");
    grid->Add(m_caFile, 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);
    SetFields(m_fields);
    Bind(wxEVT_BUTTON, &CFTPServerDlg::OnOk, this, wxID_OK);
}

void CFTPServerDlg::SetFields(const ServerFields& fields)
{
    m_fields = fields;
    const std::string* values[6] = {&fields.entryName, &fields.host,     &fields.initialDir,
                                    &fields.user,      &fields.password, &fields.port};
    for (int i = 0; i < 6; ++i) m_boxes[i]->ChangeValue(wxString::FromUTF8(*values[i]));
    m_tls->SetValue(fields.tls);
    m_caFile->ChangeValue(wxString::FromUTF8(fields.caFile));
}

ServerFields CFTPServerDlg::Typed() const
{
    auto text = [this](int i) { return m_boxes[i]->GetValue().utf8_string(); };
    return {text(0), text(1), text(2), text(3), text(4), text(5), m_tls->GetValue(),
            m_caFile->GetValue().utf8_string()};
}

void CFTPServerDlg::OnOk(wxCommandEvent& event)
{
    const ServerFields typed = Typed();
    if (const auto fault = ValidateServerFields(typed)) {
        brindle::UIServices().MessageBox(*fault, brindle::MsgButtons::Ok, brindle::MsgIcon::Warning);
        return;
    }
    m_fields = typed;
    event.Skip(); // the dialog ends with OK
}
