#pragma once

#include "app/views/PreviewRenderer.h"

#include <wx/panel.h>

class CBrindleDoc;

// The document as a web browser shows it, alone in Browser mode: rendered when
// the frame enters Browser mode, and again when the frame comes to the front
// after the document changed.
class CBrowserView : public wxPanel {
public:
    CBrowserView(wxWindow* parent, CBrindleDoc* doc);

    // The frame entered Browser mode (forced) or came to the front in it.
    void Activate(bool entered);
    // The document is closing; the view must not reach it any more.
    void DetachDocument() { m_preview.SetDocument(nullptr); }
    PreviewRenderer& Preview() { return m_preview; }
    // The keyboard goes to the web view, or to the view itself before it has one
    // (never on to a hidden neighbour).
    bool AcceptsFocus() const override { return true; }
    void SetFocus() override;

private:
    PreviewRenderer m_preview;
};

// The "Browse" tab beside the node list: the same rendering, made when the tab
// is first shown, whenever it gets the focus, and after every change of the
// document while it is shown.
class CBrowserPage : public wxPanel {
public:
    CBrowserPage(wxWindow* parent, CBrindleDoc* doc);

    // The tab was selected.
    void OnShown();
    // The document notified its views.
    void OnDocumentChanged();
    void DetachDocument() { m_preview.SetDocument(nullptr); }
    PreviewRenderer& Preview() { return m_preview; }

private:
    bool m_shownOnce = false;
    PreviewRenderer m_preview;
};
