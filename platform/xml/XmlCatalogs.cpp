// The user catalog, and the catalog look-up the process's entity loader makes.

#include "platform/xml/XmlCatalogs.h"

#include "platform/xml/NodeAccess.h"

#include <libxml/catalog.h>
#include <libxml/parser.h>
#include <libxml/uri.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace brindle {

namespace detail {

struct CatalogFree {
    void operator()(xmlCatalogPtr c) const { xmlFreeCatalog(c); }
};
using CatalogPtr = std::shared_ptr<xmlCatalog>;

namespace {

constexpr const char* kCatalogNs = "urn:oasis:names:tc:entity:xmlns:xml:catalog";

std::mutex g_userMutex;
CatalogPtr g_user;

CatalogPtr UserCatalog()
{
    std::lock_guard lock(g_userMutex);
    return g_user;
}

// The file a local URL names: a plain path, or the path of a "file:" URL.
std::string LocalPath(const char* url)
{
    if (strncasecmp(url, "file:", 5) != 0) return url;
    xmlURIPtr uri = xmlParseURI(url);
    std::string path = uri && uri->path ? uri->path : url + 5;
    xmlFreeURI(uri);
    return path;
}

bool LocalFileExists(const char* url)
{
    struct stat info;
    return url && IsLocalUrl(url) && ::stat(LocalPath(url).c_str(), &info) == 0;
}

std::string Take(xmlChar* s)
{
    std::string out = ToStr(s);
    xmlFree(s);
    return out;
}

// Why the parsed catalog cannot be used: it is not a catalog, or it chains to a
// catalog that is not a local file (which libxml2 would fetch as it resolves).
std::string CatalogFault(xmlDocPtr doc, const std::string& path)
{
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (!root || !root->ns || !xmlStrEqual(root->ns->href, BAD_CAST kCatalogNs) ||
        !xmlStrEqual(root->name, BAD_CAST "catalog"))
        return "The file " + path + " is not an XML catalog.";
    std::string fault;
    ForEachElement(root, [&](xmlNodePtr element) {
        const std::string next = Take(xmlGetProp(element, BAD_CAST "catalog"));
        if (!next.empty() && !IsLocalUrl(next.c_str()))
            fault = "The catalog " + path + " names a catalog that is not a local file: " + next;
        return !fault.empty();
    });
    return fault;
}

} // namespace

std::string ResolveByCatalogs(const char* url, const char* id)
{
    // A local file that exists is read as named, as libxml2 does.
    if ((!url && !id) || LocalFileExists(url)) return {};
    const auto systemId = reinterpret_cast<const xmlChar*>(url);
    const auto publicId = reinterpret_cast<const xmlChar*>(id);
    const CatalogPtr user = UserCatalog();
    std::string found;
    if (user) found = Take(xmlACatalogResolve(user.get(), publicId, systemId));
    if (found.empty()) found = Take(xmlCatalogResolve(publicId, systemId));
    if (found.empty() && url) {
        if (user) found = Take(xmlACatalogResolveURI(user.get(), systemId));
        if (found.empty()) found = Take(xmlCatalogResolveURI(systemId));
    }
    return found;
}

} // namespace detail

namespace {

// The catalog at path (absolute), or why it cannot be used.
detail::CatalogPtr LoadCatalog(const std::string& path, std::string& fault)
{
    using namespace detail;
    ErrorCapture capture;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!doc) {
        std::string reason = capture.first.Failed() ? capture.first.reason : std::string();
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
        fault = "The catalog " + path + " cannot be read" + (reason.empty() ? "." : ": " + reason);
        return nullptr;
    }
    fault = CatalogFault(doc, path);
    xmlFreeDoc(doc);
    if (!fault.empty()) return nullptr;
    CatalogPtr catalog(xmlLoadACatalog(path.c_str()), CatalogFree());
    if (!catalog) fault = "The catalog " + path + " cannot be read.";
    return catalog;
}

} // namespace

std::string UseUserCatalog(const std::string& path)
{
    detail::EnsureLibXml();
    std::string fault;
    // Absolute, as the working folder may change before the catalog is first read.
    detail::CatalogPtr catalog = path.empty() ? nullptr : LoadCatalog(std::filesystem::absolute(path).string(), fault);
    std::lock_guard lock(detail::g_userMutex);
    detail::g_user = std::move(catalog);
    return fault;
}

} // namespace brindle
