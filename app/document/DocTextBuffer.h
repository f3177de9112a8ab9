#pragma once

#include "brindlekit/text/TextBuffer.h"

class CBrindleDoc;

// The XML document's source text. Its modified state feeds the document's: a
// modified text marks the document modified, and any change of state means the
// node tree must be rebuilt from the DOM.
class CDocTextBuffer : public brindle::CTextBuffer {
public:
    explicit CDocTextBuffer(CBrindleDoc& doc) : m_doc(doc) {}
    void SetModified(bool modified = true) override;

private:
    CBrindleDoc& m_doc;
};
