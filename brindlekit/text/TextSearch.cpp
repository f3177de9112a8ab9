// Text search in a view: matching within a line, searching a block of lines in
// either direction, and Find Next / Find Previous.

#include "brindlekit/text/TextSearch.h"

#include "brindlekit/text/CharClass.h"
#include "brindlekit/text/TextViewModel.h"
#include "platform/ui/UIServices.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brindle {

std::string NotFoundMessage(std::string_view what)
{
    return "Cannot find string\"" + std::string(what) + "\"";
}

std::string UpperCaseAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

namespace {

bool IsWholeWordAt(std::string_view text, std::size_t pos, std::size_t length)
{
    if (pos > 0 && IsWordChar(static_cast<unsigned char>(text[pos - 1]))) return false;
    const std::size_t after = pos + length;
    if (after < text.size() && IsWordChar(static_cast<unsigned char>(text[after]))) return false;
    return true;
}

bool Before(const CPoint& a, const CPoint& b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

} // namespace

int MatchInString(std::string_view text, std::string_view what, bool wholeWord, int from)
{
    if (from < 0) from = 0;
    std::size_t pos = static_cast<std::size_t>(from);
    while (pos <= text.size()) {
        pos = text.find(what, pos);
        if (pos == std::string_view::npos) return -1;
        if (!wholeWord || IsWholeWordAt(text, pos, what.size())) return static_cast<int>(pos);
        ++pos; // a rejected occurrence: look again one character further
    }
    return -1;
}

namespace {

// ASCII upper case of every byte; other bytes map to themselves.
struct FoldTable {
    unsigned char upper[256];
    constexpr FoldTable() : upper()
    {
        for (int c = 0; c < 256; ++c) upper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
};
constexpr FoldTable kFold;

inline unsigned char Fold(char c)
{
    return kFold.upper[static_cast<unsigned char>(c)];
}

// The first byte at or after `from` that equals c, or size.
inline std::size_t FindByte(std::string_view text, std::size_t from, char c)
{
    if (from >= text.size()) return text.size();
    const void* p = std::memchr(text.data() + from, c, text.size() - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - text.data()) : text.size();
}

// The first byte at or after `from` that equals a or b, or size; 16 bytes a step with SSE2.
inline std::size_t FindEitherByte(std::string_view text, std::size_t from, char a, char b)
{
    const std::size_t size = text.size();
    const char* data = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, va), _mm_cmpeq_epi8(chunk, vb)));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < size; ++i)
        if (data[i] == a || data[i] == b) return i;
    return size;
}

} // namespace

int MatchInStringNoCase(std::string_view text, std::string_view what, bool wholeWord, int from)
{
    if (from < 0) from = 0;
    const std::size_t n = what.size();
    if (n == 0) return MatchInString(text, what, wholeWord, from);
    if (n > text.size()) return -1;
    const std::size_t last = text.size() - n; // the last possible start
    // Candidates are found by scanning for both cases of the first byte; the rest is
    // compared through the fold table.
    const char upper = static_cast<char>(Fold(what[0]));
    const char lower = upper >= 'A' && upper <= 'Z' ? static_cast<char>(upper + 32) : upper;
    // Only the bytes that can start a match are scanned.
    const std::string_view starts = text.substr(0, last + 1);
    std::size_t pos = static_cast<std::size_t>(from);
    while (true) {
        pos = lower == upper ? FindByte(starts, pos, upper) : FindEitherByte(starts, pos, upper, lower);
        if (pos > last) return -1;
        std::size_t k = 1;
        while (k < n && Fold(text[pos + k]) == Fold(what[k])) ++k;
        if (k == n && (!wholeWord || IsWholeWordAt(text, pos, n))) return static_cast<int>(pos);
        ++pos;
    }
}

int LastMatchInString(std::string_view text, std::string_view what, bool wholeWord, int limit, bool ignoreCase)
{
    int last = -1;
    int from = 0;
    while (true) {
        const int k = ignoreCase ? MatchInStringNoCase(text, what, wholeWord, from)
                                 : MatchInString(text, what, wholeWord, from);
        if (k < 0 || k >= limit) break;
        last = k;
        from = k + 1;
    }
    return last;
}

