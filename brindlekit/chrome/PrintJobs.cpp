#include "brindlekit/chrome/PrintJobs.h"

#include "platform/ui/UIServices.h"

#include <memory>
#include <wx/cmndata.h>
#include <wx/print.h>

namespace brindle {

wxPrintData& SharedPrintData()
{
    static std::unique_ptr<wxPrintData> data;
    if (!data) data = std::make_unique<wxPrintData>();
    return *data;
}

bool RunPrint(wxWindow* parent, wxPrintout* printout, bool prompt)
{
    std::unique_ptr<wxPrintout> owned(printout);
    wxPrintDialogData dialogData(SharedPrintData());
    wxPrinter printer(&dialogData);
    const bool printed = printer.Print(parent, owned.get(), prompt);
    if (printed) {
        SharedPrintData() = printer.GetPrintDialogData().GetPrintData();
        return true;
    }
    if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
        UIServices().MessageBox("The document could not be printed.", MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool RunPreview(wxWindow* parent, const std::function<wxPrintout*()>& makePrintout, const wxString& title)
{
    wxPrintDialogData dialogData(SharedPrintData());
    auto* preview = new wxPrintPreview(makePrintout(), makePrintout(), &dialogData);
    if (!preview->IsOk()) {
        delete preview;
        UIServices().MessageBox("The print preview could not be made: is a printer set up?", MsgButtons::Ok,
                                MsgIcon::Error);
        return false;
    }
    auto* frame = new wxPreviewFrame(preview, parent, title, wxDefaultPosition, wxSize(800, 900));
    frame->Centre(wxBOTH);
    frame->Initialize();
    frame->Show();
    return true;
}

} // namespace brindle
