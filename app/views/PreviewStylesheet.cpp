#include "app/views/PreviewStylesheet.h"

#include "generated/PreviewTreeXsl.h"

using namespace brindle;

std::string_view PreviewTreeStylesheet()
{
    return {kPreviewTreeXsl, sizeof kPreviewTreeXsl - 1};
}

std::string PreviewTreeStylesheet(const ViewPalette& palette)
{
    const auto colour = [&palette](int index) { return CssColour(palette.Colour(index)); };
    const ColorRef note = palette.IsDark() ? MakeRgb(61, 53, 32) : MakeRgb(255, 247, 209);
    const ColorRef noteBorder = palette.IsDark() ? MakeRgb(122, 106, 42) : MakeRgb(227, 207, 122);
    // Later rules of the same selectors win over the stylesheet's own colours.
    const std::string rules = "body{background:" + CssColour(palette.Window()) + ";color:" +
                              CssColour(palette.WindowText()) + "}\n"
                              "summary::before,details:not([open])>summary::after{color:" + colour(COLORINDEX_COMMENT) + "}\n"
                              "b{color:" + colour(COLORINDEX_TAG) + "}\n"
                              "i{color:" + colour(COLORINDEX_ATTRNAME) + "}\n"
                              "u{color:" + colour(COLORINDEX_STRING) + "}\n"
                              ".c{color:" + colour(COLORINDEX_COMMENT) + "}\n"
                              ".k{color:" + colour(COLORINDEX_CDATA) + "}\n"
                              ".p{color:" + colour(COLORINDEX_PROCESSING) + "}\n"
                              ".d{color:" + colour(COLORINDEX_DECLARATION) + "}\n"
                              ".n{background:" + CssColour(note) + ";border-color:" + CssColour(noteBorder) + "}\n";
    std::string text(PreviewTreeStylesheet());
    const size_t end = text.find("</style>");
    if (end != std::string::npos) text.insert(end, rules);
    return text;
}
