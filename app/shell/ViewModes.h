#pragma once

#include <vector>

// The three modes of an XML document frame and how its splitter moves between
// them. The frame's splitter holds, in this order, the node tree, the node list,
// the source view and the browser view; each mode shows some of them, and a
// switch restores hidden columns and hides others in a fixed order that the
// splitter's stack of hidden columns makes come out right.
enum class ViewMode { Tree, Source, Browser };

// Columns of the document frame's splitter.
inline constexpr int kTreeColumn = 0;
inline constexpr int kListColumn = 1;
inline constexpr int kSourceColumn = 2;
inline constexpr int kBrowserColumn = 3;

// The command that shows the mode (Node Tree, Source View, Browser View).
int CommandOfMode(ViewMode mode);

struct SplitterCall {
    bool restore; // RestoreColumn(column), else HideColumn(column)
    int column;
};

// The splitter calls of a switch between two different modes, in order. The
// frame starts in Tree mode after hiding column 2 twice.
const std::vector<SplitterCall>& ModeSwitchCalls(ViewMode from, ViewMode to);

template <class Splitter> void SwitchSplitter(Splitter& splitter, ViewMode from, ViewMode to)
{
    for (const SplitterCall& call : ModeSwitchCalls(from, to)) {
        if (call.restore) splitter.RestoreColumn(call.column);
        else splitter.HideColumn(call.column);
    }
}
