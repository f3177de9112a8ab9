#pragma once

#include "platform/Export.h"

#include <cstddef>
#include <string_view>

namespace brindle {

// Screen cells of text in the fixed-pitch grid. A character takes one cell, an East
// Asian wide or fullwidth character two; a byte that does not begin a valid UTF-8
// sequence counts as a character of its own (one cell). A tab reaches the next stop.

// Marks a byte that does not begin a valid UTF-8 sequence.
constexpr char32_t kInvalidUtf8 = 0xFFFFFFFF;

// Decodes the UTF-8 sequence at text[i] (i < text.size()); its byte length goes to
// `length`. Overlong forms, surrogates, values above U+10FFFF and truncated sequences
// are invalid: the result is kInvalidUtf8 with length 1.
BRINDLEKIT_API char32_t DecodeUtf8At(std::string_view text, std::size_t i, int& length);

// Whether a code point is East Asian wide or fullwidth (two cells).
BRINDLEKIT_API bool IsWideCodePoint(char32_t code);

// Cells of a code point outside tab handling: 2 for wide ones, else 1.
inline int CodePointCells(char32_t code)
{
    return code != kInvalidUtf8 && IsWideCodePoint(code) ? 2 : 1;
}

// Cells of the character at text[i], whose byte length goes to `length`; ASCII is
// decided without decoding. A tab is one cell here (callers expand it).
inline int CellsAt(std::string_view text, std::size_t i, int& length)
{
    if (static_cast<unsigned char>(text[i]) < 0x80) {
        length = 1;
        return 1;
    }
    return CodePointCells(DecodeUtf8At(text, i, length));
}

// The column reached after text[from, to) when text[from] sits at `column`, with tab
// stops every `tabSize` columns. A character that starts before `to` counts whole.
BRINDLEKIT_API int AdvanceColumns(std::string_view text, std::size_t from, std::size_t to, int column, int tabSize);

} // namespace brindle
