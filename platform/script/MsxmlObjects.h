#pragma once

#include "platform/script/ScriptObject.h"

#include "platform/xml/DomError.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlNodeList.h"

#include <map>

namespace brindle::vbs {

// The Msxml2.DOMDocument objects scripts see, over our DOM (platform/xml):
// the document, its nodes, node lists, attribute maps and the parse error.
// Strings cross as UTF-16 on the script side and UTF-8 on the DOM side. A
// failing DOM call raises a run-time error whose number is the DOM's failure
// code (as a signed Long, as MSXML's errors reach scripts) and whose
// description is the DOM's message.

// The script object of a node (the document's for a document); one per node
// while a script holds it, so Is compares nodes. nullptr gives Nothing.
BRINDLEKIT_API ObjectPtr WrapXmlNode(const XmlNodePtr& node);
// The node a script value holds: nullptr for Nothing, Empty or Null; throws
// 13 for anything else that is not a node.
BRINDLEKIT_API XmlNodePtr UnwrapXmlNode(const Variant& value);

class MsxmlNode : public ScriptObject {
public:
    explicit MsxmlNode(XmlNodePtr node) : m_node(std::move(node)) {}
    ~MsxmlNode() override;
    VbString TypeName() const override;
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    const XmlNodePtr& Node() const { return m_node; }

protected:
    // The members; false when name is none of them.
    bool NodeMember(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result);
    bool ElementMember(XmlElement& element, std::string_view name, std::span<Variant> args, Variant& result);

    XmlNodePtr m_node;
};

class MsxmlDocument : public MsxmlNode {
public:
    explicit MsxmlDocument(XmlDocumentPtr document);
    VbString TypeName() const override { return u"DOMDocument"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    bool DocumentMember(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result);

    XmlDocumentPtr m_document;
    VbString m_url; // the last file loaded
    // MSXML 6 properties our DOM has no use for (ProhibitDTD, NewParser...):
    // kept so that getProperty returns what setProperty stored.
    std::map<std::string, Variant> m_otherProperties;
};

// childNodes, getElementsByTagName (live) and selectNodes (a snapshot):
// length, item(i) (the default member; Nothing out of range), nextNode, reset,
// For Each.
class MsxmlNodeList : public ScriptObject {
public:
    MsxmlNodeList(XmlNodeListPtr list, bool selection) : m_list(std::move(list)), m_selection(selection) {}
    VbString TypeName() const override { return m_selection ? u"IXMLDOMSelection" : u"IXMLDOMNodeList"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

private:
    XmlNodeListPtr m_list;
    bool m_selection;
    long m_next = 0;
};

// An element's attributes: length, item(i), getNamedItem, setNamedItem,
// removeNamedItem, nextNode, reset, For Each.
class MsxmlNamedNodeMap : public ScriptObject {
public:
    explicit MsxmlNamedNodeMap(XmlNamedNodeMapPtr map) : m_map(std::move(map)) {}
    VbString TypeName() const override { return u"IXMLDOMNamedNodeMap"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

private:
    XmlNamedNodeMapPtr m_map;
    long m_next = 0;
};

// parseError: errorCode (the default member), reason, line, linepos, filepos,
// srcText, url.
class MsxmlParseError : public ScriptObject {
public:
    explicit MsxmlParseError(XmlParseError error) : m_error(std::move(error)) {}
    VbString TypeName() const override { return u"IXMLDOMParseError"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    XmlParseError m_error;
};

// The script's run-time error for a failed DOM call.
class ScriptError;
ScriptError ToScriptError(const DomError& error);

} // namespace brindle::vbs
