// The splitter window on a real display: panes placed, hidden and restored with
// their contents, ids and focus.
#include "brindlekit/chrome/SplitterWndEx.h"
#include "tests/support/GuiTestMain.h"

#include <wx/frame.h>
#include <wx/textctrl.h>

#include <memory>
#include <vector>

using namespace brindle;

namespace {

class SplitterGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "splitter", wxDefaultPosition, wxSize(800, 400));
        splitter = new CSplitterWndEx(frame, 1, 4);
        for (int c = 0; c < 4; ++c) {
            panes.push_back(new wxTextCtrl(splitter, wxID_ANY, wxString::Format("pane %d", c)));
            splitter->SetPane(0, c, panes.back(), wxSize(100 + 50 * c, -1));
        }
        frame->Show();
        test::PumpEvents();
    }
    void TearDown() override
    {
        frame->Destroy();
        test::PumpEvents();
    }

    wxFrame* frame = nullptr;
    CSplitterWndEx* splitter = nullptr;
    std::vector<wxTextCtrl*> panes;
};

TEST_F(SplitterGui, HiddenPanesKeepTheirWindowsAndComeBackAsTheyWere)
{
    const int width = splitter->GetClientSize().x;
    ASSERT_GT(width, 400);
    EXPECT_EQ(panes[1]->GetPosition().x, 100 + SplitterModel::kSashWidth);
    EXPECT_EQ(panes[2]->GetId(), 0xE902);
    EXPECT_EQ(panes[3]->GetSize().x, width - 100 - 150 - 200 - 3 * SplitterModel::kSashWidth);

    panes[2]->ChangeValue("edited");
    splitter->HideColumn(2);
    splitter->HideColumn(2);
    EXPECT_FALSE(panes[2]->IsShown());
    EXPECT_FALSE(panes[3]->IsShown());
    EXPECT_EQ(splitter->GetColumnCount(), 2);
    EXPECT_EQ(panes[1]->GetSize().x, width - 100 - SplitterModel::kSashWidth);
    EXPECT_EQ(panes[2]->GetId(), 0xE904);

    splitter->RestoreColumn(2);
    splitter->RestoreColumn(2);
    EXPECT_TRUE(panes[2]->IsShown());
    EXPECT_EQ(panes[2]->GetValue(), "edited");
    EXPECT_EQ(panes[2]->GetId(), 0xE902);
    EXPECT_EQ(panes[2]->GetSize().x, 200);
    EXPECT_EQ(splitter->GetPane(0, 3), panes[3]);
}

TEST_F(SplitterGui, TheFocusFollowsTheActivePane)
{
    splitter->SetActivePane(0, 3);
    test::PumpEvents();
    int column = -1;
    EXPECT_EQ(splitter->GetActivePane(nullptr, &column), panes[3]);
    EXPECT_EQ(column, 3);
    // Hiding the focused last column passes activation and focus to the first.
    splitter->HideColumn(3);
    test::PumpEvents();
    EXPECT_EQ(splitter->GetActivePane(), panes[0]);
    EXPECT_EQ(wxWindow::FindFocus(), panes[0]);
    // Clicking into a pane (giving it the focus) makes it the active one.
    panes[1]->SetFocus();
    test::PumpEvents();
    EXPECT_EQ(splitter->GetActivePane(), panes[1]);

    auto* other = new wxTextCtrl(splitter, wxID_ANY, "other");
    EXPECT_TRUE(splitter->SwitchView(0, 1, other));
    EXPECT_FALSE(splitter->SwitchView(0, 1, other));
    EXPECT_TRUE(other->IsShown());
    EXPECT_FALSE(panes[1]->IsShown());
    EXPECT_EQ(other->GetId(), 0xE901);
}

} // namespace
