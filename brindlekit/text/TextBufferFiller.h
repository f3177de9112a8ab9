#pragma once

#include "brindlekit/text/TextBuffer.h"
#include "platform/Export.h"

#include <memory>
#include <string>
#include <string_view>

namespace brindle {

class LineArena;

// Puts text that arrives in pieces, such as a serialiser's output, into a buffer
// fresh from InitNew (one empty line, no history). The outcome is that of one
// InsertText(source, 0, 0, wholeText, endLine, endChar, EA_UNKNOWN): the same
// lines, notification and modified state. But the whole text is never held in one
// string: each line's bytes are copied once, into storage the lines share.
//
// Line breaks are InsertText's: CR, optionally followed by LF, also when the two
// come in different pieces; a lone LF is an ordinary character. Until Finish the
// buffer is not touched, so a failure (std::bad_alloc, std::length_error for a
// line or a line count the buffer cannot hold) leaves it as it was.
class BRINDLEKIT_API CTextBufferFiller {
public:
    // Raises CTextIndexError unless the buffer holds one empty line and no history.
    explicit CTextBufferFiller(CTextBuffer& buffer);
    ~CTextBufferFiller();
    CTextBufferFiller(const CTextBufferFiller&) = delete;
    CTextBufferFiller& operator=(const CTextBufferFiller&) = delete;

    void Append(std::string_view text);
    // Gives the lines to the buffer, then tells its views and clears its modified
    // state as InsertText does. endLine/endChar receive the point after the text.
    // A read-only buffer is left as it is: false.
    bool Finish(ITextBufferView* source, int& endLine, int& endChar);

private:
    void EndLine(std::string_view tail);

    CTextBuffer& m_buffer;
    std::unique_ptr<LineArena> m_arena;
    LineTable m_lines;
    std::string m_pending; // the start of the current line, from earlier pieces
    bool m_afterCr = false; // the last byte appended ended a line with CR
};

} // namespace brindle
