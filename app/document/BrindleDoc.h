#pragma once

#include "app/document/BrindleDocBase.h"
#include "app/document/DocTextBuffer.h"
#include "app/document/NodeHistory.h"
#include "app/document/TextEncoding.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlValidation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// An XML document: its DOM and its source text, one of which is the edited form
// at any moment (the source text while the source view is shown). Entering the
// source view regenerates the text from the DOM; leaving it parses the text back.
class CBrindleDoc : public CBrindleDocBase {
public:
    CBrindleDoc();
    ~CBrindleDoc() override;

    // --- state shared with the views
    void SetCurrentNode(const brindle::XmlNodePtr& node) { m_currentNode = node; }
    const brindle::XmlNodePtr& GetCurrentNode() const { return m_currentNode; }
    bool HasCurrentNode() const { return m_currentNode != nullptr; }
    const brindle::XmlDocumentPtr& GetDomDocument() const { return m_dom; }
    void SetTreeRebuildPending(bool pending) { m_treeRebuildPending = pending; }
    bool IsTreeRebuildPending() const { return m_treeRebuildPending; }
    void SetSourceIsMaster(bool master) { m_sourceIsMaster = master; }
    bool IsSourceMaster() const { return m_sourceIsMaster; }
    bool IsDomValid() const { return m_domValid; }
    CDocTextBuffer& GetTextBuffer() { return m_buffer; }
    // The encoding of the document's file, which saving the text keeps.
    const FileEncoding& GetFileEncoding() const { return m_fileEncoding; }

    // --- document operations
    // A fresh DOM from the configured parser; a bad identifier is reset once.
    bool CreateDom();
    bool OnNewDocument() override;
    // Loads the file into the DOM. A file that is not well-formed still opens,
    // with its text in the source view; so does a large file, or any file with
    // "Always start with Source View", as text only (see OpensAsTextOnly), and a
    // file whose tree would not fit in memory.
    bool OnOpenDocument(const wxString& path) override;
    // The file's text goes into the buffer now, as the document's own text.
    void HoldTextOf(const wxString& path) override;
    // Writes the source text when it is the edited form, else the DOM.
    bool OnSaveDocument(const wxString& path) override;

    // The DOM serialised by the parser, or "" while the DOM is not valid.
    std::string GetXmlText() const;
    // The parser writes the DOM to the path; parser errors propagate.
    bool SaveDomToFile(const std::string& path);
    // Whether the source text parses (with the document's validation setting);
    // when not, the error of the scratch parse. The error-line marks are cleared;
    // the document's DOM is not touched.
    bool CheckSourceParses(brindle::XmlParseError& error);
    // The same check, telling text that is well-formed but not valid (which can
    // still become the DOM) from text that is not well-formed. Cancelled: the
    // user gave the check up (error says so).
    enum class SourceCheck { Valid, NotValid, NotWellFormed, Cancelled };
    SourceCheck CheckSource(brindle::XmlParseError& error);
    // The Validate command's check of the source text: every error listed, the
    // schemas the document names that cannot be found among them; with against,
    // the text against that schema instead of its own. Clears the error marks.
    brindle::ValidationReport ValidateSource(const brindle::SchemaChoice* against = nullptr);
    // Leaving Source mode checks a text of this size or more before it parses it,
    // unless a check found it well-formed since its last change.
    static constexpr std::uint64_t kCheckedFirstBytes = 16u << 20;
    // Builds the DOM from the source text in one parse. Text that is well-formed
    // becomes the DOM, also when its DTD or schema rejects it (NotValid); text
    // that is not leaves the DOM as it was (NotWellFormed, or Cancelled when the
    // user gave the parse up). error, when given,
    // receives the parser's reason. The old tree is released as the new one comes
    // in: the node history is cleared and the current node becomes the node at
    // its path in the new tree, if there is one. A text that a check found
    // well-formed and that has not changed since is known to parse: its old tree
    // is freed first, so the new one takes that memory instead of as much again
    // (cancelled then, the document is left with its text and no tree).
    SourceCheck ParseText(brindle::XmlParseError* error = nullptr);
    // Source mode was entered: the text is the edited form from now on, so the
    // document counts as changed, unless the text is still the file's own (the
    // file's bytes of a document that did not parse, or the kept own text).
    void MarkSourceEntered();
    // The source view got the focus. With the own text kept, that changes
    // nothing (entering Source mode and edits decide); without, focusing the
    // source view marks the document modified.
    void SourceViewFocused();

