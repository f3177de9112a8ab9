#include "brindlekit/shell/ShellPropertiesDialog.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace brindle {

ShellPropertiesDialog::ShellPropertiesDialog(wxWindow* parent, const ShellProperties& properties)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(properties.name + " Properties"))
{
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
    grid->AddGrowableCol(1);
    const std::pair<const char*, const std::string*> rows[] = {
        {"Name:", &properties.name},         {"Type:", &properties.type},
        {"Location:", &properties.location}, {"Size:", &properties.size},
        {"Link to:", &properties.linkTarget}, {"Modified:", &properties.modified},
        {"Accessed:", &properties.accessed}, {"Permissions:", &properties.permissions},
        {"Owner:", &properties.owner},
    };
    for (const auto& [label, value] : rows) {
        if (value->empty()) continue;
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        // Read-only fields, so that a path can be selected and copied.
        auto* field = new wxTextCtrl(this, wxID_ANY, wxString::FromUTF8(*value), wxDefaultPosition,
                                     wxSize(320, -1), wxTE_READONLY | wxBORDER_NONE);
        field->SetBackgroundColour(GetBackgroundColour());
        grid->Add(field, 1, wxEXPAND);
    }
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    top->Add(CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
}

} // namespace brindle
