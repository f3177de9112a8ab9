#pragma once

#include "platform/Export.h"
#include "platform/xml/XmlDomDocument.h"

#include <memory>
#include <string>

namespace brindle {

// Creates parser document objects by program identifier ("Msxml2.DOMDocument" and
// its versioned names) or by class identifier in braces. Every known name stands
// for the libxml2-backed XmlDomDocument.
class BRINDLEKIT_API ParserRegistry {
public:
    // nullptr when the identifier names no known component.
    static std::unique_ptr<XmlDomDocument> CreateInstance(const std::string& identifier);
    static bool IsKnown(const std::string& identifier);
};

} // namespace brindle
