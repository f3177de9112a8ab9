#include "brindlekit/text/FindReplaceDialogs.h"

#include "brindlekit/text/EditView.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextView.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace brindle {

using namespace textcmd;

namespace {

std::string Utf8(const wxString& text)
{
    const wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

} // namespace

// ---- Find ----

CTextFindDlg::CTextFindDlg(CTextView* view)
    : wxDialog(view, IDD_EDIT_FIND, "Find"), m_model(view->Model())
{
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "Fi&nd what:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    m_text = new wxTextCtrl(this, IDC_EDIT_TEXT, "", wxDefaultPosition, wxSize(220, -1));
    row->Add(m_text, 1);
    left->Add(row, 0, wxEXPAND | wxBOTTOM, 8);
    auto* options = new wxBoxSizer(wxHORIZONTAL);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    m_wholeWord = new wxCheckBox(this, IDC_EDIT_WHOLE_WORD, "Match &whole word only");
    m_matchCase = new wxCheckBox(this, IDC_EDIT_MATCH_CASE, "Match &case");
    checks->Add(m_wholeWord, 0, wxBOTTOM, 4);
    checks->Add(m_matchCase);
    options->Add(checks, 1, wxALIGN_BOTTOM | wxRIGHT, 8);
    auto* direction = new wxStaticBoxSizer(wxHORIZONTAL, this, "Direction");
    m_up = new wxRadioButton(direction->GetStaticBox(), IDC_EDIT_DIRECTION_UP, "&Up", wxDefaultPosition,
                             wxDefaultSize, wxRB_GROUP);
    m_down = new wxRadioButton(direction->GetStaticBox(), IDC_EDIT_DIRECTION_DOWN, "&Down");
    direction->Add(m_up, 0, wxALL, 3);
    direction->Add(m_down, 0, wxALL, 3);
    options->Add(direction);
    left->Add(options, 0, wxEXPAND);
    top->Add(left, 1, wxALL, 10);
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    m_findNext = new wxButton(this, wxID_OK, "&Find Next");
    m_findNext->SetDefault();
    buttons->Add(m_findNext, 0, wxEXPAND | wxBOTTOM, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxEXPAND);
    top->Add(buttons, 0, wxTOP | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);

    m_text->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateButtons(); });
    m_findNext->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFindNext(); });
}

CTextFindDlg::~CTextFindDlg() = default;

void CTextFindDlg::TakeOverControls()
{
    m_model.m_strText = Utf8(m_text->GetValue());
    m_model.m_bWholeWord = m_wholeWord->GetValue();
    m_model.m_bMatchCase = m_matchCase->GetValue();
    m_model.m_nDirection = m_up->GetValue() ? 0 : 1;
}

void CTextFindDlg::UpdateButtons()
{
    m_findNext->Enable(!m_text->GetValue().empty());
}

int CTextFindDlg::ShowModal()
{
    m_model.Prepare();
    m_text->ChangeValue(wxString::FromUTF8(m_model.m_strText));
    m_wholeWord->SetValue(m_model.m_bWholeWord);
    m_matchCase->SetValue(m_model.m_bMatchCase);
    (m_model.m_nDirection == 0 ? m_up : m_down)->SetValue(true);
    UpdateButtons();
    m_text->SelectAll();
    m_text->SetFocus();
    const int result = wxDialog::ShowModal();
    m_model.Close();
    return result;
}

void CTextFindDlg::OnFindNext()
{
    TakeOverControls();
    if (!m_model.CanFindNext()) return;
    if (m_model.FindNext()) EndModal(wxID_OK);
}

// ---- Replace ----

