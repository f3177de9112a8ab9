#include "platform/script/MsxmlObjects.h"

#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"

#include <mutex>
#include <unordered_map>

namespace brindle::vbs {

namespace {

// One script object per DOM node while scripts hold it. DOM nodes are stable
// objects (one per node), so their address names the node.
struct WrapperCache {
    std::mutex mutex;
    std::unordered_map<const XmlNode*, std::weak_ptr<ScriptObject>> wrappers;
};

WrapperCache& Cache()
{
    static WrapperCache* cache = new WrapperCache; // outlives every wrapper
    return *cache;
}

VbString Vb(const std::string& text) { return ToVb(text); }

Variant Optional(const std::optional<std::string>& text) { return text ? Variant(ToVb(*text)) : Variant::Null(); }

ObjectPtr List(XmlNodeListPtr list, bool selection)
{
    return std::make_shared<MsxmlNodeList>(std::move(list), selection);
}

bool Assigning(InvokeKind kind) { return kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet; }

const char16_t* TypeString(int type)
{
    static const char16_t* const names[] = {
        u"",        u"element",  u"attribute",         u"text",         u"cdatasection",
        u"entityreference", u"entity", u"processinginstruction", u"comment", u"document",
        u"documenttype",    u"documentfragment", u"notation",
    };
    return type >= 1 && type <= 12 ? names[type] : u"";
}

} // namespace

ScriptError ToScriptError(const DomError& error)
{
    return ScriptError(static_cast<int32_t>(error.code()), error.what(), "msxml3.dll");
}

ObjectPtr WrapXmlNode(const XmlNodePtr& node)
{
    if (!node) return nullptr;
    WrapperCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    auto& slot = cache.wrappers[node.get()];
    if (ObjectPtr existing = slot.lock()) return existing;
    ObjectPtr wrapper;
    if (XmlDocumentPtr document = node->asDocument())
        wrapper = std::make_shared<MsxmlDocument>(std::move(document));
    else
        wrapper = std::make_shared<MsxmlNode>(node);
    slot = wrapper;
    return wrapper;
}

XmlNodePtr UnwrapXmlNode(const Variant& value)
{
    if (value.IsEmpty() || value.IsNull() || value.IsMissing()) return nullptr;
    if (!value.IsObject()) throw ScriptError(err::kTypeMismatch);
    if (!value.Object()) return nullptr;
    auto* node = dynamic_cast<MsxmlNode*>(value.Object().get());
    if (!node) throw ScriptError(err::kTypeMismatch);
    return node->Node();
}

MsxmlNode::~MsxmlNode()
{
    WrapperCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    auto it = cache.wrappers.find(m_node.get());
    if (it != cache.wrappers.end() && it->second.expired()) cache.wrappers.erase(it);
}

VbString MsxmlNode::TypeName() const
{
    static const char16_t* const names[] = {
        u"IXMLDOMNode",          u"IXMLDOMElement",   u"IXMLDOMAttribute",       u"IXMLDOMText",
        u"IXMLDOMCDATASection",  u"IXMLDOMEntityReference", u"IXMLDOMEntity", u"IXMLDOMProcessingInstruction",
        u"IXMLDOMComment",       u"DOMDocument",      u"IXMLDOMDocumentType",    u"IXMLDOMDocumentFragment",
        u"IXMLDOMNotation",
    };
    int type = m_node->nodeType();
    return names[type >= 1 && type <= 12 ? type : 0];
}

Variant MsxmlNode::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    try {
        Variant result;
        if (NodeMember(name, kind, args, result)) return result;
    } catch (const DomError& error) {
        throw ToScriptError(error);
    }
    ThrowNoMember(name);
}