    // --- the edited form. The frame shows what these decide.
    // Whether the document just opened is to show its source first: a file that
    // did not parse, or any file when the settings ask for it. Taking the answer
    // clears it.
    bool TakeShowAsSource() { return std::exchange(m_showAsSource, false); }
    // What the source view tells on entering Source mode: the outcome of a
    // validation, or, for an opened HTML file that is not XML (an HTML
    // transformation result, a web page), that it is edited as text.
    enum class SourceEntry { Validate, HtmlAsText };
    // The text is regenerated from the DOM and becomes the edited form.
    SourceEntry EnterSourceMode();
    // Leaving Source mode: only text that is not well-formed stays the edited
    // form (left is false); text its DTD rejects still becomes the DOM. The
    // message tells why the text stayed (empty when the user cancelled the
    // parse), or that the new tree is not valid. markError: the text is at
    // fault, and the source view is to mark where.
    struct SourceExit {
        bool left = true;
        std::string message;
        bool markError = true;
    };
    // A tree that would not fit in the memory available is not built: the text
    // stays, with a message that says so.
    SourceExit LeaveSourceMode();
    // Node Tree mode was entered: the DOM is the edited form; the views refresh.
    void EnterTreeMode();
    // Whether a file's name or first bytes say it is HTML.
    static bool LooksLikeHtml(const std::string& path, const std::string& start);
    // The message for a document that is well-formed but that its DTD rejects.
    static std::string ValidityMessage(const brindle::XmlParseError& error);
    // The message for a text that is not well-formed, which stays the edited form.
    static std::string NotWellFormedMessage(const brindle::XmlParseError& error);
    // The parser's reason and "Line N, position M", each part that is known, for
    // the messages that tell why a text was refused.
    static std::string DescribeParseError(const brindle::XmlParseError& error);
    // The line breaks (an EolMode) of the document's file, which text made from
    // the tree and files saved from the tree keep; CR LF for a new document.
    int GetEolMode() const { return m_eolMode; }
    // Refills the source text from the DOM, or from the file while the DOM is not
    // valid. The text's undo history is discarded.
    void RegenerateText();
    // Why the last save or text regeneration wrote the tree's whole
    // serialisation although the file's own text was kept for splicing ("" when
    // it spliced or had nothing to splice); told once.
    std::string TakeStatusNote() { return std::exchange(m_statusNote, std::string()); }
    // The parse-error message: the context, the error's text and the last parse error.
    std::string DomErrorText(const brindle::DomError& error, const std::string& context) const;
    static std::string FormatDomError(const std::string& context, const std::string& errorText,
                                      const brindle::XmlParseError& parseError);

    // The DOM was changed by an edit of its own rather than rebuilt from a text:
    // marks the document modified, and the next regeneration serialises the DOM.
    // Node operations call it; so does any code that changes nodes directly.
    void MarkDomChanged();
    // Grows with every change of the DOM (an edit, or a new tree from the text),
    // so that views showing a rendering of it know when it is stale.
    std::uint64_t GetDomRevision() const { return m_domRevision; }

    // The document's DOM written as indented source text (see AutoFormatNode),
    // with character references for what the text's encoding cannot hold;
    // false, with a message, while the DOM is not valid.
    bool AutoFormat(const brindle::XmlNodePtr& node, std::string& out, int depth);
    // Rewrites the source text as indented XML after a successful parse check:
    // the DOM is rebuilt from the text, formatted, and the formatted text
    // replaces the buffer's as one undoable step.
    bool ReformatSourceText();

