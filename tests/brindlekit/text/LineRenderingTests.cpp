#include "brindlekit/text/LineFlags.h"
#include "brindlekit/text/LineRendering.h"
#include "brindlekit/text/ViewPalette.h"

#include <gtest/gtest.h>
#include <set>

namespace brindle {
namespace {

TEST(LineRendering, RunsFollowBlocksAndSelection)
{
    // No blocks: one run of normal text.
    auto runs = BuildLineRuns(5, nullptr, 0, 0, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colorIndex, COLORINDEX_NORMALTEXT);
    EXPECT_EQ(runs[0].end, 5);

    const TextBlock blocks[] = {{2, COLORINDEX_KEYWORD}, {6, COLORINDEX_COMMENT}};
    runs = BuildLineRuns(10, blocks, 2, 4, 8);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ((std::pair{runs[0].start, runs[0].colorIndex}), (std::pair{0, int(COLORINDEX_NORMALTEXT)}));
    EXPECT_EQ((std::pair{runs[1].start, runs[1].end}), (std::pair{2, 4}));
    EXPECT_FALSE(runs[1].selected);
    EXPECT_TRUE(runs[2].selected);
    EXPECT_EQ(runs[2].colorIndex, COLORINDEX_KEYWORD);
    EXPECT_EQ((std::pair{runs[3].start, runs[3].end}), (std::pair{6, 8}));
    EXPECT_TRUE(runs[3].selected);
    EXPECT_EQ(runs[3].colorIndex, COLORINDEX_COMMENT);
    EXPECT_EQ(runs[4].end, 10);

    // Blocks past the end or out of order are clipped.
    const TextBlock odd[] = {{8, 6}, {3, 7}, {40, 8}};
    runs = BuildLineRuns(5, odd, 3, 0, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colorIndex, COLORINDEX_NORMALTEXT);
}

TEST(LineRendering, WhitespaceExpansion)
{
    EXPECT_EQ(ExpandChars("a\tb", 0, 3, 4, false), "a   b");
    EXPECT_EQ(ExpandChars("a\tb c", 0, 5, 4, true), "a\xBB  b\x95" "c");
    EXPECT_EQ(ExpandChars("abc\td", 0, 5, 4, true), "abc\xBB" "d"); // one cell to the stop
    EXPECT_EQ(ExpandChars("ab\tc", 2, 2, 4, false), "  c"); // relative to column 2
    EXPECT_EQ(ExpandChars("ab", 1, 10, 4, false), "b");
}

TEST(LineRendering, MarksAndIcons)
{
    const auto red = LineMarkColorsForFlags(LINEF_RED | LINEF_OLIVE);
    EXPECT_EQ(red.background, MakeRgb(255, 0, 0));
    EXPECT_EQ(red.text, MakeRgb(255, 255, 255));
    EXPECT_TRUE(red.fillAfterText);
    EXPECT_EQ(LineMarkColorsForFlags(LINEF_BOOKMARK).background, kNoColor);
    EXPECT_EQ(MarginIconForFlags(0), -1);
    EXPECT_EQ(MarginIconForFlags(LINEF_GREEN | LINEF_RED), 0);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(1) | LINEF_BOOKMARK), 3);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(9)), 11);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK_N(0)), 12);
    EXPECT_EQ(MarginIconForFlags(LINEF_BOOKMARK), 13);
    EXPECT_EQ(MarginIconForFlags(LINEF_OLIVE), 14);
    EXPECT_EQ(FixedDefaultColor(COLORINDEX_SELBKGND), MakeRgb(0, 0, 0));
    EXPECT_EQ(FixedDefaultColor(42), MakeRgb(255, 0, 0));
    EXPECT_EQ(FixedDefaultColor(COLORINDEX_PREPROCESSOR), 0xC08000u);
}

} // namespace
// The palettes of light and dark desktop themes: every text colour reads on
// its background.

struct Theme {
    const char* name;
    ColorRef window, text, scrollBar;
    bool dark;
};
constexpr Theme kThemes[] = {
    {"classic light", MakeRgb(255, 255, 255), MakeRgb(0, 0, 0), MakeRgb(212, 208, 200), false},
    {"Adwaita", MakeRgb(255, 255, 255), MakeRgb(46, 52, 54), MakeRgb(206, 206, 206), false},
    {"grey light", MakeRgb(246, 245, 244), MakeRgb(46, 52, 54), MakeRgb(206, 206, 206), false},
    {"Adwaita dark", MakeRgb(45, 45, 45), MakeRgb(238, 238, 236), MakeRgb(53, 53, 53), true},
    {"black", MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), MakeRgb(220, 220, 220), true},
};

