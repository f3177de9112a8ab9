#pragma once

// Internal to the parser component: xi:include elements replaced by what they
// include, for Validate and Transform (always on a tree of their own).

#include "platform/xml/XmlParseError.h"
#include "platform/xml/XmlTextSource.h"

#include <libxml/tree.h>

#include <string>

namespace brindle::detail {

// Whether the text can hold xi:include elements: it names the XInclude
// namespace. A text that cannot is checked without a tree of its own.
bool MayInclude(XmlTextSource& source);

// Replaces the xi:include elements of doc by the files they name (local files
// only; an include of any other URL is refused). The error says why an include
// failed (errorCode 0 when every one was made). With markers, the included
// content stays between XInclude start and end nodes, for validation to name
// the file an error lies in.
XmlParseError ExpandIncludes(xmlDocPtr doc, bool resolveExternals, bool markers = false);

// The file that a node of a tree expanded with markers came from, when an
// include brought it; else empty.
std::string IncludedFileOf(const xmlNode* node);

// ExpandIncludes, then the DTD and named schema as validate() does; the first
// error.
XmlParseError ValidateIncluding(xmlDocPtr doc, bool resolveExternals);

} // namespace brindle::detail
