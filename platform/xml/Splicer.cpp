// Writing a document as the text it was loaded from, with only what changed
// written anew.

#include "platform/xml/Splicer.h"

#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/SpliceText.h"
#include "platform/xml/XmlEscape.h"

#include <libxml/entities.h>

#include <algorithm>

namespace brindle::detail {

namespace {

// What an attribute value escapes inside the quote it stands in.
std::string_view AttributeSpecials(char quote) { return quote == '"' ? "&<\"\t\n\r" : "&<'\t\n\r"; }

// Appends ` name="value"` after the separator, escaped for the quote it takes.
void AppendAttribute(std::string& out, std::string_view separator, const std::string& name, const std::string& value,
                     char quote)
{
    out += separator;
    out += name;
    out += '=';
    out += quote;
    AppendXmlEscaped(out, value, AttributeSpecials(quote));
    out += quote;
}

// The attribute name of a namespace declaration: "xmlns" or "xmlns:p".
std::string DeclarationName(const xmlNs* ns) { return ns->prefix ? "xmlns:" + ToStr(ns->prefix) : "xmlns"; }

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
    std::vector<Step> Align(const std::vector<ContentToken>& tokens, const std::vector<xmlNodePtr>& nodes);
    bool Same(const ContentToken& token, xmlNodePtr node);
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
    bool onlyBlanks = true;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const ContentToken& t = tokens[i];
        if (t.kind != ContentToken::Text) onlyBlanks = false;
        if (t.kind != ContentToken::Text) continue;
        const std::string_view raw = m_text.substr(t.start, t.end - t.start);
        if (!IsBlank(raw)) return {}; // mixed content: no layout to follow
        const std::string_view line = LastLine(raw);
        if (line.empty()) continue;
        layout.indented = true;
        if (layout.childIndent.empty() && i + 1 < tokens.size()) layout.childIndent = line;
    }
    if (layout.indented || !onlyBlanks) return layout;
    // Empty content, or blanks on one line: a first child goes one step in
    // from the element's own indentation, when the element begins a line.
    const std::string own = LineIndent(elementStart);
    if (own.empty()) return {};
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
        AppendAttribute(out, " ", DeclarationName(ns), UriFromHref(ns->href), quote);
    };
    need(element->ns);
    for (xmlAttrPtr a = element->properties; a; a = a->next) need(a->ns);
    // An element in no namespace inside a default one says so.
    if (!element->ns) {
        bool undeclares = false;
        for (xmlNsPtr d = element->nsDef; d; d = d->next) undeclares = undeclares || !d->prefix;
        xmlNsPtr outer = element->parent ? xmlSearchNs(m_doc, element->parent, nullptr) : nullptr;
        if (!undeclares && outer && outer->href && *outer->href) out += std::string(" xmlns=") + quote + quote;
    }
}

void Splicer::WriteStartTag(xmlNodePtr node, const detail::StartTag& tag, uint64_t tagEnd, bool opens, char quote)
{
    // The attributes and declarations the element has now, by name.
    std::vector<std::pair<std::string, std::string>> now;
    for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next)
        now.emplace_back(DeclarationName(ns), UriFromHref(ns->href));
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
        // Its own spacing and quote, the new value.
        out += m_text.substr(a.start, a.valueStart - a.start);
        AppendXmlEscaped(out, now[i].second, AttributeSpecials(a.quote));
        out += a.quote;
    }
    for (size_t i = 0; i < now.size(); ++i) {
        if (written[i]) continue;
        AppendAttribute(out, separator, now[i].first, now[i].second, quote);
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

bool Splicer::Same(const ContentToken& token, xmlNodePtr node)
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
        if (node->type != XML_PI_NODE || PiTarget(m_text, token) != ToStr(node->name) || !TokenValue(m_text, token, value))
            return false;
        // The declaration is kept without the white space around it.
        if (node->parent && node->parent->type == XML_DOCUMENT_NODE && xmlStrEqual(node->name, BAD_CAST "xml"))
            value.erase(value.find_last_not_of(" \t\r\n") + 1);
        return value == ToStr(node->content);
    case ContentToken::EntityRef:
        return node->type == XML_ENTITY_REF_NODE && TokenValue(m_text, token, value) && value == ToStr(node->name);
    }
    return false;
}

// An edit script from the tokens as written to the nodes now: the longest
// common subsequence, after the common start and end are taken off (an edit
// usually touches one place of a long list).
std::vector<Splicer::Step> Splicer::Align(const std::vector<ContentToken>& tokens, const std::vector<xmlNodePtr>& nodes)
{
    const size_t n = tokens.size(), m = nodes.size();
    size_t head = 0;
    while (head < n && head < m && Same(tokens[head], nodes[head])) ++head;
    size_t tail = 0;
    while (tail < n - head && tail < m - head && Same(tokens[n - 1 - tail], nodes[m - 1 - tail])) ++tail;
    std::vector<Step> steps;
    for (size_t i = 0; i < head; ++i) steps.push_back({Op::Keep, i, nodes[i]});
    const size_t a = n - head - tail, b = m - head - tail;
    if (a * b <= 4u << 20) {
        // lengths[i][j]: common subsequence of tokens from head+i and nodes from head+j.
        std::vector<uint32_t> lengths((a + 1) * (b + 1), 0);
        const auto at = [&](size_t i, size_t j) -> uint32_t& { return lengths[i * (b + 1) + j]; };
        for (size_t i = a; i-- > 0;)
            for (size_t j = b; j-- > 0;)
                at(i, j) = Same(tokens[head + i], nodes[head + j]) ? at(i + 1, j + 1) + 1
                                                                             : std::max(at(i + 1, j), at(i, j + 1));
        size_t i = 0, j = 0;
        while (i < a || j < b) {
            if (i < a && j < b && Same(tokens[head + i], nodes[head + j]) && at(i, j) == at(i + 1, j + 1) + 1) {
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
    const std::vector<Step> steps = Align(tokens, nodes);

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
            // A child moved within its parent keeps its own text (its namespace
            // scope is the same); any other is written anew.
            const bool moved = own && std::any_of(tokens.begin(), tokens.end(), [own](const ContentToken& t) {
                                   return t.element == own;
                               });
            if (!moved) Serialise(node, quote, text);
            const bool laidOut = layout.indented && node->type != XML_TEXT_NODE && !layout.childIndent.empty();
            if (!laidOut) flush();
            const bool declaration = documentLevel && node->type == XML_PI_NODE && xmlStrEqual(node->name, BAD_CAST "xml");
            if (laidOut) m_write(layout.childIndent);
            else if (documentLevel && !declaration) New("\n");
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
    switch (node->type) {
    case XML_ELEMENT_NODE: {
        out += "<" + QName(node);
        for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next)
            AppendAttribute(out, " ", DeclarationName(ns), UriFromHref(ns->href), quote);
        for (xmlAttrPtr a = node->properties; a; a = a->next) {
            auto* attribute = reinterpret_cast<xmlNodePtr>(a);
            AppendAttribute(out, " ", QName(attribute), Content(attribute), quote);
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

} // namespace

void SpliceDocument(const SourceSpans& spans, std::string_view text, xmlDocPtr doc,
                    const std::function<void(std::string_view)>& write, const std::string& lineBreak)
{
    Splicer(spans, text, doc, write, lineBreak).Document();
}

} // namespace brindle::detail
