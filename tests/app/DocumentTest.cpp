#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/document/CrLfBreaks.h"
#include "app/document/DiskChangeWatch.h"
#include "app/document/EncodedText.h"
#include "app/document/DocErrors.h"
#include "app/document/DomMemory.h"
#include "app/document/RemoteTransfer.h"
#include "brindlekit/text/TextBufferFiller.h"
#include "platform/ui/ProgressScope.h"
#include "resources/CommandIds.h"
#include "tests/app/DocManagerFixture.h"
#include "tests/support/ParseXml.h"
#include "tests/support/RecordingUIServices.h"

#include <cstring>
#include <map>
#include <memory>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

class DocumentTest : public DocManagerFixture {
protected:
    std::unique_ptr<CBrindleDoc> Open(const std::string& name, const std::string& bytes)
    {
        const auto path = dir / name;
        test::WriteFile(path, bytes);
        auto doc = std::make_unique<CBrindleDoc>();
        EXPECT_TRUE(doc->OnOpenDocument(wxString::FromUTF8(path.string())));
        doc->Errors().Tell(); // as opening a file in the program does
        doc->SetFilename(wxString::FromUTF8(path.string()));
        return doc;
    }

    // Replaces the whole source text, as typing in the source view would.
    static void SetText(CBrindleDoc& doc, const std::string& text)
    {
        auto& buffer = doc.GetTextBuffer();
        const int last = buffer.GetLineCount() - 1;
        buffer.DeleteText(nullptr, 0, 0, last, buffer.GetLineLength(last), 1);
        int endLine = 0, endChar = 0;
        buffer.InsertText(nullptr, 0, 0, text, endLine, endChar, 1);
    }

    test::RecordingUIServices ui;
};

const std::string kCatalog = "<?xml version=\"1.0\"?>\n<catalog><book id=\"b1\">Title</book></catalog>\n";

} // namespace

TEST_F(DocumentTest, NewDocumentHoldsTheDefaultRootAndAnEmptyText)
{
    CBrindleDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.IsNew());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.GetDomDocument());
    EXPECT_EQ(doc.GetDomDocument()->documentElement()->nodeName(), "rootnode");
    EXPECT_EQ(GetWholeText(doc.GetTextBuffer()), "");
    doc.RegenerateText();
    EXPECT_NE(GetWholeText(doc.GetTextBuffer()).find("<rootnode/>"), std::string::npos);
    EXPECT_TRUE(doc.IsTreeRebuildPending());
}

TEST_F(DocumentTest, WellFormedFileLoadsIntoTheDomAndStaysInItsView)
{
    auto doc = Open("catalog.xml", kCatalog);
    EXPECT_TRUE(doc->IsDomValid());
    EXPECT_FALSE(doc->IsNew());
    EXPECT_FALSE(doc->TakeShowAsSource());
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->nodeName(), "catalog");

    brindle::Profile::WriteProfileInt("Settings", "startWithSourceView", 1);
    auto again = Open("catalog2.xml", kCatalog);
    EXPECT_FALSE(again->IsDomValid()); // opened as text only
    EXPECT_TRUE(again->TakeShowAsSource());
    EXPECT_FALSE(again->TakeShowAsSource());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, MalformedFileOpensWithItsRawTextUntilTheTextParses)
{
    const std::string broken = "<a>\r\n  <b>\r\n</a>";
    auto doc = Open("broken.xml", broken);
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_TRUE(doc->TakeShowAsSource());
    EXPECT_EQ(doc->GetXmlText(), "");
    std::string formatted;
    EXPECT_FALSE(doc->AutoFormat(doc->GetDomDocument(), formatted, 0));
    EXPECT_EQ(doc->Errors().Take(), "Auto format only works on documents that are valid XML.");

    // HTML that is not XML is edited as text, without the error at opening.
    auto page = Open("page.xml", "\xEF\xBB\xBF\r\n<!DOCTYPE HTML><p>one<br>two");
    EXPECT_EQ(page->EnterSourceMode(), CBrindleDoc::SourceEntry::HtmlAsText);
    page->EnterTreeMode();
    EXPECT_EQ(page->EnterSourceMode(), CBrindleDoc::SourceEntry::Validate); // told once
    EXPECT_TRUE(CBrindleDoc::LooksLikeHtml("/out/result.HTM", "<table>"));
    EXPECT_TRUE(CBrindleDoc::LooksLikeHtml("result", " <html lang=\"en\">"));
    EXPECT_FALSE(CBrindleDoc::LooksLikeHtml("result.xml", "<root><br></root>"));

    doc->RegenerateText();
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), broken); // the file's bytes as loaded
    XmlParseError error;
    EXPECT_FALSE(doc->CheckSourceParses(error));
    EXPECT_NE(error.errorCode, 0u);
    EXPECT_EQ(error.line, 3);
    const CBrindleDoc::SourceExit refused = doc->LeaveSourceMode(); // the text stays the edited form
    EXPECT_FALSE(refused.left);
    EXPECT_EQ(refused.message.rfind("Source XML document contains errors.", 0), 0u);
    EXPECT_NE(refused.message.find("Line 3"), std::string::npos);
    EXPECT_FALSE(doc->IsDomValid());

    // Saving while nothing parses writes the text, never an empty DOM.
    const auto copy = (dir / "copy.xml").string();
    EXPECT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(copy)));
    EXPECT_EQ(test::ReadFile(copy), broken);

    SetText(*doc, "<a>\r\n  <b/>\r\n</a>");
    ASSERT_TRUE(doc->CheckSourceParses(error));
    doc->ParseText();
    EXPECT_TRUE(doc->IsDomValid());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->childNodes()->length(), 3);
}

TEST_F(DocumentTest, TextAndDomCarryEditsAcrossAndKeepHeldNodesAlive)
{
    auto doc = Open("catalog.xml", kCatalog);
    XmlNodePtr held = doc->GetDomDocument()->documentElement()->firstChild();
    doc->SetCurrentNode(held);

    doc->RegenerateText();
    EXPECT_EQ(doc->GetTextBuffer().GetLineCount(), 3); // the parser's line feeds are line breaks
    EXPECT_FALSE(doc->GetTextBuffer().IsModified());
    EXPECT_FALSE(doc->IsModified());
    // A last line without a line break is part of the text.
    SetText(*doc, "<catalog><book id=\"b2\">New</book></catalog>");
    EXPECT_TRUE(doc->IsModified());
    XmlParseError error;
    ASSERT_TRUE(doc->CheckSourceParses(error));
    doc->ParseText();
    auto book = doc->GetDomDocument()->documentElement()->firstChild()->asElement();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->getAttribute("id"), "b2");
    // The node the tree held belongs to the old content and is still usable.
    EXPECT_EQ(held->nodeName(), "book");
    EXPECT_EQ(held->text(), "Title");
    // The document itself holds nothing of the old content: its current node is
    // the one at the same path in the new tree.
    EXPECT_EQ(doc->GetCurrentNode(), book);
}

TEST_F(DocumentTest, ParseCheckClearsErrorMarksAndLeavesTheDomAlone)
{
    auto doc = Open("catalog.xml", kCatalog);
    doc->RegenerateText();
    doc->GetTextBuffer().SetLineFlag(0, LINEF_BOOKMARK, true);
    SetText(*doc, "<catalog>");
    XmlParseError error;
    EXPECT_FALSE(doc->CheckSourceParses(error));
    EXPECT_EQ(doc->GetTextBuffer().GetLineWithFlag(LINEF_BOOKMARK), -1);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->nodeName(), "catalog");
    EXPECT_TRUE(doc->GetDomDocument()->documentElement()->hasChildNodes());
}

TEST_F(DocumentTest, ValidateMakesTheIncludesOnlyWhenSetTo)
{
    auto doc = Open("including.xml", "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\">\r\n"
                                     "  <xi:include href=\"gone.xml\"/>\r\n</r>");
    doc->RegenerateText();
    XmlParseError error;
    EXPECT_TRUE(doc->CheckSourceParses(error)) << error.reason;
    EXPECT_TRUE(doc->ValidateSource().errors.empty());
    brindle::Profile::WriteProfileInt("Settings", "processXIncludes", 1);
    EXPECT_FALSE(doc->CheckSourceParses(error));
    EXPECT_NE(error.reason.find("gone.xml"), std::string::npos) << error.reason;
    // Validate, which lists the errors, makes them too.
    const ValidationReport report = doc->ValidateSource();
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors.front().reason.find("gone.xml"), std::string::npos) << report.errors.front().reason;
    EXPECT_NE(GetWholeText(doc->GetTextBuffer()).find("<xi:include"), std::string::npos);
}

