// XPath evaluation for readers of its results: typed values, node paths, lines.

#include "platform/xml/XPathQuery.h"

#include "platform/xml/NodeAccess.h"

#include <libexslt/exslt.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace brindle {

using namespace detail;

namespace {

// The EXSLT modules under the prefixes their documentation uses.
const XPathBinding kExsltPrefixes[] = {
    {"math", "http://exslt.org/math"},       {"str", "http://exslt.org/strings"},
    {"date", "http://exslt.org/dates-and-times"}, {"set", "http://exslt.org/sets"},
    {"exsl", "http://exslt.org/common"},     {"dyn", "http://exslt.org/dynamic"},
};

// Keeps libxml2's XPath messages of one evaluation: the first structured error
// (with its text), and nothing printed to standard error meanwhile. libxslt's
// messages go to the ErrorCapture it holds.
class QuietErrors {
public:
    QuietErrors()
        : xslt(), m_prevContext(xmlStructuredErrorContext), m_prevHandler(xmlStructuredError),
          m_prevGenericContext(xmlGenericErrorContext), m_prevGeneric(xmlGenericError)
    {
        xmlSetStructuredErrorFunc(this, &QuietErrors::OnError);
        xmlSetGenericErrorFunc(nullptr, &QuietErrors::Ignore);
    }
    ~QuietErrors()
    {
        xmlSetStructuredErrorFunc(m_prevContext, m_prevHandler);
        xmlSetGenericErrorFunc(m_prevGenericContext, m_prevGeneric);
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

    std::string message;
    ErrorCapture xslt; // made first: the handlers below replace its libxml2 one

private:
    static void OnError(void* self, xmlErrorPtr err)
    {
        auto* q = static_cast<QuietErrors*>(self);
        if (err && err->message && q->message.empty()) q->message = err->message;
    }
    static void Ignore(void*, const char*, ...) {}

    void* m_prevContext;
    xmlStructuredErrorFunc m_prevHandler;
    void* m_prevGenericContext;
    xmlGenericErrorFunc m_prevGeneric;
};

std::string Trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\r')) s.pop_back();
    return s;
}

bool IsTextLike(const xmlNode* n) { return n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE; }

const char* KindOf(const xmlNode* n)
{
    switch (n->type) {
    case XML_ELEMENT_NODE: return "element";
    case XML_ATTRIBUTE_NODE: return "attribute";
    case XML_TEXT_NODE: return "text";
    case XML_CDATA_SECTION_NODE: return "cdata";
    case XML_COMMENT_NODE: return "comment";
    case XML_PI_NODE: return "processing-instruction";
    case XML_NAMESPACE_DECL: return "namespace";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return "document";
    default: return "node";
    }
}

// Appends text to out up to the limit; false once it is reached.
bool AppendBounded(std::string& out, const xmlChar* text, size_t limit)
{
    if (!text) return true;
    const std::string_view s(reinterpret_cast<const char*>(text));
    const size_t room = limit - out.size();
    out.append(s.substr(0, room));
    return s.size() < room;
}

// The string value of a node, cut to limit bytes (without reading the rest of
// a large element) on a character boundary.
std::string BoundedValue(const xmlNode* n, size_t limit)
{
    std::string out;
    if (n->type == XML_NAMESPACE_DECL) {
        AppendBounded(out, reinterpret_cast<const xmlNs*>(n)->href, limit);
    } else if (n->type == XML_ELEMENT_NODE || n->type == XML_DOCUMENT_NODE || n->type == XML_ATTRIBUTE_NODE) {
        const xmlNode* top = n;
        for (const xmlNode* c = n->children; c;) {
            if (IsTextLike(c) && !AppendBounded(out, c->content, limit)) break;
            if (c->type == XML_ELEMENT_NODE && c->children) {
                c = c->children;
                continue;
            }
            while (c != top && !c->next) c = c->parent;
            if (c == top) break;
            c = c->next;
        }
    } else {
        AppendBounded(out, n->content, limit);
    }
    if (out.size() >= limit) {
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) out.pop_back();
        if (!out.empty() && static_cast<unsigned char>(out.back()) >= 0xC0) out.pop_back();
    }
    return out;
}

