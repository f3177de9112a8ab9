#include "app/shell/XPathPanel.h"

#include "app/document/BrindleDoc.h"
#include "app/shell/ChildFrame.h"
#include "app/views/EditSourceView.h"
#include "app/views/LeftView.h"
#include "platform/xml/XmlDom.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wupdlock.h>

#include <algorithm>

namespace {

using brindle::CPoint;

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

// Newlines and tabs of a value shown on one row.
wxString OneLine(const std::string& s)
{
    wxString out = U(s);
    out.Replace("\r", " ");
    out.Replace("\n", " ");
    out.Replace("\t", " ");
    return out;
}

} // namespace

CXPathPanel::CXPathPanel(wxWindow* parent, FrameSource activeFrame)
    : wxPanel(parent, wxID_ANY), m_activeFrame(std::move(activeFrame))
{
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    m_expression = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                  wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    m_expression->SetToolTip("XPath 1.0 expression; EXSLT functions under math:, str:, date:, set:, exsl:, dyn:");
    auto* go = new wxButton(this, wxID_ANY, "&Evaluate");
    top->Add(new wxStaticText(this, wxID_ANY, "XPath:"), 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 4);
    top->Add(m_expression, 1, wxALIGN_CENTER_VERTICAL);
    top->Add(go, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);

    m_summary = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_results = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
    m_results->AppendColumn("Node", wxLIST_FORMAT_LEFT, 260);
    m_results->AppendColumn("Type", wxLIST_FORMAT_LEFT, 90);
    m_results->AppendColumn("Value", wxLIST_FORMAT_LEFT, 300);
    m_results->AppendColumn("Line", wxLIST_FORMAT_RIGHT, 60);
    m_prefixes = new wxListBox(this, wxID_ANY);
    m_prefixes->SetToolTip("Prefixes the expression may use; a default namespace is offered under its own prefix. "
                           "Double-click to insert one.");

    auto* body = new wxBoxSizer(wxHORIZONTAL);
    body->Add(m_results, 3, wxEXPAND);
    auto* side = new wxBoxSizer(wxVERTICAL);
    side->Add(new wxStaticText(this, wxID_ANY, "Namespace prefixes:"), 0, wxBOTTOM, 2);
    side->Add(m_prefixes, 1, wxEXPAND);
    body->Add(side, 1, wxEXPAND | wxLEFT, 4);

    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(top, 0, wxEXPAND | wxALL, 2);
    all->Add(m_summary, 0, wxEXPAND | wxLEFT | wxRIGHT, 4);
    all->Add(body, 1, wxEXPAND | wxALL, 2);
    SetSizer(all);
    FillHistory();

    go->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Evaluate(); });
    m_expression->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Evaluate(); });
    m_results->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CXPathPanel::OnActivated, this);
    m_prefixes->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent& event) {
        const auto& bindings = m_model.Bindings();
        const int i = event.GetSelection();
        if (i < 0 || static_cast<size_t>(i) >= bindings.size()) return;
        m_expression->WriteText(U(bindings[static_cast<size_t>(i)].prefix + ":"));
        m_expression->SetFocus();
    });
}

void CXPathPanel::SetExpression(const wxString& expression) { m_expression->SetValue(expression); }

wxString CXPathPanel::SummaryText() const { return m_summary->GetLabel(); }

bool CXPathPanel::Evaluate()
{
    const std::string expression = m_expression->GetValue().utf8_string();
    m_results->DeleteAllItems();
    m_rowsDoc = nullptr;
    m_sourceTree.reset();
    CChildFrame* frame = m_activeFrame ? m_activeFrame() : nullptr;
    auto* doc = frame ? dynamic_cast<CBrindleDoc*>(frame->GetDocument()) : nullptr;
    if (!doc) {
        m_model.Clear();
        ShowSummary("Open an XML document to search it.", true);
        return false;
    }
    brindle::XmlDocumentPtr tree;
    const bool fromSource = frame->GetMode() == ViewMode::Source;
    if (fromSource) {
        // The text as it stands, not the tree it was made from: lines then match.
        std::string text;
        auto& buffer = doc->GetTextBuffer();
        const int last = buffer.GetLineCount() - 1;
        if (last >= 0) buffer.GetText(0, 0, last, buffer.GetLineLength(last), text, "\n");
        tree = brindle::XmlDocument::Create();
        tree->put_validateOnParse(false);
        tree->put_preserveWhiteSpace(true);
        if (!tree->loadXML(text)) {
            m_model.Clear();
            ShowSummary("The source text does not parse: " + CBrindleDoc::DescribeParseError(tree->parseError()),
                        true);
            return false;
        }
        m_sourceTree = tree;
    } else {
        if (!doc->IsDomValid() || !doc->GetDomDocument()) {
            m_model.Clear();
            ShowSummary("The document has no tree to search.", true);
            return false;
        }
        tree = doc->GetDomDocument();
    }
    FillPrefixes(*tree);
    const bool ok = m_model.Evaluate(*tree, expression);
    ShowSummary(m_model.Summary(), !ok);
    if (!ok) {
        m_sourceTree.reset();
        return false;
    }
    m_rowsDoc = doc;
    m_rowsFromSource = fromSource;
    m_rowsRevision = doc->GetDomRevision();
    FillRows();
    FillHistory();
    m_expression->SetValue(U(expression));
    return true;
}

