#include "app/views/XmlColouring.h"

#include "app/views/XmlNameChars.h"

#include <cctype>

namespace xml_colour {

namespace {

using xml_name::IsNameChar;
using xml_name::IsNameStart;

int ColourOf(State state)
{
    switch (state) {
    case State::Text: return kText;
    case State::TagName:
    case State::InTag: return kTag;
    case State::ValueDouble:
    case State::ValueSingle:
    case State::DeclDouble:
    case State::DeclSingle: return kAttributeValue;
    case State::Comment: return kComment;
    case State::CData: return kCData;
    case State::Processing: return kProcessing;
    case State::Declaration: return kDeclaration;
    }
    return kText;
}

// One pass over a line. Blocks are only ever added left to right, and a block
// whose colour equals the one before it is not added, so a line never needs
// more blocks than characters.
class LineScanner {
public:
    LineScanner(std::string_view line, brindle::TextBlock* blocks, int& count) : m_line(line), m_blocks(blocks), m_count(count)
    {
    }

    std::uint32_t Run(std::uint32_t cookie, Grammar grammar)
    {
        // A state this parser never returns (a cookie of another) starts as text.
        m_state = StateOf(cookie) <= State::DeclSingle ? StateOf(cookie) : State::Text;
        m_subset = (cookie & kInSubset) != 0;
        m_dtd = grammar == Grammar::Dtd;
        Define(0, ColourOf(m_state));
        while (m_at < m_line.size()) Step();
        return static_cast<std::uint32_t>(m_state) | (m_subset ? kInSubset : 0);
    }

private:
    bool InSubset() const { return m_subset || m_dtd; }
    bool At(std::string_view text) const { return m_line.substr(m_at, text.size()) == text; }

    void Define(size_t pos, int colour)
    {
        if (!m_blocks || pos >= m_line.size()) return;
        if (m_count > 0) {
            brindle::TextBlock& last = m_blocks[m_count - 1];
            if (last.m_nColorIndex == colour) return;
            if (static_cast<size_t>(last.m_nCharPos) == pos) {
                last.m_nColorIndex = colour;
                if (m_count > 1 && m_blocks[m_count - 2].m_nColorIndex == colour) --m_count;
                return;
            }
        }
        m_blocks[m_count++] = {static_cast<int>(pos), colour};
    }

    // Moves to `state` at the current position, which takes its colour.
    void Enter(State state)
    {
        m_state = state;
        Define(m_at, ColourOf(state));
    }

    // Runs to the end of `closer`, after which text follows, or to the end of the line.
    void RunTo(std::string_view closer)
    {
        const size_t end = m_line.find(closer, m_at);
        if (end == std::string_view::npos) {
            m_at = m_line.size();
            return;
        }
        m_at = end + closer.size();
        Enter(State::Text);
    }

    // "&name;", "&#10;", "&#x1F;" or (in a DTD) "%name;" at the current position:
    // coloured as a reference, after which the current state's colour resumes.
    // Anything else is an ordinary character.
    void Reference()
    {
        size_t end = m_at + 1;
        const auto run = [&](auto accepts) {
            const size_t from = end;
            while (end < m_line.size() && accepts(static_cast<unsigned char>(m_line[end]))) ++end;
            return end > from;
        };
        bool named = false;
        if (m_line[m_at] == '&' && At("&#x")) {
            end += 2;
            named = run([](unsigned char c) { return std::isxdigit(c) != 0; });
        } else if (m_line[m_at] == '&' && At("&#")) {
            ++end;
            named = run([](unsigned char c) { return std::isdigit(c) != 0; });
        } else if (end < m_line.size() && IsNameStart(m_line[end])) {
            named = run([](unsigned char c) { return IsNameChar(static_cast<char>(c)); });
        }
        if (!named || end >= m_line.size() || m_line[end] != ';') {
            ++m_at;
            return;
        }
        Define(m_at, kReference);
        m_at = end + 1;
        Define(m_at, ColourOf(m_state));
    }

