#include "brindlekit/chrome/SplitterModel.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using namespace brindle;

namespace {

// One row of four columns holding panes 0 to 3, 100, 200, 300 and the rest wide.
SplitterModel FourColumns()
{
    SplitterModel model(1, 4);
    for (int c = 0; c < 4; ++c) {
        model.SetPane(0, c, c);
        model.SetColumnInfo(c, 100 * (c + 1), 10);
    }
    model.Layout(1000 + 3 * SplitterModel::kSashWidth, 500);
    return model;
}

std::vector<int> VisibleOrder(const SplitterModel& model)
{
    std::vector<int> order;
    for (int c = 0; c < model.ColumnCount(); ++c) order.push_back(model.PaneAt(0, c));
    return order;
}

} // namespace

TEST(SplitterModel, HiddenColumnsFormAStackThatRestoresInOrder)
{
    SplitterModel model = FourColumns();
    EXPECT_EQ(model.PaneId(2), 0xE902);
    EXPECT_EQ(model.ColumnCurrent(3), 400);

    model.HideColumn(2);
    EXPECT_EQ(VisibleOrder(model), (std::vector<int>{0, 1, 3}));
    EXPECT_FALSE(model.IsPaneVisible(2));
    EXPECT_EQ(model.PaneId(2), SplitterModel::IdFromRowCol(0, 4)); // beyond the visible ones then
    EXPECT_EQ(model.HiddenColumn(), 2);
    EXPECT_EQ(model.HiddenColumnCount(), 1);
    EXPECT_EQ(model.ColumnCurrent(2), 705); // the last visible column takes the rest

    model.HideColumn(2); // the former fourth column
    EXPECT_EQ(VisibleOrder(model), (std::vector<int>{0, 1}));
    EXPECT_EQ(model.PaneId(3), SplitterModel::IdFromRowCol(0, 3));
    EXPECT_EQ(model.HiddenColumnCount(), 2);

    // The most recently hidden comes back first, then the other in front of it.
    model.RestoreColumn(2);
    EXPECT_EQ(VisibleOrder(model), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(model.HiddenColumn(), -1);
    model.RestoreColumn(2);
    EXPECT_EQ(VisibleOrder(model), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(model.HiddenColumnCount(), 0);
    EXPECT_TRUE(model.IsPaneVisible(2));
    // Each comes back with the width it had when hidden.
    EXPECT_EQ(model.ColumnCurrent(2), 300);
    EXPECT_EQ(model.PaneRect(0, 2).x, 300 + 2 * SplitterModel::kSashWidth);

    // ShowColumn puts the last hidden one back where it was, keeping the count.
    model.HideColumn(1);
    model.ShowColumn();
    EXPECT_EQ(VisibleOrder(model), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(model.HiddenColumnCount(), 1);

    // What the program never asks for does nothing.
    model.RestoreColumn(0);
    EXPECT_EQ(model.ColumnCount(), 4);
    SplitterModel single(1, 1);
    single.SetPane(0, 0, 0);
    single.HideColumn(0);
    EXPECT_EQ(single.ColumnCount(), 1);
    EXPECT_THROW(model.HideColumn(4), std::out_of_range);
    EXPECT_THROW(SplitterModel(1, 16), std::out_of_range);
}

TEST(SplitterModel, HidingTheActiveColumnMovesTheActivation)
{
    SplitterModel model = FourColumns();
    model.SetActivePane(0, 2);
    model.HideColumn(2);
    EXPECT_EQ(model.ActivePane(), 3);
    int row = -1, column = -1;
    ASSERT_TRUE(model.GetActivePane(row, column));
    EXPECT_EQ(column, 2);

    // From the last column it goes to the first.
    model.HideColumn(2);
    EXPECT_EQ(model.ActivePane(), 0);
    // Hiding another column leaves it alone.
    model.RestoreColumn(2);
    model.SetActivePane(0, 1);
    model.HideColumn(0);
    EXPECT_EQ(model.ActivePane(), 1);
}

TEST(SplitterModel, RowsHideAndShowLikeColumns)
{
    SplitterModel model(3, 2);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) model.SetPane(r, c, r * 2 + c);
    model.SetRowInfo(0, 50, 5);
    model.SetRowInfo(1, 60, 5);
    model.Layout(200, 300);
    model.SetActivePane(1, 1);
    model.HideRow(1);
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_EQ(model.PaneAt(1, 0), 4);
    EXPECT_EQ(model.PaneId(2), SplitterModel::IdFromRowCol(3, 0));
    EXPECT_EQ(model.ActivePane(), 5);
    EXPECT_EQ(model.HiddenRow(), 1);
    model.ShowRow();
    EXPECT_EQ(model.PaneAt(1, 0), 2);
    EXPECT_EQ(model.PaneAt(2, 1), 5);
    EXPECT_EQ(model.RowCurrent(1), 60);
    EXPECT_EQ(model.HiddenColumnCount(), 0);
}

TEST(SplitterModel, SwitchViewExchangesPanes)
{
    SplitterModel model = FourColumns();
    model.SetActivePane(0, 1);
    EXPECT_FALSE(model.SwitchView(0, 1, 1));
    EXPECT_TRUE(model.SwitchView(0, 1, 7)); // a pane new to the splitter
    EXPECT_EQ(model.PaneAt(0, 1), 7);
    EXPECT_FALSE(model.IsPaneVisible(1));
    EXPECT_EQ(model.ActivePane(), 7);
    EXPECT_TRUE(model.SwitchView(0, 1, 1)); // and back: the ids are exchanged again
    EXPECT_EQ(model.PaneAt(0, 1), 1);
    EXPECT_FALSE(model.IsPaneVisible(7));
}

TEST(SplitterModel, LayoutGivesTheRestToTheLastAndDropsWhatIsTooSmall)
{
    SplitterModel model(1, 3);
    model.SetColumnInfo(0, 100, 20);
    model.SetColumnInfo(1, 15, 20); // below its minimum: not shown
    model.Layout(400, 100);
    EXPECT_EQ(model.ColumnCurrent(0), 100);
    EXPECT_EQ(model.ColumnCurrent(1), 0);
    EXPECT_EQ(model.ColumnCurrent(2), 400 - 100 - 2 * SplitterModel::kSashWidth);
    EXPECT_EQ(model.PaneRect(0, 2).height, 100);

    // A narrow window shows what fits.
    model.SetColumnInfo(1, 50, 20);
    model.Layout(80, 100);
    EXPECT_EQ(model.ColumnCurrent(0), 70);
    EXPECT_EQ(model.ColumnCurrent(1), 0);
    EXPECT_EQ(model.ColumnCurrent(2), 0);

    // Dragging a sash moves the boundary between its two neighbours.
    model.Layout(400, 100);
    const auto sash = model.ColumnSashRect(0);
    EXPECT_EQ(sash.x, 100);
    EXPECT_EQ(model.HitTestSash(sash.x + 1, 50).column, 0);
    EXPECT_EQ(model.HitTestSash(sash.x - 1, 50).column, -1);
    model.MoveColumnSash(0, 130);
    EXPECT_EQ(model.ColumnCurrent(0), 130);
    EXPECT_EQ(model.ColumnCurrent(1), 20);
    EXPECT_EQ(model.PaneRect(0, 2).x, 130 + 20 + 2 * SplitterModel::kSashWidth);
}