TEST_F(DocumentTest, SavingWritesTheEditedForm)
{
    auto doc = Open("catalog.xml", kCatalog);
    const auto out = (dir / "out.xml").string();

    // Unchanged: the file's own bytes.
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out)));
    EXPECT_EQ(test::ReadFile(out), kCatalog);

    // Changed through the DOM: the DOM.
    doc->GetDomDocument()->documentElement()->asElement()->setAttribute("lang", "en");
    doc->MarkDomChanged();
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out)));
    EXPECT_NE(test::ReadFile(out).find("<catalog lang=\"en\">"), std::string::npos);
    EXPECT_FALSE(doc->IsModified());

    // Changed as text while the source is the edited form: the text.
    doc->RegenerateText();
    doc->SetSourceIsMaster(true);
    SetText(*doc, "<catalog/>\r\n");
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out)));
    EXPECT_EQ(doc->GetTextBuffer().GetCRLFMode(), EOL_LF); // the file's line feeds
    EXPECT_EQ(test::ReadFile(out), "<catalog/>\n");
    EXPECT_FALSE(doc->GetTextBuffer().IsModified());
}

TEST_F(DocumentTest, FilesInOtherEncodingsBecomeUtf8TextAndGoBackAsTheyCame)
{
    // Unfinished documents, so the text comes from the file rather than the DOM.
    struct Case {
        std::string name, bytes, utf8;
    } cases[] = {
        {"latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<a>caf\xE9", 
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<a>caf\xC3\xA9"},
        {"bom8.xml", "\xEF\xBB\xBF<a>\xC3\xA9", "<a>\xC3\xA9"},
        {"utf16.xml", std::string("\xFF\xFE<\0a\0>\0\xE9\0\r\0\n\0x\0", 16), "<a>\xC3\xA9\r\nx"},
    };
    for (const auto& c : cases) {
        auto doc = Open(c.name, c.bytes);
        ASSERT_FALSE(doc->IsDomValid()) << c.name;
        doc->RegenerateText();
        EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), c.utf8) << c.name;
        doc->SetSourceIsMaster(true);
        const auto out = (dir / ("out-" + c.name)).string();
        ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out))) << c.name;
        EXPECT_EQ(test::ReadFile(out), c.bytes) << c.name;
    }

    // A well-formed Latin-1 document reads into the DOM with its characters intact.
    auto doc = Open("ok.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>caf\xE9</a>\n");
    ASSERT_TRUE(doc->IsDomValid());
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->text(), "caf\xC3\xA9");
    // Text that the file's encoding cannot hold is refused with a message, and
    // the file keeps what it had.
    doc->RegenerateText();
    doc->SetSourceIsMaster(true);
    SetText(*doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xE4\xB8\xAD</a>");
    const auto path = (dir / "ok.xml").string();
    const std::string before = test::ReadFile(path);
    EXPECT_FALSE(doc->OnSaveDocument(wxString::FromUTF8(path)));
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_NE(doc->Errors().Take().find("ISO-8859-1"), std::string::npos);
}

TEST(TextEncoding, DetectsMarksAndDeclarations)
{
    EXPECT_EQ(DetectEncoding("<a/>"), FileEncoding{});
    EXPECT_EQ(DetectEncoding("<?xml version='1.0' encoding='utf-8'?>"), FileEncoding{});
    EXPECT_EQ(DetectEncoding("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a/>").name, "ISO-8859-1");
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF<a/>"), (FileEncoding{"UTF-8", true}));
    EXPECT_EQ(DetectEncoding("\xFE\xFF\0<"), (FileEncoding{"UTF-16BE", true}));
    // Encoding named outside the declaration does not count.
    EXPECT_EQ(DetectEncoding("<a encoding=\"latin1\"/>"), FileEncoding{});

    std::string out, error;
    EXPECT_FALSE(DecodeToUtf8("caf\xE9", FileEncoding{}, out, error)); // not UTF-8
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(EncodeFromUtf8("\xC3\xA9", {"UTF-16BE", true}, out, error));
    EXPECT_EQ(out, std::string("\xFE\xFF\0\xE9", 4));
    EXPECT_FALSE(EncodeFromUtf8("x", {"NO-SUCH-CHARSET", false}, out, error));
}

TEST_F(DocumentTest, BadParserIdentifierIsResetWhenADomIsCreated)
{
    Settings::WriteParserAppId("{F6D90F11-9C73-11D3-B32E-00C04F990BB4}"); // class ids are not taken here
    CBrindleDoc doc;
    EXPECT_TRUE(doc.CreateDom());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Stored("parserAppId"), "Msxml2.DOMDocument");
}

TEST(DocumentErrors, ParseErrorBoxTextAndTheErrorChannel)
{
    XmlParseError error;
    error.errorCode = 0xC00CE502u;
    error.line = 3;
    error.linepos = 7;
    error.filepos = 42;
    error.reason = "End tag does not match.";
    error.srcText = "</b>";
    EXPECT_EQ(CBrindleDoc::FormatDomError("Error loading file in to DOM.", "Unspecified error", error),
              "Error loading file in to DOM. \n\nUnspecified error \n\nDOM Error:\t 3222070530\nDOM Line:\t 3\n"
              "DOM linepos:\t 7\nDOM filepos:\t 42\nDOM reason:\t End tag does not match.\nDOM srctext:\t </b>");

    // The errors an operation leaves are taken once, joined; none is "", never
    // a stale system message.
    DocErrors errors;
    errors.Add("Cannot delete the document node.");
    errors.Add("failed!", MsgIcon::Warning);
    EXPECT_EQ(errors.Take(), "Cannot delete the document node.\n\nfailed!");
    errno = ENOENT;
    EXPECT_EQ(errors.Take(), "");
}

TEST_F(DocumentTest, DtdDocumentsAreTextWhoseStateIsTheDocuments)
{
    const auto path = dir / "book.dtd";
    const std::string unix = "<!ELEMENT a (#PCDATA)>\n<!ATTLIST a id ID #IMPLIED>\n";
    test::WriteFile(path, unix);
    CBrindleDoc2 doc;
    ASSERT_TRUE(doc.OnOpenDocument(wxString::FromUTF8(path.string())));
    EXPECT_FALSE(doc.IsNew());
    EXPECT_EQ(doc.GetTextBuffer().GetCRLFMode(), EOL_LF);
    int endLine = 0, endChar = 0;
    doc.GetTextBuffer().InsertText(nullptr, 0, 0, "<!-- x -->", endLine, endChar, 1);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(wxString::FromUTF8(path.string())));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(test::ReadFile(path), "<!-- x -->" + unix); // the Unix breaks stay

    CBrindleDoc2 missing;
    EXPECT_FALSE(missing.OnOpenDocument(wxString::FromUTF8((dir / "none.dtd").string())));

    fs::current_path(dir.path());
    CBrindleDoc2 fresh;
    ASSERT_TRUE(fresh.OnNewDocument());
    EXPECT_TRUE(fresh.IsNew());
    EXPECT_EQ(fresh.GetFilename().utf8_string(), (fs::current_path() / "untitled").string());
}

