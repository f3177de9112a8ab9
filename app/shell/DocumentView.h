#pragma once

#include <functional>
#include <wx/docview.h>

namespace brindle {
class CEditView;
}
class DocChildFrame;
class wxAuiMDIParentFrame;

// The framework's view of a document: it creates the document's frame with the
// maker its document kind names, and hands the menu commands and their update
// requests to the frame's active view before the frame and the document see them.
class DocumentView : public wxView {
public:
    using FrameMaker = std::function<DocChildFrame*(wxDocument*, wxView*, wxAuiMDIParentFrame*)>;
    explicit DocumentView(FrameMaker makeFrame) : m_makeFrame(std::move(makeFrame)) {}

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;

    brindle::CEditView* GetEditWindow() const;

protected:
    bool TryBefore(wxEvent& event) override;

private:
    DocChildFrame* Frame() const;

    FrameMaker m_makeFrame;
};
