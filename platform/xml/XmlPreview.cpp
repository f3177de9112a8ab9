// Preview transformations from files, on whichever thread calls them.

#include "platform/xml/XmlPreview.h"

#include "platform/xml/DomError.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XsltRun.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/xpathInternals.h>
#include <libxslt/extensions.h>
#include <libxslt/imports.h>
#include <libxslt/xsltutils.h>

#include <climits>
#include <vector>

namespace brindle {

using namespace detail;

namespace {

constexpr char kPreviewNamespace[] = "urn:x-brindle:preview";

std::string Describe(const XmlParseError& e, const std::string& what)
{
    std::string where = what;
    if (e.line > 0) where += ", line " + std::to_string(e.line);
    if (e.line > 0 && e.linepos > 0) where += ", column " + std::to_string(e.linepos);
    std::string reason = e.reason;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return where + ": " + (reason.empty() ? "it could not be read." : reason);
}

uint32_t CodeOf(const XmlParseError& e)
{
    return e.errorCode == kDomFileNotFound || e.errorCode == kDomAccessDenied || e.errorCode == kDomOutOfMemory
               ? e.errorCode
               : kDomFail;
}

// Entity references become their content, as a parse substituting entities
// gives them: XPath does not see reference nodes.
void ExpandEntityReferences(xmlNodePtr parent)
{
    for (xmlNodePtr n = parent->children; n;) {
        if (n->type == XML_ENTITY_REF_NODE) {
            xmlEntityPtr ent = xmlGetDocEntity(n->doc, n->name);
            xmlNodePtr copy = ent && ent->children ? xmlDocCopyNodeList(n->doc, ent->children) : nullptr;
            xmlNodePtr next = copy ? copy : n->next; // the content may hold references too
            // Linked by hand: libxml2 would merge adjacent text, and the
            // component's LinkChild touches the program's DOM state.
            while (copy) {
                xmlNodePtr rest = copy->next;
                copy->parent = parent;
                copy->next = n;
                copy->prev = n->prev;
                if (n->prev) n->prev->next = copy;
                else parent->children = copy;
                n->prev = copy;
                copy = rest;
            }
            xmlUnlinkNode(n);
            xmlFreeNode(n);
            n = next;
            continue;
        }
        if (n->type == XML_ELEMENT_NODE) ExpandEntityReferences(n);
        n = n->next;
    }
}

// The source a transformation reads: the file loaded by the component's safe
// loader (bounded entity expansion and nesting, local files only).
DocPtr ReadSource(const std::string& path, LoadResult* details = nullptr)
{
    LoadRequest request;
    request.path = path;
    request.validate = false;
    request.resolveExternals = true;
    LoadResult loaded = LoadXml(request);
    if (!loaded.doc) throw DomError(CodeOf(loaded.error), Describe(loaded.error, path));
    DocPtr doc(loaded.doc);
    ExpandEntityReferences(reinterpret_cast<xmlNodePtr>(doc.get()));
    if (details) {
        loaded.doc = nullptr;
        *details = std::move(loaded);
    }
    return doc;
}

// A stylesheet parsed as libxslt parses stylesheets (entities substituted,
// default attributes added), never from the network.
DocPtr ReadStylesheet(const std::string* path, std::string_view text, ErrorCapture& capture)
{
    const int options = XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_NOCDATA | XML_PARSE_NONET |
                        XML_PARSE_BIG_LINES;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) throw DomError(kDomOutOfMemory);
    xmlDocPtr doc;
    if (path) {
        doc = xmlCtxtReadFile(ctxt, path->c_str(), nullptr, options);
    } else {
        if (text.size() > static_cast<size_t>(INT_MAX)) throw DomError(kDomOutOfMemory);
        doc = xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), nullptr, nullptr, options);
    }
    const bool wellFormed = ctxt->wellFormed;
    xmlFreeParserCtxt(ctxt);
    DocPtr owner(doc);
    const std::string what = path ? "The stylesheet " + *path : std::string("The stylesheet");
    if (!doc || !wellFormed) {
        XmlParseError e = capture.first;
        if (e.reason.empty()) e.reason = "it could not be read.";
        throw DomError(kDomFail, Describe(e, what));
    }
    return owner;
}

std::string MimeTypeOf(xmlDocPtr result, xsltStylesheetPtr style)
{
    const xmlChar* method = nullptr;
    XSLT_GET_IMPORT_PTR(method, style, method)
    if (method && xmlStrEqual(method, BAD_CAST "text")) return "text/plain";
    if (method && (xmlStrEqual(method, BAD_CAST "html") || xmlStrEqual(method, BAD_CAST "xhtml"))) return "text/html";
    if (result->type == XML_HTML_DOCUMENT_NODE) return "text/html";
    xmlNodePtr root = xmlDocGetRootElement(result);
    if (root && xmlStrcasecmp(root->name, BAD_CAST "html") == 0) {
        if (!root->ns) return "text/html";
        if (xmlStrEqual(root->ns->href, BAD_CAST "http://www.w3.org/1999/xhtml")) return "application/xhtml+xml";
    }
    return "application/xml";
}

PreviewOutput Run(xsltStylesheetPtr style, xmlDocPtr source, ErrorCapture& capture, const TransformRequest& request = {})
{
    DocPtr result = ApplyStylesheet(style, source, capture, request);
    PreviewOutput out;
    out.mimeType = MimeTypeOf(result.get(), style);
    out.content = SaveResult(result.get(), style);
    return out;
}

