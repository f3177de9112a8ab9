#include "app/views/NodeDragSupport.h"

#include <wx/aui/tabmdi.h>
#include <wx/toplevel.h>

void BringFrameToTop(wxWindow* window)
{
    for (wxWindow* w = window; w; w = w->GetParent()) {
        if (auto* child = dynamic_cast<wxAuiMDIChildFrame*>(w)) {
            child->Activate();
            return;
        }
        if (w->IsTopLevel()) {
            w->Raise();
            return;
        }
    }
}
