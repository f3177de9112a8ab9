// Listing validation: one pulled parse for well-formedness and the DTD, one
// more against each XML Schema, and a tree for DTDs, RelaxNG and Schematron
// schemas that are applied after parsing.

#include "platform/xml/XmlValidation.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/TreeReaper.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlValidate.h"
#include "platform/xml/XmlXInclude.h"

#include <libxml/globals.h>
#include <libxml/relaxng.h>
#include <libxml/schematron.h>
#include <libxml/uri.h>
#include <libxml/valid.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <sys/stat.h>
#include <utility>

namespace brindle {

namespace {

using detail::kMaxListedErrors;
constexpr uint32_t kLoadError = 0xC00C0000u | XML_IO_LOAD_ERROR;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

XmlParseError Problem(const std::string& reason)
{
    XmlParseError e;
    e.errorCode = kLoadError;
    e.reason = reason;
    return e;
}

void Add(std::vector<XmlParseError>& list, XmlParseError e)
{
    if (list.size() < kMaxListedErrors) list.push_back(std::move(e));
}

// The file a schema location names, or why it cannot be read.
bool LocalFile(const std::string& location, const std::string& base, std::string& path, std::string& problem)
{
    xmlChar* built = xmlBuildURI(detail::X(location), base.empty() ? nullptr : detail::X(base));
    std::string uri = built ? detail::ToStr(built) : location;
    xmlFree(built);
    if (uri.rfind("file://", 0) == 0) {
        uri.erase(0, 7);
        if (uri.rfind("localhost/", 0) == 0) uri.erase(0, 9);
        char* plain = xmlURIUnescapeString(uri.c_str(), 0, nullptr);
        if (plain) uri = plain;
        xmlFree(plain);
    } else if (uri.find("://") != std::string::npos) {
        problem = "schema not found: " + location + " (only local files are read)";
        return false;
    }
    struct stat info {};
    if (::stat(uri.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        problem = "schema not found: " + location;
        return false;
    }
    path = uri;
    return true;
}

std::string CannotRead(const std::string& location, const std::vector<XmlParseError>& why)
{
    std::string reason = "The schema \"" + location + "\" could not be read";
    return why.empty() ? reason + "." : reason + ": " + why.front().reason;
}

std::vector<XmlParseError> Reason(const detail::ErrorCapture& capture)
{
    if (!capture.first.Failed()) return {};
    return {capture.first};
}

// The data of the xml-model processing instructions before the document element.
std::vector<std::string> XmlModelsOf(xmlDocPtr doc)
{
    std::vector<std::string> models;
    for (xmlNodePtr n = doc->children; n && n->type != XML_ELEMENT_NODE; n = n->next)
        if (n->type == XML_PI_NODE && xmlStrEqual(n->name, BAD_CAST "xml-model")) models.push_back(detail::ToStr(n->content));
    return models;
}

// Without includes, the text is checked by pulled parses, each schema applied
// as it is read. With includes, the text is parsed into a tree of its own, the
// includes are made, and every check applies to that tree.
class Validation {
public:
    Validation(XmlTextSource& source, const XmlCheckOptions& options, ValidationReport& report)
        : m_source(source), m_options(options), m_report(report),
          m_including(options.processXIncludes && detail::MayInclude(source))
    {
    }
    ~Validation()
    {
        if (m_tree) detail::FreeTree(m_tree, m_source.Size());
    }
    Validation(const Validation&) = delete;
    Validation& operator=(const Validation&) = delete;

    // Well-formedness, the includes, and the DTD when validate; the named
    // schemas and xml-model data come back in the result.
    detail::LoadResult First(bool validate)
    {
        if (!m_including) return Pull(validate, nullptr);
        detail::LoadResult result = detail::LoadTextTree(m_source, m_options.baseUrl, m_options.resolveExternals);
        m_tree = std::exchange(result.doc, nullptr);
        if (!m_tree) return result;
        const XmlParseError included = detail::ExpandIncludes(m_tree, m_options.resolveExternals, true);
        if (included.Failed()) {
            Add(m_report.errors, included);
            m_includeFailed = true;
            return result;
        }
        if (validate) {
            detail::ErrorCapture sink(&m_report.errors, m_including);
            detail::ValidateTreeWithDtd(m_tree, sink);
        }
        detail::SchemaLocationsOf(m_tree, result.noNamespaceSchema, result.schemaLocations);
        result.xmlModels = XmlModelsOf(m_tree);
        return result;
    }

    // An include could not be made: nothing more is checked.
    bool IncludeFailed() const { return m_includeFailed; }

    detail::LoadResult Pull(bool validate, xmlSchemaPtr schema)
    {
        detail::LoadRequest request;
        request.path = m_options.baseUrl;
        request.validate = validate;
        request.resolveExternals = m_options.resolveExternals;
        request.schema = schema;
        request.source = &m_source;
        request.errorList = &m_report.errors;
        return detail::LoadXml(request);
    }

    // The schemas named by xsi:noNamespaceSchemaLocation and xsi:schemaLocation.
    void NamedSchemas(const std::string& noNamespace, const std::string& locations)
    {
        std::vector<std::string> named;
        if (!noNamespace.empty()) named.push_back(noNamespace);
        std::istringstream words(locations);
        for (std::string ns, loc; words >> ns >> loc;) named.push_back(loc);
        bool found = true;
        for (const std::string& location : named) {
            std::string path, problem;
            if (!LocalFile(location, m_options.baseUrl, path, problem)) {
                Add(m_report.errors, Problem(problem));
                found = false;
            }
        }
        if (named.empty() || !found) return;
        const xmlChar* base = m_options.baseUrl.empty() ? nullptr : detail::X(m_options.baseUrl);
        detail::NamedSchema schema = detail::LoadNamedSchema(noNamespace, locations, base);
        if (!schema.schema) Add(m_report.errors, Problem(CannotRead(named.front(), {schema.error})));
        else Apply(schema.schema, true);
    }

    void Against(const SchemaChoice& choice)
    {
        std::string path, problem;
        if (!LocalFile(choice.location, m_options.baseUrl, path, problem)) {
            Add(m_report.errors, Problem(problem));
            return;
        }
        switch (choice.kind) {
        case SchemaKind::Unknown:
            Add(m_report.errors, Problem("The schema \"" + choice.location +
                                         "\" is of no known kind (.dtd, .xsd, .rng or .sch)."));
            return;
        case SchemaKind::Xsd: {
            detail::NamedSchema schema = detail::LoadNamedSchema(path, "", nullptr);
            if (!schema.schema) Add(m_report.errors, Problem(CannotRead(choice.location, {schema.error})));
            else Apply(schema.schema, false);
            return;
        }
        case SchemaKind::Dtd: return WithTree(choice.location, [&] { return Dtd(choice.location, path); });
        case SchemaKind::RelaxNg: return WithTree(choice.location, [&] { return RelaxNg(choice.location, path); });
        case SchemaKind::Schematron:
            return WithTree(choice.location, [&] { return Schematron(choice.location, path); });
        }
    }

private:
    // The text against an XML Schema: a pulled parse (with the DTD again when
    // validate, so errors come in document order), or the tree with includes.
    void Apply(xmlSchemaPtr schema, bool validate)
    {
        if (!m_including) {
            Pull(validate, schema);
            return;
        }
        detail::ErrorCapture sink(&m_report.errors, m_including);
        detail::ValidateTree(m_tree, schema, sink);
    }

    template <typename Check> void WithTree(const std::string&, Check check)
    {
        if (!m_tree) {
            detail::LoadResult tree = detail::LoadTextTree(m_source, m_options.baseUrl, m_options.resolveExternals);
            if (!tree.doc) {
                Add(m_report.errors, tree.error);
                return;
            }
            m_tree = tree.doc;
        }
        check();
    }

    void Dtd(const std::string& location, const std::string& path)
    {
        xmlDtdPtr dtd = nullptr;
        std::vector<XmlParseError> why;
        {
            detail::ErrorCapture reading(&why);
            dtd = xmlParseDTD(nullptr, detail::X(path));
        }
        if (!dtd) {
            Add(m_report.errors, Problem(CannotRead(location, why)));
            return;
        }
        detail::ErrorCapture sink(&m_report.errors, m_including);
        if (xmlValidCtxtPtr vctxt = xmlNewValidCtxt()) {
            vctxt->error = nullptr;
            vctxt->warning = nullptr;
            xmlValidateDtd(vctxt, m_tree, dtd);
            xmlFreeValidCtxt(vctxt);
        }
        xmlFreeDtd(dtd);
    }

    void RelaxNg(const std::string& location, const std::string& path)
    {
        detail::ErrorCapture quiet;
        xmlRelaxNGPtr schema = nullptr;
        if (xmlRelaxNGParserCtxtPtr pctxt = xmlRelaxNGNewParserCtxt(path.c_str())) {
            xmlRelaxNGSetParserStructuredErrors(pctxt, detail::ErrorCapture::Take, &quiet);
            schema = xmlRelaxNGParse(pctxt);
            xmlRelaxNGFreeParserCtxt(pctxt);
        }
        if (!schema) {
            Add(m_report.errors, Problem(CannotRead(location, Reason(quiet))));
            return;
        }
        detail::ErrorCapture sink(&m_report.errors, m_including);
        if (xmlRelaxNGValidCtxtPtr vctxt = xmlRelaxNGNewValidCtxt(schema)) {
            xmlRelaxNGSetValidStructuredErrors(vctxt, detail::ErrorCapture::Take, &sink);
            xmlRelaxNGValidateDoc(vctxt, m_tree);
            xmlRelaxNGFreeValidCtxt(vctxt);
        }
        xmlRelaxNGFree(schema);
    }

    void Schematron(const std::string& location, const std::string& path)
    {
        detail::ErrorCapture quiet;
        xmlSchematronPtr schema = nullptr;
        if (xmlSchematronParserCtxtPtr pctxt = xmlSchematronNewParserCtxt(path.c_str())) {
            schema = xmlSchematronParse(pctxt);
            xmlSchematronFreeParserCtxt(pctxt);
        }
        if (!schema) {
            Add(m_report.errors, Problem(CannotRead(location, Reason(quiet))));
            return;
        }
        detail::ErrorCapture sink(&m_report.errors, m_including);
        if (xmlSchematronValidCtxtPtr vctxt = xmlSchematronNewValidCtxt(schema, XML_SCHEMATRON_OUT_ERROR)) {
            xmlSchematronSetValidStructuredErrors(vctxt, detail::ErrorCapture::Take, &sink);
            xmlSchematronValidateDoc(vctxt, m_tree);
            xmlSchematronFreeValidCtxt(vctxt);
        }
        xmlSchematronFree(schema);
    }

    XmlTextSource& m_source;
    const XmlCheckOptions& m_options;
    ValidationReport& m_report;
    const bool m_including;
    bool m_includeFailed = false;
    xmlDocPtr m_tree = nullptr; // built once, for the schemas applied after parsing
};

// The value of a pseudo-attribute in a processing instruction's data.
std::string PseudoAttribute(const std::string& data, const std::string& name)
{
    size_t at = 0;
    while ((at = data.find(name, at)) != std::string::npos) {
        const bool starts = at == 0 || std::isspace(static_cast<unsigned char>(data[at - 1]));
        size_t p = at + name.size();
        while (p < data.size() && std::isspace(static_cast<unsigned char>(data[p]))) ++p;
        if (starts && p < data.size() && data[p] == '=') {
            ++p;
            while (p < data.size() && std::isspace(static_cast<unsigned char>(data[p]))) ++p;
            if (p < data.size() && (data[p] == '"' || data[p] == '\'')) {
                const size_t end = data.find(data[p], p + 1);
                if (end != std::string::npos) return data.substr(p + 1, end - p - 1);
            }
        }
        at += name.size();
    }
    return {};
}

} // namespace

SchemaKind SchemaKindOfPath(const std::string& path)
{
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return SchemaKind::Unknown;
    const std::string ext = Lower(path.substr(dot + 1));
    if (ext == "dtd") return SchemaKind::Dtd;
    if (ext == "xsd") return SchemaKind::Xsd;
    if (ext == "rng") return SchemaKind::RelaxNg;
    if (ext == "sch") return SchemaKind::Schematron;
    return SchemaKind::Unknown;
}

SchemaChoice SchemaOfXmlModel(const std::string& data)
{
    SchemaChoice choice;
    choice.location = PseudoAttribute(data, "href");
    const std::string ns = PseudoAttribute(data, "schematypens");
    const std::string type = Lower(PseudoAttribute(data, "type"));
    if (ns == "http://relaxng.org/ns/structure/1.0") choice.kind = SchemaKind::RelaxNg;
    else if (ns == "http://purl.oclc.org/dsdl/schematron" || ns == "http://www.ascc.net/xml/schematron")
        choice.kind = SchemaKind::Schematron;
    else if (ns == "http://www.w3.org/2001/XMLSchema") choice.kind = SchemaKind::Xsd;
    else if (ns.empty() && type == "application/xml-dtd") choice.kind = SchemaKind::Dtd;
    else if (ns.empty()) choice.kind = SchemaKindOfPath(choice.location);
    return choice;
}

ValidationReport ValidateXmlText(XmlTextSource& source, const XmlCheckOptions& options, const SchemaChoice* against)
{
    detail::EnsureLibXml();
    ValidationReport report;
    const bool validate = options.validateOnParse && !against;
    Validation run(source, options, report);
    detail::LoadResult first = run.First(validate);
    if (first.cancelled) {
        report.outcome = XmlCheck::Cancelled;
        report.errors.clear();
        return report;
    }
    if (!first.wellFormed) {
        report.outcome = XmlCheck::NotWellFormed;
        report.errors.assign(1, std::move(first.error));
        QuoteWholeLine(source, report.errors.front());
    } else {
        if (!first.ok && report.errors.empty()) Add(report.errors, first.error);
        if (against && !run.IncludeFailed()) {
            run.Against(*against);
        } else if (validate && options.resolveExternals && !run.IncludeFailed()) {
            run.NamedSchemas(first.noNamespaceSchema, first.schemaLocations);
            for (const std::string& model : first.xmlModels) {
                const SchemaChoice choice = SchemaOfXmlModel(model);
                if (!choice.location.empty()) run.Against(choice);
            }
        }
        if (!report.errors.empty()) report.outcome = XmlCheck::NotValid;
    }
    if (source.Cancelled()) {
        report.outcome = XmlCheck::Cancelled;
        report.errors.clear();
    }
    for (XmlParseError& e : report.errors)
        if (e.url == options.baseUrl) e.url.clear();
    if (report.errors.size() >= kMaxListedErrors)
        report.errors.push_back(Problem("Only the first " + std::to_string(kMaxListedErrors) + " errors are listed."));
    return report;
}

} // namespace brindle
