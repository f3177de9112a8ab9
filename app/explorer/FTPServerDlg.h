#pragma once

#include "app/explorer/ServerFields.h"

#include <wx/checkbox.h>
#include <wx/dialog.h>

class wxTextCtrl;

// "Configure FTP Server": the six values of a stored server. The password box
// is masked; OK is refused, with the reason, while a value cannot be stored.
class CFTPServerDlg : public wxDialog {
public:
    explicit CFTPServerDlg(wxWindow* parent);

    // Presets the boxes; without a call they start as for a new server.
    void SetFields(const ServerFields& fields);
    void SetServer(const brindle::CFTPFolderServer& server) { SetFields(ServerFields::From(server)); }
    int DoModal() { return ShowModal(); }
    // The values after OK.
    const ServerFields& Fields() const { return m_fields; }

private:
    ServerFields Typed() const;
    void OnOk(wxCommandEvent& event);

    ServerFields m_fields;
    wxTextCtrl* m_boxes[6] = {};
    wxCheckBox* m_tls = nullptr;
    wxTextCtrl* m_caFile = nullptr;
};
