#pragma once

#include "platform/xml/XmlNode.h"

#include <vector>

namespace brindle {

// An ordered list of nodes. childNodes and getElementsByTagName give live lists
// (each call sees the tree as it is now); selectNodes gives a snapshot.
// Sequential access by increasing index costs O(1) per item.
class BRINDLEKIT_API XmlNodeList {
public:
    virtual ~XmlNodeList();
    virtual long length() const = 0;
    // nullptr when index is out of range.
    virtual XmlNodePtr item(long index) const = 0;
};

// An element's attributes by name; live.
class BRINDLEKIT_API XmlNamedNodeMap {
public:
    virtual ~XmlNamedNodeMap();
    virtual long length() const = 0;
    virtual XmlNodePtr item(long index) const = 0;
    // The attribute with this qualified name, or nullptr.
    virtual XmlNodePtr getNamedItem(const std::string& name) const = 0;
    // Attaches an attribute node; returns the one it replaced, or nullptr.
    virtual XmlNodePtr setNamedItem(const XmlNodePtr& attribute) = 0;
    // Detaches and returns the attribute with this name; nullptr when absent.
    virtual XmlNodePtr removeNamedItem(const std::string& name) = 0;
};

} // namespace brindle
