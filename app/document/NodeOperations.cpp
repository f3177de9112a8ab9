#include "app/document/BrindleDoc.h"

#include <algorithm>
#include <functional>
#include <vector>

using namespace brindle;

namespace {

std::string PrefixOf(const std::string& name)
{
    const auto colon = name.find(':');
    return colon == std::string::npos ? std::string() : name.substr(0, colon);
}

// Whether the element itself declares the prefix.
bool Declares(const XmlElementPtr& element, const std::string& prefix)
{
    for (const auto& declared : element->namespaceDeclarations())
        if (declared.first == prefix) return true;
    return false;
}

} // namespace

XmlNodePtr CBrindleDoc::CreateNode(int kind, const std::string& name, const std::optional<std::string>& value,
                                   const XmlNodePtr& parent, const std::string& namespaceURI)
{
    NodeStep step(*this);
    try {
        const XmlNodePtr insertParent = parent ? parent : m_currentNode;
        if (!insertParent) throw DomError(kDomPointer);
        const bool hasValue = value && !value->empty();
        XmlNodePtr node;
        switch (kind) {
        case NODE_ELEMENT:
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_COMMENT: {
            // An element named without a namespace is in the one its name's
            // prefix has where it goes, as it would be when typed there; it uses
            // that declaration rather than one of its own.
            const std::string prefix = PrefixOf(name);
            const std::string uri = kind == NODE_ELEMENT && namespaceURI.empty()
                                        ? insertParent->lookupNamespaceURI(prefix).value_or(std::string())
                                        : namespaceURI;
            node = m_dom->createNode(kind, name, uri);
            m_nodeHistory.Insert(insertParent, node);
            if (kind == NODE_ELEMENT && namespaceURI.empty() && !uri.empty())
                node->asElement()->removeRepeatedDeclaration(prefix);
            if (hasValue) node->put_nodeValue(*value);
            break;
        }
        case NODE_ATTRIBUTE: {
            // Attributes always go on the current node, which must be an element.
            XmlElementPtr owner = m_currentNode ? m_currentNode->asElement() : nullptr;
            if (!owner) {
                m_errors.Add("Unable to add an attribute. The current node is not an element.");
                return nullptr;
            }
            node = m_dom->createNode(kind, name, namespaceURI);
            node->put_nodeValue(value.value_or(std::string()));
            m_nodeHistory.ChangeAttributes(owner, [&] { owner->setAttributeNode(node->asAttribute()); });
            break;
        }
        case NODE_PROCESSING_INSTRUCTION: {
            std::string data = value.value_or(std::string());
            if (name == "xml" && data.empty()) data = "version='1.0' encoding=''";
            node = m_dom->createProcessingInstruction(name, data);
            m_nodeHistory.Insert(insertParent, node);
            break;
        }
        default:
            break; // nothing to create for these kinds
        }
        MarkDomChanged();
        return node;
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return nullptr;
    }
}

void CBrindleDoc::SetAttributeFrom(const XmlElementPtr& element, const XmlNodePtr& attribute)
{
    const std::string value = attribute->nodeValue().value_or(std::string());
    const std::string uri = attribute->namespaceURI();
    if (uri.empty()) {
        element->setAttribute(attribute->nodeName(), value);
        return;
    }
    XmlAttributePtr copy = m_dom->createNode(NODE_ATTRIBUTE, attribute->nodeName(), uri)->asAttribute();
    copy->put_value(value);
    element->setAttributeNode(copy);
}

XmlElementPtr CBrindleDoc::CreateDetachedElement(const std::string& name)
{
    return m_dom->createNode(NODE_ELEMENT, name, "")->asElement();
}

