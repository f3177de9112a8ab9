#pragma once

#include "platform/xml/XmlNode.h"

#include <utility>
#include <vector>

namespace brindle {

// An element node (NODE_ELEMENT).
class BRINDLEKIT_API XmlElement : public XmlNode {
public:
    std::string tagName() const { return nodeName(); }
    // The value of the attribute with this qualified name; nullopt when absent.
    std::optional<std::string> getAttribute(const std::string& name) const;
    // Creates or updates the attribute. A name "xmlns" or "xmlns:p" sets a
    // namespace declaration. Throws kDomInvalidArg for a name that is not an XML name.
    void setAttribute(const std::string& name, const std::string& value);
    // Removes the attribute if present.
    void removeAttribute(const std::string& name);
    XmlAttributePtr getAttributeNode(const std::string& name) const;
    // Attaches the attribute (moving it from another element or document if
    // needed); returns the attribute of the same name it replaced, or nullptr.
    // A replacing attribute takes the replaced one's place; a new one goes last.
    XmlAttributePtr setAttributeNode(const XmlAttributePtr& attribute);
    // Detaches the attribute (which must belong to this element) and returns it.
    XmlAttributePtr removeAttributeNode(const XmlAttributePtr& attribute);
    // Live list of the descendant elements with this name ("*" for all), in
    // document order.
    // The namespace declarations made on this element, in document order, as
    // (prefix, URI) pairs; the default namespace has an empty prefix. They are
    // not attributes of the attribute map.
    std::vector<std::pair<std::string, std::string>> namespaceDeclarations() const;
    XmlNodeListPtr getElementsByTagName(const std::string& name) const;

    // --- the start tag as a whole: its attributes (the node objects, in order,
    // with their values) and its namespace declarations
    struct AttributeState {
        std::vector<std::pair<XmlAttributePtr, std::string>> attributes;
        std::vector<std::pair<std::string, std::string>> declarations;
    };
    AttributeState attributeState() const;
    // Puts a state taken earlier back: attributes not in it are detached, its
    // attributes are attached in its order with its values, declarations get its
    // URIs back, and declarations it lacks go unless a node still uses them.
    void restoreAttributeState(const AttributeState& state);
    // Drops this element's declaration of the prefix ("" for the default
    // namespace) when its parent's scope binds the prefix to the same URI; the
    // element and its descendants then use that one. True when dropped.
    bool removeRepeatedDeclaration(const std::string& prefix);

protected:
    using XmlNode::XmlNode;
    friend struct detail::NodeAccess;
};

// An attribute node (NODE_ATTRIBUTE).
class BRINDLEKIT_API XmlAttribute : public XmlNode {
public:
    std::string name() const { return nodeName(); }
    std::string value() const { return nodeValue().value_or(std::string()); }
    void put_value(const std::string& value) { put_nodeValue(value); }
    // The element the attribute is attached to (DOM attributes have no parent).
    XmlElementPtr ownerElement() const;

protected:
    using XmlNode::XmlNode;
    friend struct detail::NodeAccess;
};

// A processing instruction (NODE_PROCESSING_INSTRUCTION); the XML declaration
// appears as one with the target "xml".
class BRINDLEKIT_API XmlProcessingInstruction : public XmlNode {
public:
    std::string target() const { return nodeName(); }
    std::string data() const { return nodeValue().value_or(std::string()); }
    void put_data(const std::string& data) { put_nodeValue(data); }

protected:
    using XmlNode::XmlNode;
    friend struct detail::NodeAccess;
};

} // namespace brindle
