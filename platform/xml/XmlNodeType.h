#pragma once

#include "platform/Export.h"

namespace brindle {

// The DOM node type numbers. Plain enumerators so that integer kinds (as stored in
// settings or passed through menus) convert without casts.
enum XmlNodeType : int {
    NODE_INVALID = 0,
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_CDATA_SECTION = 4,
    NODE_ENTITY_REFERENCE = 5,
    NODE_ENTITY = 6,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
    NODE_DOCUMENT_TYPE = 10,
    NODE_DOCUMENT_FRAGMENT = 11,
    NODE_NOTATION = 12,
};

// "NODE_ELEMENT" ... "NODE_NOTATION" for 1..12, "NODE_INVALID" for any other number.
BRINDLEKIT_API const char* NodeTypeName(int type);

} // namespace brindle
