#pragma once

#include <wx/bmpbndl.h>

#include <string>

// A picture given as the body of an SVG drawing on a square of viewBox units,
// rendered at size by size pixels (and scaled for other sizes on demand).
wxBitmapBundle SvgPicture(const std::string& body, int viewBox, int size);
