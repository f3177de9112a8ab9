#pragma once

#include "app/views/ValidationErrorsModel.h"

#include <functional>
#include <wx/panel.h>

class wxListCtrl;
class wxListEvent;

// The list of errors that Validate found, below a document's views: line,
// column and message columns, a Copy All button and a close button. A
// double-click (or Enter) on a row hands its place to the go-to handler.
class ValidationErrorsPane : public wxPanel {
public:
    using GoTo = std::function<void(const ValidationErrorsModel::Place&)>;
    ValidationErrorsPane(wxWindow* parent, GoTo goTo);

    // Shows the errors (the list is redrawn from the model).
    void ShowErrors(std::vector<brindle::XmlParseError> errors, const std::string& documentPath);
    const ValidationErrorsModel& Model() const { return m_model; }
    wxListCtrl* List() const { return m_list; }
    // Puts the whole list on the clipboard as text.
    void CopyAll();
    // A row was activated: go to its place.
    void Activate(long row);

private:
    void OnActivated(wxListEvent& event);

    ValidationErrorsModel m_model;
    wxListCtrl* m_list = nullptr;
    GoTo m_goTo;
};
