#include "brindlekit/text/TextPrintLayout.h"

#include "brindlekit/text/CharWidth.h"
#include "platform/settings/Profile.h"

#include <algorithm>
#include <cmath>

namespace brindle {

namespace {

constexpr const char* kPageSetupSection = "Settings\\PageSetup";

// Byte offsets where the characters of a line begin, and its length at the end.
std::vector<int> CharStarts(std::string_view text)
{
    std::vector<int> starts;
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(static_cast<int>(i));
        int length = 1;
        CellsAt(text, i, length);
        i += static_cast<std::size_t>(length);
    }
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

} // namespace

PageMargins ReadPageMargins()
{
    const PageMargins defaults;
    PageMargins margins;
    margins.left = Profile::GetProfileInt(kPageSetupSection, "LeftMargin", defaults.left);
    margins.right = Profile::GetProfileInt(kPageSetupSection, "RightMargin", defaults.right);
    margins.top = Profile::GetProfileInt(kPageSetupSection, "TopMargin", defaults.top);
    margins.bottom = Profile::GetProfileInt(kPageSetupSection, "BottomMargin", defaults.bottom);
    return margins;
}

bool WritePageMargins(const PageMargins& margins)
{
    bool ok = Profile::WriteProfileInt(kPageSetupSection, "LeftMargin", margins.left);
    ok = Profile::WriteProfileInt(kPageSetupSection, "RightMargin", margins.right) && ok;
    ok = Profile::WriteProfileInt(kPageSetupSection, "TopMargin", margins.top) && ok;
    return Profile::WriteProfileInt(kPageSetupSection, "BottomMargin", margins.bottom) && ok;
}

PageMargins MarginsToDevice(const PageMargins& m, double unitsPerMmX, double unitsPerMmY)
{
    // A negative margin (a hand-edited setting) counts as none.
    auto convert = [](int hundredths, double perMm) {
        return static_cast<int>(std::lround(std::max(0, hundredths) * perMm / 100.0));
    };
    return {convert(m.left, unitsPerMmX), convert(m.right, unitsPerMmX), convert(m.top, unitsPerMmY),
            convert(m.bottom, unitsPerMmY)};
}

std::string PageFooterText(int page, int pageCount)
{
    return "页 " + std::to_string(page) + "/" + std::to_string(pageCount);
}

void TextPrintLayout::Reset()
{
    m_lines.clear();
    m_rows.clear();
    m_lineFirstRow.clear();
    m_pages.clear();
    m_lineHeight = 0;
    m_text = m_header = m_footer = PrintRect();
}

void TextPrintLayout::Layout(std::vector<std::string> lines, const PrintMeasure& measure, const PrintRect& printable,
                             const PageMargins& margins, bool header, bool footer)
{
    Reset();
    m_lines = std::move(lines);
    if (m_lines.empty()) m_lines.emplace_back();
    const int h = std::max(1, measure.lineHeight);
    const int band = h + h / 2;
    m_lineHeight = h;

    const int left = printable.x + margins.left;
    const int right = std::max(left, printable.x + printable.width - margins.right);
    int top = printable.y + margins.top;
    int bottom = std::max(top, printable.Bottom() - margins.bottom);
    if (header) {
        m_header = {left, top, right - left, band};
        top += band;
    }
    if (footer) {
        bottom -= band;
        m_footer = {left, bottom, right - left, band};
    }
    m_text = {left, top, right - left, std::max(0, bottom - top)};

    m_lineFirstRow.reserve(m_lines.size());
    for (int line = 0; line < static_cast<int>(m_lines.size()); ++line) WrapLine(line, m_text.width, measure);
    BreakPages(m_text.height / h);
}

void TextPrintLayout::WrapLine(int line, int width, const PrintMeasure& measure)
{
    m_lineFirstRow.push_back(static_cast<int>(m_rows.size()));
    const std::string_view text = m_lines[static_cast<std::size_t>(line)];
    const int length = static_cast<int>(text.size());
    if (length == 0 || measure.width(text) <= width) {
        m_rows.push_back({line, 0, length});
        return;
    }
    const std::vector<int> starts = CharStarts(text);
    auto fits = [&](int begin, int end) {
        return measure.width(text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin))) <=
               width;
    };
    std::size_t first = 0; // index into starts of the row's first character
    while (starts[first] < length) {
        const int begin = starts[first];
        std::size_t last = starts.size() - 1;
        if (!fits(begin, length)) {
            // The most characters that fit, at least one.
            std::size_t lo = first + 1, hi = last;
            while (lo < hi) {
                const std::size_t mid = (lo + hi + 1) / 2;
                if (fits(begin, starts[mid]))
                    lo = mid;
                else
                    hi = mid - 1;
            }
            last = lo;
            int end = starts[last];
            if (end == length) {
                // One character that does not fit alone: it takes the row.
            } else if (text[static_cast<std::size_t>(end)] == ' ') {
                // The spaces at a break stay at the end of the row.
                while (end < length && text[static_cast<std::size_t>(end)] == ' ') ++end;
            } else {
                // Break after the last space of the row, unless the row is one word.
                const std::size_t space = text.substr(0, static_cast<std::size_t>(end)).find_last_of(' ');
                if (space != std::string_view::npos && static_cast<int>(space) >= begin &&
                    text.find_first_not_of(' ', static_cast<std::size_t>(begin)) < space)
                    end = static_cast<int>(space) + 1;
            }
            last = static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), end) - starts.begin());
        }
        m_rows.push_back({line, begin, starts[last]});
        first = last;
    }
}

void TextPrintLayout::BreakPages(int rowsPerPage)
{
    const int step = std::max(1, rowsPerPage);
    int used = 0; // rows on the current page
    for (int line = 0; line < static_cast<int>(m_lines.size()); ++line) {
        const int firstRow = m_lineFirstRow[static_cast<std::size_t>(line)];
        const int rows = LineRowCount(line);
        if (line == 0 || used + rows > rowsPerPage) {
            m_pages.push_back(firstRow);
            used = 0;
        }
        if (rows <= rowsPerPage) {
            used += rows;
            continue;
        }
        for (int r = step; r < rows; r += step) m_pages.push_back(firstRow + r);
        used = rowsPerPage; // the next line starts a page of its own
    }
}

int TextPrintLayout::LineRowCount(int line) const
{
    const std::size_t next = static_cast<std::size_t>(line) + 1;
    const int end = next < m_lineFirstRow.size() ? m_lineFirstRow[next] : static_cast<int>(m_rows.size());
    return end - m_lineFirstRow[static_cast<std::size_t>(line)];
}

int TextPrintLayout::PageFirstLine(int page) const
{
    return m_rows[static_cast<std::size_t>(m_pages[static_cast<std::size_t>(page - 1)])].line;
}

std::vector<TextPrintLayout::Row> TextPrintLayout::PageRows(int page) const
{
    std::vector<Row> rows;
    if (page < 1 || page > GetPageCount()) return rows;
    const int first = m_pages[static_cast<std::size_t>(page - 1)];
    const int end = page < GetPageCount() ? m_pages[static_cast<std::size_t>(page)] : static_cast<int>(m_rows.size());
    int y = m_text.y;
    for (int r = first; r < end; ++r, y += m_lineHeight) {
        const Span& span = m_rows[static_cast<std::size_t>(r)];
        const std::string_view text = m_lines[static_cast<std::size_t>(span.line)];
        rows.push_back({span.line,
                        text.substr(static_cast<std::size_t>(span.begin), static_cast<std::size_t>(span.end - span.begin)),
                        y});
    }
    return rows;
}

} // namespace brindle
