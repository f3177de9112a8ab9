// Parsing with the component's safety rules: no network, external files only
// when asked, bounded nesting and bounded entity expansion.

#include "platform/xml/XmlLoad.h"

#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/globals.h>
#include <libxml/valid.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace brindle::detail {

namespace {

// Entity expansion allowed before a document counts as an expansion bomb: the
// larger of this floor and ten times the input size.
constexpr uint64_t kExpansionFloor = 16u << 20;
constexpr uint64_t kHuge = UINT64_MAX / 4;

struct ParseState {
    bool allowExternal = true;
    uint64_t inputSize = 0;
    int depth = 0;
    uint64_t expanded = 0;
    bool limited = false;
    bool refusedExternal = false;
    XmlParseError limitError;
    XmlParseError firstFatal;
    XmlParseError firstValidity;
    XmlParseError firstNamespace;
    XmlParseError firstSchema;
    std::vector<XmlParseError>* errorList = nullptr; // see LoadRequest
    bool listSchema = false;                         // list the schema's errors, not the DTD's
    bool seenRoot = false;
    std::vector<std::string> xmlModels;
    processingInstructionSAXFunc piHandler = nullptr;
    int namespaceErrors = 0; // other than URIs that are not valid URIs
    const std::string* text = nullptr; // the input when parsing text
    bool pulled = false;               // the input came from a text source
    std::string path;                  // the input file otherwise
    long subsetStart = -1;             // offset of the internal subset's "["
    bool hasInternalSubset = false;
    std::string internalSubset;
    std::unordered_map<const xmlEntity*, uint64_t> sizes;
    std::unordered_set<const xmlEntity*> inProgress;
    // A pulled parse keeps no tree; it notes the document element's schema
    // names and, while validating against a schema, the open elements' lines.
    bool prune = false;
    xmlParserCtxtPtr ctxt = nullptr;
    std::string noNamespaceSchema;
    std::string schemaLocations;
    std::vector<unsigned long> openLines;
    unsigned long schemaLine = 0;
    startElementNsSAX2Func schemaStart = nullptr; // the schema validator's own handlers
    endElementNsSAX2Func schemaEnd = nullptr;
    bool checkedForDtd = false; // a pulled parse has decided whether it needs nodes
    // With recordSpans: the spans so far, and the open elements' entries (or
    // kNoSpan for an element that gets none).
    std::unique_ptr<SourceSpans> spans;
    std::vector<uint32_t> openSpans;
};

constexpr uint32_t kNoSpan = UINT32_MAX;

thread_local ParseState* t_active = nullptr;
thread_local uint64_t t_parsesRun = 0;

class ActiveScope {
public:
    explicit ActiveScope(ParseState* st) : m_prev(t_active) { t_active = st; }
    ~ActiveScope() { t_active = m_prev; }
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;

private:
    ParseState* m_prev;
};

constexpr uint32_t kParseErrorBase = 0xC00C0000u;

std::string Trimmed(const char* message)
{
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

// The line around the parser's position, clipped to a readable length.
void AddSourceContext(XmlParseError& e, xmlParserCtxtPtr ctxt)
{
    if (!ctxt || !ctxt->input || !ctxt->input->cur || !ctxt->input->base) return;
    const xmlChar* base = ctxt->input->base;
    const xmlChar* cur = ctxt->input->cur;
    const xmlChar* end = ctxt->input->end ? ctxt->input->end : cur;
    if (cur > end) cur = end;
    e.filepos = static_cast<long>(ctxt->input->consumed + static_cast<unsigned long>(cur - base));
    if (cur > base && cur == end) --cur;
    if (cur > base && (*cur == '\n' || *cur == '\r') && ctxt->input->line > e.line) --cur;
    const xmlChar* start = cur;
    while (start > base && start[-1] != '\n' && start[-1] != '\r' && cur - start < 512) --start;
    const xmlChar* stop = cur;
    while (stop < end && *stop != '\n' && *stop != '\r' && stop - start < 1024) ++stop;
    // Do not cut a UTF-8 sequence in half.
    while (start < stop && (*start & 0xC0) == 0x80) ++start;
    while (stop > start && stop < end && (*stop & 0xC0) == 0x80) --stop;
    e.srcText.assign(reinterpret_cast<const char*>(start), static_cast<size_t>(stop - start));
}

bool Listing(const ParseState& st, bool schema)
{
    return st.errorList && st.listSchema == schema && st.errorList->size() < kMaxListedErrors;
}

void OnError(void* userData, xmlErrorPtr err)
{
    ParseState* st = t_active;
    if (!st || !err || err->level < XML_ERR_ERROR) return;
    XmlParseError* slot = nullptr;
    if (err->domain == XML_FROM_VALID || err->domain == XML_FROM_DTD) {
        if (Listing(*st, false)) st->errorList->push_back(ErrorFromLibXml(err));
        slot = &st->firstValidity;
    }
    else if (err->domain == XML_FROM_NAMESPACE) {
        // A namespace name that is not a valid URI is accepted, as other parsers
        // accept it: the document is well-formed.
        if (err->code == XML_WAR_NS_URI || err->code == XML_WAR_NS_URI_RELATIVE) return;
        ++st->namespaceErrors;
        slot = &st->firstNamespace;
    }
    else slot = &st->firstFatal;
    if (slot->Failed()) return;
    *slot = ErrorFromLibXml(err);
    auto* ctxt = static_cast<xmlParserCtxtPtr>(err->ctxt ? err->ctxt : userData);
    AddSourceContext(*slot, ctxt);
}

void Refuse(xmlParserCtxtPtr ctxt, ParseState* st, xmlParserErrors code, const std::string& reason)
{
    if (st->limited) return;
    st->limited = true;
    st->limitError.errorCode = kParseErrorBase | static_cast<uint32_t>(code);
    st->limitError.reason = reason;
    if (ctxt && ctxt->input) {
        st->limitError.line = ctxt->input->line;
        st->limitError.linepos = ctxt->input->col;
        AddSourceContext(st->limitError, ctxt);
    }
    xmlStopParser(ctxt);
}

constexpr const char* kXsiNs = "http://www.w3.org/2001/XMLSchema-instance";

// The document element's schema names; the open elements' lines.
void NotePulledStart(xmlParserCtxtPtr ctxt, ParseState* st, int nbAttributes, const xmlChar** attributes)
{
    if (st->depth == 1) {
        // Each attribute: local name, prefix, URI, value start, value end.
        for (int i = 0; i < nbAttributes; ++i) {
            const xmlChar** a = attributes + 5 * i;
            if (!a[2] || !xmlStrEqual(a[2], BAD_CAST kXsiNs)) continue;
            std::string value(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
            if (xmlStrEqual(a[0], BAD_CAST "noNamespaceSchemaLocation")) st->noNamespaceSchema = std::move(value);
            else if (xmlStrEqual(a[0], BAD_CAST "schemaLocation")) st->schemaLocations = std::move(value);
        }
    }
    st->openLines.push_back(static_cast<unsigned long>(ctxt->input->line));
}

// Whether the element's content check at its end needs its children: it has a
// declaration that constrains them and the parse validates.
bool ContentNeedsChildren(xmlParserCtxtPtr ctxt, xmlNodePtr element)
{
    xmlDocPtr doc = ctxt->myDoc;
    if (!ctxt->validate || !doc || element->type != XML_ELEMENT_NODE) return false;
    xmlElementPtr decl = nullptr;
    for (xmlDtdPtr dtd : {doc->intSubset, doc->extSubset}) {
        if (!dtd || decl) continue;
        if (element->ns && element->ns->prefix) decl = xmlGetDtdQElementDesc(dtd, element->name, element->ns->prefix);
        if (!decl) decl = xmlGetDtdElementDesc(dtd, element->name);
    }
    return decl && decl->etype != XML_ELEMENT_TYPE_ANY;
}

// After an element's own checks: its content goes, and the element itself too
// unless its parent's content check will need it (then it stays as a bare name).
void Prune(xmlParserCtxtPtr ctxt, xmlNodePtr done)
{
    xmlFreeNodeList(done->children);
    done->children = done->last = nullptr;
    xmlFreePropList(done->properties);
    done->properties = nullptr;
    xmlNodePtr parent = done->parent;
    if (!parent || parent->type != XML_ELEMENT_NODE || ContentNeedsChildren(ctxt, parent)) return;
    xmlFreeNodeList(parent->children);
    parent->children = parent->last = nullptr;
}

void OnStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int nbNamespaces,
                    const xmlChar** namespaces, int nbAttributes, int nbDefaulted, const xmlChar** attributes);

// Pulling a document that has no DTD and no schema to meet: nothing needs its
// nodes, so none are built. The parser itself checks well-formedness and
// namespaces; these handlers only keep the nesting count and the lines.
void IgnoreText(void*, const xmlChar*, int) {}
void IgnoreNode(void*, const xmlChar*) {}
void IgnorePi(void*, const xmlChar*, const xmlChar*) {}

void OnBareStart(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int nbAttributes,
                 int, const xmlChar** attributes)
{
    ParseState* st = t_active;
    if (++st->depth > kMaxNestingDepth) {
        Refuse(static_cast<xmlParserCtxtPtr>(ctx), st, XML_ERR_INTERNAL_ERROR,
               "Elements are nested more than " + std::to_string(kMaxNestingDepth) + " levels deep.");
        return;
    }
    NotePulledStart(static_cast<xmlParserCtxtPtr>(ctx), st, nbAttributes, attributes);
}

void OnBareEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*)
{
    ParseState* st = t_active;
    if (st->depth > 0) --st->depth;
    if (!st->openLines.empty()) st->openLines.pop_back();
}

// At the document element of a pulled parse: without a DTD (so no content
// model, no attribute defaults and no entities but the predefined ones) and
// without a schema plugged in, the rest is parsed without nodes.
bool GoBare(xmlParserCtxtPtr ctxt, ParseState* st)
{
    st->checkedForDtd = true;
    xmlDocPtr doc = ctxt->myDoc;
    if (!doc || doc->intSubset || doc->extSubset || ctxt->sax->startElementNs != OnStartElement) return false;
    xmlSAXHandlerPtr sax = ctxt->sax;
    sax->startElementNs = OnBareStart;
    sax->endElementNs = OnBareEnd;
    sax->characters = sax->ignorableWhitespace = sax->cdataBlock = IgnoreText;
    sax->comment = IgnoreNode;
    sax->reference = IgnoreNode;
    sax->processingInstruction = IgnorePi;
    return true;
}

long InputOffset(xmlParserCtxtPtr ctxt)
{
    return static_cast<long>(ctxt->input->consumed) + static_cast<long>(ctxt->input->cur - ctxt->input->base);
}

// At the start callback the parser stands on the start tag's ">" or "/>"; the
// tag's "<" is found back from there (attribute values hold no "<"). Elements
// parsed from entity content (another parser context, or another input) are
// not in the document's own text and get no span.
void RecordStart(xmlParserCtxtPtr ctxt, ParseState* st, const xmlChar* localname)
{
    uint32_t index = kNoSpan;
    xmlParserInputPtr in = ctxt->input;
    xmlNodePtr node = ctxt->node;
    if (ctxt == st->ctxt && ctxt->inputNr == 1 && node && node->type == XML_ELEMENT_NODE &&
        xmlStrEqual(node->name, localname) && in->cur && (*in->cur == '>' || *in->cur == '/')) {
        const xmlChar* open = in->cur;
        while (open > in->base && *open != '<') --open;
        if (*open == '<' && st->spans->spans.size() < kNoSpan) {
            const uint64_t start = in->consumed + static_cast<uint64_t>(open - in->base);
            const auto tagLength = static_cast<uint32_t>(in->cur - open) + (*in->cur == '/' ? 2u : 1u);
            index = static_cast<uint32_t>(st->spans->spans.size());
            st->spans->spans.push_back({node, start, 0, tagLength, 0});
        }
    }
    st->openSpans.push_back(index);
}

// At the end callback the parser stands past the end tag's ">" (or "/>").
void RecordEnd(xmlParserCtxtPtr ctxt, ParseState* st)
{
    if (st->openSpans.empty()) return;
    const uint32_t index = st->openSpans.back();
    st->openSpans.pop_back();
    if (index == kNoSpan) return;
    ElementSpan& span = st->spans->spans[index];
    span.end = static_cast<uint64_t>(InputOffset(ctxt));
    if (ctxt != st->ctxt || ctxt->inputNr != 1 || span.end <= span.start) span.marks |= kGone;
}

void OnStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int nbNamespaces,
                    const xmlChar** namespaces, int nbAttributes, int nbDefaulted, const xmlChar** attributes)
{
    ParseState* st = t_active;
    if (st) st->seenRoot = true;
    if (st && st->prune && !st->checkedForDtd && GoBare(static_cast<xmlParserCtxtPtr>(ctx), st)) {
        OnBareStart(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes, nbDefaulted, attributes);
        return;
    }
    if (st && ++st->depth > kMaxNestingDepth) {
        Refuse(static_cast<xmlParserCtxtPtr>(ctx), st, XML_ERR_INTERNAL_ERROR,
               "Elements are nested more than " + std::to_string(kMaxNestingDepth) + " levels deep.");
        return;
    }
    if (st && st->prune) NotePulledStart(static_cast<xmlParserCtxtPtr>(ctx), st, nbAttributes, attributes);
    // Declared URIs are stored in the tree's own form (see NamespaceHref.h).
    std::vector<const xmlChar*> normalised;
    std::vector<std::string> hrefs;
    for (int i = 0; i < nbNamespaces; ++i) {
        if (!ParsedHrefNeedsNormalising(namespaces[2 * i + 1])) continue;
        if (normalised.empty()) {
            normalised.assign(namespaces, namespaces + 2 * nbNamespaces);
            hrefs.reserve(static_cast<size_t>(nbNamespaces));
        }
        auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        hrefs.push_back(NormaliseParsedHref(ctxt->myDoc, namespaces[2 * i + 1]));
        normalised[static_cast<size_t>(2 * i + 1)] = X(hrefs.back());
    }
    xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNamespaces, normalised.empty() ? namespaces : normalised.data(),
                          nbAttributes, nbDefaulted, attributes);
    if (st && st->spans) RecordStart(static_cast<xmlParserCtxtPtr>(ctx), st, localname);
}

void OnEndElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri)
{
    ParseState* st = t_active;
    if (st && st->depth > 0) --st->depth;
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    xmlNodePtr done = ctxt->node;
    xmlSAX2EndElementNs(ctx, localname, prefix, uri);
    if (st && st->spans) RecordEnd(ctxt, st);
    if (st && st->prune) {
        if (!st->openLines.empty()) st->openLines.pop_back();
        if (done && done->type == XML_ELEMENT_NODE) Prune(ctxt, done);
    }
}

// The internal subset is kept as written (parameter entity references rather
// than what they pulled in), so it is read back from the input between the two
// subset callbacks: from the parser's buffer while it still holds the start,
// else from the text or, for an undecoded UTF-8 file, from the file.

void OnInternalSubset(void* ctx, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId)
{
    xmlSAX2InternalSubset(ctx, name, externalId, systemId);
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState* st = t_active;
    if (st && ctxt->inputNr == 1 && ctxt->input->cur && *ctxt->input->cur == '[') st->subsetStart = InputOffset(ctxt);
    if (st && st->spans && ctx == st->ctxt && ctxt->inputNr == 1 && ctxt->input->cur) {
        // Back from the name and identifiers (which hold no "<") to "<!DOCTYPE".
        const xmlChar* open = ctxt->input->cur;
        while (open > ctxt->input->base && *open != '<') --open;
        if (*open == '<') st->spans->doctypeStart = ctxt->input->consumed + static_cast<uint64_t>(open - ctxt->input->base);
    }
}

