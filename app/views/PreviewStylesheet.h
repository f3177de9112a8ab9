#pragma once

#include "brindlekit/text/ViewPalette.h"

#include <string>
#include <string_view>

// The browser preview's stylesheet for a document that names none: it shows
// the document's markup as a colour-coded tree whose elements fold (see
// resources/preview/XmlTree.xsl), in the classic light colours. Meant for
// TransformFileWithStylesheetText.
std::string_view PreviewTreeStylesheet();
// The same in the colours of a palette: those of the source views' XML
// colouring, on the palette's background.
std::string PreviewTreeStylesheet(const brindle::ViewPalette& palette);
