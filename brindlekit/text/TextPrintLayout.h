#pragma once

#include "platform/Export.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// Page margins. Stored in hundredths of a millimetre; MarginsToDevice turns them
// into the units of a printer's drawing surface.
struct PageMargins {
    int left = 1000;
    int right = 1000;
    int top = 1000;
    int bottom = 1000;
};

// The margins of the "Settings\PageSetup" profile section (10 mm each by default),
// read afresh for every print job.
BRINDLEKIT_API PageMargins ReadPageMargins();
BRINDLEKIT_API bool WritePageMargins(const PageMargins& margins);
BRINDLEKIT_API PageMargins MarginsToDevice(const PageMargins& hundredthsOfMm, double unitsPerMmX, double unitsPerMmY);

// A rectangle of the printer's drawing surface.
struct PrintRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Bottom() const { return y + height; }
};

// Measures text as it will be printed: the width of a string and the height of a line.
struct PrintMeasure {
    std::function<int(std::string_view)> width;
    int lineHeight = 1;
};

// The footer of a page: "页 <page>/<count>".
BRINDLEKIT_API std::string PageFooterText(int page, int pageCount);

// How the lines of a text fall on printed pages, without a window or a printer.
// Each line (tabs already expanded) is word-wrapped at the text width; a word wider
// than that is broken between characters, so no character is lost. A line goes to
// the next page whole when it does not fit on the current one; a line taller than a
// page starts a page of its own and continues on as many pages as it needs, and the
// next line starts a new page. Pages are numbered from 1; an empty text is one page
// with one empty line.
//
// The header band (when on) takes one and a half lines at the top of the text area;
// the footer band (when on) the same at its bottom, inside the margins, so that the
// footer stays on the printable area whatever the margins are.
class BRINDLEKIT_API TextPrintLayout {
public:
    struct Row {
        int line = 0;
        std::string_view text; // a view into the layout's copy of the line
        int y = 0;             // top of the row on the page
    };

    void Layout(std::vector<std::string> lines, const PrintMeasure& measure, const PrintRect& printable,
                const PageMargins& deviceMargins, bool header, bool footer);
    void Reset();

    // ---- Results ----
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int PageFirstLine(int page) const;
    std::vector<Row> PageRows(int page) const;
    // Printed rows of one line (1 for an empty line).
    int LineRowCount(int line) const;
    int GetLineHeight() const { return m_lineHeight; }
    const PrintRect& TextRect() const { return m_text; }
    // The bands; zero height when switched off.
    const PrintRect& HeaderBand() const { return m_header; }
    const PrintRect& FooterBand() const { return m_footer; }
    // Where a one-line header or footer text is drawn: the top of its band, the
    // bottom line of its band.
    int HeaderTextTop() const { return m_header.y; }
    int FooterTextTop() const { return m_footer.Bottom() - m_lineHeight; }

private:
    struct Span {
        int line;
        int begin;
        int end;
    };
    void WrapLine(int line, int width, const PrintMeasure& measure);
    void BreakPages(int rowsPerPage);

    std::vector<std::string> m_lines;
    std::vector<Span> m_rows;      // every printed row in order
    std::vector<int> m_lineFirstRow; // first row of each line
    std::vector<int> m_pages;      // first row of each page
    int m_lineHeight = 0;
    PrintRect m_text, m_header, m_footer;
};

} // namespace brindle
