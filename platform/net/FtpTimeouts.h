#pragma once

#include "platform/Export.h"

namespace brindle {

// How long the FTP client waits, in seconds, for a connection to be made, for
// any reply of the server, and at most without a byte moving during a transfer.
// All are 30 by default; tests lower them to see a silent server fail quickly.
// Connections opened afterwards use the new values.
struct FtpTimeouts {
    long connectSeconds = 30;
    long responseSeconds = 30;
    long stallSeconds = 30;
};

BRINDLEKIT_API void SetFtpTimeouts(const FtpTimeouts& timeouts);
BRINDLEKIT_API FtpTimeouts GetFtpTimeouts();

} // namespace brindle
