#pragma once

// Transformations for the browser preview: from files on disk, with their own
// libxml2/libxslt trees only, so they may run on a worker thread while the user
// interface works on the program's documents.

#include "platform/Export.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace brindle {

// What a preview shows: the transformation's output (UTF-8) and its MIME type:
// "text/html" for the html (and libxslt's xhtml) output method and for xml output
// whose root is an html element in no namespace; "application/xhtml+xml" for xml
// output whose root is html in the XHTML namespace (the xml serialisation writes
// empty elements as <div/>, which an HTML parser would misread); "text/plain"
// for text; "application/xml" for any other xml output.
struct PreviewOutput {
    std::string content;
    std::string mimeType;
};

// Elements the built-in markup view shows at most: a larger document is shown
// up to that element, with a note saying so. That is about 0.8 MB of HTML, which
// the web view lays out in about 0.7 s; with reading a 20 MB document (0.8 s)
// the first screen shows within 3 s.
inline constexpr std::size_t kPreviewElementLimit = 5000;

// Reads the XML file and applies the stylesheet file to it (relative references
// in both resolve beside their own files). Nothing is read from the network, no
// file or folder is written: the rules of transformNode. Thread-safe: it uses
// only libxml2/libxslt trees of its own and no state of the program's DOM.
// Throws DomError with a readable reason on failure (unreadable file, XML error
// with its line, stylesheet error, transformation error).
BRINDLEKIT_API PreviewOutput TransformFileForPreview(const std::string& xmlPath, const std::string& stylesheetPath);

// The same with a built-in stylesheet given as text. Besides the document it
// gives the stylesheet:
// - the parameters "doctype" (the document type declaration as text, empty when
//   there is none), "doctype-position" (how many top-level comments, processing
//   instructions and elements precede it), "element-count" (the document's elements) and
//   "elements-shown" (how many of them the source tree holds: with more than
//   maxElements elements, the tree ends at element number maxElements in
//   document order; 0 means no limit);
// - the extension functions, in the namespace "urn:x-brindle:preview",
//   cdata() (whether the context node is a CDATA section) and
//   namespace-declarations() (the namespace nodes the context element declares).
BRINDLEKIT_API PreviewOutput TransformFileWithStylesheetText(const std::string& xmlPath, std::string_view stylesheet,
                                                             std::size_t maxElements = kPreviewElementLimit);

} // namespace brindle
