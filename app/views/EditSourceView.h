#pragma once

#include "brindlekit/text/EditView.h"

#include "app/views/XmlColouring.h"
#include "platform/xml/XmlValidation.h"

#include <string>
#include <vector>

class CBrindleDoc;
class CBrindleDoc2;

// Asks the main window to fill its Edit menu from a menu resource (0: the
// default one); sent by a view that gets the focus.
wxDECLARE_EVENT(EVT_BRINDLE_EDIT_MENU, wxCommandEvent);
void RequestEditMenu(int menuResourceId);
// Sent up to the frame by the XML source view after each validation; the
// view's GetLastErrors holds what it found.
wxDECLARE_EVENT(EVT_BRINDLE_VALIDATED, wxCommandEvent);

// A document's source text, coloured as XML (or by the plain line colouring, as
// the settings say), with the Edit and context menus of its document kind (a
// menu resource).
class SourceTextView : public brindle::CEditView {
public:
    SourceTextView(wxWindow* parent, brindle::CTextBuffer& buffer, int menuResourceId, xml_colour::Grammar grammar);

    bool ExecuteCommand(int id) override;
    std::optional<bool> DerivedCommandState(int id) const override;
    // The document is closing: the view outlives it briefly and must not reach it.
    virtual void DetachDocument();

protected:
    std::uint32_t ParseLine(std::uint32_t cookie, int line, brindle::TextBlock* blocks, int& count) override;
    brindle::CTextBuffer* LocateTextBuffer() override { return m_buffer; }
    int FoldEnd(int line) override;
    std::vector<brindle::FoldRange> FoldRanges() override;
    void OnFocusChanged(bool gained) override;
    void ShowContextMenu(const wxPoint& point) override;

private:
    // Line numbers and folding as the Display settings say.
    void ApplyDisplaySettings();
    // Follows the colouring setting; a change recolours every line.
    void ApplyColouringSetting();

    brindle::CTextBuffer* m_buffer;
    int m_menuResourceId;
    xml_colour::Grammar m_grammar;
    bool m_xmlColouring = true;
};

// The XML document's source text, with Validate and Auto Format. Its status
// message tells the outcome of the last validation.
class CEditSourceView : public SourceTextView {
public:
    CEditSourceView(wxWindow* parent, CBrindleDoc* doc);

    bool ExecuteCommand(int id) override;
    std::optional<bool> DerivedCommandState(int id) const override;
    // Checks that the text parses and is valid; on an error selects and marks
    // the first error's line. Every error found is kept (GetLastErrors).
    bool Validate();
    // The same against a schema the user chose instead of the document's own.
    bool ValidateAgainst(const brindle::SchemaChoice& schema);
    const std::vector<brindle::XmlParseError>& GetLastErrors() const { return m_lastErrors; }
    // Validates, then rewrites the text as indented XML.
    bool AutoFormat();
    const std::string& GetStatusMessage() const { return m_statusMessage; }
    void SetStatusMessage(const std::string& message) { m_statusMessage = message; }
    void DetachDocument() override;

protected:
    void OnFocusChanged(bool gained) override;

private:
    bool ShowOutcome(const brindle::ValidationReport& report);
    // Validate Against...: asks for the schema file, its kind by its extension.
    void ChooseSchemaAndValidate();

    CBrindleDoc* m_doc;
    std::string m_statusMessage;
    std::vector<brindle::XmlParseError> m_lastErrors;
    std::string m_lastSchema;
};

// The DTD document's source text.
class CEditSourceView2 : public SourceTextView {
public:
    CEditSourceView2(wxWindow* parent, CBrindleDoc2* doc);
};
