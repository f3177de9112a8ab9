#include "brindlekit/text/EditView.h"

#include "brindlekit/text/FindReplaceDialogs.h"
#include "brindlekit/text/TextCommandIds.h"

#include <wx/caret.h>
#include <wx/dataobj.h>
#include <wx/dc.h>
#include <wx/dnd.h>

namespace brindle {

using namespace textcmd;

namespace {

// Accepts plain text dropped onto an edit view.
class TextDropTarget : public wxDropTarget {
public:
    explicit TextDropTarget(CEditView* view) : wxDropTarget(new wxTextDataObject), m_view(view) {}

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override
    {
        m_view->ShowDropIndicator(wxPoint(x, y));
        return Effect(def);
    }

    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override
    {
        if (!m_view->QueryEditable() || m_view->Model().GetDisableDragAndDrop()) {
            m_view->HideDropIndicator();
            return wxDragNone;
        }
        m_view->DoDragScroll(wxPoint(x, y));
        m_view->ShowDropIndicator(wxPoint(x, y));
        return Effect(def);
    }

    void OnLeave() override { m_view->HideDropIndicator(); }

    bool OnDrop(wxCoord, wxCoord) override
    {
        m_view->HideDropIndicator();
        return m_view->QueryEditable() && !m_view->Model().GetDisableDragAndDrop();
    }

    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult def) override
    {
        if (!GetData()) return wxDragNone;
        const wxString text = static_cast<wxTextDataObject*>(GetDataObject())->GetText();
        const wxScopedCharBuffer utf8 = text.utf8_str();
        if (!m_view->DoDropText(std::string(utf8.data(), utf8.length()), wxPoint(x, y))) return wxDragNone;
        return Effect(def);
    }

private:
    // Copy with Ctrl, else move.
    static wxDragResult Effect(wxDragResult def) { return def == wxDragCopy ? wxDragCopy : wxDragMove; }

    CEditView* m_view;
};

} // namespace

CEditView::CEditView() : CTextView(std::make_unique<EditViewModel>())
{
}

CEditView::CEditView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : CTextView(std::make_unique<EditViewModel>())
{
    Create(parent, id, pos, size, style);
}

CEditView::~CEditView() = default;

bool CEditView::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    if (!CTextView::Create(parent, id, pos, size, style)) return false;
    InitEdit();
    return true;
}

void CEditView::InitEdit()
{
    Bind(wxEVT_CHAR, &CEditView::OnChar, this);
    SetDropTarget(new TextDropTarget(this));
}

bool CEditView::QueryEditable()
{
    return EditModel().DefaultEditable();
}

bool CEditView::QueryEditable(bool)
{
    return QueryEditable();
}

bool CEditView::ExecuteCommand(int id)
{
    if (id == ID_EDIT_REPLACE) {
        OnEditReplace();
        return true;
    }
    if (EditModel().ExecuteCommand(id)) return true;
    return CTextView::ExecuteCommand(id);
}

void CEditView::OnEditReplace()
{
    if (!EditModel().QueryEditable()) return;
    CTextReplaceDlg dialog(this);
    dialog.ShowModal();
}

void CEditView::OnChar(wxKeyEvent& event)
{
    // Characters typed while a mouse button is held are dropped.
    const wxMouseState mouse = wxGetMouseState();
    if (mouse.LeftIsDown() || mouse.RightIsDown()) return;
    if (event.ControlDown() || event.AltDown()) {
        event.Skip();
        return;
    }
    const int key = event.GetKeyCode();
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        EditModel().OnChar("\r");
        return;
    }
    const wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE || ch < 32 || ch == 127) {
        event.Skip();
        return;
    }
    const wxString typed(ch);
    const wxScopedCharBuffer utf8 = typed.utf8_str(); // may point into `typed`
    EditModel().OnChar(std::string_view(utf8.data(), utf8.length()));
}

void CEditView::ShowDropIndicator(const wxPoint& point)
{
    CPoint adjusted(point.x, point.y);
    Model().AdjustTextPoint(adjusted);
    const CPoint pos = Model().ClientToText(adjusted);
    if (!m_bDropPosVisible) {
        Model().HideCursor();
        m_bDropPosVisible = true;
    } else if (pos == m_ptDropPos) {
        return;
    } else {
        InvalidateLines(m_ptDropPos.y, m_ptDropPos.y);
    }
    m_ptDropPos = pos;
    InvalidateLines(pos.y, pos.y);
}

void CEditView::HideDropIndicator()
{
    if (!m_bDropPosVisible) return;
    m_bDropPosVisible = false;
    InvalidateLines(m_ptDropPos.y, m_ptDropPos.y);
    Model().ShowCursor();
}

void CEditView::DrawLineOverlay(wxDC& dc, const wxRect& rect, int line)
{
    if (!m_bDropPosVisible || line != m_ptDropPos.y) return;
    const TextViewModel& model = Model();
    const int column = model.CalculateActualOffset(line, m_ptDropPos.x);
    if (column < model.GetOffsetChar()) return;
    const int x = model.GetMarginWidth() + (column - model.GetOffsetChar()) * model.GetCharWidth();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(128, 128, 128)));
    dc.DrawRectangle(x, rect.y, 2, rect.height);
}

void CEditView::DoDragScroll(const wxPoint& point)
{
    const wxSize client = GetClientSize();
    TextViewModel& model = Model();
    const int margin = model.GetMarginWidth();
    bool scrolled = false;
    if (point.y < 5 && model.GetTopLine() > 0) {
        HideDropIndicator();
        model.ScrollToLine(model.GetTopLine() - 1, true);
        scrolled = true;
    } else if (point.y >= client.y - 5 && model.GetTopLine() < model.GetLineCount() - 1) {
        HideDropIndicator();
        model.ScrollToLine(model.GetTopLine() + 1, true);
        scrolled = true;
    } else if (point.x >= margin && point.x < margin + 5 && model.GetOffsetChar() > 0) {
        model.ScrollToChar(model.GetOffsetChar() - 1);
        scrolled = true;
    } else if (point.x >= client.x - 5 && model.GetOffsetChar() < model.GetMaxLineLength() - 1) {
        model.ScrollToChar(model.GetOffsetChar() + 1);
        scrolled = true;
    }
    if (scrolled) {
        Update();
        ShowDropIndicator(point);
    }
}

bool CEditView::DoDropText(const std::string& text, const wxPoint& point)
{
    return EditModel().DoDropText(text, CPoint(point.x, point.y));
}

} // namespace brindle
