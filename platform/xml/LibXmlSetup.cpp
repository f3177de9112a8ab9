// One-time set-up of libxml2 and libxslt for the whole process.

#include "platform/xml/NodeAccess.h"
#include "platform/xml/SmallBlockPool.h"

#include <libexslt/exslt.h>
#include <libxml/catalog.h>
#include <libxml/xmlmemory.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxslt/extensions.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltutils.h>

#include <cstring>
#include <mutex>
#include <string>

namespace brindle::detail {

bool IsLocalUrl(const char* url)
{
    if (!url) return true;
    const char* colon = std::strchr(url, ':');
    const char* slash = std::strchr(url, '/');
    // No scheme (a plain path), or "file:".
    if (!colon || (slash && slash < colon)) return true;
    return strncasecmp(url, "file:", 5) == 0;
}

namespace {

// Refuses every URL that is not a local file, for every parse in the process,
// so that nothing ever reaches the network whatever the options of a call. The
// catalogs are asked first; what they name must be a local file too. libxml2's
// own loader is not used, as it would follow a catalog to any URL.
xmlParserInputPtr LocalOnlyLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt)
{
    // The caller reports the failure to load (as libxml2 does for any missing file).
    const bool ours = ctxt && ctxt->_private && ctxt->_private == ActiveParse();
    // A parse of ours may forbid external files (resolveExternals off); the
    // document itself is the first input and is always read.
    if (ours && !ActiveParseAllowsExternals() && ctxt->inputNr > 0) {
        NoteRefusedResource();
        return nullptr;
    }
    const std::string resolved = ResolveByCatalogs(url, id);
    const char* target = resolved.empty() ? url : resolved.c_str();
    if (!target) return nullptr; // a public identifier no catalog knows
    if (!IsLocalUrl(target)) {
        if (ours) NoteRefusedResource();
        return nullptr;
    }
    return xmlNewInputFromFile(ctxt, target);
}

// The address sanitizer checks libxml2's blocks only when they come from the C
// library, and its leak check does not look inside the pool's slabs.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPoolLibXml = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPoolLibXml = false;
#else
constexpr bool kPoolLibXml = true;
#endif
#else
constexpr bool kPoolLibXml = true;
#endif

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
        // Before the first allocation of either library. A block the C library made
        // earlier is still freed correctly: the pool hands back whatever it did not make.
        if (kPoolLibXml) xmlMemSetup(PoolFree, PoolAlloc, PoolRealloc, PoolStrdup);
        xmlInitParser();
        xmlInitializeCatalog();
        xsltInit();
        xsltInitGlobals();
        // The EXSLT functions, for stylesheets and for XPath evaluation alike.
        exsltRegisterAll();
        xsltSetGenericErrorFunc(nullptr, RouteXsltMessage);
        xmlSetExternalEntityLoader(LocalOnlyLoader);
    });
}

} // namespace brindle::detail
