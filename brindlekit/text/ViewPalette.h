#pragma once

#include "brindlekit/text/LineRendering.h"
#include "platform/Export.h"

#include <array>
#include <string>

namespace brindle {

// Colour indices the views use beyond the text engine's own (0..11): the
// XML-aware colouring of the source views.
enum ExtraColorIndex : int {
    COLORINDEX_TAG = 12,
    COLORINDEX_ATTRNAME = 13,
    COLORINDEX_CDATA = 14,
    COLORINDEX_PROCESSING = 15,
    COLORINDEX_REFERENCE = 16,
    COLORINDEX_DECLARATION = 17,
    COLORINDEX_COUNT = 18,
};

// The colours of the views for one desktop theme: every colour index, derived
// from the theme's window and window-text colours. A light theme keeps the
// classic colours where they read well; a dark theme has its own variant of
// each. Every text colour is moved toward the window-text colour as far as it
// takes to read against the background (a contrast ratio of at least 4.5:1).
class BRINDLEKIT_API ViewPalette {
public:
    // The theme as the desktop reports it: its window and window-text colours,
    // the scroll-bar colour (the margin's shade in a light theme) and whether
    // the theme is dark.
    ViewPalette(ColorRef window, ColorRef windowText, ColorRef scrollBar, bool dark);

    bool IsDark() const { return m_dark; }
    // The colour of an index; indices the views do not know read as strings.
    ColorRef Colour(int index) const;
    // The two colours the margin's checkerboard mixes.
    ColorRef MarginShade() const { return m_marginShade; }
    ColorRef Window() const { return m_colours[COLORINDEX_BKGND]; }
    ColorRef WindowText() const { return m_colours[COLORINDEX_NORMALTEXT]; }
    // A fixed hue (given for a light background) as it is drawn on this
    // palette's background: its dark variant in a dark theme, made to read.
    ColorRef Readable(ColorRef light, ColorRef dark) const;
    // The gutter's line numbers and fold boxes: quieter than the text, yet
    // readable on the background.
    ColorRef GutterText() const { return m_gutterText; }

private:
    bool m_dark;
    std::array<ColorRef, COLORINDEX_COUNT> m_colours{};
    ColorRef m_marginShade;
    ColorRef m_gutterText;
};

// The WCAG contrast ratio of two colours (1 to 21).
BRINDLEKIT_API double ContrastRatio(ColorRef a, ColorRef b);
// Whether a colour is dark: its relative luminance is below 0.18, about the
// grey the eye takes for half-way between black and white.
BRINDLEKIT_API bool IsDarkColour(ColorRef colour);
// `colour` blended toward `toward` by the fewest steps of a tenth that make it
// read on `background`; `toward` itself when no step does.
BRINDLEKIT_API ColorRef WithContrast(ColorRef colour, ColorRef background, ColorRef toward, double ratio = 4.5);
// "#rrggbb", for style sheets.
BRINDLEKIT_API std::string CssColour(ColorRef colour);

// The palette of the desktop's current theme.
BRINDLEKIT_API ViewPalette SystemViewPalette();

} // namespace brindle
