#include "app/document/BrindleDoc.h"

#include "app/document/AutoFormat.h"
#include "app/document/CrLfBreaks.h"
#include "app/document/DomMemory.h"
#include "app/document/EncodedText.h"
#include "app/document/LargeDocument.h"
#include "app/settings/Settings.h"
#include "platform/ui/ProgressScope.h"
#include "platform/ui/UIServices.h"
#include "platform/xml/XmlStreamCheck.h"
#include "resources/CommandIds.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>
#include <utility>

using namespace brindle;

namespace {

constexpr const char* kNewDocumentText = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?><rootnode/>";

// What a DOM saved for the file must keep of the file's encoding: its byte-order
// mark, and for UTF-16 the encoding itself (a declaration may not name it).
XmlFileForm FileFormOf(const FileEncoding& encoding)
{
    if (!encoding.byteOrderMark) return {};
    if (encoding.name == "UTF-8") return {"", "UTF-8", ""};
    return {"UTF-16", encoding.name, ""};
}

// The text's length in bytes, with a line feed between lines.
std::uint64_t TextBytes(const CTextBuffer& buffer)
{
    std::uint64_t size = 0;
    for (int line = 0; line < buffer.GetLineCount(); ++line) size += static_cast<std::uint64_t>(buffer.GetLineLength(line)) + 1;
    return size > 0 ? size - 1 : 0;
}

// The buffer's lines as the parser reads them, each but the last with its line
// feed, handed out some 64 KB at a time: the parser's cost per piece is then
// paid rarely. Each piece reports the lines read so far to progress, if given,
// which may cancel the reading.
class BufferTextSource : public XmlTextSource {
public:
    using Progress = std::function<bool(uint64_t done, uint64_t total)>;
    explicit BufferTextSource(const CTextBuffer& buffer, Progress progress = {})
        : m_buffer(buffer), m_progress(std::move(progress)), m_size(TextBytes(buffer))
    {
    }
    void Rewind() override { m_line = 0; }
    bool Cancelled() const override { return m_cancelled; }
    std::string_view Next() override
    {
        constexpr size_t kPiece = 64 * 1024;
        m_piece.clear();
        const int count = m_buffer.GetLineCount();
        if (m_cancelled || (m_progress && !m_progress(static_cast<uint64_t>(m_line), static_cast<uint64_t>(count)))) {
            m_cancelled = true;
            return {};
        }
        while (m_line < count && m_piece.size() < kPiece) {
            const int line = m_line++;
            m_piece.append(m_buffer.GetLineChars(line), static_cast<size_t>(m_buffer.GetLineLength(line)));
            if (m_line < count) m_piece += '\n';
        }
        return m_piece;
    }
    uint64_t Size() const override { return m_size; }

private:
    const CTextBuffer& m_buffer;
    Progress m_progress;
    uint64_t m_size;
    bool m_cancelled = false;
    int m_line = 0;
    std::string m_piece;
};

} // namespace

CBrindleDoc::CBrindleDoc()
    : m_buffer([this](bool modified) {
          // A modified text marks the document modified; any change of state
          // means the node tree must be rebuilt from the DOM.
          if (modified) Modify(true);
          m_treeRebuildPending = true;
      })
{
    m_buffer.InitNew();
    // The plugin commands: one per script of the list, 300 and up.
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) { RunPlugin(event.GetId()); }, ids::ID_PLUGIN_FIRST,
         ids::ID_PLUGIN_FIRST + 10);
}

CBrindleDoc::~CBrindleDoc()
{
    m_buffer.FreeAll();
    m_currentNode.reset();
    m_dom.reset();
}

bool CBrindleDoc::CreateDom()
{
    std::string id = Settings::GetParserAppId();
    XmlDocumentPtr dom = ParserRegistry::CreateFromProgId(id);
    if (!dom) {
        Settings::WriteParserAppId("");
        id = Settings::GetParserAppId();
        dom = ParserRegistry::CreateFromProgId(id);
    }
    if (!dom) {
        m_errors.Add("Error creating instance of " + id +
                     ". Make sure it is\ninstalled and/or that your MSXML Parser AppID is correct.");
        return false;
    }
    m_dom = dom;
    if (Settings::GetUseXPath() == 1) m_dom->setProperty("SelectionLanguage", "XPath");
    return true;
}