TEST_F(DocumentTest, ReformattingReplacesTheTextWithIndentedXmlAsOneUndoableStep)
{
    auto doc = Open("flat.xml", "<a><b>x</b><c/></a>");
    doc->RegenerateText();
    doc->SetSourceIsMaster(true);
    auto& buffer = doc->GetTextBuffer();
    const std::string opened = GetWholeText(buffer);
    SetText(*doc, "<a><b>x</b><c/><!-- typed --></a>");
    const std::string typed = GetWholeText(buffer);

    ASSERT_TRUE(doc->ReformatSourceText());
    const std::string formatted = GetWholeText(buffer);
    EXPECT_EQ(formatted, "<a>\r\n\t<b>x</b>\r\n\t<c/>\r\n\r\n<!-- typed -->\r\n</a>\r\n");
    EXPECT_TRUE(doc->IsModified());
    XmlParseError error;
    EXPECT_TRUE(doc->CheckSourceParses(error));
    doc->ParseText();
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->firstChild()->nextSibling()->nodeName(), "b");

    // Undo brings the text before back exactly, and the edits before it stay in
    // the history; Redo formats again.
    CPoint cursor;
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(GetWholeText(buffer), typed);
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(GetWholeText(buffer), formatted);
    // Formatting a formatted text changes nothing and is no step.
    ASSERT_TRUE(doc->ReformatSourceText());
    EXPECT_EQ(GetWholeText(buffer), formatted);
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(GetWholeText(buffer), typed);
    while (buffer.CanUndo()) buffer.Undo(cursor);
    EXPECT_EQ(GetWholeText(buffer), opened);
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(DocumentTest, ReformattedTextKeepsTheReferencesItsEncodingCannotHold)
{
    struct Case {
        std::string name, file, formatted, saved;
    } cases[] = {
        {"ascii.xml", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<a t=\"&#160;\">1&#160;000 &#233;</a>\n",
         "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\r\n<a t=\"&#160;\">1&#160;000 &#233;</a>\r\n",
         "<a t=\"&#160;\">1&#160;000 &#233;</a>"},
        // What the encoding holds may be written as the character.
        {"latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>&#233;&#20013;</a>\n",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<a>\xC3\xA9&#20013;</a>\r\n", "<a>\xE9&#20013;</a>"},
    };
    for (const Case& c : cases) {
        auto doc = Open(c.name, c.file);
        ASSERT_TRUE(doc->IsDomValid()) << c.name;
        const std::string text = doc->GetDomDocument()->documentElement()->text();
        doc->RegenerateText();
        doc->SetSourceIsMaster(true);
        ASSERT_TRUE(doc->ReformatSourceText()) << c.name;
        EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), c.formatted) << c.name;

        const std::string path = (dir / c.name).string();
        ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path))) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
        EXPECT_NE(test::ReadFile(path).find(c.saved), std::string::npos) << test::ReadFile(path);
        auto reread = XmlDocument::Create();
        ASSERT_TRUE(reread->load(path)) << c.name;
        EXPECT_EQ(reread->documentElement()->text(), text) << c.name;
    }
}

TEST_F(DocumentTest, TheFilesOwnTextStaysUntilTheTreeChangesIt)
{
    const std::string file = "<?xml version='1.0'?>\r\n<a  x='1'><b></b>&#65;<!-- c --></a>\r\n";
    auto doc = Open("own.xml", file);
    const std::string path = (dir / "own.xml").string();
    // Through the source view and back, then saved from the tree: byte for byte.
    doc->RegenerateText();
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), file);
    doc->SetSourceIsMaster(true);
    doc->Modify(true); // as the source view's focus does
    XmlParseError error;
    ASSERT_TRUE(doc->CheckSourceParses(error));
    doc->ParseText();
    doc->SetSourceIsMaster(false);
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path)));
    EXPECT_EQ(test::ReadFile(path), file);
    // A text edit is kept as typed.
    int endLine = 0, endChar = 0;
    doc->GetTextBuffer().InsertText(nullptr, 1, 2, " y='2'", endLine, endChar, 1);
    ASSERT_TRUE(doc->CheckSourceParses(error));
    doc->ParseText();
    doc->RegenerateText();
    EXPECT_NE(GetWholeText(doc->GetTextBuffer()).find("<a y='2'  x='1'><b></b>&#65;"), std::string::npos);

    // An edit of the tree's own changes only what it touched.
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "c", std::nullopt, nullptr, ""));
    doc->RegenerateText();
    EXPECT_NE(GetWholeText(doc->GetTextBuffer()).find("<a y='2'  x='1'><b></b>&#65;<!-- c --><c/></a>"),
              std::string::npos);
    EXPECT_EQ(doc->TakeStatusNote(), "");
    // Saved from a tree built from the text: the text with the edit.
    doc->SetSourceIsMaster(false);
    doc->ParseText();
    ASSERT_TRUE(doc->SetNodeValue(doc->GetDomDocument()->documentElement()->getAttributeNode("x"), "3"));
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path)));
    EXPECT_EQ(test::ReadFile(path), "<?xml version='1.0'?>\r\n<a y='2'  x='3'><b></b>&#65;<!-- c --><c/></a>\r\n");
    EXPECT_EQ(doc->TakeStatusNote(), "");
    // One the text cannot take in place is written whole, and says so.
    doc->ParseText();
    ASSERT_TRUE(doc->DeleteNode(doc->GetDomDocument()->firstChild(), nullptr));
    doc->GetDomDocument()->insertBefore(doc->GetDomDocument()->createProcessingInstruction(
                                            "xml", "version='1.0' encoding='ISO-8859-1'"),
                                        doc->GetDomDocument()->firstChild());
    doc->RegenerateText();
    EXPECT_EQ(doc->TakeStatusNote(), "Source text written whole: the encoding changed.");
    EXPECT_NE(GetWholeText(doc->GetTextBuffer()).find("<b/>A"), std::string::npos);

    // With the setting off, the text is always the serialisation.
    brindle::Profile::WriteProfileInt("Settings", "keepOwnText", 0);
    auto plain = Open("own2.xml", file);
    plain->RegenerateText();
    EXPECT_NE(GetWholeText(plain->GetTextBuffer()).find("<b/>A"), std::string::npos);
}

TEST_F(DocumentTest, TreeEditsStayUnsavedWhenTheirTextIsEditedAndUndone)
{
    auto doc = Open("catalog.xml", kCatalog);
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement());
    ASSERT_TRUE(doc->CreateNode(NODE_ELEMENT, "NewChild", std::nullopt, nullptr, ""));
    ASSERT_TRUE(doc->IsModified());

    // The regenerated text, and the reformatted one, differ from the file at
    // every undo position.
    for (bool reformat : {false, true}) {
        doc->RegenerateText();
        doc->SetSourceIsMaster(true);
        if (reformat) {
            ASSERT_TRUE(doc->ReformatSourceText());
        }
        auto& buffer = doc->GetTextBuffer();
        int endLine = 0, endChar = 0;
        buffer.InsertText(nullptr, 0, 0, " ", endLine, endChar, 1);
        CPoint cursor;
        ASSERT_TRUE(buffer.Undo(cursor));
        EXPECT_TRUE(buffer.IsModified());
        XmlParseError error;
        ASSERT_TRUE(doc->CheckSourceParses(error));
        doc->ParseText();
        doc->SetSourceIsMaster(false);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_NE(doc->GetXmlText().find("NewChild"), std::string::npos);
    }
}

TEST_F(DocumentTest, FilesThatDoNotDecodeAreKeptAsTheirBytes)
{
    const std::string cases[] = {
        "<?xml version=\"1.0\" encoding=\"x-no-such-charset\"?>\r\n<a>caf\xE9</a>\r\n",
        "<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\n<a>\xFF\xFE\x8E</a>\n",
        "\xEF\xBB\xBF<a>\xC3</a>",
    };
    int n = 0;
    for (const std::string& bytes : cases) {
        const std::string name = "raw" + std::to_string(++n) + ".xml";
        auto doc = Open(name, bytes);
        ASSERT_FALSE(doc->IsDomValid()) << name;
        // Saved unchanged from the tree, then edited in the source view.
        const auto out = (dir / ("out-" + name)).string();
        ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out))) << name;
        EXPECT_EQ(test::ReadFile(out), bytes) << name;
        doc->RegenerateText();
        doc->SetSourceIsMaster(true);
        auto& buffer = doc->GetTextBuffer();
        int endLine = 0, endChar = 0;
        buffer.InsertText(nullptr, 0, 0, "<!--e-->", endLine, endChar, 1);
        ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out))) << name;
        EXPECT_EQ(test::ReadFile(out), "<!--e-->" + bytes) << name;
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    }
}

