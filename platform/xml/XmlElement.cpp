// Element attribute operations.

#include "platform/xml/XmlElement.h"

#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlNodeLists.h"

#include <libxml/tree.h>

#include <algorithm>

namespace brindle {

using namespace detail;

namespace {

// "xmlns" -> true with empty prefix; "xmlns:p" -> true with prefix "p".
bool IsNamespaceDeclaration(const std::string& name, std::string& prefix)
{
    if (name == "xmlns") {
        prefix.clear();
        return true;
    }
    if (name.compare(0, 6, "xmlns:") == 0) {
        prefix = name.substr(6);
        return true;
    }
    return false;
}

xmlNsPtr FindDeclaration(xmlNodePtr element, const std::string& prefix)
{
    for (xmlNsPtr ns = element->nsDef; ns; ns = ns->next)
        if (prefix.empty() ? ns->prefix == nullptr : xmlStrEqual(ns->prefix, X(prefix))) return ns;
    return nullptr;
}

// Binds the namespace of an attribute just attached to the element: by its
// prefix where it stands, else by a declaration made on the element when the
// prefix is free there, else by libxml2's reconciliation (which binds the whole
// element by URI).
void BindAttribute(xmlNodePtr element, xmlAttrPtr attribute)
{
    auto* a = reinterpret_cast<xmlNodePtr>(attribute);
    if (!a->ns || BindToScope(a)) return;
    if (a->ns->prefix && !xmlSearchNs(element->doc, element, a->ns->prefix)) {
        if (xmlNsPtr ns = xmlNewNs(element, a->ns->href, a->ns->prefix)) {
            a->ns = ns;
            return;
        }
    }
    xmlDOMWrapReconcileNamespaces(nullptr, element, 0);
}

void CheckWritable(xmlNodePtr element)
{
    if (element->parent && IsReadOnly(element->parent))
        throw DomError(kDomFail, "This node is read-only.");
}

} // namespace

std::optional<std::string> XmlElement::getAttribute(const std::string& name) const
{
    std::string prefix;
    if (IsNamespaceDeclaration(name, prefix)) {
        if (xmlNsPtr ns = FindDeclaration(m_node, prefix)) return UriFromHref(ns->href);
    }
    xmlAttrPtr a = FindAttribute(m_node, name);
    if (!a) return std::nullopt;
    return Content(reinterpret_cast<xmlNodePtr>(a));
}

void XmlElement::setAttribute(const std::string& name, const std::string& value)
{
    if (name.empty() || xmlValidateQName(X(name), 0) != 0)
        throw DomError(kDomInvalidArg, "\"" + name + "\" is not a valid attribute name.");
    CheckWritable(m_node);
    NoteEdit(m_node, kAttributesChanged);
    std::string prefix;
    if (IsNamespaceDeclaration(name, prefix)) {
        if (xmlNsPtr ns = FindDeclaration(m_node, prefix)) {
            xmlFree(const_cast<xmlChar*>(ns->href));
            ns->href = xmlStrdup(X(HrefFromUri(value)));
        } else if (!xmlNewNs(m_node, X(HrefFromUri(value)), prefix.empty() ? nullptr : X(prefix))) {
            throw DomError(kDomInvalidArg, "The namespace declaration \"" + name + "\" is not allowed.");
        }
        return;
    }
    if (xmlAttrPtr a = FindAttribute(m_node, name)) {
        SetAttrValue(a, value);
        return;
    }
    size_t colon = name.find(':');
    xmlNsPtr ns = nullptr;
    if (colon != std::string::npos) ns = xmlSearchNs(m_node->doc, m_node, X(name.substr(0, colon)));
    xmlAttrPtr a = xmlNewDocProp(m_node->doc, X(ns ? name.substr(colon + 1) : name), nullptr);
    if (!a) throw DomError(kDomOutOfMemory);
    a->ns = ns;
    SetAttrValue(a, value);
    LinkAttribute(m_node, a);
}

void XmlElement::removeAttribute(const std::string& name)
{
    CheckWritable(m_node);
    std::string prefix;
    if (IsNamespaceDeclaration(name, prefix) && FindDeclaration(m_node, prefix))
        throw DomError(kDomFail, "A namespace declaration cannot be removed.");
    if (xmlAttrPtr a = FindAttribute(m_node, name)) {
        auto* n = reinterpret_cast<xmlNodePtr>(a);
        Detach(n);
        NodeAccess::ReleaseIfUnreferenced(n);
    }
}

std::vector<std::pair<std::string, std::string>> XmlElement::namespaceDeclarations() const
{
    std::vector<std::pair<std::string, std::string>> declarations;
    for (xmlNsPtr ns = m_node->nsDef; ns; ns = ns->next)
        declarations.emplace_back(ns->prefix ? ToStr(ns->prefix) : std::string(), UriFromHref(ns->href));
    return declarations;
}

XmlAttributePtr XmlElement::getAttributeNode(const std::string& name) const
{
    return std::static_pointer_cast<XmlAttribute>(
        NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(FindAttribute(m_node, name))));
}

