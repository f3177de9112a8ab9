#pragma once

// Internal to the parser component: DTD and XML Schema validation.

#include "platform/xml/XmlParseError.h"

#include <libxml/tree.h>

namespace brindle::detail {

struct SchemaOutcome {
    bool named = false;   // the document element names a schema
    bool loaded = false;  // and it could be read and compiled
    XmlParseError error;  // why the schema failed to load, or the first violation
};

// Validates against the schema named by xsi:schemaLocation or
// xsi:noNamespaceSchemaLocation on the document element (local files only).
SchemaOutcome ValidateWithSchema(xmlDocPtr doc);

// DTD (when the document has one) then schema; the first error.
XmlParseError ValidateDocument(xmlDocPtr doc);

} // namespace brindle::detail
