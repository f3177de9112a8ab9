#pragma once

#include "brindlekit/text/FindReplaceModel.h"
#include "platform/Export.h"

#include <wx/dialog.h>

class wxButton;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

namespace brindle {

class CTextView;
class CEditView;

// The modal "Find" dialog of a text view.
class BRINDLEKIT_API CTextFindDlg : public wxDialog {
public:
    explicit CTextFindDlg(CTextView* view);
    ~CTextFindDlg() override;

    int ShowModal() override;
    FindDialogModel& Model() { return m_model; }
    // "Find Next": takes the controls' values and searches.
    void OnFindNext();

private:
    void TakeOverControls();
    void UpdateButtons();

    FindDialogModel m_model;
    wxTextCtrl* m_text = nullptr;
    wxCheckBox* m_wholeWord = nullptr;
    wxCheckBox* m_matchCase = nullptr;
    wxRadioButton* m_up = nullptr;
    wxRadioButton* m_down = nullptr;
    wxButton* m_findNext = nullptr;
};

// The modal "Replace" dialog of an edit view.
class BRINDLEKIT_API CTextReplaceDlg : public wxDialog {
public:
    explicit CTextReplaceDlg(CEditView* view);
    ~CTextReplaceDlg() override;

    int ShowModal() override;
    ReplaceDialogModel& Model() { return m_model; }
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();
    void OnCancel();

private:
    void TakeOverControls();
    void UpdateButtons();

    ReplaceDialogModel m_model;
    wxTextCtrl* m_text = nullptr;
    wxTextCtrl* m_replaceWith = nullptr;
    wxCheckBox* m_wholeWord = nullptr;
    wxCheckBox* m_matchCase = nullptr;
    wxRadioButton* m_scopeSelection = nullptr;
    wxRadioButton* m_scopeWholeFile = nullptr;
    wxButton* m_findNext = nullptr;
};

} // namespace brindle
