#pragma once

// Internal to the parser component: parsing text or a file into a libxml2 tree
// with the component's safety limits.

#include "platform/xml/SourceSpans.h"
#include "platform/xml/XmlFileForm.h"
#include "platform/xml/XmlParseError.h"
#include "platform/xml/XmlTextSource.h"

#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brindle::detail {

struct LoadRequest {
    const std::string* text = nullptr; // UTF-8 text, or nullptr to read path
    std::string path;                  // the file, or the base URL for text
    bool validate = true;
    bool resolveExternals = true;
    bool preserveWhiteSpace = true;
    // Reads the UTF-8 text from source, piece by piece, instead of text/path.
    // Unless keepTree, no tree is kept: each finished element is freed as soon
    // as no validation needs it, and the result's doc is null.
    XmlTextSource* source = nullptr;
    bool keepTree = false;
    xmlSchemaPtr schema = nullptr;     // with source: validated against while parsing
    // Keep the tree of a well-formed input that validation rejects (notValid).
    bool keepInvalid = false;
    // Note where each element of the main input lies in it (see SourceSpans.h).
    bool recordSpans = false;
    // Receives every validity error in the order found: the DTD's without a
    // schema, the schema's with one. At most kMaxListedErrors.
    std::vector<XmlParseError>* errorList = nullptr;
};

inline constexpr size_t kMaxListedErrors = 10000;

struct LoadResult {
    xmlDocPtr doc = nullptr;        // owned by the caller; nullptr on failure
    bool ok = false;                // parsed (and valid when asked)
    bool wellFormed = false;        // parsed, valid or not
    // Without keepTree: the document element's xsi:noNamespaceSchemaLocation and
    // xsi:schemaLocation values, as given.
    std::string noNamespaceSchema;
    std::string schemaLocations;
    // Without keepTree: the data of the xml-model processing instructions
    // before the document element.
    std::vector<std::string> xmlModels;
    bool cancelled = false;         // the source was cancelled: nothing parsed
    XmlParseError error;            // set on failure, and when notValid
    // The input is well-formed but not valid: doc is its tree all the same
    // (only with keepInvalid) and error tells why it is not valid.
    bool notValid = false;
    uint64_t inputSize = 0;         // bytes of the text or file parsed
    bool hasDeclaration = false;
    std::string declaration;        // text between "<?xml " and "?>"
    XmlFileForm form;               // the input's byte-order mark; "UTF-16" for a UTF-16 input
    // The internal subset as written, between "[" and "]" (line ends as "\n"),
    // when the document has one and it could be read back from the input.
    bool hasInternalSubset = false;
    std::string internalSubset;
    // With recordSpans, for a tree: the elements' spans (offsets in the text
    // the parser read: a file's bytes, decoded to UTF-8 when it is not UTF-8).
    std::unique_ptr<SourceSpans> spans;
};

// Element nesting allowed; deeper input is refused with a parse error.
inline constexpr int kMaxNestingDepth = 1024;

LoadResult LoadXml(const LoadRequest& request);

// The text of source as a tree of its own, without validation (baseUrl and
// resolveExternals as for a request).
LoadResult LoadTextTree(XmlTextSource& source, const std::string& baseUrl, bool resolveExternals);

// Parses run on this thread so far (see XmlDocument::parsesRun).
uint64_t ParsesRun();

// Builds a parse error from a libxml2 error (used by validation too).
XmlParseError ErrorFromLibXml(const xmlError* err);

} // namespace brindle::detail
