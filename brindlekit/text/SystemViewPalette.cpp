#include "brindlekit/text/ViewPalette.h"

#include "brindlekit/text/TextPainter.h"

#include <wx/settings.h>

namespace brindle {

ViewPalette SystemViewPalette()
{
    const auto colour = [](wxSystemColour which) { return FromColour(wxSystemSettings::GetColour(which)); };
    const ColorRef window = colour(wxSYS_COLOUR_WINDOW);
    // The theme says whether it is dark; a dark window says so too when it cannot.
    const bool dark = wxSystemSettings::GetAppearance().IsDark() || IsDarkColour(window);
    return ViewPalette(window, colour(wxSYS_COLOUR_WINDOWTEXT), colour(wxSYS_COLOUR_SCROLLBAR), dark);
}

} // namespace brindle
