#pragma once

// Internal to the parser component: where each element of a loaded tree lies in
// the text it was parsed from, and what the edits since the load changed, so a
// save can keep the original text of everything an edit did not reach.

#include <libxml/tree.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::detail {

// What changed about an element since the load.
enum SpanMark : uint32_t {
    kAttributesChanged = 1u, // its name, attributes or namespace declarations
    kContentChanged = 2u,    // its list of children, or the value of a child
    kInsideChanged = 4u,     // something below one of its children
    kGone = 8u,              // the element was freed: its address may be reused
};

struct ElementSpan {
    xmlNodePtr node;
    uint64_t start;     // offset of "<" of the start tag
    uint64_t end;       // offset past the end tag's ">" (or past "/>")
    uint32_t tagLength; // bytes of the start tag, "<" to ">" inclusive
    uint32_t marks;
};

struct SourceSpans {
    // In document order (by start) once the load completes.
    std::vector<ElementSpan> spans;
    // Indexes into spans, ordered by node address, for lookup by node: built
    // on the first lookup, so a load that no edit follows never pays for it.
    mutable std::vector<uint32_t> byNode;
    uint64_t textSize = 0;
    // The encoding a file's bytes were decoded from to give the text (empty:
    // the bytes are the text), and the byte-order mark's bytes left out.
    std::string decodedFrom;
    size_t decodedSkip = 0;
    // The document type declaration, "<!DOCTYPE" to ">", when there is one.
    uint64_t doctypeStart = 0, doctypeEnd = 0;
    // A child of the document node was added, removed or changed.
    bool documentChanged = false;
    // Why the tree's text can no longer be spliced, once something made it so.
    std::string wholeReason;

    // Called once the load is complete: gives back unused room.
    void Finish() { spans.shrink_to_fit(); }
    ElementSpan* Find(const xmlNode* node);
    const ElementSpan* Find(const xmlNode* node) const;
    // The element whose start tag begins at offset, if any.
    const ElementSpan* AtStart(uint64_t offset) const;
    uint64_t Bytes() const { return spans.capacity() * sizeof(ElementSpan) + byNode.capacity() * sizeof(uint32_t); }
};

// The span table of the tree the node belongs to, or nullptr.
SourceSpans* SpansOf(const xmlNode* node);

// Notes a change: kContentChanged for a parent whose children changed (the
// document node too), kAttributesChanged for an element. Ancestors are marked
// kInsideChanged. Does nothing for a tree without a span table.
void NoteEdit(xmlNodePtr node, uint32_t mark);
// Notes a change of the node's own value: its parent's content changed, or for
// an attribute (or a node inside one), its element's attributes.
void NoteValueEdit(xmlNodePtr node);
// The elements of a subtree about to be freed lose their spans.
void ForgetSpans(xmlNodePtr subtree);
// A replacement took the place of old (an element renamed through a new one):
// the replacement takes over old's text, fully marked, when it has none.
void PassSpan(xmlNodePtr old, xmlNodePtr replacement);

// The encoding a file whose spans are noted is decoded from before parsing, so
// offsets are in one well-defined text: "" for UTF-8 (its bytes are the text),
// else the name (UTF-16 by its byte-order mark or first bytes, else the
// declared encoding). skip is the byte-order mark's length to leave out.
std::string SpanTextEncoding(const std::string& head, const std::string& byteOrderMark,
                             const std::string& declaration, size_t& skip);
// Decodes bytes in the named encoding to UTF-8 with libxml2's converters.
bool DecodeText(std::string_view bytes, const std::string& encoding, std::string& out);

} // namespace brindle::detail
