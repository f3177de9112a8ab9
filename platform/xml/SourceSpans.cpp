// Element spans of a loaded tree and the marks edits leave on them.

#include "platform/xml/SourceSpans.h"

#include "platform/xml/NodeAccess.h"

#include <libxml/encoding.h>

#include <algorithm>
#include <climits>

namespace brindle::detail {

namespace {

// Builds the lookup by node address.
void Index(const std::vector<ElementSpan>& spans, std::vector<uint32_t>& byNode)
{
    byNode.resize(spans.size());
    for (uint32_t i = 0; i < byNode.size(); ++i) byNode[i] = i;
    const auto byAddress = [&spans](uint32_t a, uint32_t b) {
        return std::less<const xmlNode*>()(spans[a].node, spans[b].node);
    };
    // Nodes allocated in document order often lie in address order already.
    if (!std::is_sorted(byNode.begin(), byNode.end(), byAddress)) std::sort(byNode.begin(), byNode.end(), byAddress);
}

} // namespace

const ElementSpan* SourceSpans::Find(const xmlNode* node) const
{
    if (byNode.size() != spans.size()) Index(spans, byNode);
    auto at = std::lower_bound(byNode.begin(), byNode.end(), node, [this](uint32_t i, const xmlNode* n) {
        return std::less<const xmlNode*>()(spans[i].node, n);
    });
    // A freed element's address can come back as a new node: its span is gone.
    for (; at != byNode.end() && spans[*at].node == node; ++at)
        if (!(spans[*at].marks & kGone)) return &spans[*at];
    return nullptr;
}

ElementSpan* SourceSpans::Find(const xmlNode* node)
{
    return const_cast<ElementSpan*>(static_cast<const SourceSpans*>(this)->Find(node));
}

const ElementSpan* SourceSpans::AtStart(uint64_t offset) const
{
    auto at = std::lower_bound(spans.begin(), spans.end(), offset,
                               [](const ElementSpan& s, uint64_t o) { return s.start < o; });
    return at != spans.end() && at->start == offset ? &*at : nullptr;
}

SourceSpans* SpansOf(const xmlNode* node)
{
    auto* holder = node && node->doc ? static_cast<DocHolder*>(node->doc->_private) : nullptr;
    return holder ? holder->spans.get() : nullptr;
}

void NoteEdit(xmlNodePtr node, uint32_t mark)
{
    SourceSpans* table = SpansOf(node);
    if (!table) return;
    if (node->type == XML_DOCUMENT_NODE) {
        table->documentChanged = true;
        return;
    }
    if (node->type != XML_ELEMENT_NODE) {
        // A change inside the document type or an entity's content.
        if (table->wholeReason.empty()) table->wholeReason = "the DOCTYPE was edited";
        return;
    }
    if (ElementSpan* own = table->Find(node)) own->marks |= mark;
    for (xmlNodePtr p = node->parent; p; p = p->parent) {
        if (p->type == XML_DOCUMENT_NODE) table->documentChanged = true;
        if (p->type != XML_ELEMENT_NODE) continue;
        if (ElementSpan* above = table->Find(p)) above->marks |= kInsideChanged;
    }
}

void NoteValueEdit(xmlNodePtr node)
{
    if (!SpansOf(node)) return;
    xmlNodePtr parent = node->parent;
    if (node->type == XML_ATTRIBUTE_NODE) {
        if (parent) NoteEdit(parent, kAttributesChanged);
        return;
    }
    if (!parent) return;
    if (parent->type == XML_ATTRIBUTE_NODE) {
        if (parent->parent) NoteEdit(parent->parent, kAttributesChanged);
        return;
    }
    NoteEdit(parent, kContentChanged);
}

void ForgetSpans(xmlNodePtr subtree)
{
    SourceSpans* table = SpansOf(subtree);
    if (!table || subtree->type != XML_ELEMENT_NODE) return;
    ForEachElement(subtree, [table](xmlNodePtr n) {
        if (ElementSpan* s = table->Find(n)) s->marks |= kGone;
        return false;
    });
}

void PassSpan(xmlNodePtr old, xmlNodePtr replacement)
{
    SourceSpans* table = SpansOf(old);
    if (!table || old->type != XML_ELEMENT_NODE || replacement->type != XML_ELEMENT_NODE || table->Find(replacement))
        return;
    ElementSpan* s = table->Find(old);
    if (!s) return;
    // The index is by address: the entry moves to the replacement's place.
    const uint32_t index = static_cast<uint32_t>(s - table->spans.data());
    table->byNode.erase(std::find(table->byNode.begin(), table->byNode.end(), index));
    s->node = replacement;
    s->marks |= kAttributesChanged | kContentChanged;
    auto at = std::lower_bound(table->byNode.begin(), table->byNode.end(), replacement,
                               [table](uint32_t i, const xmlNode* n) {
                                   return std::less<const xmlNode*>()(table->spans[i].node, n);
                               });
    table->byNode.insert(at, index);
    NoteEdit(replacement, kAttributesChanged);
}

std::string SpanTextEncoding(const std::string& head, const std::string& byteOrderMark,
                             const std::string& declaration, size_t& skip)
{
    skip = 0;
    if (byteOrderMark == "UTF-8") return {};
    if (byteOrderMark == "UTF-16LE" || byteOrderMark == "UTF-16BE") {
        skip = 2;
        return byteOrderMark;
    }
    if (head.size() >= 2 && head[0] == '<' && head[1] == '\0') return "UTF-16LE";
    if (head.size() >= 2 && head[0] == '\0' && head[1] == '<') return "UTF-16BE";
    const std::string declared = DeclarationPseudoAttribute(declaration, "encoding");
    if (declared.empty() || xmlStrcasecmp(X(declared), BAD_CAST "UTF-8") == 0 ||
        xmlStrcasecmp(X(declared), BAD_CAST "UTF8") == 0)
        return {};
    return declared;
}

bool DecodeText(std::string_view bytes, const std::string& encoding, std::string& out)
{
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding.c_str());
    if (!handler || bytes.size() > static_cast<size_t>(INT_MAX / 4)) return false;
    xmlBufferPtr in = xmlBufferCreateSize(bytes.size() + 1);
    xmlBufferPtr decoded = xmlBufferCreateSize(bytes.size() * 2 + 64);
    bool ok = in && decoded && xmlBufferAdd(in, reinterpret_cast<const xmlChar*>(bytes.data()),
                                            static_cast<int>(bytes.size())) == 0;
    while (ok && xmlBufferLength(in) > 0) {
        const int before = xmlBufferLength(in);
        ok = xmlCharEncInFunc(handler, decoded, in) >= 0 && xmlBufferLength(in) < before;
    }
    if (ok) out.assign(reinterpret_cast<const char*>(xmlBufferContent(decoded)), static_cast<size_t>(xmlBufferLength(decoded)));
    if (in) xmlBufferFree(in);
    if (decoded) xmlBufferFree(decoded);
    xmlCharEncCloseFunc(handler);
    return ok;
}

} // namespace brindle::detail