bool ReadSubsetText(xmlParserCtxtPtr ctxt, ParseState* st, long end, std::string& out)
{
    const long start = st->subsetStart;
    if (end <= start) return false;
    const long consumed = static_cast<long>(ctxt->input->consumed);
    if (start >= consumed) {
        out.assign(reinterpret_cast<const char*>(ctxt->input->base) + (start - consumed),
                   static_cast<size_t>(end - start));
        return true;
    }
    if (st->text) {
        if (static_cast<size_t>(end) > st->text->size()) return false;
        out = st->text->substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        return true;
    }
    if (st->pulled) return false; // the pieces before the parser's buffer are gone
    if (ctxt->input->buf && ctxt->input->buf->encoder) return false; // offsets are in decoded text
    std::ifstream in(st->path, std::ios::binary);
    out.assign(static_cast<size_t>(end - start), '\0');
    in.seekg(start);
    in.read(out.data(), end - start);
    return in.gcount() == end - start;
}

void OnExternalSubset(void* ctx, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState* st = t_active;
    std::string text;
    if (st && st->subsetStart >= 0 && ctxt->inputNr == 1 && ReadSubsetText(ctxt, st, InputOffset(ctxt), text)) {
        // From "[" to past the closing ">": keep what lies between the brackets.
        const size_t close = text.rfind(']');
        if (!text.empty() && text[0] == '[' && close != std::string::npos) {
            std::string inner;
            inner.reserve(close);
            for (size_t i = 1; i < close; ++i) {
                if (text[i] == '\r') {
                    inner += '\n';
                    if (i + 1 < close && text[i + 1] == '\n') ++i;
                } else {
                    inner += text[i];
                }
            }
            st->internalSubset = std::move(inner);
            st->hasInternalSubset = true;
        }
    }
    if (st) st->subsetStart = -1;
    if (st && st->spans && ctx == st->ctxt && ctxt->inputNr == 1)
        st->spans->doctypeEnd = static_cast<uint64_t>(InputOffset(ctxt));
    xmlSAX2ExternalSubset(ctx, name, externalId, systemId);
}