brindle::XmlFileForm CBrindleDoc::SavedFileForm(XmlFileForm form) const
{
    form.lineBreak = m_eolMode == EOL_CRLF ? "\r\n" : "\n";
    return form;
}

std::string CBrindleDoc::DescribeParseError(const XmlParseError& error)
{
    std::string text = error.reason;
    if (error.line > 0)
        text += (text.empty() ? "Line " : "\n\nLine ") + std::to_string(error.line) + ", position " +
                std::to_string(error.linepos);
    return text;
}

std::string CBrindleDoc::ValidityMessage(const XmlParseError& error)
{
    return "The document is well-formed, but it is not valid:\n\n" + DescribeParseError(error);
}

bool CBrindleDoc::OnNewDocument()
{
    if (!CreateDom()) return false;
    m_eolMode = EOL_CRLF;
    m_dom->loadXML(kNewDocumentText);
    m_dom->put_fileForm(SavedFileForm({}));
    if (!CBrindleDocBase::OnNewDocument()) return false;
    Modify(false);
    m_isNew = true;
    m_domValid = true;
    m_fileEncoding = {};
    m_ownText = OwnText::None;
    m_spliceFrom = OwnText::None;
    m_textFromOpen = false;
    m_nodeHistory.Clear();
    m_buffer.FreeAll();
    m_buffer.InitNew();
    return true;
}

void CBrindleDoc::MarkDomChanged()
{
    ++m_domRevision;
    m_ownText = OwnText::None;
    Modify(true);
}

CBrindleDoc::OwnText CBrindleDoc::KeptText() const
{
    return Settings::GetKeepOwnText() != 0 ? m_ownText : OwnText::None;
}

std::string CBrindleDoc::BaseUrl() const
{
    return m_isRemote ? m_localCopy : GetFilename().utf8_string();
}

bool CBrindleDoc::OnOpenDocument(const wxString& path)
{
    if (!CreateDom()) return false;
    if (!CBrindleDocBase::OnOpenDocument(path)) return false;

    // Relative DTD and entity references resolve beside the file. The parser is
    // given the file's own path as base as well, so this matters only for the
    // folder that file dialogs start in.
    if (!m_isRemote) {
        const std::string folder = std::filesystem::path(path.utf8_string()).parent_path().string();
        if (folder.empty() || ::chdir(folder.c_str()) != 0)
            m_errors.Add("failed!", MsgIcon::Warning);
    }

    m_dom->put_async(false);
    m_dom->put_validateOnParse(Settings::GetValidateOnParse() != 0);
    m_dom->put_resolveExternals(Settings::GetResolveExternals() != 0);
    m_dom->put_keepSourceSpans(Settings::GetKeepOwnText() != 0);
    m_spliceFrom = OwnText::None;

    const std::string file = SourceFile(path);
    m_fileEncoding = DetectFileEncoding(file);
    m_eolMode = DetectFileLineBreaks(file, m_fileEncoding);

    m_nodeHistory.Clear();
    m_textFromOpen = false;
    std::error_code sizeError;
    std::uint64_t fileBytes = std::filesystem::file_size(file, sizeError);
    if (sizeError) fileBytes = 0;
    bool textOnly = OpensAsTextOnly(fileBytes);
    if (!textOnly) {
        // A tree that would not fit is not attempted: the text alone is opened.
        const std::string refusal = DomMemoryRefusal(fileBytes, 0, "It opens as text only, in Source mode.");
        if (!refusal.empty()) {
            m_errors.Add(refusal, MsgIcon::Warning);
            textOnly = true;
        }
    }
    if (textOnly) return OpenAsText(file, fileBytes);

    WaitCursor wait;
    try {
        m_ownText = OwnText::None;
        // A document its DTD rejects opens like any other, with the reason told;
        // only one that is not well-formed opens as text.
        const XmlDocument::LoadOutcome outcome = m_dom->loadKeepingContent(file);
        if (outcome != XmlDocument::LoadOutcome::Refused) {
            m_isNew = false;
            m_domValid = true;
            m_ownText = OwnText::File;
            m_spliceFrom = OwnText::File;
            m_dom->put_fileForm(SavedFileForm(m_dom->fileForm()));
            if (outcome == XmlDocument::LoadOutcome::NotValid)
                m_errors.Add(ValidityMessage(m_dom->parseError()), MsgIcon::Warning);
            m_showAsSource = Settings::GetStartWithSourceView() == 1;
        } else {
            m_domValid = false;
            std::ifstream start(file, std::ios::binary);
            std::string head(256, '\0');
            start.read(head.data(), static_cast<std::streamsize>(head.size()));
            head.resize(static_cast<size_t>(start.gcount()));
            m_htmlOpening = LooksLikeHtml(path.utf8_string(), head);
            m_showAsSource = true;
        }
    } catch (const DomError& error) {
        m_domValid = false;
        m_errors.Add(DomErrorText(error, "Error loading file in to DOM."));
    }
    return true;
}

