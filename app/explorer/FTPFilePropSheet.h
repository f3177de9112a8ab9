#pragma once

#include "app/explorer/RemoteFileFields.h"

#include <wx/panel.h>
#include <wx/propdlg.h>

// The ids of the general page's controls.
namespace file_page_ids {
enum : int {
    ID_READ_ONLY = 1005,
    ID_HIDDEN = 1006,
    ID_LOCATION = 1007,
    ID_SIZE = 1008,
    ID_TYPE = 1009,
    ID_NAME = 1010,
    ID_ICON = 1011,
    ID_CREATED = 1012,
    ID_MODIFIED = 1013,
    ID_ACCESSED = 1014,
    ID_HOST = 1015,
};
}

// "General": the icon, name, type, server, location, size and times of one
// remote file or folder, with its read-only and hidden attributes shown in
// disabled check boxes.
class CFTPFileGeneralPage : public wxPanel {
public:
    CFTPFileGeneralPage(wxWindow* parent, const RemoteFileFields& fields);
};

// "Remote File Properties": a sheet with the general page and an OK button.
class CFTPFilePropSheet : public wxPropertySheetDialog {
public:
    CFTPFilePropSheet(wxWindow* parent, const RemoteFileFields& fields);
    int DoModal() { return ShowModal(); }
};
