#pragma once

#include "platform/Export.h"

#include <stdexcept>
#include <string>

namespace brindle {

// Raised for a line index, character index, range, end-of-line mode or undo
// position that does not exist. Callers are expected to keep their arguments
// valid; the exception guarantees that a bad one never reads or writes memory.
class BRINDLEKIT_API CTextIndexError : public std::out_of_range {
public:
    explicit CTextIndexError(const std::string& what);
    ~CTextIndexError() override;
};

} // namespace brindle
