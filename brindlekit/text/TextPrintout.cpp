#include "brindlekit/text/TextPrintout.h"

#include "brindlekit/text/LineRendering.h"
#include "brindlekit/text/TextBuffer.h"

#include <wx/dc.h>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace brindle {

namespace {

// The character a byte sequence prints as, as on screen: bytes that are no UTF-8
// stand for their Latin-1 characters; control characters print as a replacement mark.
char32_t PrintedChar(std::string_view text, std::size_t i, int& length)
{
    const CellGlyph glyph = GlyphAt(text, i);
    length = glyph.length;
    return glyph.hexBox ? U'\uFFFD' : glyph.code;
}

wxString PrintableText(std::string_view text)
{
    wxString result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        int length = 1;
        result += wxUniChar(static_cast<unsigned>(PrintedChar(text, i, length)));
        i += static_cast<std::size_t>(length);
    }
    return result;
}

// Widths of characters in the printer font, each measured on the DC once.
class CharWidthCache {
public:
    explicit CharWidthCache(wxDC& dc) : m_dc(dc) { m_ascii.fill(-1); }

    int Width(std::string_view text)
    {
        int width = 0;
        for (std::size_t i = 0; i < text.size();) {
            int length = 1;
            width += Of(PrintedChar(text, i, length));
            i += static_cast<std::size_t>(length);
        }
        return width;
    }

private:
    int Of(char32_t code)
    {
        if (code < m_ascii.size()) {
            int& width = m_ascii[code];
            if (width < 0) width = Measure(code);
            return width;
        }
        const auto it = m_other.find(code);
        if (it != m_other.end()) return it->second;
        return m_other[code] = Measure(code);
    }
    int Measure(char32_t code) { return m_dc.GetTextExtent(wxString(wxUniChar(static_cast<unsigned>(code)))).x; }

    wxDC& m_dc;
    std::array<int, 128> m_ascii;
    std::unordered_map<char32_t, int> m_other;
};

} // namespace

CTextPrintout::CTextPrintout(const CTextBuffer& buffer, int tabSize, const wxFont& viewFont, const wxString& title)
    : wxPrintout(title), m_font(ScaledPrintFont(viewFont))
{
    const int count = buffer.GetLineCount();
    m_lines.reserve(static_cast<std::size_t>(count));
    for (int line = 0; line < count; ++line) {
        const std::string_view text(buffer.GetLineChars(line), static_cast<std::size_t>(buffer.GetLineLength(line)));
        m_lines.push_back(ExpandChars(text, 0, static_cast<int>(text.size()), tabSize, false));
    }
}

wxFont CTextPrintout::ScaledPrintFont(const wxFont& viewFont)
{
    wxFont font = viewFont.IsOk() ? viewFont : wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE));
    font.SetFractionalPointSize(std::max(font.GetFractionalPointSize() / 2, kMinPrintPoints));
    return font;
}

wxString CTextPrintout::GetPrintHeaderText(int) const { return {}; }

wxString CTextPrintout::GetPrintFooterText(int page) const
{
    return wxString::FromUTF8(PageFooterText(page, m_layout.GetPageCount()));
}

bool CTextPrintout::PrepareDC()
{
    wxDC* dc = GetDC();
    if (!dc) return false;
    // Logical units of the size of a screen pixel, from the paper's top left corner,
    // alike on the printer and in the preview.
    MapScreenSizeToPaper();
    dc->SetFont(m_font);
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    return true;
}

void CTextPrintout::EnsureLayout()
{
    if (m_laidOut || !PrepareDC()) return;
    wxDC& dc = *GetDC();
    CharWidthCache widths(dc);
    PrintMeasure measure;
    measure.lineHeight = std::max(1, dc.GetTextExtent("X").y);
    measure.width = [&widths](std::string_view text) { return widths.Width(text); };

    const wxRect page = GetLogicalPageRect();
    int ppiX = 0, ppiY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    const PageMargins margins = MarginsToDevice(ReadPageMargins(), ppiX / 25.4, ppiY / 25.4);
    m_layout.Layout(m_lines, measure, {page.x, page.y, page.width, page.height}, margins, m_header, m_footer);
    m_laidOut = true;
}

void CTextPrintout::OnPreparePrinting() { EnsureLayout(); }

bool CTextPrintout::HasPage(int page)
{
    EnsureLayout();
    return page >= 1 && page <= std::max(1, m_layout.GetPageCount());
}

void CTextPrintout::GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo)
{
    EnsureLayout();
    *minPage = 1;
    *maxPage = std::max(1, m_layout.GetPageCount());
    // Before the job has a DC the pages are not counted yet: no page range then.
    *selPageFrom = m_laidOut ? 1 : 0;
    *selPageTo = m_laidOut ? *maxPage : 0;
}

bool CTextPrintout::OnPrintPage(int page)
{
    EnsureLayout();
    if (!m_laidOut || !PrepareDC()) return false;
    wxDC& dc = *GetDC();
    auto drawCentred = [&](const wxString& text, const PrintRect& band, int y) {
        if (text.empty() || band.height == 0) return;
        const int width = dc.GetTextExtent(text).x;
        dc.DrawText(text, band.x + (band.width - width) / 2, y);
    };
    if (m_layout.HeaderBand().height > 0)
        drawCentred(GetPrintHeaderText(page), m_layout.HeaderBand(), m_layout.HeaderTextTop());
    if (m_layout.FooterBand().height > 0)
        drawCentred(GetPrintFooterText(page), m_layout.FooterBand(), m_layout.FooterTextTop());
    const int x = m_layout.TextRect().x;
    for (const TextPrintLayout::Row& row : m_layout.PageRows(page))
        if (!row.text.empty()) dc.DrawText(PrintableText(row.text), x, row.y);
    return true;
}

void CTextPrintout::OnEndPrinting()
{
    // The next job lays out again, with the margins of its time. A preview renders
    // every page it shows as a job of its own and keeps the layout it counted.
    if (!IsPreview()) {
        m_layout.Reset();
        m_laidOut = false;
    }
    wxPrintout::OnEndPrinting();
}

} // namespace brindle
