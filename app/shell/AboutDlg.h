#pragma once

class wxWindow;

// Shows "About Brindle" modally: the program's picture, name and version, OK.
void ShowAboutDialog(wxWindow* parent);
