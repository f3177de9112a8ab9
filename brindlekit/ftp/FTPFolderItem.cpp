#include "brindlekit/ftp/FTPFolderItem.h"

namespace brindle {

CFTPFolderItem::~CFTPFolderItem() = default;

} // namespace brindle
