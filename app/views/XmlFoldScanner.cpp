#include "app/views/XmlFoldScanner.h"

#include "app/views/XmlNameChars.h"

#include <algorithm>
#include <string>

using brindle::FoldRange;

namespace xml_fold {

namespace {

using xml_name::IsNameChar;
using xml_name::IsNameStart;

// What the tokenizer reports: a start tag (Open), an end tag (Close), or a construct
// complete in itself (Whole: comment, CDATA, PI, declaration, empty-element tag)
// from line `first` to line `last`.
struct Event {
    enum Kind { Open, Close, Whole } kind;
    const std::string* name; // Open and Close
    int first;
    int last;
};

// Reads the text line by line, keeping its state across line ends.
class Tokenizer {
public:
    template <typename Sink>
    void Feed(std::string_view text, int line, Sink&& sink)
    {
        const std::size_t n = text.size();
        std::size_t i = 0;
        auto finish = [&](std::string_view terminator) {
            const std::size_t at = text.find(terminator, i);
            if (at == std::string_view::npos) {
                i = n;
                return;
            }
            i = at + terminator.size();
            m_state = State::Text;
            sink(Event{Event::Whole, nullptr, m_start, line});
        };
        while (i < n) {
            const char c = text[i];
            switch (m_state) {
            case State::Text: {
                const std::size_t lt = text.find('<', i);
                if (lt == std::string_view::npos) {
                    i = n;
                    break;
                }
                i = lt;
                const std::string_view rest = text.substr(i);
                m_start = line;
                if (rest.starts_with("<!--")) {
                    m_state = State::Comment;
                    i += 4;
                } else if (rest.starts_with("<![CDATA[")) {
                    m_state = State::CData;
                    i += 9;
                } else if (rest.starts_with("<?")) {
                    m_state = State::PI;
                    i += 2;
                } else if (rest.starts_with("<!")) {
                    m_state = State::Decl;
                    m_depth = 0;
                    m_quote = 0;
                    i += 2;
                } else if (rest.starts_with("</")) {
                    m_state = State::EndName;
                    m_name.clear();
                    i += 2;
                } else if (rest.size() > 1 && IsNameStart(rest[1])) {
                    m_state = State::StartName;
                    m_name.clear();
                    i += 1;
                } else {
                    i += 1;
                }
                break;
            }
            case State::StartName:
            case State::EndName:
                if (IsNameChar(c)) {
                    m_name += c;
                    ++i;
                } else {
                    m_state = m_state == State::StartName ? State::Tag : State::EndTag;
                }
                break;
            case State::Tag:
                if (c == '"' || c == '\'') {
                    m_quote = c;
                    m_state = State::Quoted;
                } else if (c == '/' && i + 1 < n && text[i + 1] == '>') {
                    m_state = State::Text;
                    sink(Event{Event::Whole, nullptr, m_start, line});
                    ++i;
                } else if (c == '>') {
                    m_state = State::Text;
                    sink(Event{Event::Open, &m_name, m_start, line});
                } else if (c == '<') {
                    // A tag left unfinished (while typing): a new one starts here.
                    m_state = State::Text;
                    break;
                }
                ++i;
                break;
            case State::Quoted:
                if (c == m_quote) m_state = State::Tag;
                ++i;
                break;
            case State::EndTag:
                if (c == '>') {
                    m_state = State::Text;
                    sink(Event{Event::Close, &m_name, m_start, line});
                } else if (c == '<') {
                    m_state = State::Text;
                    break;
                }
                ++i;
                break;
            case State::Comment: finish("-->"); break;
            case State::CData: finish("]]>"); break;
            case State::PI: finish("?>"); break;
            case State::Decl:
                // A DOCTYPE's internal subset is bracketed; quotes hide brackets and '>'.
                if (m_quote) {
                    if (c == m_quote) m_quote = 0;
                } else if (c == '"' || c == '\'') {
                    m_quote = c;
                } else if (c == '[') {
                    ++m_depth;
                } else if (c == ']') {
                    m_depth = std::max(0, m_depth - 1);
                } else if (c == '>' && m_depth == 0) {
                    m_state = State::Text;
                    sink(Event{Event::Whole, nullptr, m_start, line});
                }
                ++i;
                break;
            }
        }
        // A name ends with its line.
        if (m_state == State::StartName) m_state = State::Tag;
        if (m_state == State::EndName) m_state = State::EndTag;
    }