// A file's encoding and byte-order mark survive every sequence of mode
// switches, edits and saves.
TEST_F(DocumentTest, EncodingAndByteOrderMarkSurviveEveryPathToTheFile)
{
    const auto utf16 = [](const std::string& ascii, bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char c : ascii) {
            const char lo = c == '\x01' ? '\xE9' : c; // \x01 stands for U+00E9
            out += little ? std::string{lo, '\0'} : std::string{'\0', lo};
        }
        return out;
    };
    const std::string decl16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n";
    struct Case {
        std::string name, bytes, head; // head: how every saved file must begin
    } cases[] = {
        {"bom8.xml", "\xEF\xBB\xBF<a>\xC3\xA9</a>\n", "\xEF\xBB\xBF<"},
        {"bom8decl.xml", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xC3\xA9</a>\n", "\xEF\xBB\xBF<"},
        {"le.xml", utf16(decl16 + "<a>\x01</a>\n", true), std::string("\xFF\xFE<\0", 4)},
        {"be.xml", utf16(decl16 + "<a>\x01</a>\n", false), std::string("\xFE\xFF\0<", 4)},
        {"le-nodecl.xml", utf16("<a>\x01</a>\n", true), std::string("\xFF\xFE<\0", 4)},
        {"latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a>\xE9</a>\n", "<?xml"},
        {"plain.xml", "<a>\xC3\xA9</a>\n", "<a"},
    };
    enum Step { Switch, Edit, Save };
    for (const auto& c : cases) {
        for (int code = 0; code < 27; ++code) {
            const Step steps[] = {Step(code % 3), Step(code / 3 % 3), Step(code / 9 % 3), Save};
            auto doc = Open(c.name, c.bytes);
            ASSERT_TRUE(doc->IsDomValid()) << c.name;
            const std::string path = (dir / c.name).string();
            bool source = false;
            std::string trace;
            for (Step step : steps) {
                trace += "SES"[step];
                trace += step == Switch ? (source ? "<" : ">") : "";
                if (step == Switch && !source) {
                    doc->RegenerateText();
                    doc->SetSourceIsMaster(true);
                    source = true;
                } else if (step == Switch) {
                    XmlParseError error;
                    ASSERT_TRUE(doc->CheckSourceParses(error)) << c.name << " " << trace << ": " << error.reason;
                    doc->ParseText();
                    doc->SetSourceIsMaster(false);
                    source = false;
                } else if (step == Edit && source) {
                    auto& buffer = doc->GetTextBuffer();
                    const int last = buffer.GetLineCount() - 1;
                    int endLine = 0, endChar = 0;
                    buffer.InsertText(nullptr, last, buffer.GetLineLength(last), "<!--e-->", endLine, endChar, 1);
                } else if (step == Edit) {
                    doc->GetDomDocument()->documentElement()->setAttribute("n", "\xC3\xA9");
                    doc->MarkDomChanged();
                } else {
                    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path))) << c.name << " " << trace;
                    const std::string saved = test::ReadFile(path);
                    EXPECT_EQ(saved.substr(0, c.head.size()), c.head) << c.name << " " << trace;
                    auto reread = XmlDocument::Create();
                    ASSERT_TRUE(reread->load(path)) << c.name << " " << trace << ": " << reread->parseError().reason;
                    EXPECT_EQ(reread->documentElement()->text(), "\xC3\xA9") << c.name << " " << trace;
                }
            }
            test::WriteFile(dir / c.name, c.bytes);
        }
    }
}

TEST_F(DocumentTest, TheInternalSubsetIsWrittenAsItStands)
{
    test::WriteFile(dir / "p.dtd", "<!ELEMENT r EMPTY>");
    brindle::Profile::WriteProfileInt("Settings", "keepOwnText", 0); // the DOM's serialisation itself
    // A document type written on one line gets a line break after its "[".
    const std::string remote = "<!DOCTYPE r [<!ENTITY % p SYSTEM \"http://example.invalid/p.dtd\"> %p;]>";
    const std::string local = "<!DOCTYPE r [\n  <!-- local -->\n  <!ENTITY % p SYSTEM \"p.dtd\">\n  %p;\n]>";
    const std::pair<std::string, std::string> cases[] = {
        {remote, "<!DOCTYPE r [\n<!ENTITY % p SYSTEM \"http://example.invalid/p.dtd\"> %p;]>"}, {local, local}};
    for (const auto& [doctype, written] : cases) {
        auto doc = Open("subset.xml", doctype + "\n<r/>\n");
        ASSERT_TRUE(doc->IsDomValid()) << doctype;
        doc->RegenerateText();
        const std::string text = GetWholeText(doc->GetTextBuffer(), "\n");
        EXPECT_NE(text.find(written), std::string::npos) << text;
        EXPECT_EQ(text.find("<!ELEMENT"), std::string::npos) << text;
        XmlParseError error;
        EXPECT_TRUE(doc->CheckSourceParses(error)) << error.reason;
        // Regenerating again gives the same text; a save from the tree writes it.
        doc->ParseText();
        doc->RegenerateText();
        EXPECT_EQ(GetWholeText(doc->GetTextBuffer(), "\n"), text);
        doc->GetDomDocument()->documentElement()->setAttribute("k", "v");
        doc->MarkDomChanged();
        const auto out = (dir / "subset-out.xml").string();
        ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out)));
        EXPECT_NE(test::ReadFile(out).find("%p;"), std::string::npos);
    }
}

namespace {

// What the source text was made of before it was streamed: the whole serialisation
// with bare line feeds turned into CR LF, inserted at once.
std::string WithCrLfBreaks(const std::string& text)
{
    std::string out;
    char previous = 0;
    for (char c : text) {
        if (c == '\n' && previous != '\r') out += '\r';
        out += c;
        previous = c;
    }
    return out;
}

std::vector<std::string> Lines(const CTextBuffer& buffer)
{
    std::vector<std::string> lines;
    for (int i = 0; i < buffer.GetLineCount(); ++i) lines.emplace_back(buffer.GetLineChars(i), buffer.GetLineLength(i));
    return lines;
}

} // namespace

TEST_F(DocumentTest, StreamedTextEqualsTheWholeTextWhereverThePiecesAreCut)
{
    // Breaks of every kind, pairs that a cut can separate, and a CR at the end.
    const std::string serialised = "<a>\n\n<b>x\r\ny\rz\r\r\n\n\rq</b>\n<c/>\r";
    CTextBuffer whole;
    whole.InitNew();
    int wholeLine = 0, wholeChar = 0;
    whole.InsertText(nullptr, 0, 0, WithCrLfBreaks(serialised), wholeLine, wholeChar, 0);

    for (size_t first = 0; first <= serialised.size(); ++first) {
        for (size_t second = first; second <= serialised.size(); ++second) {
            CTextBuffer buffer;
            buffer.InitNew();
            CTextBufferFiller filler(buffer);
            CrLfBreakWriter writer(filler);
            writer.Write(serialised.substr(0, first));
            writer.Write(serialised.substr(first, second - first));
            writer.Write(serialised.substr(second));
            int endLine = -1, endChar = -1;
            ASSERT_TRUE(filler.Finish(nullptr, endLine, endChar));
            ASSERT_EQ(Lines(buffer), Lines(whole)) << "cut at " << first << " and " << second;
            EXPECT_EQ(endLine, wholeLine);
            EXPECT_EQ(endChar, wholeChar);
            EXPECT_FALSE(buffer.IsModified());
            EXPECT_FALSE(buffer.CanUndo());
        }
    }

    // Only a fresh buffer can be filled; a read-only one is left as it is.
    CTextBuffer used;
    used.InitNew();
    int endLine = 0, endChar = 0;
    used.InsertText(nullptr, 0, 0, "text", endLine, endChar, 1);
    EXPECT_THROW(CTextBufferFiller{used}, CTextIndexError);
    CTextBuffer locked;
    locked.InitNew();
    locked.SetReadOnly(true);
    CTextBufferFiller filler(locked);
    filler.Append("a\rb");
    EXPECT_FALSE(filler.Finish(nullptr, endLine, endChar));
    EXPECT_EQ(locked.GetLineCount(), 1);
}

