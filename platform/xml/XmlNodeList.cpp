// Live node lists and attribute maps.

#include "platform/xml/XmlNodeList.h"

#include "platform/xml/DomError.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlNodeLists.h"

namespace brindle {

XmlNodeList::~XmlNodeList() = default;
XmlNamedNodeMap::~XmlNamedNodeMap() = default;

namespace detail {

bool ListCursor::Fresh() const { return generation == g_treeGeneration; }

void ListCursor::Reset()
{
    generation = g_treeGeneration;
    index = -1;
    node = nullptr;
    length = -1;
}

// --- childNodes

long ChildNodeList::length() const
{
    if (!m_cursor.Fresh()) m_cursor.Reset();
    if (m_cursor.length < 0) {
        long n = 0;
        for (xmlNodePtr c = DomFirstChild(NodeAccess::Raw(m_parent)); c; c = DomNext(c)) ++n;
        m_cursor.length = n;
    }
    return m_cursor.length;
}

xmlNodePtr ChildNodeList::At(long index) const
{
    if (index < 0) return nullptr;
    if (!m_cursor.Fresh()) m_cursor.Reset();
    long i = 0;
    xmlNodePtr c = nullptr;
    if (m_cursor.node && m_cursor.index <= index) {
        i = m_cursor.index;
        c = m_cursor.node;
    } else if (m_cursor.node && index < m_cursor.index && m_cursor.index - index < index) {
        i = m_cursor.index;
        c = m_cursor.node;
        while (c && i > index) {
            c = DomPrev(c);
            --i;
        }
    } else {
        c = DomFirstChild(NodeAccess::Raw(m_parent));
    }
    while (c && i < index) {
        c = DomNext(c);
        ++i;
    }
    if (c) {
        m_cursor.index = index;
        m_cursor.node = c;
    }
    return c;
}

XmlNodePtr ChildNodeList::item(long index) const { return NodeAccess::Wrap(At(index)); }

// --- getElementsByTagName

xmlNodePtr ElementsByTagNameList::NextMatch(xmlNodePtr cur) const
{
    xmlNodePtr root = NodeAccess::Raw(m_root);
    for (;;) {
        // Document order, below root only; entity content is not entered.
        if (cur->type != XML_ENTITY_REF_NODE && cur->type != XML_DTD_NODE && cur->children &&
            cur->type != XML_ATTRIBUTE_NODE) {
            cur = cur->children;
        } else {
            while (cur != root && !cur->next) cur = cur->parent;
            if (cur == root) return nullptr;
            cur = cur->next;
        }
        if (cur->type == XML_ELEMENT_NODE && (m_name == "*" || QName(cur) == m_name)) return cur;
    }
}

long ElementsByTagNameList::length() const
{
    if (!m_cursor.Fresh()) m_cursor.Reset();
    if (m_cursor.length < 0) {
        long n = 0;
        for (xmlNodePtr c = NextMatch(NodeAccess::Raw(m_root)); c; c = NextMatch(c)) ++n;
        m_cursor.length = n;
    }
    return m_cursor.length;
}

xmlNodePtr ElementsByTagNameList::At(long index) const
{
    if (index < 0) return nullptr;
    if (!m_cursor.Fresh()) m_cursor.Reset();
    long i = 0;
    xmlNodePtr c;
    if (m_cursor.node && m_cursor.index <= index) {
        i = m_cursor.index;
        c = m_cursor.node;
    } else {
        c = NextMatch(NodeAccess::Raw(m_root));
    }
    while (c && i < index) {
        c = NextMatch(c);
        ++i;
    }
    if (c) {
        m_cursor.index = index;
        m_cursor.node = c;
    }
    return c;
}

XmlNodePtr ElementsByTagNameList::item(long index) const { return NodeAccess::Wrap(At(index)); }

XmlNodePtr SnapshotList::item(long index) const
{
    return index >= 0 && index < length() ? m_nodes[static_cast<size_t>(index)] : nullptr;
}

// --- attributes

xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name)
{
    for (xmlAttrPtr a = element->properties; a; a = a->next)
        if (QName(reinterpret_cast<xmlNodePtr>(a)) == name) return a;
    return nullptr;
}

long AttributeMap::length() const
{
    if (!m_cursor.Fresh()) m_cursor.Reset();
    if (m_cursor.length < 0) {
        long n = 0;
        for (xmlAttrPtr a = NodeAccess::Raw(m_element)->properties; a; a = a->next) ++n;
        m_cursor.length = n;
    }
    return m_cursor.length;
}

XmlNodePtr AttributeMap::item(long index) const
{
    if (index < 0) return nullptr;
    if (!m_cursor.Fresh()) m_cursor.Reset();
    // Reading the map in order walks it once: the walk goes on from the last item.
    long i = 0;
    xmlAttrPtr a = NodeAccess::Raw(m_element)->properties;
    if (m_cursor.node && m_cursor.index <= index) {
        i = m_cursor.index;
        a = reinterpret_cast<xmlAttrPtr>(m_cursor.node);
    }
    for (; a && i < index; ++i) a = a->next;
    if (a) {
        m_cursor.index = index;
        m_cursor.node = reinterpret_cast<xmlNodePtr>(a);
    }
    return NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(a));
}