    // --- plugins
    // Runs plugin script (command id - 300) of the script list on the source
    // text, which its result replaces as one undoable step. Only while the source
    // is the edited form. The plugin command: failures are told in message boxes.
    void RunPlugin(int commandId);
    // Replaces the whole source text (currently oldText) as one undoable step.
    void ReplaceSourceText(const std::string& newText, const std::string& oldText);

    // --- node operations. Each marks the document modified; a failing one adds
    // its message to the document's errors and returns none or false.
    // Creates a node of the kind under the parent (or the current node): an
    // element, text, CDATA section or comment is appended and given the value; an
    // attribute goes on the current element; a processing instruction is
    // appended. Entity references, entities and other kinds create nothing.
    brindle::XmlNodePtr CreateNode(int kind, const std::string& name, const std::optional<std::string>& value,
                                   const brindle::XmlNodePtr& parent, const std::string& namespaceURI);
    // The element that wraps several nodes put on the clipboard together.
    static constexpr const char* kClipboardWrapper = "___CLIPBOARD___";
    // An element of this document that sits nowhere yet; parser errors propagate.
    brindle::XmlElementPtr CreateDetachedElement(const std::string& name);
    // Removes an attribute from its owner element (or the current node), any other
    // node from its parent.
    bool DeleteNode(const brindle::XmlNodePtr& node, const brindle::XmlNodePtr& owner);
    // The DOM cannot rename, so a replacement takes the node's place: an element
    // with the old one's children and attributes (newNode receives it), an
    // attribute of the current element, a processing instruction appended to the
    // current node.
    bool RenameNode(const brindle::XmlNodePtr& node, const std::string& newName, brindle::XmlNodePtr& newNode,
                    const std::string& namespaceURI);
    // The kind's name shown to the user ("NODE_ELEMENT" ...).
    static std::string NodeTypeName(const brindle::XmlNodePtr& node);
    // "/" for the document, else "/a/b/c/" naming the node and its ancestors.
    static std::string GetNodePath(const brindle::XmlNodePtr& node);
    // The first node in document order whose path is the given one, or none.
    static brindle::XmlNodePtr FindNodeByPath(const brindle::XmlDocumentPtr& dom, const std::string& path);

    // Sets the value of a text, CDATA, comment, processing instruction or
    // attribute node, in its place.
    bool SetNodeValue(const brindle::XmlNodePtr& node, const std::string& value);

    // --- the node history: every node operation is one undoable step; the
    // operations made while a NodeStep lives form one step together (a drag,
    // a delete of several rows). Entering the source view or building the DOM
    // from the text clears it.
    class NodeStep : public NodeHistory::Step {
    public:
        explicit NodeStep(CBrindleDoc& doc) : NodeHistory::Step(doc.m_nodeHistory) {}
    };
    bool CanUndoNodeStep() const { return m_nodeHistory.CanUndo(); }
    bool CanRedoNodeStep() const { return m_nodeHistory.CanRedo(); }
    // Undoes or redoes one step: the DOM is exactly as before or after it, the
    // document is modified and the element the step was about is the current
    // node; the node tree is to be rebuilt. False, with the error text stored,
    // when the DOM refused (the history is then cleared).
    bool UndoNodeStep();
    bool RedoNodeStep();

