#pragma once

#include <wx/bmpbndl.h>

#include <vector>

// The images of toolbar buttons and menu items, drawn for this program as small
// vector pictures. An id without a picture gives an empty bundle.
wxBitmapBundle ToolbarImage(int commandId);
bool HasToolbarImage(int commandId);

// A toolbar button: its command, tool tip and whether it toggles; id 0 is a
// separator.
struct ToolDef {
    int id;
    const char* tip;
    bool check = false;
};
// The buttons of toolbar 174 (main) and 191 (view); empty for another id.
const std::vector<ToolDef>& ToolbarTools(int toolbarId);
// Every command that has a picture, in id order (toolbar 173, menu images only).
std::vector<int> CommandsWithImages();

// The application icon at the given size.
wxBitmapBundle AppIconImage();