// Paths of nodes in the form an XPath step takes: name[i] where siblings share
// the name, with the bindings' prefix for a namespace the document gives none.
// Indices are remembered, so listing the nodes of a long sibling list in
// document order stays linear.
class PathNamer {
public:
    explicit PathNamer(const std::vector<XPathBinding>& bindings) : m_bindings(bindings) {}

    std::string Path(const xmlNode* n)
    {
        if (n->type == XML_NAMESPACE_DECL) {
            const auto* ns = reinterpret_cast<const xmlNs*>(n);
            // libxml2 keeps the element a namespace node belongs to in its next field.
            const auto* owner = reinterpret_cast<const xmlNode*>(ns->next);
            std::string step = "namespace::" + (ns->prefix ? ToStr(ns->prefix) : std::string("*[name()='']"));
            if (!owner || owner->type != XML_ELEMENT_NODE) return step;
            return Path(owner) + "/" + step;
        }
        std::vector<std::string> steps;
        for (const xmlNode* c = n; c && c->type != XML_DOCUMENT_NODE && c->type != XML_HTML_DOCUMENT_NODE;
             c = c->parent)
            steps.push_back(Step(c));
        if (steps.empty()) return "/";
        std::string path;
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) path += "/" + *it;
        return path;
    }

private:
    std::string Name(const xmlNode* n) const
    {
        std::string local = ToStr(n->name);
        if (!n->ns) return local;
        if (n->ns->prefix) return ToStr(n->ns->prefix) + ":" + local;
        const std::string uri = ToStr(n->ns->href);
        for (const auto& b : m_bindings)
            if (!b.prefix.empty() && b.uri == uri) return b.prefix + ":" + local;
        return local;
    }

    static bool SameStep(const xmlNode* a, const xmlNode* b)
    {
        if (IsTextLike(a)) return IsTextLike(b);
        if (a->type != b->type) return false;
        if (a->type == XML_COMMENT_NODE) return true;
        if (!xmlStrEqual(a->name, b->name)) return false;
        if (a->type == XML_PI_NODE) return true;
        const xmlChar* ha = a->ns ? a->ns->href : nullptr;
        const xmlChar* hb = b->ns ? b->ns->href : nullptr;
        return xmlStrEqual(ha, hb);
    }

    size_t Index(const xmlNode* n)
    {
        size_t count = 1;
        for (const xmlNode* p = n->prev; p; p = p->prev) {
            if (!SameStep(n, p)) continue;
            if (auto it = m_index.find(p); it != m_index.end()) {
                count += it->second;
                break;
            }
            ++count;
        }
        m_index[n] = count;
        return count;
    }

    static bool HasFollowing(const xmlNode* n)
    {
        for (const xmlNode* f = n->next; f; f = f->next)
            if (SameStep(n, f)) return true;
        return false;
    }

    std::string Step(const xmlNode* n)
    {
        std::string step;
        switch (n->type) {
        case XML_ATTRIBUTE_NODE: return "@" + Name(n);
        case XML_ELEMENT_NODE: step = Name(n); break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE: step = "text()"; break;
        case XML_COMMENT_NODE: step = "comment()"; break;
        case XML_PI_NODE: step = "processing-instruction('" + ToStr(n->name) + "')"; break;
        default: return "node()";
        }
        const size_t index = Index(n);
        if (index > 1 || HasFollowing(n)) step += "[" + std::to_string(index) + "]";
        return step;
    }

    const std::vector<XPathBinding>& m_bindings;
    std::unordered_map<const xmlNode*, size_t> m_index;
};

