#pragma once

// Internal to the parser component: the list and map classes behind
// childNodes, attributes, getElementsByTagName and selectNodes.

#include "platform/xml/XmlNodeList.h"

#include <libxml/tree.h>

#include <cstdint>
#include <vector>

namespace brindle::detail {

// Remembers the last position reached so that walking a live list by
// increasing index is linear; forgotten whenever the tree changes.
struct ListCursor {
    uint64_t generation = 0;
    long index = -1;
    xmlNodePtr node = nullptr;
    long length = -1;
    bool Fresh() const;
    void Reset();
};

class ChildNodeList : public XmlNodeList {
public:
    explicit ChildNodeList(XmlNodePtr parent) : m_parent(std::move(parent)) {}
    long length() const override;
    XmlNodePtr item(long index) const override;

private:
    xmlNodePtr At(long index) const;
    XmlNodePtr m_parent;
    mutable ListCursor m_cursor;
};

class ElementsByTagNameList : public XmlNodeList {
public:
    ElementsByTagNameList(XmlNodePtr root, std::string name) : m_root(std::move(root)), m_name(std::move(name)) {}
    long length() const override;
    XmlNodePtr item(long index) const override;

private:
    xmlNodePtr NextMatch(xmlNodePtr from) const;
    xmlNodePtr At(long index) const;
    XmlNodePtr m_root;
    std::string m_name;
    mutable ListCursor m_cursor;
};

class SnapshotList : public XmlNodeList {
public:
    explicit SnapshotList(std::vector<XmlNodePtr> nodes) : m_nodes(std::move(nodes)) {}
    long length() const override { return static_cast<long>(m_nodes.size()); }
    XmlNodePtr item(long index) const override;

private:
    std::vector<XmlNodePtr> m_nodes;
};

class AttributeMap : public XmlNamedNodeMap {
public:
    explicit AttributeMap(XmlNodePtr element) : m_element(std::move(element)) {}
    long length() const override;
    XmlNodePtr item(long index) const override;
    XmlNodePtr getNamedItem(const std::string& name) const override;
    XmlNodePtr setNamedItem(const XmlNodePtr& attribute) override;
    XmlNodePtr removeNamedItem(const std::string& name) override;

private:
    XmlNodePtr m_element;
    mutable ListCursor m_cursor;
};

// The pseudo-attributes of an XML declaration, as a read-only snapshot.
XmlNamedNodeMapPtr DeclarationAttributes(const XmlNodePtr& declaration);

// The attribute of element with this qualified name, or nullptr.
xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name);

} // namespace brindle::detail
