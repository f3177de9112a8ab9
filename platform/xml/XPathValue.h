#pragma once

#include "platform/Export.h"
#include "platform/xml/XmlDocument.h"

#include <string>
#include <utility>
#include <vector>

namespace brindle {

// What an XPath 1.0 expression evaluates to over a whole document: a node set
// (each node's path and string value, in document order) or a number, string or
// boolean written as XPath's string() writes it ("3", "0.5", "NaN", "true").
struct XPathValue {
    enum class Kind { Nodes, Number, String, Boolean };
    struct Node {
        std::string path;  // "/a/b[2]/@id", "/a/text()[1]"
        std::string value; // the node's string value
    };
    Kind kind = Kind::Nodes;
    std::vector<Node> nodes;
    std::string text; // the value of a number, string or boolean
};

using XPathPrefixes = std::vector<std::pair<std::string, std::string>>; // prefix, namespace URI

// The prefixes the document declares anywhere, each bound to the URI of its first
// declaration in document order; the document element's default namespace, when it
// has one, is bound to defaultPrefix unless the document itself uses that prefix.
BRINDLEKIT_API XPathPrefixes DeclaredPrefixes(const XmlDocument& doc, const std::string& defaultPrefix);

// Evaluates expression from the document node, with prefixes bound (a later
// binding of a prefix replaces an earlier one).
// An expression that does not compile or evaluate throws DomError(kDomInvalidArg)
// whose text gives libxml2's reason.
BRINDLEKIT_API XPathValue EvaluateXPath(const XmlDocument& doc, const std::string& expression,
                                        const XPathPrefixes& prefixes);

} // namespace brindle
