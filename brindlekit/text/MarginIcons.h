#pragma once

#include "platform/Export.h"

class wxDC;
class wxCursor;

namespace brindle {

// The 16 x 16 icons drawn in the selection margin (see MarginIconForFlags): 0 green
// arrow, 1 red dot, 2 mark, 3..11 numbered bookmarks 1..9, 12 numbered bookmark 0,
// 13 bookmark, 14 olive diamond. Drawn by the library itself, cached after first use.
BRINDLEKIT_API void DrawMarginIcon(wxDC& dc, int icon, int x, int y);
constexpr int kMarginIconSize = 16;

// The pointer over the margin: an arrow pointing right, towards the text.
BRINDLEKIT_API const wxCursor& MarginCursor();

} // namespace brindle
