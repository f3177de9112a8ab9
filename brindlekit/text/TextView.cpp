#include "brindlekit/text/TextView.h"

#include "brindlekit/text/FindReplaceDialogs.h"
#include "brindlekit/text/MarginIcons.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextPainter.h"

#include <wx/caret.h>
#include <wx/dcclient.h>
#include <wx/dnd.h>
#include <wx/settings.h>

#include <algorithm>

namespace brindle {

using namespace textcmd;

CTextView::CTextView() : m_pModel(std::make_unique<TextViewModel>())
{
    Init();
}

CTextView::CTextView(std::unique_ptr<TextViewModel> model) : m_pModel(std::move(model))
{
    Init();
}

CTextView::CTextView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : m_pModel(std::make_unique<TextViewModel>())
{
    Init();
    Create(parent, id, pos, size, style);
}

void CTextView::Init()
{
    m_pModel->SetHost(this);
    m_painter = std::make_unique<TextPainter>(*this);
    m_timer.SetOwner(this);
}

CTextView::~CTextView()
{
    m_timer.Stop();
    if (HasCapture()) ReleaseMouse();
    m_pModel->DetachFromBuffer();
    m_pModel->SetHost(nullptr);
}

bool CTextView::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, pos, size, style | wxVSCROLL | wxHSCROLL | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetCaret(new wxCaret(this, 2, 16));
    BindEvents();
    EnsureMetrics();
    return true;
}

void CTextView::BindEvents()
{
    Bind(wxEVT_PAINT, &CTextView::OnPaint, this);
    Bind(wxEVT_SIZE, &CTextView::OnSize, this);
    for (auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP, wxEVT_SCROLLWIN_LINEDOWN,
                      wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK,
                      wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &CTextView::OnScrollWin, this);
    Bind(wxEVT_KEY_DOWN, &CTextView::OnKeyDown, this);
    Bind(wxEVT_LEFT_DOWN, &CTextView::OnMouseDown, this);
    Bind(wxEVT_LEFT_UP, &CTextView::OnMouseUp, this);
    Bind(wxEVT_MOTION, &CTextView::OnMouseMotion, this);
    Bind(wxEVT_LEFT_DCLICK, &CTextView::OnMouseDClick, this);
    Bind(wxEVT_RIGHT_DOWN, &CTextView::OnRightDown, this);
    Bind(wxEVT_MOUSEWHEEL, &CTextView::OnMouseWheel, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CTextView::OnCaptureLost, this);
    Bind(wxEVT_SET_FOCUS, &CTextView::OnSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CTextView::OnKillFocus, this);
    Bind(wxEVT_TIMER, &CTextView::OnTimer, this);
    Bind(wxEVT_CONTEXT_MENU, &CTextView::OnContextMenu, this);
    Bind(wxEVT_MENU, &CTextView::OnMenuCommand, this);
    Bind(wxEVT_UPDATE_UI, &CTextView::OnUpdateCommand, this);
    Bind(wxEVT_SYS_COLOUR_CHANGED, &CTextView::OnSysColourChanged, this);
}

// ---- Buffer and settings ----

void CTextView::AttachToBuffer(CTextBuffer* buffer)
{
    m_pModel->AttachToBuffer(buffer);
}

void CTextView::DetachFromBuffer()
{
    m_pModel->DetachFromBuffer();
}

void CTextView::SetTextFont(const wxFont& font)
{
    m_painter->SetTextFont(font);
    m_bMetricsValid = false;
    if (GetHandle()) {
        EnsureMetrics();
        RecalcVertScrollBar();
        RecalcHorzScrollBar();
        UpdateCaret();
        Refresh();
    }
}

const wxFont& CTextView::GetTextFont() const
{
    return m_painter->GetTextFont();
}

const wxFont& CTextView::GetFont(bool italic, bool bold)
{
    return m_painter->GetFont(italic, bold);
}

