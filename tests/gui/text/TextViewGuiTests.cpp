// The text windows on a real display: keys, menu commands, mouse, painting, the search
// dialogs and a very large buffer.
#include "brindlekit/text/EditView.h"
#include "brindlekit/text/FindReplaceDialogs.h"
#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextPainter.h"
#include "brindlekit/text/ViewPalette.h"
#include "platform/settings/Profile.h"
#include "platform/ui/Clipboard.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/RecordingUIServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace brindle;
using namespace brindle::textcmd;

namespace {

test::RecordingUIServices* g_ui = nullptr;

void Pump() { test::PumpEvents(); }

void SetLines(CTextBuffer& buffer, const std::vector<std::string>& lines)
{
    buffer.InitNew();
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    int el = 0;
    int ec = 0;
    if (!text.empty()) buffer.InsertText(nullptr, 0, 0, text, el, ec, 0);
}

std::string Line(const CTextBuffer& buffer, int line)
{
    return std::string(buffer.GetLineChars(line), static_cast<std::size_t>(buffer.GetLineLength(line)));
}

// Digits are numbers (index 8); everything else is normal text.
class DigitView : public CEditView {
public:
    using CEditView::CEditView;
    std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count) override
    {
        ++parses;
        if (!blocks) return cookie;
        const std::string_view text = Model().GetLineText(line);
        bool inDigits = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool digit = text[i] >= '0' && text[i] <= '9';
            if (i == 0 || digit != inDigits) blocks[count++] = TextBlock{static_cast<int>(i), digit ? 8 : 2};
            inDigits = digit;
        }
        return cookie;
    }
    void ShowContextMenu(const wxPoint& point) override { menuAt = point; }
    ColorRef GetColor(int index) override
    {
        const auto it = colors.find(index);
        return it != colors.end() ? it->second : CEditView::GetColor(index);
    }
    std::map<int, ColorRef> colors; // in place of the default colours
    int parses = 0;
    wxPoint menuAt = wxDefaultPosition;
};

class TextViewGui : public ::testing::Test {
protected:
    TextViewGui()
    {
        frame = new wxFrame(nullptr, wxID_ANY, "text view", wxDefaultPosition, wxSize(640, 400));
        view = new DigitView(frame, wxID_ANY);
        view->SetClipboard(&clipboard);
        frame->Show();
        Pump();
        view->SetFocus();
        Pump();
    }
    ~TextViewGui() override
    {
        view->DetachFromBuffer();
        frame->Destroy();
        Pump();
    }

    void Key(int code, bool shift = false, bool ctrl = false)
    {
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.m_keyCode = code;
        down.m_shiftDown = shift;
        down.m_controlDown = ctrl;
        down.SetEventObject(view);
        view->ProcessWindowEvent(down);
    }

    void Type(const std::string& text)
    {
        for (char c : text) {
            wxKeyEvent ch(wxEVT_CHAR);
            ch.m_keyCode = c == '\r' ? static_cast<int>(WXK_RETURN) : static_cast<int>(c);
            ch.m_uniChar = static_cast<wxChar>(c);
            ch.SetEventObject(view);
            view->ProcessWindowEvent(ch);
        }
    }

    void Mouse(wxEventType type, int x, int y, bool shift = false)
    {
        wxMouseEvent event(type);
        event.m_x = x;
        event.m_y = y;
        event.m_shiftDown = shift;
        event.m_leftDown = (type == wxEVT_LEFT_DOWN) || (type == wxEVT_MOTION);
        event.SetEventObject(view);
        view->ProcessWindowEvent(event);
    }

    // The client area as painted.
    wxImage Render()
    {
        const wxSize size = view->GetClientSize();
        wxBitmap bitmap(size.x, size.y);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(*wxCYAN_BRUSH);
            dc.Clear();
            view->RenderTo(dc);
        }
        return bitmap.ConvertToImage();
    }

    static wxColour Pixel(const wxImage& image, int x, int y)
    {
        return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
    }

    int LineY(int line, int offset = 0) const { return (line - view->Model().GetTopLine()) * view->Model().GetLineHeight() + offset; }
    int ColumnX(int column) const
    {
        return view->Model().GetMarginWidth() + column * view->Model().GetCharWidth();
    }

    wxFrame* frame = nullptr;
    DigitView* view = nullptr;
    MemoryClipboard clipboard;
    CTextBuffer buffer;
};

