#include "platform/xml/ParserRegistry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace brindle {

namespace {

// Program identifiers compare without regard to case, as the system registry does.
constexpr std::array<std::string_view, 9> kProgIds = {
    "Msxml2.DOMDocument",     "Msxml2.DOMDocument.2.6", "Msxml2.DOMDocument.3.0",
    "Msxml2.DOMDocument.4.0", "Msxml2.DOMDocument.5.0", "Msxml2.DOMDocument.6.0",
    "Msxml.DOMDocument",      "Microsoft.XMLDOM",       "Brindle.DOMDocument",
};

// The class identifiers of the same document classes.
constexpr std::array<std::string_view, 5> kClassIds = {
    "{F6D90F11-9C73-11D3-B32E-00C04F990BB4}", // DOMDocument
    "{F5078F1B-C551-11D3-89B9-0000F81FE221}", // DOMDocument26
    "{F5078F32-C551-11D3-89B9-0000F81FE221}", // DOMDocument30
    "{88D969C0-F192-11D4-A65F-0040963251E5}", // DOMDocument40
    "{88D96A05-F192-11D4-A65F-0040963251E5}", // DOMDocument60
};

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

bool ParserRegistry::IsKnown(const std::string& identifier)
{
    auto matches = [&](std::string_view known) { return EqualNoCase(known, identifier); };
    return IsClassId(identifier) ? std::any_of(kClassIds.begin(), kClassIds.end(), matches)
                                 : std::any_of(kProgIds.begin(), kProgIds.end(), matches);
}

XmlDocumentPtr ParserRegistry::CreateInstance(const std::string& identifier)
{
    if (!IsKnown(identifier)) return nullptr;
    return XmlDocument::Create();
}

XmlDocumentPtr ParserRegistry::CreateFromProgId(const std::string& progId)
{
    if (IsClassId(progId)) return nullptr;
    return CreateInstance(progId);
}

} // namespace brindle
