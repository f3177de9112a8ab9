#pragma once

// Internal to the parser component: writing a loaded document as the text it
// was read from, with only what the edits since changed written anew.

#include "platform/xml/SourceSpans.h"

#include <functional>
#include <string>
#include <string_view>

namespace brindle::detail {

// Why a splice cannot be sound; thrown by SpliceDocument.
struct SpliceStop {
    std::string reason;
};

// Writes doc as text (the text its spans were noted in), copying every stretch
// no edit reached and writing each changed node to match its surroundings;
// lineBreak ends the lines of new text. Throws SpliceStop.
void SpliceDocument(const SourceSpans& spans, std::string_view text, xmlDocPtr doc,
                    const std::function<void(std::string_view)>& write, const std::string& lineBreak);

// White space alone (blank lines and indentation).
inline bool IsBlank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// Whether text parses to the tree doc holds, white space between elements and
// where namespaces are declared aside.
bool ParsesToTree(const std::string& text, xmlDocPtr doc);

} // namespace brindle::detail