XmlAttributePtr XmlElement::setAttributeNode(const XmlAttributePtr& attribute)
{
    xmlNodePtr a = NodeAccess::Raw(attribute);
    if (!a) throw DomError(kDomPointer);
    if (a->parent == m_node) return nullptr;
    CheckWritable(m_node);
    if (a->parent && IsReadOnly(a->parent)) throw DomError(kDomFail, "The attribute is read-only.");
    auto self = shared_from_this();
    XmlAttributePtr replaced;
    xmlAttrPtr place = nullptr; // the attribute after the replaced one
    if (xmlAttrPtr existing = FindAttribute(m_node, QName(a))) {
        replaced = std::static_pointer_cast<XmlAttribute>(NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(existing)));
        place = existing->next;
        Detach(reinterpret_cast<xmlNodePtr>(existing));
    }
    std::shared_ptr<DocHolder> oldTree = KeepTree(a);
    xmlNodePtr oldParent = a->parent;
    Detach(a);
    if (a->doc != m_node->doc) Adopt(a, m_node->doc, m_node);
    LinkAttribute(m_node, reinterpret_cast<xmlAttrPtr>(a), place);
    BindAttribute(m_node, reinterpret_cast<xmlAttrPtr>(a));
    if (oldParent) NodeAccess::ReleaseIfUnreferenced(oldParent);
    return replaced;
}

XmlAttributePtr XmlElement::removeAttributeNode(const XmlAttributePtr& attribute)
{
    xmlNodePtr a = NodeAccess::Raw(attribute);
    if (!a) throw DomError(kDomPointer);
    if (a->parent != m_node) throw DomError(kDomInvalidArg, "The attribute does not belong to this element.");
    CheckWritable(m_node);
    Detach(a);
    return attribute;
}

XmlElement::AttributeState XmlElement::attributeState() const
{
    AttributeState state;
    for (xmlAttrPtr a = m_node->properties; a; a = a->next) {
        auto* n = reinterpret_cast<xmlNodePtr>(a);
        state.attributes.emplace_back(std::static_pointer_cast<XmlAttribute>(NodeAccess::Wrap(n)), Content(n));
    }
    state.declarations = namespaceDeclarations();
    return state;
}

namespace {

// Whether a node of the element's subtree (attributes included) uses the declaration.
bool InUse(xmlNodePtr element, xmlNsPtr ns)
{
    return ForEachElement(element, [ns](xmlNodePtr n) {
        if (n->ns == ns) return true;
        for (xmlAttrPtr a = n->properties; a; a = a->next)
            if (a->ns == ns) return true;
        return false;
    });
}

// Points every use of `from` in the element's subtree at `to`.
void Repoint(xmlNodePtr element, xmlNsPtr from, xmlNsPtr to)
{
    ForEachElement(element, [from, to](xmlNodePtr n) {
        if (n->ns == from) n->ns = to;
        for (xmlAttrPtr a = n->properties; a; a = a->next)
            if (a->ns == from) a->ns = to;
        return false;
    });
}

void UnlinkDeclaration(xmlNodePtr element, xmlNsPtr ns)
{
    xmlNsPtr* link = &element->nsDef;
    while (*link && *link != ns) link = &(*link)->next;
    if (!*link) return;
    *link = ns->next;
    ns->next = nullptr;
    xmlFreeNs(ns);
}

} // namespace

