#pragma once

// XML catalogs: public and system identifiers resolved to local files. The
// system catalog (XML_CATALOG_FILES, else /etc/xml/catalog) is always asked;
// a user catalog, when set, is asked before it. A catalog result that is not a
// local file is refused like any network resource.

#include "platform/Export.h"

#include <string>

namespace brindle {

// Makes the catalog file at path the user catalog (an empty path sets none).
// Returns why it cannot be used, empty on success; on failure no user catalog
// is set.
BRINDLEKIT_API std::string UseUserCatalog(const std::string& path);

} // namespace brindle
