#pragma once

#include "platform/Export.h"

namespace brindle {

// How long the FTP client waits, in seconds, for a connection to be made and for
// any reply of the server; and when a transfer counts as stalled: it is ended
// once it has moved fewer than `lowSpeedBytesPerSecond` for `stallSeconds`, so
// that a server trickling a few bytes a second cannot hold it open for minutes.
// The times are 30 by default; tests lower them to see a silent or trickling
// server fail quickly. Connections opened afterwards use the new values.
struct FtpTimeouts {
    long connectSeconds = 30;
    long responseSeconds = 30;
    long stallSeconds = 30;
    long lowSpeedBytesPerSecond = 300;
};

BRINDLEKIT_API void SetFtpTimeouts(const FtpTimeouts& timeouts);
BRINDLEKIT_API FtpTimeouts GetFtpTimeouts();

} // namespace brindle
