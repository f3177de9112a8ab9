#include "app/explorer/RemotePropertiesDlg.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

void ShowRemoteProperties(wxWindow* parent, const RemoteBrowser::Properties& p)
{
    wxDialog dialog(parent, wxID_ANY, wxString::FromUTF8(p.name) + " Properties");
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
    const wxArtID icon = p.folder ? wxART_FOLDER : wxART_NORMAL_FILE;
    grid->Add(new wxStaticBitmap(&dialog, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_OTHER, wxSize(32, 32))));
    grid->Add(new wxStaticText(&dialog, wxID_ANY, wxString::FromUTF8(p.name)), 0, wxALIGN_CENTER_VERTICAL);
    std::string attributes = p.readOnly ? "Read-only" : "";
    if (p.hidden) attributes += attributes.empty() ? "Hidden" : ", Hidden";
    const std::pair<const char*, std::string> rows[] = {
        {"Type:", p.type},         {"Location:", p.path},      {"Server:", p.host},
        {"Size:", p.size},         {"Created:", p.created},    {"Modified:", p.written},
        {"Accessed:", p.accessed}, {"Attributes:", attributes.empty() ? std::string("None") : attributes}};
    for (const auto& [label, value] : rows) {
        grid->Add(new wxStaticText(&dialog, wxID_ANY, label));
        grid->Add(new wxStaticText(&dialog, wxID_ANY, wxString::FromUTF8(value.empty() ? "Unknown" : value)));
    }
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    top->Add(dialog.CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    dialog.SetSizerAndFit(top);
    dialog.ShowModal();
}