long LineOf(const xmlNode* n)
{
    if (n->type == XML_NAMESPACE_DECL) {
        n = reinterpret_cast<const xmlNode*>(reinterpret_cast<const xmlNs*>(n)->next);
        if (!n || n->type != XML_ELEMENT_NODE) return 0;
    }
    if (n->type == XML_ATTRIBUTE_NODE) n = n->parent;
    if (!n || n->type == XML_DOCUMENT_NODE) return 0;
    const long line = xmlGetLineNo(const_cast<xmlNode*>(n));
    return line > 0 ? line : 0;
}

std::string TextOf(xmlXPathObjectPtr obj)
{
    xmlChar* s = xmlXPathCastToString(obj);
    std::string out = ToStr(s);
    xmlFree(s);
    return out;
}

// A transformation context around the document: EXSLT functions that build
// result trees (str:tokenize, str:split) need one.
struct EvalContext {
    xsltStylesheetPtr style = nullptr;
    xsltTransformContextPtr transform = nullptr;
    explicit EvalContext(xmlDocPtr doc)
    {
        style = xsltNewStylesheet();
        if (style) transform = xsltNewTransformContext(style, doc);
    }
    ~EvalContext()
    {
        // The context takes its prefixes from the stylesheet's table and so
        // leaves them alone when freed; the ones registered here are freed here.
        if (transform && transform->xpathCtxt) xmlXPathRegisteredNsCleanup(transform->xpathCtxt);
        if (transform) xsltFreeTransformContext(transform);
        if (style) xsltFreeStylesheet(style);
    }
    EvalContext(const EvalContext&) = delete;
    EvalContext& operator=(const EvalContext&) = delete;
};

} // namespace

XPathResult EvaluateXPath(const XmlNode& context, const std::string& expression,
                          const std::vector<XPathBinding>& bindings, std::size_t maxHits, std::size_t valueLength)
{
    EnsureLibXml();
    XPathResult result;
    xmlNodePtr node = NodeAccess::Raw(context);
    xmlDocPtr doc = node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node) : node->doc;
    if (!doc) {
        result.error = "The node is in no document.";
        return result;
    }
    QuietErrors quiet;
    EvalContext eval(doc);
    if (!eval.transform) {
        result.error = "Out of memory.";
        return result;
    }
    xmlXPathContextPtr ctx = eval.transform->xpathCtxt;
    ctx->node = node;
    for (const auto& b : kExsltPrefixes) xmlXPathRegisterNs(ctx, reinterpret_cast<const xmlChar*>(b.prefix.c_str()),
                                                            reinterpret_cast<const xmlChar*>(b.uri.c_str()));
    for (const auto& b : bindings) {
        if (b.prefix.empty()) continue; // XPath 1.0 has no default namespace for names
        xmlXPathRegisterNs(ctx, X(b.prefix), X(b.uri));
    }
    // The XML declaration node is not part of the XPath data model.
    xmlNodePtr decl = DeclarationOf(doc);
    if (decl) xmlUnlinkNode(decl);
    std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> obj(xmlXPathEvalExpression(X(expression), ctx),
                                                                        &xmlXPathFreeObject);
    if (decl) LinkChild(reinterpret_cast<xmlNodePtr>(doc), decl, doc->children);

    if (!obj) {
        result.error = Trimmed(quiet.message.empty() ? quiet.xslt.messages : quiet.message);
        if (result.error.empty()) result.error = "Invalid expression";
        if (ctx->lastError.domain == XML_FROM_XPATH && ctx->lastError.int1 >= 0)
            result.errorPosition = std::min(static_cast<size_t>(ctx->lastError.int1), expression.size());
        xmlResetError(&ctx->lastError);
        return result;
    }
    switch (obj->type) {
    case XPATH_NODESET:
    case XPATH_XSLT_TREE: {
        result.kind = XPathResult::Kind::NodeSet;
        xmlNodeSetPtr set = obj->nodesetval;
        result.count = set ? static_cast<size_t>(set->nodeNr) : 0;
        PathNamer namer(bindings);
        for (size_t i = 0; i < result.count && i < maxHits; ++i) {
            const xmlNode* n = set->nodeTab[i];
            XPathHit hit;
            // Only nodes of the document itself have node objects; result trees
            // of functions go with the evaluation.
            // A namespace node is an xmlNs, which has no doc field: its type is read first.
            const bool isNamespace = n->type == XML_NAMESPACE_DECL;
            const bool ofDocument = !isNamespace && n->doc == doc;
            if (ofDocument) hit.node = NodeAccess::Wrap(const_cast<xmlNode*>(n));
            hit.path = namer.Path(n);
            hit.kind = KindOf(n);
            hit.value = BoundedValue(n, valueLength);
            if (ofDocument || isNamespace) hit.line = LineOf(n);
            result.hits.push_back(std::move(hit));
        }
        break;
    }
    case XPATH_BOOLEAN:
        result.kind = XPathResult::Kind::Boolean;
        result.boolean = obj->boolval != 0;
        result.string = result.boolean ? "true" : "false";
        break;
    case XPATH_NUMBER:
        result.kind = XPathResult::Kind::Number;
        result.number = obj->floatval;
        result.string = TextOf(obj.get());
        break;
    case XPATH_STRING:
        result.kind = XPathResult::Kind::String;
        result.string = ToStr(obj->stringval);
        break;
    default:
        result.error = "The expression gives a value of a kind XPath 1.0 does not show.";
        break;
    }
    return result;
}

