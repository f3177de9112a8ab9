#pragma once

#include "brindlekit/text/TextPrintLayout.h"
#include "platform/Export.h"

#include <wx/font.h>
#include <wx/print.h>

#include <string>
#include <vector>

namespace brindle {

class CTextBuffer;

// Prints a text as plain text: the lines as they were when the printout was made,
// tabs expanded, word-wrapped, without colours or selection, in the view's font at
// half its screen size (but not below kMinPrintPoints, which stays readable on
// paper). The pages are laid out once, when the job starts, with the margins the
// settings hold then; a page shows the header (off by default) and the footer
// "页 n/N" (on by default).
class BRINDLEKIT_API CTextPrintout : public wxPrintout {
public:
    static constexpr double kMinPrintPoints = 8.0;

    CTextPrintout(const CTextBuffer& buffer, int tabSize, const wxFont& viewFont,
                  const wxString& title = wxString::FromUTF8("Brindle"));

    void SetPrintHeader(bool on) { m_header = on; }
    void SetPrintFooter(bool on) { m_footer = on; }
    // The layout of the job in progress (empty before the first page and after the end).
    const TextPrintLayout& Layout() const { return m_layout; }
    // The font a view font prints in.
    static wxFont ScaledPrintFont(const wxFont& viewFont);

    // Texts of the header and footer; empty ones are not drawn.
    virtual wxString GetPrintHeaderText(int page) const;
    virtual wxString GetPrintFooterText(int page) const;

    // wxPrintout
    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selPageFrom, int* selPageTo) override;
    bool OnPrintPage(int page) override;
    void OnEndPrinting() override;

private:
    // Puts the printable area's units on the DC; false when there is no DC.
    bool PrepareDC();
    void EnsureLayout();

    std::vector<std::string> m_lines;
    wxFont m_font;
    bool m_header = false;
    bool m_footer = true;
    bool m_laidOut = false;
    TextPrintLayout m_layout;
};

} // namespace brindle
