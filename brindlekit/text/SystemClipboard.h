#pragma once

#include "platform/Export.h"
#include "platform/ui/Clipboard.h"

namespace brindle {

// The system clipboard through the toolkit, as plain UTF-8 text. The program
// installs one with SetClipboard.
class BRINDLEKIT_API SystemClipboard final : public IClipboard {
public:
    bool HasText() override;
    std::optional<std::string> GetText() override;
    bool SetText(const std::string& text) override;
};

} // namespace brindle
