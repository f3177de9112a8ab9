#pragma once

#include <wx/bmpbndl.h>

// The images of toolbar buttons and menu items, drawn for this program as small
// vector pictures. An id without a picture gives an empty bundle.
wxBitmapBundle ToolbarImage(int commandId);
bool HasToolbarImage(int commandId);

// The application icon at the given size.
wxBitmapBundle AppIconImage();
