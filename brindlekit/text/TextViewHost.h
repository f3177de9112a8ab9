#pragma once

#include "brindlekit/text/Point.h"
#include "platform/Export.h"

#include <cstdint>
#include <vector>

namespace brindle {

class CTextBuffer;
struct FoldRange;

// One coloured stretch of a line, as a line parser reports it: from m_nCharPos up to
// the next block's position (the last block up to the line end).
struct TextBlock {
    int m_nCharPos = 0;
    int m_nColorIndex = 0;
};

// What a text view model asks of the window that shows it, and the hooks through which
// the program colours lines and supplies the buffer. Every member has a harmless
// default, so a model runs without a window.
class BRINDLEKIT_API ITextViewHost {
public:
    virtual ~ITextViewHost();

    // Lines [first, last] need repainting; last -1: down to the bottom of the window.
    virtual void InvalidateLines(int first, int last);
    virtual void InvalidateAll();
    // The first visible line or column changed; the window repaints (and may animate).
    virtual void OnTopLineChanged(int oldTop, int newTop);
    virtual void OnOffsetCharChanged(int oldOffset, int newOffset);
    virtual void RecalcVertScrollBar();
    virtual void RecalcHorzScrollBar();
    virtual void UpdateCaret();
    // Immediate repaint between the steps of a smooth scroll.
    virtual void RepaintNow();
    // Mouse capture and the 100 ms auto-scroll timer while a button is down.
    virtual void BeginMouseCapture();
    virtual void EndMouseCapture();

    // The colouring parser: appends blocks (if blocks is not null) and returns the
    // state at the end of the line; the default colours nothing and returns 0.
    virtual std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count);
    // Folding: the last line of the construct that opens on `line` and ends on a
    // later one, -1 when there is none (the default); every such range of the text
    // in order of first line (the default: none).
    virtual int FoldEnd(int line);
    virtual std::vector<FoldRange> FoldRanges();
    // Whether the edit view may change the text; receives the model's own answer
    // (a buffer that is not read-only).
    virtual bool QueryEditable(bool defaultValue);
    // The buffer to attach when none is given.
    virtual CTextBuffer* LocateTextBuffer();
};

} // namespace brindle