TEST(ViewPalette, EveryTextColourReadsOnItsBackground)
{
    for (const Theme& theme : kThemes) {
        const ViewPalette palette(theme.window, theme.text, theme.scrollBar, theme.dark);
        EXPECT_EQ(palette.IsDark(), theme.dark);
        EXPECT_EQ(palette.Colour(COLORINDEX_BKGND), theme.window) << theme.name;
        EXPECT_EQ(palette.Colour(COLORINDEX_NORMALTEXT), theme.text) << theme.name;
        for (int index = COLORINDEX_NORMALTEXT; index < COLORINDEX_COUNT; ++index) {
            if (index == COLORINDEX_SELMARGIN || index == COLORINDEX_SELBKGND) continue;
            const ColorRef background = index == COLORINDEX_SELTEXT ? palette.Colour(COLORINDEX_SELBKGND) : palette.Window();
            EXPECT_GE(ContrastRatio(palette.Colour(index), background), 4.5)
                << theme.name << ", index " << index << ": " << CssColour(palette.Colour(index)) << " on "
                << CssColour(background);
        }
        // The XML colouring tells its constructs apart.
        std::set<ColorRef> xml{palette.Colour(COLORINDEX_NORMALTEXT), palette.Colour(COLORINDEX_COMMENT),
                               palette.Colour(COLORINDEX_STRING)};
        for (int index = COLORINDEX_TAG; index <= COLORINDEX_DECLARATION; ++index) xml.insert(palette.Colour(index));
        EXPECT_EQ(xml.size(), 9u) << theme.name;
        // The margin is a shade apart from the window; the gutter's numbers read
        // on it, quieter than the text.
        EXPECT_NE(palette.MarginShade(), palette.Window()) << theme.name;
        EXPECT_GE(ContrastRatio(palette.GutterText(), palette.Window()), 4.5) << theme.name;
        EXPECT_NE(palette.GutterText(), palette.WindowText()) << theme.name;
        // Indices the views do not know read as strings.
        EXPECT_EQ(palette.Colour(99), palette.Colour(COLORINDEX_STRING));
    }
}

TEST(ViewPalette, LightThemesKeepTheClassicColoursThatReadDarkOnesHaveTheirOwn)
{
    const ViewPalette light(MakeRgb(255, 255, 255), MakeRgb(0, 0, 0), MakeRgb(212, 208, 200), false);
    const ViewPalette dark(MakeRgb(45, 45, 45), MakeRgb(238, 238, 236), MakeRgb(53, 53, 53), true);
    // The classic colours where they read; the selection black on white as it was.
    for (int index : {COLORINDEX_SELBKGND, COLORINDEX_SELTEXT, COLORINDEX_KEYWORD, COLORINDEX_NUMBER})
        EXPECT_EQ(light.Colour(index), FixedDefaultColor(index)) << index;
    // Also where the theme's text is not quite black.
    const ViewPalette adwaita(MakeRgb(255, 255, 255), MakeRgb(46, 52, 54), MakeRgb(206, 206, 206), false);
    EXPECT_EQ(adwaita.Colour(COLORINDEX_SELBKGND), MakeRgb(0, 0, 0));
    EXPECT_EQ(light.MarginShade(), MakeRgb(212, 208, 200));
    // Pure red and mid grey are too light on white: darkened toward the text.
    EXPECT_NE(light.Colour(COLORINDEX_STRING), FixedDefaultColor(COLORINDEX_STRING));
    EXPECT_EQ(light.Colour(COLORINDEX_STRING) & 0xFFFF00u, 0u) << "still a red";
    // A dark theme neither keeps the light hues nor the light theme's margin.
    for (int index = COLORINDEX_KEYWORD; index < COLORINDEX_COUNT; ++index)
        EXPECT_NE(dark.Colour(index), light.Colour(index)) << index;
    EXPECT_TRUE(IsDarkColour(dark.MarginShade()));
    EXPECT_EQ(dark.Colour(COLORINDEX_SELBKGND), MakeRgb(238, 238, 236));

    // A colour that cannot read on its background becomes the text colour.
    EXPECT_EQ(WithContrast(MakeRgb(250, 250, 250), MakeRgb(255, 255, 255), MakeRgb(200, 200, 200)), MakeRgb(200, 200, 200));
    EXPECT_NEAR(ContrastRatio(MakeRgb(0, 0, 0), MakeRgb(255, 255, 255)), 21.0, 1e-9);
    EXPECT_EQ(CssColour(MakeRgb(1, 0x2b, 255)), "#012bff");
}

} // namespace brindle
