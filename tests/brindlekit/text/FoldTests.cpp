#include "ViewTestSupport.h"

#include "brindlekit/text/FoldModel.h"
#include "brindlekit/text/LineFlags.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace brindle;
using namespace brindle::viewtest;

namespace {

// A host that knows fixed ranges, and counts how often it is asked for an end.
class FoldingHost : public RecordingHost {
public:
    int FoldEnd(int line) override
    {
        ++searches;
        auto it = ends.find(line);
        return it == ends.end() ? -1 : it->second;
    }
    std::vector<FoldRange> FoldRanges() override
    {
        std::vector<FoldRange> out;
        for (const auto& [first, last] : ends) out.push_back({first, last});
        return out;
    }
    std::map<int, int> ends;
    int searches = 0;
};

std::vector<std::string> Lines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("l" + std::to_string(i));
    return lines;
}

struct FoldFixture : ViewFixture {
    explicit FoldFixture(int lineCount) : ViewFixture(Lines(lineCount))
    {
        view.SetHost(&folding);
        view.SetFolding(true);
    }
    void Insert(int line, int pos, const char* text)
    {
        int endLine = 0;
        int endChar = 0;
        ASSERT_TRUE(buffer.InsertText(nullptr, line, pos, text, endLine, endChar, 0));
    }
    FoldingHost folding;
};

} // namespace

TEST(FoldModel, MapsVisibleAndDocumentLinesAcrossNestedFolds)
{
    FoldModel folds;
    EXPECT_EQ(folds.ToLine(5), 5);
    EXPECT_TRUE(folds.Fold(2, 4));  // hides 3..4
    EXPECT_FALSE(folds.Fold(2, 4)); // already folded
    EXPECT_FALSE(folds.Fold(6, 6)); // a single line has nothing to hide
    EXPECT_TRUE(folds.Fold(10, 20));
    EXPECT_TRUE(folds.Fold(12, 14)); // inside another: hides nothing more
    EXPECT_EQ(folds.HiddenLineCount(), 2 + 10);
    EXPECT_FALSE(folds.IsHidden(2));
    EXPECT_TRUE(folds.IsHidden(3));
    EXPECT_TRUE(folds.IsHidden(20));
    EXPECT_FALSE(folds.IsHidden(21));
    // Visible: 0 1 2 5 6 7 8 9 10 21 ...
    const std::vector<int> expected = {0, 1, 2, 5, 6, 7, 8, 9, 10, 21, 22};
    for (int v = 0; v < static_cast<int>(expected.size()); ++v) {
        EXPECT_EQ(folds.ToLine(v), expected[static_cast<std::size_t>(v)]) << v;
        EXPECT_EQ(folds.ToVisible(expected[static_cast<std::size_t>(v)]), v);
    }
    EXPECT_EQ(folds.ToVisible(13), folds.ToVisible(10)); // a hidden line stands as its fold
    EXPECT_EQ(folds.Shown(13), 10);
    EXPECT_EQ(folds.Advance(2, 1, 30), 5);
    EXPECT_EQ(folds.Advance(21, -1, 30), 10);
    EXPECT_EQ(folds.Advance(0, 100, 30), 29);

    // Opening the outer fold leaves the inner one folded.
    EXPECT_TRUE(folds.Unfold(10));
    EXPECT_EQ(folds.HiddenLineCount(), 2 + 2);
    EXPECT_TRUE(folds.Reveal(13));
    EXPECT_FALSE(folds.IsFolded(12));
    EXPECT_FALSE(folds.Reveal(13));
}

