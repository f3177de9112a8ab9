// Spliced saves: the text of the last load, with only what changed rewritten.

#include "platform/io/HeldFile.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/SpliceText.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlEscape.h"

#include "platform/io/AtomicFileWriter.h"
#include "platform/xml/DomError.h"
#include "platform/xml/XmlLoad.h"

#include <libxml/encoding.h>
#include <libxml/entities.h>

#include <cerrno>

#include <algorithm>

namespace brindle {

using namespace detail;

namespace {

bool IsBlank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// Why a splice stopped; thrown inside the splicer only.
struct SpliceStop {
    std::string reason;
};

// Writes the document: copied stretches of the original text, and new text for
// what changed.
class Splicer {
public:
    Splicer(const SourceSpans& spans, std::string_view text, xmlDocPtr doc,
            const std::function<void(std::string_view)>& write, const std::string& lineBreak)
        : m_spans(spans), m_text(text), m_doc(doc), m_write(write), m_lineBreak(lineBreak)
    {
    }

    void Document();

private:
    struct Layout {
        bool indented = false;   // children stand on lines of their own
        std::string childIndent; // line break and indentation before a child
        std::string closeIndent; // before the end tag, for content that had none
    };
    enum class Op { Keep, Drop, Add };
    struct Step {
        Op op;
        size_t token; // for Keep and Drop
        xmlNodePtr node; // for Keep and Add
    };

    [[noreturn]] void Stop(const std::string& reason) { throw SpliceStop{reason}; }
    void Copy(uint64_t from, uint64_t to)
    {
        if (to > from) m_write(m_text.substr(from, to - from));
    }
    void New(std::string_view generated);

    const ElementSpan* SpanOf(xmlNodePtr node) const { return m_spans.Find(node); }
    void Element(xmlNodePtr node, const ElementSpan& span, char quote);
    void WriteStartTag(xmlNodePtr node, const StartTag& tag, uint64_t tagEnd, bool opens, char quote);
    void WriteContent(xmlNodePtr parent, uint64_t from, uint64_t to, const Layout& layout, char quote, bool documentLevel);
    void Unchanged(xmlNodePtr parent, uint64_t from, uint64_t to, char quote);
    std::vector<Step> Align(const std::vector<ContentToken>& tokens, const std::vector<xmlNodePtr>& nodes,
                            uint64_t from, uint64_t to);
    bool Same(const ContentToken& token, xmlNodePtr node, uint64_t from, uint64_t to);
    Layout LayoutOf(const std::vector<ContentToken>& tokens, uint64_t elementStart) const;
    std::string LineIndent(uint64_t at) const;
    void Serialise(xmlNodePtr node, char quote, std::string& out) const;
    void Declarations(xmlNodePtr element, char quote, std::string& out) const;

