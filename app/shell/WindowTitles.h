#pragma once

#include <string>

// The main window's title: "name — Brindle" for the active document, with "*"
// before the name while it has unsaved changes, and "Brindle" with none.
std::string MainWindowTitle(const std::string& documentPath, bool modified);

// A document's line in the Window menu: a mnemonic number (the first nine), the
// whole path, and the same mark of unsaved changes. Ampersands in the path show.
std::string WindowMenuLabel(int index, const std::string& documentPath, bool modified);
