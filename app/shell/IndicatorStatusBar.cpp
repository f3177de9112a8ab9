#include "app/shell/IndicatorStatusBar.h"

#include "brindlekit/text/TextView.h"
#include "resources/CommandIds.h"

#include <wx/utils.h>

using namespace ids;

namespace {

bool IsMessagePane(int id) { return id == ID_SEPARATOR || id == AFX_IDS_IDLEMESSAGE || id == ID_INDICATOR_PATH; }

const char* LockText(int id)
{
    switch (id) {
    case ID_INDICATOR_CAPS: return "CAP";
    case ID_INDICATOR_NUM: return "NUM";
    case ID_INDICATOR_SCRL: return "SCRL";
    default: return nullptr;
    }
}

bool LockOn(int id)
{
    switch (id) {
    case ID_INDICATOR_CAPS: return wxGetKeyState(WXK_CAPITAL);
    case ID_INDICATOR_NUM: return wxGetKeyState(WXK_NUMLOCK);
    case ID_INDICATOR_SCRL: return wxGetKeyState(WXK_SCROLL);
    default: return false;
    }
}

// A message on one line: a reason that spans lines would spill out of its pane.
std::string OneLine(const std::string& message)
{
    std::string line;
    for (char c : message) {
        const bool space = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (!space) line += c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    if (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

} // namespace

IndicatorStatusBar::IndicatorStatusBar(wxWindow* parent, std::vector<int> panes)
    // A message longer than its pane ends in "..." and shows whole as a tip.
    : wxStatusBar(parent, wxID_ANY, (wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP) | wxSTB_ELLIPSIZE_END | wxSTB_SHOW_TIPS),
      m_panes(std::move(panes))
{
    std::vector<int> widths;
    for (int id : m_panes) {
        if (IsMessagePane(id)) {
            widths.push_back(-1);
            continue;
        }
        const char* placeholder = LockText(id) ? LockText(id) : brindle::CTextView::IndicatorPlaceholder(id);
        widths.push_back(GetTextExtent(placeholder).x + 12);
    }
    SetFieldsCount(static_cast<int>(widths.size()), widths.data());
}

void IndicatorStatusBar::UpdatePanes(const brindle::CTextView* view, const std::string& message)
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const int id = m_panes[i];
        std::string text;
        if (IsMessagePane(id)) text = OneLine(message);
        else if (const char* lock = LockText(id)) text = LockOn(id) ? lock : "";
        else if (view) {
            const auto indicator = view->GetStatusIndicator(id);
            if (indicator.enabled) text = indicator.text;
        }
        const wxString value = wxString::FromUTF8(text);
        if (GetStatusText(static_cast<int>(i)) != value) SetStatusText(value, static_cast<int>(i));
    }
}
