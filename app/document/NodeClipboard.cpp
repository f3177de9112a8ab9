#include "app/document/BrindleDoc.h"
#include "app/settings/Settings.h"
#include "platform/ui/Clipboard.h"

using namespace brindle;

bool CBrindleDoc::CopyNodeToClipboard(const XmlNodePtr& node)
{
    if (!node) return false;
    try {
        return Clipboard().SetText(node->xml());
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
}

bool CBrindleDoc::PasteNode(const XmlNodePtr& target, XmlNodePtr& pasted)
{
    if (!Clipboard().HasText()) return false;
    const std::optional<std::string> text = Clipboard().GetText();
    return text && PasteXml(target ? target : m_currentNode, *text, pasted);
}

bool CBrindleDoc::PasteXml(const XmlNodePtr& target, const std::string& text, XmlNodePtr& pasted)
{
    NodeStep step(*this);
    XmlDocumentPtr scratch = ParserRegistry::CreateInstance(Settings::GetParserAppId());
    if (!scratch) {
        m_errors.Add("Unable to paste from clipboard. The parser could not be created.");
        return false;
    }
    try {
        if (!target) throw DomError(kDomPointer);
        scratch->put_async(false);
        scratch->put_validateOnParse(false);
        const XmlElementPtr root = scratch->loadXML(text) ? scratch->documentElement() : nullptr;
        if (!root) {
            m_errors.Add("Unable to paste from clipboard");
            return false;
        }
        if (root->nodeName() != kClipboardWrapper) {
            m_nodeHistory.Insert(target, root);
            pasted = root;
        } else {
            while (XmlNodePtr child = root->firstChild()) {
                m_nodeHistory.Insert(target, child);
                pasted = child;
                MarkDomChanged();
            }
            const XmlNamedNodeMapPtr attributes = root->attributes();
            if (attributes && attributes->length() > 0) {
                XmlElementPtr element = target->asElement();
                if (!element) {
                    m_errors.Add("Target node is not an element");
                    return false;
                }
                m_nodeHistory.ChangeAttributes(element, [&] {
                    for (long i = 0; i < attributes->length(); ++i) SetAttributeFrom(element, attributes->item(i));
                });
            }
        }
        MarkDomChanged();
        return true;
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
}

XmlElementPtr CBrindleDoc::WrapNodes(const std::vector<XmlNodePtr>& nodes)
{
    XmlElementPtr wrapper = CreateDetachedElement(kClipboardWrapper);
    for (const XmlNodePtr& node : nodes) {
        const int type = node->nodeType();
        if (type == NODE_ATTRIBUTE) {
            // In its namespace, which the wrapper's text then declares.
            SetAttributeFrom(wrapper, node);
        } else if (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT ||
                   type == NODE_PROCESSING_INSTRUCTION) {
            // A copy of the same kind, name and value; the document itself is not
            // touched. Kinds that cannot be created (entity references) are left out.
            wrapper->appendChild(node->cloneNode(false));
        }
    }
    return wrapper;
}

bool CBrindleDoc::MoveNodes(CBrindleDoc& source, const std::vector<XmlNodePtr>& nodes, const XmlNodePtr& owner,
                            const XmlNodePtr& target)
{
    // One step in each document (steps nest, so a move within one is one step).
    NodeStep targetStep(*this);
    NodeStep sourceStep(source);
    std::string text;
    try {
        const bool single = nodes.size() == 1 && nodes.front()->nodeType() == NODE_ELEMENT;
        text = single ? nodes.front()->xml() : source.WrapNodes(nodes)->xml();
    } catch (const DomError& error) {
        m_errors.Add(error.what());
        return false;
    }
    XmlNodePtr moved;
    if (!PasteXml(target, text, moved)) return false;
    // Each node is deleted even when another could not be (whose text is kept).
    bool deleted = true;
    for (const XmlNodePtr& node : nodes) deleted = source.DeleteNode(node, owner) && deleted;
    // The caller tells this document's errors.
    if (!deleted && &source != this) m_errors.Add(source.m_errors.Take());
    return deleted;
}