uint64_t Add(uint64_t a, uint64_t b) { return a + b > kHuge ? kHuge : a + b; }

uint64_t ExpandedSize(ParseState* st, xmlDocPtr doc, const xmlEntity* ent);

uint64_t NodesSize(ParseState* st, xmlDocPtr doc, xmlNodePtr first)
{
    uint64_t size = 0;
    if (!first) return 0;
    xmlNodePtr top = first->parent;
    xmlNodePtr cur = first;
    while (cur && size < kHuge) {
        if (cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE) {
            size = Add(size, static_cast<uint64_t>(xmlStrlen(cur->content)));
        } else if (cur->type == XML_ENTITY_REF_NODE) {
            auto* sub = reinterpret_cast<xmlEntityPtr>(cur->children);
            if (!sub) sub = xmlGetDocEntity(doc, cur->name);
            size = Add(size, ExpandedSize(st, doc, sub));
        } else if (cur->children && cur->type == XML_ELEMENT_NODE) {
            cur = cur->children;
            continue;
        }
        while (!cur->next && cur->parent && cur->parent != top) cur = cur->parent;
        cur = cur->parent == top || cur->next ? cur->next : nullptr;
    }
    return size;
}

// How many characters an entity stands for once every reference in it is
// expanded; memoised, so computing it stays linear in the declarations.
uint64_t ExpandedSize(ParseState* st, xmlDocPtr doc, const xmlEntity* ent)
{
    if (!ent) return 0;
    if (ent->etype == XML_INTERNAL_PREDEFINED_ENTITY) return 1;
    auto known = st->sizes.find(ent);
    if (known != st->sizes.end()) return known->second;
    if (!st->inProgress.insert(ent).second) return kHuge; // a reference loop
    uint64_t size = 0;
    if (ent->content) {
        const xmlChar* s = ent->content;
        for (size_t i = 0; s[i] && size < kHuge;) {
            if (s[i] == '&' && s[i + 1] != '#') {
                size_t j = i + 1;
                while (s[j] && s[j] != ';') ++j;
                if (s[j] == ';') {
                    std::string name(reinterpret_cast<const char*>(s + i + 1), j - i - 1);
                    const xmlEntity* sub = xmlGetPredefinedEntity(X(name));
                    if (!sub && doc) sub = xmlGetDocEntity(doc, X(name));
                    size = Add(size, ExpandedSize(st, doc, sub));
                    i = j + 1;
                    continue;
                }
            }
            ++size;
            ++i;
        }
    } else {
        size = NodesSize(st, doc, ent->children);
    }
    st->inProgress.erase(ent);
    st->sizes[ent] = size;
    return size;
}

