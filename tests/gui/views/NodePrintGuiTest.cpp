// Printing the document's XML from the node tree and the node list view: the
// pages as a PDF file read back as text, and the preview.
#include "app/views/BrindleView.h"
#include "app/views/LeftView.h"
#include "resources/CommandIds.h"
#include "tests/gui/views/NodeViewFixture.h"
#include "tests/support/PdfPrinting.h"
#include "tests/support/TempDir.h"

#include <regex>
#include <sstream>
#include <wx/print.h>
#include <wx/sizer.h>

using namespace brindle;
using namespace ids;

namespace {

// One printed page read back: its header and its body lines with their numbers.
struct PrintedPage {
    std::string header;
    std::vector<int> numbers;
    std::vector<std::string> lines;
};

std::vector<PrintedPage> ReadPages(const std::string& pdfText)
{
    static const std::regex body(R"(^\s*(\d+)> (.*?)\s*$)");
    std::vector<PrintedPage> pages;
    std::istringstream all(pdfText);
    for (std::string pageText; std::getline(all, pageText, '\f');) {
        if (pageText.find_first_not_of(" \n") == std::string::npos) continue;
        PrintedPage page;
        std::istringstream lines(pageText);
        for (std::string line; std::getline(lines, line);) {
            std::smatch match;
            if (std::regex_match(line, match, body)) {
                page.numbers.push_back(std::stoi(match[1]));
                page.lines.push_back(match[2]);
            } else if (page.header.empty() && line.find_first_not_of(' ') != std::string::npos) {
                page.header = line.substr(line.find_first_not_of(' '));
            }
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

class NodePrintTest : public NodeViewFixture {
protected:
    template <class View> View& Show(View* view)
    {
        wxWindow* frame = view->GetParent();
        frame->SetSizer(new wxBoxSizer(wxVERTICAL));
        frame->GetSizer()->Add(view, 1, wxEXPAND);
        frame->Layout();
        test::PumpEvents();
        return *view;
    }
    test::TempDir dir;
};

} // namespace

TEST_F(NodePrintTest, TheTreePrintsNumberedLinesUnderTheHeaderPageAfterPage)
{
    if (!test::HasPdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    // Enough short lines for three pages, then one line far wider than a page.
    std::string xml = "<catalog>\n";
    for (int i = 1; i <= 200; ++i) xml += "<item n=\"" + std::to_string(i) + "\"/>\n";
    std::string wide;
    for (int i = 0; i < 40; ++i) wide += "segment" + std::to_string(100 + i) + "-";
    xml += "<long v=\"" + wide + "\"/>\n</catalog>";
    CBrindleDoc& doc = NewDoc(xml);
    const std::string path = (dir.path() / "catalog.xml").string();
    doc.SetFilename(wxString::FromUTF8(path), false);
    CLeftView& tree = Show(new CLeftView(NewFrame(), &doc));
    tree.OnInitialUpdate();

    const std::string pdf = (dir.path() / "out.pdf").string();
    test::PrintJobsToPdf(pdf);
    EXPECT_TRUE(tree.IsCommandEnabled(ID_FILE_PRINT));
    test::PrintDialogAnswer answer;
    ASSERT_TRUE(tree.ExecuteCommand(ID_FILE_PRINT));
    EXPECT_TRUE(answer.Answered());
    EXPECT_TRUE(ui.messages.empty());
    const std::vector<PrintedPage> pages = ReadPages(test::PdfText(pdf));
    ASSERT_GE(pages.size(), 2U);

    // The header: the path, the page number at its end.
    EXPECT_EQ(pages[0].header.rfind(path, 0), 0U) << pages[0].header;
    EXPECT_TRUE(pages[0].header.ends_with("Page 1")) << pages[0].header;
    EXPECT_TRUE(pages[1].header.ends_with("Page 2")) << pages[1].header;

    // Each page numbers its lines from 00; the first page holds as many as fit.
    const size_t perPage = pages[0].lines.size();
    ASSERT_GT(perPage, 20U);
    for (const PrintedPage& page : pages)
        for (size_t i = 0; i < page.numbers.size(); ++i) EXPECT_EQ(page.numbers[i], static_cast<int>(i));
    std::vector<std::string> docLines;
    std::istringstream text(doc.GetXmlText());
    for (std::string line; std::getline(text, line);) docLines.push_back(line);
    ASSERT_GT(docLines.size(), perPage + 1);
    EXPECT_EQ(pages[1].lines.front(), docLines[perPage]);

    // Every character arrives, in order: the wide line goes on over several lines.
    std::string printed, expected;
    for (const PrintedPage& page : pages)
        for (const std::string& line : page.lines) printed += line;
    for (const std::string& line : docLines) expected += line;
    EXPECT_EQ(printed, expected);
    EXPECT_NE(printed.find(wide), std::string::npos);
}

TEST_F(NodePrintTest, ThePreviewOpensFromTheNodeListView)
{
    CBrindleDoc& doc = NewDoc("<catalog><item/></catalog>");
    CBrindleView& view = Show(new CBrindleView(NewFrame(), &doc));

    wxUpdateUIEvent update(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(view.GetEventHandler()->ProcessEvent(update));
    EXPECT_TRUE(update.GetEnabled());
    wxCommandEvent preview(wxEVT_MENU, ID_FILE_PRINT_PREVIEW);
    view.GetEventHandler()->ProcessEvent(preview);
    test::PumpEvents();
    EXPECT_TRUE(ui.messages.empty()) << ui.Texts().front();

    wxPreviewFrame* shown = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<wxPreviewFrame*>(window)) shown = frame;
    ASSERT_TRUE(shown);
    wxPrintPreviewBase* previewed = nullptr;
    for (wxWindow* child : shown->GetChildren())
        if (auto* bar = dynamic_cast<wxPreviewControlBar*>(child)) previewed = bar->GetPrintPreview();
    ASSERT_TRUE(previewed);
    EXPECT_EQ(previewed->GetMaxPage(), 1);
    EXPECT_TRUE(previewed->GetPrintout()->HasPage(1));
    shown->Destroy();
    test::PumpEvents();
}