    const SourceSpans& m_spans;
    std::string_view m_text;
    xmlDocPtr m_doc;
    const std::function<void(std::string_view)>& m_write;
    std::string m_lineBreak;
};

void Splicer::New(std::string_view generated)
{
    if (generated.empty()) return;
    if (m_lineBreak == "\n") {
        m_write(generated);
        return;
    }
    std::string out;
    out.reserve(generated.size() + 16);
    for (char c : generated) {
        if (c == '\n') out += m_lineBreak;
        else out += c;
    }
    m_write(out);
}

std::string Splicer::LineIndent(uint64_t at) const
{
    uint64_t begin = at;
    while (begin > 0 && (m_text[begin - 1] == ' ' || m_text[begin - 1] == '\t')) --begin;
    if (begin == 0 || (m_text[begin - 1] != '\n' && m_text[begin - 1] != '\r')) return {};
    --begin;
    if (m_text[begin] == '\n' && begin > 0 && m_text[begin - 1] == '\r') --begin;
    return std::string(m_text.substr(begin, at - begin));
}

// The line break and indentation that end a stretch of white space.
std::string_view LastLine(std::string_view blank)
{
    size_t at = blank.find_last_of("\r\n");
    if (at == std::string_view::npos) return {};
    if (blank[at] == '\n' && at > 0 && blank[at - 1] == '\r') --at;
    return blank.substr(at);
}

Splicer::Layout Splicer::LayoutOf(const std::vector<ContentToken>& tokens, uint64_t elementStart) const
{
    Layout layout;
    bool anyElement = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const ContentToken& t = tokens[i];
        if (t.kind == ContentToken::Element) anyElement = true;
        if (t.kind != ContentToken::Text) continue;
        const std::string_view raw = m_text.substr(t.start, t.end - t.start);
        if (!IsBlank(raw)) return {}; // mixed content: no layout to follow
        const std::string_view line = LastLine(raw);
        if (line.empty()) continue;
        layout.indented = true;
        if (layout.childIndent.empty() && i + 1 < tokens.size()) layout.childIndent = line;
    }
    if (!tokens.empty() && (layout.indented || anyElement)) return layout;
    // Empty content, or text alone: a first child goes one step in from the
    // element's own indentation, when the element begins a line.
    const std::string own = LineIndent(elementStart);
    if (own.empty() || anyElement) return {};
    layout.indented = true;
    layout.childIndent = own + (own.find('\t') != std::string::npos ? "\t" : "  ");
    layout.closeIndent = own;
    return layout;
}

void Splicer::Document()
{
    for (xmlNodePtr n = m_doc->children; n; n = n->next)
        if (n->type == XML_DTD_NODE && !m_spans.doctypeEnd) Stop("the DOCTYPE was edited");
    // A byte-order mark is not text: the file's writer puts it back.
    const uint64_t from = m_text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    if (!m_spans.documentChanged) {
        Unchanged(reinterpret_cast<xmlNodePtr>(m_doc), from, m_text.size(), '"');
        return;
    }
    WriteContent(reinterpret_cast<xmlNodePtr>(m_doc), from, m_text.size(), Layout{}, '"', true);
}

// The content of a parent whose children are the ones it was read with: copied,
// but for the children that changed inside.
void Splicer::Unchanged(xmlNodePtr parent, uint64_t from, uint64_t to, char quote)
{
    uint64_t pos = from;
    for (xmlNodePtr c = parent->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        const ElementSpan* span = SpanOf(c);
        if (!span || !(span->marks & (kAttributesChanged | kContentChanged | kInsideChanged))) continue;
        if (span->start < pos || span->end > to) Stop("the text does not match the tree");
        Copy(pos, span->start);
        Element(c, *span, quote);
        pos = span->end;
    }
    Copy(pos, to);
}

void Splicer::Element(xmlNodePtr node, const ElementSpan& span, char quote)
{
    const std::string name = QName(node);
    if (span.end > m_text.size() || m_text[span.start] != '<' || m_text[span.end - 1] != '>')
        Stop("the text does not match the tree");
    if (!(span.marks & (kAttributesChanged | kContentChanged | kInsideChanged))) {
        // Untouched: its own text, after a check that it is the element's.
        const std::string_view written = m_text.substr(span.start + 1, name.size() + 1);
        if (written.substr(0, name.size()) != name || std::string_view(" \t\r\n/>").find(written.back()) == std::string_view::npos)
            Stop("the text does not match the tree");
        Copy(span.start, span.end);
        return;
    }
    StartTag tag;
    if (!ParseStartTag(m_text, span.start, span.tagLength, tag)) Stop("the text does not match the tree");
    if (!tag.attributes.empty()) quote = tag.attributes.front().quote;
    const uint64_t contentFrom = span.start + span.tagLength;
    uint64_t contentTo = contentFrom;
    if (!tag.empty) {
        contentTo = span.end - 1;
        while (contentTo > contentFrom && m_text[contentTo] != '<') --contentTo;
        if (m_text.substr(contentTo, 2) != "</") Stop("the text does not match the tree");
    }
    const bool hasChildren = node->children != nullptr;
    const bool opens = !tag.empty || hasChildren;
    if (span.marks & kAttributesChanged) {
        WriteStartTag(node, tag, contentFrom, opens, quote);
    } else if (tag.empty && hasChildren) {
        Copy(span.start, tag.closeStart);
        New(">");
    } else {
        Copy(span.start, contentFrom);
    }
    if (!opens) return;
    if (span.marks & kContentChanged) {
        std::vector<ContentToken> tokens;
        if (!TokenizeContent(m_text, contentFrom, contentTo, m_spans, tokens)) Stop("the text does not match the tree");
        WriteContent(node, contentFrom, contentTo, LayoutOf(tokens, span.start), quote, false);
    } else {
        Unchanged(node, contentFrom, contentTo, quote);
    }
    if (tag.empty || tag.name != name) New("</" + name + ">");
    else Copy(contentTo, span.end);
}

void Splicer::Declarations(xmlNodePtr element, char quote, std::string& out) const
{
    // Namespaces its name and attributes use that no declaration in scope binds.
    std::vector<xmlNsPtr> declared;
    const auto need = [&](xmlNsPtr ns) {
        if (!ns || (ns->prefix && xmlStrEqual(ns->prefix, BAD_CAST "xml"))) return;
        for (xmlNsPtr d : declared)
            if (xmlStrEqual(d->prefix, ns->prefix)) return;
        xmlNsPtr found = xmlSearchNs(m_doc, element, ns->prefix);
        if (found && xmlStrEqual(found->href, ns->href)) {
            // In scope, unless only as a document-level leftover of a move.
            bool declaredAbove = false;
            for (xmlNodePtr p = element; p && p->type == XML_ELEMENT_NODE && !declaredAbove; p = p->parent)
                for (xmlNsPtr d = p->nsDef; d; d = d->next)
                    if (d == found) declaredAbove = true;
            if (declaredAbove) return;
        }
        declared.push_back(ns);
        out += ns->prefix ? " xmlns:" + ToStr(ns->prefix) : std::string(" xmlns");
        out += '=';
        out += quote;
        AppendXmlEscaped(out, UriFromHref(ns->href), quote == '"' ? "&<\"\t\n\r" : "&<'\t\n\r");
        out += quote;
    };
    need(element->ns);
    for (xmlAttrPtr a = element->properties; a; a = a->next) need(a->ns);
}

void Splicer::WriteStartTag(xmlNodePtr node, const detail::StartTag& tag, uint64_t tagEnd, bool opens, char quote)
{
    const std::string_view specials = quote == '"' ? "&<\"\t\n\r" : "&<'\t\n\r";
    // The attributes and declarations the element has now, by name.
    std::vector<std::pair<std::string, std::string>> now;
    for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next)
        now.emplace_back(ns->prefix ? "xmlns:" + ToStr(ns->prefix) : "xmlns", UriFromHref(ns->href));
    for (xmlAttrPtr a = node->properties; a; a = a->next)
        now.emplace_back(QName(reinterpret_cast<xmlNodePtr>(a)), Content(reinterpret_cast<xmlNodePtr>(a)));
    std::vector<bool> written(now.size(), false);
    const EntityText entities = [this](const std::string& name) -> const char* {
        xmlEntityPtr e = xmlGetDocEntity(m_doc, X(name));
        return e && e->content ? reinterpret_cast<const char*>(e->content) : nullptr;
    };

