#pragma once

#include <string>

// Makes the catalog file named by the "userCatalog" setting the one asked
// before the system catalog (none when the setting is empty). Returns why it
// cannot be used, empty when it can; the parser then goes on without it.
std::string ApplyUserCatalog();
