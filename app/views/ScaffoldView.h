#pragma once

#include <wx/docview.h>

class wxTextCtrl;

// SCAFFOLDING, replaced by the node tree, source and browser views: shows the
// document's source text as plain read-only text in its own document frame.
class ScaffoldView : public wxView {
public:
    explicit ScaffoldView(int menuResourceId) : m_menuResourceId(menuResourceId) {}

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;

private:
    int m_menuResourceId;
    wxTextCtrl* m_text = nullptr;
};
