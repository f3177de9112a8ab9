#include "brindlekit/text/TextPainter.h"

#include "brindlekit/text/CharWidth.h"
#include "brindlekit/text/MarginIcons.h"
#include "brindlekit/text/TextView.h"

#include <wx/dcmemory.h>
#include <wx/settings.h>

#include <algorithm>
#include <vector>

namespace brindle {

wxColour ToColour(ColorRef c)
{
    return wxColour(static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>((c >> 8) & 0xFF),
                    static_cast<unsigned char>((c >> 16) & 0xFF));
}

ColorRef FromColour(const wxColour& c)
{
    return MakeRgb(c.Red(), c.Green(), c.Blue());
}

TextPainter::TextPainter(CTextView& view) : m_view(view), m_font(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)) {}

void TextPainter::SetTextFont(const wxFont& font)
{
    m_font = font;
    for (wxFont& f : m_fonts) f = wxNullFont;
    m_glyphMetrics.clear();
}

const wxFont& TextPainter::GetFont(bool italic, bool bold)
{
    wxFont& font = m_fonts[(italic ? 1 : 0) + (bold ? 2 : 0)];
    if (!font.IsOk()) {
        font = m_font;
        font.SetWeight(bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
        font.SetStyle(italic ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
        if (!font.IsOk()) font = m_view.wxWindow::GetFont();
    }
    return font;
}

void TextPainter::PaintRows(wxDC& dc, int firstRow, int lastRow)
{
    const TextViewModel& model = m_view.Model();
    const wxSize client = m_view.GetClientSize();
    if (client.x <= 0 || client.y <= 0) return;
    const int height = model.GetLineHeight();
    // One bitmap a line high, reused for every row.
    if (!m_lineBitmap.IsOk() || m_lineBitmap.GetWidth() != client.x || m_lineBitmap.GetHeight() != height)
        m_lineBitmap = wxBitmap(client.x, height);
    wxMemoryDC memory(m_lineBitmap);
    firstRow = std::max(0, firstRow);
    lastRow = std::min(lastRow, (client.y - 1) / height);
    const int margin = model.GetMarginWidth();
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = model.LineAtRow(row);
        m_view.DrawMargin(memory, wxRect(0, 0, margin, height), line);
        m_view.DrawSingleLine(memory, wxRect(margin, 0, client.x - margin, height), line);
        m_view.DrawLineOverlay(memory, wxRect(0, 0, client.x, height), line);
        dc.Blit(0, row * height, client.x, height, &memory, 0, 0);
    }
}

void TextPainter::DrawMargin(wxDC& dc, const wxRect& rect, int line)
{
    const TextViewModel& model = m_view.Model();
    if (!model.GetSelectionMargin()) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(ToColour(m_view.GetColor(COLORINDEX_BKGND))));
        dc.DrawRectangle(rect);
        return;
    }
    // A 50 % checkerboard of the margin shade (the scroll-bar colour in a light
    // theme) and the window colour.
    static wxBitmap* pattern = nullptr;
    static ColorRef patternColors[2] = {kNoColor, kNoColor};
    const ColorRef a = m_view.Palette().MarginShade();
    const ColorRef b = m_view.Palette().Window();
    if (!pattern || patternColors[0] != a || patternColors[1] != b) {
        wxImage image(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const wxColour c = ToColour(((x + y) & 1) ? b : a);
                image.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
            }
        delete pattern;
        pattern = new wxBitmap(image);
        patternColors[0] = a;
        patternColors[1] = b;
    }
    const GutterLayout& gutter = model.GetGutter();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(*pattern));
    dc.DrawRectangle(rect.x, rect.y, gutter.marks, rect.height);
    if (line >= 0) {
        const int icon = MarginIconForFlags(model.GetLineFlags(line));
        if (icon >= 0) DrawMarginIcon(dc, icon, rect.x + 2, rect.y + (rect.height - kMarginIconSize) / 2);
    }
    if (gutter.Width() > gutter.marks) DrawGutterColumns(dc, rect, line);
}

