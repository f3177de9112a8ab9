#pragma once

#include "platform/xml/XmlNode.h"

#include <string>
#include <wx/dialog.h>
#include <wx/string.h>

class wxTextCtrl;

// Edits one node's name and value: an icon of the node's kind, the name (editable
// only for attributes and processing instructions), the read-only type name and
// the multi-line value. Resizable, never below its opening size; the value field
// takes the growth and has the focus when the dialog opens. The dialog only
// reads the node; the caller applies what it returns.
class CNodeEditDlg : public wxDialog {
public:
    CNodeEditDlg(wxWindow* parent, const brindle::XmlNodePtr& node, const wxBitmap& icon);

    // What the fields hold now (read from the controls, so valid after OK).
    std::string GetNodeName() const;
    std::string GetNodeValue() const;
    // Whether the user changed either field from what it showed at opening.
    bool IsChanged() const;
    // Fill the fields (tests use these, then end the dialog with OK).
    void SetNodeName(const std::string& name);
    void SetNodeValue(const std::string& value);

private:
    wxTextCtrl* m_name = nullptr;
    wxTextCtrl* m_value = nullptr;
    wxString m_shownName, m_shownValue;
};
