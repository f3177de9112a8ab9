#include "brindlekit/text/TextPageSetup.h"

#include "brindlekit/chrome/PrintJobs.h"
#include "platform/ui/UIServices.h"

#include <wx/button.h>
#include <wx/cmndata.h>
#include <wx/combobox.h>
#include <wx/generic/prntdlgg.h>
#include <wx/radiobox.h>

#include <cmath>

namespace brindle {

namespace {

int ToMm(int hundredths) { return static_cast<int>(std::lround(hundredths / 100.0)); }

int Merge(int stored, int mm) { return ToMm(stored) == mm ? stored : mm * 100; }

} // namespace

PageMargins MarginsFromDialog(const PageMargins& stored, const wxPoint& topLeftMm, const wxPoint& bottomRightMm)
{
    return {Merge(stored.left, topLeftMm.x), Merge(stored.right, bottomRightMm.x), Merge(stored.top, topLeftMm.y),
            Merge(stored.bottom, bottomRightMm.y)};
}

bool RunTextPageSetup(wxWindow* parent)
{
    const PageMargins stored = ReadPageMargins();
    wxPageSetupDialogData data(SharedPrintData());
    data.SetDefaultMinMargins(false);
    data.SetMarginTopLeft(wxPoint(ToMm(stored.left), ToMm(stored.top)));
    data.SetMarginBottomRight(wxPoint(ToMm(stored.right), ToMm(stored.bottom)));
    data.EnableMargins(true);
    data.EnablePaper(false);
    data.EnableOrientation(false);
    data.EnablePrinter(false);
    // The toolkit's native page setup has no margins; the generic dialog has.
    wxGenericPageSetupDialog dialog(parent, &data);
    dialog.SetTitle("Page Setup");
    for (wxWindow* control : std::initializer_list<wxWindow*>{dialog.m_paperTypeChoice, dialog.m_orientationRadioBox,
                                                              dialog.m_printerButton})
        if (control) control->Disable();
    if (dialog.ShowModal() != wxID_OK) return false;
    const wxPageSetupDialogData& result = dialog.GetPageSetupDialogData();
    const PageMargins margins = MarginsFromDialog(stored, result.GetMarginTopLeft(), result.GetMarginBottomRight());
    if (WritePageMargins(margins)) return true;
    UIServices().MessageBox("The page margins could not be saved.", MsgButtons::Ok, MsgIcon::Error);
    return false;
}

} // namespace brindle
