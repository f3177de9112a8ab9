// Printing a text view into a PDF file and reading it back; the print preview and
// the page setup dialog.
#include "brindlekit/text/EditView.h"
#include "brindlekit/text/TextBuffer.h"
#include "brindlekit/text/TextCommandIds.h"
#include "brindlekit/text/TextPrintLayout.h"
#include "brindlekit/text/TextPrintout.h"
#include "platform/settings/Profile.h"
#include "tests/support/GuiTestMain.h"
#include "tests/support/PdfOutput.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/generic/prntdlgg.h>
#include <wx/print.h>
#include <wx/wx.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace brindle;
using namespace brindle::textcmd;

namespace {

class TextPrintGui : public ::testing::Test {
protected:
    TextPrintGui()
    {
        frame = new wxFrame(nullptr, wxID_ANY, "print", wxDefaultPosition, wxSize(640, 400));
        view = new CEditView(frame, wxID_ANY);
        view->SetTabSize(4);
        frame->Show();
        test::PumpEvents();
        WritePageMargins(PageMargins());
    }
    ~TextPrintGui() override
    {
        view->DetachFromBuffer();
        frame->Destroy();
        test::PumpEvents();
        WritePageMargins(PageMargins());
    }

    void SetText(const std::vector<std::string>& lines)
    {
        buffer.InitNew();
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
        int el = 0, ec = 0;
        if (!text.empty()) buffer.InsertText(nullptr, 0, 0, text, el, ec, 0);
        view->AttachToBuffer(&buffer);
    }

    // Prints the view's printout into a PDF; its path, or empty on failure.
    std::string PrintToPdf(const std::string& name)
    {
        const std::string path = (dir.path() / name).string();
        std::unique_ptr<wxPrintout> printout(view->CreatePrintout());
        return test::PrintoutToPdf(*printout, path) ? path : std::string();
    }

    test::TempDir dir;
    wxFrame* frame = nullptr;
    CEditView* view = nullptr;
    CTextBuffer buffer;
};

#define REQUIRE_PDFTOTEXT()                                                                                    \
    if (!test::HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: scripts/setup.sh"

std::string Joined(const std::vector<test::PdfWord>& words)
{
    std::string text;
    for (const auto& w : words) text += w.text;
    return text;
}

} // namespace

TEST_F(TextPrintGui, EveryLinePrintsOnceOnItsPageUnderTheFooter)
{
    REQUIRE_PDFTOTEXT();
    std::vector<std::string> lines;
    std::string longLine;
    for (int w = 0; w < 80; ++w) longLine += "w" + std::to_string(1000 + w) + " ";
    for (int i = 0; i < 300; ++i) lines.push_back(i == 130 ? longLine : "line" + std::to_string(1000 + i) + " text");
    SetText(lines);
    const std::string pdf = PrintToPdf("lines.pdf");
    ASSERT_FALSE(pdf.empty()) << "no PDF written";

    const std::vector<std::string> pages = test::PdfPages(pdf);
    ASSERT_GE(pages.size(), 3u);
    const int count = static_cast<int>(pages.size());
    for (int p = 1; p <= count; ++p) {
        const std::string footer = "页 " + std::to_string(p) + "/" + std::to_string(count);
        EXPECT_NE(pages[static_cast<std::size_t>(p - 1)].find(footer), std::string::npos) << "page " << p;
    }

    // Every line once and in order; the wrapped line's words whole on one page.
    std::vector<int> printed;
    std::map<int, int> longLinePages;
    for (const auto& word : test::PdfWords(pdf)) {
        if (word.text.rfind("line", 0) == 0) printed.push_back(std::stoi(word.text.substr(4)) - 1000);
        if (word.text.size() == 5 && word.text[0] == 'w') ++longLinePages[word.page];
    }
    std::vector<int> expected;
    for (int i = 0; i < 300; ++i)
        if (i != 130) expected.push_back(i);
    EXPECT_EQ(printed, expected);
    ASSERT_EQ(longLinePages.size(), 1u);
    EXPECT_EQ(longLinePages.begin()->second, 80);
}

TEST_F(TextPrintGui, TabsAndWideCharactersLandWhereTheLayoutPutsThem)
{
    REQUIRE_PDFTOTEXT();
    std::string wide;
    for (int i = 0; i < 90; ++i) wide += i % 2 ? "文" : "中";
    SetText({"a\tb", "a   b", "ab\tc", wide});
    const std::string pdf = PrintToPdf("tabs.pdf");
    ASSERT_FALSE(pdf.empty());
    const std::vector<test::PdfWord> words = test::PdfWords(pdf);
    auto find = [&](const std::string& text, int nth) {
        for (const auto& w : words)
            if (w.text == text && nth-- == 0) return w;
        ADD_FAILURE() << "no word " << text;
        return test::PdfWord();
    };
    // "b" after a tab sits where it does after three spaces; "c" after "ab" and a tab too.
    EXPECT_NEAR(find("b", 0).xMin, find("b", 1).xMin, 0.5);
    EXPECT_NEAR(find("c", 0).xMin, find("b", 1).xMin, 0.5);

    // The wide line wraps inside the right margin (10 mm = 28.3 points) and loses nothing.
    std::vector<test::PdfWord> cjk;
    for (const auto& w : words)
        if (w.text.rfind("中", 0) == 0 || w.text.rfind("文", 0) == 0) cjk.push_back(w);
    std::stable_sort(cjk.begin(), cjk.end(), [](const auto& a, const auto& b) { return a.yMin < b.yMin - 1; });
    EXPECT_EQ(Joined(cjk), wide);
    const double pageWidth = 595.0; // A4, the file printer's default
    double widest = 0;
    for (const auto& w : cjk) {
        EXPECT_LE(w.xMax, pageWidth - 28.3);
        widest = std::max(widest, w.xMax);
    }
    EXPECT_GT(widest, pageWidth * 0.7) << "the wide line wrapped early";
}

TEST_F(TextPrintGui, MarginsFromPageSetupMoveTheTextOfTheNextPrint)
{
    REQUIRE_PDFTOTEXT();
    SetText({"first", "second"});
    const std::string narrow = PrintToPdf("narrow.pdf");
    WritePageMargins({3000, 1000, 1000, 1000});
    const std::string wide = PrintToPdf("wide.pdf");
    ASSERT_FALSE(narrow.empty());
    ASSERT_FALSE(wide.empty());
    const double before = test::PdfWords(narrow).at(0).xMin;
    const double after = test::PdfWords(wide).at(0).xMin;
    EXPECT_NEAR(after - before, 20 / 25.4 * 72, 1.5); // 20 mm further right

    // An empty text: one page with only its footer.
    SetText({});
    const std::string empty = PrintToPdf("empty.pdf");
    ASSERT_FALSE(empty.empty());
    const std::vector<test::PdfWord> words = test::PdfWords(empty);
    ASSERT_EQ(test::PdfPages(empty).size(), 1u);
    std::string all;
    for (const auto& w : words) all += w.text + " ";
    EXPECT_EQ(all, "页 1/1 ");
}

TEST_F(TextPrintGui, PreviewShowsThePagesAndCloses)
{
    std::vector<std::string> lines(10000);
    for (int i = 0; i < 10000; ++i) lines[static_cast<std::size_t>(i)] = "<item n=\"" + std::to_string(i) + "\"/>";
    SetText(lines);
    ASSERT_TRUE(view->IsCommandEnabled(ID_FILE_PRINT_PREVIEW));
    ASSERT_TRUE(view->ExecuteCommand(ID_FILE_PRINT_PREVIEW));
    test::PumpEvents();
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<wxPreviewFrame*>(window)) preview = found;
    ASSERT_NE(preview, nullptr);
    wxPrintPreviewBase* pages = nullptr;
    for (wxWindow* child : preview->GetChildren())
        if (auto* bar = dynamic_cast<wxPreviewControlBar*>(child)) pages = bar->GetPrintPreview();
    ASSERT_NE(pages, nullptr);
    // 10,000 one-row lines at 8 points: some 90 lines a page.
    EXPECT_GT(pages->GetMaxPage(), 50);
    EXPECT_LT(pages->GetMaxPage(), 200);
    EXPECT_TRUE(pages->SetCurrentPage(pages->GetMaxPage()));
    preview->Close(true);
    test::PumpEvents();
    for (wxWindow* window : wxTopLevelWindows) EXPECT_EQ(dynamic_cast<wxPreviewFrame*>(window), nullptr);

