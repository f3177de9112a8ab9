#pragma once

#include <wx/app.h>
#include <wx/evtloop.h>

namespace bench {

// Lets pending events, queued toolkit work and idle handlers run once.
inline void Pump()
{
    wxTheApp->ProcessPendingEvents();
    if (auto* loop = wxEventLoopBase::GetActive())
        while (loop->Pending()) loop->Dispatch();
    wxTheApp->ProcessIdle();
}

} // namespace bench
