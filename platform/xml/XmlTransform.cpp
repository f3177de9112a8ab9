// transformNode: XSLT through libxslt, confined to reading local files.

#include "platform/xml/DomError.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlXInclude.h"
#include "platform/xml/XsltRun.h"

namespace brindle {

using namespace detail;

namespace {

// A copy of a tree without its XML declaration node, which is not part of the
// XPath data model.
DocPtr CopyForXslt(xmlDocPtr doc)
{
    DocPtr copy(xmlCopyDoc(doc, 1));
    if (!copy) throw DomError(kDomOutOfMemory);
    if (xmlNodePtr decl = DeclarationOf(copy.get())) {
        xmlUnlinkNode(decl);
        xmlFreeNode(decl);
    }
    return copy;
}

// The tree a transformation reads: the node's own document, or for a node
// below it a document holding a copy of that node.
DocPtr SourceFor(xmlNodePtr node)
{
    if (node->type == XML_DOCUMENT_NODE) return CopyForXslt(reinterpret_cast<xmlDocPtr>(node));
    DocPtr doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc) throw DomError(kDomOutOfMemory);
    if (node->doc && node->doc->URL) doc->URL = xmlStrdup(node->doc->URL);
    xmlNodePtr copy = xmlDocCopyNode(node, doc.get(), 1);
    if (!copy) throw DomError(kDomOutOfMemory);
    if (node->type == XML_ELEMENT_NODE)
        xmlDocSetRootElement(doc.get(), copy);
    else
        xmlAddChild(reinterpret_cast<xmlNodePtr>(doc.get()), copy);
    return doc;
}

} // namespace

std::string XmlNode::transformNode(const XmlNode& stylesheet) const
{
    EnsureLibXml();
    xmlNodePtr styleNode = NodeAccess::Raw(stylesheet);
    xmlDocPtr styleDoc = styleNode->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(styleNode) : styleNode->doc;
    if (!xmlDocGetRootElement(styleDoc)) throw DomError(kDomInvalidArg, "The stylesheet document is empty.");

    ErrorCapture capture;
    // libxslt owns and rewrites the tree it compiles, so it gets a copy; the
    // source is a copy too, as xsl:strip-space removes nodes from it.
    StylesheetPtr style = CompileStylesheet(CopyForXslt(styleDoc), capture);
    DocPtr source = SourceFor(m_node);
    if (const XmlDocument* owner = NodeAccess::DocumentObject(*this); owner && owner->processXIncludes()) {
        const XmlParseError included = ExpandIncludes(source.get(), owner->resolveExternals());
        if (included.Failed()) throw DomError(kDomInvalidArg, "The transformation failed: " + included.reason);
    }
    DocPtr result = ApplyStylesheet(style.get(), source.get(), capture);
    return SaveResult(result.get(), style.get());
}

} // namespace brindle