    std::string out = "<" + QName(node);
    std::string separator = " ";
    for (const TagAttribute& a : tag.attributes) {
        const std::string_view lead = m_text.substr(a.start, a.nameStart - a.start);
        if (lead.find_first_of("\r\n") != std::string_view::npos) separator = std::string(lead);
        size_t i = 0;
        while (i < now.size() && (written[i] || now[i].first != a.name)) ++i;
        std::string old;
        const bool known = AttributeValue(m_text.substr(a.valueStart, a.end - 1 - a.valueStart), entities, old);
        if (i == now.size()) {
            // A declaration may go only where an outer one binds the same.
            if (a.name.substr(0, 5) == "xmlns") {
                const std::string prefix(a.name.size() > 6 ? a.name.substr(6) : std::string_view());
                xmlNsPtr outer = xmlSearchNs(m_doc, node, prefix.empty() ? nullptr : X(prefix));
                if (!known || !outer || UriFromHref(outer->href) != old) Stop("a namespace declaration was removed");
            }
            continue; // removed, with the white space before it
        }
        written[i] = true;
        if (known && old == now[i].second) {
            out += m_text.substr(a.start, a.end - a.start);
            continue;
        }
        if (a.name.substr(0, 5) == "xmlns") Stop("a namespace declaration was changed");
        out += m_text.substr(a.start, a.valueStart - a.start);
        AppendXmlEscaped(out, now[i].second, a.quote == '"' ? "&<\"\t\n\r" : "&<'\t\n\r");
        out += a.quote;
    }
    for (size_t i = 0; i < now.size(); ++i) {
        if (written[i]) continue;
        out += separator + now[i].first + "=" + quote;
        AppendXmlEscaped(out, now[i].second, specials);
        out += quote;
    }
    // The namespaces a renamed element or attribute needs that nothing declares.
    Declarations(node, quote, out);
    // What closed the tag, but "/>" becomes ">" for an element that has content now.
    std::string closing(m_text.substr(tag.closeStart, tagEnd - tag.closeStart));
    if (tag.empty && opens) closing = closing.substr(0, closing.size() - 2) + ">";
    // Both pieces keep the line breaks they were copied with.
    m_write(out);
    m_write(closing);
}