TEST_F(DocumentTest, RegeneratedTextIsTheDomsSerialisationWithCrLfBreaks)
{
    // Long enough for the serialiser to hand it over in many pieces, with a raw
    // CR LF and a lone CR in a comment put there through the DOM.
    std::string body;
    for (int i = 0; i < 3000; ++i) body += "  <item id=\"" + std::to_string(i) + "\">value " + std::to_string(i) + "</item>\n";
    auto doc = Open("long.xml", "<?xml version=\"1.0\"?>\n<list>\n" + body + "</list>\n");
    auto comment = doc->GetDomDocument()->createComment("one\r\ntwo\rthree\nfour");
    doc->GetDomDocument()->documentElement()->appendChild(comment);
    brindle::Profile::WriteProfileInt("Settings", "keepOwnText", 0); // the DOM's serialisation itself

    struct Recorder : ITextBufferView {
        std::vector<uint32_t> flags;
        void UpdateView(ITextBufferView*, CUpdateContext*, uint32_t f, int) override { flags.push_back(f); }
    } view;
    doc->GetTextBuffer().AddView(&view);
    doc->RegenerateText();
    doc->GetTextBuffer().RemoveView(&view);

    CTextBuffer expected;
    expected.InitNew();
    int endLine = 0, endChar = 0;
    expected.InsertText(nullptr, 0, 0, WithCrLfBreaks(doc->GetXmlText()), endLine, endChar, 0);
    EXPECT_EQ(Lines(doc->GetTextBuffer()), Lines(expected));
    EXPECT_GT(doc->GetTextBuffer().GetLineCount(), 3000);
    EXPECT_EQ(view.flags, (std::vector<uint32_t>{UPD_RESET, UPD_LINES_TEXT}));
    EXPECT_FALSE(doc->GetTextBuffer().IsModified());
    EXPECT_FALSE(doc->GetTextBuffer().CanUndo());
}

TEST(RemoteAddress, SplitsIntoServerFolderAndFileAndTempFilesAreMadeEmpty)
{
    const auto parts = ParseRemoteAddress("ftp://Home/pub/xml/a.xml");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->server, "Home");
    EXPECT_EQ(parts->folder, "/pub/xml");
    EXPECT_EQ(parts->file, "a.xml");
    // No folder: the login folder.
    const auto top = ParseRemoteAddress("ftp://Home/a.xml");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->folder, "");
    EXPECT_EQ(top->file, "a.xml");
    EXPECT_FALSE(ParseRemoteAddress("ftp://Home"));
    EXPECT_FALSE(ParseRemoteAddress("/home/a.xml"));

    const std::string temp = CreateTempFile();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(std::filesystem::path(temp).filename().string().rfind("WDS", 0), 0u);
    EXPECT_EQ(std::filesystem::file_size(temp), 0u);
    const std::string other = CreateTempFile();
    EXPECT_NE(other, temp);
    std::filesystem::remove(temp);
    std::filesystem::remove(other);
}

TEST_F(DocumentTest, TreeSavesAndRegeneratedTextKeepTheFilesLineBreaks)
{
    const auto edit = [](CBrindleDoc& doc) {
        doc.SetCurrentNode(doc.GetDomDocument()->documentElement());
        ASSERT_TRUE(doc.CreateNode(NODE_ELEMENT, "c", std::nullopt, nullptr, ""));
    };
    const auto crLfOnly = [](const std::string& bytes, std::string_view lf, std::string_view cr) {
        int lines = 0;
        for (size_t at = bytes.find(lf); at != std::string::npos; at = bytes.find(lf, at + 1), ++lines)
            if (at % lf.size() || at < cr.size() || bytes.compare(at - cr.size(), cr.size(), cr) != 0) return -1;
        return lines;
    };

    // Line feeds: a tree edit saved from the tree, or from the regenerated text.
    auto unix = Open("unix.xml", "<?xml version=\"1.0\"?>\n<a>\n  <b/>\n</a>\n");
    edit(*unix);
    const auto fromTree = (dir / "tree.xml").string(), fromText = (dir / "text.xml").string();
    ASSERT_TRUE(unix->OnSaveDocument(wxString::FromUTF8(fromTree)));
    EXPECT_EQ(test::ReadFile(fromTree), "<?xml version=\"1.0\"?>\n<a>\n  <b/>\n  <c/>\n</a>\n");
    unix->RegenerateText();
    EXPECT_EQ(unix->GetTextBuffer().GetCRLFMode(), EOL_LF);
    unix->SetSourceIsMaster(true);
    ASSERT_TRUE(unix->OnSaveDocument(wxString::FromUTF8(fromText)));
    EXPECT_EQ(test::ReadFile(fromText), test::ReadFile(fromTree));

    // CR LF, in UTF-8 and in UTF-16 of either byte order: every line break of a
    // tree save is CR LF, and the text made from the tree keeps CR LF too.
    auto dos = Open("dos.xml", "<?xml version=\"1.0\"?>\r\n<a>\r\n  <b>x\r\ny</b>\r\n</a>\r\n");
    edit(*dos);
    ASSERT_TRUE(dos->OnSaveDocument(wxString::FromUTF8(fromTree)));
    EXPECT_EQ(test::ReadFile(fromTree), "<?xml version=\"1.0\"?>\r\n<a>\r\n  <b>x\r\ny</b>\r\n  <c/>\r\n</a>\r\n");
    dos->RegenerateText();
    EXPECT_EQ(dos->GetTextBuffer().GetCRLFMode(), EOL_CRLF);
    for (const bool bigEndian : {false, true}) {
        const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a>\r\n  <b>\xC3\xA9\r\n</b>\r\n</a>\r\n";
        std::string bytes, error;
        const FileEncoding encoding{bigEndian ? "UTF-16BE" : "UTF-16LE", true};
        ASSERT_TRUE(EncodeFromUtf8(utf8, encoding, bytes, error)) << error;
        auto wide = Open("wide.xml", bytes);
        edit(*wide);
        ASSERT_TRUE(wide->OnSaveDocument(wxString::FromUTF8(fromTree)));
        const std::string saved = test::ReadFile(fromTree);
        const std::string lf = bigEndian ? std::string("\0\n", 2) : std::string("\n\0", 2);
        const std::string cr = bigEndian ? std::string("\0\r", 2) : std::string("\r\0", 2);
        EXPECT_EQ(crLfOnly(saved, lf, cr), 6) << "big endian: " << bigEndian;
        std::string back;
        ASSERT_TRUE(DecodeToUtf8(saved, encoding, back, error)) << error;
        EXPECT_NE(back.find("\xC3\xA9\r\n</b>\r\n  <c/>\r\n</a>\r\n"), std::string::npos);
    }

    // A new document: CR LF.
    CBrindleDoc fresh;
    ASSERT_TRUE(fresh.OnNewDocument());
    edit(fresh);
    fresh.GetDomDocument()->documentElement()->appendChild(fresh.GetDomDocument()->createTextNode("\n"));
    ASSERT_TRUE(fresh.OnSaveDocument(wxString::FromUTF8(fromTree)));
    EXPECT_EQ(crLfOnly(test::ReadFile(fromTree), "\n", "\r"), 3);
}

TEST_F(DocumentTest, XhtmlIsSavedAsTheDomHoldsIt)
{
    const std::string page = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                             "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                             "<html lang=\"en-US\"><head><title>T</title></head><body><p>x</p><br/></body></html>\n";
    auto doc = Open("page.xhtml.xml", page);
    ASSERT_TRUE(doc->IsDomValid());
    auto body = doc->GetDomDocument()->documentElement()->lastChild()->asElement();
    ASSERT_TRUE(body);
    body->setAttribute("class", "main");
    doc->MarkDomChanged();
    const auto out = (dir / "saved.xml").string();
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(out)));
    std::string expected = page;
    expected.replace(expected.find("<body>"), 6, "<body class=\"main\">");
    EXPECT_EQ(test::ReadFile(out), expected);
    EXPECT_EQ(doc->GetXmlText(), expected);
}

TEST_F(DocumentTest, DocumentsTheirDtdRejectsOpenAsTreesAndOnlyMalformedTextKeepsTheSource)
{
    // The DTD does not declare <b>: well-formed, not valid.
    const std::string invalid = "<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ELEMENT a EMPTY>]>\n<a><b/></a>\n";
    const std::uint64_t parses = XmlDocument::parsesRun();
    auto doc = Open("invalid.xml", invalid);
    EXPECT_EQ(XmlDocument::parsesRun() - parses, 1u); // the file is read once
    EXPECT_TRUE(doc->IsDomValid());
    EXPECT_FALSE(doc->TakeShowAsSource()); // the tree, not the source
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->firstChild()->nodeName(), "b");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("not valid"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("Line 3"), std::string::npos);
    EXPECT_FALSE(doc->IsModified());

    // Leaving the source: a name the DTD does not declare becomes the DOM ...
    doc->RegenerateText();
    doc->SetSourceIsMaster(true);
    SetText(*doc, "<!DOCTYPE a [<!ELEMENT a EMPTY>]>\r\n<a><renamed/></a>");
    XmlParseError error;
    EXPECT_FALSE(doc->CheckSourceParses(error)); // Validate still reports it
    EXPECT_EQ(doc->CheckSource(error), CBrindleDoc::SourceCheck::NotValid);
    EXPECT_EQ(error.line, 2);
    const CBrindleDoc::SourceExit exit = doc->LeaveSourceMode();
    EXPECT_TRUE(exit.left);
    EXPECT_EQ(exit.message, CBrindleDoc::ValidityMessage(error)); // told, not refused
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->firstChild()->nodeName(), "renamed");
    EXPECT_TRUE(doc->GetDomDocument()->validateOnParse());
    // ... text that is not well-formed does not.
    SetText(*doc, "<a><renamed></a>");
    EXPECT_EQ(doc->CheckSource(error), CBrindleDoc::SourceCheck::NotWellFormed);
    SetText(*doc, "<a/>");
    EXPECT_EQ(doc->CheckSource(error), CBrindleDoc::SourceCheck::Valid);
}

