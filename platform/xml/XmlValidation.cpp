// Listing validation: one pulled parse for well-formedness and the DTD, one
// more against each XML Schema, and a tree for DTDs, RelaxNG and Schematron
// schemas that are applied after parsing.

#include "platform/xml/XmlValidation.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlValidate.h"

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

// A validation context's structured error handler: adds to the list.
void Collect(void* context, xmlErrorPtr err)
{
    if (!err || err->level < XML_ERR_ERROR) return;
    Add(*static_cast<std::vector<XmlParseError>*>(context), detail::ErrorFromLibXml(err));
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

class Validation {
public:
    Validation(XmlTextSource& source, const XmlCheckOptions& options, ValidationReport& report)
        : m_source(source), m_options(options), m_report(report)
    {
    }
    ~Validation()
    {
        if (m_tree) xmlFreeDoc(m_tree);
    }
    Validation(const Validation&) = delete;
    Validation& operator=(const Validation&) = delete;

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
        if (!schema.schema) {
            Add(m_report.errors, Problem(CannotRead(named.front(), {schema.error})));
            return;
        }
        Pull(true, schema.schema);
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
            else Pull(false, schema.schema);
            return;
        }
        case SchemaKind::Dtd: return WithTree(choice.location, [&] { return Dtd(choice.location, path); });
        case SchemaKind::RelaxNg: return WithTree(choice.location, [&] { return RelaxNg(choice.location, path); });
        case SchemaKind::Schematron:
            return WithTree(choice.location, [&] { return Schematron(choice.location, path); });
        }
    }

private:
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
        std::vector<XmlParseError> why;
        void* prevContext = xmlStructuredErrorContext;
        xmlStructuredErrorFunc prevHandler = xmlStructuredError;
        xmlSetStructuredErrorFunc(&why, Collect);
        xmlDtdPtr dtd = xmlParseDTD(nullptr, detail::X(path));
        if (dtd) {
            xmlSetStructuredErrorFunc(&m_report.errors, Collect);
            if (xmlValidCtxtPtr vctxt = xmlNewValidCtxt()) {
                vctxt->error = nullptr;
                vctxt->warning = nullptr;
                xmlValidateDtd(vctxt, m_tree, dtd);
                xmlFreeValidCtxt(vctxt);
            }
            xmlFreeDtd(dtd);
        }
        xmlSetStructuredErrorFunc(prevContext, prevHandler);
        if (!dtd) Add(m_report.errors, Problem(CannotRead(location, why)));
    }

    void RelaxNg(const std::string& location, const std::string& path)
    {
        std::vector<XmlParseError> why;
        detail::ErrorCapture quiet;
        xmlRelaxNGPtr schema = nullptr;
        if (xmlRelaxNGParserCtxtPtr pctxt = xmlRelaxNGNewParserCtxt(path.c_str())) {
            xmlRelaxNGSetParserStructuredErrors(pctxt, Collect, &why);
            schema = xmlRelaxNGParse(pctxt);
            xmlRelaxNGFreeParserCtxt(pctxt);
        }
        if (!schema) {
            if (why.empty() && quiet.first.Failed()) why.push_back(quiet.first);
            Add(m_report.errors, Problem(CannotRead(location, why)));
            return;
        }
        if (xmlRelaxNGValidCtxtPtr vctxt = xmlRelaxNGNewValidCtxt(schema)) {
            xmlRelaxNGSetValidStructuredErrors(vctxt, Collect, &m_report.errors);
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
            std::vector<XmlParseError> why;
            if (quiet.first.Failed()) why.push_back(quiet.first);
            Add(m_report.errors, Problem(CannotRead(location, why)));
            return;
        }
        if (xmlSchematronValidCtxtPtr vctxt = xmlSchematronNewValidCtxt(schema, XML_SCHEMATRON_OUT_ERROR)) {
            xmlSchematronSetValidStructuredErrors(vctxt, Collect, &m_report.errors);
            xmlSchematronValidateDoc(vctxt, m_tree);
            xmlSchematronFreeValidCtxt(vctxt);
        }
        xmlSchematronFree(schema);
    }

    XmlTextSource& m_source;
    const XmlCheckOptions& m_options;
    ValidationReport& m_report;
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
    if (validate && options.processXIncludes) {
        // With includes made, the tree of its own is validated as a whole: the
        // first error only (listing every one on this path is still to come).
        XmlParseError error;
        report.outcome = CheckXmlText(source, options, error);
        if (report.outcome == XmlCheck::NotValid || report.outcome == XmlCheck::NotWellFormed) {
            if (error.url == options.baseUrl) error.url.clear();
            report.errors.push_back(std::move(error));
        }
        return report;
    }
    Validation run(source, options, report);
    detail::LoadResult first = run.Pull(validate, nullptr);
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
        if (against) {
            run.Against(*against);
        } else if (validate && options.resolveExternals) {
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
