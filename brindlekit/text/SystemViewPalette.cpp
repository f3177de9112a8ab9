#include "brindlekit/text/ViewPalette.h"

#include <wx/settings.h>

namespace brindle {

ViewPalette SystemViewPalette()
{
    const auto colour = [](wxSystemColour which) {
        const wxColour c = wxSystemSettings::GetColour(which);
        return MakeRgb(c.Red(), c.Green(), c.Blue());
    };
    const ColorRef window = colour(wxSYS_COLOUR_WINDOW);
    // The theme says whether it is dark; a dark window says so too when it cannot.
    const bool dark = wxSystemSettings::GetAppearance().IsDark() || IsDarkColour(window);
    return ViewPalette(window, colour(wxSYS_COLOUR_WINDOWTEXT), colour(wxSYS_COLOUR_SCROLLBAR), dark);
}

} // namespace brindle