bool Splicer::Same(const ContentToken& token, xmlNodePtr node, uint64_t from, uint64_t to)
{
    std::string value;
    switch (token.kind) {
    case ContentToken::Element: return node->type == XML_ELEMENT_NODE && SpanOf(node) == token.element;
    case ContentToken::Doctype: return node->type == XML_DTD_NODE;
    case ContentToken::Text:
        return node->type == XML_TEXT_NODE && TokenValue(m_text, token, value) && value == ToStr(node->content);
    case ContentToken::CData:
        return node->type == XML_CDATA_SECTION_NODE && TokenValue(m_text, token, value) &&
               value == ToStr(node->content);
    case ContentToken::Comment:
        return node->type == XML_COMMENT_NODE && TokenValue(m_text, token, value) && value == ToStr(node->content);
    case ContentToken::Pi:
        return node->type == XML_PI_NODE && PiTarget(m_text, token) == ToStr(node->name) &&
               TokenValue(m_text, token, value) && value == ToStr(node->content);
    case ContentToken::EntityRef:
        return node->type == XML_ENTITY_REF_NODE && TokenValue(m_text, token, value) && value == ToStr(node->name);
    }
    (void)from;
    (void)to;
    return false;
}

// An edit script from the tokens as written to the nodes now: the longest
// common subsequence, after the common start and end are taken off (an edit
// usually touches one place of a long list).
std::vector<Splicer::Step> Splicer::Align(const std::vector<ContentToken>& tokens, const std::vector<xmlNodePtr>& nodes,
                                          uint64_t from, uint64_t to)
{
    const size_t n = tokens.size(), m = nodes.size();
    size_t head = 0;
    while (head < n && head < m && Same(tokens[head], nodes[head], from, to)) ++head;
    size_t tail = 0;
    while (tail < n - head && tail < m - head && Same(tokens[n - 1 - tail], nodes[m - 1 - tail], from, to)) ++tail;
    std::vector<Step> steps;
    for (size_t i = 0; i < head; ++i) steps.push_back({Op::Keep, i, nodes[i]});
    const size_t a = n - head - tail, b = m - head - tail;
    if (a * b <= 4u << 20) {
        // lengths[i][j]: common subsequence of tokens from head+i and nodes from head+j.
        std::vector<uint32_t> lengths((a + 1) * (b + 1), 0);
        const auto at = [&](size_t i, size_t j) -> uint32_t& { return lengths[i * (b + 1) + j]; };
        for (size_t i = a; i-- > 0;)
            for (size_t j = b; j-- > 0;)
                at(i, j) = Same(tokens[head + i], nodes[head + j], from, to) ? at(i + 1, j + 1) + 1
                                                                             : std::max(at(i + 1, j), at(i, j + 1));
        size_t i = 0, j = 0;
        while (i < a || j < b) {
            if (i < a && j < b && Same(tokens[head + i], nodes[head + j], from, to) && at(i, j) == at(i + 1, j + 1) + 1) {
                steps.push_back({Op::Keep, head + i++, nodes[head + j++]});
            } else if (i < a && (j == b || at(i + 1, j) >= at(i, j + 1))) {
                steps.push_back({Op::Drop, head + i++, nullptr});
            } else {
                steps.push_back({Op::Add, 0, nodes[head + j++]});
            }
        }
    } else {
        for (size_t i = 0; i < a; ++i) steps.push_back({Op::Drop, head + i, nullptr});
        for (size_t j = 0; j < b; ++j) steps.push_back({Op::Add, 0, nodes[head + j]});
    }
    for (size_t i = 0; i < tail; ++i) steps.push_back({Op::Keep, n - tail + i, nodes[m - tail + i]});
    return steps;
}

