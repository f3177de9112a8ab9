#include "platform/xml/DomError.h"

#include <cstdio>

namespace brindle {

namespace {

struct CodeText {
    uint32_t code;
    const char* text;
};

// Messages for the codes the component raises.
constexpr CodeText kMessages[] = {
    {kDomNotImpl, "Not implemented"},
    {kDomPointer, "Invalid pointer"},
    {kDomFail, "Unspecified error"},
    {kDomUnexpected, "Catastrophic failure"},
    {kDomFileNotFound, "The system cannot find the file specified."},
    {kDomAccessDenied, "Access is denied."},
    {kDomOutOfMemory, "Not enough memory resources are available to complete this operation."},
    {kDomInvalidArg, "The parameter is incorrect."},
    {kDomWriteFault, "The system cannot write to the specified device."},
};

} // namespace

std::string ComErrorText(uint32_t code)
{
    for (const CodeText& m : kMessages)
        if (m.code == code) return m.text;
    char buf[64];
    if (code >= 0x80040200u && code <= 0x8004FFFFu && (code & 0xFFFFu) != 0x0200u)
        std::snprintf(buf, sizeof buf, "IDispatch error #%d", static_cast<int>(code - 0x80040200u));
    else
        std::snprintf(buf, sizeof buf, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
    return buf;
}

DomError::DomError(uint32_t code) : std::runtime_error(ComErrorText(code)), m_code(code) {}

DomError::DomError(uint32_t code, const std::string& description)
    : std::runtime_error(description.empty() ? ComErrorText(code) : description), m_code(code)
{
}

} // namespace brindle
