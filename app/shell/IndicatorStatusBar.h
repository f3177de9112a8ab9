#pragma once

#include <wx/statusbr.h>

#include <string>
#include <vector>

namespace brindle {
class CTextView;
}

// A document frame's status bar: one pane per id, in order. The message panes
// (ids 0, 61449 and 123) stretch and show a text of the frame's; the keyboard
// lock panes show the locks; every other pane shows the text view's indicator
// of that id. The placeholder texts of the ids fix the pane widths.
class IndicatorStatusBar : public wxStatusBar {
public:
    IndicatorStatusBar(wxWindow* parent, std::vector<int> panes);

    // Brings the panes up to date (at idle time); view may be null.
    void UpdatePanes(const brindle::CTextView* view, const std::string& message);

private:
    std::vector<int> m_panes;
};
