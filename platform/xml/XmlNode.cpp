// Node properties and tree editing.

#include "platform/xml/XmlNode.h"

#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlNodeList.h"
#include "platform/xml/XmlNodeLists.h"

#include <libxml/tree.h>

#include <vector>

namespace brindle {

using namespace detail;

XmlNode::XmlNode(_xmlNode* node, std::shared_ptr<DocHolder> holder, XmlDocumentPtr owner)
    : m_node(node), m_holder(std::move(holder)), m_owner(std::move(owner))
{
}

XmlNode::~XmlNode()
{
    if (!m_node || m_node->type == XML_DOCUMENT_NODE) return;
    m_node->_private = nullptr;
    NodeAccess::ReleaseIfUnreferenced(m_node);
}

XmlNodeType XmlNode::nodeType() const { return DomType(m_node); }

std::string XmlNode::nodeName() const
{
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: return QName(m_node);
    case XML_TEXT_NODE: return "#text";
    case XML_CDATA_SECTION_NODE: return "#cdata-section";
    case XML_COMMENT_NODE: return "#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return "#document";
    case XML_DOCUMENT_FRAG_NODE: return "#document-fragment";
    default: return ToStr(m_node->name);
    }
}

std::string XmlNode::namespaceURI() const
{
    if ((m_node->type == XML_ELEMENT_NODE || m_node->type == XML_ATTRIBUTE_NODE) && m_node->ns)
        return UriFromHref(m_node->ns->href);
    return {};
}

std::string XmlNode::prefix() const
{
    if (m_node->type != XML_ELEMENT_NODE && m_node->type != XML_ATTRIBUTE_NODE) return {};
    if (m_node->ns) return ToStr(m_node->ns->prefix);
    // A prefixed name created without a namespace keeps its prefix in the name.
    std::string name = ToStr(m_node->name);
    size_t colon = name.find(':');
    return colon == std::string::npos ? std::string() : name.substr(0, colon);
}

std::string XmlNode::baseName() const
{
    std::string name = nodeName();
    if (m_node->type != XML_ELEMENT_NODE && m_node->type != XML_ATTRIBUTE_NODE) return name;
    size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

namespace {

// Values that would make the serialisation unreadable are refused.
void CheckValue(xmlNodePtr n, const std::string& value)
{
    const char* bad = nullptr;
    if (n->type == XML_COMMENT_NODE && (value.find("--") != std::string::npos || (!value.empty() && value.back() == '-')))
        bad = "A comment cannot contain \"--\" or end with \"-\".";
    else if (n->type == XML_CDATA_SECTION_NODE && value.find("]]>") != std::string::npos)
        bad = "A CDATA section cannot contain \"]]>\".";
    else if (n->type == XML_PI_NODE && value.find("?>") != std::string::npos)
        bad = "A processing instruction cannot contain \"?>\".";
    if (bad) throw DomError(kDomInvalidArg, bad);
}

void CheckWritable(xmlNodePtr n)
{
    if (n->parent && IsReadOnly(n->parent)) throw DomError(kDomFail, "This node is read-only.");
}

} // namespace

std::optional<std::string> XmlNode::nodeValue() const
{
    switch (m_node->type) {
    case XML_ATTRIBUTE_NODE: return Content(m_node);
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: return ToStr(m_node->content);
    default: return std::nullopt;
    }
}

void XmlNode::put_nodeValue(const std::string& value)
{
    switch (m_node->type) {
    case XML_ATTRIBUTE_NODE:
        CheckWritable(m_node);
        SetAttrValue(reinterpret_cast<xmlAttrPtr>(m_node), value);
        return;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        CheckWritable(m_node);
        CheckValue(m_node, value);
        xmlNodeSetContentLen(m_node, X(value), static_cast<int>(value.size()));
        NoteValueEdit(m_node);
        return;
    default:
        throw DomError(kDomFail, "This operation cannot be performed with a node of type " +
                                     std::string(NodeTypeName(nodeType())) + ".");
    }
}

std::string XmlNode::text() const
{
    switch (m_node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: return ToStr(m_node->content);
    case XML_DTD_NODE: return {};
    default: return Content(m_node);
    }
}

void XmlNode::put_text(const std::string& value)
{
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        CheckWritable(m_node);
        ReplaceChildrenWithText(m_node, value);
        return;
    case XML_ATTRIBUTE_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: put_nodeValue(value); return;
    default:
        throw DomError(kDomFail, "This operation cannot be performed with a node of type " +
                                     std::string(NodeTypeName(nodeType())) + ".");
    }
}

std::string XmlNode::xml() const { return SerializeNode(m_node); }

void XmlNode::writeXml(const std::function<void(std::string_view)>& write) const { SerializeNodeTo(m_node, write); }

