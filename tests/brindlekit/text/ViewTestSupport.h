#pragma once

#include "brindlekit/text/EditViewModel.h"
#include "brindlekit/text/TextBuffer.h"
#include "platform/ui/Clipboard.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace brindle::viewtest {

// Records what a view model asks of its window, and colours lines on request.
class RecordingHost : public ITextViewHost {
public:
    void InvalidateLines(int first, int last) override { invalidated.emplace_back(first, last); }
    void InvalidateAll() override { ++invalidateAll; }
    void OnTopLineChanged(int, int newTop) override { tops.push_back(newTop); }
    void OnOffsetCharChanged(int, int newOffset) override { offsets.push_back(newOffset); }
    void RecalcVertScrollBar() override { ++vertBars; }
    void RecalcHorzScrollBar() override { ++horzBars; }
    void BeginMouseCapture() override { captured = true; }
    void EndMouseCapture() override { captured = false; }
    bool QueryEditable(bool defaultValue) override { return defaultValue && editable; }
    std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count) override
    {
        parsed.push_back(line);
        if (blocks) blocks[count++] = TextBlock{0, 6};
        return parser ? parser(cookie, line) : cookie + 1;
    }
    // The state a line ends in, when the test gives its own rule.
    std::function<std::uint32_t(std::uint32_t, int)> parser;

    std::vector<std::pair<int, int>> invalidated;
    int invalidateAll = 0;
    std::vector<int> tops;
    std::vector<int> offsets;
    int vertBars = 0;
    int horzBars = 0;
    bool captured = false;
    bool editable = true;
    std::vector<int> parsed;
};

// Replaces the buffer's text without history.
inline void Load(CTextBuffer& buffer, const std::vector<std::string>& lines)
{
    buffer.InitNew();
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    int endLine = 0;
    int endChar = 0;
    if (!text.empty()) buffer.InsertText(nullptr, 0, 0, text, endLine, endChar, 0);
}

inline std::vector<std::string> Lines(const CTextBuffer& buffer)
{
    std::vector<std::string> out;
    for (int i = 0; i < buffer.GetLineCount(); ++i)
        out.emplace_back(buffer.GetLineChars(i), static_cast<std::size_t>(buffer.GetLineLength(i)));
    return out;
}

// A buffer shown in an edit view of 40 columns by 10 lines (8 x 16 pixel cells).
struct ViewFixture {
    static constexpr int kLineHeight = 16;
    static constexpr int kCharWidth = 8;

    explicit ViewFixture(const std::vector<std::string>& lines)
    {
        Load(buffer, lines);
        view.SetHost(&host);
        view.SetClipboard(&clipboard);
        view.SetCharMetrics(kLineHeight, kCharWidth);
        view.SetClientSize(TextViewModel::kMarginWidth + 40 * kCharWidth, 10 * kLineHeight);
        view.AttachToBuffer(&buffer);
    }

    // The client point of the left half of the cell at (column, screen row).
    static CPoint Cell(int column, int row)
    {
        return CPoint(TextViewModel::kMarginWidth + column * kCharWidth + 1, row * kLineHeight + 2);
    }

    void Select(CPoint start, CPoint end)
    {
        view.SetAnchor(start);
        view.SetCursorPos(end);
        view.SetSelection(start, end);
    }

    RecordingHost host;
    MemoryClipboard clipboard;
    CTextBuffer buffer;
    EditViewModel view;
};

inline std::vector<std::string> Numbered(int count, const std::string& prefix = "line ")
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
}

} // namespace brindle::viewtest