TEST_F(TextViewGui, KeysAndTypingEditTheBuffer)
{
    SetLines(buffer, {"    indented", "second"});
    view->AttachToBuffer(&buffer);
    Key(WXK_END);
    Type("!\r");
    EXPECT_EQ(Line(buffer, 0), "    indented!");
    EXPECT_EQ(Line(buffer, 1), "    "); // auto-indent
    Type("x");
    Key(WXK_HOME);
    EXPECT_EQ(view->Model().GetCursorPos(), CPoint(4, 1));
    Key(WXK_RIGHT, true, true); // Ctrl+Shift+Right selects the word
    EXPECT_TRUE(view->Model().IsSelection());
    Key('C', false, true);
    EXPECT_EQ(clipboard.GetText(), "x");
    Key(WXK_DOWN);
    Key(WXK_HOME);
    Key('V', false, true);
    EXPECT_EQ(Line(buffer, 2), "xsecond");
    Key(WXK_TAB);
    EXPECT_EQ(Line(buffer, 2), "x\tsecond");
    Key('Z', false, true);
    Key('Z', false, true);
    EXPECT_EQ(Line(buffer, 2), "second");
    Key(WXK_INSERT);
    EXPECT_TRUE(view->EditModel().GetOverwriteMode());
    Type("S");
    EXPECT_EQ(Line(buffer, 2), "Second");
    // Bookmark keys are off unless asked for.
    Key('1', false, true);
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_BOOKMARK_N(1)), -1);
    view->SetUseBookmarkKeys(true);
    Key('1', false, true);
    EXPECT_EQ(buffer.FindLineWithFlag(LINEF_BOOKMARK_N(1)), view->Model().GetCursorPos().y);
}

TEST_F(TextViewGui, MenuCommandsAndTheirStates)
{
    SetLines(buffer, {"abc", "def"});
    view->AttachToBuffer(&buffer);
    wxCommandEvent selectAll(wxEVT_MENU, ID_EDIT_SELECT_ALL);
    view->ProcessWindowEvent(selectAll);
    CPoint s;
    CPoint e;
    view->Model().GetSelection(s, e);
    EXPECT_EQ(e, CPoint(3, 1));

    wxUpdateUIEvent undo(ID_EDIT_UNDO);
    view->ProcessWindowEvent(undo);
    EXPECT_FALSE(undo.GetEnabled());
    wxUpdateUIEvent cut(ID_EDIT_CUT);
    view->ProcessWindowEvent(cut);
    EXPECT_TRUE(cut.GetEnabled());
    wxCommandEvent doCut(wxEVT_MENU, ID_EDIT_CUT);
    view->ProcessWindowEvent(doCut);
    EXPECT_EQ(buffer.GetLineCount(), 1);
    wxUpdateUIEvent undoAfter(ID_EDIT_UNDO);
    view->ProcessWindowEvent(undoAfter);
    EXPECT_TRUE(undoAfter.GetEnabled());
    wxUpdateUIEvent position(ID_INDICATOR_POSITION);
    view->ProcessWindowEvent(position);
    EXPECT_EQ(position.GetText(), "Ln 1, Col 1");
    wxUpdateUIEvent ovr(ID_EDIT_SWITCH_OVRMODE);
    view->EditModel().SetOverwriteMode(true);
    view->ProcessWindowEvent(ovr);
    EXPECT_TRUE(ovr.GetChecked());
}

TEST_F(TextViewGui, MouseSelectsAndRightClickAsksForTheMenu)
{
    SetLines(buffer, {"alpha beta", "gamma"});
    view->AttachToBuffer(&buffer);
    Mouse(wxEVT_LEFT_DOWN, ColumnX(1) + 1, LineY(0, 2));
    Mouse(wxEVT_MOTION, ColumnX(4) + 1, LineY(1, 2));
    Mouse(wxEVT_LEFT_UP, ColumnX(4) + 1, LineY(1, 2));
    CPoint s;
    CPoint e;
    view->Model().GetSelection(s, e);
    EXPECT_EQ(s, CPoint(1, 0));
    EXPECT_EQ(e, CPoint(4, 1));
    EXPECT_FALSE(view->HasCapture());
    wxMouseEvent right(wxEVT_RIGHT_DOWN);
    right.m_x = ColumnX(5) + 1;
    right.m_y = LineY(1, 2);
    view->ProcessWindowEvent(right);
    EXPECT_EQ(view->menuAt, wxPoint(ColumnX(5) + 1, LineY(1, 2)));
    EXPECT_EQ(view->Model().GetCursorPos(), CPoint(5, 1)); // outside the selection: moved
    EXPECT_FALSE(view->Model().IsSelection());
}

