#pragma once

#include "platform/Export.h"

#include <optional>
#include <string>

namespace brindle {

// The system clipboard as plain text (UTF-8). The program installs one over the
// toolkit's clipboard; tests and headless runs use an in-memory one.
class BRINDLEKIT_API IClipboard {
public:
    virtual ~IClipboard();
    virtual bool HasText() = 0;
    // The text, or nullopt when there is none or the clipboard cannot be opened.
    virtual std::optional<std::string> GetText() = 0;
    // Replaces the clipboard's content; false when the clipboard cannot be opened.
    virtual bool SetText(const std::string& text) = 0;
};

// A clipboard that lives in the process.
class BRINDLEKIT_API MemoryClipboard : public IClipboard {
public:
    bool HasText() override { return m_text.has_value(); }
    std::optional<std::string> GetText() override { return m_text; }
    bool SetText(const std::string& text) override
    {
        m_text = text;
        return true;
    }
    void Clear() { m_text.reset(); }

private:
    std::optional<std::string> m_text;
};

// The clipboard in force: the installed one, else a process-wide MemoryClipboard.
BRINDLEKIT_API IClipboard& Clipboard();
// Installs a clipboard (not owned); nullptr returns to the in-memory one.
BRINDLEKIT_API void SetClipboard(IClipboard* clipboard);

} // namespace brindle