void TextPainter::DrawGutterColumns(wxDC& dc, const wxRect& rect, int line)
{
    const TextViewModel& model = m_view.Model();
    const GutterLayout& gutter = model.GetGutter();
    const wxColour background = ToColour(m_view.GetColor(COLORINDEX_BKGND));
    const wxColour text = ToColour(m_view.GetColor(COLORINDEX_NORMALTEXT));
    const wxColour quiet = ToColour(m_view.Palette().GutterText());
    const int left = rect.x + gutter.NumbersLeft();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(background));
    dc.DrawRectangle(left, rect.y, gutter.numbers + gutter.folds, rect.height);
    if (line < 0) return;
    if (gutter.numbers > 0) {
        const wxString number = LineNumberText(line);
        dc.SetFont(GetFont(false, false));
        dc.SetTextForeground(quiet);
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        const int width = static_cast<int>(number.length()) * model.GetCharWidth();
        dc.DrawText(number, left + gutter.numbers - GutterLayout::kNumberPadding - width, rect.y);
    }
    if (gutter.folds > 0) {
        const TextViewModel::FoldMarker marker = m_view.Model().GetFoldMarker(line, false);
        if (marker == TextViewModel::FoldMarker::None) return;
        // A 9-pixel box with a minus (open) or a plus (folded).
        const int box = 9;
        const int x = rect.x + gutter.FoldsLeft() + (gutter.folds - box) / 2;
        const int y = rect.y + (rect.height - box) / 2;
        dc.SetPen(wxPen(quiet));
        dc.SetBrush(wxBrush(background));
        dc.DrawRectangle(x, y, box, box);
        dc.SetPen(wxPen(text));
        dc.DrawLine(x + 2, y + box / 2, x + box - 2, y + box / 2);
        if (marker == TextViewModel::FoldMarker::Folded) dc.DrawLine(x + box / 2, y + 2, x + box / 2, y + box - 2);
    }
}

void TextPainter::DrawText(wxDC& dc, const wxRect& rect, int fontSlot, int fromColumn, std::string_view chars,
                         int startColumn)
{
    const TextViewModel& model = m_view.Model();
    // Cells of the run from startColumn; those left of fromColumn are off the left edge.
    // ASCII stretches go out in one call; every other character is drawn alone inside
    // its own cells (two for a wide one), so the glyphs stay on the grid of the model
    // whatever the fonts make of them.
    const int charWidth = model.GetCharWidth();
    const int tabSize = model.GetTabSize();
    const bool viewTabs = model.GetViewTabs();
    const int right = rect.GetRight() + 1;
    auto cellX = [&](int column) { return rect.x + (column - fromColumn) * charWidth; };
    int column = startColumn;
    wxString ascii;
    int asciiColumn = 0;
    auto flush = [&]() {
        if (!ascii.empty()) dc.DrawText(ascii, cellX(asciiColumn), rect.y);
        ascii.clear();
    };
    auto visible = [&](int cells) { return column + cells > fromColumn && cellX(column) < right; };
    auto putAscii = [&](char c) {
        if (visible(1) && column >= fromColumn) {
            if (ascii.empty()) asciiColumn = column;
            ascii += c;
        } else {
            flush();
        }
        ++column;
    };
    auto putGlyph = [&](char32_t code, int cells) {
        flush();
        if (visible(cells)) DrawGlyph(dc, rect, fontSlot, code, cellX(column), cells);
        column += cells;
    };
    for (std::size_t i = 0; i < chars.size() && cellX(column) < right;) {
        const char c = chars[i];
        if (c == '\t') {
            const int spaces = tabSize - column % tabSize;
            for (int k = 0; k < spaces; ++k) {
                if (k == 0 && viewTabs)
                    putGlyph(U'\u00BB', 1);
                else
                    putAscii(' ');
            }
            ++i;
        } else if (c == ' ' && viewTabs) {
            putGlyph(U'\u2022', 1);
            ++i;
        } else {
            const CellGlyph glyph = GlyphAt(chars, i);
            if (glyph.hexBox) {
                flush();
                if (visible(1)) DrawHexBox(dc, rect, glyph.code, cellX(column));
                column += glyph.cells;
            } else if (glyph.code < 0x80) {
                putAscii(static_cast<char>(glyph.code));
            } else {
                putGlyph(glyph.code, glyph.cells);
            }
            i += static_cast<std::size_t>(glyph.length);
        }
    }
    flush();
}