TEST_F(TextViewGui, PaintsBlocksMarksAndSelection)
{
    SetLines(buffer, {"ab12", "red line", "", "tail"});
    view->AttachToBuffer(&buffer);
    buffer.SetLineFlag(1, LINEF_RED, true);
    buffer.SetLineFlag(3, LINEF_BOOKMARK, true, false);
    view->Model().SetSelection(CPoint(0, 2), CPoint(2, 3)); // line 2's end is selected
    view->SetFocus();
    Pump();
    ASSERT_TRUE(view->HasFocus());
    const wxImage image = Render();
    const int mid = view->Model().GetLineHeight() / 2;
    const int cw = view->Model().GetCharWidth();
    const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);

    // Line 0: digits are drawn in the number colour (128, 0, 0) somewhere in their cells.
    bool numberInk = false;
    for (int x = ColumnX(2); x < ColumnX(4); ++x)
        for (int y = LineY(0); y < LineY(1); ++y)
            if (Pixel(image, x, y) == wxColour(128, 0, 0)) numberInk = true;
    EXPECT_TRUE(numberInk);
    // Line 1 is white on red across the whole row, after its text too.
    EXPECT_EQ(Pixel(image, image.GetWidth() - 3, LineY(1, mid)), wxColour(255, 0, 0));
    // Line 2 is empty and selected: one black cell, then the window colour.
    EXPECT_EQ(Pixel(image, ColumnX(0) + cw / 2, LineY(2, mid)), wxColour(0, 0, 0));
    EXPECT_EQ(Pixel(image, ColumnX(3), LineY(2, mid)), window);
    // Line 3: the selected "ta" has a black background; the margin shows an icon.
    EXPECT_EQ(Pixel(image, ColumnX(1) + cw - 1, LineY(3, 1)), wxColour(0, 0, 0));
    bool iconInk = false;
    for (int x = 2; x < 18; ++x)
        if (Pixel(image, x, LineY(3, mid)) == wxColour(30, 110, 200)) iconInk = true;
    EXPECT_TRUE(iconInk);
    // Below the text: the window colour.
    EXPECT_EQ(Pixel(image, ColumnX(5), LineY(5, mid)), window);
}

// The view's colours follow the desktop theme. The test runs as it is (a light
// theme) and once more under GTK_THEME=Adwaita:dark (a test of its own).
TEST_F(TextViewGui, ColoursFollowTheDesktopTheme)
{
    const char* theme = std::getenv("GTK_THEME");
    const bool dark = theme && std::string(theme).find(":dark") != std::string::npos;
    EXPECT_EQ(SystemViewPalette().IsDark(), dark);
    SetLines(buffer, {"ab12 text"});
    view->AttachToBuffer(&buffer);
    Pump();
    const wxImage image = Render();
    const ColorRef background = FromColour(Pixel(image, ColumnX(30), LineY(0, view->Model().GetLineHeight() / 2)));
    EXPECT_EQ(IsDarkColour(background), dark) << CssColour(background);
    // Every colour text is drawn in reads on that background.
    for (int index = COLORINDEX_NORMALTEXT; index < COLORINDEX_COUNT; ++index) {
        if (index == COLORINDEX_SELMARGIN || index == COLORINDEX_SELBKGND || index == COLORINDEX_SELTEXT) continue;
        EXPECT_GE(ContrastRatio(view->GetColor(index), background), 4.5)
            << "index " << index << ": " << CssColour(view->GetColor(index)) << " on " << CssColour(background);
    }
    // And the text is drawn in them: its cells hold ink of the normal text colour.
    bool ink = false;
    for (int x = ColumnX(5); x < ColumnX(9) && !ink; ++x)
        for (int y = LineY(0); y < LineY(1) && !ink; ++y)
            ink = FromColour(Pixel(image, x, y)) == view->GetColor(COLORINDEX_NORMALTEXT);
    EXPECT_TRUE(ink);
}

