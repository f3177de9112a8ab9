#include "app/document/UserCatalog.h"

#include "app/settings/Settings.h"
#include "platform/xml/XmlCatalogs.h"

std::string ApplyUserCatalog() { return brindle::UseUserCatalog(Settings::GetUserCatalog()); }
