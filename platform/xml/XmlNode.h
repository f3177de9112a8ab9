#pragma once

#include "platform/Export.h"
#include "platform/xml/XmlNodeType.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct _xmlNode;

namespace brindle {

class XmlNode;
class XmlElement;
class XmlAttribute;
class XmlProcessingInstruction;
class XmlDocument;
class XmlNodeList;
class XmlNamedNodeMap;
namespace detail {
struct DocHolder;
struct NodeAccess;
} // namespace detail

using XmlNodePtr = std::shared_ptr<XmlNode>;
using XmlElementPtr = std::shared_ptr<XmlElement>;
using XmlAttributePtr = std::shared_ptr<XmlAttribute>;
using XmlProcessingInstructionPtr = std::shared_ptr<XmlProcessingInstruction>;
using XmlDocumentPtr = std::shared_ptr<XmlDocument>;
using XmlNodeListPtr = std::shared_ptr<XmlNodeList>;
using XmlNamedNodeMapPtr = std::shared_ptr<XmlNamedNodeMap>;

// A DOM node. References are counted (std::shared_ptr) and stable: the same node
// always yields the same object, so two references to one node compare equal.
// A held node stays valid after it is removed from its tree and after its
// document's content is replaced by a new load (it then has no parent).
// All strings are UTF-8. Failures throw DomError. Not thread-safe: one document
// and its nodes are used from one thread at a time.
class BRINDLEKIT_API XmlNode : public std::enable_shared_from_this<XmlNode> {
public:
    virtual ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // --- identity and names
    XmlNodeType nodeType() const;
    // "#text", "#comment", "#cdata-section", "#document", "#document-fragment"
    // for the unnamed kinds; the qualified name otherwise.
    std::string nodeName() const;
    // Namespace URI of an element or attribute ("" when none).
    std::string namespaceURI() const;
    std::string prefix() const;
    // The local part of the name (nodeName without its prefix).
    std::string baseName() const;
    // The URI the prefix ("" for the default namespace) is bound to where this
    // node stands (an element's own declarations first); nullopt when unbound.
    // A default namespace undeclared with xmlns="" gives "".
    std::optional<std::string> lookupNamespaceURI(const std::string& prefix) const;

    // --- values
    // The value of attributes, text, CDATA, comments and processing instructions
    // (their data); nullopt for the other kinds.
    std::optional<std::string> nodeValue() const;
    // Sets the value; throws DomError(kDomFail) for kinds whose value is null.
    void put_nodeValue(const std::string& value);
    // The text content: the concatenated text of all descendants (entity
    // references expanded) for elements, documents and fragments; the value for
    // the other kinds.
    std::string text() const;
    // Replaces all children of an element/fragment/attribute by one text node
    // (or sets the value of the value-carrying kinds). Throws on documents.
    void put_text(const std::string& text);
    // The serialisation of this node and its descendants as UTF-8 text.
    // For the document: every top-level node, the XML declaration included as it
    // stands in the document (its encoding name is kept even though the returned
    // string itself is UTF-8), each followed by a line feed. For an attribute:
    // name="value".
    std::string xml() const;
    // The same text handed to write in pieces, in order, as the serialiser makes
    // it, so that a large document is never held whole. An exception thrown by
    // write ends the serialisation and propagates.
    void writeXml(const std::function<void(std::string_view)>& write) const;

    // --- tree
    XmlNodePtr parentNode() const;
    // The document object the node belongs to; nullptr for the document itself.
    XmlDocumentPtr ownerDocument() const;
    // Live list of the children (its length and items follow later changes).
    XmlNodeListPtr childNodes() const;
    // Live map of an element's attributes; for the XML declaration (a processing
    // instruction named "xml") a map of its pseudo-attributes (version, encoding,
    // standalone) that is a snapshot; nullptr for every other kind.
    XmlNamedNodeMapPtr attributes() const;
    bool hasChildNodes() const;
    XmlNodePtr firstChild() const;
    XmlNodePtr lastChild() const;
    XmlNodePtr previousSibling() const;
    XmlNodePtr nextSibling() const;

    // Appends newChild as the last child and returns it. A node that sits
    // elsewhere (in this or another document) is moved; a node of another
    // document is imported into this one. Appending a document fragment moves its
    // children. Throws DomError for a null node (kDomPointer), a node that may not
    // be a child here, an ancestor of this node, or a second document element
    // (kDomFail).
    XmlNodePtr appendChild(const XmlNodePtr& newChild);
    // As appendChild, before refChild (a child of this node); a null refChild appends.
    XmlNodePtr insertBefore(const XmlNodePtr& newChild, const XmlNodePtr& refChild);
    // Detaches oldChild (a child of this node) and returns it; throws
    // kDomInvalidArg when it is not a child of this node.
    XmlNodePtr removeChild(const XmlNodePtr& oldChild);
    // Puts newChild where oldChild was and returns oldChild (detached).
    XmlNodePtr replaceChild(const XmlNodePtr& newChild, const XmlNodePtr& oldChild);
    // An unattached copy in the same document; with deep, including descendants
    // (an element's attributes are always copied).
    XmlNodePtr cloneNode(bool deep) const;

    // --- XPath (XPath 1.0; prefixes from the document's "SelectionNamespaces")
    // A snapshot list of the matching nodes; throws kDomInvalidArg for a bad
    // expression or one that does not select nodes.
    XmlNodeListPtr selectNodes(const std::string& expression) const;
    XmlNodePtr selectSingleNode(const std::string& expression) const;

    // Applies an XSLT stylesheet (a document, or a node of one) to this node's
    // document with this node as the starting context and returns the output as
    // UTF-8 text, written as the stylesheet's xsl:output asks (method xml, html or
    // text). Throws DomError with the processor's message when the stylesheet
    // does not compile or the transformation fails. Never reads from the network
    // and never writes files.
    std::string transformNode(const XmlNode& stylesheet) const;

    // --- interface queries: nullptr when the node is not of that kind.
    XmlElementPtr asElement();
    XmlAttributePtr asAttribute();
    XmlProcessingInstructionPtr asProcessingInstruction();
    XmlDocumentPtr asDocument();

protected:
    XmlNode(_xmlNode* node, std::shared_ptr<detail::DocHolder> holder, XmlDocumentPtr owner);
    _xmlNode* m_node;
    std::shared_ptr<detail::DocHolder> m_holder; // keeps the libxml2 tree alive
    XmlDocumentPtr m_owner;                      // empty for the document object

    friend struct detail::NodeAccess;
};

} // namespace brindle