XmlNodePtr XmlNode::parentNode() const
{
    if (m_node->type == XML_ATTRIBUTE_NODE) return nullptr;
    return NodeAccess::Wrap(m_node->parent);
}

XmlDocumentPtr XmlNode::ownerDocument() const { return m_owner; }

XmlNodeListPtr XmlNode::childNodes() const
{
    return std::make_shared<ChildNodeList>(std::const_pointer_cast<XmlNode>(shared_from_this()));
}

XmlNamedNodeMapPtr XmlNode::attributes() const
{
    auto self = std::const_pointer_cast<XmlNode>(shared_from_this());
    if (m_node->type == XML_ELEMENT_NODE) return std::make_shared<AttributeMap>(self);
    if (m_node->type == XML_PI_NODE && xmlStrcasecmp(m_node->name, BAD_CAST "xml") == 0)
        return DeclarationAttributes(self);
    return nullptr;
}

bool XmlNode::hasChildNodes() const { return DomFirstChild(m_node) != nullptr; }
XmlNodePtr XmlNode::firstChild() const { return NodeAccess::Wrap(DomFirstChild(m_node)); }
XmlNodePtr XmlNode::lastChild() const { return NodeAccess::Wrap(DomLastChild(m_node)); }
XmlNodePtr XmlNode::previousSibling() const { return NodeAccess::Wrap(DomPrev(m_node)); }
XmlNodePtr XmlNode::nextSibling() const { return NodeAccess::Wrap(DomNext(m_node)); }

std::optional<std::string> XmlNode::lookupNamespaceURI(const std::string& prefix) const
{
    if (m_node->type == XML_DOCUMENT_NODE || !m_node->doc) return std::nullopt;
    xmlNsPtr ns = xmlSearchNs(m_node->doc, m_node, prefix.empty() ? nullptr : X(prefix));
    if (!ns) return std::nullopt;
    return UriFromHref(ns->href);
}

namespace {

xmlDocPtr DocOf(xmlNodePtr n)
{
    return n->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(n) : n->doc;
}

[[noreturn]] void Refuse(const std::string& why) { throw DomError(kDomFail, why); }

xmlNodePtr RootElement(xmlNodePtr doc)
{
    for (xmlNodePtr c = doc->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) return c;
    return nullptr;
}

// Whether child may go under parent (before ref), replacing `replacing` if given.
void CheckInsert(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref, xmlNodePtr replacing)
{
    switch (parent->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
    case XML_ATTRIBUTE_NODE: break;
    default:
        Refuse(std::string("This operation cannot be performed with a node of type ") +
               NodeTypeName(DomType(parent)) + ".");
    }
    if (IsReadOnly(parent)) Refuse("This node is read-only.");
    if (ref && (ref->parent != parent || ref->type == XML_ATTRIBUTE_NODE))
        throw DomError(kDomInvalidArg, "The reference node is not a child of this node.");
    switch (child->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE: break;
    default:
        Refuse(std::string("Insert of a node of type ") + NodeTypeName(DomType(child)) + " is not allowed here.");
    }
    if (child->parent && IsReadOnly(child->parent)) Refuse("The node is read-only.");
    if (parent->type == XML_ATTRIBUTE_NODE && child->type != XML_TEXT_NODE && child->type != XML_ENTITY_REF_NODE)
        Refuse("An attribute can only hold text and entity references.");
    if (parent->type == XML_DOCUMENT_NODE) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE ||
            child->type == XML_ENTITY_REF_NODE)
            Refuse("Text cannot be inserted at the top level of an XML document.");
        if (child->type == XML_ELEMENT_NODE) {
            xmlNodePtr root = RootElement(parent);
            if (root && root != child && root != replacing)
                Refuse("Only one top level element is allowed in an XML document.");
        }
    }
    for (xmlNodePtr a = parent; a; a = a->parent)
        if (a == child) Refuse("The new child node is an ancestor of this node.");
}

void InsertOne(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref)
{
    if (child == ref) return;
    // The old tree may lose its last reference when the node moves out of it.
    std::shared_ptr<DocHolder> oldTree = KeepTree(child);
    xmlNodePtr oldParent = child->parent;
    Detach(child);
    xmlDocPtr doc = DocOf(parent);
    if (child->doc != doc) Adopt(child, doc, parent);
    LinkChild(parent, child, ref);
    // Reconciled only when a namespace is not found by its prefix where the node
    // now stands (reconciling would bind by URI and may change prefixes), and
    // without removing redundant declarations: that frees namespace records that
    // nodes outside the subtree may still refer to.
    if (child->type == XML_ELEMENT_NODE && !BindToScope(child)) xmlDOMWrapReconcileNamespaces(nullptr, child, 0);
    // The node may have been the last referenced part of a detached tree.
    if (oldParent) NodeAccess::ReleaseIfUnreferenced(oldParent);
}

} // namespace

