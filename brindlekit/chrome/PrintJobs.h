#pragma once

#include "platform/Export.h"

#include <functional>
#include <wx/string.h>

class wxPrintData;
class wxPrintout;
class wxWindow;

namespace brindle {

// The printer settings every print job of the program shares (the printer,
// paper and orientation the user last chose). Made at first use: print data
// made before the toolkit's modules have installed the native print factory
// carries the wrong kind of native data, which the native dialogs cannot use.
BRINDLEKIT_API wxPrintData& SharedPrintData();

// Prints a printout, with the print dialog when `prompt` is set (Print) or
// straight to the current printer (Print Direct). The toolkit shows the pages'
// progress with a Cancel button. False when the user cancelled or printing
// failed; a failure is reported to the user. The printout is deleted.
BRINDLEKIT_API bool RunPrint(wxWindow* parent, wxPrintout* printout, bool prompt);

// Shows a print preview frame for printouts the factory makes (one to show,
// one to print from the preview); false, after a message, when the preview
// cannot be made.
BRINDLEKIT_API bool RunPreview(wxWindow* parent, const std::function<wxPrintout*()>& makePrintout,
                               const wxString& title);

} // namespace brindle
