#pragma once

// Internal to the parser component: how namespace URIs are stored in the tree.
//
// libxml2 writes a namespace declaration's stored URI into the document as it
// stands, without escaping, so the component stores URIs with the characters
// that cannot stand in an attribute value as character references ("&" is
// "&#38;", the form libxml2's parser itself leaves). The DOM hands URIs out
// decoded and takes them in plain.

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace brindle::detail {

// The stored form of a namespace URI.
std::string HrefFromUri(std::string_view uri);
// The URI a stored form stands for.
std::string UriFromHref(const xmlChar* href);
// Whether a URI as the parser left it in a declaration may differ from its
// stored form (rarely: only when it holds a reference or a character to escape).
bool ParsedHrefNeedsNormalising(const xmlChar* parsed);
// The stored form of such a URI: character references and entity references
// (to the document's entities) are expanded, then stored as HrefFromUri does.
std::string NormaliseParsedHref(xmlDocPtr doc, const xmlChar* parsed);

} // namespace brindle::detail
