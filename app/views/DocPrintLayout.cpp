#include "app/views/DocPrintLayout.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr size_t kLongestPathInHeader = 68;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CharCount(std::string_view text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

} // namespace

DocPrintLayout::DocPrintLayout(std::string_view text, std::string pathName, std::string title, int charsPerLine,
                               int linesPerPage)
    : m_pathName(std::move(pathName)), m_title(std::move(title)), m_charsPerLine(std::max(charsPerLine, 1)),
      m_linesPerPage(std::max(linesPerPage, 1))
{
    const size_t width = static_cast<size_t>(std::max(charsPerLine - 8, 1));
    const auto addLine = [&](std::string_view line) {
        // A long line goes on after each cut; nothing is dropped at a cut. One
        // pass over the line, so that a document on one line splits quickly.
        size_t chars = 0, begin = 0;
        for (size_t at = 0; at < line.size(); ++at) {
            if (IsContinuationByte(line[at])) continue;
            if (chars == width) {
                m_lines.emplace_back(line.substr(begin, at - begin));
                begin = at;
                chars = 0;
            }
            ++chars;
        }
        m_lines.emplace_back(line.substr(begin));
    };
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool lineFeedAfterReturn = text[i] == '\n' && i > 0 && text[i - 1] == '\r';
        if (text[i] == '\r' || (text[i] == '\n' && !lineFeedAfterReturn)) {
            addLine(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) addLine(text.substr(start));
}

int DocPrintLayout::PageCount() const
{
    const int lines = static_cast<int>(m_lines.size());
    return std::max(1, (lines + m_linesPerPage - 1) / m_linesPerPage);
}

std::string DocPrintLayout::Header(int page) const
{
    std::string header = CharCount(m_pathName) > kLongestPathInHeader ? m_title : m_pathName;
    header.erase(header.find_last_not_of(' ') + 1);
    const std::string number = "Page " + std::to_string(page);
    const size_t used = CharCount(header) + number.size();
    if (used < static_cast<size_t>(m_charsPerLine)) header.append(m_charsPerLine - used, ' ');
    return header + number;
}

std::vector<std::string> DocPrintLayout::PageLines(int page) const
{
    std::vector<std::string> printed;
    if (page < 1) return printed;
    const size_t first = static_cast<size_t>(page - 1) * m_linesPerPage;
    for (size_t i = first; i < m_lines.size() && i < first + m_linesPerPage; ++i) {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "%.2i> ", static_cast<int>(i - first));
        std::string line = prefix + m_lines[i];
        std::replace_if(line.begin(), line.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
        printed.push_back(std::move(line));
    }
    return printed;
}
