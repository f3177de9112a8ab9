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

bool CBrindleDoc::PasteNode(const XmlNodePtr& targetArg, XmlNodePtr& pasted)
{
    const XmlNodePtr target = targetArg ? targetArg : m_currentNode;
    if (!Clipboard().HasText()) return false;
    const std::optional<std::string> text = Clipboard().GetText();
    if (!text) return false;

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
        if (!scratch->loadXML(*text)) {
            m_errors.Add("Unable to paste from clipboard");
            return false;
        }
        XmlElementPtr root = scratch->documentElement();
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