bool CBrindleDoc::DeleteNode(const XmlNodePtr& node, const XmlNodePtr& ownerArg)
{
    NodeStep step(*this);
    try {
        if (!node) throw DomError(kDomPointer);
        if (node->nodeType() == NODE_ATTRIBUTE) {
            const XmlNodePtr owner = ownerArg ? ownerArg : m_currentNode;
            XmlElementPtr element = owner ? owner->asElement() : nullptr;
            if (!element) {
                m_errors.Add("Unable to delete from node. Node is not an element");
                return false;
            }
            m_nodeHistory.ChangeAttributes(element, [&] { element->removeAttribute(node->nodeName()); });
            MarkDomChanged();
            return true;
        }
        m_nodeHistory.Remove(node);
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
}

bool CBrindleDoc::RenameNode(const XmlNodePtr& node, const std::string& newName, XmlNodePtr& newNode,
                             const std::string& namespaceURI)
{
    newNode.reset();
    NodeStep step(*this);
    try {
        if (!node) throw DomError(kDomPointer);
        switch (node->nodeType()) {
        case NODE_ELEMENT: {
            // A name without a namespace is read where the element stands, its
            // own declarations included, as it would be when typed there.
            const std::string prefix = PrefixOf(newName);
            const std::string uri =
                namespaceURI.empty() ? node->lookupNamespaceURI(prefix).value_or(std::string()) : namespaceURI;
            XmlNodePtr replacement = m_dom->createNode(NODE_ELEMENT, newName, uri);
            XmlElementPtr element = replacement->asElement();
            // The old element's namespace declarations come first, so the children
            // and attributes that use them stay bound (the new name's own wins).
            const std::vector<std::pair<std::string, std::string>> declared = element->namespaceDeclarations();
            for (const auto& [prefix, uri] : node->asElement()->namespaceDeclarations()) {
                const bool taken = std::any_of(declared.begin(), declared.end(),
                                               [&](const auto& d) { return d.first == prefix; });
                if (!taken) element->setAttribute(prefix.empty() ? "xmlns" : "xmlns:" + prefix, uri);
            }
            const XmlNamedNodeMapPtr attributes = node->attributes();
            for (long i = 0; attributes && i < attributes->length(); ++i) SetAttributeFrom(element, attributes->item(i));
            // The new element takes the old one's place, then its children, in order.
            m_nodeHistory.ReplaceElement(replacement, node);
            // A declaration the new name brought that the place already makes goes.
            if (!uri.empty() && !Declares(node->asElement(), prefix)) element->removeRepeatedDeclaration(prefix);
            m_dom->validate(); // refreshes what the parser knows; the outcome is not needed
            newNode = replacement;
            break;
        }
        case NODE_ATTRIBUTE: {
            XmlElementPtr owner = m_currentNode ? m_currentNode->asElement() : nullptr;
            if (!owner) {
                m_errors.Add("Unable to rename the attribute. The current node is not an element.");
                return false;
            }
            // Renaming to the same name changes nothing (setting, then removing the
            // old node, would lose the attribute).
            if (newName == node->nodeName()) break;
            const std::string value = node->nodeValue().value_or(std::string());
            m_nodeHistory.ChangeAttributes(owner, [&] {
                owner->setAttribute(newName, value);
                owner->removeAttributeNode(node->asAttribute());
            });
            break;
        }
        case NODE_PROCESSING_INSTRUCTION: {
            std::string data = node->nodeValue().value_or(std::string());
            if (data.empty()) data = "version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"";
            if (!CreateNode(NODE_PROCESSING_INSTRUCTION, newName, data, nullptr, "")) return false;
            if (node->parentNode() != m_currentNode)
                throw DomError(kDomInvalidArg, "The node is not a child of this node.");
            m_nodeHistory.Remove(node);
            break;
        }
        default:
            break;
        }
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
}

bool CBrindleDoc::SetNodeValue(const XmlNodePtr& node, const std::string& value)
{
    try {
        m_nodeHistory.SetValue(node, value);
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
}

bool CBrindleDoc::UndoNodeStep() { return RunNodeHistory(true); }
bool CBrindleDoc::RedoNodeStep() { return RunNodeHistory(false); }

bool CBrindleDoc::RunNodeHistory(bool undo)
{
    XmlNodePtr focus;
    bool ok = true;
    try {
        focus = undo ? m_nodeHistory.Undo() : m_nodeHistory.Redo();
        if (!focus) return false;
    } catch (const DomError& error) {
        m_errors.Add(std::string(undo ? "Unable to undo. " : "Unable to redo. ") + error.what());
        ok = false;
    }
    // The current node is the element (or document) whose list shows the node.
    XmlNodePtr shown = focus && focus->nodeType() == NODE_ATTRIBUTE ? focus->asAttribute()->ownerElement() : focus;
    while (shown && shown->nodeType() != NODE_ELEMENT && shown->nodeType() != NODE_DOCUMENT &&
           shown->nodeType() != NODE_DOCUMENT_TYPE)
        shown = shown->parentNode();
    if (shown) m_currentNode = shown;
    MarkDomChanged();
    m_treeRebuildPending = true;
    return ok;
}

std::string CBrindleDoc::NodeTypeName(const XmlNodePtr& node)
{
    return brindle::NodeTypeName(node ? static_cast<int>(node->nodeType()) : 0);
}

std::string CBrindleDoc::GetNodePath(const XmlNodePtr& node)
{
    if (!node || node->nodeType() == NODE_DOCUMENT) return "/";
    std::string path;
    for (XmlNodePtr at = node; at && at->nodeType() != NODE_DOCUMENT; at = at->parentNode())
        path = at->nodeName() + "/" + path;
    return "/" + path;
}

XmlNodePtr CBrindleDoc::FindNodeByPath(const XmlDocumentPtr& dom, const std::string& path)
{
    if (!dom || path.empty() || path.front() != '/') return nullptr;
    if (path == "/") return dom;
    std::vector<std::string> names;
    for (size_t start = 1; start < path.size();) {
        const size_t slash = path.find('/', start);
        if (slash == std::string::npos) return nullptr;
        names.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    // Depth first, entering only the nodes whose names lead along the path.
    const std::function<XmlNodePtr(const XmlNodePtr&, size_t)> find = [&](const XmlNodePtr& parent, size_t depth) {
        for (XmlNodePtr child = parent->firstChild(); child; child = child->nextSibling()) {
            if (child->nodeName() != names[depth]) continue;
            if (depth + 1 == names.size()) return child;
            if (XmlNodePtr found = find(child, depth + 1)) return found;
        }
        return XmlNodePtr();
    };
    return find(dom, 0);
}
