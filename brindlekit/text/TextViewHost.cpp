#include "brindlekit/text/TextViewHost.h"

namespace brindle {

ITextViewHost::~ITextViewHost() = default;

void ITextViewHost::InvalidateLines(int, int) {}
void ITextViewHost::InvalidateAll() {}
void ITextViewHost::OnTopLineChanged(int, int) {}
void ITextViewHost::OnOffsetCharChanged(int, int) {}
void ITextViewHost::RecalcVertScrollBar() {}
void ITextViewHost::RecalcHorzScrollBar() {}
void ITextViewHost::UpdateCaret() {}
void ITextViewHost::RepaintNow() {}
void ITextViewHost::BeginMouseCapture() {}
void ITextViewHost::EndMouseCapture() {}

std::uint32_t ITextViewHost::ParseLine(std::uint32_t, int, TextBlock*, int&)
{
    return 0;
}

bool ITextViewHost::QueryEditable(bool defaultValue)
{
    return defaultValue;
}

CTextBuffer* ITextViewHost::LocateTextBuffer()
{
    return nullptr;
}

} // namespace brindle
