#pragma once

#include "app/views/XPathPanelModel.h"

#include <wx/panel.h>

#include <cstdint>
#include <functional>

class CBrindleDoc;
class CChildFrame;
class wxComboBox;
class wxListBox;
class wxListCtrl;
class wxListEvent;
class wxStaticText;

// The XPath panel of the main window: an expression box with its history, the
// prefixes the expression may use, and the results of the active XML document.
// In Source mode the source text is searched (parsed as it stands) and a result
// goes to its line; otherwise the tree is searched and a result selects its
// element in the tree. The rules live in CXPathPanelModel.
class CXPathPanel : public wxPanel {
public:
    using FrameSource = std::function<CChildFrame*()>;
    // activeFrame: the XML document frame to work on, null when there is none.
    CXPathPanel(wxWindow* parent, FrameSource activeFrame);

    // Evaluates the expression in the box against the active document.
    bool Evaluate();
    void SetExpression(const wxString& expression);
    // Lists the prefixes of the active document's tree, before any evaluation.
    void OfferPrefixes();
    // Goes to the result of the row: selects its element in the tree, or its
    // line in the source. False, with the reason in the summary, when it cannot.
    bool GoToRow(long row);

    const CXPathPanelModel& Model() const { return m_model; }
    wxListCtrl* ResultList() const { return m_results; }
    wxString SummaryText() const;

private:
    void FillHistory();
    void FillPrefixes(const brindle::XmlDocument& tree);
    void FillRows();
    void ShowSummary(const std::string& text, bool error);
    void OnActivated(wxListEvent& event);

    FrameSource m_activeFrame;
    CXPathPanelModel m_model;
    wxComboBox* m_expression = nullptr;
    wxListBox* m_prefixes = nullptr;
    wxStaticText* m_summary = nullptr;
    wxListCtrl* m_results = nullptr;
    // What the rows were found in: the document, whether its source text, and
    // the parse of that text (which holds the rows' nodes).
    CBrindleDoc* m_rowsDoc = nullptr;
    bool m_rowsFromSource = false;
    std::uint64_t m_rowsRevision = 0;
    brindle::XmlDocumentPtr m_sourceTree;
};