    bool InText() const { return m_state == State::Text; }

private:
    enum class State { Text, StartName, Tag, Quoted, EndName, EndTag, Comment, CData, PI, Decl };
    State m_state = State::Text;
    std::string m_name;
    int m_start = 0;
    int m_depth = 0;
    char m_quote = 0;
};

struct OpenElement {
    std::string name;
    int line;
};

// The innermost open element of that name, or -1.
int FindOpen(const std::vector<OpenElement>& stack, const std::string& name)
{
    for (int k = static_cast<int>(stack.size()) - 1; k >= 0; --k)
        if (stack[static_cast<std::size_t>(k)].name == name) return k;
    return -1;
}

} // namespace

std::vector<FoldRange> FindRanges(const LineSource& lines, int lineCount)
{
    std::vector<FoldRange> ranges;
    std::vector<OpenElement> stack;
    Tokenizer tokenizer;
    auto sink = [&](const Event& e) {
        if (e.kind == Event::Open) {
            stack.push_back({*e.name, e.first});
        } else if (e.kind == Event::Close) {
            // Elements left open inside it get no range; a stray end tag closes nothing.
            const int k = FindOpen(stack, *e.name);
            if (k < 0) return;
            const int first = stack[static_cast<std::size_t>(k)].line;
            if (e.last > first) ranges.push_back({first, e.last});
            stack.resize(static_cast<std::size_t>(k));
        } else if (e.last > e.first) {
            ranges.push_back({e.first, e.last});
        }
    };
    for (int line = 0; line < lineCount; ++line) tokenizer.Feed(lines(line), line, sink);
    std::sort(ranges.begin(), ranges.end(), [](const FoldRange& a, const FoldRange& b) {
        return a.first < b.first || (a.first == b.first && a.last > b.last);
    });
    // An element and a CDATA section inside it may span the same lines.
    ranges.erase(std::unique(ranges.begin(), ranges.end()), ranges.end());
    return ranges;
}

int FindEnd(const LineSource& lines, int lineCount, int first, int limit)
{
    if (first < 0 || first >= lineCount) return -1;
    Tokenizer tokenizer;
    std::vector<OpenElement> stack;
    int end = -1;
    bool failed = false;
    // On the first line: what opens there and stays open.
    auto onFirst = [&](const Event& e) {
        if (e.kind == Event::Open) {
            stack.push_back({*e.name, e.first});
        } else if (e.kind == Event::Close) {
            const int k = FindOpen(stack, *e.name);
            if (k >= 0) stack.resize(static_cast<std::size_t>(k));
        }
    };
    tokenizer.Feed(lines(first), first, onFirst);
    // The outermost element still open, else a construct (or a start tag) still going on.
    if (stack.empty() && tokenizer.InText()) return -1;
    auto onLater = [&](const Event& e) {
        if (end >= 0 || failed) return;
        if (e.kind == Event::Whole) {
            if (stack.empty() && e.first == first) end = e.last; // the construct itself
        } else if (e.kind == Event::Open) {
            stack.push_back({*e.name, e.first});
        } else {
            const int k = FindOpen(stack, *e.name);
            if (k < 0) {
                failed = true; // it closes something opened before: ours is left open
                return;
            }
            if (k == 0) end = e.last;
            stack.resize(static_cast<std::size_t>(k));
        }
    };
    const int stop = std::min(lineCount, first + 1 + limit);
    for (int line = first + 1; line < stop && end < 0 && !failed; ++line) tokenizer.Feed(lines(line), line, onLater);
    return failed ? -1 : end;
}

} // namespace xml_fold