XmlNodePtr XmlNode::insertBefore(const XmlNodePtr& newChild, const XmlNodePtr& refChild)
{
    xmlNodePtr c = NodeAccess::Raw(newChild);
    xmlNodePtr r = NodeAccess::Raw(refChild);
    if (!c) throw DomError(kDomPointer);
    auto self = shared_from_this();
    if (c->type == XML_DOCUMENT_FRAG_NODE) {
        std::vector<XmlNodePtr> items; // held so that none is freed midway
        for (xmlNodePtr n = c->children; n; n = n->next) {
            CheckInsert(m_node, n, r, nullptr);
            items.push_back(NodeAccess::Wrap(n));
        }
        if (m_node->type == XML_DOCUMENT_NODE) {
            int elements = RootElement(m_node) ? 1 : 0;
            for (const auto& i : items) elements += i->nodeType() == NODE_ELEMENT;
            if (elements > 1) Refuse("Only one top level element is allowed in an XML document.");
        }
        for (const auto& i : items) InsertOne(m_node, NodeAccess::Raw(i), r);
        return newChild;
    }
    CheckInsert(m_node, c, r, nullptr);
    InsertOne(m_node, c, r);
    return newChild;
}

XmlNodePtr XmlNode::appendChild(const XmlNodePtr& newChild) { return insertBefore(newChild, nullptr); }

XmlNodePtr XmlNode::removeChild(const XmlNodePtr& oldChild)
{
    xmlNodePtr o = NodeAccess::Raw(oldChild);
    if (!o) throw DomError(kDomPointer);
    if (o->parent != m_node || o->type == XML_ATTRIBUTE_NODE || o->type == XML_ENTITY_DECL)
        throw DomError(kDomInvalidArg, "The node is not a child of this node.");
    if (IsReadOnly(m_node)) Refuse("This node is read-only.");
    Detach(o);
    return oldChild;
}

XmlNodePtr XmlNode::replaceChild(const XmlNodePtr& newChild, const XmlNodePtr& oldChild)
{
    xmlNodePtr c = NodeAccess::Raw(newChild);
    xmlNodePtr o = NodeAccess::Raw(oldChild);
    if (!c || !o) throw DomError(kDomPointer);
    if (o->parent != m_node || o->type == XML_ATTRIBUTE_NODE)
        throw DomError(kDomInvalidArg, "The node to replace is not a child of this node.");
    if (c == o) return oldChild;
    auto self = shared_from_this();
    if (c->type == XML_DOCUMENT_FRAG_NODE) {
        insertBefore(newChild, oldChild);
    } else {
        CheckInsert(m_node, c, o, o);
        InsertOne(m_node, c, o);
    }
    Detach(o);
    PassSpan(o, c); // an element renamed through a replacement keeps its text
    return oldChild;
}

XmlNodePtr XmlNode::cloneNode(bool deep) const
{
    switch (m_node->type) {
    case XML_DOCUMENT_NODE: {
        XmlDocumentPtr copy = XmlDocument::Create();
        xmlDocPtr d = xmlCopyDoc(reinterpret_cast<xmlDocPtr>(m_node), deep ? 1 : 0);
        if (!d) throw DomError(kDomOutOfMemory);
        NodeAccess::SetContent(*copy, d);
        return copy;
    }
    case XML_ATTRIBUTE_NODE: {
        auto* a = reinterpret_cast<xmlAttrPtr>(xmlDocCopyNode(m_node, m_node->doc, 1));
        if (!a) throw DomError(kDomOutOfMemory);
        if (m_node->ns) a->ns = DocLevelNs(m_node->doc, m_node->ns->href, m_node->ns->prefix);
        return NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(a));
    }
    case XML_DTD_NODE:
    case XML_ENTITY_DECL: Refuse("A document type or entity cannot be cloned.");
    default: {
        xmlNodePtr n = xmlDocCopyNode(m_node, m_node->doc, deep ? 1 : 2);
        if (!n) throw DomError(kDomOutOfMemory);
        return NodeAccess::Wrap(n);
    }
    }
}

XmlElementPtr XmlNode::asElement() { return std::dynamic_pointer_cast<XmlElement>(shared_from_this()); }
XmlAttributePtr XmlNode::asAttribute() { return std::dynamic_pointer_cast<XmlAttribute>(shared_from_this()); }
XmlProcessingInstructionPtr XmlNode::asProcessingInstruction()
{
    return std::dynamic_pointer_cast<XmlProcessingInstruction>(shared_from_this());
}
XmlDocumentPtr XmlNode::asDocument() { return std::dynamic_pointer_cast<XmlDocument>(shared_from_this()); }

} // namespace brindle
