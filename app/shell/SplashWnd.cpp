#include "app/shell/SplashWnd.h"

#include "app/menus/ToolbarArt.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

CSplashWnd::CSplashWnd(wxWindow* parent)
    : wxFrame(parent, 197, "Brindle", wxDefaultPosition, wxSize(380, 180),
              wxBORDER_SIMPLE | wxFRAME_TOOL_WINDOW | wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT),
      m_timer(this, kTimerId)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CSplashWnd::OnPaint, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); }, kTimerId);
    CentreOnParent();
    ShowWithoutActivating();
    m_timer.Start(1000);
}

void CSplashWnd::Tick()
{
    if (m_ticks >= kTickLimit) {
        m_timer.Stop();
        Close();
        return;
    }
    ++m_ticks;
}

void CSplashWnd::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.GradientFillLinear(wxRect(size), wxColour(250, 246, 238), wxColour(226, 214, 196), wxSOUTH);
    dc.DrawBitmap(AppIconImage().GetBitmap(wxSize(96, 96)), 24, (size.y - 96) / 2, true);
    wxFont title = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    title.SetPointSize(26);
    title.SetWeight(wxFONTWEIGHT_BOLD);
    dc.SetFont(title);
    dc.SetTextForeground(wxColour(74, 52, 30));
    dc.DrawText("Brindle", 140, size.y / 2 - 40);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    dc.SetTextForeground(wxColour(96, 84, 70));
    dc.DrawText("An XML editor", 142, size.y / 2 + 6);
}