namespace {

// Every reading of the clock is a second after the one before, so each progress
// window comes up at its first update.
struct SlowClock {
    std::chrono::steady_clock::time_point now{};
    SlowClock()
    {
        ProgressScope::SetClock([this] { return now += std::chrono::seconds(1); });
    }
    ~SlowClock() { ProgressScope::SetClock({}); }
};

} // namespace

TEST_F(DocumentTest, LeavingTheSourceParsesOnceAndKeepsTheOldDomOnlyForTextThatDoesNotParse)
{
    auto doc = Open("catalog.xml", kCatalog);
    const XmlDocumentPtr dom = doc->GetDomDocument();
    dom->setProperty("SelectionLanguage", "XPath");
    dom->setProperty("SelectionNamespaces", "xmlns:c='urn:c'");
    dom->put_resolveExternals(false);
    XmlNodePtr book = dom->documentElement()->firstChild();
    doc->SetCurrentNode(book);
    doc->EnterSourceMode();
    const auto leave = [&doc](const std::string& text, std::uint64_t& parses) {
        SetText(*doc, text);
        const std::uint64_t before = XmlDocument::parsesRun();
        const CBrindleDoc::SourceExit exit = doc->LeaveSourceMode();
        parses = XmlDocument::parsesRun() - before;
        return exit;
    };
    std::uint64_t parses = 0;

    // Text that does not parse: refused, the DOM is the same object with the same
    // nodes, and the current node is still its own.
    const std::string before = dom->xml();
    CBrindleDoc::SourceExit exit = leave("<catalog>\n<book id=\"b2\"></catalog>", parses);
    EXPECT_FALSE(exit.left);
    EXPECT_EQ(exit.message.rfind("Source XML document contains errors.\n\n", 0), 0u) << exit.message;
    EXPECT_NE(exit.message.find("Line 2"), std::string::npos) << exit.message;
    EXPECT_EQ(parses, 1u);
    EXPECT_EQ(doc->GetDomDocument(), dom);
    EXPECT_EQ(dom->xml(), before);
    EXPECT_EQ(dom->documentElement()->firstChild(), book);
    EXPECT_EQ(doc->GetCurrentNode(), book);

    // Text that parses becomes the DOM in the same one parse; the DOM keeps its
    // properties, and nothing of the document holds the old tree's nodes.
    std::weak_ptr<XmlNode> oldBook = book;
    book.reset();
    exit = leave("<catalog><shelf/><book id=\"b2\"/></catalog>", parses);
    EXPECT_TRUE(exit.left);
    EXPECT_EQ(exit.message, "");
    EXPECT_EQ(parses, 1u);
    EXPECT_TRUE(oldBook.expired());
    const XmlDocumentPtr now = doc->GetDomDocument();
    EXPECT_EQ(now->selectSingleNode("/catalog/book")->asElement()->getAttribute("id"), "b2");
    EXPECT_EQ(doc->GetCurrentNode(), now->selectSingleNode("/catalog/book"));
    EXPECT_EQ(now->getProperty("SelectionLanguage"), "XPath");
    EXPECT_EQ(now->getProperty("SelectionNamespaces"), "xmlns:c='urn:c'");
    EXPECT_TRUE(now->validateOnParse());
    EXPECT_FALSE(now->resolveExternals());
    EXPECT_TRUE(doc->IsDomValid());

    // Text its DTD rejects becomes the DOM too, with the reason; a current node
    // whose path the new tree lacks is dropped.
    exit = leave("<!DOCTYPE catalog [<!ELEMENT catalog EMPTY>]>\r\n<catalog><shelf/></catalog>", parses);
    EXPECT_TRUE(exit.left);
    EXPECT_NE(exit.message.find("not valid"), std::string::npos) << exit.message;
    EXPECT_NE(exit.message.find("Line 2"), std::string::npos) << exit.message;
    EXPECT_EQ(parses, 1u);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->firstChild()->nodeName(), "shelf");
    EXPECT_FALSE(doc->HasCurrentNode());

    // A text that a check found well-formed, unchanged since, is known to parse:
    // its old tree is freed before the parse, which reuses that memory, unless a
    // node of it is still held elsewhere. Cancelled then, the text stays with no tree.
    SlowClock clock;
    bool oldTreeThere = false;
    bool cancel = false;
    ui.onProgress = [&](std::uint64_t, std::uint64_t) {
        oldTreeThere = doc->GetDomDocument()->documentElement() != nullptr;
        return !cancel;
    };
    const std::string checked = "<catalog><shelf/><book id=\"b3\"/></catalog>";
    SetText(*doc, checked);
    XmlParseError error;
    ASSERT_EQ(doc->CheckSource(error), CBrindleDoc::SourceCheck::Valid);
    doc->SetCurrentNode(doc->GetDomDocument()->documentElement()->firstChild());
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    EXPECT_FALSE(oldTreeThere);
    EXPECT_EQ(doc->GetCurrentNode(), doc->GetDomDocument()->selectSingleNode("/catalog/shelf"));

    const XmlNodePtr held = doc->GetDomDocument()->documentElement();
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    EXPECT_TRUE(oldTreeThere);
    EXPECT_NE(doc->GetDomDocument()->documentElement(), held);
    EXPECT_EQ(held->lastChild()->asElement()->getAttribute("id"), "b3");

    cancel = true;
    exit = doc->LeaveSourceMode();
    EXPECT_FALSE(exit.left);
    EXPECT_EQ(exit.message, "");
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), checked);
    cancel = false;
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    EXPECT_TRUE(doc->IsDomValid());
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->childNodes()->length(), 2);

    // A large text changed since its last check is checked first: refused with no
    // tree built when it does not parse, else its old tree goes first as well.
    std::string large = "<catalog>";
    while (large.size() < CBrindleDoc::kCheckedFirstBytes) large += "<book id=\"b\"/>\n";
    SetText(*doc, large + "<book>");
    const std::uint64_t parsesBefore = XmlDocument::parsesRun();
    exit = doc->LeaveSourceMode();
    EXPECT_FALSE(exit.left);
    EXPECT_EQ(exit.message.rfind("Source XML document contains errors.\n\n", 0), 0u) << exit.message;
    EXPECT_EQ(XmlDocument::parsesRun(), parsesBefore);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->childNodes()->length(), 2);
    SetText(*doc, large + "</catalog>");
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    EXPECT_FALSE(oldTreeThere);
    EXPECT_EQ(XmlDocument::parsesRun(), parsesBefore + 1);
    ui.onProgress = nullptr;
}

TEST_F(DocumentTest, EnteringTheSourceMarksModifiedOnlyWhenTheTextIsNotTheFilesOwn)
{
    const auto enterSource = [](CBrindleDoc& doc) { doc.EnterSourceMode(); };
    // A file that does not parse: unmodified until the user edits.
    auto broken = Open("broken.xml", "<a>\n<b>\n</a>\n");
    EXPECT_FALSE(broken->IsModified());
    enterSource(*broken);
    EXPECT_FALSE(broken->IsModified());
    SetText(*broken, "<a/>");
    EXPECT_TRUE(broken->IsModified());

    // The file's own text, kept: unmodified, and focusing the source view again
    // and again leaves it so; with the setting off, modified.
    auto own = Open("own.xml", kCatalog);
    enterSource(*own);
    own->SourceViewFocused();
    EXPECT_FALSE(own->IsModified());
    own->LeaveSourceMode();
    own->EnterTreeMode();
    enterSource(*own);
    own->SourceViewFocused();
    EXPECT_FALSE(own->IsModified());
    // Saved text stays saved when the view gets the focus back.
    SetText(*own, "<catalog/>");
    ASSERT_TRUE(own->OnSaveDocument(own->GetFilename()));
    own->SourceViewFocused();
    EXPECT_FALSE(own->IsModified());

    brindle::Profile::WriteProfileInt("Settings", "keepOwnText", 0);
    auto plain = Open("plain.xml", kCatalog);
    enterSource(*plain);
    EXPECT_TRUE(plain->IsModified());
    ASSERT_TRUE(plain->OnSaveDocument(plain->GetFilename()));
    EXPECT_FALSE(plain->IsModified());
    plain->SourceViewFocused();
    EXPECT_TRUE(plain->IsModified());
}