void CBrindleDoc::HoldTextOf(const wxString& path)
{
    if (m_textFromOpen) return; // opened as text: the buffer has it already
    if (!LoadEncodedText(m_buffer, SourceFile(path), m_fileEncoding, m_textForm)) {
        // Without the text, the DOM is the document's only form.
        m_ownText = OwnText::None;
        return;
    }
    if (m_domValid) m_ownText = OwnText::Buffer; // the text the DOM was built from
    else m_textFromOpen = true;                   // the text that did not parse
}

bool CBrindleDoc::OpenAsText(const std::string& file, std::uint64_t fileBytes)
{
    ProgressScope progress("Opening " + std::filesystem::path(file).filename().string() + " ...", fileBytes);
    {
        WaitCursor wait;
        if (!LoadEncodedText(m_buffer, file, m_fileEncoding, m_textForm, progress.Callback())) {
            // A cancelled open says nothing more: the user knows.
            if (!progress.Cancelled()) m_errors.Add("Cannot open file " + file + ".");
            return false;
        }
    }
    m_isNew = false;
    m_domValid = false;
    m_ownText = OwnText::None;
    m_htmlOpening = false;
    m_showAsSource = true;
    m_textFromOpen = true;
    return true;
}

std::string CBrindleDoc::GetXmlText() const { return m_domValid && m_dom ? m_dom->xml() : std::string(); }

bool CBrindleDoc::SaveDomToFile(const std::string& path)
{
    m_dom->save(path);
    return true;
}

bool CBrindleDoc::LooksLikeHtml(const std::string& path, const std::string& start)
{
    const auto lowered = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    const std::string text = lowered(start);
    const size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first != std::string::npos &&
        (text.compare(first, 14, "<!doctype html") == 0 || text.compare(first, 5, "<html") == 0))
        return true;
    const std::string extension = lowered(std::filesystem::path(path).extension().string());
    return extension == ".html" || extension == ".htm";
}

bool CBrindleDoc::CheckSourceParses(XmlParseError& error) { return CheckSource(error) == SourceCheck::Valid; }

void CBrindleDoc::ClearErrorMarks()
{
    for (int line = 0; line < m_buffer.GetLineCount(); ++line)
        if (m_buffer.GetLineFlags(line) & LINEF_BOOKMARK) m_buffer.SetLineFlag(line, LINEF_BOOKMARK, false, false);
}

CBrindleDoc::SourceCheck CBrindleDoc::CheckSource(XmlParseError& error)
{
    ClearErrorMarks();
    return CheckText(error, m_dom ? m_dom->validateOnParse() : Settings::GetValidateOnParse() != 0);
}

XmlCheckOptions CBrindleDoc::CheckOptions(bool validate) const
{
    XmlCheckOptions options;
    options.validateOnParse = validate;
    options.resolveExternals = m_dom ? m_dom->resolveExternals() : Settings::GetResolveExternals() != 0;
    options.baseUrl = BaseUrl();
    options.processXIncludes = Settings::GetProcessXIncludes() != 0;
    return options;
}