    // Half the screen size, but readable.
    EXPECT_EQ(CTextPrintout::ScaledPrintFont(wxFont(wxFontInfo(24))).GetFractionalPointSize(), 12.0);
    EXPECT_EQ(CTextPrintout::ScaledPrintFont(wxFont(wxFontInfo(10))).GetFractionalPointSize(),
              CTextPrintout::kMinPrintPoints);

    // Without a buffer there is nothing to print.
    view->DetachFromBuffer();
    EXPECT_FALSE(view->IsCommandEnabled(ID_FILE_PRINT));
    EXPECT_TRUE(view->IsCommandEnabled(ID_FILE_PAGE_SETUP));
}

TEST_F(TextPrintGui, PageSetupWritesTheMarginsOnOkOnly)
{
    WritePageMargins({1234, 1000, 1000, 1000});
    auto answer = [](const char* left, int button) {
        wxTheApp->CallAfter([left, button] {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<wxGenericPageSetupDialog*>(window)) {
                    EXPECT_FALSE(dialog->m_paperTypeChoice && dialog->m_paperTypeChoice->IsEnabled());
                    EXPECT_EQ(dialog->m_marginLeftText->GetValue(), "12");
                    dialog->m_marginLeftText->SetValue(left);
                    dialog->m_marginBottomText->SetValue("25");
                    wxCommandEvent click(wxEVT_BUTTON, button);
                    dialog->ProcessWindowEvent(click);
                }
        });
    };
    answer("40", wxID_CANCEL);
    EXPECT_TRUE(view->ExecuteCommand(ID_FILE_PAGE_SETUP));
    EXPECT_EQ(ReadPageMargins().left, 1234);

    answer("12", wxID_OK);
    EXPECT_TRUE(view->ExecuteCommand(ID_FILE_PAGE_SETUP));
    const PageMargins margins = ReadPageMargins();
    EXPECT_EQ(margins.left, 1234); // unchanged in whole millimetres: kept exactly
    EXPECT_EQ(margins.bottom, 2500);
    EXPECT_EQ(margins.right, 1000);
}
