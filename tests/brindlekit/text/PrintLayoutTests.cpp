#include "brindlekit/text/CharWidth.h"
#include "brindlekit/text/LineRendering.h"
#include "brindlekit/text/TextPageSetup.h"
#include "brindlekit/text/TextPrintLayout.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/gdicmn.h>

#include <string>
#include <vector>

using namespace brindle;

namespace {

// A fixed-pitch measure: 10 units a cell (20 for a wide character), lines 10 high.
PrintMeasure CellMeasure()
{
    PrintMeasure measure;
    measure.lineHeight = 10;
    measure.width = [](std::string_view text) {
        int cells = 0;
        for (std::size_t i = 0; i < text.size();) {
            int length = 1;
            cells += CellsAt(text, i, length);
            i += static_cast<std::size_t>(length);
        }
        return cells * 10;
    };
    return measure;
}

constexpr PageMargins kNoMargins{0, 0, 0, 0};

// A page 100 units wide (10 cells), `rows` text rows high with the footer on.
TextPrintLayout Lay(std::vector<std::string> lines, int rows, bool header = false, bool footer = true)
{
    TextPrintLayout layout;
    const int height = rows * 10 + (header ? 15 : 0) + (footer ? 15 : 0);
    layout.Layout(std::move(lines), CellMeasure(), {0, 0, 100, height}, kNoMargins, header, footer);
    return layout;
}

std::vector<std::string> RowTexts(const TextPrintLayout& layout)
{
    std::vector<std::string> texts;
    for (int page = 1; page <= layout.GetPageCount(); ++page)
        for (const auto& row : layout.PageRows(page)) texts.emplace_back(row.text);
    return texts;
}

// Every line's text, rebuilt from the rows of all pages in order.
std::vector<std::string> RebuiltLines(const TextPrintLayout& layout)
{
    std::vector<std::string> lines;
    int last = -1;
    for (int page = 1; page <= layout.GetPageCount(); ++page)
        for (const auto& row : layout.PageRows(page)) {
            if (row.line != last) lines.emplace_back();
            last = row.line;
            lines.back() += row.text;
        }
    return lines;
}

} // namespace

TEST(PrintLayoutWrap, LinesWrapAtWordsAndLongWordsBreakBetweenCharacters)
{
    // Short line: one row. Words: break after the space. A word wider than the
    // text: broken by characters, nothing lost.
    const TextPrintLayout layout =
        Lay({"short", "alpha betagamma", "alpha beta  gamma", "abcdefghijklmnopqrstuvw"}, 20);
    EXPECT_EQ(RowTexts(layout), (std::vector<std::string>{"short", "alpha ", "betagamma", "alpha beta  ", "gamma",
                                                          "abcdefghij", "klmnopqrst", "uvw"}));
    EXPECT_EQ(layout.LineRowCount(1), 2);
    EXPECT_EQ(layout.LineRowCount(3), 3);
}

TEST(PrintLayoutWrap, WideCharactersTakeTwoCellsAndAreNeverSplit)
{
    // 中 is 3 bytes and 2 cells: five fit in ten cells, a sixth wraps whole.
    const std::string wide = "中文中文中文";
    const TextPrintLayout layout = Lay({wide, "ab中文中文中"}, 10);
    EXPECT_EQ(RowTexts(layout), (std::vector<std::string>{"中文中文中", "文", "ab中文中文", "中"}));
}

TEST(PrintLayoutWrap, TabsExpandedBeforeLayoutCountTheirColumns)
{
    const std::string expanded = ExpandChars("a\tb\tc", 0, 5, 4, false);
    ASSERT_EQ(expanded, "a   b   c");
    const TextPrintLayout layout = Lay({expanded, ExpandChars("\t\t\tx", 0, 4, 4, false)}, 10);
    // The second line is 13 cells: the spaces end the first row, x wraps.
    EXPECT_EQ(RowTexts(layout), (std::vector<std::string>{"a   b   c", "            ", "x"}));
}

TEST(PrintLayoutPages, LinesMoveWholeToTheNextPageAndNoneIsLostOrDuplicated)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 57; ++i) lines.push_back(i % 7 == 3 ? std::string(25, 'a' + i % 26) : "line " + std::to_string(i));
    const TextPrintLayout layout = Lay(lines, 5);
    EXPECT_EQ(RebuiltLines(layout), lines);
    for (int page = 1; page <= layout.GetPageCount(); ++page) {
        const auto rows = layout.PageRows(page);
        ASSERT_FALSE(rows.empty());
        EXPECT_LE(rows.size(), 5u) << "page " << page;
        EXPECT_EQ(rows.front().line, layout.PageFirstLine(page));
        // A wrapped line is not split between pages.
        if (page > 1) {
            EXPECT_NE(layout.PageRows(page - 1).back().line, rows.front().line) << "page " << page;
        }
        for (std::size_t r = 0; r < rows.size(); ++r) EXPECT_EQ(rows[r].y, static_cast<int>(r) * 10);
    }
}

TEST(PrintLayoutPages, ALineTallerThanAPageHasPagesOfItsOwn)
{
    // Five rows a page; the middle line wraps to twelve rows.
    const TextPrintLayout layout = Lay({"one", std::string(120, 'x'), "three"}, 5);
    ASSERT_EQ(layout.GetPageCount(), 5);
    EXPECT_EQ(layout.PageFirstLine(1), 0);
    EXPECT_EQ(layout.PageRows(1).size(), 1u);
    EXPECT_EQ(layout.PageFirstLine(2), 1);
    EXPECT_EQ(layout.PageRows(2).size(), 5u);
    EXPECT_EQ(layout.PageRows(4).size(), 2u);
    EXPECT_EQ(layout.PageFirstLine(5), 2);
    EXPECT_EQ(RebuiltLines(layout), (std::vector<std::string>{"one", std::string(120, 'x'), "three"}));
}

