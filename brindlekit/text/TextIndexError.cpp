#include "brindlekit/text/TextIndexError.h"

namespace brindle {

CTextIndexError::CTextIndexError(const std::string& what) : std::out_of_range(what) {}

CTextIndexError::~CTextIndexError() = default;

} // namespace brindle
