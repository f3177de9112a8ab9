#include "brindlekit/text/TextViewHost.h"

#include "brindlekit/text/FoldModel.h"

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

int ITextViewHost::FoldEnd(int)
{
    return -1;
}

std::vector<FoldRange> ITextViewHost::FoldRanges()
{
    return {};
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
