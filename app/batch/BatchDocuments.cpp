// The batch commands that work on a document's tree.

#include "app/batch/BatchCommands.h"

#include "app/document/DocErrors.h"
#include "app/document/EncodedText.h"
#include "app/document/TextEncoding.h"
#include "app/document/Transform.h"
#include "app/settings/Settings.h"
#include "platform/xml/DomError.h"
#include "platform/xml/XPathQuery.h"
#include "platform/xml/XmlValidation.h"
#include "platform/xml/XmlDocument.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

using namespace brindle;

namespace {

// The file parsed with the parser settings (validation as asked); nullptr, with
// the reason reported, when it cannot be read or is not well-formed, or (with
// validate) is not valid.
XmlDocumentPtr Load(const std::string& file, bool validate, BatchReport& report)
{
    if (!std::ifstream(file, std::ios::binary)) {
        report.Fail(file, std::string("cannot read the file: ") + std::strerror(errno));
        return nullptr;
    }
    XmlDocumentPtr doc = XmlDocument::Create();
    doc->put_async(false);
    doc->put_validateOnParse(validate);
    doc->put_resolveExternals(Settings::GetResolveExternals() != 0);
    try {
        if (doc->loadKeepingContent(file) == XmlDocument::LoadOutcome::Loaded) return doc;
    } catch (const DomError& error) {
        report.Fail(file, error.what());
        return nullptr;
    }
    report.Fail(file, doc->parseError());
    return nullptr;
}

std::string Escaped(const std::string& value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

bool BatchValidate(const std::string& file, BatchReport& report)
{
    // As Validate in the editor: the file's text, decoded, checked with every
    // error listed (the first only when it is not well-formed).
    std::string bytes, text, why;
    if (!ReadFileBytes(file, bytes)) {
        report.Fail(file, std::string("cannot read the file: ") + std::strerror(errno));
        return false;
    }
    if (!DecodeToUtf8(bytes, DetectFileEncoding(file), text, why)) {
        report.Fail(file, why);
        return false;
    }
    XmlCheckOptions options;
    options.resolveExternals = Settings::GetResolveExternals() != 0;
    options.processXIncludes = Settings::GetProcessXIncludes() != 0;
    options.baseUrl = file;
    StringTextSource source(std::move(text));
    const ValidationReport result = ValidateXmlText(source, options);
    for (const XmlParseError& error : result.errors) {
        if (error.url.empty() || error.url == file) report.Fail(file, error);
        else report.Fail(error.url, error.reason, error.line, error.linepos);
    }
    return result.outcome == XmlCheck::Valid;
}

bool BatchTransform(const std::string& xsl, const std::string& input, const std::string& output, BatchReport& report)
{
    const XmlDocumentPtr doc = Load(input, false, report);
    if (!doc) return false;
    DocErrors errors;
    if (TransformDocumentWith(Settings::GetParserAppId(), doc, output, xsl, false, {}, errors)) return true;
    report.Fail(input, errors.Take());
    return false;
}

bool BatchXPath(const BatchRequest& request, const std::string& file, bool nameFile, std::ostream& out,
                BatchReport& report)
{
    const XmlDocumentPtr doc = Load(file, false, report);
    if (!doc) return false;
    // The document's prefixes, its default namespaces as "d" (as the XPath
    // panel offers them), then --ns bindings, which replace those.
    std::vector<XPathBinding> bindings = UsableBindings(DeclaredNamespaces(*doc));
    for (const auto& [prefix, uri] : request.prefixes) bindings.push_back({prefix, uri});
    const std::string& expression = request.operands.front();
    const XPathResult result = EvaluateXPath(*doc, expression, bindings, SIZE_MAX, SIZE_MAX);
    if (result.kind == XPathResult::Kind::Error) {
        std::string message = "\"" + expression + "\" is not a valid XPath expression: " + result.error;
        if (result.errorPosition != std::string::npos)
            message += " (at character " + std::to_string(result.errorPosition + 1) + ")";
        report.Fail(file, message);
        return false;
    }
    const std::string lead = nameFile ? file + ":" : std::string();
    if (result.kind != XPathResult::Kind::NodeSet) {
        out << lead << Escaped(result.string) << '\n';
        return true;
    }
    for (const XPathHit& hit : result.hits) out << lead << hit.path << '\t' << Escaped(hit.value) << '\n';
    return true;
}
