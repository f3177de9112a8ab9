#include "app/document/BrindleDoc.h"
#include "app/document/ErrorText.h"

#include <algorithm>

using namespace brindle;

XmlNodePtr CBrindleDoc::CreateNode(int kind, const std::string& name, const std::optional<std::string>& value,
                                   const XmlNodePtr& parent, const std::string& namespaceURI)
{
    try {
        const XmlNodePtr insertParent = parent ? parent : m_currentNode;
        if (!insertParent) throw DomError(kDomPointer);
        const bool hasValue = value && !value->empty();
        XmlNodePtr node;
        switch (kind) {
        case NODE_ELEMENT:
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_COMMENT:
            node = m_dom->createNode(kind, name, namespaceURI);
            insertParent->appendChild(node);
            if (hasValue) node->put_nodeValue(*value);
            break;
        case NODE_ATTRIBUTE: {
            // Attributes always go on the current node, which must be an element.
            XmlElementPtr owner = m_currentNode ? m_currentNode->asElement() : nullptr;
            if (!owner) {
                SetLastErrorText("Unable to add an attribute. The current node is not an element.");
                return nullptr;
            }
            node = m_dom->createNode(kind, name, namespaceURI);
            node->put_nodeValue(value.value_or(std::string()));
            owner->setAttributeNode(node->asAttribute());
            break;
        }
        case NODE_PROCESSING_INSTRUCTION: {
            std::string data = value.value_or(std::string());
            if (name == "xml" && data.empty()) data = "version='1.0' encoding=''";
            node = m_dom->createProcessingInstruction(name, data);
            insertParent->appendChild(node);
            break;
        }
        default:
            break; // nothing to create for these kinds
        }
        MarkDomChanged();
        return node;
    } catch (const DomError& error) {
        SetLastErrorText(error.what());
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
    try {
        if (!node) throw DomError(kDomPointer);
        if (node->nodeType() == NODE_ATTRIBUTE) {
            const XmlNodePtr owner = ownerArg ? ownerArg : m_currentNode;
            XmlElementPtr element = owner ? owner->asElement() : nullptr;
            if (!element) {
                SetLastErrorText("Unable to delete from node. Node is not an element");
                return false;
            }
            element->removeAttribute(node->nodeName());
            MarkDomChanged();
            return true;
        }
        XmlNodePtr parentNode = node->parentNode();
        if (!parentNode) throw DomError(kDomPointer);
        parentNode->removeChild(node);
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        SetLastErrorText(error.what());
        return false;
    }
}

bool CBrindleDoc::RenameNode(const XmlNodePtr& node, const std::string& newName, XmlNodePtr& newNode,
                             const std::string& namespaceURI)
{
    newNode.reset();
    try {
        if (!node) throw DomError(kDomPointer);
        switch (node->nodeType()) {
        case NODE_ELEMENT: {
            XmlNodePtr replacement = m_dom->createNode(NODE_ELEMENT, newName, namespaceURI);
            XmlElementPtr element = replacement->asElement();
            // The old element's namespace declarations come first, so the children
            // and attributes that use them stay bound (the new name's own wins).
            const std::vector<std::pair<std::string, std::string>> declared = element->namespaceDeclarations();
            for (const auto& [prefix, uri] : node->asElement()->namespaceDeclarations()) {
                const bool taken = std::any_of(declared.begin(), declared.end(),
                                               [&](const auto& d) { return d.first == prefix; });
                if (!taken) element->setAttribute(prefix.empty() ? "xmlns" : "xmlns:" + prefix, uri);
            }
            while (XmlNodePtr child = node->firstChild()) element->appendChild(child);
            const XmlNamedNodeMapPtr attributes = node->attributes();
            for (long i = 0; attributes && i < attributes->length(); ++i) SetAttributeFrom(element, attributes->item(i));
            XmlNodePtr parentNode = node->parentNode();
            if (!parentNode) throw DomError(kDomPointer);
            parentNode->replaceChild(replacement, node);
            m_dom->validate(); // refreshes what the parser knows; the outcome is not needed
            newNode = replacement;
            break;
        }
        case NODE_ATTRIBUTE: {
            XmlElementPtr owner = m_currentNode ? m_currentNode->asElement() : nullptr;
            if (!owner) {
                SetLastErrorText("Unable to rename the attribute. The current node is not an element.");
                return false;
            }
            // Renaming to the same name changes nothing (setting, then removing the
            // old node, would lose the attribute).
            if (newName == node->nodeName()) break;
            const std::string value = node->nodeValue().value_or(std::string());
            owner->setAttribute(newName, value);
            owner->removeAttributeNode(node->asAttribute());
            break;
        }
        case NODE_PROCESSING_INSTRUCTION: {
            std::string data = node->nodeValue().value_or(std::string());
            if (data.empty()) data = "version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"";
            if (!CreateNode(NODE_PROCESSING_INSTRUCTION, newName, data, nullptr, "")) return false;
            m_currentNode->removeChild(node);
            break;
        }
        default:
            break;
        }
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        SetLastErrorText(error.what());
        return false;
    }
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
