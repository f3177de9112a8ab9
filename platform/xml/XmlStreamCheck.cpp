// The streaming check: one pulled parse for well-formedness and the DTD, and a
// second one against the schema the document element names, when it names one
// that can be read.

#include "platform/xml/XmlStreamCheck.h"

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlValidate.h"

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
    source.Rewind();
    std::string_view first = source.Next();
    const std::string empty;
    if (first.empty()) {
        request.text = &empty; // nothing to pull: parsed as empty text is
    } else {
        request.pull = [&source, &first] {
            const std::string_view piece = std::exchange(first, std::string_view());
            return piece.empty() ? source.Next() : piece;
        };
        request.pulledSize = source.Size();
    }
    return detail::LoadXml(request);
}

// The text of the given line (from 1), without its line break.
std::string LineOf(XmlTextSource& source, long line)
{
    if (line <= 0) return {};
    source.Rewind();
    std::string text;
    long at = 1;
    for (std::string_view piece = source.Next(); !piece.empty(); piece = source.Next()) {
        for (char c : piece) {
            if (c == '\n') {
                if (at == line) return detail::SourceLine(&text, std::string(), 1);
                ++at;
            } else if (at == line) {
                text += c;
            }
        }
    }
    return at == line ? detail::SourceLine(&text, std::string(), 1) : std::string();
}

} // namespace

XmlCheck CheckXmlText(XmlTextSource& source, const XmlCheckOptions& options, XmlParseError& error)
{
    detail::EnsureLibXml();
    error = {};
    detail::LoadResult result = Pull(source, options, nullptr);
    if (result.ok && options.validateOnParse && options.resolveExternals) {
        const xmlChar* base = options.baseUrl.empty() ? nullptr : detail::X(options.baseUrl);
        detail::NamedSchema named = detail::LoadNamedSchema(result.noNamespaceSchema, result.schemaLocations, base);
        // A schema that cannot be read is skipped, as when a file is loaded.
        if (named.schema) result = Pull(source, options, named.schema);
    }
    if (result.ok) return XmlCheck::Valid;
    error = std::move(result.error);
    // The parser quotes the line from its buffer, which may end inside it.
    const std::string whole = LineOf(source, error.line);
    if (error.srcText.empty() || whole.find(error.srcText) != std::string::npos) error.srcText = whole;
    return result.wellFormed && options.validateOnParse ? XmlCheck::NotValid : XmlCheck::NotWellFormed;
}

} // namespace brindle
