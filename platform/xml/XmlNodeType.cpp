#include "platform/xml/XmlNodeType.h"

namespace brindle {

const char* NodeTypeName(int type)
{
    static const char* const kNames[] = {
        "NODE_ELEMENT",   "NODE_ATTRIBUTE",         "NODE_TEXT",    "NODE_CDATA_SECTION",
        "NODE_ENTITY_REFERENCE", "NODE_ENTITY",     "NODE_PROCESSING_INSTRUCTION", "NODE_COMMENT",
        "NODE_DOCUMENT",  "NODE_DOCUMENT_TYPE",     "NODE_DOCUMENT_FRAGMENT",      "NODE_NOTATION",
    };
    return type >= 1 && type <= 12 ? kNames[type - 1] : "NODE_INVALID";
}

} // namespace brindle