CBrindleDoc::SourceCheck CBrindleDoc::CheckText(XmlParseError& error, bool validate)
{
    // The text is read line by line from the buffer and checked without a DOM,
    // so a large document is never held twice.
    const XmlCheckOptions options = CheckOptions(validate);
    WaitCursor wait;
    ProgressScope progress(validate ? "Validating ..." : "Checking the text ...");
    BufferTextSource source(m_buffer, progress.Callback());
    const XmlCheck check = CheckXmlText(source, options, error);
    if (check == XmlCheck::Valid || check == XmlCheck::NotValid) m_wellFormedText = m_buffer.GetChangeCount();
    switch (check) {
    case XmlCheck::Valid: return SourceCheck::Valid;
    case XmlCheck::NotValid: return SourceCheck::NotValid;
    case XmlCheck::NotWellFormed: break;
    case XmlCheck::Cancelled:
        error = {};
        error.reason = "Validation cancelled.";
        return SourceCheck::Cancelled;
    }
    return SourceCheck::NotWellFormed;
}

ValidationReport CBrindleDoc::ValidateSource(const SchemaChoice* against)
{
    ClearErrorMarks();
    const XmlCheckOptions options =
        CheckOptions(m_dom ? m_dom->validateOnParse() : Settings::GetValidateOnParse() != 0);
    WaitCursor wait;
    ProgressScope progress("Validating ...");
    BufferTextSource source(m_buffer, progress.Callback());
    ValidationReport report = ValidateXmlText(source, options, against);
    if (report.outcome == XmlCheck::Valid || report.outcome == XmlCheck::NotValid)
        m_wellFormedText = m_buffer.GetChangeCount();
    if (report.outcome == XmlCheck::Cancelled) {
        XmlParseError cancelled;
        cancelled.reason = "Validation cancelled.";
        report.errors.assign(1, cancelled);
    }
    return report;
}

CBrindleDoc::SourceCheck CBrindleDoc::ParseText(XmlParseError* error)
{
    const std::string currentPath = m_currentNode ? GetNodePath(m_currentNode) : std::string();
    if (TextKnownToParse()) ReleaseTreeAhead(currentPath);
    XmlDocument::LoadOutcome outcome;
    {
        // The parser reads the buffer's lines: the text is never copied whole.
        WaitCursor wait;
        ProgressScope progress("Building the node tree ...");
        BufferTextSource source(m_buffer, progress.Callback());
        m_dom->put_keepSourceSpans(Settings::GetKeepOwnText() != 0);
        outcome = m_dom->loadXMLKeepingContent(source, BaseUrl());
    }
    if (error) *error = m_dom->parseError();
    if (outcome == XmlDocument::LoadOutcome::Refused) return SourceCheck::NotWellFormed;
    if (outcome == XmlDocument::LoadOutcome::Cancelled) return SourceCheck::Cancelled;
    // Nothing the document holds may keep the old tree alive.
    m_nodeHistory.Clear();
    m_currentNode = currentPath.empty() ? nullptr : FindNodeByPath(m_dom, currentPath);
    m_eolMode = m_buffer.GetCRLFMode();
    // The text is UTF-8 with the buffer's line breaks; the file is not always.
    m_dom->put_fileForm(SavedFileForm(FileFormOf(m_fileEncoding)));
    ++m_domRevision;
    m_ownText = OwnText::Buffer;
    m_spliceFrom = OwnText::Buffer;
    m_spliceBufferChange = m_buffer.GetChangeCount();
    Modify(m_buffer.IsModified());
    m_domValid = true;
    m_wellFormedText = m_buffer.GetChangeCount();
    return outcome == XmlDocument::LoadOutcome::NotValid ? SourceCheck::NotValid : SourceCheck::Valid;
}

bool CBrindleDoc::TextKnownToParse() const { return m_wellFormedText == m_buffer.GetChangeCount(); }