void Splicer::WriteContent(xmlNodePtr parent, uint64_t from, uint64_t to, const Layout& layout, char quote,
                      bool documentLevel)
{
    std::vector<ContentToken> all;
    if (!TokenizeContent(m_text, from, to, m_spans, all)) Stop("the text does not match the tree");
    // At the document level white space is not a node: it stays where it is.
    std::vector<ContentToken> tokens;
    std::vector<size_t> original; // index in all of each token
    for (size_t i = 0; i < all.size(); ++i) {
        if (documentLevel && all[i].kind == ContentToken::Text &&
            IsBlank(m_text.substr(all[i].start, all[i].end - all[i].start)))
            continue;
        tokens.push_back(all[i]);
        original.push_back(i);
    }
    std::vector<xmlNodePtr> nodes;
    for (xmlNodePtr c = parent->children; c; c = c->next) {
        if (c->type == XML_ENTITY_DECL || c->type == XML_ELEMENT_DECL || c->type == XML_ATTRIBUTE_DECL) continue;
        nodes.push_back(c);
    }
    const std::vector<Step> steps = Align(tokens, nodes, from, to);

    size_t nextAll = 0; // document level: the next token of all not yet written
    const auto writeBlankUpTo = [&](size_t token) {
        if (!documentLevel) return;
        for (; nextAll < original[token]; ++nextAll) Copy(all[nextAll].start, all[nextAll].end);
        nextAll = original[token] + 1;
    };
    // White space kept but not yet written: an added child goes before it, and
    // a removed one takes its line's indentation with it.
    std::string_view pending;
    const auto flush = [&] {
        if (!pending.empty()) m_write(pending);
        pending = {};
    };
    bool addedWithLayout = false;
    for (const Step& step : steps) {
        if (step.op == Op::Keep) {
            writeBlankUpTo(step.token);
            const ContentToken& t = tokens[step.token];
            if (t.kind == ContentToken::Text && layout.indented && IsBlank(m_text.substr(t.start, t.end - t.start))) {
                flush();
                pending = m_text.substr(t.start, t.end - t.start);
                continue;
            }
            flush();
            if (t.kind == ContentToken::Element) Element(step.node, *t.element, quote);
            else Copy(t.start, t.end);
        } else if (step.op == Op::Drop) {
            writeBlankUpTo(step.token);
            const ContentToken& t = tokens[step.token];
            if (t.kind == ContentToken::Doctype) Stop("the DOCTYPE was edited");
            if (t.kind == ContentToken::Pi && documentLevel && PiTarget(m_text, t) == "xml") {
                std::string before;
                TokenValue(m_text, t, before);
                xmlNodePtr now = DeclarationOf(m_doc);
                const std::string after = now ? ToStr(now->content) : std::string();
                if (xmlStrcasecmp(X(DeclarationPseudoAttribute(before, "encoding")),
                                  X(DeclarationPseudoAttribute(after, "encoding"))) != 0)
                    Stop("the encoding changed");
            }
            if (layout.indented && !pending.empty() && t.kind != ContentToken::Text) {
                const size_t lastBreak = pending.find_last_of("\r\n");
                if (lastBreak != std::string_view::npos) pending = pending.substr(0, lastBreak);
                if (!pending.empty() && pending.back() == '\r') pending.remove_suffix(1);
            }
        } else {
            xmlNodePtr node = step.node;
            if (node->type == XML_DTD_NODE) Stop("the DOCTYPE was edited");
            if (documentLevel && node->type == XML_PI_NODE && xmlStrEqual(node->name, BAD_CAST "xml") &&
                !DeclarationPseudoAttribute(ToStr(node->content), "encoding").empty() && !m_spans.decodedFrom.empty())
                Stop("the encoding changed");
            const ElementSpan* own = node->type == XML_ELEMENT_NODE ? SpanOf(node) : nullptr;
            std::string text;
            // A child moved within its parent keeps its own text; any other is written anew.
            const bool moved = own && own->start >= from && own->end <= to;
            if (!moved) Serialise(node, quote, text);
            const bool laidOut = layout.indented && node->type != XML_TEXT_NODE && !layout.childIndent.empty();
            if (!laidOut) flush();
            if (laidOut) m_write(layout.childIndent);
            else if (documentLevel) New("\n");
            if (moved) Element(node, *own, quote);
            else New(text);
            addedWithLayout = addedWithLayout || laidOut;
        }
    }
    flush();
    if (documentLevel)
        for (; nextAll < all.size(); ++nextAll) Copy(all[nextAll].start, all[nextAll].end);
    if (addedWithLayout && !layout.closeIndent.empty() && tokens.empty()) m_write(layout.closeIndent);
}

