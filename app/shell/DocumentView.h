#pragma once

#include <wx/docview.h>

namespace brindle {
class CEditView;
}

// The framework's view of a document: it creates the document's frame (the XML
// document frame with its four views, or the DTD frame with its source view) and
// hands the menu commands and their update requests to the frame's active view
// before the frame and the document see them.
class DocumentView : public wxView {
public:
    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    // The first update, after the document is loaded, attaches the source window
    // to the document's text.
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;

    brindle::CEditView* GetEditWindow() const { return m_edit; }

protected:
    bool TryBefore(wxEvent& event) override;

private:
    brindle::CEditView* m_edit = nullptr;
    bool m_attached = false;
};
