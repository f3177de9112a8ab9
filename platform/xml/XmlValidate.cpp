// Validation against the document's DTD and its XML Schema.

#include "platform/xml/XmlValidate.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlEscape.h"
#include "platform/xml/XmlLoad.h"

#include <libxml/uri.h>
#include <libxml/valid.h>
#include <libxml/xmlschemas.h>

#include <sstream>
#include <utility>
#include <vector>

namespace brindle::detail {

namespace {

constexpr const char* kXsiNs = "http://www.w3.org/2001/XMLSchema-instance";

void OnSchemaError(void* context, xmlErrorPtr err)
{
    auto* first = static_cast<XmlParseError*>(context);
    if (!err || err->level < XML_ERR_ERROR || first->Failed()) return;
    *first = ErrorFromLibXml(err);
}

std::string Resolve(const std::string& location, const xmlChar* base)
{
    xmlChar* uri = xmlBuildURI(X(location), base);
    std::string s = uri ? ToStr(uri) : location;
    xmlFree(uri);
    return s;
}

// ' name="value"', the value escaped.
std::string Attribute(const char* name, std::string_view value)
{
    return std::string(" ") + name + "=\"" + XmlEscaped(value, kXmlAttributeSpecials) + '"';
}

// A failed validation that libxml2 gave no reason for.
void Failing(ErrorCapture& sink, int code, const char* reason)
{
    if (sink.first.Failed()) return;
    sink.first.errorCode = 0xC00C0000u | static_cast<uint32_t>(code);
    sink.first.reason = reason;
    if (sink.all) sink.all->push_back(sink.first);
}

} // namespace

NamedSchema::NamedSchema(NamedSchema&& other) noexcept
    : named(other.named), schema(std::exchange(other.schema, nullptr)), error(std::move(other.error))
{
}

NamedSchema::~NamedSchema()
{
    if (schema) xmlSchemaFree(schema);
}

NamedSchema LoadNamedSchema(const std::string& noNamespace, const std::string& locations, const xmlChar* baseUrl)
{
    NamedSchema out;
    std::vector<std::pair<std::string, std::string>> imports;
    {
        std::istringstream words(locations);
        std::string ns, loc;
        while (words >> ns >> loc) imports.emplace_back(ns, Resolve(loc, baseUrl));
    }
    if (noNamespace.empty() && imports.empty()) return out;
    out.named = true;

    ErrorCapture capture; // silences libxml2 while schemas are read
    xmlSchemaParserCtxtPtr pctxt;
    std::string wrapper;
    if (imports.empty()) {
        pctxt = xmlSchemaNewParserCtxt(Resolve(noNamespace, baseUrl).c_str());
    } else if (noNamespace.empty() && imports.size() == 1) {
        pctxt = xmlSchemaNewParserCtxt(imports.front().second.c_str());
    } else {
        // Several schemas: one that imports them all.
        wrapper = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">";
        for (const auto& [ns, loc] : imports)
            wrapper += "<xs:import" + Attribute("namespace", ns) + Attribute("schemaLocation", loc) + "/>";
        if (!noNamespace.empty())
            wrapper += "<xs:include" + Attribute("schemaLocation", Resolve(noNamespace, baseUrl)) + "/>";
        wrapper += "</xs:schema>";
        pctxt = xmlSchemaNewMemParserCtxt(wrapper.data(), static_cast<int>(wrapper.size()));
    }
    if (!pctxt) return out;
    xmlSchemaSetParserStructuredErrors(pctxt, OnSchemaError, &out.error);
    out.schema = xmlSchemaParse(pctxt);
    xmlSchemaFreeParserCtxt(pctxt);
    if (!out.schema) {
        if (!out.error.Failed()) out.error = capture.first;
        if (!out.error.Failed()) {
            out.error.errorCode = 0xC00C0000u | XML_SCHEMAP_FAILED_LOAD;
            out.error.reason = "The schema could not be loaded.";
        }
    }
    return out;
}

bool ValidateTree(xmlDocPtr doc, xmlSchemaPtr schema, ErrorCapture& sink)
{
    xmlSchemaValidCtxtPtr vctxt = xmlSchemaNewValidCtxt(schema);
    if (!vctxt) return false;
    xmlSchemaSetValidStructuredErrors(vctxt, ErrorCapture::Take, &sink);
    // Hide the XML declaration node: it is not part of the data model.
    xmlNodePtr decl = DeclarationOf(doc);
    if (decl) xmlUnlinkNode(decl);
    const int rc = xmlSchemaValidateDoc(vctxt, doc);
    if (decl) LinkChild(reinterpret_cast<xmlNodePtr>(doc), decl, doc->children);
    xmlSchemaFreeValidCtxt(vctxt);
    if (rc != 0) Failing(sink, XML_SCHEMAV_INTERNAL, "The document does not conform to its schema.");
    return rc == 0;
}

bool ValidateTreeWithDtd(xmlDocPtr doc, ErrorCapture& sink)
{
    if (!doc->intSubset && !doc->extSubset) return true;
    xmlValidCtxtPtr vctxt = xmlNewValidCtxt();
    if (!vctxt) return false;
    vctxt->error = nullptr;
    vctxt->warning = nullptr;
    const int ok = xmlValidateDocument(vctxt, doc);
    xmlFreeValidCtxt(vctxt);
    if (!ok) Failing(sink, XML_DTD_UNKNOWN_ELEM, "The document is not valid against its DTD.");
    return ok != 0;
}

void SchemaLocationsOf(xmlDocPtr doc, std::string& noNamespace, std::string& locations)
{
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (!root) return;
    xmlChar* noNs = xmlGetNsProp(root, BAD_CAST "noNamespaceSchemaLocation", BAD_CAST kXsiNs);
    xmlChar* pairs = xmlGetNsProp(root, BAD_CAST "schemaLocation", BAD_CAST kXsiNs);
    noNamespace = ToStr(noNs);
    locations = ToStr(pairs);
    xmlFree(noNs);
    xmlFree(pairs);
}

SchemaOutcome ValidateWithSchema(xmlDocPtr doc, bool includedFiles)
{
    SchemaOutcome out;
    std::string noNamespace, locations;
    SchemaLocationsOf(doc, noNamespace, locations);
    NamedSchema named = LoadNamedSchema(noNamespace, locations, doc->URL);
    out.named = named.named;
    out.error = std::move(named.error);
    if (!named.schema) return out;
    out.loaded = true;
    ErrorCapture capture(nullptr, includedFiles);
    ValidateTree(doc, named.schema, capture);
    out.error = capture.first;
    return out;
}

XmlParseError ValidateDocument(xmlDocPtr doc, bool includedFiles)
{
    EnsureLibXml();
    {
        ErrorCapture capture(nullptr, includedFiles);
        if (!ValidateTreeWithDtd(doc, capture)) return capture.first;
    }
    return ValidateWithSchema(doc, includedFiles).error;
}

} // namespace brindle::detail