TextPainter::GlyphMetrics TextPainter::MeasureGlyph(wxDC& dc, int fontSlot, char32_t code)
{
    const std::uint64_t key = (static_cast<std::uint64_t>(fontSlot) << 32) | code;
    const auto it = m_glyphMetrics.find(key);
    if (it != m_glyphMetrics.end()) return it->second;
    wxCoord width = 0;
    wxCoord height = 0;
    wxCoord descent = 0;
    dc.GetTextExtent(wxString(wxUniChar(static_cast<unsigned>(code))), &width, &height, &descent);
    const GlyphMetrics metrics{width, height - descent};
    m_glyphMetrics.emplace(key, metrics);
    return metrics;
}

void TextPainter::DrawGlyph(wxDC& dc, const wxRect& rect, int fontSlot, char32_t code, int left, int cells)
{
    const TextViewModel& model = m_view.Model();
    const int cellsWidth = cells * model.GetCharWidth();
    const wxRect box = wxRect(left, rect.y, cellsWidth, rect.height).Intersect(rect);
    if (box.IsEmpty()) return;
    const int lineAscent = MeasureGlyph(dc, fontSlot, U'X').ascent;
    const GlyphMetrics metrics = MeasureGlyph(dc, fontSlot, code);
    const GlyphOffset offset = PlaceGlyph(cellsWidth, metrics.width, metrics.ascent, lineAscent);
    const wxString text(wxUniChar(static_cast<unsigned>(code)));
    // The caller clips to the line. Only a glyph wider than its cells is clipped to them
    // as well: a clip per glyph costs more than drawing it.
    if (metrics.width <= cellsWidth) {
        dc.DrawText(text, left + offset.dx, rect.y + offset.dy);
        return;
    }
    wxDCClipper clip(dc, box);
    dc.DrawText(text, left + offset.dx, rect.y + offset.dy);
}

void TextPainter::DrawHexBox(wxDC& dc, const wxRect& rect, unsigned value, int left)
{
    const TextViewModel& model = m_view.Model();
    // A frame in the text colour with the byte's two hex digits, dot by dot, so that it
    // fits one cell whatever the fonts.
    const int charWidth = model.GetCharWidth();
    const wxRect cell = wxRect(left, rect.y, charWidth, rect.height).Intersect(rect);
    if (cell.IsEmpty()) return;
    const HexBoxLayout box = LayoutHexBox(charWidth, rect.height);
    wxDCClipper clip(dc, cell);
    wxDCPenChanger pen(dc, wxPen(dc.GetTextForeground()));
    wxDCBrushChanger brush(dc, *wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(left + box.frameX, rect.y + box.frameY, box.frameWidth, box.frameHeight);
    if (!box.digits) return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(dc.GetTextForeground()));
    for (int k = 0; k < 2; ++k) {
        const int digit = static_cast<int>((k == 0 ? value >> 4 : value) & 0xF);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 3; ++x)
                if (HexDigitDot(digit, x, y))
                    dc.DrawRectangle(left + box.digitX + x * box.scale, rect.y + box.digitY[k] + y * box.scale,
                                     box.scale, box.scale);
    }
}