void CTextView::EnsureMetrics()
{
    if (!m_bMetricsValid && GetHandle()) {
        wxClientDC dc(this);
        dc.SetFont(GetFont(false, false));
        const wxSize extent = dc.GetTextExtent("X");
        m_pModel->SetCharMetrics(std::max(1, extent.y), std::max(1, extent.x));
        m_bMetricsValid = true;
        if (wxCaret* caret = GetCaret()) caret->SetSize(2, m_pModel->GetLineHeight());
    }
    if (GetHandle()) {
        const wxSize client = GetClientSize();
        m_pModel->SetClientSize(client.x, client.y);
    }
}

const char* CTextView::IndicatorPlaceholder(int paneId)
{
    switch (paneId) {
    case ID_INDICATOR_POSITION: return "============";
    case ID_INDICATOR_CRLF: return "========";
    case ID_INDICATOR_READ: return "Read";
    case ID_INDICATOR_OVR: return "OVR";
    case ID_INDICATOR_EDIT_STATE: return "=========";
    default: return "";
    }
}

// ---- Commands ----

bool CTextView::ExecuteCommand(int id)
{
    if (id == ID_EDIT_FIND) {
        OnEditFind();
        return true;
    }
    if (ExecutePrintCommand(id)) return true;
    return m_pModel->ExecuteCommand(id);
}

bool CTextView::IsCommandEnabled(int id) const
{
    bool handled = false;
    if (id == ID_EDIT_FIND) return true;
    if (const std::optional<bool> print = PrintCommandState(id)) return *print;
    return m_pModel->IsCommandEnabled(id, handled);
}

std::optional<bool> CTextView::DerivedCommandState(int) const { return std::nullopt; }

void CTextView::OnEditFind()
{
    CTextFindDlg dialog(this);
    dialog.ShowModal();
}

int CTextView::KeyCommand(const wxKeyEvent& event) const
{
    int key = 0;
    switch (event.GetKeyCode()) {
    case WXK_LEFT: case WXK_NUMPAD_LEFT: key = KEY_LEFT; break;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: key = KEY_RIGHT; break;
    case WXK_UP: case WXK_NUMPAD_UP: key = KEY_UP; break;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: key = KEY_DOWN; break;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: key = KEY_PAGE_UP; break;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: key = KEY_PAGE_DOWN; break;
    case WXK_HOME: case WXK_NUMPAD_HOME: key = KEY_HOME; break;
    case WXK_END: case WXK_NUMPAD_END: key = KEY_END; break;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: key = KEY_INSERT; break;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: key = KEY_DELETE; break;
    case WXK_BACK: key = KEY_BACK; break;
    case WXK_TAB: key = KEY_TAB; break;
    case WXK_F2: key = KEY_F2; break;
    case WXK_F3: key = KEY_F3; break;
    default: {
        const int code = event.GetKeyCode();
        if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) key = code;
        break;
    }
    }
    if (key == 0) return 0;
    int modifiers = 0;
    if (event.ShiftDown()) modifiers |= KEYMOD_SHIFT;
    if (event.ControlDown()) modifiers |= KEYMOD_CTRL;
    if (event.AltDown()) modifiers |= KEYMOD_ALT;
    return FindKeyCommand(modifiers, key, m_bBookmarkKeys);
}

void CTextView::OnKeyDown(wxKeyEvent& event)
{
    const int command = KeyCommand(event);
    if (command != 0 && ExecuteCommand(command)) return;
    event.Skip();
}

void CTextView::OnMenuCommand(wxCommandEvent& event)
{
    if (!ExecuteCommand(event.GetId())) event.Skip();
}