void Splicer::Serialise(xmlNodePtr node, char quote, std::string& out) const
{
    const std::string_view attrSpecials = quote == '"' ? "&<\"\t\n\r" : "&<'\t\n\r";
    switch (node->type) {
    case XML_ELEMENT_NODE: {
        out += "<" + QName(node);
        for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next) {
            out += ns->prefix ? " xmlns:" + ToStr(ns->prefix) : std::string(" xmlns");
            out += '=';
            out += quote;
            AppendXmlEscaped(out, UriFromHref(ns->href), attrSpecials);
            out += quote;
        }
        for (xmlAttrPtr a = node->properties; a; a = a->next) {
            out += " " + QName(reinterpret_cast<xmlNodePtr>(a)) + "=" + quote;
            AppendXmlEscaped(out, Content(reinterpret_cast<xmlNodePtr>(a)), attrSpecials);
            out += quote;
        }
        Declarations(node, quote, out);
        if (!node->children) {
            out += "/>";
            return;
        }
        out += '>';
        for (xmlNodePtr c = node->children; c; c = c->next) Serialise(c, quote, out);
        out += "</" + QName(node) + ">";
        return;
    }
    case XML_TEXT_NODE: AppendXmlEscaped(out, ToStr(node->content), "&<>\r"); return;
    case XML_CDATA_SECTION_NODE: {
        std::string data = ToStr(node->content);
        for (size_t at = 0; (at = data.find("]]>", at)) != std::string::npos; at += 15)
            data.replace(at, 3, "]]]]><![CDATA[>");
        out += "<![CDATA[" + data + "]]>";
        return;
    }
    case XML_COMMENT_NODE: out += "<!--" + ToStr(node->content) + "-->"; return;
    case XML_PI_NODE: {
        const std::string data = ToStr(node->content);
        out += "<?" + ToStr(node->name) + (data.empty() ? "" : " " + data) + "?>";
        return;
    }
    case XML_ENTITY_REF_NODE: out += "&" + ToStr(node->name) + ";"; return;
    default: throw SpliceStop{"a node of a kind that cannot be written in place was added"};
    }
}

// --- the check of a spliced text against the tree

