#pragma once

// XML text handed to the parser piece by piece, so a large text held elsewhere
// (an editor's lines) is never copied whole.

#include "platform/Export.h"
#include "platform/xml/XmlParseError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace brindle {

class BRINDLEKIT_API XmlTextSource {
public:
    virtual ~XmlTextSource() = default;
    // Starts again from the beginning of the text (a parse may read it twice).
    virtual void Rewind() = 0;
    // The next piece, empty at the end; valid until the next call.
    virtual std::string_view Next() = 0;
    // The text's length in bytes, which bounds entity expansion as it does for
    // a document of that size.
    virtual uint64_t Size() const = 0;
    // Whether the reading was given up (the user cancelled): the empty piece
    // that followed is not the end of the text.
    virtual bool Cancelled() const { return false; }
};

// Text held whole, handed out in one piece.
class BRINDLEKIT_API StringTextSource : public XmlTextSource {
public:
    explicit StringTextSource(std::string text) : m_text(std::move(text)) {}
    void Rewind() override { m_done = false; }
    std::string_view Next() override { return std::exchange(m_done, true) ? std::string_view() : m_text; }
    uint64_t Size() const override { return m_text.size(); }

private:
    std::string m_text;
    bool m_done = false;
};

// Whether the text holds needle (not empty) anywhere, across pieces; rewinds it.
BRINDLEKIT_API bool TextContains(XmlTextSource& source, std::string_view needle);
// The given line (from 1) of the text, without its line break; rewinds it.
BRINDLEKIT_API std::string LineOfText(XmlTextSource& source, long line);
// Makes the error quote its whole line when it quotes none or a part of it.
BRINDLEKIT_API void QuoteWholeLine(XmlTextSource& source, XmlParseError& error);

} // namespace brindle
