#pragma once

#include "brindlekit/text/EditView.h"

#include <string>

class CBrindleDoc;
class CBrindleDoc2;

// Asks the main window to fill its Edit menu from a menu resource (0: the
// default one); sent by a view that gets the focus.
wxDECLARE_EVENT(EVT_BRINDLE_EDIT_MENU, wxCommandEvent);
void RequestEditMenu(int menuResourceId);

// A document's source text, coloured as XML, with the Edit and context menus of
// its document kind (a menu resource).
class SourceTextView : public brindle::CEditView {
public:
    SourceTextView(wxWindow* parent, brindle::CTextBuffer& buffer, int menuResourceId);

    bool ExecuteCommand(int id) override;
    std::optional<bool> DerivedCommandState(int id) const override;
    // The document is closing: the view outlives it briefly and must not reach it.
    virtual void DetachDocument();

protected:
    std::uint32_t ParseLine(std::uint32_t cookie, int line, brindle::TextBlock* blocks, int& count) override;
    brindle::CTextBuffer* LocateTextBuffer() override { return m_buffer; }
    void OnFocusChanged(bool gained) override;
    void ShowContextMenu(const wxPoint& point) override;

private:
    brindle::CTextBuffer* m_buffer;
    int m_menuResourceId;
};

// The XML document's source text, with Validate and Auto Format. Its status
// message tells the outcome of the last validation.
class CEditSourceView : public SourceTextView {
public:
    CEditSourceView(wxWindow* parent, CBrindleDoc* doc);

    bool ExecuteCommand(int id) override;
    std::optional<bool> DerivedCommandState(int id) const override;
    // Checks that the text parses; on an error selects and marks its line.
    bool Validate();
    // Validates, then rewrites the text as indented XML.
    bool AutoFormat();
    const std::string& GetStatusMessage() const { return m_statusMessage; }
    void SetStatusMessage(const std::string& message) { m_statusMessage = message; }
    void DetachDocument() override;

private:
    CBrindleDoc* m_doc;
    std::string m_statusMessage;
};

// The DTD document's source text.
class CEditSourceView2 : public SourceTextView {
public:
    CEditSourceView2(wxWindow* parent, CBrindleDoc2* doc);
};