void XmlElement::restoreAttributeState(const AttributeState& state)
{
    CheckWritable(m_node);
    NoteEdit(m_node, kAttributesChanged);
    auto self = shared_from_this();
    std::vector<xmlAttrPtr> wanted;
    for (const auto& [attribute, value] : state.attributes) {
        xmlNodePtr a = NodeAccess::Raw(attribute);
        if (!a || a->doc != m_node->doc || (a->parent && a->parent != m_node))
            throw DomError(kDomInvalidArg, "The attribute belongs to another element.");
        wanted.push_back(reinterpret_cast<xmlAttrPtr>(a));
    }
    // Attributes the state does not hold leave, with their namespaces.
    for (xmlAttrPtr a = m_node->properties; a;) {
        xmlAttrPtr next = a->next;
        if (std::find(wanted.begin(), wanted.end(), a) == wanted.end()) {
            auto* n = reinterpret_cast<xmlNodePtr>(a);
            Detach(n);
            NodeAccess::ReleaseIfUnreferenced(n);
        }
        a = next;
    }
    for (const auto& [prefix, uri] : state.declarations) {
        const std::string href = HrefFromUri(uri);
        if (xmlNsPtr ns = FindDeclaration(m_node, prefix)) {
            if (!xmlStrEqual(ns->href, X(href))) {
                xmlFree(const_cast<xmlChar*>(ns->href));
                ns->href = xmlStrdup(X(href));
            }
        } else {
            xmlNewNs(m_node, X(href), prefix.empty() ? nullptr : X(prefix));
        }
    }
    for (xmlNsPtr ns = m_node->nsDef; ns;) {
        xmlNsPtr next = ns->next;
        const std::string prefix = ns->prefix ? ToStr(ns->prefix) : std::string();
        const bool kept = std::any_of(state.declarations.begin(), state.declarations.end(),
                                      [&](const auto& d) { return d.first == prefix; });
        if (!kept && !InUse(m_node, ns)) UnlinkDeclaration(m_node, ns);
        ns = next;
    }
    // The wanted attributes in their order: those still here are unlinked and
    // linked again; the others come back bound as they were.
    for (xmlAttrPtr a = m_node->properties; a;) {
        xmlAttrPtr next = a->next;
        a->prev = a->next = nullptr;
        a = next;
    }
    m_node->properties = nullptr;
    for (size_t i = 0; i < wanted.size(); ++i) {
        xmlAttrPtr a = wanted[i];
        const bool returning = a->parent != m_node;
        LinkAttribute(m_node, a);
        if (returning) BindAttribute(m_node, a);
        if (Content(reinterpret_cast<xmlNodePtr>(a)) != state.attributes[i].second)
            SetAttrValue(a, state.attributes[i].second);
    }
}

bool XmlElement::removeRepeatedDeclaration(const std::string& prefix)
{
    xmlNsPtr ns = FindDeclaration(m_node, prefix);
    if (!ns || !m_node->parent || m_node->parent->type != XML_ELEMENT_NODE) return false;
    CheckWritable(m_node);
    xmlNsPtr outer = xmlSearchNs(m_node->doc, m_node->parent, prefix.empty() ? nullptr : X(prefix));
    if (!outer || !xmlStrEqual(outer->href, ns->href)) return false;
    NoteEdit(m_node, kAttributesChanged);
    Repoint(m_node, ns, outer);
    UnlinkDeclaration(m_node, ns);
    ++g_treeGeneration;
    return true;
}

XmlNodeListPtr XmlElement::getElementsByTagName(const std::string& name) const
{
    return std::make_shared<ElementsByTagNameList>(std::const_pointer_cast<XmlNode>(shared_from_this()), name);
}

XmlElementPtr XmlAttribute::ownerElement() const
{
    return std::static_pointer_cast<XmlElement>(NodeAccess::Wrap(m_node->parent));
}

} // namespace brindle