void CXPathPanel::FillPrefixes(const brindle::XmlDocument& tree)
{
    m_model.SetDeclaredNamespaces(brindle::DeclaredNamespaces(tree));
    m_prefixes->Clear();
    for (const auto& label : m_model.BindingLabels()) m_prefixes->Append(U(label));
}

void CXPathPanel::OfferPrefixes()
{
    CChildFrame* frame = m_activeFrame ? m_activeFrame() : nullptr;
    auto* doc = frame ? dynamic_cast<CBrindleDoc*>(frame->GetDocument()) : nullptr;
    if (doc && doc->IsDomValid() && doc->GetDomDocument()) FillPrefixes(*doc->GetDomDocument());
}

void CXPathPanel::FillHistory()
{
    const wxString current = m_expression->GetValue();
    m_expression->Clear();
    for (const auto& entry : m_model.HistoryEntries()) m_expression->Append(U(entry));
    m_expression->SetValue(current);
}

void CXPathPanel::FillRows()
{
    wxWindowUpdateLocker frozen(m_results);
    m_results->DeleteAllItems();
    long index = 0;
    for (const auto& row : m_model.Rows()) {
        const long item = m_results->InsertItem(index++, OneLine(row.path));
        m_results->SetItem(item, 1, U(row.kind));
        m_results->SetItem(item, 2, OneLine(row.value));
        m_results->SetItem(item, 3, row.line > 0 ? wxString::Format("%ld", row.line) : wxString());
    }
}

void CXPathPanel::ShowSummary(const std::string& text, bool error)
{
    m_summary->SetForegroundColour(error ? *wxRED : GetForegroundColour());
    m_summary->SetLabel(U(text));
    Layout();
}

bool CXPathPanel::GoToRow(long row)
{
    const auto& rows = m_model.Rows();
    if (row < 0 || static_cast<size_t>(row) >= rows.size()) return false;
    CChildFrame* frame = m_activeFrame ? m_activeFrame() : nullptr;
    if (!frame || frame->GetDocument() != m_rowsDoc) {
        ShowSummary("The results belong to another document: evaluate again.", true);
        return false;
    }
    const bool inSource = frame->GetMode() == ViewMode::Source;
    // Rows found in the other form of the document are looked up there again.
    if (inSource != m_rowsFromSource || (!inSource && m_rowsRevision != m_rowsDoc->GetDomRevision())) {
        const auto wanted = rows[static_cast<size_t>(row)].path;
        if (!Evaluate()) return false;
        const auto& again = m_model.Rows();
        if (static_cast<size_t>(row) >= again.size() || again[static_cast<size_t>(row)].path != wanted) {
            ShowSummary("The document changed: the results were found again.", true);
            return false;
        }
    }
    const auto& target = m_model.Rows()[static_cast<size_t>(row)];
    if (inSource) {
        if (target.line <= 0) {
            ShowSummary("That result has no line in the source.", true);
            return false;
        }
        CEditSourceView* source = frame->GetSourceView();
        auto& buffer = m_rowsDoc->GetTextBuffer();
        const int line = std::min(static_cast<int>(target.line), buffer.GetLineCount()) - 1;
        if (!source || line < 0) return false;
        auto& view = source->Model();
        view.SetSelection(CPoint(0, line), CPoint(buffer.GetLineLength(line), line));
        view.SetCursorPos(CPoint(0, line));
        view.SetAnchor(CPoint(0, line));
        view.EnsureVisible(CPoint(0, line));
        source->SetFocus();
        return true;
    }
    if (frame->GetMode() != ViewMode::Tree) {
        frame->ShowTreeMode();
        if (frame->GetMode() != ViewMode::Tree) {
            ShowSummary("Switch to the node tree to go to a result.", true);
            return false;
        }
    }
    // The tree shows elements: an attribute, text or comment selects its element.
    brindle::XmlNodePtr element = target.node;
    if (element && element->nodeType() != brindle::NODE_ELEMENT && element->nodeType() != brindle::NODE_DOCUMENT)
        element = element->selectSingleNode("ancestor::*[1]");
    CLeftView* tree = frame->GetTreeView();
    const wxTreeItemId item = element && tree ? tree->ItemOf(element) : wxTreeItemId();
    if (!item.IsOk()) {
        ShowSummary("That result is not shown in the tree.", true);
        return false;
    }
    tree->SelectNodeItem(item);
    tree->SetFocus();
    return true;
}

void CXPathPanel::OnActivated(wxListEvent& event) { GoToRow(event.GetIndex()); }
