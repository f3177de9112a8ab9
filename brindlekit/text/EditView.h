#pragma once

#include "brindlekit/text/EditViewModel.h"
#include "brindlekit/text/TextView.h"

namespace brindle {

// The editable text window: typed characters, the edit commands, the Replace dialog,
// and text dropped from this or another window.
class BRINDLEKIT_API CEditView : public CTextView {
public:
    CEditView();
    CEditView(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = 0);
    ~CEditView() override;

    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    EditViewModel& EditModel() { return static_cast<EditViewModel&>(*m_pModel); }

    // Whether the text may be changed; by default a buffer is attached and it is not
    // read-only. Every editing command asks first.
    virtual bool QueryEditable();

    bool ExecuteCommand(int id) override;
    // Runs the Replace dialog (nothing when the view is not editable).
    virtual void OnEditReplace();

    // The drop indicator while text is dragged over the window (client point).
    void ShowDropIndicator(const wxPoint& point);
    void HideDropIndicator();
    // Scrolls when the pointer is near an edge during a drag.
    void DoDragScroll(const wxPoint& point);
    bool DoDropText(const std::string& text, const wxPoint& point);

protected:
    bool QueryEditable(bool defaultValue) override;
    void DrawLineOverlay(wxDC& dc, const wxRect& rect, int line) override;

private:
    void InitEdit();
    void OnChar(wxKeyEvent& event);

    bool m_bDropPosVisible = false;
    CPoint m_ptDropPos;
};

} // namespace brindle