namespace {

// The memory available, as the memory check sees it, for the object's life.
struct AvailableMemoryIs {
    explicit AvailableMemoryIs(std::optional<std::uint64_t> bytes)
    {
        SetAvailableMemoryQuery([bytes] { return bytes; });
    }
    ~AvailableMemoryIs() { SetAvailableMemoryQuery({}); }
};

const std::string kAskedLargeFile = "Open large documents as text only?";

} // namespace

TEST(ProgressScope, ShowsOnlyAfterHalfASecondMovesAtMostFourTimesASecondAndPassesCancelBack)
{
    test::RecordingUIServices ui;
    std::chrono::steady_clock::time_point now{};
    ProgressScope::SetClock([&now] { return now; });
    {
        ProgressScope quick("Quick", 10);
        now += std::chrono::milliseconds(500);
        EXPECT_TRUE(quick.Update(5));
    }
    EXPECT_TRUE(ui.progressTexts.empty()); // a step of half a second shows nothing
    EXPECT_EQ(ui.progressUpdates, 0);
    {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
        ui.onProgress = [&](std::uint64_t done, std::uint64_t total) {
            seen.emplace_back(done, total);
            return seen.size() < 2;
        };
        ProgressScope slow("Slow", 10);
        EXPECT_TRUE(slow.Update(1));
        now += std::chrono::milliseconds(501);
        EXPECT_TRUE(slow.Update(2));
        EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Slow"});
        EXPECT_TRUE(ui.progressOpen);
        EXPECT_TRUE(slow.Update(3)); // too soon after the last to move the window
        now += ProgressScope::kInterval;
        EXPECT_FALSE(slow.Callback()(3, 20)); // the user pressed Cancel
        EXPECT_TRUE(slow.Cancelled());
        EXPECT_FALSE(slow.Update(4)); // and it stays cancelled, without asking again
        EXPECT_EQ(seen, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{2, 10}, {3, 20}}));
    }
    EXPECT_FALSE(ui.progressOpen);
    ProgressScope::SetClock({});
}

TEST_F(DocumentTest, LargeFilesOpenAsTextOnlyAndBuildTheTreeWhenAsked)
{
    const std::string text = "<?xml version=\"1.0\"?>\r\n<catalog>\r\n  <book id=\"b1\">Title</book>\r\n</catalog>";
    Settings::WriteInt(Settings::Key::kLargeFileMB, 0);
    ui.answers.push_back(MsgResult::Yes);
    const std::uint64_t parses = XmlDocument::parsesRun();
    auto doc = Open("large.xml", text);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Documents larger than 0 MB open as text only"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find(kAskedLargeFile), std::string::npos);
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(Settings::GetLargeFileAsText(), 1);
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_TRUE(doc->TakeShowAsSource());
    EXPECT_EQ(XmlDocument::parsesRun(), parses); // no tree was built
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), text);

    // Entering Source mode keeps the text read at opening; nothing is modified.
    doc->GetTextBuffer().SetLineFlag(1, LINEF_BOOKMARK_N(0), true, false);
    EXPECT_EQ(doc->EnterSourceMode(), CBrindleDoc::SourceEntry::Validate);
    EXPECT_TRUE(doc->GetTextBuffer().GetLineFlags(1) & LINEF_BOOKMARK_N(0));
    EXPECT_FALSE(doc->IsModified());
    const auto copy = (dir / "copy.xml").string();
    EXPECT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(copy)));
    EXPECT_EQ(test::ReadFile(copy), text);
    EXPECT_EQ(XmlDocument::parsesRun(), parses);

    // Node Tree mode builds the tree from the text, once, and changes nothing.
    const CBrindleDoc::SourceExit exit = doc->LeaveSourceMode();
    EXPECT_TRUE(exit.left) << exit.message;
    EXPECT_TRUE(doc->IsDomValid());
    EXPECT_EQ(XmlDocument::parsesRun(), parses + 1);
    EXPECT_FALSE(doc->IsModified());
    doc->EnterTreeMode();
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->nodeName(), "catalog");

    // The answer is kept: the next large file opens the same way without asking.
    auto next = Open("large2.xml", text);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(next->IsDomValid());

    // No opens large files as before, and is asked once too.
    Settings::WriteInt(Settings::Key::kLargeFileAsText, -1);
    ui.answers.push_back(MsgResult::No);
    auto asTree = Open("large3.xml", text);
    EXPECT_TRUE(asTree->IsDomValid());
    EXPECT_FALSE(asTree->TakeShowAsSource());
    EXPECT_EQ(Settings::GetLargeFileAsText(), 0);
    auto again = Open("large4.xml", text);
    EXPECT_TRUE(again->IsDomValid());
    EXPECT_EQ(ui.messages.size(), 2u);

    // A file no larger than the size opens as before without a question.
    Settings::WriteInt(Settings::Key::kLargeFileAsText, -1);
    Settings::WriteInt(Settings::Key::kLargeFileMB, 1);
    auto small = Open("small.xml", text);
    EXPECT_TRUE(small->IsDomValid());
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(DocumentTest, CancellingTheOpenOrTheSaveOfTheTextLeavesEverythingAsItWas)
{
    const std::string text = "<catalog>\n  <book/>\n</catalog>\n";
    Settings::WriteInt(Settings::Key::kStartWithSourceView, 1);
    const auto path = dir / "cancel.xml";
    test::WriteFile(path, text);
    SlowClock clock;
    ui.onProgress = [](std::uint64_t, std::uint64_t) { return false; };
    {
        CBrindleDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(wxString::FromUTF8(path.string())));
        EXPECT_TRUE(doc.Errors().Empty());
        EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Opening cancel.xml ..."});
        EXPECT_FALSE(ui.progressOpen);
    }

    ui.onProgress = nullptr;
    auto doc = Open("cancel.xml", text);
    EXPECT_FALSE(doc->IsDomValid());
    doc->EnterSourceMode();
    SetText(*doc, "<catalog/>");
    ui.onProgress = [](std::uint64_t, std::uint64_t) { return false; };
    EXPECT_FALSE(doc->OnSaveDocument(wxString::FromUTF8(path.string())));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(doc->Errors().Empty());
    EXPECT_EQ(test::ReadFile(path), text);
    EXPECT_TRUE(doc->IsModified());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        if (entry.path().filename().string().find("cancel") != std::string::npos)
            left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"cancel.xml"}); // no temporary file stays

    ui.onProgress = nullptr;
    EXPECT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path.string())));
    EXPECT_EQ(test::ReadFile(path), "<catalog/>");

    // Cancelling the check or the building of the tree: the text stays the
    // edited form, with no message.
    SetText(*doc, "<catalog><book/></catalog>");
    ui.onProgress = [](std::uint64_t, std::uint64_t) { return false; };
    XmlParseError error;
    EXPECT_EQ(doc->CheckSource(error), CBrindleDoc::SourceCheck::Cancelled);
    EXPECT_EQ(error.reason, "Validation cancelled.");
    const CBrindleDoc::SourceExit exit = doc->LeaveSourceMode();
    EXPECT_FALSE(exit.left);
    EXPECT_EQ(exit.message, "");
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_TRUE(ui.messages.empty());
    ui.onProgress = nullptr;
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->childNodes()->length(), 1);
}