void CBrindleDoc::ReleaseTreeAhead(const std::string& currentPath)
{
    if (!m_domValid) return;
    m_nodeHistory.Clear();
    // The current node is one of the tree's node objects: it goes too, and comes
    // back when the tree stays.
    const std::weak_ptr<XmlNode> current = std::exchange(m_currentNode, nullptr);
    if (m_dom->releaseContent()) {
        m_domValid = false;
        return;
    }
    m_currentNode = current.lock();
    if (!m_currentNode) m_currentNode = FindNodeByPath(m_dom, currentPath);
}

void CBrindleDoc::RegenerateText()
{
    const bool modified = IsModified(); // filling the buffer must not change it
    m_nodeHistory.Clear(); // the text has its own history from here
    const OwnText own = KeptText();
    // The buffer holds the text the DOM was built from, or the file's text while
    // no DOM was built from it: it stays, history and all.
    if ((own == OwnText::Buffer || (m_textFromOpen && !m_domValid)) && m_buffer.IsInitialized()) {
        if (modified) m_buffer.MarkUnsaved();
        else m_buffer.SetModified(false);
        Modify(modified);
        m_treeRebuildPending = true;
        return;
    }
    // The text the tree was read from, when the buffer is where it lies: taken
    // before the buffer is emptied, to splice the tree's edits into.
    std::string original;
    bool splice = m_domValid && own != OwnText::File && CanSplice();
    if (splice && m_spliceFrom == OwnText::Buffer) {
        std::string whyNot;
        original = SpliceOriginal(whyNot);
        if (!whyNot.empty()) {
            m_statusNote = "Source text written whole: " + whyNot + ".";
            splice = false;
        }
    }
    m_buffer.FreeAll();
    {
        WaitCursor wait;
        m_textForm = TextForm::Decoded;
        if (m_domValid && own != OwnText::File) {
            m_buffer.InitNew(m_eolMode);
            // The text goes straight into the buffer's lines: a large document
            // is never held whole as text beside its DOM.
            CTextBufferFiller filler(m_buffer);
            CrLfBreakWriter writer(filler);
            const auto write = [&writer](std::string_view piece) { writer.Write(piece); };
            if (!splice || !WriteSpliced(write, original, "Source text written whole"))
                if (m_dom) m_dom->writeXml(write);
            int endLine = 0, endChar = 0;
            filler.Finish(nullptr, endLine, endChar);
        } else if (!LoadEncodedText(m_buffer, SourceFile(GetFilename()), m_fileEncoding, m_textForm)) {
            m_buffer.InitNew();
        }
        // The text of a modified document is not the file's at any undo position.
        if (modified) m_buffer.MarkUnsaved();
        else m_buffer.SetModified(false);
        Modify(modified);
    }
    m_treeRebuildPending = true;
}

bool CBrindleDoc::AutoFormat(const XmlNodePtr& node, std::string& out, int depth)
{
    if (!m_domValid) {
        m_errors.Add("Auto format only works on documents that are valid XML.", MsgIcon::Warning);
        return false;
    }
    return AutoFormatNode(node, out, depth, true, FormattedTextEncoding());
}

FileEncoding CBrindleDoc::FormattedTextEncoding() const
{
    // The formatted text is saved in the encoding its first line, the
    // declaration, names.
    std::string declaration;
    const XmlNodePtr first = m_dom ? m_dom->firstChild() : nullptr;
    if (first && first->nodeType() == NODE_PROCESSING_INSTRUCTION && first->nodeName() == "xml")
        declaration = "<?xml " + first->nodeValue().value_or(std::string()) + "?>";
    return EncodingToSave(m_fileEncoding, declaration);
}

bool CBrindleDoc::ReformatSourceText()
{
    const std::string oldText = GetWholeText(m_buffer);
    XmlParseError error;
    switch (ParseText(&error)) {
    case SourceCheck::NotWellFormed: m_errors.Add(NotWellFormedMessage(error)); return false;
    case SourceCheck::Cancelled: return false;
    case SourceCheck::Valid:
    case SourceCheck::NotValid: break;
    }
    std::string text;
    try {
        if (!AutoFormat(m_dom, text, 0)) return false;
    } catch (const DomError& error) {
        m_errors.Add(DomErrorText(error, "Auto format failed."));
        return false;
    }
    ReplaceSourceText(WithCrLfAfterCr(text), oldText);
    return true;
}

