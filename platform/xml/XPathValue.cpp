// XPath 1.0 results of any type, for callers that print them.

#include "platform/xml/XPathValue.h"

#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <memory>

namespace brindle {

using namespace detail;

namespace {

std::string Taken(xmlChar* text)
{
    std::string s = ToStr(text);
    xmlFree(text);
    return s;
}

void CollectPrefixes(const xmlNode* node, XPathPrefixes& out)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        for (const xmlNs* ns = node->nsDef; ns; ns = ns->next) {
            if (!ns->prefix) continue;
            const std::string prefix = ToStr(ns->prefix);
            const bool known = std::any_of(out.begin(), out.end(), [&](const auto& p) { return p.first == prefix; });
            if (!known) out.emplace_back(prefix, UriFromHref(ns->href));
        }
        CollectPrefixes(node->children, out);
    }
}

// Hides the XML declaration node, which is not part of the XPath data model.
class DeclarationHidden {
public:
    explicit DeclarationHidden(xmlDocPtr doc) : m_doc(doc), m_decl(DeclarationOf(doc))
    {
        if (m_decl) xmlUnlinkNode(m_decl);
    }
    ~DeclarationHidden()
    {
        if (m_decl) LinkChild(reinterpret_cast<xmlNodePtr>(m_doc), m_decl, m_doc->children);
    }
    DeclarationHidden(const DeclarationHidden&) = delete;
    DeclarationHidden& operator=(const DeclarationHidden&) = delete;

private:
    xmlDocPtr m_doc;
    xmlNodePtr m_decl;
};

} // namespace

XPathPrefixes DeclaredPrefixes(const XmlDocument& doc, const std::string& defaultPrefix)
{
    XPathPrefixes out;
    const xmlNode* docNode = NodeAccess::Raw(doc);
    if (!docNode) return out;
    CollectPrefixes(docNode->children, out);
    const xmlNode* root = xmlDocGetRootElement(reinterpret_cast<const xmlDoc*>(docNode));
    if (!root || defaultPrefix.empty()) return out;
    for (const xmlNs* ns = root->nsDef; ns; ns = ns->next) {
        const bool taken = std::any_of(out.begin(), out.end(), [&](const auto& p) { return p.first == defaultPrefix; });
        if (!ns->prefix && ns->href && *ns->href && !taken) out.emplace_back(defaultPrefix, UriFromHref(ns->href));
    }
    return out;
}

XPathValue EvaluateXPath(const XmlDocument& doc, const std::string& expression, const XPathPrefixes& prefixes)
{
    auto docPtr = reinterpret_cast<xmlDocPtr>(NodeAccess::Raw(doc));
    if (!docPtr) throw DomError(kDomInvalidArg, "The document is empty.");
    ErrorCapture capture;
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> ctx(xmlXPathNewContext(docPtr),
                                                                         xmlXPathFreeContext);
    if (!ctx) throw DomError(kDomOutOfMemory);
    ctx->node = reinterpret_cast<xmlNodePtr>(docPtr);
    for (const auto& [prefix, uri] : prefixes) xmlXPathRegisterNs(ctx.get(), X(prefix), X(HrefFromUri(uri)));
    DeclarationHidden hidden(docPtr);
    std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
        xmlXPathEvalExpression(X(expression), ctx.get()), xmlXPathFreeObject);
    if (!result) {
        const std::string why = capture.Message();
        throw DomError(kDomInvalidArg, "\"" + expression + "\" is not a valid XPath expression" +
                                           (why.empty() ? "." : ": " + why));
    }
    XPathValue value;
    switch (result->type) {
    case XPATH_NODESET:
        if (const xmlNodeSet* set = result->nodesetval) {
            for (int i = 0; i < set->nodeNr; ++i) {
                xmlNodePtr node = set->nodeTab[i];
                value.nodes.push_back({Taken(xmlGetNodePath(node)), Taken(xmlXPathCastNodeToString(node))});
            }
        }
        return value;
    case XPATH_NUMBER: value.kind = XPathValue::Kind::Number; break;
    case XPATH_BOOLEAN: value.kind = XPathValue::Kind::Boolean; break;
    default: value.kind = XPathValue::Kind::String; break;
    }
    value.text = Taken(xmlXPathCastToString(result.get()));
    return value;
}

} // namespace brindle
