#include "app/menus/SvgPicture.h"

wxBitmapBundle SvgPicture(const std::string& body, int viewBox, int size)
{
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(viewBox) + " " +
                            std::to_string(viewBox) + "\">" + body + "</svg>";
    return wxBitmapBundle::FromSVG(svg.c_str(), wxSize(size, size));
}
