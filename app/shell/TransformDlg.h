#pragma once

#include <wx/dialog.h>

#include <string>

class wxTextCtrl;
class wxCheckBox;

// What keeps the Transform dialog from closing with OK: the message for a missing
// output file or stylesheet, or "" when both are given.
std::string TransformDialogProblem(const std::string& outputFile, const std::string& xslFile);

// Asks for the stylesheet and the output file of a transformation, and whether
// to open the result. The caller may preset xslFile; the members hold the
// entries after OK.
class CTransformDlg : public wxDialog {
public:
    explicit CTransformDlg(wxWindow* parent);

    std::string xslFile;
    std::string outputFile;
    bool openAfter = false;

private:
    void OnBrowse(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* m_xsl = nullptr;
    wxTextCtrl* m_output = nullptr;
    wxCheckBox* m_open = nullptr;
};
