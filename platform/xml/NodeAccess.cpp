// How node objects map onto libxml2 nodes: identity, lifetime, linking.

#include "platform/xml/NodeAccess.h"

#include "platform/xml/DomError.h"
#include "platform/xml/SmallBlockPool.h"
#include "platform/xml/TreeReaper.h"

#include <libxml/valid.h>

namespace brindle::detail {

uint64_t g_treeGeneration = 1;

DocHolder::DocHolder(xmlDocPtr d) : doc(d) { doc->_private = this; }

DocHolder::~DocHolder()
{
    doc->_private = nullptr;
    if (freeInPlace) {
        PoolHold hold; // millions of blocks: one lock for them all
        xmlFreeDoc(doc);
    } else {
        FreeTree(doc, inputSize);
    }
}

std::shared_ptr<DocHolder> NewHolder(xmlDocPtr doc, XmlDocument* owner)
{
    auto holder = std::make_shared<DocHolder>(doc);
    holder->self = holder;
    holder->owner = owner;
    return holder;
}

namespace {

// Visits root and everything below it (attributes and their values included;
// entity references are not entered, their content belongs to the DTD). Stops
// and returns true as soon as visit returns true.
template <class Visit> bool AnyInSubtree(xmlNodePtr root, Visit visit)
{
    auto visitAttributes = [&](xmlNodePtr element) {
        for (xmlAttrPtr a = element->properties; a; a = a->next) {
            if (visit(reinterpret_cast<xmlNodePtr>(a))) return true;
            for (xmlNodePtr c = a->children; c; c = c->next)
                if (visit(c)) return true;
        }
        return false;
    };
    if (root->type == XML_ATTRIBUTE_NODE) {
        if (visit(root)) return true;
        for (xmlNodePtr c = root->children; c; c = c->next)
            if (visit(c)) return true;
        return false;
    }
    xmlNodePtr cur = root;
    while (cur) {
        if (visit(cur)) return true;
        if (cur->type == XML_ELEMENT_NODE && visitAttributes(cur)) return true;
        if (cur->type != XML_ENTITY_REF_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur != root && !cur->next) cur = cur->parent;
        if (cur == root) break;
        cur = cur->next;
    }
    return false;
}

} // namespace

XmlDocument* NodeAccess::DocumentObject(const XmlNode& n)
{
    return n.m_holder ? n.m_holder->owner : nullptr;
}

XmlNodePtr NodeAccess::Wrap(xmlNodePtr n)
{
    if (!n || n->type == XML_NAMESPACE_DECL) return nullptr;
    if (n->type == XML_DOCUMENT_NODE || n->type == XML_HTML_DOCUMENT_NODE) {
        auto* h = static_cast<DocHolder*>(reinterpret_cast<xmlDocPtr>(n)->_private);
        if (!h || !h->owner || h->owner->m_node != n) return nullptr;
        return h->owner->shared_from_this();
    }
    if (n->_private) return static_cast<XmlNode*>(n->_private)->shared_from_this();
    if (!n->doc || !n->doc->_private) return nullptr;
    auto* h = static_cast<DocHolder*>(n->doc->_private);
    std::shared_ptr<DocHolder> holder = h->self.lock();
    XmlDocumentPtr owner = h->owner ? std::static_pointer_cast<XmlDocument>(h->owner->shared_from_this()) : nullptr;
    XmlNodePtr made;
    switch (n->type) {
    case XML_ELEMENT_NODE: made.reset(new XmlElement(n, holder, owner)); break;
    case XML_ATTRIBUTE_NODE: made.reset(new XmlAttribute(n, holder, owner)); break;
    case XML_PI_NODE: made.reset(new XmlProcessingInstruction(n, holder, owner)); break;
    default: made.reset(new XmlNode(n, holder, owner)); break;
    }
    n->_private = made.get();
    return made;
}

void NodeAccess::Rehome(xmlNodePtr subtree, const std::shared_ptr<DocHolder>& holder)
{
    XmlDocumentPtr owner =
        holder->owner ? std::static_pointer_cast<XmlDocument>(holder->owner->shared_from_this()) : nullptr;
    // Keep the old trees alive until every object points at the new one.
    std::vector<std::shared_ptr<DocHolder>> old;
    AnyInSubtree(subtree, [&](xmlNodePtr n) {
        if (n->_private) {
            auto* obj = static_cast<XmlNode*>(n->_private);
            if (obj->m_holder != holder) {
                old.push_back(std::move(obj->m_holder));
                obj->m_holder = holder;
                obj->m_owner = owner;
            }
        }
        return false;
    });
}

void NodeAccess::ReleaseIfUnreferenced(xmlNodePtr node)
{
    xmlNodePtr top = node;
    while (top->parent) top = top->parent;
    if (top->type == XML_DOCUMENT_NODE || top->type == XML_HTML_DOCUMENT_NODE) return; // still in a tree
    if (AnyInSubtree(top, [](xmlNodePtr n) { return n->_private != nullptr; })) return;
    ForgetSpans(top);
    switch (top->type) {
    case XML_ATTRIBUTE_NODE: xmlFreeProp(reinterpret_cast<xmlAttrPtr>(top)); break;
    case XML_DTD_NODE: xmlFreeDtd(reinterpret_cast<xmlDtdPtr>(top)); break;
    case XML_ENTITY_DECL: break; // owned by its DTD's entity table
    default: xmlFreeNode(top); break;
    }
}

XmlNodeType DomType(const xmlNode* n)
{
    switch (n->type) {
    case XML_ELEMENT_NODE: return NODE_ELEMENT;
    case XML_ATTRIBUTE_NODE: return NODE_ATTRIBUTE;
    case XML_TEXT_NODE: return NODE_TEXT;
    case XML_CDATA_SECTION_NODE: return NODE_CDATA_SECTION;
    case XML_ENTITY_REF_NODE: return NODE_ENTITY_REFERENCE;
    case XML_ENTITY_DECL: return NODE_ENTITY;
    case XML_PI_NODE: return NODE_PROCESSING_INSTRUCTION;
    case XML_COMMENT_NODE: return NODE_COMMENT;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return NODE_DOCUMENT;
    case XML_DTD_NODE:
    case XML_DOCUMENT_TYPE_NODE: return NODE_DOCUMENT_TYPE;
    case XML_DOCUMENT_FRAG_NODE: return NODE_DOCUMENT_FRAGMENT;
    case XML_NOTATION_NODE: return NODE_NOTATION;
    default: return NODE_INVALID;
    }
}

std::string ToStr(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

std::string Content(const xmlNode* n)
{
    xmlChar* c = xmlNodeGetContent(n);
    std::string s = ToStr(c);
    xmlFree(c);
    return s;
}

std::string QName(const xmlNode* n)
{
    std::string name = ToStr(n->name);
    if ((n->type == XML_ELEMENT_NODE || n->type == XML_ATTRIBUTE_NODE) && n->ns && n->ns->prefix)
        return ToStr(n->ns->prefix) + ":" + name;
    return name;
}

xmlNodePtr DeclarationOf(xmlDocPtr doc)
{
    xmlNodePtr first = doc ? doc->children : nullptr;
    if (first && first->type == XML_PI_NODE && xmlStrcasecmp(first->name, BAD_CAST "xml") == 0) return first;
    return nullptr;
}

xmlNsPtr DocLevelNs(xmlDocPtr doc, const xmlChar* href, const xmlChar* prefix)
{
    if (prefix && xmlStrEqual(prefix, BAD_CAST "xml")) return xmlSearchNs(doc, reinterpret_cast<xmlNodePtr>(doc), prefix);
    xmlNsPtr last = nullptr;
    for (xmlNsPtr ns = doc->oldNs; ns; ns = ns->next) {
        if (xmlStrEqual(ns->href, href) && xmlStrEqual(ns->prefix, prefix)) return ns;
        last = ns;
    }
    xmlNsPtr ns = xmlNewNs(nullptr, href, prefix);
    if (!ns) throw DomError(kDomOutOfMemory);
    if (last)
        last->next = ns;
    else
        doc->oldNs = ns;
    return ns;
}

void Detach(xmlNodePtr node)
{
    ++g_treeGeneration;
    if (!node->parent) return;
    NoteValueEdit(node);
    if (node->type == XML_DTD_NODE || node->type == XML_ENTITY_DECL ||
        xmlDOMWrapRemoveNode(nullptr, node->doc, node, 0) != 0)
        xmlUnlinkNode(node);
}

void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref)
{
    ++g_treeGeneration;
    child->parent = parent;
    if (ref) {
        child->next = ref;
        child->prev = ref->prev;
        if (ref->prev)
            ref->prev->next = child;
        else
            parent->children = child;
        ref->prev = child;
    } else {
        child->next = nullptr;
        child->prev = parent->last;
        if (parent->last)
            parent->last->next = child;
        else
            parent->children = child;
        parent->last = child;
    }
    NoteValueEdit(child);
}

void LinkAttribute(xmlNodePtr element, xmlAttrPtr attr, xmlAttrPtr ref)
{
    ++g_treeGeneration;
    NoteEdit(element, kAttributesChanged);
    attr->parent = element;
    attr->next = nullptr;
    attr->prev = nullptr;
    if (ref) {
        attr->next = ref;
        attr->prev = ref->prev;
        if (ref->prev)
            ref->prev->next = attr;
        else
            element->properties = attr;
        ref->prev = attr;
        return;
    }
    if (!element->properties) {
        element->properties = attr;
        return;
    }
    xmlAttrPtr last = element->properties;
    while (last->next) last = last->next;
    last->next = attr;
    attr->prev = last;
}

namespace {

bool IsDocumentLevel(xmlDocPtr doc, xmlNsPtr ns)
{
    for (xmlNsPtr at = doc ? doc->oldNs : nullptr; at; at = at->next)
        if (at == ns) return true;
    return false;
}

// The declaration in scope at the node with the reference's prefix and URI;
// false when the reference stays a document-level one.
bool Rebind(xmlDocPtr doc, xmlNodePtr scope, xmlNsPtr& ref)
{
    if (!ref || !IsDocumentLevel(doc, ref)) return true;
    xmlNsPtr found = xmlSearchNs(doc, scope, ref->prefix);
    if (!found || IsDocumentLevel(doc, found) || !xmlStrEqual(found->href, ref->href)) return false;
    ref = found;
    return true;
}

} // namespace

bool BindToScope(xmlNodePtr subtree)
{
    xmlDocPtr doc = subtree->doc;
    if (!doc) return false;
    if (subtree->type == XML_ATTRIBUTE_NODE) return !subtree->parent || Rebind(doc, subtree->parent, subtree->ns);
    if (subtree->type != XML_ELEMENT_NODE) return true;
    bool bound = true;
    ForEachElement(subtree, [&](xmlNodePtr n) {
        bound = Rebind(doc, n, n->ns) && bound;
        for (xmlAttrPtr a = n->properties; a; a = a->next) bound = Rebind(doc, n, a->ns) && bound;
        return false;
    });
    return bound;
}

std::shared_ptr<DocHolder> KeepTree(xmlNodePtr node)
{
    auto* h = node && node->doc ? static_cast<DocHolder*>(node->doc->_private) : nullptr;
    return h ? h->self.lock() : nullptr;
}

void Adopt(xmlNodePtr node, xmlDocPtr doc, xmlNodePtr newParent)
{
    (void)newParent; // namespaces are reconciled once the node is linked
    if (node->doc == doc) return;
    xmlDocPtr from = node->doc;
    ForgetSpans(node); // its text is not in the new document's
    if (xmlDOMWrapAdoptNode(nullptr, from, node, doc, nullptr, 0) != 0)
        throw DomError(kDomFail, "The node cannot be moved into this document.");
    ++g_treeGeneration;
    auto* h = static_cast<DocHolder*>(doc->_private);
    if (h) NodeAccess::Rehome(node, h->self.lock());
}

void ReplaceChildrenWithText(xmlNodePtr parent, const std::string& text)
{
    xmlNodePtr c = parent->children;
    if (parent->type == XML_ENTITY_REF_NODE) throw DomError(kDomFail, "An entity reference is read-only.");
    while (c) {
        xmlNodePtr next = c->next;
        Detach(c);
        NodeAccess::ReleaseIfUnreferenced(c);
        c = next;
    }
    if (!text.empty()) {
        xmlNodePtr t = xmlNewDocTextLen(parent->doc, X(text), static_cast<int>(text.size()));
        if (!t) throw DomError(kDomOutOfMemory);
        LinkChild(parent, t, nullptr);
    }
}

void SetAttrValue(xmlAttrPtr attr, const std::string& value)
{
    const bool isId = attr->atype == XML_ATTRIBUTE_ID && attr->doc;
    if (isId) xmlRemoveID(attr->doc, attr);
    ReplaceChildrenWithText(reinterpret_cast<xmlNodePtr>(attr), value);
    if (isId) xmlAddID(nullptr, attr->doc, X(value), attr);
}

} // namespace brindle::detail

