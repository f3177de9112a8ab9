// transformNode: XSLT through libxslt, confined to reading local files.

#include "platform/xml/DomError.h"
#include "platform/xml/NodeAccess.h"

#include <libxml/xmlIO.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <memory>

namespace brindle {

using namespace detail;

namespace {

int AppendToString(void* context, const char* buffer, int len)
{
    static_cast<std::string*>(context)->append(buffer, static_cast<size_t>(len));
    return len;
}

struct DocFree {
    void operator()(xmlDocPtr d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

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
    DocPtr styleCopy = CopyForXslt(styleDoc);
    xsltStylesheetPtr style = xsltParseStylesheetDoc(styleCopy.get());
    if (!style || style->errors > 0) {
        if (style) xsltFreeStylesheet(style); else styleCopy.reset();
        if (style) styleCopy.release();
        std::string why = capture.Message();
        throw DomError(kDomFail, "The stylesheet is not valid" + (why.empty() ? std::string(".") : ": " + why));
    }
    styleCopy.release(); // now the stylesheet's
    std::unique_ptr<xsltStylesheet, void (*)(xsltStylesheetPtr)> styleOwner(style, xsltFreeStylesheet);

    DocPtr source = SourceFor(m_node);
    xsltTransformContextPtr ctxt = xsltNewTransformContext(style, source.get());
    if (!ctxt) throw DomError(kDomOutOfMemory);
    xsltSecurityPrefsPtr prefs = xsltNewSecurityPrefs();
    if (prefs) {
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
        xsltSetCtxtSecurityPrefs(prefs, ctxt);
    }
    xsltSetTransformErrorFunc(ctxt, &capture, CaptureXsltMessage);
    DocPtr result(xsltApplyStylesheetUser(style, source.get(), nullptr, nullptr, nullptr, ctxt));
    const bool failed = !result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED;
    xsltFreeTransformContext(ctxt);
    if (prefs) xsltFreeSecurityPrefs(prefs);
    if (failed) {
        std::string why = capture.Message();
        throw DomError(kDomFail, "The transformation failed" + (why.empty() ? std::string(".") : ": " + why));
    }

    // The output is a UTF-8 string, so its declaration (or HTML meta charset)
    // names UTF-8 whatever encoding xsl:output asked for.
    if (style->encoding) xmlFree(const_cast<xmlChar*>(style->encoding));
    style->encoding = xmlStrdup(BAD_CAST "UTF-8");
    std::string out;
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(AppendToString, nullptr, &out, nullptr);
    if (!buffer) throw DomError(kDomOutOfMemory);
    xsltSaveResultTo(buffer, result.get(), style);
    xmlOutputBufferClose(buffer);
    return out;
}

} // namespace brindle
