#pragma once

#include <string_view>

// What a preview's web view may load, whatever its page asks for: the page
// itself and what it refers to on this computer (file:), inline data (data:) and
// the empty page (about:); nothing from the network, nor by any other scheme.
// The scheme is read without regard to case; a text with none is refused.
bool IsPreviewLoadAllowed(std::string_view url);

// The same rules for the web engine's content filter, as a content blocker rule
// list (JSON): every load blocked, then local files and inline data let through.
std::string_view PreviewContentRules();