// A parent's children as they count for equality: runs of text merged, white
// space alone left out (layout the splice may have added or taken away), the
// XML declaration and the DTD left out.
std::vector<std::pair<xmlNodePtr, std::string>> Significant(xmlNodePtr parent)
{
    std::vector<std::pair<xmlNodePtr, std::string>> out;
    std::string text;
    xmlNodePtr textNode = nullptr;
    const auto endText = [&] {
        if (textNode && !IsBlank(text)) out.emplace_back(textNode, text);
        textNode = nullptr;
        text.clear();
    };
    for (xmlNodePtr c = parent->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE) {
            if (!textNode) textNode = c;
            text += ToStr(c->content);
            continue;
        }
        endText();
        if (c->type == XML_DTD_NODE || c->type == XML_ENTITY_DECL || c->type == XML_ELEMENT_DECL ||
            c->type == XML_ATTRIBUTE_DECL || (c->type == XML_PI_NODE && parent->type == XML_DOCUMENT_NODE &&
                                              xmlStrEqual(c->name, BAD_CAST "xml")))
            continue;
        out.emplace_back(c, std::string());
    }
    endText();
    return out;
}

std::string NamespaceOf(const xmlNode* n) { return n->ns ? UriFromHref(n->ns->href) : std::string(); }

bool SameTree(xmlNodePtr a, xmlNodePtr b);

bool SameElement(xmlNodePtr a, xmlNodePtr b)
{
    if (!xmlStrEqual(a->name, b->name) || NamespaceOf(a) != NamespaceOf(b)) return false;
    const auto attributes = [](xmlNodePtr e) {
        std::vector<std::string> list;
        for (xmlAttrPtr at = e->properties; at; at = at->next) {
            auto* n = reinterpret_cast<xmlNodePtr>(at);
            list.push_back(NamespaceOf(n) + '\n' + ToStr(n->name) + '\n' + Content(n));
        }
        std::sort(list.begin(), list.end());
        return list;
    };
    return attributes(a) == attributes(b) && SameTree(a, b);
}

bool SameTree(xmlNodePtr a, xmlNodePtr b)
{
    const auto left = Significant(a), right = Significant(b);
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i) {
        xmlNodePtr x = left[i].first, y = right[i].first;
        if (x->type != y->type) return false;
        switch (x->type) {
        case XML_TEXT_NODE:
            if (left[i].second != right[i].second) return false;
            break;
        case XML_ELEMENT_NODE:
            if (!SameElement(x, y)) return false;
            break;
        case XML_ENTITY_REF_NODE:
            if (!xmlStrEqual(x->name, y->name)) return false;
            break;
        default:
            if (!xmlStrEqual(x->name, y->name) || ToStr(x->content) != ToStr(y->content)) return false;
        }
    }
    return true;
}

// Whether text parses to the tree doc holds.
bool ParsesToTree(const std::string& text, xmlDocPtr doc)
{
    LoadRequest request;
    request.text = &text;
    request.validate = false;
    request.resolveExternals = false;
    LoadResult result = LoadXml(request);
    if (!result.doc) return false;
    xmlNodePtr declaration = DeclarationOf(doc);
    const bool same = result.hasDeclaration == (declaration != nullptr) &&
                      (!declaration || result.declaration == ToStr(declaration->content)) &&
                      SameTree(reinterpret_cast<xmlNodePtr>(result.doc), reinterpret_cast<xmlNodePtr>(doc));
    xmlFreeDoc(result.doc);
    return same;
}

// Texts up to this size are parsed again after splicing and compared with the
// tree; larger ones rely on the checks made while splicing.
constexpr uint64_t kCheckedSpliceBytes = 16u << 20;

} // namespace

std::string XmlDocument::writeSpliced(const std::function<void(std::string_view)>& write, std::string_view original,
                                      const std::string& lineBreakArg) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    if (!table) return "the document's original text was not kept";
    if (!table->wholeReason.empty()) return table->wholeReason;
    std::string decoded;
    std::string_view text = original;
    if (text.empty() && m_holder->heldFile) {
        std::string whyNot;
        text = m_holder->heldFile->Bytes(whyNot);
        if (!whyNot.empty()) return whyNot;
        if (!table->decodedFrom.empty()) {
            if (!DecodeText(text.substr(std::min<size_t>(table->decodedSkip, text.size())), table->decodedFrom, decoded))
                return "the file can no longer be decoded";
            text = decoded;
        }
    }
    if (text.size() != table->textSize) return "the original text is no longer at hand";
    xmlDocPtr doc = m_holder->doc;
    // New text takes the line break the text begins with, unless told one.
    std::string lineBreak = lineBreakArg;
    if (lineBreak.empty()) {
        const size_t first = text.find('\n');
        lineBreak = first != std::string_view::npos && first > 0 && text[first - 1] == '\r' ? "\r\n" : "\n";
    }
    try {
        if (text.size() <= kCheckedSpliceBytes) {
            std::string out;
            const std::function<void(std::string_view)> collect = [&out](std::string_view piece) { out += piece; };
            Splicer(*table, text, doc, collect, lineBreak).Document();
            if (!ParsesToTree(out, doc)) return "the spliced text did not match the tree";
            write(out);
        } else {
            // A dry run first, so that nothing is written when the splice fails.
            const std::function<void(std::string_view)> none = [](std::string_view) {};
            Splicer(*table, text, doc, none, lineBreak).Document();
            Splicer(*table, text, doc, write, lineBreak).Document();
        }
    } catch (const SpliceStop& stop) {
        return stop.reason;
    }
    return {};
}

