// Printing, print preview and page setup of a text view.

#include "brindlekit/text/TextView.h"

#include "brindlekit/chrome/PrintJobs.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextPageSetup.h"
#include "brindlekit/text/TextPrintout.h"

#include <wx/toplevel.h>

namespace brindle {

using namespace textcmd;

wxPrintout* CTextView::CreatePrintout()
{
    return new CTextPrintout(*GetBuffer(), m_pModel->GetTabSize(), GetTextFont(), GetPrintTitle());
}

wxString CTextView::GetPrintTitle() const { return "Brindle"; }

bool CTextView::PrintText(bool prompt)
{
    if (!GetBuffer()) return false;
    return RunPrint(wxGetTopLevelParent(this), CreatePrintout(), prompt);
}

bool CTextView::PreviewText()
{
    if (!GetBuffer()) return false;
    return RunPreview(wxGetTopLevelParent(this), [this] { return CreatePrintout(); }, GetPrintTitle());
}

std::optional<bool> CTextView::PrintCommandState(int id) const
{
    if (id == ID_FILE_PAGE_SETUP) return true;
    if (id == ID_FILE_PRINT || id == ID_FILE_PRINT_DIRECT || id == ID_FILE_PRINT_PREVIEW) return GetBuffer() != nullptr;
    return std::nullopt;
}

bool CTextView::ExecutePrintCommand(int id)
{
    switch (id) {
    case ID_FILE_PAGE_SETUP: RunTextPageSetup(wxGetTopLevelParent(this)); return true;
    case ID_FILE_PRINT: PrintText(true); return true;
    case ID_FILE_PRINT_DIRECT: PrintText(false); return true;
    case ID_FILE_PRINT_PREVIEW: PreviewText(); return true;
    default: return false;
    }
}

} // namespace brindle
