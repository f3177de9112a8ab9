#pragma once

#include "app/explorer/RemoteBrowser.h"

class wxWindow;

// Shows the properties of a remote file or folder modally.
void ShowRemoteProperties(wxWindow* parent, const RemoteBrowser::Properties& properties);
