#pragma once

#include <wx/dialog.h>

class wxComboBox;

// Asks for the URI of a namespace whose prefix is unknown, offering the ten most
// recently entered ones.
class CAddNamespaceDlg : public wxDialog {
public:
    explicit CAddNamespaceDlg(wxWindow* parent);

    // The entered text, valid after OK.
    wxString m_namespace;

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);

    wxComboBox* m_combo = nullptr;
};
