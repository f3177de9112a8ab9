#include "brindlekit/text/CharWidth.h"

#include <algorithm>
#include <iterator>

namespace brindle {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth code points, sorted and disjoint: CJK ideographs and
// their radicals, symbols and compatibility forms, kana, bopomofo, Hangul, Yi, the
// fullwidth ASCII and currency forms, Tangut and kana supplements, and the emoji and
// pictographs that are shown wide by default.
constexpr Range kWideRanges[] = {
    {0x1100, 0x115F},   // Hangul Jamo leading consonants
    {0x231A, 0x231B},   // watch, hourglass
    {0x2329, 0x232A},   // angle brackets
    {0x23E9, 0x23EC},   {0x23F0, 0x23F0},   {0x23F3, 0x23F3},
    {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},
    {0x26C4, 0x26C5},   {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},
    {0x26F2, 0x26F3},   {0x26F5, 0x26F5},   {0x26FA, 0x26FA},   {0x26FD, 0x26FD},
    {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},   {0x274C, 0x274C},
    {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},
    {0x2B55, 0x2B55},
    {0x2E80, 0x2E99},   // CJK radicals supplement
    {0x2E9B, 0x2EF3},
    {0x2F00, 0x2FD5},   // Kangxi radicals
    {0x2FF0, 0x2FFF},   // ideographic description characters
    {0x3000, 0x303E},   // ideographic space, CJK symbols and punctuation
    {0x3041, 0x3096},   // Hiragana
    {0x3099, 0x30FF},   // Katakana
    {0x3105, 0x312F},   // Bopomofo
    {0x3131, 0x318E},   // Hangul compatibility Jamo
    {0x3190, 0x31E3},   // Kanbun, Bopomofo extended, CJK strokes
    {0x31EF, 0x321E},   // Katakana extension, enclosed CJK
    {0x3220, 0x3247},
    {0x3250, 0x4DBF},   // enclosed CJK, compatibility, CJK extension A
    {0x4E00, 0x9FFF},   // CJK unified ideographs
    {0xA000, 0xA48C},   // Yi syllables
    {0xA490, 0xA4C6},   // Yi radicals
    {0xA960, 0xA97C},   // Hangul Jamo extended A
    {0xAC00, 0xD7A3},   // Hangul syllables
    {0xF900, 0xFAFF},   // CJK compatibility ideographs
    {0xFE10, 0xFE19},   // vertical forms
    {0xFE30, 0xFE52},   // CJK compatibility forms, small forms
    {0xFE54, 0xFE66},
    {0xFE68, 0xFE6B},
    {0xFF01, 0xFF60},   // fullwidth ASCII variants
    {0xFFE0, 0xFFE6},   // fullwidth currency and signs
    {0x16FE0, 0x16FE4}, {0x16FF0, 0x16FF1},
    {0x17000, 0x187F7}, // Tangut
    {0x18800, 0x18CD5}, // Tangut components, Khitan
    {0x18D00, 0x18D08},
    {0x1AFF0, 0x1AFF3}, {0x1AFF5, 0x1AFFB}, {0x1AFFD, 0x1AFFE},
    {0x1B000, 0x1B122}, // kana supplement and extended A
    {0x1B132, 0x1B132}, {0x1B150, 0x1B152}, {0x1B155, 0x1B155}, {0x1B164, 0x1B167},
    {0x1B170, 0x1B2FB}, // Nushu
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A},
    {0x1F200, 0x1F202}, {0x1F210, 0x1F23B}, {0x1F240, 0x1F248}, {0x1F250, 0x1F251},
    {0x1F260, 0x1F265},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC},
    {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C}, {0x1FA80, 0x1FA89},
    {0x1FA8F, 0x1FAC6}, {0x1FACE, 0x1FADC}, {0x1FADF, 0x1FAE9}, {0x1FAF0, 0x1FAF8},
    {0x20000, 0x2FFFD}, // CJK extensions B to F, compatibility supplement
    {0x30000, 0x3FFFD}, // CJK extensions G and H
};

constexpr bool SortedAndDisjoint()
{
    for (std::size_t i = 0; i < std::size(kWideRanges); ++i) {
        if (kWideRanges[i].first > kWideRanges[i].last) return false;
        if (i > 0 && kWideRanges[i - 1].last >= kWideRanges[i].first) return false;
    }
    return true;
}
static_assert(SortedAndDisjoint(), "the wide ranges must be sorted and disjoint for the binary search");

} // namespace

bool IsWideCodePoint(char32_t code)
{
    if (code < kWideRanges[0].first || code > std::end(kWideRanges)[-1].last) return false;
    // The first range whose end is at or after the code point.
    const Range* it = std::lower_bound(std::begin(kWideRanges), std::end(kWideRanges), code,
                                       [](const Range& r, char32_t c) { return r.last < c; });
    return it != std::end(kWideRanges) && it->first <= code;
}

char32_t DecodeUtf8At(std::string_view text, std::size_t i, int& length)
{
    length = 1;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) return c;
    int extra = 0;
    char32_t code = 0;
    // Bounds of the second byte exclude overlong forms, surrogates and values above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        code = c & 0x0F;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        code = c & 0x07;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return kInvalidUtf8;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) return kInvalidUtf8;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if (k == 1 ? (cc < low || cc > high) : (cc & 0xC0) != 0x80) return kInvalidUtf8;
        code = (code << 6) | (cc & 0x3F);
    }
    length = extra + 1;
    return code;
}

int AdvanceColumns(std::string_view text, std::size_t from, std::size_t to, int column, int tabSize)
{
    to = std::min(to, text.size());
    if (tabSize < 1) tabSize = 1;
    for (std::size_t i = from; i < to;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\t') {
            column += tabSize - column % tabSize;
            ++i;
        } else if (c < 0x80) {
            ++column;
            ++i;
        } else {
            int length = 1;
            column += CodePointCells(DecodeUtf8At(text, i, length));
            i += static_cast<std::size_t>(length);
        }
    }
    return column;
}

} // namespace brindle