bool MsxmlNode::NodeMember(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result)
{
    XmlNode& node = *m_node;
    const int type = node.nodeType();
    // Values that may be written.
    if (name == "nodevalue" || (name == "value" && type == NODE_ATTRIBUTE) ||
        (name == "data" && (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT ||
                            type == NODE_PROCESSING_INSTRUCTION))) {
        if (Assigning(kind))
            node.put_nodeValue(ArgUtf8(LetValue(args)));
        else
            result = name == "nodevalue" ? Optional(node.nodeValue()) : Variant(Vb(node.nodeValue().value_or("")));
        return true;
    }
    if (name == "text" || name == "nodetypedvalue") {
        if (Assigning(kind))
            node.put_text(ArgUtf8(LetValue(args)));
        else
            result = Vb(node.text());
        return true;
    }
    if (Assigning(kind)) return false;

    // --- names and kinds
    if (name == "nodename" || (name == "tagname" && type == NODE_ELEMENT) || (name == "name" && type == NODE_ATTRIBUTE) ||
        (name == "target" && type == NODE_PROCESSING_INSTRUCTION)) {
        result = Vb(node.nodeName());
    } else if (name == "nodetype") {
        result = static_cast<int32_t>(type);
    } else if (name == "nodetypestring") {
        result = VbString(TypeString(type));
    } else if (name == "basename") {
        result = Vb(node.baseName());
    } else if (name == "prefix") {
        result = Vb(node.prefix());
    } else if (name == "namespaceuri") {
        result = Vb(node.namespaceURI());
    } else if (name == "xml") {
        result = Vb(node.xml());
    } else if (name == "specified" || name == "parsed") {
        result = true;
    } else if (name == "length" && (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT)) {
        result = static_cast<int32_t>(ToVb(node.nodeValue().value_or("")).size());
    } else if (name == "appenddata" && (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT)) {
        RequireArgs(args, 1, 1);
        node.put_nodeValue(node.nodeValue().value_or("") + ArgUtf8(args[0]));
    // --- tree
    } else if (name == "parentnode") {
        result = WrapXmlNode(node.parentNode());
    } else if (name == "ownerdocument") {
        result = WrapXmlNode(node.ownerDocument());
    } else if (name == "childnodes") {
        result = List(node.childNodes(), false);
    } else if (name == "firstchild") {
        result = WrapXmlNode(node.firstChild());
    } else if (name == "lastchild") {
        result = WrapXmlNode(node.lastChild());
    } else if (name == "nextsibling") {
        result = WrapXmlNode(node.nextSibling());
    } else if (name == "previoussibling") {
        result = WrapXmlNode(node.previousSibling());
    } else if (name == "attributes") {
        XmlNamedNodeMapPtr map = node.attributes();
        result = map ? ObjectPtr(std::make_shared<MsxmlNamedNodeMap>(std::move(map))) : ObjectPtr();
    } else if (name == "haschildnodes") {
        RequireArgs(args, 0, 0);
        result = node.hasChildNodes();
    } else if (name == "appendchild") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(node.appendChild(UnwrapXmlNode(args[0])));
    } else if (name == "insertbefore") {
        RequireArgs(args, 1, 2);
        result = WrapXmlNode(node.insertBefore(UnwrapXmlNode(args[0]), args.size() > 1 ? UnwrapXmlNode(args[1]) : nullptr));
    } else if (name == "removechild") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(node.removeChild(UnwrapXmlNode(args[0])));
    } else if (name == "replacechild") {
        RequireArgs(args, 2, 2);
        result = WrapXmlNode(node.replaceChild(UnwrapXmlNode(args[0]), UnwrapXmlNode(args[1])));
    } else if (name == "clonenode") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(node.cloneNode(ArgBool(args[0])));
    // --- queries
    } else if (name == "selectnodes") {
        RequireArgs(args, 1, 1);
        result = List(node.selectNodes(ArgUtf8(args[0])), true);
    } else if (name == "selectsinglenode") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(node.selectSingleNode(ArgUtf8(args[0])));
    } else if (name == "transformnode") {
        RequireArgs(args, 1, 1);
        XmlNodePtr stylesheet = UnwrapXmlNode(args[0]);
        if (!stylesheet) throw ScriptError(err::kObjectRequired);
        result = Vb(node.transformNode(*stylesheet));
    } else if (XmlElementPtr element = type == NODE_ELEMENT ? node.asElement() : nullptr) {
        return ElementMember(*element, name, args, result);
    } else {
        return false;
    }
    return true;
}

bool MsxmlNode::ElementMember(XmlElement& element, std::string_view name, std::span<Variant> args, Variant& result)
{
    if (name == "getattribute") {
        RequireArgs(args, 1, 1);
        result = Optional(element.getAttribute(ArgUtf8(args[0])));
    } else if (name == "setattribute") {
        RequireArgs(args, 2, 2);
        element.setAttribute(ArgUtf8(args[0]), ArgUtf8(args[1]));
    } else if (name == "removeattribute") {
        RequireArgs(args, 1, 1);
        element.removeAttribute(ArgUtf8(args[0]));
    } else if (name == "getattributenode") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(element.getAttributeNode(ArgUtf8(args[0])));
    } else if (name == "setattributenode" || name == "removeattributenode") {
        RequireArgs(args, 1, 1);
        XmlNodePtr node = UnwrapXmlNode(args[0]);
        XmlAttributePtr attribute = node ? node->asAttribute() : nullptr;
        if (!attribute) throw ScriptError(err::kTypeMismatch);
        result = WrapXmlNode(name == "setattributenode" ? element.setAttributeNode(attribute)
                                                        : element.removeAttributeNode(attribute));
    } else if (name == "getelementsbytagname") {
        RequireArgs(args, 1, 1);
        result = List(element.getElementsByTagName(ArgUtf8(args[0])), false);
    } else {
        return false;
    }
    return true;
}

} // namespace brindle::vbs
