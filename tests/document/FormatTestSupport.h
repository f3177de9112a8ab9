#pragma once

#include "platform/xml/XmlDom.h"

#include <string>

namespace brindle::test {

// Parses text into a new document without DTD validation or external files;
// fails the current test (and returns nullptr) when it does not parse.
XmlDocumentPtr ParseOrFail(const std::string& text);

// The whole document auto formatted from depth 0.
std::string FormatDocument(const XmlNodePtr& dom);

// A comparable form of a document: white-space-only text dropped and text
// trimmed, adjacent text (or CDATA) joined, comments, CDATA and processing
// instructions exactly as they are (empty CDATA dropped), entity references by
// name, the document type by its serialisation.
std::string CanonicalForm(const XmlNodePtr& node);

} // namespace brindle::test
