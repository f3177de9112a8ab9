#pragma once

#include "platform/Export.h"

#include <string>
#include <vector>

namespace brindle {

// What the shared MIME database says of a file, judged by its name alone (the
// file is not opened): its type, a description for people and the icon
// theme's names for its icon, the most specific first.
struct ContentType {
    std::string mimeType;                // e.g. "application/xml"
    std::string description;             // e.g. "XML document"
    std::vector<std::string> iconNames;  // e.g. {"application-xml", "text-x-generic"}
    // Whether the database knew the name; when not, the other fields are empty.
    bool Known() const { return !mimeType.empty(); }
};

// Looks a file name up in the shared MIME database. A name the database does
// not know gives an empty result, never a generic "binary data".
BRINDLEKIT_API ContentType ContentTypeOfName(const std::string& fileName);

} // namespace brindle