std::vector<XPathBinding> DeclaredNamespaces(const XmlNode& document)
{
    std::vector<XPathBinding> out;
    xmlNodePtr node = NodeAccess::Raw(document);
    xmlDocPtr doc = node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node) : node->doc;
    xmlNodePtr root = doc ? xmlDocGetRootElement(doc) : nullptr;
    if (!root) return out;
    std::unordered_set<std::string> seen;
    ForEachElement(root, [&](xmlNodePtr e) {
        for (xmlNsPtr ns = e->nsDef; ns; ns = ns->next) {
            XPathBinding b{ns->prefix ? ToStr(ns->prefix) : std::string(), ToStr(ns->href)};
            if (b.uri.empty()) continue; // xmlns="" undeclares
            if (seen.insert(b.prefix + '\n' + b.uri).second) out.push_back(std::move(b));
        }
        return false;
    });
    return out;
}

std::vector<XPathBinding> UsableBindings(const std::vector<XPathBinding>& declared, std::vector<bool>* forDefault)
{
    std::vector<XPathBinding> bindings;
    std::vector<bool> isDefault;
    const auto bound = [&](const std::string& prefix) {
        return std::any_of(bindings.begin(), bindings.end(), [&](const XPathBinding& b) { return b.prefix == prefix; });
    };
    const auto taken = [&](const std::string& prefix) {
        return bound(prefix) ||
               std::any_of(declared.begin(), declared.end(), [&](const XPathBinding& b) { return b.prefix == prefix; });
    };
    for (const auto& b : declared) {
        if (b.prefix.empty() || bound(b.prefix)) continue;
        bindings.push_back(b);
        isDefault.push_back(false);
    }
    for (const auto& b : declared) {
        if (!b.prefix.empty()) continue;
        bool offered = false;
        for (size_t i = 0; i < bindings.size(); ++i) offered |= isDefault[i] && bindings[i].uri == b.uri;
        if (offered) continue;
        std::string prefix = "d";
        for (int n = 2; taken(prefix); ++n) prefix = "d" + std::to_string(n);
        bindings.push_back({prefix, b.uri});
        isDefault.push_back(true);
    }
    if (forDefault) *forDefault = std::move(isDefault);
    return bindings;
}

} // namespace brindle
