#pragma once

#include "brindlekit/text/TextBuffer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);

std::vector<std::string> Lines(const CTextBuffer& buffer);
// Replaces the buffer's text with the given lines, bypassing the history.
void SetLines(CTextBuffer& buffer, const std::vector<std::string>& lines);

// A view that records what the buffer tells it.
class RecordingView : public ITextBufferView {
public:
    struct Update {
        ITextBufferView* source;
        std::uint32_t flags;
        int line;
        bool insertion = false;
        bool deletion = false;
        CPoint start;
        CPoint end;
    };

    void UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line) override;
    void OnEditOperation(int action, std::string_view text) override;

    std::vector<Update> updates;
    std::vector<std::pair<int, std::string>> editOperations;
    std::function<void(int, std::string_view)> onEditOperation;
    std::function<void()> onUpdate;
};

} // namespace brindle::test