void CBrindleDoc::MarkSourceEntered()
{
    const bool filesOwnText = (!m_domValid || KeptText() != OwnText::None) && !m_buffer.IsModified();
    if (!filesOwnText) Modify(true);
}

void CBrindleDoc::SourceViewFocused()
{
    if (Settings::GetKeepOwnText() == 0) Modify(true);
}

CBrindleDoc::SourceEntry CBrindleDoc::EnterSourceMode()
{
    RegenerateText();
    m_sourceIsMaster = true;
    MarkSourceEntered();
    // An HTML file is not called wrong for not being XML when it opens; Validate
    // still checks it on request.
    return std::exchange(m_htmlOpening, false) ? SourceEntry::HtmlAsText : SourceEntry::Validate;
}

std::string CBrindleDoc::NotWellFormedMessage(const XmlParseError& error)
{
    std::string message = "Source XML document contains errors.";
    if (const std::string why = DescribeParseError(error); !why.empty()) message += "\n\n" + why;
    return message;
}

CBrindleDoc::SourceExit CBrindleDoc::LeaveSourceMode()
{
    ClearErrorMarks();
    const std::uint64_t textBytes = TextBytes(m_buffer);
    // A large text changed since it was last found well-formed is checked first,
    // without a tree and in a fraction of the parse's time: a text that does not
    // parse is refused with nothing built, and one that does lets the old tree
    // go before the new one is built, so that the two never stand side by side.
    if (m_domValid && !TextKnownToParse() && textBytes >= kCheckedFirstBytes) {
        XmlParseError error;
        const SourceCheck check = CheckText(error, false);
        if (check == SourceCheck::NotWellFormed) return {false, NotWellFormedMessage(error)};
        if (check == SourceCheck::Cancelled) return {false, std::string()};
    }
    // The old tree lives until the new one is complete, so none of it counts
    // as free, unless it is the tree of this very text, freed first.
    const std::uint64_t freed = TextKnownToParse() && m_domValid ? EstimatedDomBytes(textBytes) : 0;
    const std::string refusal = DomMemoryRefusal(textBytes, freed, "It stays in Source mode.");
    if (!refusal.empty()) return {false, refusal, false};
    XmlParseError error;
    const SourceCheck check = ParseText(&error);
    if (check == SourceCheck::NotWellFormed) return {false, NotWellFormedMessage(error)};
    if (check == SourceCheck::Cancelled) return {false, std::string()};
    return {true, check == SourceCheck::NotValid ? ValidityMessage(error) : std::string()};
}

void CBrindleDoc::EnterTreeMode()
{
    m_sourceIsMaster = false;
    UpdateAllViews();
}

bool CBrindleDoc::OnSaveDocument(const wxString& wxPath)
{
    const std::string path = wxPath.utf8_string();
    const std::string source = SourceFile(GetFilename());
    if (!m_sourceIsMaster && !m_domValid) {
        // A file that did not parse has no DOM to write: its text is the document.
        RegenerateText();
    }
    const OwnText own = KeptText();
    if (m_sourceIsMaster || !m_domValid || own == OwnText::Buffer) {
        // A cancelled save leaves the file as it was, and says nothing.
        ProgressScope progress("Saving " + std::filesystem::path(path).filename().string() + " ...");
        if (!SaveEncodedText(m_buffer, path, m_fileEncoding, m_textForm, m_errors, progress.Callback())) return false;
    } else if ((own == OwnText::File || !IsModified()) && !m_isNew && std::filesystem::is_regular_file(source)) {
        // An unchanged document is written as the bytes it was read from, so Save
        // As copies a file exactly instead of re-serialising it.
        std::string bytes;
        if (source != path && (!ReadFileBytes(source, bytes) || !WriteFileAtomically(path, bytes))) {
            m_errors.Add("创建文件错误");
            return false;
        }
    } else {
        try {
            if (!SaveSpliced(path)) SaveDomToFile(path);
        } catch (const DomError& error) {
            m_errors.Add("Their was a problem saving document. Saving Source");
            // The text may be stale or empty while the DOM is the edited form, so it
            // is brought up to date from the DOM before it is written.
            RegenerateText();
            SaveEncodedText(m_buffer, path, m_fileEncoding, m_textForm, m_errors);
            return false;
        }
    }
    Modify(false);
    m_isNew = false;
    SetDocumentSaved(true);
    return true;
}

