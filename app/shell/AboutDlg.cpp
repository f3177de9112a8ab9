#include "app/shell/AboutDlg.h"

#include "app/menus/ToolbarArt.h"
#include "resources/CommandIds.h"

#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

void ShowAboutDialog(wxWindow* parent)
{
    wxDialog dialog(parent, ids::IDD_ABOUTBOX, "About Brindle");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(&dialog, wxID_ANY, AppIconImage()), 0, wxALL, 12);
    auto* text = new wxBoxSizer(wxVERTICAL);
    text->Add(new wxStaticText(&dialog, wxID_ANY, "Brindle " BRINDLE_VERSION), 0, wxBOTTOM, 6);
    text->Add(new wxStaticText(&dialog, wxID_ANY, "An editor for XML documents and DTDs"), 0);
    row->Add(text, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(row, 0, wxTOP, 6);
    sizer->Add(dialog.CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxALL, 10);
    dialog.SetSizerAndFit(sizer);
    dialog.CentreOnParent();
    dialog.ShowModal();
}