void TextPainter::DrawSingleLine(wxDC& dc, const wxRect& rect, int line)
{
    TextViewModel& model = m_view.Model();
    dc.SetPen(*wxTRANSPARENT_PEN);
    if (line < 0) {
        dc.SetBrush(wxBrush(ToColour(m_view.GetColor(COLORINDEX_WHITESPACE))));
        dc.DrawRectangle(rect);
        return;
    }
    ColorRef background = kNoColor;
    ColorRef textColor = kNoColor;
    bool fillAfter = false;
    m_view.GetLineColors(line, background, textColor, fillAfter);
    if (background == kNoColor) background = m_view.GetColor(COLORINDEX_BKGND);

    const int charWidth = model.GetCharWidth();
    const int offset = model.GetOffsetChar();
    const std::string_view chars = model.GetLineText(line);
    const int length = static_cast<int>(chars.size());

    // The selection on this line.
    int selStart = 0;
    int selEnd = 0;
    bool lineEndSelected = false;
    if (m_view.IsSelectionShown() && model.IsSelection()) {
        CPoint s;
        CPoint e;
        model.GetSelection(s, e);
        if (line >= s.y && line <= e.y) {
            selStart = line == s.y ? s.x : 0;
            selEnd = line == e.y ? e.x : length;
            lineEndSelected = model.IsInsideSelBlock(CPoint(length, line)) && line < e.y;
        }
    }

    int x = rect.x;
    int column = 0;
    if (length > 0) {
        std::vector<TextBlock> blocks(static_cast<std::size_t>(3 * length + 1));
        int count = 0;
        const std::uint32_t cookie = model.GetParseCookie(line - 1);
        const std::uint32_t end = m_view.ParseLine(cookie, line, blocks.data(), count);
        model.StoreParseCookie(line, end);
        count = std::clamp(count, 0, static_cast<int>(blocks.size()));
        const std::vector<LineRun> runs = BuildLineRuns(length, blocks.data(), count, selStart, selEnd);
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        for (const LineRun& run : runs) {
            const std::string_view piece = chars.substr(static_cast<std::size_t>(run.start),
                                                        static_cast<std::size_t>(run.end - run.start));
            const int cells = AdvanceColumns(piece, 0, piece.size(), column, model.GetTabSize()) - column;
            const int runLeft = rect.x + (column - offset) * charWidth;
            const int runRight = runLeft + cells * charWidth;
            if (runRight > rect.x && runLeft < rect.GetRight() + 1) {
                const ColorRef back = run.selected ? m_view.GetColor(COLORINDEX_SELBKGND) : background;
                const ColorRef fore = run.selected ? m_view.GetColor(COLORINDEX_SELTEXT)
                                                   : (textColor != kNoColor ? textColor : m_view.GetColor(run.colorIndex));
                dc.SetBrush(wxBrush(ToColour(back)));
                const int left = std::max(runLeft, rect.x);
                dc.DrawRectangle(left, rect.y, std::min(runRight, rect.GetRight() + 1) - left, rect.height);
                const bool italic = m_view.GetItalic(run.colorIndex);
                const bool bold = m_view.GetBold(run.colorIndex);
                dc.SetFont(GetFont(italic, bold));
                dc.SetTextForeground(ToColour(fore));
                wxDCClipper clip(dc, rect);
                DrawText(dc, rect, (italic ? 1 : 0) + (bold ? 2 : 0), offset, piece, column);
            }
            column += cells;
            if (runLeft >= rect.GetRight() + 1) break;
        }
        // Columns beyond the drawn runs still count for the fill below.
        column = model.GetLineActualLength(line);
    }
    x = rect.x + (column - offset) * charWidth;
    if (lineEndSelected) {
        dc.SetBrush(wxBrush(ToColour(m_view.GetColor(COLORINDEX_SELBKGND))));
        const int left = std::max(x, rect.x);
        if (x + charWidth > rect.x) dc.DrawRectangle(left, rect.y, x + charWidth - left, rect.height);
        x += charWidth;
    }
    x = std::max(x, rect.x);
    if (x <= rect.GetRight()) {
        dc.SetBrush(wxBrush(ToColour(fillAfter ? background : m_view.GetColor(COLORINDEX_WHITESPACE))));
        dc.DrawRectangle(x, rect.y, rect.GetRight() + 1 - x, rect.height);
    }
}

} // namespace brindle