std::string XmlDocument::saveSpliced(const std::string& path, std::string_view original) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    if (!table) return "the document's original text was not kept";
    // A file read as UTF-8 is written as UTF-8 (its byte-order mark is part of
    // the text); one decoded for the load is encoded back the same way.
    xmlCharEncodingHandlerPtr handler = nullptr;
    if (!table->decodedFrom.empty() && original.empty()) {
        handler = xmlFindCharEncodingHandler(table->decodedFrom.c_str());
        if (!handler) return "the encoding \"" + table->decodedFrom + "\" is not supported";
    }
    AtomicFileWriter writer(path);
    errno = 0;
    if (!writer.Open()) {
        if (handler) xmlCharEncCloseFunc(handler);
        FileError(errno ? errno : EACCES, path);
    }
    int error = 0;
    const auto put = [&](const char* bytes, size_t size) {
        if (!error && !writer.Write(bytes, size)) error = errno ? errno : EIO;
    };
    if (handler && table->decodedSkip == 2) put(table->decodedFrom == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF", 2);
    if (!handler && m_holder->form.byteOrderMark == "UTF-8") put("\xEF\xBB\xBF", 3);
    xmlBufferPtr in = handler ? xmlBufferCreate() : nullptr;
    xmlBufferPtr encoded = handler ? xmlBufferCreate() : nullptr;
    const std::function<void(std::string_view)> write = [&](std::string_view piece) {
        if (!handler) {
            put(piece.data(), piece.size());
            return;
        }
        xmlBufferEmpty(in);
        xmlBufferEmpty(encoded);
        xmlBufferAdd(in, reinterpret_cast<const xmlChar*>(piece.data()), static_cast<int>(piece.size()));
        // Characters the encoding lacks are written as character references.
        if (xmlCharEncOutFunc(handler, encoded, in) < 0 && !error) error = EILSEQ;
        put(reinterpret_cast<const char*>(xmlBufferContent(encoded)), static_cast<size_t>(xmlBufferLength(encoded)));
    };
    std::string reason = writeSpliced(write, original, m_holder->form.lineBreak);
    if (in) xmlBufferFree(in);
    if (encoded) xmlBufferFree(encoded);
    if (handler) xmlCharEncCloseFunc(handler);
    if (!reason.empty()) return reason; // the writer removes what it wrote
    if (error == EILSEQ) throw DomError(kDomInvalidArg, "The document cannot be written in its encoding.");
    errno = 0;
    if (error || !writer.Commit()) FileError(error ? error : errno ? errno : EIO, path);
    return {};
}

std::optional<XmlSourceSpan> XmlDocument::sourceSpan(const XmlNodePtr& node) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    xmlNodePtr raw = NodeAccess::Raw(node);
    if (!table || !raw || NodeAccess::Holder(*node) != m_holder) return std::nullopt;
    const ElementSpan* span = table->Find(raw);
    if (!span) return std::nullopt;
    return XmlSourceSpan{span->start, span->end};
}

std::uint64_t XmlDocument::sourceSpanBytes() const
{
    return m_holder && m_holder->spans ? m_holder->spans->Bytes() : 0;
}

} // namespace brindle