bool TextViewModel::FindTextInBlock(std::string_view what, const CPoint& start, const CPoint& blockBegin,
                                    const CPoint& blockEnd, std::uint32_t flags, bool wrap, CPoint* found) const
{
    if (blockBegin == blockEnd) return false;
    const bool matchCase = (flags & FIND_MATCH_CASE) != 0;
    const bool wholeWord = (flags & FIND_WHOLE_WORD) != 0;
    // Lines are searched in place: no copy, no upper-cased duplicate.
    const std::string_view key = what;
    auto lineText = [&](int line) { return GetLineText(line); };
    auto match = [&](std::string_view text, int from) {
        return matchCase ? MatchInString(text, key, wholeWord, from) : MatchInStringNoCase(text, key, wholeWord, from);
    };
    const int lineCount = GetLineCount();
    CPoint p = start;
    if (Before(p, blockBegin)) p = blockBegin;

    if (!(flags & FIND_DIRECTION_UP)) {
        const int endLine = std::min(blockEnd.y, lineCount - 1);
        for (int pass = 0; pass < 2; ++pass) {
            while (p.y <= endLine) {
                const std::string_view text = lineText(p.y);
                if (p.x < static_cast<int>(text.size())) {
                    const int k = match(text, p.x);
                    if (k >= 0) {
                        // The whole match must lie inside the block.
                        if (p.y < blockEnd.y || k + static_cast<int>(key.size()) <= blockEnd.x) {
                            if (found) *found = CPoint(k, p.y);
                            return true;
                        }
                        break;
                    }
                }
                p = CPoint(0, p.y + 1);
            }
            if (!wrap) return false;
            p = blockBegin;
        }
        return false;
    }

    // Upwards: the nearest occurrence that starts before p, then earlier lines from
    // their ends; with wrap, on from the last line back down to p's line.
    const int startLine = std::min(p.y, lineCount - 1);
    for (int line = startLine; line >= 0; --line) {
        const std::string_view text = lineText(line);
        const int limit = line == startLine ? p.x : static_cast<int>(text.size()) + 1;
        const int k = LastMatchInString(text, key, wholeWord, limit, !matchCase);
        if (k >= 0) {
            if (found) *found = CPoint(k, line);
            return true;
        }
    }
    if (!wrap) return false;
    for (int line = lineCount - 1; line >= startLine; --line) {
        const std::string_view text = lineText(line);
        const int k = LastMatchInString(text, key, wholeWord, static_cast<int>(text.size()) + 1, !matchCase);
        if (k >= 0) {
            if (found) *found = CPoint(k, line);
            return true;
        }
    }
    return false;
}

bool TextViewModel::FindText(std::string_view what, const CPoint& start, std::uint32_t flags, bool wrap,
                             CPoint* found) const
{
    return FindTextInBlock(what, start, CPoint(0, 0), LastTextPos(), flags, wrap, found);
}

void TextViewModel::SetLastSearch(const std::string& what, std::uint32_t flags)
{
    m_bLastSearch = true;
    m_strLastFindWhat = what;
    m_dwLastSearchFlags = flags;
}

bool TextViewModel::SearchRepeat(std::uint32_t flags)
{
    if (!m_bLastSearch) return false;
    // Searching up starts before the current match, not at its end.
    CPoint start = m_ptCursorPos;
    if ((flags & FIND_DIRECTION_UP) && IsSelection()) {
        CPoint end;
        GetSelection(start, end);
    }
    CPoint found;
    if (FindText(m_strLastFindWhat, start, flags, true, &found)) {
        HighlightText(found, static_cast<int>(m_strLastFindWhat.size()));
        return true;
    }
    UIServices().MessageBox(NotFoundMessage(m_strLastFindWhat), MsgButtons::Ok, MsgIcon::Information);
    return false;
}

void TextViewModel::OnEditRepeat()
{
    SearchRepeat(m_dwLastSearchFlags);
}

void TextViewModel::OnEditFindPrevious()
{
    SearchRepeat(m_dwLastSearchFlags ^ FIND_DIRECTION_UP);
}

} // namespace brindle
