#include "platform/xml/XmlXInclude.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlValidate.h"

#include <libxml/uri.h>
#include <libxml/xinclude.h>

namespace brindle::detail {

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

} // namespace

XmlParseError ExpandIncludes(xmlDocPtr doc, bool resolveExternals)
{
    XmlParseError error = NetworkInclude(doc);
    if (error.Failed()) return error;
    ErrorCapture capture;
    // No xml:base on what is included, and no marker nodes: the tree reads as
    // if the included content had been written in place, for the DTD as well.
    int options = XML_PARSE_NONET | XML_PARSE_NOXINCNODE | XML_PARSE_NOBASEFIX;
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
    XmlParseError error = ExpandIncludes(doc, resolveExternals);
    return error.Failed() ? error : ValidateDocument(doc);
}

} // namespace brindle::detail
