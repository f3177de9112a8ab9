#include "app/shell/DiskChangeCheck.h"

#include "app/document/BrindleDocBase.h"
#include "app/shell/BrindleDocManager.h"
#include "app/shell/ChildFrame.h"
#include "platform/ui/UIServices.h"

#include <fstream>

using namespace brindle;

namespace {

bool g_asking = false;

CChildFrame* XmlFrameOf(wxDocument* doc)
{
    wxView* view = doc ? doc->GetFirstView() : nullptr;
    return view ? dynamic_cast<CChildFrame*>(view->GetFrame()) : nullptr;
}

} // namespace

void CheckDocumentOnDisk(CBrindleDocBase* doc)
{
    if (!doc || g_asking) return;
    g_asking = true;
    const CBrindleDocBase::DiskAnswer answer = doc->CheckFileOnDisk();
    if (answer == CBrindleDocBase::DiskAnswer::Reload) ReloadDocument(doc);
    g_asking = false;
}

wxDocument* ReloadDocument(CBrindleDocBase* doc)
{
    auto* manager = dynamic_cast<CBrindleDocManager*>(doc->GetDocumentManager());
    if (!manager) return nullptr;
    const wxString path = doc->GetFilename();
    // A file that cannot be read now leaves the document as it is.
    if (!std::ifstream(path.utf8_string(), std::ios::binary)) {
        UIServices().MessageBox("Cannot open file " + path.utf8_string() + ". The document was not reloaded.",
                                MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    const CChildFrame* oldFrame = XmlFrameOf(doc);
    const ViewMode mode = oldFrame ? oldFrame->GetMode() : ViewMode::Tree;

    doc->Modify(false); // the user chose to lose the changes
    if (!manager->CloseDocument(doc, true)) return nullptr;
    wxDocument* fresh = nullptr;
    {
        CBrindleDocManager::RecentFilesKept kept(*manager);
        fresh = manager->CreateDocument(path);
    }
    if (CChildFrame* frame = XmlFrameOf(fresh); frame && mode != ViewMode::Tree) {
        // Shown again in the mode it had, once the frame is up (a file that no
        // longer parses is in Source mode already).
        frame->CallAfter([frame, mode] {
            if (mode == ViewMode::Source) frame->ShowSourceMode();
            else if (frame->GetMode() == ViewMode::Tree) frame->ShowBrowserMode();
        });
    }
    return fresh;
}
