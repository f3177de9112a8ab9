#pragma once

#include "platform/Export.h"

#include <functional>
#include <string>
#include <string_view>

namespace brindle {

// Escaping text for markup. The caller names the characters to escape: "&",
// "<", ">" and '"' become the predefined entity references, any other a
// decimal character reference ("&#13;").

// What is escaped in character data (">" for the sake of "]]>").
inline constexpr std::string_view kXmlTextSpecials = "&<>";
// What must be escaped in a double-quoted attribute value: tab and line breaks
// too, which attribute-value normalisation would read back as spaces.
inline constexpr std::string_view kXmlAttributeSpecials = "&<\"\t\n\r";

// Tells whether a non-ASCII character can be written as it stands (in the
// encoding the text is bound for); one it refuses becomes a character reference.
using XmlCharacterTest = std::function<bool(char32_t)>;

// Appends UTF-8 text with each of the special (ASCII) characters escaped and,
// when holds is given, each non-ASCII character it refuses.
BRINDLEKIT_API void AppendXmlEscaped(std::string& out, std::string_view text, std::string_view specials,
                                     const XmlCharacterTest& holds = {});
BRINDLEKIT_API std::string XmlEscaped(std::string_view text, std::string_view specials);

// Appends the UTF-8 encoding of a character.
BRINDLEKIT_API void AppendUtf8(std::string& out, char32_t c);

} // namespace brindle
