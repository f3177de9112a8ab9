#include "app/document/ErrorText.h"

#include <cerrno>
#include <cstring>
#include <optional>

namespace {
std::optional<std::string> g_lastErrorText;
} // namespace

void SetLastErrorText(const std::string& text) { g_lastErrorText = text; }

std::string GetLastErrorText()
{
    if (g_lastErrorText) {
        std::string text = std::move(*g_lastErrorText);
        g_lastErrorText.reset();
        return text;
    }
    return std::strerror(errno);
}