void CTextView::OnUpdateCommand(wxUpdateUIEvent& event)
{
    bool handled = false;
    const int id = event.GetId();
    if (const std::optional<bool> derived = DerivedCommandState(id)) {
        event.Enable(*derived);
        return;
    }
    if (const std::optional<bool> print = PrintCommandState(id)) {
        event.Enable(*print);
        return;
    }
    bool enabled = id == ID_EDIT_FIND || m_pModel->IsCommandEnabled(id, handled);
    if (id == ID_EDIT_FIND) handled = true;
    if (!handled) {
        const StatusIndicator indicator = m_pModel->GetIndicator(id);
        if (id == ID_INDICATOR_POSITION || id == ID_INDICATOR_CRLF || id == ID_INDICATOR_READ ||
            id == ID_INDICATOR_OVR || id == ID_INDICATOR_EDIT_STATE) {
            event.Enable(indicator.enabled);
            if (indicator.enabled) event.SetText(wxString::FromUTF8(indicator.text));
            return;
        }
        event.Skip();
        return;
    }
    event.Enable(enabled);
    if (m_pModel->IsCommandChecked(id)) event.Check(true);
}

// ---- Hooks ----

std::uint32_t CTextView::ParseLine(std::uint32_t, int, TextBlock*, int&)
{
    return 0;
}

CTextBuffer* CTextView::LocateTextBuffer()
{
    return nullptr;
}

ColorRef CTextView::GetColor(int colorIndex)
{
    return Palette().Colour(colorIndex);
}

const ViewPalette& CTextView::Palette()
{
    if (!m_palette) m_palette = SystemViewPalette();
    return *m_palette;
}

void CTextView::GetLineColors(int line, ColorRef& background, ColorRef& text, bool& drawWhitespace)
{
    const LineMarkColors mark = LineMarkColorsForFlags(m_pModel->GetLineFlags(line));
    background = mark.background;
    text = mark.text;
    drawWhitespace = mark.fillAfterText;
}

bool CTextView::GetBold(int)
{
    return false;
}

bool CTextView::GetItalic(int)
{
    return false;
}

void CTextView::ShowContextMenu(const wxPoint&) {}

void CTextView::OnFocusChanged(bool) {}

void CTextView::UpdateSiblingScrollPos(bool) {}

void CTextView::OnUpdateSibling(CTextView* source, bool vertical)
{
    if (!source || source == this) return;
    if (vertical)
        m_pModel->ScrollToLine(source->Model().GetTopLine(), true);
    else
        m_pModel->ScrollToChar(source->Model().GetOffsetChar());
}

// ---- Host requests ----

wxRect CTextView::LineRect(int line) const
{
    const int height = m_pModel->GetLineHeight();
    return wxRect(0, m_pModel->RowOfLine(line) * height, GetClientSize().x, height);
}

void CTextView::InvalidateLines(int first, int last)
{
    if (!GetHandle()) return;
    const int height = std::max(1, m_pModel->GetLineHeight());
    const wxSize client = GetClientSize();
    const int y1 = std::max(0, m_pModel->RowOfLine(first) * height);
    const int y2 = last < 0 ? client.y : std::min(client.y, (m_pModel->RowOfLine(last) + 1) * height);
    if (y2 > y1) RefreshRect(wxRect(0, y1, client.x, y2 - y1), false);
}

void CTextView::InvalidateAll()
{
    if (GetHandle()) Refresh(false);
}

void CTextView::OnTopLineChanged(int, int newTop)
{
    if (!GetHandle()) return;
    SetScrollPos(wxVERTICAL, m_pModel->ToVisible(newTop));
    Refresh(false);
    UpdateSiblingScrollPos(false);
}

void CTextView::OnOffsetCharChanged(int, int newOffset)
{
    if (!GetHandle()) return;
    SetScrollPos(wxHORIZONTAL, newOffset);
    Refresh(false);
    UpdateSiblingScrollPos(true);
}

