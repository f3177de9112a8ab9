#pragma once

class wxWindow;

// Runs the modal "Settings" sheet: the "Parser", "Display", "File" and "Edit"
// pages. Pressing OK stores the settings of every page that was shown.
// Returns true when the sheet was closed with OK.
bool RunSettingsSheet(wxWindow* parent);