namespace brindle::detail {

namespace {

xmlNodePtr ListHead(xmlNodePtr p)
{
    switch (p->type) {
    case XML_ENTITY_REF_NODE: {
        xmlNodePtr ent = p->children;
        return ent && ent->type == XML_ENTITY_DECL ? ent->children : nullptr;
    }
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
    case XML_DTD_NODE:
    case XML_ENTITY_DECL: return p->children;
    default: return nullptr;
    }
}

bool Visible(xmlNodePtr c)
{
    if (c->parent && c->parent->type == XML_DTD_NODE) return c->type == XML_ENTITY_DECL;
    switch (c->type) {
    case XML_ELEMENT_DECL:
    case XML_ATTRIBUTE_DECL:
    case XML_ENTITY_DECL:
    case XML_NAMESPACE_DECL:
    case XML_XINCLUDE_START:
    case XML_XINCLUDE_END: return false;
    default: return true;
    }
}

} // namespace

xmlNodePtr DomFirstChild(xmlNodePtr parent)
{
    xmlNodePtr c = ListHead(parent);
    while (c && !Visible(c)) c = c->next;
    return c;
}

xmlNodePtr DomLastChild(xmlNodePtr parent)
{
    xmlNodePtr c = ListHead(parent);
    if (!c) return nullptr;
    xmlNodePtr last = c->parent && c->parent->last ? c->parent->last : c;
    while (last->next) last = last->next;
    while (last && !Visible(last)) last = last->prev;
    return last;
}

xmlNodePtr DomNext(xmlNodePtr node)
{
    if (node->type == XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr n = node->next;
    while (n && !Visible(n)) n = n->next;
    return n;
}

xmlNodePtr DomPrev(xmlNodePtr node)
{
    if (node->type == XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr n = node->prev;
    while (n && !Visible(n)) n = n->prev;
    return n;
}

bool IsReadOnly(xmlNodePtr node)
{
    for (xmlNodePtr n = node; n; n = n->parent)
        if (n->type == XML_ENTITY_DECL || n->type == XML_DTD_NODE || n->type == XML_ENTITY_REF_NODE) return true;
    return false;
}

} // namespace brindle::detail