    // --- node clipboard: one node's XML as plain text, or a "___CLIPBOARD___"
    // wrapper element whose children and attributes stand for several nodes.
    bool CopyNodeToClipboard(const brindle::XmlNodePtr& node);
    // Inserts the clipboard's XML under the target (or the current node); pasted
    // receives the (last) node inserted.
    bool PasteNode(const brindle::XmlNodePtr& target, brindle::XmlNodePtr& pasted);
    // The wrapper of copies of several nodes: attributes as its own; text, CDATA,
    // comments and processing instructions as children. Parser errors propagate.
    brindle::XmlElementPtr WrapNodes(const std::vector<brindle::XmlNodePtr>& nodes);
    // Moves nodes of the source document (this one or another) under the target,
    // without the clipboard: their XML (an element's own, else the wrapper's) is
    // pasted, then each is deleted (attributes from the owner); one step to undo
    // in each document. False, with the error text stored, when the paste failed
    // (nothing is deleted then) or a node could not be deleted.
    bool MoveNodes(CBrindleDoc& source, const std::vector<brindle::XmlNodePtr>& nodes,
                   const brindle::XmlNodePtr& owner, const brindle::XmlNodePtr& target);

private:
    std::string BaseUrl() const;
    // Opens the file as text only: its text goes straight into the buffer, with
    // a progress window that can cancel the open; no DOM is built.
    bool OpenAsText(const std::string& file, std::uint64_t fileBytes);
    // RunPlugin's work; failures go to the document's errors.
    void ApplyPlugin(int commandId);
    // The encoding the formatted text is to be saved in.
    FileEncoding FormattedTextEncoding() const;
    // The text the DOM was last built from, while no edit of the DOM's own has
    // come since: the file's (after an open) or the buffer's (after leaving the
    // source view). While the setting keeps it, regenerating and saving use that
    // text instead of the DOM's serialisation, so an unchanged document keeps its
    // own quotes, spacing and references.
    enum class OwnText { None, File, Buffer };
    OwnText KeptText() const;
    // Gives the element an attribute with the name and value of the given one, in
    // the same namespace: its prefix is declared on the element when needed.
    void SetAttributeFrom(const brindle::XmlElementPtr& element, const brindle::XmlNodePtr& attribute);
    // Removes the error-line marks that a check of the text set.
    void ClearErrorMarks();
    // The file form the DOM saves with: the file's byte-order mark and encoding
    // (see FileFormOf) and the document's line breaks.
    brindle::XmlFileForm SavedFileForm(brindle::XmlFileForm form) const;

    // The streaming check of the text, against the DTD and schema or not.
    SourceCheck CheckText(brindle::XmlParseError& error, bool validate);
    // How the text is checked: the parser settings, with or without validation.
    brindle::XmlCheckOptions CheckOptions(bool validate) const;
    // Whether the text is unchanged since a check or parse found it well-formed.
    bool TextKnownToParse() const;
    // Frees the tree ahead of parsing a text known to parse, when nothing else
    // holds its nodes; the document then has no tree until the parse ends.
    void ReleaseTreeAhead(const std::string& currentPath);

    bool RunNodeHistory(bool undo);
    // Splicing the tree's edits into the text it was read from (see
    // XmlDocument::writeSpliced): whether there is such a text, and the text
    // when the buffer holds it. Failures are left in m_statusNote.
    bool CanSplice() const;
    std::string SpliceOriginal(std::string& whyNot) const;
    bool WriteSpliced(const std::function<void(std::string_view)>& write, const std::string& original,
                      const std::string& notePrefix);
    bool SaveSpliced(const std::string& path);
    // Inserts the XML text under the target as PasteNode does the clipboard's.
    bool PasteXml(const brindle::XmlNodePtr& target, const std::string& text, brindle::XmlNodePtr& pasted);

    CDocTextBuffer m_buffer;
    NodeHistory m_nodeHistory;
    brindle::XmlNodePtr m_currentNode;
    brindle::XmlDocumentPtr m_dom;
    bool m_treeRebuildPending = false;
    std::uint64_t m_domRevision = 0;
    bool m_sourceIsMaster = false;
    bool m_domValid = true;
    // The buffer's change count when its text was last found well-formed.
    std::optional<std::uint64_t> m_wellFormedText;
    bool m_htmlOpening = false;
    bool m_showAsSource = false;
    FileEncoding m_fileEncoding;
    TextForm m_textForm = TextForm::Decoded; // of the buffer's text
    OwnText m_ownText = OwnText::None;
    // Where the text the tree was last read from lies, for splicing edits into
    // it: the file (held open by the DOM) or the buffer (at this change count).
    OwnText m_spliceFrom = OwnText::None;
    std::uint64_t m_spliceBufferChange = 0;
    std::string m_statusNote;
    bool m_textFromOpen = false; // the buffer was filled from the file at opening
    int m_eolMode = brindle::EOL_CRLF;
};
