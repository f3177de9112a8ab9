#pragma once

#include "brindlekit/text/EditView.h"

#include <string>

class CBrindleDoc;
class CBrindleDoc2;

// Asks the main window to fill its Edit menu from a menu resource (0: the
// default one); sent by a view that gets the focus.
wxDECLARE_EVENT(EVT_BRINDLE_EDIT_MENU, wxCommandEvent);
void RequestEditMenu(int menuResourceId);

// The XML document's source text, coloured as XML, with Validate and Auto Format.
// Its status message tells the outcome of the last validation.
class CEditSourceView : public brindle::CEditView {
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
    // The document is closing: the view outlives it briefly and must not reach it.
    void DetachDocument();

protected:
    std::uint32_t ParseLine(std::uint32_t cookie, int line, brindle::TextBlock* blocks, int& count) override;
    brindle::CTextBuffer* LocateTextBuffer() override;
    void OnFocusChanged(bool gained) override;
    void ShowContextMenu(const wxPoint& point) override;

private:
    CBrindleDoc* m_doc;
    std::string m_statusMessage;
};

// The DTD document's source text, coloured the same way.
class CEditSourceView2 : public brindle::CEditView {
public:
    CEditSourceView2(wxWindow* parent, CBrindleDoc2* doc);
    bool ExecuteCommand(int id) override;
    std::optional<bool> DerivedCommandState(int id) const override;
    void DetachDocument();

protected:
    std::uint32_t ParseLine(std::uint32_t cookie, int line, brindle::TextBlock* blocks, int& count) override;
    brindle::CTextBuffer* LocateTextBuffer() override;
    void OnFocusChanged(bool gained) override;
    void ShowContextMenu(const wxPoint& point) override;

private:
    CBrindleDoc2* m_doc;
};
