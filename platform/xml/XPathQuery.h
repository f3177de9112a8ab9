#pragma once

// Evaluating an XPath 1.0 expression for a reader of its results (the XPath
// panel, the command line): typed results, each node with a path, a kind, a
// value and its line; a bad expression gives the reason and where it failed.
// The EXSLT functions (math, str, date, set) are available under their usual
// prefixes unless a binding takes the prefix for another URI.

#include "platform/Export.h"
#include "platform/xml/XmlNode.h"

#include <cstddef>
#include <string>
#include <vector>

namespace brindle {

// A prefix the expression may use, bound to a namespace URI.
struct XPathBinding {
    std::string prefix;
    std::string uri;
    bool operator==(const XPathBinding&) const = default;
};

// One node of a node-set result.
struct XPathHit {
    XmlNodePtr node;   // null for namespace nodes, which have no node object
    std::string path;  // e.g. /d:catalog/d:book[2]/@id, with the bindings' prefixes
    std::string kind;  // "element", "attribute", "text", "cdata", "comment",
                       // "processing-instruction", "namespace", "document"
    std::string value; // the string value, cut to kXPathValueLength bytes
    long line = 0;     // line in the parsed input (an attribute's: its element's); 0 unknown
};

inline constexpr std::size_t kXPathValueLength = 200;

struct XPathResult {
    enum class Kind { Error, NodeSet, Number, String, Boolean };
    Kind kind = Kind::Error;
    // Node-set: how many nodes matched, and the first maxHits of them in document order.
    std::size_t count = 0;
    std::vector<XPathHit> hits;
    double number = 0;
    std::string string; // the string result, and the number's and boolean's text
    bool boolean = false;
    // Error: the reason and the position in the expression (from 0, in bytes)
    // where evaluation stopped, or npos when the reason is not about a place.
    std::string error;
    std::size_t errorPosition = std::string::npos;
};

// Evaluates expression with context as the context node (a document node for
// the whole document). Never throws for a bad expression: the result says why.
// Node values are cut to valueLength bytes (on a character boundary).
BRINDLEKIT_API XPathResult EvaluateXPath(const XmlNode& context, const std::string& expression,
                                         const std::vector<XPathBinding>& bindings, std::size_t maxHits = 1000,
                                         std::size_t valueLength = kXPathValueLength);

// The namespaces declared in the document, in document order, each prefix and
// URI pair once; the default namespace has the prefix "".
BRINDLEKIT_API std::vector<XPathBinding> DeclaredNamespaces(const XmlNode& document);

// The prefixes an expression over a document may use, from its declarations:
// the prefixed ones as declared (a prefix declared again for another URI keeps
// its first URI), then each default namespace under a prefix of its own ("d",
// then "d2", ... where "d" is taken), since names without a prefix match only
// elements in no namespace. forDefault, when given, tells which are the latter.
BRINDLEKIT_API std::vector<XPathBinding> UsableBindings(const std::vector<XPathBinding>& declared,
                                                        std::vector<bool>* forDefault = nullptr);

} // namespace brindle
