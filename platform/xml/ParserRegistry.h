#pragma once

#include "platform/Export.h"
#include "platform/xml/XmlDocument.h"

#include <string>

namespace brindle {

// Creates parser document objects by program identifier ("Msxml2.DOMDocument" and
// its versioned names, without regard to case) or by class identifier in braces.
// Every known name stands for the libxml2-backed XmlDocument.
class BRINDLEKIT_API ParserRegistry {
public:
    // A new empty document for a program identifier or a class identifier;
    // nullptr when the identifier names no known component.
    static XmlDocumentPtr CreateInstance(const std::string& identifier);
    // The same, accepting program identifiers only (a class identifier gives nullptr).
    static XmlDocumentPtr CreateFromProgId(const std::string& progId);
    static bool IsKnown(const std::string& identifier);
    static bool IsClassId(const std::string& identifier) { return !identifier.empty() && identifier.front() == '{'; }
};

} // namespace brindle
