#include "platform/xml/XmlDomDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>

namespace brindle {

XmlDomDocument::XmlDomDocument() = default;

XmlDomDocument::~XmlDomDocument() { Clear(); }

void XmlDomDocument::Clear()
{
    if (m_doc) xmlFreeDoc(static_cast<xmlDocPtr>(m_doc));
    m_doc = nullptr;
}

bool XmlDomDocument::Parse(const char* data, size_t size, const char* url, bool fromFile)
{
    Clear();
    m_error = {};
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        m_error.errorCode = -1;
        m_error.reason = "Out of memory.";
        return false;
    }
    int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES;
    if (m_resolveExternals) options |= XML_PARSE_DTDLOAD | XML_PARSE_NOENT;
    if (m_validateOnParse) options |= XML_PARSE_DTDVALID;
    xmlDocPtr doc = nullptr;
    if (fromFile)
        doc = xmlCtxtReadFile(ctxt, url, nullptr, options);
    else if (size <= static_cast<size_t>(INT_MAX))
        doc = xmlCtxtReadMemory(ctxt, data, static_cast<int>(size), url, nullptr, options);

    const xmlError* err = xmlCtxtGetLastError(ctxt);
    bool failed = !doc || !ctxt->wellFormed || (m_validateOnParse && ctxt->valid == 0 && doc && doc->intSubset);
    if (failed) {
        if (err && err->code != XML_ERR_OK) {
            m_error.errorCode = err->code;
            m_error.line = err->line;
            m_error.linepos = err->int2;
            m_error.reason = err->message ? err->message : "";
            while (!m_error.reason.empty() && (m_error.reason.back() == '\n' || m_error.reason.back() == '\r'))
                m_error.reason.pop_back();
        } else {
            m_error.errorCode = -1;
            m_error.reason = fromFile ? "The file could not be read." : "The document is empty.";
        }
        m_error.url = url ? url : "";
        if (doc) xmlFreeDoc(doc);
        doc = nullptr;
    }
    xmlFreeParserCtxt(ctxt);
    m_doc = doc;
    return doc != nullptr;
}

bool XmlDomDocument::loadXML(const std::string& text) { return Parse(text.data(), text.size(), nullptr, false); }

bool XmlDomDocument::load(const std::string& path) { return Parse(nullptr, 0, path.c_str(), true); }

std::string XmlDomDocument::xml() const
{
    if (!m_doc) return {};
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(static_cast<xmlDocPtr>(m_doc), &mem, &size, "UTF-8");
    std::string out(reinterpret_cast<const char*>(mem), size > 0 ? static_cast<size_t>(size) : 0);
    xmlFree(mem);
    return out;
}

} // namespace brindle