TEST(FoldModel, EditsMoveFoldsOrOpenThem)
{
    FoldModel folds;
    folds.Fold(10, 15);
    folds.Fold(30, 40);
    // Typing on a line above, below, or on the fold's own first line keeps it.
    folds.OnEdit(5, 5, 0, false);
    folds.OnEdit(20, 20, 0, false);
    folds.OnEdit(10, 10, 0, false);
    EXPECT_EQ(folds.Folded(), (std::vector<FoldRange>{{10, 15}, {30, 40}}));
    // Two lines inserted above move both; a line deleted between moves the second.
    folds.OnEdit(3, 3, 2, false);
    EXPECT_EQ(folds.Folded(), (std::vector<FoldRange>{{12, 17}, {32, 42}}));
    folds.OnEdit(20, 21, -1, false);
    EXPECT_EQ(folds.Folded(), (std::vector<FoldRange>{{12, 17}, {31, 41}}));
    // Whole lines pasted before a fold's first line move it.
    folds.OnEdit(12, 12, 3, true);
    EXPECT_EQ(folds.Folded(), (std::vector<FoldRange>{{15, 20}, {34, 44}}));
    // An edit inside a fold opens it (a replacement, say) and moves the next one.
    folds.OnEdit(17, 17, 1, false);
    EXPECT_EQ(folds.Folded(), (std::vector<FoldRange>{{35, 45}}));
    // So does a new line after its first line.
    folds.OnEdit(35, 35, 1, false);
    EXPECT_TRUE(folds.Empty());

    // Known ends: kept above the edit, moved below it, dropped where the edit may change them.
    folds.RememberEnd(1, 3);
    folds.RememberEnd(2, -1);
    folds.RememberEnd(4, 9);
    folds.RememberEnd(12, 14);
    folds.OnEdit(6, 6, 0, false);
    EXPECT_EQ(folds.KnownEnd(1), 3);
    EXPECT_EQ(folds.KnownEnd(2), -2); // nothing found then; this edit may close it
    EXPECT_EQ(folds.KnownEnd(4), -2);
    EXPECT_EQ(folds.KnownEnd(12), 14);
    folds.OnEdit(6, 6, 2, false);
    EXPECT_EQ(folds.KnownEnd(1), 3);
    EXPECT_EQ(folds.KnownEnd(12), -2);
    EXPECT_EQ(folds.KnownEnd(14), 16);

    // Filling up with ends a search finds again keeps the long ranges' ends,
    // which only listing every range finds.
    const int longEnd = 20 + 2 * FoldModel::kSearchLines;
    folds.RememberEnd(20, longEnd);
    for (int line = 100; line < 100 + 300000; ++line) folds.RememberEnd(line, line % 3 ? line + 2 : -1);
    EXPECT_EQ(folds.KnownEnd(20), longEnd);
}

TEST(TextViewFolding, FoldedLinesAreSkippedByRowsCaretAndScrolling)
{
    FoldFixture f(40);
    TextViewModel& view = f.view;
    f.folding.ends = {{2, 6}, {3, 4}, {20, 35}};
    EXPECT_EQ(view.GetFoldMarker(2), TextViewModel::FoldMarker::Open);
    EXPECT_EQ(view.GetFoldMarker(1), TextViewModel::FoldMarker::None);
    const int searches = f.folding.searches;
    view.GetFoldMarker(2);
    EXPECT_EQ(f.folding.searches, searches); // remembered
    // A paint does not search: the line waits, and its marker comes with the search after.
    EXPECT_EQ(view.GetFoldMarker(20, false), TextViewModel::FoldMarker::None);
    EXPECT_EQ(f.folding.searches, searches);
    EXPECT_TRUE(view.HasPendingFolds());
    EXPECT_TRUE(view.ResolvePendingFolds());
    EXPECT_FALSE(view.HasPendingFolds());
    EXPECT_EQ(view.GetFoldMarker(20, false), TextViewModel::FoldMarker::Open);
    EXPECT_EQ(view.GetFoldMarker(1, false), TextViewModel::FoldMarker::None);
    EXPECT_FALSE(view.ResolvePendingFolds()); // line 1 opens nothing

    view.SetCursorPos(CPoint(1, 5));
    view.ToggleFold(2);
    EXPECT_EQ(view.GetFoldMarker(2), TextViewModel::FoldMarker::Folded);
    EXPECT_EQ(view.GetCursorPos(), CPoint(2, 2)); // the caret leaves the hidden lines
    EXPECT_EQ(view.GetVisibleLineCount(), 40 - 4);
    EXPECT_EQ(view.LineAtRow(3), 7);
    EXPECT_EQ(view.RowOfLine(7), 3);
    EXPECT_EQ(view.ClientToText(ViewFixture::Cell(0, 3)).y, 7);
    EXPECT_EQ(view.TextToClient(CPoint(0, 7)).y, 3 * ViewFixture::kLineHeight);

    // Down moves over the fold and Up back onto its first line.
    view.MoveDown(false);
    EXPECT_EQ(view.GetCursorPos().y, 7);
    view.MoveUp(false);
    EXPECT_EQ(view.GetCursorPos().y, 2);
    view.MoveEnd(false);
    view.MoveRight(false);
    EXPECT_EQ(view.GetCursorPos(), CPoint(0, 7));

    // Scrolling counts visible lines: the bar's range shrinks, a wheel step skips the fold.
    view.ScrollToLine(2);
    view.OnMouseWheel(-1, false, false);
    EXPECT_EQ(view.GetTopLine(), 7);
    view.OnVScroll(TextViewModel::SB_THUMBTRACK, 3);
    EXPECT_EQ(view.GetTopLine(), 7);
    view.OnVScroll(TextViewModel::SB_LINEUP, 0);
    EXPECT_EQ(view.GetTopLine(), 2);
    // A page down from the top moves nine visible lines.
    view.ScrollToLine(0);
    view.MoveCtrlHome(false);
    view.MovePgDn(false);
    EXPECT_EQ(view.GetCursorPos().y, 13);

    // Fold All folds every range; Unfold All opens them.
    view.MoveCtrlHome(false);
    view.FoldAll();
    EXPECT_TRUE(view.Folds().IsFolded(20));
    EXPECT_EQ(view.GetVisibleLineCount(), 40 - 4 - 15);
    view.UnfoldAll();
    EXPECT_EQ(view.GetVisibleLineCount(), 40);
    // A marked line (an error's) is never folded away: its ranges stay open.
    f.buffer.SetLineFlag(4, LINEF_BOOKMARK, true, false);
    view.FoldAll();
    EXPECT_FALSE(view.Folds().IsFolded(2));
    EXPECT_FALSE(view.Folds().IsFolded(3));
    EXPECT_TRUE(view.Folds().IsFolded(20));
    view.UnfoldAll();
    view.ToggleFold(3);
    EXPECT_FALSE(view.Folds().IsFolded(3));
    f.buffer.SetLineFlag(4, LINEF_BOOKMARK, false, false);
    // Turning folding off opens them and hides the markers.
    view.ToggleFold(20);
    view.SetFolding(false);
    EXPECT_TRUE(view.Folds().Empty());
    EXPECT_EQ(view.GetFoldMarker(2), TextViewModel::FoldMarker::None);
}

