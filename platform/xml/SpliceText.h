#pragma once

// Internal to the parser component: reading the original text of a loaded
// document back in the pieces a spliced save copies or replaces.

#include "platform/xml/SourceSpans.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::detail {

// One item of an element's (or the document's) content as written.
struct ContentToken {
    enum Kind { Text, Element, Comment, Pi, CData, EntityRef, Doctype };
    Kind kind;
    uint64_t start, end;
    const ElementSpan* element = nullptr; // for Element
};

// The content in [from, to) of text, as libxml2 splits it into nodes: text
// runs (character data with character and predefined references), elements
// (known by their spans), comments, processing instructions, CDATA sections,
// entity references and the DOCTYPE. False when the text is not what the spans
// say it is.
bool TokenizeContent(std::string_view text, uint64_t from, uint64_t to, const SourceSpans& spans,
                     std::vector<ContentToken>& out);

// A general entity's replacement text for decoding (nullptr: not known).
using EntityText = std::function<const char*(const std::string& name)>;

// The value a token stands for in the tree: a text run decoded, a comment's or
// CDATA section's text, a processing instruction's data, an entity's name;
// line ends as the parser leaves them. False when it cannot be told (a
// reference to an unknown entity).
bool TokenValue(std::string_view text, const ContentToken& token, std::string& value);
// A processing instruction's target.
std::string_view PiTarget(std::string_view text, const ContentToken& token);

// A start tag as written.
struct TagAttribute {
    uint64_t start;      // of the whitespace before the name
    uint64_t nameStart;  // of the name
    uint64_t valueStart; // past the opening quote
    uint64_t end;        // past the closing quote
    char quote;
    std::string_view name;
};
struct StartTag {
    std::string_view name;
    std::vector<TagAttribute> attributes;
    uint64_t closeStart; // of the whitespace before ">" or "/>"
    bool empty;          // written "/>"
};
bool ParseStartTag(std::string_view text, uint64_t start, uint64_t length, StartTag& tag);
// An attribute value as the parser reads it: references decoded (general
// entities through entities), white space normalised. False when an entity is
// not known.
bool AttributeValue(std::string_view raw, const EntityText& entities, std::string& value);

} // namespace brindle::detail