void Account(xmlParserCtxtPtr ctxt, ParseState* st, xmlEntityPtr ent)
{
    // References met while libxml2 expands another entity are part of that
    // entity's size, already counted.
    if (!ent || ctxt->depth > 0) return;
    st->expanded = Add(st->expanded, ExpandedSize(st, ctxt->myDoc, ent));
    const uint64_t allowed = std::max<uint64_t>(kExpansionFloor, st->inputSize * 10);
    if (st->expanded > allowed)
        Refuse(ctxt, st, XML_ERR_ENTITY_LOOP, "Entity expansion exceeds the allowed size (possible entity expansion attack).");
}

// Counts what a looked-up entity would expand to; none once the limit is hit.
xmlEntityPtr Accounted(void* ctx, xmlEntityPtr ent)
{
    ParseState* st = t_active;
    if (st && ent) {
        Account(static_cast<xmlParserCtxtPtr>(ctx), st, ent);
        if (st->limited) return nullptr;
    }
    return ent;
}

xmlEntityPtr OnGetEntity(void* ctx, const xmlChar* name) { return Accounted(ctx, xmlSAX2GetEntity(ctx, name)); }

xmlEntityPtr OnGetParameterEntity(void* ctx, const xmlChar* name)
{
    return Accounted(ctx, xmlSAX2GetParameterEntity(ctx, name));
}

// The declaration at the start of the input, decoded from its first bytes.
void SniffDeclaration(const std::string& head, LoadResult& out)
{
    std::string ascii;
    size_t i = 0;
    int step = 1, offset = 0;
    auto u = [&](size_t k) { return k < head.size() ? static_cast<unsigned char>(head[k]) : 0u; };
    if (u(0) == 0xEF && u(1) == 0xBB && u(2) == 0xBF) {
        out.form.byteOrderMark = "UTF-8";
        i = 3;
    } else if (u(0) == 0xFF && u(1) == 0xFE) {
        step = 2, i = 2, offset = 0;
        out.form = {"UTF-16", "UTF-16LE", ""};
    } else if (u(0) == 0xFE && u(1) == 0xFF) {
        step = 2, i = 2, offset = 1;
        out.form = {"UTF-16", "UTF-16BE", ""};
    } else if (u(0) == '<' && u(1) == 0 && u(2) == '?' && u(3) == 0) {
        step = 2, offset = 0;
        out.form.encoding = "UTF-16";
    } else if (u(0) == 0 && u(1) == '<' && u(2) == 0 && u(3) == '?') {
        step = 2, offset = 1;
        out.form.encoding = "UTF-16";
    }
    for (; i + static_cast<size_t>(offset) < head.size(); i += static_cast<size_t>(step)) {
        if (step == 2 && u(i + static_cast<size_t>(1 - offset)) != 0) break;
        unsigned char c = u(i + static_cast<size_t>(offset));
        if (c == 0 || c >= 0x80) break;
        ascii.push_back(static_cast<char>(c));
        if (ascii.size() >= 2 && ascii.compare(ascii.size() - 2, 2, "?>") == 0) break;
    }
    if (ascii.size() < 8 || ascii.compare(0, 5, "<?xml") != 0 || !std::strchr(" \t\r\n", ascii[5])) return;
    if (ascii.compare(ascii.size() - 2, 2, "?>") != 0) return;
    std::string data = ascii.substr(6, ascii.size() - 8);
    size_t first = data.find_first_not_of(" \t\r\n");
    size_t last = data.find_last_not_of(" \t\r\n");
    out.declaration = first == std::string::npos ? std::string() : data.substr(first, last - first + 1);
    out.hasDeclaration = true;
}

XmlParseError SimpleError(uint32_t code, const std::string& reason, const std::string& url)
{
    XmlParseError e;
    e.errorCode = code;
    e.reason = reason;
    e.url = url;
    return e;
}

// Schema validation while pulling: errors are placed on the line of the
// element they concern (its start tag), as validating a tree places them.
void OnSchemaError(void*, xmlErrorPtr err)
{
    ParseState* st = t_active;
    if (!st || !err || err->level < XML_ERR_ERROR) return;
    if (Listing(*st, true)) st->errorList->push_back(ErrorFromLibXml(err));
    if (!st->firstSchema.Failed()) st->firstSchema = ErrorFromLibXml(err);
}

int SchemaLine(void* context, const char** file, unsigned long* line)
{
    auto* st = static_cast<ParseState*>(context);
    if (file) *file = nullptr;
    if (line) *line = st->schemaLine;
    return 0;
}

