#pragma once

#include "brindlekit/text/TextPrintLayout.h"
#include "platform/Export.h"

class wxPoint;
class wxWindow;

namespace brindle {

// The margins a page setup dialog gave back (whole millimetres, left/top and
// right/bottom) over the stored ones: a margin the user left alone keeps its
// stored hundredths of a millimetre, a changed one takes the new value.
BRINDLEKIT_API PageMargins MarginsFromDialog(const PageMargins& stored, const wxPoint& topLeftMm,
                                             const wxPoint& bottomRightMm);

// Page Setup for printed text: a dialog with the four margins of the settings
// (paper and orientation are the printer setup's); on OK they are written back.
// False when cancelled or when the settings could not be written (the user is told).
BRINDLEKIT_API bool RunTextPageSetup(wxWindow* parent);

} // namespace brindle
