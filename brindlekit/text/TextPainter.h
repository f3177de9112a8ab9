#pragma once

#include "brindlekit/text/LineRendering.h"

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include <cstdint>
#include <string_view>
#include <unordered_map>

class wxDC;

namespace brindle {

class CTextView;

// Between the views' colour values and wx colours.
BRINDLEKIT_API wxColour ToColour(ColorRef c);
BRINDLEKIT_API ColorRef FromColour(const wxColour& c);

// Draws a CTextView: rows through one off-screen bitmap a line high, reused for
// every row; the selection margin with its icons; each line's runs in their
// colours, fonts and selection on the fixed-pitch grid of the view's model, and
// the fill after the text. Colours, colouring and per-row drawing come from the
// view's hooks, which the program may override. The view decides which rows to
// paint; the caret is the window's own.
class TextPainter {
public:
    explicit TextPainter(CTextView& view);

    // The text font; its bold and italic variants are made when first asked for.
    void SetTextFont(const wxFont& font);
    const wxFont& GetTextFont() const { return m_font; }
    const wxFont& GetFont(bool italic, bool bold);

    // Paints rows firstRow..lastRow of the view's client area into dc, each
    // through the view's margin, line and overlay hooks.
    void PaintRows(wxDC& dc, int firstRow, int lastRow);
    // What the view's margin and line hooks draw unless overridden.
    void DrawMargin(wxDC& dc, const wxRect& rect, int line);
    void DrawSingleLine(wxDC& dc, const wxRect& rect, int line);

private:
    // The line-number and fold-marker columns right of the selection margin.
    void DrawGutterColumns(wxDC& dc, const wxRect& rect, int line);
    // Text drawing keeps every glyph inside its own cells of the grid.
    void DrawText(wxDC& dc, const wxRect& rect, int fontSlot, int fromColumn, std::string_view chars,
                  int startColumn);
    void DrawGlyph(wxDC& dc, const wxRect& rect, int fontSlot, char32_t code, int left, int cells);
    void DrawHexBox(wxDC& dc, const wxRect& rect, unsigned value, int left);
    // Measured extent of a glyph in one of the four fonts (cached).
    struct GlyphMetrics {
        int width = 0;
        int ascent = 0;
    };
    GlyphMetrics MeasureGlyph(wxDC& dc, int fontSlot, char32_t code);

    CTextView& m_view;
    wxFont m_font;
    wxFont m_fonts[4]; // by slot: italic 1, bold 2
    std::unordered_map<std::uint64_t, GlyphMetrics> m_glyphMetrics; // by font slot and code point
    wxBitmap m_lineBitmap;
};

} // namespace brindle
