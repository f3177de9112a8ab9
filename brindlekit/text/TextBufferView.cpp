#include "brindlekit/text/TextBufferView.h"

namespace brindle {

ITextBufferView::~ITextBufferView() = default;

void ITextBufferView::OnEditOperation(int, std::string_view) {}

} // namespace brindle
