#include "app/document/CrLfBreaks.h"

void CrLfBreakWriter::Write(std::string_view piece)
{
    if (piece.empty()) return;
    std::size_t start = 0;
    for (std::size_t lf = piece.find('\n'); lf != std::string_view::npos; lf = piece.find('\n', lf + 1)) {
        const char before = lf > 0 ? piece[lf - 1] : m_previous;
        if (before == '\r') continue;
        m_out.Append(piece.substr(start, lf - start));
        m_out.Append("\r\n");
        start = lf + 1;
    }
    m_out.Append(piece.substr(start));
    m_previous = piece.back();
}
