#pragma once

#include <string>

// The application-wide pending error text: operations that fail store their
// message here and return failure; the calling view shows it.
void SetLastErrorText(const std::string& text);
// The stored text, which is cleared; with none stored, the system's message for
// the last system error.
std::string GetLastErrorText();