TEST_F(DocumentTest, ATreeThatWouldNotFitInMemoryIsNotBuilt)
{
    EXPECT_EQ(DomMemoryRefusal(100u << 20, 0, "It stays."), "");
    {
        AvailableMemoryIs available(500u << 20);
        EXPECT_EQ(DomMemoryRefusal(100u << 20, 0, "It stays in Source mode."),
                  "This document needs about 1200 MB of memory for its node tree, and about 500 MB are available. "
                  "It stays in Source mode.");
        EXPECT_EQ(DomMemoryRefusal(100u << 20, 700u << 20, "It stays."), ""); // memory to be freed counts
    }

    const std::uint64_t parses = XmlDocument::parsesRun();
    std::unique_ptr<CBrindleDoc> doc;
    {
        AvailableMemoryIs available(0);
        doc = Open("tight.xml", kCatalog);
    }
    // The open found no room for the tree: the text opens alone, with the reason.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("It opens as text only, in Source mode."), std::string::npos);
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_TRUE(doc->TakeShowAsSource());
    EXPECT_EQ(XmlDocument::parsesRun(), parses);
    doc->EnterSourceMode();
    SetText(*doc, "<catalog><book/></catalog>");
    {
        AvailableMemoryIs available(0);
        const CBrindleDoc::SourceExit refused = doc->LeaveSourceMode();
        EXPECT_FALSE(refused.left);
        EXPECT_FALSE(refused.markError);
        EXPECT_EQ(refused.message, "This document needs about 1 MB of memory for its node tree, and about 0 MB are "
                                   "available. It stays in Source mode.");
    }
    EXPECT_EQ(XmlDocument::parsesRun(), parses);
    EXPECT_FALSE(doc->IsDomValid());
    EXPECT_TRUE(doc->IsSourceMaster());
    EXPECT_EQ(GetWholeText(doc->GetTextBuffer()), "<catalog><book/></catalog>");

    EXPECT_TRUE(doc->LeaveSourceMode().left);
    doc->EnterTreeMode();
    doc->EnterSourceMode();
    AvailableMemoryIs available(0);
    // The text of the tree, unchanged, parses again: its tree is freed first, which
    // makes the room.
    EXPECT_TRUE(doc->LeaveSourceMode().left);
    doc->EnterTreeMode();
    doc->EnterSourceMode();
    SetText(*doc, "<catalog><book/><book/></catalog>");
    // The tree of a changed text stays until the new one is complete: it frees
    // nothing in time.
    EXPECT_FALSE(doc->LeaveSourceMode().left);
    EXPECT_EQ(doc->GetDomDocument()->documentElement()->childNodes()->length(), 1);
}

// The templates File New offers open as they ship without a word (the one with
// a DTD is validated on the way in), and each does what its comments promise.
TEST_F(DocumentTest, ShippedTemplatesOpenCleanlyAndDoWhatTheySay)
{
    const fs::path folder = fs::path(BRINDLE_SAMPLES) / "templates";
    std::map<std::string, std::unique_ptr<CBrindleDoc>> docs;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(entry.path().extension(), ".xml") << name; // the New dialog lists only these
        docs[name] = Open(name, test::ReadFile(entry.path()));
        EXPECT_TRUE(docs[name]->IsDomValid()) << name;
    }
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{});

    // Its DTD is applied, not merely present.
    XmlDocumentPtr notes = docs.at("XML Document with DTD.xml")->GetDomDocument();
    ASSERT_NE(notes->doctype(), nullptr);
    EXPECT_FALSE(notes->validate().Failed());
    notes->documentElement()->appendChild(notes->createElement("memo"));
    EXPECT_TRUE(notes->validate().Failed());

    // The stylesheet copies its input unchanged.
    const std::string input = "<a x=\"1\"><!--c--><b>t &amp; u</b><?p d?></a>";
    EXPECT_EQ(test::ParseXml(input)->transformNode(*docs.at("XSLT Stylesheet.xml")->GetDomDocument()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + input + "\n");

    // The schema takes the simple document and rejects an item without its id.
    test::WriteFile(dir / "document.xsd", test::ReadFile(folder / "XML Schema.xml"));
    const std::string named = " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                              " xsi:noNamespaceSchemaLocation=\"document.xsd\"";
    std::string simple = test::ReadFile(folder / "Simple XML Document.xml");
    simple.insert(simple.find("<document") + std::strlen("<document"), named);
    auto instance = XmlDocument::Create();
    const std::string base = (dir / "instance.xml").string();
    EXPECT_TRUE(instance->loadXML(simple, base)) << instance->parseError().reason;
    EXPECT_FALSE(instance->loadXML("<document" + named + "><item>no id</item></document>", base));
    EXPECT_NE(instance->parseError().reason.find("id"), std::string::npos) << instance->parseError().reason;
}

TEST(DiskChangeWatch, EachStateOfTheFileIsReportedOnce)
{
    test::TempDir dir;
    const auto path = (dir / "a.xml").string();
    test::WriteFile(path, "<a/>");
    DiskChangeWatch watch;
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::None); // nothing recorded
    watch.Record(path);
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::None);
    EXPECT_FALSE(watch.ChangedSinceRecorded());

    test::WriteFile(path, "<a>1</a>");
    EXPECT_TRUE(watch.ChangedSinceRecorded());
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::Changed);
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::None); // asked about already
    EXPECT_TRUE(watch.ChangedSinceRecorded());               // but still not what was read
    test::WriteFile(path, "<a>12</a>");
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::Changed); // a further change asks again

    fs::remove(path);
    EXPECT_FALSE(watch.ChangedSinceRecorded()); // nothing there to overwrite
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::Deleted);
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::None);

    // A file replaced by another of the same size and time is still another file.
    test::WriteFile(path, "<a/>");
    watch.Record(path);
    const auto time = fs::last_write_time(path);
    const auto other = (dir / "b.xml").string();
    test::WriteFile(other, "<b/>");
    fs::last_write_time(other, time);
    fs::rename(other, path);
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::Changed);

    watch.Forget();
    test::WriteFile(path, "<a>123</a>");
    EXPECT_EQ(watch.Check(), DiskChangeWatch::Change::None);
}

TEST_F(DocumentTest, ChangesByOtherProgramsAreAskedAboutOnceAndNeverOverwrittenSilently)
{
    auto doc = Open("catalog.xml", kCatalog);
    const auto path = doc->GetFilename().utf8_string();
    using Answer = CBrindleDocBase::DiskAnswer;
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Nothing);
    EXPECT_TRUE(ui.messages.empty());

    // Unmodified: reload is offered.
    test::WriteFile(path, "<catalog/>\n");
    ui.answers = {MsgResult::Yes};
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Reload);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, path + " has been changed by another program. Reload it?");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);

    // Modified: which to keep. Keeping asks no more until the file changes again.
    ui.messages.clear();
    doc->MarkDomChanged();
    test::WriteFile(path, "<catalog><book/></catalog>\n");
    ui.answers = {MsgResult::No};
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Keep);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("lose your changes"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("keep your changes"), std::string::npos);
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Nothing);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(doc->IsModified());

    // Save asks before overwriting the changed file; Cancel leaves it as it is.
    ui.messages.clear();
    ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(doc->Save());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_NE(ui.messages[0].text.find("since it was read"), std::string::npos);
    EXPECT_EQ(test::ReadFile(path), "<catalog><book/></catalog>\n");
    EXPECT_TRUE(doc->IsModified());
    ui.answers = {MsgResult::Ok};
    EXPECT_TRUE(doc->Save());
    EXPECT_NE(test::ReadFile(path).find("<book id=\"b1\">"), std::string::npos);
    // What it wrote is what it knows: the next save and check ask nothing.
    ui.messages.clear();
    doc->MarkDomChanged();
    EXPECT_TRUE(doc->Save());
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Nothing);
    EXPECT_TRUE(ui.messages.empty());

    // Deleted: told once; the document stays, modified, and Save writes the file again.
    fs::remove(path);
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Keep);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("has been deleted or moved by another program"), std::string::npos);
    EXPECT_EQ(doc->CheckFileOnDisk(), Answer::Nothing);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->Save());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(test::ReadFile(path).find("<catalog>"), std::string::npos);

    // A document that lives elsewhere than the file it was opened from (a copy
    // of a template) has no file to watch.
    auto copy = Open("template.xml", kCatalog);
    copy->SetPathName(wxString::FromUTF8((dir / "new.xml").string()), false);
    test::WriteFile(dir / "template.xml", "<changed/>");
    EXPECT_EQ(copy->CheckFileOnDisk(), Answer::Nothing);
}
