#include "app/views/DocPrinter.h"

#include "app/document/BrindleDoc.h"
#include "brindlekit/chrome/PrintJobs.h"
#include "resources/CommandIds.h"

#include <wx/dc.h>
#include <wx/toplevel.h>

CDocPrinter::CDocPrinter(std::shared_ptr<const std::string> text, std::string pathName, std::string title)
    : wxPrintout(wxString::FromUTF8(title)), m_text(std::move(text)), m_pathName(std::move(pathName)),
      m_title(std::move(title))
{
}

void CDocPrinter::OnPreparePrinting()
{
    wxDC* dc = GetDC();
    if (!dc) return;
    // One logical unit is one device pixel, in a preview as on the printer.
    MapScreenSizeToDevice();
    int ppiX = 0, ppiY = 0;
    GetPPIPrinter(&ppiX, &ppiY);
    m_font = wxFont(wxFontInfo(wxSize(0, ppiY * 10 / 72)).Family(wxFONTFAMILY_TELETYPE).FaceName("Courier New"));
    dc->SetFont(m_font);
    wxCoord width = 0, height = 0, descent = 0, leading = 0;
    dc->GetTextExtent("X", &width, &height, &descent, &leading);
    const int charWidth = std::max(1, static_cast<int>(dc->GetCharWidth()));
    m_lineHeight = std::max(1, static_cast<int>(height + leading));
    m_page = GetLogicalPageRect();
    m_margin = 2 * charWidth;
    m_textWidth = m_page.width - 2 * m_margin;
    m_layout.emplace(m_text ? *m_text : std::string(), m_pathName, m_title, m_textWidth / charWidth,
                     (m_page.height - 5 * m_lineHeight) / m_lineHeight);
}

void CDocPrinter::OnEndPrinting()
{
    m_layout.reset();
    m_font = wxNullFont;
    wxPrintout::OnEndPrinting();
}

void CDocPrinter::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    const int last = m_layout ? m_layout->PageCount() : 1;
    *minPage = *pageFrom = 1;
    *maxPage = *pageTo = last;
}

bool CDocPrinter::HasPage(int page) { return page >= 1 && page <= (m_layout ? m_layout->PageCount() : 1); }

bool CDocPrinter::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !m_layout) return false;
    MapScreenSizeToDevice();
    dc->SetFont(m_font);
    dc->SetTextForeground(*wxBLACK);
    dc->SetPen(*wxBLACK_PEN);
    const int x = m_page.x + m_margin;
    dc->DrawText(wxString::FromUTF8(m_layout->Header(page)), x, m_page.y + m_lineHeight);
    const int ruleY = m_page.y + m_lineHeight * 5 / 2;
    dc->DrawLine(x, ruleY, x + m_textWidth, ruleY);
    int y = m_page.y + 3 * m_lineHeight;
    for (const std::string& line : m_layout->PageLines(page)) {
        dc->DrawText(wxString::FromUTF8(line), x, y);
        y += m_lineHeight;
    }
    return true;
}

namespace brindle {

bool RunDocPrintCommand(wxWindow* view, const CBrindleDoc& doc, int id)
{
    auto text = std::make_shared<const std::string>(doc.GetXmlText());
    const std::string path = doc.GetPathName().utf8_string();
    const std::string title = doc.GetUserReadableName().utf8_string();
    const auto make = [=] { return new CDocPrinter(text, path, title); };
    wxWindow* parent = wxGetTopLevelParent(view);
    switch (id) {
    case ids::ID_FILE_PRINT:
    case ids::ID_FILE_PRINT_DIRECT: return RunPrint(parent, make(), id == ids::ID_FILE_PRINT);
    case ids::ID_FILE_PRINT_PREVIEW: return RunPreview(parent, make, wxString::FromUTF8(title));
    default: return false;
    }
}

} // namespace brindle
