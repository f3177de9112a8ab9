#pragma once

#include "brindlekit/text/TextViewHost.h"
#include "brindlekit/text/ViewPalette.h"

#include <cstdint>
#include <string_view>

// Line colouring that knows XML's constructs: tags, attributes, comments, CDATA,
// processing instructions, references and declarations. Constructs that span
// lines (a comment, CDATA, a tag, an attribute value, a DOCTYPE's internal
// subset) are carried from line to line by the cookie.
namespace xml_colour {

// Colour indices. Comments and attribute values keep the indices the line
// parser of the source views gives comments and strings.
constexpr int kText = brindle::COLORINDEX_NORMALTEXT;
constexpr int kComment = brindle::COLORINDEX_COMMENT;
constexpr int kAttributeValue = brindle::COLORINDEX_STRING;
constexpr int kTag = brindle::COLORINDEX_TAG;
constexpr int kAttributeName = brindle::COLORINDEX_ATTRNAME;
constexpr int kCData = brindle::COLORINDEX_CDATA;
constexpr int kProcessing = brindle::COLORINDEX_PROCESSING;
constexpr int kReference = brindle::COLORINDEX_REFERENCE;
constexpr int kDeclaration = brindle::COLORINDEX_DECLARATION;

// The state at the end of a line: the construct that is open (low bits) and
// whether it lies inside a DOCTYPE's internal subset.
enum class State : std::uint32_t {
    Text,
    TagName,     // after "<" or "</", reading the element's name
    InTag,       // between a tag's attributes
    ValueDouble, // an attribute value in double quotes
    ValueSingle,
    Comment,
    CData,
    Processing,
    Declaration, // "<!DOCTYPE", "<!ELEMENT" ...
    DeclDouble,  // a quoted literal inside a declaration
    DeclSingle,
};
constexpr std::uint32_t kStateMask = 0x0F;
constexpr std::uint32_t kInSubset = 0x10;

inline State StateOf(std::uint32_t cookie) { return static_cast<State>(cookie & kStateMask); }

enum class Grammar { Document, Dtd };

// Colours one line: appends (position, colour) blocks when blocks is not null
// (room for one block per character plus one is enough) and returns the cookie
// for the next line. A DTD is read as if it were all one internal subset.
std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line, brindle::TextBlock* blocks, int& count,
                        Grammar grammar = Grammar::Document);

} // namespace xml_colour