TEST(TextViewFolding, FoldsStayWhileTypingElsewhereAndOpenForTheCaretOrAMatch)
{
    FoldFixture f(40);
    TextViewModel& view = f.view;
    f.folding.ends = {{10, 15}, {20, 25}};
    view.ToggleFold(10);
    view.ToggleFold(20);

    // Lines typed above move the folds with their lines.
    f.Insert(1, 0, "new\r\n");
    f.Insert(1, 2, "x");
    EXPECT_EQ(view.Folds().Folded(), (std::vector<FoldRange>{{11, 16}, {21, 26}}));
    EXPECT_EQ(view.GetFoldMarker(11), TextViewModel::FoldMarker::Folded);
    // The end found for a line is known again after the move, without asking.
    EXPECT_EQ(view.FoldEndAt(11), 16);

    // Whole lines deleted above move them back; deleting a fold's first line opens it.
    ASSERT_TRUE(f.buffer.DeleteText(nullptr, 0, 0, 1, 0, 0));
    EXPECT_EQ(view.Folds().Folded(), (std::vector<FoldRange>{{10, 15}, {20, 25}}));
    ASSERT_TRUE(f.buffer.DeleteText(nullptr, 10, 0, 11, 0, 0));
    EXPECT_EQ(view.Folds().Folded(), (std::vector<FoldRange>{{19, 24}}));
    f.Insert(0, 0, "a\r\nb\r\n");
    f.Insert(12, 0, "new first\r\n");
    f.folding.ends[12] = 17;
    view.ToggleFold(12);
    ASSERT_EQ(view.Folds().Folded(), (std::vector<FoldRange>{{12, 17}, {22, 27}}));
    EXPECT_EQ(view.GetFoldMarker(11), TextViewModel::FoldMarker::None);

    // An edit inside a fold opens it.
    f.Insert(13, 0, "y");
    EXPECT_EQ(view.Folds().Folded(), (std::vector<FoldRange>{{22, 27}}));

    // A match inside a fold opens it.
    CPoint found;
    ASSERT_TRUE(view.FindText("l23", CPoint(0, 0), 0, false, &found));
    ASSERT_EQ(found.y, 25);
    view.HighlightText(found, 3);
    EXPECT_TRUE(view.Folds().Empty());

    // Going to a line in a fold (as an error does) opens it.
    view.ToggleFold(22);
    ASSERT_TRUE(view.Folds().IsFolded(22));
    view.MoveToPos(25, 0);
    EXPECT_FALSE(view.Folds().IsFolded(22));
    EXPECT_EQ(view.GetCursorPos(), CPoint(0, 25));
}
