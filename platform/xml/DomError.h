#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace brindle {

// HRESULT-like failure codes raised by the parser component.
inline constexpr uint32_t kDomOk = 0;
inline constexpr uint32_t kDomNotImpl = 0x80004001u;     // E_NOTIMPL
inline constexpr uint32_t kDomPointer = 0x80004003u;     // E_POINTER: a null node where one is required
inline constexpr uint32_t kDomFail = 0x80004005u;        // E_FAIL: operation not allowed on this node
inline constexpr uint32_t kDomUnexpected = 0x8000FFFFu;  // E_UNEXPECTED
inline constexpr uint32_t kDomFileNotFound = 0x80070002u; // file or folder missing
inline constexpr uint32_t kDomAccessDenied = 0x80070005u; // E_ACCESSDENIED
inline constexpr uint32_t kDomOutOfMemory = 0x8007000Eu; // E_OUTOFMEMORY
inline constexpr uint32_t kDomInvalidArg = 0x80070057u;  // E_INVALIDARG: bad name, type or index
inline constexpr uint32_t kDomWriteFault = 0x8007001Du;  // the file could not be written

// The text of a failure code: the message of a known code (no trailing line break);
// for other codes 0x80040200..0x8004FFFF whose low 16 bits are not 0x0200,
// "IDispatch error #N" with N = code - 0x80040200; otherwise "Unknown error 0x%0lX".
BRINDLEKIT_API std::string ComErrorText(uint32_t code);

// What every failing parser call throws. code() is the HRESULT-like code;
// what() is a description of this particular failure (ComErrorText(code()) when
// nothing more specific is known).
class BRINDLEKIT_API DomError : public std::runtime_error {
public:
    explicit DomError(uint32_t code);
    DomError(uint32_t code, const std::string& description);
    uint32_t code() const noexcept { return m_code; }

private:
    uint32_t m_code;
};

} // namespace brindle