TEST_F(TextViewGui, WideCharactersDrawInTwoCells)
{
    // Fixed colours, so that cells tell apart whatever the fonts draw in them: selected
    // text in the selection's own black makes a selected cell solid black; other text is
    // blue (or the digits' dark red) on white, never pure black.
    const wxColour black(0, 0, 0);
    const wxColour white(255, 255, 255);
    view->colors = {{COLORINDEX_BKGND, MakeRgb(255, 255, 255)},     {COLORINDEX_WHITESPACE, MakeRgb(255, 255, 255)},
                    {COLORINDEX_NORMALTEXT, MakeRgb(0, 0, 255)},      {COLORINDEX_SELBKGND, MakeRgb(0, 0, 0)},
                    {COLORINDEX_SELTEXT, MakeRgb(0, 0, 0)}};
    // Two Chinese characters (U+4E2D, U+6587), which a CJK font has; two wide code points
    // that no font has (U+3FFFD is unassigned), drawn as the fonts' boxes for missing
    // glyphs; each pair followed by digits drawn in the number colour.
    const std::string zhong = "\xE4\xB8\xAD";
    const std::string wen = "\xE6\x96\x87";
    const std::string missing = "\xF0\xBF\xBF\xBD";
    SetLines(buffer, {zhong + wen + "12", missing + missing + "12", "abcd12"});
    view->AttachToBuffer(&buffer);
    view->SetFocus();
    Pump();
    ASSERT_TRUE(view->HasFocus());
    auto any = [&](const wxImage& image, int line, int fromX, int toX, auto&& test) {
        for (int x = fromX; x < toX; ++x)
            for (int y = LineY(line); y < LineY(line + 1); ++y)
                if (test(Pixel(image, x, y))) return true;
        return false;
    };
    auto is = [](const wxColour& colour) { return [colour](const wxColour& c) { return c == colour; }; };
    for (int line = 0; line < 2; ++line) {
        SCOPED_TRACE(line);
        const int second = static_cast<int>(line == 0 ? zhong.size() : missing.size());
        view->Model().SetSelection(CPoint(second, line), CPoint(2 * second, line));
        const wxImage image = Render();
        // The selected second character is black over exactly cells 2 and 3.
        EXPECT_FALSE(any(image, line, ColumnX(2), ColumnX(4), [&](const wxColour& c) { return c != black; }));
        EXPECT_FALSE(any(image, line, ColumnX(2) - 1, ColumnX(2), is(black)));
        EXPECT_FALSE(any(image, line, ColumnX(4), ColumnX(4) + 1, is(black)));
        // The first character shows inside its two cells.
        EXPECT_TRUE(any(image, line, ColumnX(0), ColumnX(2), [&](const wxColour& c) { return c != white; }));
        // The digits follow in cells 4 and 5, as they do after four letters.
        EXPECT_TRUE(any(image, line, ColumnX(4), ColumnX(6), is(wxColour(128, 0, 0))));
        EXPECT_FALSE(any(image, line, ColumnX(0), ColumnX(4), is(wxColour(128, 0, 0))));
        EXPECT_FALSE(any(image, line, ColumnX(6), ColumnX(10), is(wxColour(128, 0, 0))));
        EXPECT_TRUE(any(image, 2, ColumnX(4), ColumnX(6), is(wxColour(128, 0, 0))));
        // The caret and clicks use the same cells.
        EXPECT_EQ(view->Model().TextToClient(CPoint(2 * second, line)).x, ColumnX(4));
        Mouse(wxEVT_LEFT_DOWN, ColumnX(3) + 1, LineY(line, 2));
        Mouse(wxEVT_LEFT_UP, ColumnX(3) + 1, LineY(line, 2));
        EXPECT_EQ(view->Model().GetCursorPos(), CPoint(2 * second, line));
    }

    // Unselected, each character keeps to its cells: the spaces after a wide character
    // with or without a glyph, a stray byte 0x85, the control characters U+009F and DEL
    // stay white. The controls and the stray byte show as boxes in their one cell.
    SetLines(buffer, {"\x85 \xC2\x9F \x7F " + missing + " " + zhong + " \x9F"});
    view->Model().SetSelection(CPoint(0, 0), CPoint(0, 0));
    const wxImage image = Render();
    for (int cell : {0, 2, 4, 6, 7, 9, 10, 12}) {
        EXPECT_TRUE(any(image, 0, ColumnX(cell), ColumnX(cell + 1), [&](const wxColour& c) { return c != white; }))
            << "cell " << cell;
    }
    for (int cell : {1, 3, 5, 8, 11, 13})
        EXPECT_FALSE(any(image, 0, ColumnX(cell), ColumnX(cell + 1), [&](const wxColour& c) { return c != white; }))
            << "cell " << cell;
}

TEST_F(TextViewGui, SelectionNeedsFocusOrAnOpenSearchDialog)
{
    SetLines(buffer, {"", "x"});
    view->AttachToBuffer(&buffer);
    view->Model().SetSelection(CPoint(0, 0), CPoint(1, 1));
    auto* other = new wxTextCtrl(frame, wxID_ANY);
    other->SetFocus();
    Pump();
    const int mid = view->Model().GetLineHeight() / 2;
    const int cellX = ColumnX(0) + view->Model().GetCharWidth() / 2;
    if (!view->HasFocus()) {
        EXPECT_NE(Pixel(Render(), cellX, LineY(0, mid)), wxColour(0, 0, 0));
        view->Model().SetShowInactiveSelection(true);
        EXPECT_EQ(Pixel(Render(), cellX, LineY(0, mid)), wxColour(0, 0, 0));
        view->Model().SetShowInactiveSelection(false);
    }
    other->Destroy();
}

