#pragma once

#include "brindlekit/text/TextBuffer.h"

#include <functional>
#include <utility>

// The XML document's source text. Every change of its modified state is handed
// to the document, whose modified state and node tree follow it.
class CDocTextBuffer : public brindle::CTextBuffer {
public:
    using StateChanged = std::function<void(bool modified)>;
    explicit CDocTextBuffer(StateChanged changed) : m_changed(std::move(changed)) {}
    void SetModified(bool modified = true) override
    {
        CTextBuffer::SetModified(modified);
        m_changed(modified);
    }

private:
    StateChanged m_changed;
};
