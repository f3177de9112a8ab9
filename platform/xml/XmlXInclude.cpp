#include "platform/xml/XmlXInclude.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlValidate.h"

#include <libxml/uri.h>
#include <libxml/xinclude.h>

namespace brindle::detail {

// Both namespaces libxml2 takes (2001 and 2003) end in this.
bool MayInclude(XmlTextSource& source) { return TextContains(source, "/XInclude"); }

namespace {

constexpr uint32_t kXIncludeErrorBase = 0xC00CE000u;

bool IsInclude(const xmlNode* element)
{
    return element->ns && xmlStrEqual(element->name, BAD_CAST "include") &&
           (xmlStrEqual(element->ns->href, XINCLUDE_NS) || xmlStrEqual(element->ns->href, XINCLUDE_OLD_NS));
}

// The first xi:include that names a file that is not local, as an error.
XmlParseError NetworkInclude(xmlDocPtr doc)
{
    XmlParseError error;
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (!root) return error;
    ForEachElement(root, [&](xmlNodePtr element) {
        if (!IsInclude(element)) return false;
        xmlChar* href = xmlGetProp(element, BAD_CAST "href");
        xmlChar* base = xmlNodeGetBase(doc, element);
        xmlChar* url = href ? xmlBuildURI(href, base) : nullptr;
        const std::string target = ToStr(url ? url : href);
        xmlFree(url);
        xmlFree(base);
        xmlFree(href);
        if (IsLocalUrl(target.c_str())) return false;
        error.errorCode = kXIncludeErrorBase | XML_XINCLUDE_HREF_URI;
        error.line = static_cast<long>(xmlGetLineNo(element));
        error.reason = "XInclude refused: " + target + " is not a local file.";
        return true;
    });
    return error;
}

// The href of an include's start marker (not an element, so xmlGetProp
// does not read it).
std::string MarkerHref(const xmlNode* start)
{
    for (const xmlAttr* a = start->properties; a; a = a->next)
        if (!a->ns && xmlStrEqual(a->name, BAD_CAST "href")) {
            xmlChar* value = xmlNodeListGetString(start->doc, a->children, 1);
            std::string href = ToStr(value);
            xmlFree(value);
            return href;
        }
    return {};
}

} // namespace

std::string IncludedFileOf(const xmlNode* node)
{
    // Back through earlier siblings and up through parents to the start marker
    // of the include that holds the node, skipping whole includes on the way.
    int closed = 0;
    for (const xmlNode* n = node; n;) {
        if (!n->prev) {
            n = n->parent;
            continue;
        }
        n = n->prev;
        if (n->type == XML_XINCLUDE_END) {
            ++closed;
        } else if (n->type == XML_XINCLUDE_START && closed-- == 0) {
            // An include inside an included file is relative to that file.
            std::string base = IncludedFileOf(n);
            if (base.empty() && n->doc && n->doc->URL) base = ToStr(n->doc->URL);
            xmlChar* url = xmlBuildURI(X(MarkerHref(n)), base.empty() ? nullptr : X(base));
            std::string file = ToStr(url);
            xmlFree(url);
            return file;
        }
    }
    return {};
}

XmlParseError ExpandIncludes(xmlDocPtr doc, bool resolveExternals, bool markers)
{
    XmlParseError error = NetworkInclude(doc);
    if (error.Failed()) return error;
    ErrorCapture capture;
    // No xml:base on what is included: the tree reads as if the included
    // content had been written in place, for the DTD as well. Marker nodes
    // around it (which validation skips) let libxml2 name the included file in
    // an error about its content.
    int options = XML_PARSE_NONET | XML_PARSE_NOBASEFIX;
    if (!markers) options |= XML_PARSE_NOXINCNODE;
    if (resolveExternals) options |= XML_PARSE_DTDLOAD;
    if (xmlXIncludeProcessFlags(doc, options) >= 0) return error;
    error = capture.first;
    if (!error.Failed()) {
        error.errorCode = kXIncludeErrorBase | XML_XINCLUDE_NO_FALLBACK;
        error.reason = "An XInclude could not be made.";
    }
    return error;
}

XmlParseError ValidateIncluding(xmlDocPtr doc, bool resolveExternals)
{
    XmlParseError error = ExpandIncludes(doc, resolveExternals, true);
    return error.Failed() ? error : ValidateDocument(doc, true);
}

} // namespace brindle::detail
