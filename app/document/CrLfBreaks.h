#pragma once

#include "brindlekit/text/TextBufferFiller.h"

#include <string>
#include <string_view>

// Hands serialised text on to a buffer filler piece by piece, writing each line
// feed that does not follow a carriage return as CR LF: the text buffer breaks
// lines at carriage returns only, and the parser ends its lines with a bare line
// feed. The byte before a piece is remembered, so the result does not depend on
// where the pieces are cut.
class CrLfBreakWriter {
public:
    explicit CrLfBreakWriter(brindle::CTextBufferFiller& out) : m_out(out) {}
    void Write(std::string_view piece);

private:
    brindle::CTextBufferFiller& m_out;
    char m_previous = 0;
};

// The whole text with the same rule, as one string.
std::string WithCrLfBreaks(std::string_view text);
// The text with each carriage return that no line feed follows written as CR LF:
// text whose lines end with a bare CR (as the formatter writes them) as the
// buffer gives it back, since the buffer breaks lines at every CR.
std::string WithCrLfAfterCr(std::string_view text);