TEST(PrintLayoutPages, EmptyTextIsOnePageWithTheFooterOnly)
{
    for (const auto& lines : {std::vector<std::string>{}, std::vector<std::string>{""}}) {
        const TextPrintLayout layout = Lay(lines, 5);
        ASSERT_EQ(layout.GetPageCount(), 1);
        ASSERT_EQ(layout.PageRows(1).size(), 1u);
        EXPECT_TRUE(layout.PageRows(1)[0].text.empty());
        EXPECT_EQ(layout.FooterBand().height, 15);
        EXPECT_EQ(layout.HeaderBand().height, 0);
    }
    EXPECT_EQ(PageFooterText(1, 1), "页 1/1");
    EXPECT_EQ(PageFooterText(12, 340), "页 12/340");
}

TEST(PrintLayoutBands, HeaderAndFooterTakeOneAndAHalfLinesInsideTheMargins)
{
    TextPrintLayout layout;
    const PageMargins margins{5, 7, 20, 30};
    layout.Layout({"a"}, CellMeasure(), {10, 10, 200, 300}, margins, true, true);
    EXPECT_EQ(layout.HeaderBand().y, 30);
    EXPECT_EQ(layout.HeaderBand().height, 15);
    EXPECT_EQ(layout.HeaderTextTop(), 30);
    EXPECT_EQ(layout.TextRect().x, 15);
    EXPECT_EQ(layout.TextRect().width, 188);
    EXPECT_EQ(layout.TextRect().y, 45);
    // Footer band above the bottom margin line (310 - 30): the footer stays on paper.
    EXPECT_EQ(layout.FooterBand().Bottom(), 280);
    EXPECT_EQ(layout.TextRect().Bottom(), 265);
    EXPECT_EQ(layout.FooterTextTop(), 270);

    // Switched off, the text takes the bands' room.
    layout.Layout({"a"}, CellMeasure(), {10, 10, 200, 300}, margins, false, false);
    EXPECT_EQ(layout.TextRect().y, 30);
    EXPECT_EQ(layout.TextRect().Bottom(), 280);
    EXPECT_EQ(layout.FooterBand().height, 0);

    // Rows per page follow: 22 rows of 10 fit in the 220 units left.
    std::vector<std::string> lines(50, "x");
    layout.Layout(lines, CellMeasure(), {10, 10, 200, 300}, margins, true, true);
    EXPECT_EQ(layout.PageRows(1).size(), 22u);
}

TEST(PrintLayoutBands, ZeroMarginsPrintFromTheEdgeOfThePrintableArea)
{
    TextPrintLayout layout;
    layout.Layout({"a"}, CellMeasure(), {3, 4, 100, 100}, kNoMargins, false, true);
    EXPECT_EQ(layout.TextRect().x, 3);
    EXPECT_EQ(layout.TextRect().y, 4);
    EXPECT_EQ(layout.TextRect().width, 100);
    EXPECT_EQ(layout.FooterBand().Bottom(), 104);
    // Margins wider than the paper leave one character a row, and lose nothing.
    layout.Layout({"abc"}, CellMeasure(), {0, 0, 100, 100}, {60, 60, 0, 0}, false, true);
    EXPECT_EQ(RowTexts(layout), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(PrintLayoutMargins, ReadFromTheSettingsAndConvertedToDeviceUnits)
{
    test::TempDir dir;
    SettingsStore store(dir.path() / "settings");
    Profile::SetStore(&store);
    Profile::SetRegistryKey("Brindle", "Brindle");
    const PageMargins defaults = ReadPageMargins();
    EXPECT_EQ(defaults.left, 1000);
    EXPECT_EQ(defaults.right, 1000);
    EXPECT_EQ(defaults.top, 1000);
    EXPECT_EQ(defaults.bottom, 1000);

    ASSERT_TRUE(WritePageMargins({0, 2540, 500, 1250}));
    EXPECT_EQ(Profile::GetProfileInt("Settings\\PageSetup", "RightMargin", 0), 2540);
    const PageMargins read = ReadPageMargins();
    Profile::SetStore(nullptr);
    EXPECT_EQ(read.left, 0);
    EXPECT_EQ(read.bottom, 1250);
    // 600 dpi: 23.622 units a mm; 96 dpi vertically: 3.7795.
    const PageMargins device = MarginsToDevice(read, 600 / 25.4, 96 / 25.4);
    EXPECT_EQ(device.left, 0);
    EXPECT_EQ(device.right, 600);
    EXPECT_EQ(device.top, 19);
    EXPECT_EQ(device.bottom, 47);
    EXPECT_EQ(MarginsToDevice({-5, 0, 0, 0}, 10, 10).left, 0);
}

TEST(PrintLayoutMargins, PageSetupKeepsTheHundredthsOfMarginsLeftAlone)
{
    // The dialog shows whole millimetres: 12.34 mm shows as 12 and stays 1234 when
    // left at 12; a changed margin takes the new millimetres.
    const PageMargins stored{1234, 1000, 1551, 0};
    const PageMargins same = MarginsFromDialog(stored, wxPoint(12, 16), wxPoint(10, 0));
    EXPECT_EQ(same.left, 1234);
    EXPECT_EQ(same.top, 1551);
    EXPECT_EQ(same.right, 1000);
    EXPECT_EQ(same.bottom, 0);
    const PageMargins changed = MarginsFromDialog(stored, wxPoint(13, 15), wxPoint(25, 7));
    EXPECT_EQ(changed.left, 1300);
    EXPECT_EQ(changed.top, 1500);
    EXPECT_EQ(changed.right, 2500);
    EXPECT_EQ(changed.bottom, 700);
}
