// selectNodes / selectSingleNode with XPath 1.0.

#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlNodeLists.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

namespace brindle {

using namespace detail;

namespace {

// "xmlns:a='uri1' xmlns:b="uri2"" -> registered prefixes.
void RegisterNamespaces(xmlXPathContextPtr ctx, const std::string& decls)
{
    size_t pos = 0;
    while ((pos = decls.find("xmlns:", pos)) != std::string::npos) {
        size_t eq = decls.find('=', pos);
        if (eq == std::string::npos) break;
        std::string prefix = decls.substr(pos + 6, eq - pos - 6);
        while (!prefix.empty() && prefix.back() == ' ') prefix.pop_back();
        size_t q = decls.find_first_of("'\"", eq);
        if (q == std::string::npos) break;
        size_t end = decls.find(decls[q], q + 1);
        if (end == std::string::npos) break;
        xmlXPathRegisterNs(ctx, X(prefix), X(HrefFromUri(decls.substr(q + 1, end - q - 1))));
        pos = end + 1;
    }
}

std::vector<XmlNodePtr> Select(xmlNodePtr node, const XmlDocument* owner, const std::string& expression, bool first)
{
    xmlDocPtr doc = node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node) : node->doc;
    ErrorCapture capture;
    xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
    if (!ctx) throw DomError(kDomOutOfMemory);
    ctx->node = node;
    if (owner) RegisterNamespaces(ctx, NodeAccess::SelectionNamespaces(*owner));
    // The XML declaration node is not part of the XPath data model.
    xmlNodePtr decl = DeclarationOf(doc);
    if (decl) xmlUnlinkNode(decl);
    xmlXPathObjectPtr result = xmlXPathEvalExpression(X(expression), ctx);
    if (decl) LinkChild(reinterpret_cast<xmlNodePtr>(doc), decl, doc->children);
    xmlXPathFreeContext(ctx);
    if (!result || result->type != XPATH_NODESET) {
        xmlXPathFreeObject(result);
        std::string why = capture.Message();
        throw DomError(kDomInvalidArg, "\"" + expression + "\" does not select nodes" + (why.empty() ? "." : ": " + why));
    }
    std::vector<XmlNodePtr> nodes;
    if (xmlNodeSetPtr set = result->nodesetval) {
        for (int i = 0; i < set->nodeNr; ++i) {
            if (XmlNodePtr n = NodeAccess::Wrap(set->nodeTab[i])) {
                nodes.push_back(std::move(n));
                if (first) break;
            }
        }
    }
    xmlXPathFreeObject(result);
    return nodes;
}

} // namespace

XmlNodeListPtr XmlNode::selectNodes(const std::string& expression) const
{
    return std::make_shared<SnapshotList>(Select(m_node, NodeAccess::DocumentObject(*this), expression, false));
}

XmlNodePtr XmlNode::selectSingleNode(const std::string& expression) const
{
    auto nodes = Select(m_node, NodeAccess::DocumentObject(*this), expression, true);
    return nodes.empty() ? nullptr : nodes.front();
}

} // namespace brindle
