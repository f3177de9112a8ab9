#include "app/document/CrLfBreaks.h"

namespace {

// Passes the piece on to append with each line feed that does not follow a
// carriage return (previous: the byte before the piece) written as CR LF.
template <class Append> void WriteWithCrLf(std::string_view piece, char previous, const Append& append)
{
    std::size_t start = 0;
    for (std::size_t lf = piece.find('\n'); lf != std::string_view::npos; lf = piece.find('\n', lf + 1)) {
        const char before = lf > 0 ? piece[lf - 1] : previous;
        if (before == '\r') continue;
        append(piece.substr(start, lf - start));
        append("\r\n");
        start = lf + 1;
    }
    append(piece.substr(start));
}

} // namespace

void CrLfBreakWriter::Write(std::string_view piece)
{
    if (piece.empty()) return;
    WriteWithCrLf(piece, m_previous, [this](std::string_view part) { m_out.Append(part); });
    m_previous = piece.back();
}

std::string WithCrLfAfterCr(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

std::string WithCrLfBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    WriteWithCrLf(text, 0, [&out](std::string_view part) { out += part; });
    return out;
}