void CTextView::RecalcVertScrollBar()
{
    if (!GetHandle()) return;
    EnsureMetrics();
    // Folded lines take no room on the bar.
    const int count = m_pModel->GetVisibleLineCount();
    const int page = m_pModel->GetScreenLines();
    if (page >= count && m_pModel->GetTopLine() > 0) m_pModel->ScrollToLine(0, true);
    SetScrollbar(wxVERTICAL, m_pModel->ToVisible(m_pModel->GetTopLine()), std::max(1, page), count);
}

void CTextView::RecalcHorzScrollBar()
{
    if (!GetHandle()) return;
    EnsureMetrics();
    const int maxLength = m_pModel->GetMaxLineLength();
    const int page = m_pModel->GetScreenChars();
    if (page >= maxLength && m_pModel->GetOffsetChar() > 0) m_pModel->ScrollToChar(0);
    SetScrollbar(wxHORIZONTAL, m_pModel->GetOffsetChar(), std::max(1, page), std::max(1, maxLength));
}

void CTextView::UpdateCaret()
{
    wxCaret* caret = GetCaret();
    if (!caret || !GetHandle()) return;
    if (HasFocus() && m_pModel->IsCaretVisible()) {
        const CPoint p = m_pModel->TextToClient(m_pModel->GetCursorPos());
        caret->Move(p.x, p.y);
        if (!caret->IsVisible()) caret->Show();
    } else if (caret->IsVisible()) {
        caret->Hide();
    }
}

void CTextView::RepaintNow()
{
    if (GetHandle()) Update();
}

void CTextView::BeginMouseCapture()
{
    if (!HasCapture()) CaptureMouse();
    m_timer.Start(100);
}

void CTextView::EndMouseCapture()
{
    m_timer.Stop();
    if (HasCapture()) ReleaseMouse();
}

bool CTextView::IsSelectionShown() const
{
    return HasFocus() || m_pModel->GetShowInactiveSelection();
}

// ---- Painting ----

void CTextView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    EnsureMetrics();
    const int height = std::max(1, m_pModel->GetLineHeight());
    const wxRect update = GetUpdateRegion().GetBox();
    m_painter->PaintRows(dc, update.y / height, update.GetBottom() / height);
    // Fold markers whose ranges were not known yet are searched once the paint is
    // shown, and the margin is drawn again when one turns up.
    if (m_pModel->HasPendingFolds() && !m_foldSearchQueued) {
        m_foldSearchQueued = true;
        CallAfter([this] {
            m_foldSearchQueued = false;
            if (m_pModel->ResolvePendingFolds())
                RefreshRect(wxRect(0, 0, m_pModel->GetMarginWidth(), GetClientSize().y), false);
        });
    }
}

void CTextView::RenderTo(wxDC& dc)
{
    EnsureMetrics();
    m_painter->PaintRows(dc, 0, GetClientSize().y / std::max(1, m_pModel->GetLineHeight()));
}

void CTextView::DrawMargin(wxDC& dc, const wxRect& rect, int line)
{
    m_painter->DrawMargin(dc, rect, line);
}

void CTextView::DrawSingleLine(wxDC& dc, const wxRect& rect, int line)
{
    m_painter->DrawSingleLine(dc, rect, line);
}

// ---- Events ----

void CTextView::OnSize(wxSizeEvent& event)
{
    EnsureMetrics();
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    event.Skip();
}

void CTextView::OnScrollWin(wxScrollWinEvent& event)
{
    TextViewModel::ScrollCode code = TextViewModel::SB_THUMBTRACK;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP) code = TextViewModel::SB_TOP;
    else if (type == wxEVT_SCROLLWIN_BOTTOM) code = TextViewModel::SB_BOTTOM;
    else if (type == wxEVT_SCROLLWIN_LINEUP) code = TextViewModel::SB_LINEUP;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN) code = TextViewModel::SB_LINEDOWN;
    else if (type == wxEVT_SCROLLWIN_PAGEUP) code = TextViewModel::SB_PAGEUP;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN) code = TextViewModel::SB_PAGEDOWN;
    if (event.GetOrientation() == wxVERTICAL)
        m_pModel->OnVScroll(code, event.GetPosition());
    else
        m_pModel->OnHScroll(code, event.GetPosition());
}

