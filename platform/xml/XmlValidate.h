#pragma once

// Internal to the parser component: DTD and XML Schema validation.

#include "platform/xml/XmlParseError.h"

#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <string>

namespace brindle::detail {

class ErrorCapture;

struct SchemaOutcome {
    bool named = false;   // the document element names a schema
    bool loaded = false;  // and it could be read and compiled
    XmlParseError error;  // why the schema failed to load, or the first violation
};

// A compiled schema named by a document, owned.
struct NamedSchema {
    bool named = false;            // the document names one
    xmlSchemaPtr schema = nullptr; // compiled; nullptr when it could not be read
    XmlParseError error;           // why it could not be read
    NamedSchema() = default;
    NamedSchema(NamedSchema&& other) noexcept;
    NamedSchema& operator=(NamedSchema&&) = delete;
    ~NamedSchema();
};

// Reads the schema that xsi:noNamespaceSchemaLocation and xsi:schemaLocation
// values name (as given on the document element), relative to baseUrl.
NamedSchema LoadNamedSchema(const std::string& noNamespace, const std::string& locations, const xmlChar* baseUrl);

// The document element's xsi:noNamespaceSchemaLocation and xsi:schemaLocation
// values, as given.
void SchemaLocationsOf(xmlDocPtr doc, std::string& noNamespace, std::string& locations);

// Validates doc against the schema; each error goes to sink. Whether it is valid.
bool ValidateTree(xmlDocPtr doc, xmlSchemaPtr schema, ErrorCapture& sink);

// Validates doc against its DTD (when it has one; an external subset is read
// as the entity loader allows); each error goes to sink. Whether it is valid.
bool ValidateTreeWithDtd(xmlDocPtr doc, ErrorCapture& sink);

// Validates against the schema named by xsi:schemaLocation or
// xsi:noNamespaceSchemaLocation on the document element (local files only).
// With includedFiles, errors name the included file they lie in (see
// ErrorCapture).
SchemaOutcome ValidateWithSchema(xmlDocPtr doc, bool includedFiles = false);

// DTD (when the document has one) then schema; the first error.
XmlParseError ValidateDocument(xmlDocPtr doc, bool includedFiles = false);

} // namespace brindle::detail
