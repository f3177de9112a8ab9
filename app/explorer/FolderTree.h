#pragma once

// The FTP folder tree the remote file dialog shows: a stand-in until the
// library's control is there.
#include "app/explorer/FTPFolderCtrlStandIn.h"