CTextReplaceDlg::CTextReplaceDlg(CEditView* view)
    : wxDialog(view, IDD_EDIT_REPLACE, "Replace"), m_model(view->EditModel())
{
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 6, 6);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(this, wxID_ANY, "Fi&nd what:"), 0, wxALIGN_CENTER_VERTICAL);
    m_text = new wxTextCtrl(this, IDC_EDIT_TEXT, "", wxDefaultPosition, wxSize(220, -1));
    grid->Add(m_text, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, "Re&place with:"), 0, wxALIGN_CENTER_VERTICAL);
    m_replaceWith = new wxTextCtrl(this, IDC_EDIT_REPLACE_WITH, "", wxDefaultPosition, wxSize(220, -1));
    grid->Add(m_replaceWith, 1, wxEXPAND);
    left->Add(grid, 0, wxEXPAND | wxBOTTOM, 8);
    auto* options = new wxBoxSizer(wxHORIZONTAL);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    m_wholeWord = new wxCheckBox(this, IDC_EDIT_WHOLE_WORD, "Match &whole word only");
    m_matchCase = new wxCheckBox(this, IDC_EDIT_MATCH_CASE, "Match &case");
    checks->Add(m_wholeWord, 0, wxBOTTOM, 4);
    checks->Add(m_matchCase);
    options->Add(checks, 1, wxALIGN_BOTTOM | wxRIGHT, 8);
    auto* scope = new wxStaticBoxSizer(wxVERTICAL, this, "Replace in");
    m_scopeSelection = new wxRadioButton(scope->GetStaticBox(), IDC_EDIT_SCOPE_SELECTION, "&Selection",
                                         wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_scopeWholeFile = new wxRadioButton(scope->GetStaticBox(), IDC_EDIT_SCOPE_WHOLE_FILE, "Wh&ole file");
    scope->Add(m_scopeSelection, 0, wxALL, 3);
    scope->Add(m_scopeWholeFile, 0, wxALL, 3);
    options->Add(scope);
    left->Add(options, 0, wxEXPAND);
    top->Add(left, 1, wxALL, 10);

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    m_findNext = new wxButton(this, IDC_EDIT_FIND_NEXT, "&Find Next");
    m_findNext->SetDefault();
    auto* replace = new wxButton(this, IDC_EDIT_SKIP, "&Replace");
    auto* replaceAll = new wxButton(this, IDC_EDIT_REPLACE_ALL, "Replace &All");
    auto* cancel = new wxButton(this, wxID_CANCEL, "Cancel");
    for (wxButton* b : {m_findNext, replace, replaceAll, cancel}) buttons->Add(b, 0, wxEXPAND | wxBOTTOM, 6);
    top->Add(buttons, 0, wxTOP | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);

    m_text->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateButtons(); });
    m_findNext->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFindNext(); });
    replace->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnReplace(); });
    replaceAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnReplaceAll(); });
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
}

CTextReplaceDlg::~CTextReplaceDlg() = default;

void CTextReplaceDlg::TakeOverControls()
{
    m_model.m_strText = Utf8(m_text->GetValue());
    m_model.m_strReplaceWith = Utf8(m_replaceWith->GetValue());
    m_model.m_bWholeWord = m_wholeWord->GetValue();
    m_model.m_bMatchCase = m_matchCase->GetValue();
    m_model.m_nScope = m_scopeSelection->GetValue() ? 0 : 1;
}

void CTextReplaceDlg::UpdateButtons()
{
    m_findNext->Enable(!m_text->GetValue().empty());
    m_scopeSelection->Enable(m_model.m_bEnableScopeSelection);
}

int CTextReplaceDlg::ShowModal()
{
    if (!m_model.Begin()) return wxID_CANCEL;
    m_text->ChangeValue(wxString::FromUTF8(m_model.m_strText));
    m_replaceWith->ChangeValue(wxString::FromUTF8(m_model.m_strReplaceWith));
    m_wholeWord->SetValue(m_model.m_bWholeWord);
    m_matchCase->SetValue(m_model.m_bMatchCase);
    (m_model.m_nScope == 0 ? m_scopeSelection : m_scopeWholeFile)->SetValue(true);
    UpdateButtons();
    m_text->SetFocus();
    const int result = wxDialog::ShowModal();
    m_model.End();
    return result;
}

void CTextReplaceDlg::OnFindNext()
{
    TakeOverControls();
    if (!m_model.CanFindNext()) return;
    m_model.OnFindNext();
}

void CTextReplaceDlg::OnReplace()
{
    TakeOverControls();
    m_model.OnReplace();
}

void CTextReplaceDlg::OnReplaceAll()
{
    TakeOverControls();
    m_model.OnReplaceAll();
}

void CTextReplaceDlg::OnCancel()
{
    TakeOverControls();
    if (IsModal()) EndModal(wxID_CANCEL);
}

} // namespace brindle