void OnSchemaStart(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri, int nbNamespaces,
                   const xmlChar** namespaces, int nbAttributes, int nbDefaulted, const xmlChar** attributes)
{
    ParseState* st = t_active;
    st->schemaLine = static_cast<unsigned long>(st->ctxt->input->line);
    st->schemaStart(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes, nbDefaulted, attributes);
}

void OnSchemaEnd(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri)
{
    ParseState* st = t_active;
    if (!st->openLines.empty()) st->schemaLine = st->openLines.back();
    st->schemaEnd(ctx, localname, prefix, uri);
}

// Validity messages that libxml2 gives only as text: the final check of IDREF
// values, which names the attribute (and in reader mode the line it is on).
void OnValidityText(void*, const char* format, ...)
{
    ParseState* st = t_active;
    if (!st || (st->firstValidity.Failed() && !Listing(*st, false))) return;
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    XmlParseError e;
    e.errorCode = kParseErrorBase | XML_DTD_UNKNOWN_ID;
    e.reason = Trimmed(buf);
    if (const char* at = std::strstr(buf, " line ")) e.line = std::atol(at + 6);
    if (Listing(*st, false)) st->errorList->push_back(e);
    if (!st->firstValidity.Failed()) st->firstValidity = std::move(e);
}

// Notes xml-model instructions of the prolog, then builds the node as usual.
void OnProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data)
{
    ParseState* st = t_active;
    if (st && !st->seenRoot && target && xmlStrEqual(target, BAD_CAST "xml-model"))
        st->xmlModels.push_back(ToStr(data));
    if (st && st->piHandler) st->piHandler(ctx, target, data);
}

// The first bytes of the source's text, for the declaration; rewinds it.
std::string HeadOf(XmlTextSource& source, size_t size)
{
    source.Rewind();
    std::string head;
    for (std::string_view piece = source.Next(); !piece.empty() && head.size() < size; piece = source.Next())
        head.append(piece.substr(0, size - head.size()));
    source.Rewind();
    return head;
}

// Feeds the source's pieces to a push parser, until the end or an error.
void ParsePulled(xmlParserCtxtPtr ctxt, ParseState& st, XmlTextSource& source)
{
    constexpr size_t kMaxPiece = 1u << 30;
    source.Rewind();
    for (std::string_view piece = source.Next(); !piece.empty(); piece = source.Next()) {
        while (!piece.empty()) {
            const size_t n = std::min(piece.size(), kMaxPiece);
            xmlParseChunk(ctxt, piece.data(), static_cast<int>(n), 0);
            piece.remove_prefix(n);
            if (!ctxt->wellFormed || st.limited || ctxt->disableSAX) return;
        }
    }
    if (source.Cancelled()) {
        xmlStopParser(ctxt);
        return;
    }
    xmlParseChunk(ctxt, nullptr, 0, 1);
}

} // namespace

XmlParseError ErrorFromLibXml(const xmlError* err)
{
    XmlParseError e;
    if (!err) return e;
    e.errorCode = kParseErrorBase | (static_cast<uint32_t>(err->code) & 0xFFFFu);
    if (e.errorCode == kParseErrorBase) e.errorCode |= 1;
    e.line = err->line;
    e.linepos = err->int2;
    e.reason = Trimmed(err->message);
    e.url = err->file ? err->file : "";
    return e;
}

uint64_t ParsesRun() { return t_parsesRun; }

const void* ActiveParse() { return t_active; }
bool ActiveParseAllowsExternals() { return !t_active || t_active->allowExternal; }

void NoteRefusedResource()
{
    if (t_active) t_active->refusedExternal = true;
}

