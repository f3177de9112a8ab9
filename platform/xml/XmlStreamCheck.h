#pragma once

// Checking XML text without building a DOM: the text is pulled piece by piece
// and only what validation still needs is kept (the open elements and, under a
// DTD content model, their children's names).

#include "platform/Export.h"
#include "platform/xml/XmlParseError.h"
#include "platform/xml/XmlTextSource.h"

#include <string>

namespace brindle {

enum class XmlCheck {
    Valid,         // well-formed, and valid when validation was asked for
    NotValid,      // well-formed, but its DTD or schema rejects it
    NotWellFormed, // not XML (or beyond the parser's limits)
    Cancelled,     // the source was cancelled before the end
};

struct XmlCheckOptions {
    bool validateOnParse = true;  // check against the DTD and a named schema
    bool resolveExternals = true; // read external DTDs, entities and schemas (local files)
    std::string baseUrl;          // the file path relative references start from
    // Validation sees the tree with xi:include elements replaced by what they
    // include (local files only); the text is then held as a tree while checked.
    bool processXIncludes = false;
};

// Checks UTF-8 text as XmlDocument::loadXML(text, baseUrl) with the same
// options would parse it, and reports the error it would report (line,
// linepos, reason, errorCode); error is cleared when the text is Valid.
BRINDLEKIT_API XmlCheck CheckXmlText(XmlTextSource& source, const XmlCheckOptions& options, XmlParseError& error);

} // namespace brindle
