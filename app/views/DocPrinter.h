#pragma once

#include "app/views/DocPrintLayout.h"

#include <memory>
#include <optional>
#include <string>
#include <wx/font.h>
#include <wx/print.h>

class CBrindleDoc;

// Prints a document's XML text from the node views: numbered lines under a
// header, in Courier New 10 pt (fontconfig picks its metric twin, or the
// monospace font, where it is missing). The page is measured with that font on
// the job's device when the job begins; each page is drawn when it is asked
// for, so a long document previews without drawing all of it.
class CDocPrinter : public wxPrintout {
public:
    // The text (shared by the printouts of one preview), the document's path
    // name and title, taken when the job starts.
    CDocPrinter(std::shared_ptr<const std::string> text, std::string pathName, std::string title);

    void OnPreparePrinting() override;
    void OnEndPrinting() override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool HasPage(int page) override;
    bool OnPrintPage(int page) override;

private:
    std::shared_ptr<const std::string> m_text;
    std::string m_pathName;
    std::string m_title;
    // The measurements on the device, in its pixels.
    wxFont m_font;
    wxRect m_page;
    int m_margin = 0;
    int m_textWidth = 0;
    int m_lineHeight = 1;
    std::optional<DocPrintLayout> m_layout;
};

namespace brindle {

// Print (with the dialog), Print Direct (without it) or Print Preview of the
// document's XML from a node view. False when nothing was printed or shown.
bool RunDocPrintCommand(wxWindow* view, const CBrindleDoc& doc, int id);

} // namespace brindle