TEST_F(TextViewGui, HiddenMarginStartsTheTextAtOnePixel)
{
    SetLines(buffer, {"MMMM"});
    view->AttachToBuffer(&buffer);
    view->SetSelectionMargin(false);
    view->Model().SetSelection(CPoint(0, 0), CPoint(4, 0));
    view->SetFocus();
    Pump();
    const wxImage image = Render();
    EXPECT_EQ(Pixel(image, 0, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    EXPECT_EQ(Pixel(image, 1, 1), wxColour(0, 0, 0)); // the selected text begins here
}

TEST_F(TextViewGui, FindDialogSelectsAndRemembers)
{
    SetLines(buffer, {"one two", "two three"});
    view->AttachToBuffer(&buffer);
    CTextFindDlg dialog(view);
    dialog.CallAfter([&dialog]() {
        auto* text = static_cast<wxTextCtrl*>(dialog.FindWindow(IDC_EDIT_TEXT));
        text->SetValue("");
        EXPECT_FALSE(dialog.FindWindow(wxID_OK)->IsEnabled()); // no search without text
        text->SetValue("three");
        EXPECT_TRUE(dialog.FindWindow(wxID_OK)->IsEnabled());
        dialog.OnFindNext();
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    CPoint s;
    CPoint e;
    view->Model().GetSelection(s, e);
    EXPECT_EQ(s, CPoint(4, 1));
    EXPECT_EQ(e, CPoint(9, 1));
    EXPECT_EQ(Profile::GetProfileString("Settings\\Find", "FindWhat", ""), "three");
    EXPECT_TRUE(view->IsCommandEnabled(ID_EDIT_REPEAT));
    EXPECT_FALSE(view->Model().GetShowInactiveSelection());
}

TEST_F(TextViewGui, ReplaceDialogReplacesAllAndStoresOnCancel)
{
    SetLines(buffer, {"a-a-a"});
    view->AttachToBuffer(&buffer);
    g_ui->messages.clear();
    CTextReplaceDlg dialog(view);
    dialog.CallAfter([&dialog]() {
        // Without a selection the scope is the whole file.
        EXPECT_FALSE(dialog.FindWindow(IDC_EDIT_SCOPE_SELECTION)->IsEnabled());
        static_cast<wxTextCtrl*>(dialog.FindWindow(IDC_EDIT_TEXT))->SetValue("a");
        static_cast<wxTextCtrl*>(dialog.FindWindow(IDC_EDIT_REPLACE_WITH))->SetValue("bb");
        dialog.OnReplaceAll();
        dialog.OnCancel();
    });
    dialog.ShowModal();
    EXPECT_EQ(Line(buffer, 0), "bb-bb-bb");
    ASSERT_EQ(g_ui->Texts().size(), 1u);
    EXPECT_EQ(g_ui->Texts()[0], "Cannot find string\"a\"");
    EXPECT_EQ(Profile::GetProfileString("Settings\\Replace", "ReplaceWith", ""), "bb");
}

TEST_F(TextViewGui, TwoMillionLinesStayResponsive)
{
    const int count = 2000000;
    buffer.InitNew();
    buffer.FreeAll();
    for (int i = 0; i < count; ++i) {
        const std::string line = "<item id=\"" + std::to_string(i) + "\">text</item>";
        buffer.InsertLine(line.data(), static_cast<int>(line.size()));
    }
    view->AttachToBuffer(&buffer);
    using Clock = std::chrono::steady_clock;
    auto elapsed = [](Clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };

    // Near the start, typing and painting only touch the visible lines.
    auto start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        Type("x");
        Render();
    }
    EXPECT_LT(elapsed(start), 3000);
    // Far down (after one pass over the text to reach the parse state there).
    view->Model().MoveToPos(count - 10, 0);
    Render();
    view->parses = 0;
    start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        Type("y");
        Key(WXK_DOWN);
        Render();
    }
    EXPECT_LT(elapsed(start), 3000);
    EXPECT_LT(view->parses, 50 * 200); // re-parsing starts at the edited line
    EXPECT_EQ(Line(buffer, count - 10).substr(0, 1), "y");
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    test::TempDir dir;
    SettingsStore store(dir.path() / "settings");
    Profile::SetStore(&store);
    Profile::SetRegistryKey("Brindle", "Brindle");
    test::RecordingUIServices ui;
    g_ui = &ui;

    const int result = test::RunGuiTests("textview_gui_tests");
    Profile::SetStore(nullptr);
    return result;
}
