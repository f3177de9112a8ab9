#pragma once

#include <string_view>

// The browser preview's stylesheet for a document that names none: it shows
// the document's markup as a colour-coded tree whose elements fold (see
// resources/preview/XmlTree.xsl). Meant for TransformFileWithStylesheetText.
std::string_view PreviewTreeStylesheet();
