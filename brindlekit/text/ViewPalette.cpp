#include "brindlekit/text/ViewPalette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brindle {

namespace {

int Red(ColorRef c) { return static_cast<int>(c & 0xFF); }
int Green(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

double Linear(int channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(ColorRef c) { return 0.2126 * Linear(Red(c)) + 0.7152 * Linear(Green(c)) + 0.0722 * Linear(Blue(c)); }

ColorRef Blend(ColorRef from, ColorRef to, double amount)
{
    const auto mix = [amount](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * amount)); };
    return MakeRgb(mix(Red(from), Red(to)), mix(Green(from), Green(to)), mix(Blue(from), Blue(to)));
}

// Text hues per index for a light and a dark background. Indices 0..5 follow
// the theme's own colours; in a light theme 6..11 are the text engine's fixed
// defaults.
struct Hues {
    ColorRef light;
    ColorRef dark;
};
constexpr std::array<Hues, COLORINDEX_COUNT> kHues = {{
    {0, 0},                                           // 0 after the text: window
    {0, 0},                                           // 1 background: window
    {0, 0},                                           // 2 text: window text
    {0, 0},                                           // 3 margin
    {0, 0},                                           // 4 selection background: window text
    {0, 0},                                           // 5 selected text: window
    {0, MakeRgb(110, 160, 255)},                      // 6 keyword
    {0, MakeRgb(150, 150, 150)},                      // 7 comment
    {0, MakeRgb(230, 150, 120)},                      // 8 number
    {0, MakeRgb(230, 230, 230)},                      // 9 operator
    {0, MakeRgb(255, 120, 110)},                      // 10 string, attribute value
    {0, MakeRgb(90, 180, 240)},                       // 11 preprocessor
    {MakeRgb(128, 0, 128), MakeRgb(110, 170, 240)},   // 12 tag
    {MakeRgb(170, 85, 0), MakeRgb(150, 215, 250)},    // 13 attribute name
    {MakeRgb(0, 120, 120), MakeRgb(80, 200, 180)},    // 14 CDATA
    {MakeRgb(0, 128, 192), MakeRgb(200, 160, 230)},   // 15 processing instruction
    {MakeRgb(0, 128, 0), MakeRgb(150, 210, 130)},     // 16 reference
    {MakeRgb(0, 0, 200), MakeRgb(220, 140, 200)},     // 17 declaration
}};

} // namespace

double ContrastRatio(ColorRef a, ColorRef b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkColour(ColorRef colour) { return Luminance(colour) < 0.18; }

ColorRef WithContrast(ColorRef colour, ColorRef background, ColorRef toward, double ratio)
{
    for (int step = 0; step <= 10; ++step) {
        const ColorRef candidate = Blend(colour, toward, step / 10.0);
        if (ContrastRatio(candidate, background) >= ratio) return candidate;
    }
    return toward;
}

std::string CssColour(ColorRef colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", Red(colour), Green(colour), Blue(colour));
    return text;
}

ViewPalette::ViewPalette(ColorRef window, ColorRef windowText, ColorRef scrollBar, bool dark) : m_dark(dark)
{
    m_colours[COLORINDEX_WHITESPACE] = window;
    m_colours[COLORINDEX_BKGND] = window;
    m_colours[COLORINDEX_NORMALTEXT] = windowText;
    // A dark theme's scroll-bar colour is often light: its margin is a shade of
    // the window instead.
    m_marginShade = dark ? Blend(window, windowText, 0.2) : scrollBar;
    m_colours[COLORINDEX_SELMARGIN] = m_marginShade;
    // The selection is white on black in a light theme, as it always was; a
    // dark theme inverts its own colours instead.
    m_colours[COLORINDEX_SELBKGND] = dark ? windowText : FixedDefaultColor(COLORINDEX_SELBKGND);
    m_colours[COLORINDEX_SELTEXT] = dark ? window : FixedDefaultColor(COLORINDEX_SELTEXT);
    for (int index = COLORINDEX_KEYWORD; index < COLORINDEX_COUNT; ++index) {
        const Hues& hues = kHues[static_cast<size_t>(index)];
        m_colours[static_cast<size_t>(index)] =
            Readable(index <= COLORINDEX_PREPROCESSOR ? FixedDefaultColor(index) : hues.light, hues.dark);
    }
    // Worked out once: the gutter draws it on every line it paints.
    m_gutterText = WithContrast(Blend(windowText, window, 0.5), window, windowText);
}

ColorRef ViewPalette::Readable(ColorRef light, ColorRef dark) const
{
    return WithContrast(m_dark ? dark : light, Window(), WindowText());
}

ColorRef ViewPalette::Colour(int index) const
{
    if (index < 0 || index >= COLORINDEX_COUNT) index = COLORINDEX_STRING;
    return m_colours[static_cast<size_t>(index)];
}

} // namespace brindle
