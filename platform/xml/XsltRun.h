#pragma once

// Internal to the parser component: compiling and running XSLT stylesheets with
// the component's rules (local files only; nothing written), shared by
// transformNode and the preview.

#include "platform/xml/NodeAccess.h"

#include <libxslt/xsltInternals.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace brindle::detail {

struct DocFree {
    void operator()(xmlDocPtr d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

struct StylesheetFree {
    void operator()(xsltStylesheetPtr s) const { xsltFreeStylesheet(s); }
};
using StylesheetPtr = std::unique_ptr<xsltStylesheet, StylesheetFree>;

// Compiles a stylesheet tree, which it takes over (relative imports and
// includes resolve against the tree's URL). Throws DomError "The stylesheet is
// not valid: ..." with the reason from capture.
StylesheetPtr CompileStylesheet(DocPtr doc, ErrorCapture& capture);

// Set up on a transformation before it runs (extension functions of the caller).
using ContextSetup = void (*)(xsltTransformContextPtr ctxt, void* data);

struct TransformRequest {
    // Top-level parameters as plain strings (not XPath expressions).
    std::vector<std::pair<std::string, std::string>> stringParams;
    ContextSetup setup = nullptr;
    void* setupData = nullptr;
};

// Applies the stylesheet to source, which may be changed (xsl:strip-space):
// no file or folder is written and nothing is read from or written to the
// network. Throws DomError "The transformation failed: ..." on failure.
DocPtr ApplyStylesheet(xsltStylesheetPtr style, xmlDocPtr source, ErrorCapture& capture,
                       const TransformRequest& request = {});

// The result as xsl:output asks, in UTF-8 whatever encoding it names (its
// declaration or HTML meta charset then says UTF-8).
std::string SaveResult(xmlDocPtr result, xsltStylesheetPtr style);

} // namespace brindle::detail