// --- The built-in stylesheet's helpers -------------------------------------

void IsCData(xmlXPathParserContextPtr ctxt, int nargs)
{
    if (nargs != 0) {
        xmlXPathSetArityError(ctxt);
        return;
    }
    xmlNodePtr node = ctxt->context->node;
    valuePush(ctxt, xmlXPathNewBoolean(node && node->type == XML_CDATA_SECTION_NODE));
}

void NamespaceDeclarations(xmlXPathParserContextPtr ctxt, int nargs)
{
    if (nargs != 0) {
        xmlXPathSetArityError(ctxt);
        return;
    }
    xmlNodePtr node = ctxt->context->node;
    xmlNodeSetPtr set = xmlXPathNodeSetCreate(nullptr);
    if (set && node && node->type == XML_ELEMENT_NODE)
        for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next) xmlXPathNodeSetAddNs(set, node, ns);
    valuePush(ctxt, xmlXPathWrapNodeSet(set));
}

void RegisterPreviewFunctions(xsltTransformContextPtr ctxt, void*)
{
    xsltRegisterExtFunction(ctxt, BAD_CAST "cdata", BAD_CAST kPreviewNamespace, IsCData);
    xsltRegisterExtFunction(ctxt, BAD_CAST "namespace-declarations", BAD_CAST kPreviewNamespace,
                            NamespaceDeclarations);
}

// The node after n in document order, not entering n's children when skipChildren.
xmlNodePtr NextInOrder(xmlNodePtr n, bool skipChildren = false)
{
    if (!skipChildren && n->children && n->type == XML_ELEMENT_NODE) return n->children;
    while (n && !n->next) n = n->parent;
    return n ? n->next : nullptr;
}

struct ElementCount {
    size_t total = 0;
    size_t shown = 0;
};

// Counts the elements and, beyond maxElements of them (0: no limit), removes
// the rest of the document: the element after the last one kept and everything
// that follows it in document order, apart from its ancestors.
ElementCount KeepFirstElements(xmlDocPtr doc, size_t maxElements)
{
    ElementCount count;
    xmlNodePtr cut = nullptr;
    for (xmlNodePtr n = doc->children; n; n = NextInOrder(n)) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (++count.total == maxElements + 1 && maxElements > 0) cut = n;
    }
    count.shown = cut ? maxElements : count.total;
    if (!cut) return count;
    std::vector<xmlNodePtr> doomed;
    for (xmlNodePtr n = cut; n; n = n->next) doomed.push_back(n);
    for (xmlNodePtr a = cut->parent; a && a->type == XML_ELEMENT_NODE; a = a->parent)
        for (xmlNodePtr n = a->next; n; n = n->next) doomed.push_back(n);
    for (xmlNodePtr n : doomed) {
        xmlUnlinkNode(n);
        xmlFreeNode(n);
    }
    return count;
}

std::string DoctypeText(xmlDocPtr doc, const LoadResult& loaded)
{
    xmlDtdPtr dtd = doc->intSubset;
    if (!dtd || !dtd->name) return {};
    std::string s = "<!DOCTYPE " + ToStr(dtd->name);
    if (dtd->ExternalID) s += " PUBLIC \"" + ToStr(dtd->ExternalID) + "\"";
    if (dtd->SystemID) s += (dtd->ExternalID ? " \"" : " SYSTEM \"") + ToStr(dtd->SystemID) + "\"";
    if (loaded.hasInternalSubset) s += " [" + loaded.internalSubset + "]";
    return s + ">";
}

// The top-level nodes a stylesheet sees before the document type.
size_t NodesBeforeDoctype(xmlDocPtr doc)
{
    size_t count = 0;
    for (xmlNodePtr n = doc->children; n && n != reinterpret_cast<xmlNodePtr>(doc->intSubset); n = n->next)
        if (n->type == XML_ELEMENT_NODE || n->type == XML_COMMENT_NODE || n->type == XML_PI_NODE) ++count;
    return count;
}

} // namespace

PreviewOutput TransformFileForPreview(const std::string& xmlPath, const std::string& stylesheetPath)
{
    EnsureLibXml();
    ErrorCapture capture;
    StylesheetPtr style = CompileStylesheet(ReadStylesheet(&stylesheetPath, {}, capture), capture);
    DocPtr source = ReadSource(xmlPath);
    return Run(style.get(), source.get(), capture);
}

PreviewOutput TransformFileWithStylesheetText(const std::string& xmlPath, std::string_view stylesheet,
                                              size_t maxElements)
{
    EnsureLibXml();
    ErrorCapture capture;
    StylesheetPtr style = CompileStylesheet(ReadStylesheet(nullptr, stylesheet, capture), capture);
    LoadResult loaded;
    DocPtr source = ReadSource(xmlPath, &loaded);
    const ElementCount count = KeepFirstElements(source.get(), maxElements);
    TransformRequest request;
    request.stringParams = {{"doctype", DoctypeText(source.get(), loaded)},
                            {"doctype-position", std::to_string(NodesBeforeDoctype(source.get()))},
                            {"element-count", std::to_string(count.total)},
                            {"elements-shown", std::to_string(count.shown)}};
    request.setup = RegisterPreviewFunctions;
    return Run(style.get(), source.get(), capture, request);
}

} // namespace brindle
