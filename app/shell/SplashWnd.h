#pragma once

#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/weakref.h>

// The start-up picture: a frameless window centred on the main window, closed
// on the sixth tick of a one-second timer or at the first key press or click
// (the application watches for them). It runs on the user-interface thread
// (the toolkit allows windows on no other) and never takes the keyboard.
class CSplashWnd : public wxFrame {
public:
    static constexpr int kTimerId = 118;
    static constexpr int kTickLimit = 5;

    explicit CSplashWnd(wxWindow* parent);

    // One timer tick: the window closes on the tick after the limit.
    void Tick();
    int Ticks() const { return m_ticks; }

private:
    void OnPaint(wxPaintEvent& event);

    wxTimer m_timer;
    int m_ticks = 0;
};
