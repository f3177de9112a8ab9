#include "app/explorer/FTPFilePropSheet.h"

#include <wx/artprov.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/iconloc.h>
#include <wx/log.h>
#include <wx/mimetype.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>
#include <tuple>

using namespace file_page_ids;

namespace {

constexpr int kIconSize = 32;

// The system's icon for the name's extension, else a generic file or folder one.
wxBitmap LargeIcon(const RemoteFileFields& fields)
{
    const wxArtID fallback = fields.folder ? wxART_FOLDER : wxART_NORMAL_FILE;
    const std::size_t dot = fields.name.rfind('.');
    if (!fields.folder && dot != std::string::npos && wxTheMimeTypesManager) {
        std::unique_ptr<wxFileType> type(
            wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(fields.name.substr(dot + 1))));
        wxIconLocation location;
        if (type && type->GetIcon(&location) && location.IsOk()) {
            wxLogNull quiet; // an icon file the system names but cannot read falls back
            wxIcon icon(location);
            if (icon.IsOk()) {
                wxBitmap bitmap(icon);
                if (bitmap.GetWidth() != kIconSize)
                    bitmap = wxBitmap(bitmap.ConvertToImage().Scale(kIconSize, kIconSize, wxIMAGE_QUALITY_HIGH));
                return bitmap;
            }
        }
    }
    return wxArtProvider::GetBitmap(fallback, wxART_OTHER, wxSize(kIconSize, kIconSize));
}

} // namespace

CFTPFileGeneralPage::CFTPFileGeneralPage(wxWindow* parent, const RemoteFileFields& fields) : wxPanel(parent)
{
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* head = new wxBoxSizer(wxHORIZONTAL);
    head->Add(new wxStaticBitmap(this, ID_ICON, LargeIcon(fields)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    head->Add(new wxTextCtrl(this, ID_NAME, wxString::FromUTF8(fields.name), wxDefaultPosition, wxDefaultSize,
                             wxTE_READONLY),
              1, wxALIGN_CENTER_VERTICAL);
    top->Add(head, 0, wxEXPAND | wxALL, 10);

    const auto addRows = [&](std::initializer_list<std::tuple<int, const char*, const std::string*>> rows) {
        top->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
        auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
        grid->AddGrowableCol(1);
        for (const auto& [id, label, value] : rows) {
            grid->Add(new wxStaticText(this, wxID_ANY, label));
            grid->Add(new wxStaticText(this, id, wxString::FromUTF8(*value)), 1, wxEXPAND);
        }
        top->Add(grid, 0, wxEXPAND | wxALL, 10);
    };
    addRows({{ID_TYPE, "Type of file:", &fields.type}});
    addRows({{ID_HOST, "Hostname:", &fields.host},
             {ID_LOCATION, "Location:", &fields.location},
             {ID_SIZE, "Size:", &fields.size}});
    addRows({{ID_CREATED, "Created:", &fields.created},
             {ID_MODIFIED, "Modified:", &fields.modified},
             {ID_ACCESSED, "Accessed:", &fields.accessed}});

    top->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    auto* attributes = new wxBoxSizer(wxHORIZONTAL);
    attributes->Add(new wxStaticText(this, wxID_ANY, "Attributes:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    for (const auto& [id, label, on] : {std::tuple{ID_READ_ONLY, "Read-only", fields.readOnly},
                                        std::tuple{ID_HIDDEN, "Hidden", fields.hidden}}) {
        auto* box = new wxCheckBox(this, id, label);
        box->SetValue(on);
        box->Disable();
        attributes->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    }
    top->Add(attributes, 0, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

CFTPFilePropSheet::CFTPFilePropSheet(wxWindow* parent, const RemoteFileFields& fields)
    : wxPropertySheetDialog(parent, wxID_ANY, "Remote File Properties")
{
    GetBookCtrl()->AddPage(new CFTPFileGeneralPage(GetBookCtrl(), fields), "General", true);
    CreateButtons(wxOK);
    LayoutDialog();
}
