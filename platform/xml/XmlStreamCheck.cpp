// The streaming check: one pulled parse for well-formedness and the DTD, and a
// second one against the schema the document element names, when it names one
// that can be read.

#include "platform/xml/XmlStreamCheck.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/TreeReaper.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlValidate.h"
#include "platform/xml/XmlXInclude.h"

#include <utility>

namespace brindle {

namespace {

detail::LoadResult Pull(XmlTextSource& source, const XmlCheckOptions& options, xmlSchemaPtr schema)
{
    detail::LoadRequest request;
    request.path = options.baseUrl;
    request.validate = options.validateOnParse;
    request.resolveExternals = options.resolveExternals;
    request.schema = schema;
    request.source = &source;
    return detail::LoadXml(request);
}

// The text parsed into a tree of its own, its includes made, then validated.
detail::LoadResult PullIncluding(XmlTextSource& source, const XmlCheckOptions& options)
{
    detail::LoadResult result = detail::LoadTextTree(source, options.baseUrl, options.resolveExternals);
    if (!result.doc) return result;
    result.error = options.validateOnParse ? detail::ValidateIncluding(result.doc, options.resolveExternals)
                                           : detail::ExpandIncludes(result.doc, options.resolveExternals);
    result.ok = !result.error.Failed();
    detail::FreeTree(std::exchange(result.doc, nullptr), source.Size());
    return result;
}

} // namespace

XmlCheck CheckXmlText(XmlTextSource& source, const XmlCheckOptions& options, XmlParseError& error)
{
    detail::EnsureLibXml();
    error = {};
    detail::LoadResult result;
    if (options.processXIncludes && detail::MayInclude(source)) {
        result = PullIncluding(source, options);
    } else {
        result = Pull(source, options, nullptr);
        if (result.ok && options.validateOnParse && options.resolveExternals) {
            const xmlChar* base = options.baseUrl.empty() ? nullptr : detail::X(options.baseUrl);
            detail::NamedSchema named =
                detail::LoadNamedSchema(result.noNamespaceSchema, result.schemaLocations, base);
            // A schema that cannot be read is skipped, as when a file is loaded.
            if (named.schema) result = Pull(source, options, named.schema);
        }
    }
    if (result.cancelled) return XmlCheck::Cancelled;
    if (result.ok) return XmlCheck::Valid;
    error = std::move(result.error);
    QuoteWholeLine(source, error);
    // An include that cannot be made fails a well-formed text as validation does.
    const bool judged = options.validateOnParse || options.processXIncludes;
    return result.wellFormed && judged ? XmlCheck::NotValid : XmlCheck::NotWellFormed;
}

} // namespace brindle
