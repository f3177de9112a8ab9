#include "app/views/NodePropertyDlg.h"

#include "app/document/BrindleDoc.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

using namespace brindle;

namespace {

enum { IDD_NODE_INFO = 132, IDD_NODE_SOURCE = 133, IDC_FIRST_FIELD = 1000 };
constexpr int kGap = 6;

std::string Address(const XmlNode* node)
{
    char text[2 * sizeof(uintptr_t) + 1];
    std::snprintf(text, sizeof text, "%08" PRIxPTR, reinterpret_cast<uintptr_t>(node));
    return text;
}

} // namespace

NodeFacts DescribeNode(const XmlNodePtr& node)
{
    NodeFacts facts;
    if (!node) return facts;
    const XmlNodeType type = node->nodeType();
    facts.name = node->nodeName();
    facts.type = CBrindleDoc::NodeTypeName(node);
    facts.address = Address(node.get());
    // Node objects are stable per node, so the parent's object is the one the
    // parent's own dialog would show.
    facts.parentAddress = Address(node->parentNode().get());
    facts.path = CBrindleDoc::GetNodePath(node);
    if (type == NODE_ELEMENT || type == NODE_ATTRIBUTE) facts.namespaceUri = node->namespaceURI();
    facts.source = node->xml();
    return facts;
}

CNodePropertyDlg::CNodePropertyDlg(wxWindow* parent, const wxString& caption)
    : wxPropertySheetDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                            wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();

    // "Info": six read-only fields, each with its label on the left.
    auto* info = new wxPanel(book, IDD_NODE_INFO);
    auto* grid = new wxFlexGridSizer(2, kGap, kGap);
    grid->AddGrowableCol(1);
    const char* labels[] = {"Node Name", "Node Type", "Node Address", "Node Parent Address", "Node Path",
                            "Node Namespace"};
    for (size_t i = 0; i < m_infoFields.size(); ++i) {
        grid->Add(new wxStaticText(info, wxID_ANY, labels[i]), 0, wxALIGN_CENTER_VERTICAL);
        m_infoFields[i] = new wxTextCtrl(info, IDC_FIRST_FIELD + static_cast<int>(i), wxEmptyString,
                                         wxDefaultPosition, wxSize(320, -1), wxTE_READONLY);
        grid->Add(m_infoFields[i], 1, wxEXPAND);
    }
    auto* infoSizer = new wxBoxSizer(wxVERTICAL);
    infoSizer->Add(grid, 0, wxEXPAND | wxALL, 2 * kGap);
    info->SetSizer(infoSizer);
    book->AddPage(info, "Info", true);

    // "Source": the node's XML in one read-only field filling the page.
    auto* source = new wxPanel(book, IDD_NODE_SOURCE);
    m_source = new wxTextCtrl(source, IDC_FIRST_FIELD, wxEmptyString, wxDefaultPosition, wxSize(500, 280),
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL | wxVSCROLL);
    m_source->SetFont(wxFontInfo().Family(wxFONTFAMILY_TELETYPE));
    auto* sourceSizer = new wxBoxSizer(wxVERTICAL);
    sourceSizer->Add(m_source, 1, wxEXPAND | wxALL, kGap);
    source->SetSizer(sourceSizer);
    book->AddPage(source, "Source");

    LayoutDialog();
    SetMinSize(GetSize());
}

void CNodePropertyDlg::SetNode(const XmlNodePtr& node)
{
    m_facts = DescribeNode(node);
    const std::string* values[] = {&m_facts.name,          &m_facts.type, &m_facts.address,
                                   &m_facts.parentAddress, &m_facts.path, &m_facts.namespaceUri};
    for (size_t i = 0; i < m_infoFields.size(); ++i) m_infoFields[i]->ChangeValue(wxString::FromUTF8(*values[i]));
    m_source->ChangeValue(wxString::FromUTF8(m_facts.source));
}