LoadResult LoadXml(const LoadRequest& req)
{
    EnsureLibXml();
    LoadResult out;
    ParseState st;
    st.allowExternal = req.resolveExternals;

    // An empty source is parsed as empty text is, with the same message.
    const std::string noText;
    const std::string* text = req.text;
    std::string head;
    if (req.source) {
        head = HeadOf(*req.source, 1024);
        if (req.source->Cancelled()) {
            out.cancelled = true;
            out.error = SimpleError(kParseErrorBase | XML_ERR_USER_STOP, "Cancelled.", req.path);
            return out;
        }
        if (head.empty()) text = &noText;
    }
    XmlTextSource* source = text ? nullptr : req.source;

    if (text) {
        if (text->size() > static_cast<size_t>(INT_MAX)) {
            out.error = SimpleError(kDomOutOfMemory, "The text is too large to parse.", req.path);
            return out;
        }
        st.inputSize = text->size();
        head = text->substr(0, 1024);
    } else if (source) {
        st.inputSize = source->Size();
    } else {
        struct stat info {};
        if (::stat(req.path.c_str(), &info) != 0) {
            out.error = SimpleError(errno == ENOENT || errno == ENOTDIR ? kDomFileNotFound : kDomAccessDenied,
                                    "The file \"" + req.path + "\" cannot be opened: " + std::strerror(errno) + ".",
                                    req.path);
            return out;
        }
        if (S_ISDIR(info.st_mode)) {
            out.error = SimpleError(kDomAccessDenied, "\"" + req.path + "\" is a folder, not a file.", req.path);
            return out;
        }
        st.inputSize = static_cast<uint64_t>(info.st_size);
        std::ifstream in(req.path, std::ios::binary);
        head.assign(1024, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<size_t>(in.gcount()));
    }
    SniffDeclaration(head, out);
    // A file whose spans are noted and that is not UTF-8 is decoded first and
    // parsed as that text, so its offsets are in a text a later save can
    // decode again the same way (libxml2 counts the bytes before it switches
    // encodings apart from those after).
    std::string decoded;
    std::string decodedFrom;
    size_t skip = 0;
    if (req.recordSpans && !text && !source) {
        const std::string encoding = SpanTextEncoding(head, out.form.byteOrderMark, out.declaration, skip);
        std::string bytes;
        std::ifstream in(req.path, std::ios::binary);
        if (!encoding.empty() && in && st.inputSize < static_cast<uint64_t>(INT_MAX / 4)) {
            bytes.resize(static_cast<size_t>(st.inputSize));
            in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (in.gcount() == static_cast<std::streamsize>(bytes.size()) &&
                DecodeText(std::string_view(bytes).substr(std::min(skip, bytes.size())), encoding, decoded)) {
                text = &decoded;
                decodedFrom = encoding;
            }
        }
    }
    if ((text || source) && decodedFrom.empty()) {
        out.form.encoding.clear(); // the text is UTF-8 whatever its first bytes say
        if (out.form.byteOrderMark != "UTF-8") out.form.byteOrderMark.clear();
    }

    const char* url = req.path.empty() ? nullptr : req.path.c_str();
    xmlParserCtxtPtr ctxt = source ? xmlCreatePushParserCtxt(nullptr, nullptr, nullptr, 0, url) : xmlNewParserCtxt();
    if (!ctxt) {
        out.error = SimpleError(kDomOutOfMemory, "Out of memory.", req.path);
        return out;
    }
    ctxt->sax->startElementNs = OnStartElement;
    ctxt->sax->endElementNs = OnEndElement;
    ctxt->sax->getEntity = OnGetEntity;
    ctxt->sax->getParameterEntity = OnGetParameterEntity;
    ctxt->sax->internalSubset = OnInternalSubset;
    ctxt->sax->externalSubset = OnExternalSubset;
    ctxt->sax->serror = OnError;
    st.piHandler = ctxt->sax->processingInstruction;
    ctxt->sax->processingInstruction = OnProcessingInstruction;
    st.errorList = req.errorList;
    st.listSchema = req.schema != nullptr;
    ctxt->_private = &st;
    st.text = text;
    st.pulled = source != nullptr;
    st.path = req.path;
    // Without a tree to keep, the parse keeps only what validation needs.
    const bool treeless = source && !req.keepTree;
    st.prune = treeless;
    st.ctxt = ctxt;
    if (req.recordSpans && !treeless && req.preserveWhiteSpace) {
        st.spans = std::make_unique<SourceSpans>();
        // About one element in every 50 bytes of input: grown less often.
        st.spans->spans.reserve(static_cast<size_t>(std::min<uint64_t>(st.inputSize / 50, 1u << 26)));
    }
    ActiveScope scope(&st);

    // Short text (up to 15 bytes: attribute values, indentation) is kept inside
    // its node rather than in an allocation of its own.
    int options = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;
    // A treeless parse keeps nothing to validate afterwards: an internal subset
    // is checked while parsing (external files are refused by the loader).
    const bool dtdValidate = req.validate && (req.resolveExternals || treeless);
    if (req.resolveExternals) options |= XML_PARSE_DTDLOAD;
    if (dtdValidate) options |= XML_PARSE_DTDVALID;
    if (!req.preserveWhiteSpace) options |= XML_PARSE_NOBLANKS;

    xmlDocPtr doc;
    if (!treeless) ++t_parsesRun;
    // The final check of IDREF values words its message only as text.
    ctxt->vctxt.error = OnValidityText;
    xmlSchemaValidCtxtPtr schemaCtxt = nullptr;
    xmlSchemaSAXPlugPtr plug = nullptr;
    if (source) {
        xmlCtxtUseOptions(ctxt, options | XML_PARSE_IGNORE_ENC);
        // Reader mode: IDs and references are kept by name, not by node.
        if (treeless) ctxt->parseMode = XML_PARSE_READER;
        if (treeless && req.schema && (schemaCtxt = xmlSchemaNewValidCtxt(req.schema))) {
            xmlSchemaSetValidStructuredErrors(schemaCtxt, OnSchemaError, nullptr);
            xmlSchemaValidateSetLocator(schemaCtxt, SchemaLine, &st);
            plug = xmlSchemaSAXPlug(schemaCtxt, &ctxt->sax, &ctxt->userData);
            if (plug) {
                st.schemaStart = ctxt->sax->startElementNs;
                st.schemaEnd = ctxt->sax->endElementNs;
                ctxt->sax->startElementNs = OnSchemaStart;
                ctxt->sax->endElementNs = OnSchemaEnd;
            }
        }
        ParsePulled(ctxt, st, *source);
        doc = ctxt->myDoc;
        ctxt->myDoc = nullptr;
        if (source->Cancelled()) {
            out.cancelled = true;
            if (doc) xmlFreeDoc(doc);
            doc = nullptr;
        }
    } else if (text) {
        options |= XML_PARSE_IGNORE_ENC;
        doc = xmlCtxtReadMemory(ctxt, text->data(), static_cast<int>(text->size()),
                                req.path.empty() ? nullptr : req.path.c_str(), nullptr, options);
    } else {
        doc = xmlCtxtReadFile(ctxt, req.path.c_str(), nullptr, options);
    }

    const bool wellFormed = ctxt->wellFormed && !st.limited;
    const bool nsWellFormed = ctxt->nsWellFormed || st.namespaceErrors == 0;
    // Without DTD validation libxml2's validity flag also reflects entities it
    // could not read, which only matters when validating.
    bool valid = dtdValidate ? ctxt->valid != 0 : true;
    // Nothing to validate against: no DTD, or one that was not read.
    if (doc && ((!doc->intSubset && !doc->extSubset) || st.refusedExternal)) valid = true;
    if (doc && wellFormed && req.validate && !dtdValidate && doc->intSubset && !doc->intSubset->SystemID &&
        !doc->intSubset->ExternalID) {
        // External files are off: an internal subset is still checked.
        xmlValidCtxtPtr vctxt = xmlNewValidCtxt();
        if (vctxt) {
            vctxt->userData = nullptr;
            vctxt->error = nullptr;
            vctxt->warning = nullptr;
            void* prevContext = xmlStructuredErrorContext;
            xmlStructuredErrorFunc prevHandler = xmlStructuredError;
            xmlSetStructuredErrorFunc(nullptr, OnError);
            valid = xmlValidateDocument(vctxt, doc) == 1;
            xmlSetStructuredErrorFunc(prevContext, prevHandler);
            xmlFreeValidCtxt(vctxt);
        }
    }
    out.wellFormed = doc && wellFormed && nsWellFormed;
    // A schema is the last word, as when a built tree is validated after parsing.
    const bool schemaFailed = out.wellFormed && (!req.validate || valid) && st.firstSchema.Failed();
    const bool ok = out.wellFormed && (!req.validate || valid) && !schemaFailed;
    out.ok = ok;
    out.inputSize = st.inputSize;
    if (!ok) {
        if (schemaFailed) out.error = st.firstSchema;
        else if (st.limited) out.error = st.limitError;
        else if (!wellFormed && st.firstFatal.Failed()) out.error = st.firstFatal;
        else if (!nsWellFormed && st.firstNamespace.Failed()) out.error = st.firstNamespace;
        else if (st.firstValidity.Failed()) out.error = st.firstValidity;
        else if (st.firstFatal.Failed()) out.error = st.firstFatal;
        else out.error = ErrorFromLibXml(&ctxt->lastError);
        if (!out.error.Failed())
            out.error = SimpleError(kParseErrorBase | XML_ERR_DOCUMENT_EMPTY, "The document could not be parsed.",
                                    req.path);
        if (out.cancelled) out.error = SimpleError(kParseErrorBase | XML_ERR_USER_STOP, "Cancelled.", req.path);
        if (out.error.url.empty()) out.error.url = req.path;
        // Only validity failed: the caller may keep the tree.
        out.notValid = doc && wellFormed && nsWellFormed && req.keepInvalid;
        if (doc && !out.notValid) {
            xmlFreeDoc(doc);
            doc = nullptr;
        }
    }
    if (plug) xmlSchemaSAXUnplug(plug);
    if (schemaCtxt) xmlSchemaFreeValidCtxt(schemaCtxt);
    ctxt->_private = nullptr;
    xmlFreeParserCtxt(ctxt);
    if (treeless) {
        out.noNamespaceSchema = std::move(st.noNamespaceSchema);
        out.schemaLocations = std::move(st.schemaLocations);
        out.xmlModels = std::move(st.xmlModels);
        if (doc) xmlFreeDoc(doc);
        return out;
    }
    out.doc = doc;
    if (doc && st.spans && st.openSpans.empty()) {
        st.spans->textSize = decodedFrom.empty() ? st.inputSize : decoded.size();
        st.spans->decodedFrom = decodedFrom;
        st.spans->decodedSkip = decodedFrom.empty() ? 0 : skip;
        out.spans = std::move(st.spans);
    }
    if (doc && doc->intSubset) {
        out.hasInternalSubset = st.hasInternalSubset;
        out.internalSubset = std::move(st.internalSubset);
    }
    return out;
}

LoadResult LoadTextTree(XmlTextSource& source, const std::string& baseUrl, bool resolveExternals)
{
    LoadRequest request;
    request.path = baseUrl;
    request.validate = false;
    request.resolveExternals = resolveExternals;
    request.source = &source;
    request.keepTree = true;
    return LoadXml(request);
}

} // namespace brindle::detail