XmlNodePtr AttributeMap::getNamedItem(const std::string& name) const
{
    return NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(FindAttribute(NodeAccess::Raw(m_element), name)));
}

XmlNodePtr AttributeMap::setNamedItem(const XmlNodePtr& attribute)
{
    auto attr = attribute ? attribute->asAttribute() : nullptr;
    if (!attribute) throw DomError(kDomPointer);
    if (!attr) throw DomError(kDomInvalidArg, "The node is not an attribute.");
    return m_element->asElement()->setAttributeNode(attr);
}

XmlNodePtr AttributeMap::removeNamedItem(const std::string& name)
{
    XmlNodePtr found = getNamedItem(name);
    if (found) m_element->asElement()->removeAttributeNode(found->asAttribute());
    return found;
}

namespace {

class DeclarationMap : public XmlNamedNodeMap {
public:
    explicit DeclarationMap(std::vector<XmlNodePtr> items) : m_items(std::move(items)) {}
    long length() const override { return static_cast<long>(m_items.size()); }
    XmlNodePtr item(long index) const override
    {
        return index >= 0 && index < length() ? m_items[static_cast<size_t>(index)] : nullptr;
    }
    XmlNodePtr getNamedItem(const std::string& name) const override
    {
        for (const auto& i : m_items)
            if (i->nodeName() == name) return i;
        return nullptr;
    }
    XmlNodePtr setNamedItem(const XmlNodePtr&) override
    {
        throw DomError(kDomFail, "The attributes of an XML declaration are read-only.");
    }
    XmlNodePtr removeNamedItem(const std::string&) override
    {
        throw DomError(kDomFail, "The attributes of an XML declaration are read-only.");
    }

private:
    std::vector<XmlNodePtr> m_items;
};

} // namespace

XmlNamedNodeMapPtr DeclarationAttributes(const XmlNodePtr& declaration)
{
    xmlNodePtr pi = NodeAccess::Raw(declaration);
    const std::string data = ToStr(pi->content);
    std::vector<XmlNodePtr> items;
    for (const char* name : {"version", "encoding", "standalone"}) {
        if (data.find(name) == std::string::npos) continue;
        std::string value = DeclarationPseudoAttribute(data, name);
        // Present with an empty value ("encoding=''") still counts.
        size_t at = data.find(name);
        size_t eq = data.find_first_not_of(" \t\r\n", at + std::char_traits<char>::length(name));
        if (eq == std::string::npos || data[eq] != '=') continue;
        xmlAttrPtr a = xmlNewDocProp(pi->doc, BAD_CAST name, nullptr);
        if (!a) throw DomError(kDomOutOfMemory);
        XmlNodePtr wrapped = NodeAccess::Wrap(reinterpret_cast<xmlNodePtr>(a));
        SetAttrValue(a, value);
        items.push_back(std::move(wrapped));
    }
    return std::make_shared<DeclarationMap>(std::move(items));
}

} // namespace detail
} // namespace brindle
