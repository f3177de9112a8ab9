#include "app/shell/ViewModes.h"
#include "brindlekit/chrome/SplitterModel.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>
#include <vector>

using namespace brindle;

namespace {

// The panes of the document frame, by column: tree, list, source, browser.
std::vector<int> Visible(const SplitterModel& splitter)
{
    std::vector<int> panes;
    for (int c = 0; c < splitter.ColumnCount(); ++c) panes.push_back(splitter.PaneAt(0, c));
    return panes;
}

} // namespace

TEST(ViewModes, EverySwitchShowsItsModesViewsWhateverCameBefore)
{
    const std::vector<int> shows[] = {{kTreeColumn, kListColumn}, {kSourceColumn}, {kBrowserColumn}};
    const auto expected = [&](ViewMode mode) { return shows[static_cast<int>(mode)]; };

    // The frame's start: source hidden first, then the browser.
    SplitterModel splitter(1, 4);
    for (int c = 0; c < 4; ++c) splitter.SetPane(0, c, c);
    splitter.HideColumn(kSourceColumn);
    splitter.HideColumn(kSourceColumn);
    ViewMode mode = ViewMode::Tree;
    ASSERT_EQ(Visible(splitter), expected(mode));

    // The canonical round, then every pair both ways.
    const ViewMode T = ViewMode::Tree, S = ViewMode::Source, B = ViewMode::Browser;
    const std::vector<ViewMode> steps{S, B, T, B, S, T, S, T, B, T, S, B, S, B, T};
    for (ViewMode next : steps) {
        SwitchSplitter(splitter, mode, next);
        mode = next;
        ASSERT_EQ(Visible(splitter), expected(mode)) << static_cast<int>(mode);
        EXPECT_EQ(splitter.HiddenColumnCount(), 4 - splitter.ColumnCount());
    }
    EXPECT_EQ(Visible(splitter), (std::vector<int>{kTreeColumn, kListColumn}));
    EXPECT_TRUE(ModeSwitchCalls(T, T).empty());
    EXPECT_EQ(CommandOfMode(S), ids::ID_VIEW_SOURCE);
    EXPECT_EQ(CommandOfMode(T), ids::ID_VIEW_TREE);
    EXPECT_EQ(CommandOfMode(B), ids::ID_VIEW_BROWSER);
}