    void Step()
    {
        switch (m_state) {
        case State::Text: return TextStep();
        case State::TagName:
            if (IsNameChar(m_line[m_at])) ++m_at;
            else m_state = State::InTag;
            return;
        case State::InTag: return TagStep();
        case State::ValueDouble:
        case State::ValueSingle: return ValueStep(m_state == State::ValueDouble ? '"' : '\'', State::InTag);
        case State::Comment: return RunTo("-->");
        case State::CData: return RunTo("]]>");
        case State::Processing: return RunTo("?>");
        case State::Declaration: return DeclarationStep();
        case State::DeclDouble:
        case State::DeclSingle: return ValueStep(m_state == State::DeclDouble ? '"' : '\'', State::Declaration);
        }
    }

    void TextStep()
    {
        const char c = m_line[m_at];
        if (c == '<') {
            if (At("<!--")) {
                Enter(State::Comment);
                m_at += 4;
            } else if (!InSubset() && At("<![CDATA[")) {
                Enter(State::CData);
                m_at += 9;
            } else if (At("<!")) {
                // A conditional section's "<![" opens with its bracket: the next
                // "[" is the one that opens its content.
                Enter(State::Declaration);
                m_at += At("<![") ? 3 : 2;
            } else if (At("<?")) {
                Enter(State::Processing);
                m_at += 2;
            } else if (!InSubset() && m_at + 1 < m_line.size() &&
                       (m_line[m_at + 1] == '/' || IsNameStart(m_line[m_at + 1]))) {
                Enter(State::TagName);
                m_at += m_line[m_at + 1] == '/' ? 2 : 1;
            } else {
                ++m_at;
            }
        } else if (c == '&' || (c == '%' && InSubset())) {
            Reference();
        } else if (c == ']' && m_dtd && At("]]>")) {
            // The end of a conditional section.
            Define(m_at, kDeclaration);
            m_at += 3;
            Define(m_at, kText);
        } else if (c == ']' && m_subset) {
            // The end of the internal subset: the DOCTYPE's own "]>" follows.
            m_subset = false;
            Enter(State::Declaration);
            ++m_at;
        } else {
            ++m_at;
        }
    }

    // What tags and declarations share: a quote opens a quoted value (in one of
    // the two states), '>' closes the construct, and a '<' means it was left
    // open while typing, so the next construct starts afresh. False for any
    // other character.
    bool QuoteOrEnd(char c, State inDouble, State inSingle)
    {
        if (c == '"' || c == '\'') {
            Enter(c == '"' ? inDouble : inSingle);
            ++m_at;
        } else if (c == '>') {
            ++m_at;
            Enter(State::Text);
        } else if (c == '<') {
            Enter(State::Text);
        } else {
            return false;
        }
        return true;
    }

    void TagStep()
    {
        const char c = m_line[m_at];
        if (IsNameStart(c)) {
            Define(m_at, kAttributeName);
            while (m_at < m_line.size() && IsNameChar(m_line[m_at])) ++m_at;
            Define(m_at, kTag);
        } else if (!QuoteOrEnd(c, State::ValueDouble, State::ValueSingle)) {
            ++m_at;
        }
    }

    void ValueStep(char quote, State after)
    {
        const char c = m_line[m_at];
        if (c == quote) {
            ++m_at;
            Enter(after);
        } else if (c == '&' || (c == '%' && after == State::Declaration)) {
            Reference();
        } else {
            ++m_at;
        }
    }

    void DeclarationStep()
    {
        const char c = m_line[m_at];
        if (QuoteOrEnd(c, State::DeclDouble, State::DeclSingle)) return;
        if (c == '%' && InSubset()) {
            Reference();
        } else if (c == '[') {
            // A DOCTYPE's internal subset, or a conditional section of a DTD.
            ++m_at;
            if (!InSubset()) m_subset = true;
            Enter(State::Text);
        } else {
            ++m_at;
        }
    }

    std::string_view m_line;
    brindle::TextBlock* m_blocks;
    int& m_count;
    size_t m_at = 0;
    State m_state = State::Text;
    bool m_subset = false;
    bool m_dtd = false;
};

} // namespace

std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line, brindle::TextBlock* blocks, int& count,
                        Grammar grammar)
{
    if (line.empty()) return cookie;
    return LineScanner(line, blocks, count).Run(cookie, grammar);
}

} // namespace xml_colour
