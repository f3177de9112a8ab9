// One-time set-up of libxml2 and libxslt for the whole process.

#include "platform/xml/NodeAccess.h"

#include <libxml/catalog.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxslt/extensions.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltutils.h>

#include <cstring>
#include <mutex>

namespace brindle::detail {

namespace {

xmlExternalEntityLoader g_defaultLoader = nullptr;

bool IsLocal(const char* url)
{
    if (!url) return true;
    const char* colon = std::strchr(url, ':');
    const char* slash = std::strchr(url, '/');
    // No scheme (a plain path), or "file:".
    if (!colon || (slash && slash < colon)) return true;
    return strncasecmp(url, "file:", 5) == 0;
}

// Refuses every URL that is not a local file, for every parse in the process,
// so that nothing ever reaches the network whatever the options of a call.
xmlParserInputPtr LocalOnlyLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt)
{
    // The caller reports the failure to load (as libxml2 does for any missing file).
    const bool ours = ctxt && ctxt->_private && ctxt->_private == ActiveParse();
    if (!IsLocal(url)) {
        if (ours) NoteRefusedResource();
        return nullptr;
    }
    // A parse of ours may forbid external files (resolveExternals off); the
    // document itself is the first input and is always read.
    if (ours && !ActiveParseAllowsExternals() && ctxt->inputNr > 0) {
        NoteRefusedResource();
        return nullptr;
    }
    return g_defaultLoader(url, id, ctxt);
}

} // namespace

// Runs before any other use of the libraries (std::call_once also makes a first
// call from a worker thread safe); the program makes it on its main thread at
// start-up, where libxml2 expects it.
//
// Everything the libraries would otherwise set up lazily on first use is set up
// here, once: libxslt's extension registry makes its lock at the first
// stylesheet or transformation, and the catalog its lock at the first external
// entity, unguarded, so two threads meeting there first race and one lock leaks.
void EnsureLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlInitializeCatalog();
        xsltInit();
        xsltInitGlobals();
        xsltSetGenericErrorFunc(nullptr, RouteXsltMessage);
        g_defaultLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(LocalOnlyLoader);
    });
}

} // namespace brindle::detail
