#include "platform/ui/Clipboard.h"

namespace brindle {

IClipboard::~IClipboard() = default;

namespace {
MemoryClipboard g_memory;
IClipboard* g_clipboard = &g_memory;
} // namespace

IClipboard& Clipboard() { return *g_clipboard; }

void SetClipboard(IClipboard* clipboard) { g_clipboard = clipboard ? clipboard : &g_memory; }

} // namespace brindle
