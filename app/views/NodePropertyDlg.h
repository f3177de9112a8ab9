#pragma once

#include "platform/xml/XmlNode.h"

#include <array>
#include <string>
#include <wx/propdlg.h>

class wxTextCtrl;

// What the property dialog shows about a node, as plain strings: its name, type
// name, the addresses of its node object and of its parent's (lower-case hex, at
// least 8 digits, "00000000" for no parent), its path, its namespace URI (for
// elements and attributes) and its XML serialisation.
struct NodeFacts {
    std::string name, type, address, parentAddress, path, namespaceUri, source;
};
// The facts the dialog shows for a node; all empty for no node.
NodeFacts DescribeNode(const brindle::XmlNodePtr& node);

// A read-only sheet about one node: "Info" with six fields and "Source" with the
// node's XML. OK and Cancel just close it; nothing in it changes the document.
class CNodePropertyDlg : public wxPropertySheetDialog {
public:
    CNodePropertyDlg(wxWindow* parent, const wxString& caption);

    // Fills both pages from the node.
    void SetNode(const brindle::XmlNodePtr& node);
    const NodeFacts& Facts() const { return m_facts; }

private:
    NodeFacts m_facts;
    std::array<wxTextCtrl*, 6> m_infoFields{};
    wxTextCtrl* m_source = nullptr;
};
