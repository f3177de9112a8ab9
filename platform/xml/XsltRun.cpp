// Compiling and running stylesheets confined to reading local files.

#include "platform/xml/XsltRun.h"

#include "platform/xml/DomError.h"

#include <libxml/xmlIO.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xsltutils.h>

namespace brindle::detail {

namespace {

int AppendToString(void* context, const char* buffer, int len)
{
    static_cast<std::string*>(context)->append(buffer, static_cast<size_t>(len));
    return len;
}

std::string Because(const ErrorCapture& capture)
{
    std::string why = capture.Message();
    return why.empty() ? std::string(".") : ": " + why;
}

struct SecurityPrefsFree {
    void operator()(xsltSecurityPrefsPtr p) const { xsltFreeSecurityPrefs(p); }
};

struct ContextFree {
    void operator()(xsltTransformContextPtr c) const { xsltFreeTransformContext(c); }
};

} // namespace

StylesheetPtr CompileStylesheet(DocPtr doc, ErrorCapture& capture)
{
    if (!xmlDocGetRootElement(doc.get())) throw DomError(kDomInvalidArg, "The stylesheet document is empty.");
    xsltStylesheetPtr style = xsltParseStylesheetDoc(doc.get());
    if (!style) throw DomError(kDomFail, "The stylesheet is not valid" + Because(capture));
    doc.release(); // now the stylesheet's
    StylesheetPtr owner(style);
    if (style->errors > 0) throw DomError(kDomFail, "The stylesheet is not valid" + Because(capture));
    return owner;
}

DocPtr ApplyStylesheet(xsltStylesheetPtr style, xmlDocPtr source, ErrorCapture& capture,
                       const TransformRequest& request)
{
    std::unique_ptr<xsltTransformContext, ContextFree> ctxt(xsltNewTransformContext(style, source));
    if (!ctxt) throw DomError(kDomOutOfMemory);
    std::unique_ptr<xsltSecurityPrefs, SecurityPrefsFree> prefs(xsltNewSecurityPrefs());
    if (!prefs) throw DomError(kDomOutOfMemory);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
    xsltSetCtxtSecurityPrefs(prefs.get(), ctxt.get());
    // document() parses like the stylesheet loader, and never from the network.
    ctxt->parserOptions |= XML_PARSE_NONET;
    xsltSetTransformErrorFunc(ctxt.get(), &capture, CaptureXsltMessage);
    if (request.setup) request.setup(ctxt.get(), request.setupData);
    for (const auto& [name, value] : request.stringParams)
        if (xsltQuoteOneUserParam(ctxt.get(), BAD_CAST name.c_str(), BAD_CAST value.c_str()) != 0)
            throw DomError(kDomFail, "The transformation failed" + Because(capture));

    DocPtr result(xsltApplyStylesheetUser(style, source, nullptr, nullptr, nullptr, ctxt.get()));
    if (!result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED)
        throw DomError(kDomFail, "The transformation failed" + Because(capture));
    return result;
}

std::string SaveResult(xmlDocPtr result, xsltStylesheetPtr style)
{
    if (style->encoding) xmlFree(const_cast<xmlChar*>(style->encoding));
    style->encoding = xmlStrdup(BAD_CAST "UTF-8");
    std::string out;
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(AppendToString, nullptr, &out, nullptr);
    if (!buffer) throw DomError(kDomOutOfMemory);
    xsltSaveResultTo(buffer, result, style);
    xmlOutputBufferClose(buffer);
    return out;
}

} // namespace brindle::detail