namespace {

CPoint ToPoint(const wxPoint& p)
{
    return CPoint(p.x, p.y);
}

} // namespace

void CTextView::OnMouseDown(wxMouseEvent& event)
{
    SetFocus();
    EnsureMetrics();
    m_pModel->OnLButtonDown(ToPoint(event.GetPosition()), event.ShiftDown(), event.ControlDown());
}

void CTextView::OnMouseUp(wxMouseEvent& event)
{
    m_pModel->OnLButtonUp(ToPoint(event.GetPosition()));
}

void CTextView::OnMouseMotion(wxMouseEvent& event)
{
    const CPoint point = ToPoint(event.GetPosition());
    if (event.LeftIsDown() && m_pModel->OnMouseMove(point) == MouseResult::StartDrag) {
        DoDragText();
        return;
    }
    switch (m_pModel->GetPointerShape(point)) {
    case TextViewModel::PointerShape::Margin: SetCursor(MarginCursor()); break;
    case TextViewModel::PointerShape::Arrow: SetCursor(wxCursor(wxCURSOR_ARROW)); break;
    case TextViewModel::PointerShape::IBeam: SetCursor(wxCursor(wxCURSOR_IBEAM)); break;
    }
}

void CTextView::OnMouseDClick(wxMouseEvent& event)
{
    m_pModel->OnLButtonDblClk(ToPoint(event.GetPosition()));
}

void CTextView::OnRightDown(wxMouseEvent& event)
{
    SetFocus();
    m_pModel->OnRButtonDown(ToPoint(event.GetPosition()));
    ShowContextMenu(event.GetPosition());
}

void CTextView::OnContextMenu(wxContextMenuEvent& event)
{
    // The key or the menu gesture; a right click already showed the menu.
    if (event.GetPosition() == wxDefaultPosition) {
        const CPoint p = m_pModel->TextToClient(m_pModel->GetCursorPos());
        ShowContextMenu(wxPoint(p.x, p.y + m_pModel->GetLineHeight()));
    }
}

void CTextView::OnMouseWheel(wxMouseEvent& event)
{
    m_pModel->OnMouseWheel(event.GetWheelRotation(), event.ShiftDown(), event.ControlDown());
}

void CTextView::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    m_timer.Stop();
    m_pModel->OnKillFocus();
}

void CTextView::OnTimer(wxTimerEvent&)
{
    m_pModel->OnTimer(ToPoint(ScreenToClient(wxGetMousePosition())));
}

void CTextView::OnSetFocus(wxFocusEvent& event)
{
    CPoint s;
    CPoint e;
    m_pModel->GetSelection(s, e);
    InvalidateLines(s.y, e.y);
    UpdateCaret();
    OnFocusChanged(true);
    event.Skip();
}

void CTextView::OnKillFocus(wxFocusEvent& event)
{
    CPoint s;
    CPoint e;
    m_pModel->GetSelection(s, e);
    InvalidateLines(s.y, e.y);
    m_pModel->OnKillFocus();
    UpdateCaret();
    OnFocusChanged(false);
    event.Skip();
}

void CTextView::OnSysColourChanged(wxSysColourChangedEvent& event)
{
    m_palette.reset();
    Refresh(false);
    event.Skip();
}

void CTextView::DoDragText()
{
    const std::string text = m_pModel->PrepareDragData();
    m_pModel->BeginDragText();
    wxTextDataObject data(wxString::FromUTF8(text.data(), text.size()));
    wxDropSource source(data, this);
    const wxDragResult result = source.DoDragDrop(m_pModel->CanDropMove() ? wxDrag_AllowMove : wxDrag_CopyOnly);
    m_pModel->EndDragText(result == wxDragMove);
}

} // namespace brindle