bool CBrindleDoc::CanSplice() const
{
    return Settings::GetKeepOwnText() != 0 && m_domValid && m_dom && m_spliceFrom != OwnText::None &&
           m_dom->hasSourceSpans();
}

std::string CBrindleDoc::SpliceOriginal(std::string& whyNot) const
{
    if (m_spliceFrom != OwnText::Buffer) return {};
    if (m_buffer.GetChangeCount() != m_spliceBufferChange) {
        whyNot = "the text changed since the tree was built from it";
        return {};
    }
    // The text exactly as the parser read it.
    std::string text;
    BufferTextSource source(m_buffer);
    for (std::string_view piece = source.Next(); !piece.empty(); piece = source.Next()) text += piece;
    return text;
}

bool CBrindleDoc::WriteSpliced(const std::function<void(std::string_view)>& write, const std::string& original,
                               const std::string& notePrefix)
{
    // A splice that cannot be sound writes nothing and says why.
    const std::string why = m_dom->writeSpliced(write, original, "\n");
    if (why.empty()) return true;
    m_statusNote = notePrefix + ": " + why + ".";
    return false;
}

bool CBrindleDoc::SaveSpliced(const std::string& path)
{
    if (!CanSplice()) return false;
    if (m_spliceFrom == OwnText::File) {
        const std::string why = m_dom->saveSpliced(path);
        if (why.empty()) return true;
        m_statusNote = "Saved whole: " + why + ".";
        return false;
    }
    // The buffer holds the original and stays as it is: the spliced text goes
    // through a buffer of its own, to be written in the file's encoding.
    std::string whyNot;
    const std::string original = SpliceOriginal(whyNot);
    if (!whyNot.empty()) {
        m_statusNote = "Saved whole: " + whyNot + ".";
        return false;
    }
    CTextBuffer spliced;
    spliced.InitNew(m_eolMode);
    {
        CTextBufferFiller filler(spliced);
        CrLfBreakWriter writer(filler);
        if (!WriteSpliced([&writer](std::string_view piece) { writer.Write(piece); }, original, "Saved whole")) return false;
        int endLine = 0, endChar = 0;
        filler.Finish(nullptr, endLine, endChar);
    }
    ProgressScope progress("Saving " + std::filesystem::path(path).filename().string() + " ...");
    // A failed write has told the user; the file is as it was.
    if (!SaveEncodedText(spliced, path, m_fileEncoding, m_textForm, m_errors, progress.Callback()))
        throw DomError(kDomWriteFault, "The document cannot be written.");
    return true;
}

std::string CBrindleDoc::FormatDomError(const std::string& context, const std::string& errorText,
                                        const XmlParseError& parseError)
{
    std::ostringstream out;
    out << context << " \n\n"
        << errorText << " \n\nDOM Error:\t " << parseError.errorCode << "\nDOM Line:\t " << parseError.line
        << "\nDOM linepos:\t " << parseError.linepos << "\nDOM filepos:\t " << parseError.filepos
        << "\nDOM reason:\t " << parseError.reason << "\nDOM srctext:\t " << parseError.srcText;
    return out.str();
}

std::string CBrindleDoc::DomErrorText(const DomError& error, const std::string& context) const
{
    const XmlParseError parseError = m_dom ? m_dom->parseError() : XmlParseError{};
    return FormatDomError(context, ComErrorText(error.code()), parseError);
}
