#include "app/views/ValidationErrorsPane.h"

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

// A list that asks the model for its cells, so thousands of rows cost nothing.
class ErrorList : public wxListCtrl {
public:
    ErrorList(wxWindow* parent, const ValidationErrorsModel& model)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(-1, 140),
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL),
          m_model(model)
    {
        AppendColumn("Line", wxLIST_FORMAT_RIGHT, 60);
        AppendColumn("Column", wxLIST_FORMAT_RIGHT, 60);
        AppendColumn("Message", wxLIST_FORMAT_LEFT, 700);
    }

protected:
    wxString OnGetItemText(long item, long column) const override
    {
        return wxString::FromUTF8(
            m_model.Cell(static_cast<size_t>(item), static_cast<ValidationErrorsModel::Column>(column)));
    }

private:
    const ValidationErrorsModel& m_model;
};

} // namespace

ValidationErrorsPane::ValidationErrorsPane(wxWindow* parent, GoTo goTo)
    : wxPanel(parent, wxID_ANY), m_goTo(std::move(goTo))
{
    auto* header = new wxBoxSizer(wxHORIZONTAL);
    header->Add(new wxStaticText(this, wxID_ANY, "Validation errors"), 1, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    auto* copy = new wxButton(this, wxID_ANY, "Copy All", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    auto* close = new wxButton(this, wxID_CLOSE, "Close", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    header->Add(copy, 0, wxRIGHT, 4);
    header->Add(close, 0);
    m_list = new ErrorList(this, m_model);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(header, 0, wxEXPAND | wxTOP | wxBOTTOM, 2);
    sizer->Add(m_list, 1, wxEXPAND);
    SetSizer(sizer);

    copy->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CopyAll(); });
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        Hide();
        GetParent()->Layout();
    });
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &ValidationErrorsPane::OnActivated, this);
}

void ValidationErrorsPane::ShowErrors(std::vector<brindle::XmlParseError> errors, const std::string& documentPath)
{
    m_model.Set(std::move(errors), documentPath);
    m_list->SetItemCount(static_cast<long>(m_model.RowCount()));
    m_list->Refresh();
}

void ValidationErrorsPane::CopyAll()
{
    wxClipboardLocker lock;
    if (!lock) return;
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(m_model.CopyAllText())));
    wxTheClipboard->Flush();
}

void ValidationErrorsPane::Activate(long row)
{
    const ValidationErrorsModel::Place place = m_model.PlaceOf(static_cast<size_t>(row));
    if (place.line > 0 && m_goTo) m_goTo(place);
}

void ValidationErrorsPane::OnActivated(wxListEvent& event) { Activate(event.GetIndex()); }
