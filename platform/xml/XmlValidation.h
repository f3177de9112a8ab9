#pragma once

// Validation that lists every error: well-formedness (its first error only, as
// the parser stops there), then the DTD, the XML Schema that the document
// element names and the schemas that its xml-model instructions name; or the
// text against one schema chosen by the user. Schemas are read from local
// files only.

#include "platform/Export.h"
#include "platform/xml/XmlParseError.h"
#include "platform/xml/XmlStreamCheck.h"
#include "platform/xml/XmlTextSource.h"

#include <string>
#include <vector>

namespace brindle {

enum class SchemaKind { Unknown, Dtd, Xsd, RelaxNg, Schematron };

// By the file's extension: .dtd, .xsd, .rng, .sch (any case).
BRINDLEKIT_API SchemaKind SchemaKindOfPath(const std::string& path);

struct SchemaChoice {
    SchemaKind kind = SchemaKind::Unknown;
    std::string location; // a path or file: URL; relative to the document
};

// The schema an xml-model instruction's data names: its kind from
// schematypens, else from type, else from the href's extension.
BRINDLEKIT_API SchemaChoice SchemaOfXmlModel(const std::string& data);

struct ValidationReport {
    XmlCheck outcome = XmlCheck::Valid;
    // Empty when Valid. An error's url is empty when it lies in the document
    // itself, else the file it lies in. Line and linepos are 0 when unknown.
    std::vector<XmlParseError> errors;
};

// options.validateOnParse and resolveExternals decide, as for CheckXmlText,
// whether the document's own DTD and schemas are used; a schema it names that
// cannot be found is an error ("schema not found: ..."). With against, only
// well-formedness and that schema are checked. With options.processXIncludes
// the includes are made first, on a tree of the text's own, and the checks
// apply to the result; an include that cannot be made ends the check.
BRINDLEKIT_API ValidationReport ValidateXmlText(XmlTextSource& source, const XmlCheckOptions& options,
                                                const SchemaChoice* against = nullptr);

} // namespace brindle
