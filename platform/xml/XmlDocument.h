#pragma once

#include "platform/xml/XmlElement.h"
#include "platform/xml/XmlFileForm.h"
#include "platform/xml/XmlParseError.h"
#include "platform/xml/XmlTextSource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// Where a node's text lies in the text it was loaded from: byte offsets of its
// first character and past its last.
struct XmlSourceSpan {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

// A DOM document over libxml2: the document node itself plus loading, saving,
// node creation and validation. Create one through ParserRegistry or Create().
//
// Safety: parsing, validating and transforming never touch the network. External
// DTDs, entities and schemas are read only from local files (and only when
// resolveExternals is true); entity expansion beyond the larger of
// sixteen megabytes or ten times the input, and element nesting deeper than
// 1024 levels, are refused with a parse error.
//
// The XML declaration of a loaded document is kept as its first child: a
// processing instruction with the target "xml" and the declaration's text as data
// (as written, quotes included). Removing it drops the declaration; save then
// writes UTF-8.
class BRINDLEKIT_API XmlDocument : public XmlNode {
public:
    // A new, empty document.
    static XmlDocumentPtr Create();
    ~XmlDocument() override;

    // --- load options (read at the next load/loadXML)
    bool async() const { return m_async; }
    void put_async(bool value) { m_async = value; } // loading is synchronous either way
    bool validateOnParse() const { return m_validateOnParse; }
    void put_validateOnParse(bool value) { m_validateOnParse = value; }
    bool resolveExternals() const { return m_resolveExternals; }
    void put_resolveExternals(bool value) { m_resolveExternals = value; }
    // false drops white-space-only text nodes on load. Default true: an editor
    // keeps the layout of the file it opened.
    bool preserveWhiteSpace() const { return m_preserveWhiteSpace; }
    void put_preserveWhiteSpace(bool value) { m_preserveWhiteSpace = value; }
    // Loads note where each element lies in the text they read (with
    // preserveWhiteSpace), so that a save after edits can keep the original
    // text of everything the edits did not reach. Default false.
    bool keepSourceSpans() const { return m_keepSourceSpans; }
    void put_keepSourceSpans(bool value) { m_keepSourceSpans = value; }
    // transformNode reads a copy of the tree whose xi:include elements are
    // replaced by what they include (local files only). Default false.
    bool processXIncludes() const { return m_processXIncludes; }
    void put_processXIncludes(bool value) { m_processXIncludes = value; }

    // "SelectionLanguage": "XPath" or "XSLPattern" (both evaluated as XPath 1.0);
    // "SelectionNamespaces": "xmlns:p='uri' ..." prefixes for selectNodes.
    // Other names throw kDomInvalidArg.
    void setProperty(const std::string& name, const std::string& value);
    std::string getProperty(const std::string& name) const;

    // Replace the content with the parsed file. true when a DOM was built; on
    // false the document is empty and parseError() tells why. With
    // validateOnParse, a document that has a DTD must also be valid against it.
    bool load(const std::string& path);
    // The same for UTF-8 text (a byte-order mark is skipped; the declaration's
    // encoding name is kept but not used for decoding). baseUrl (a file path)
    // locates relative DTD and entity references; empty means the current
    // folder.
    bool loadXML(const std::string& text, const std::string& baseUrl = std::string());
    // One parse that tells a text that is not valid from one that is not
    // well-formed. A well-formed input becomes the content: Loaded, or NotValid
    // when validateOnParse is on and its DTD or schema rejects it (parseError()
    // tells why). An input that is not well-formed is Refused: parseError() tells
    // why and the content stays as it was. Reading the text from a source that
    // gets cancelled is Cancelled, the content as it was.
    enum class LoadOutcome { Loaded, NotValid, Refused, Cancelled };
    LoadOutcome loadKeepingContent(const std::string& path);
    LoadOutcome loadXMLKeepingContent(const std::string& text, const std::string& baseUrl = std::string());
    LoadOutcome loadXMLKeepingContent(XmlTextSource& text, const std::string& baseUrl = std::string());
    // Empties the document now, ahead of a load that replaces its content, so
    // that the load reuses the old tree's memory instead of taking as much again
    // from the system. Only a tree no node object holds any more can go: false,
    // and the content kept, while one does.
    bool releaseContent();
    // How many parses (loads of files and texts) this thread has run.
    static std::uint64_t parsesRun();
    // A large tree that is replaced or released is freed on a thread of its
    // own, which then hands the memory back to the system. This waits until the
    // trees released so far are freed and their memory returned; true when
    // there were any since the last call.
    static bool waitForFreedMemory();
    // Writes the document to the file in the encoding its XML declaration names
    // (else the file form's, else UTF-8), with the file form's byte-order mark
    // when that encoding is the mark's (UTF-8, or UTF-16 in the mark's byte
    // order): a temporary file in the same folder, flushed to disk,
    // then renamed over the target, whose permissions are kept. Throws DomError
    // (kDomInvalidArg for an encoding that cannot be written, kDomFileNotFound /
    // kDomAccessDenied / kDomWriteFault for file errors).
    void save(const std::string& path) const;

    // --- splicing: the text of the last load with only what changed rewritten
    // An element's span in the text of the last load (a file's bytes; for a file
    // not in UTF-8, its text decoded to UTF-8): none for a node added since, one
    // read from an entity, or a load that noted no spans.
    std::optional<XmlSourceSpan> sourceSpan(const XmlNodePtr& node) const;
    // Writes the content as UTF-8 (without a byte-order mark): the text it was
    // loaded from wherever nothing changed since the load, and each changed
    // node written to match its surroundings (its siblings' indentation, its
    // element's attribute quotes, lineBreak in new text: empty for the text's
    // own first one). original is the text of the load; leave it empty for a
    // file load, whose file is held since. Returns "" when written, else why a
    // splice could not be sound (then nothing was written).
    std::string writeSpliced(const std::function<void(std::string_view)>& write, std::string_view original = {},
                             const std::string& lineBreak = std::string()) const;
    // save() writing the spliced text: "" when saved, else the reason it could
    // not be, and the file untouched (the caller then saves the whole). File
    // errors throw as save() does.
    std::string saveSpliced(const std::string& path, std::string_view original = {}) const;
    // Whether the last load noted spans, so that a splice can be tried.
    bool hasSourceSpans() const;
    // Memory the span table takes, in bytes (0 without one).
    std::uint64_t sourceSpanBytes() const;
    // How the content's file was stored, which save keeps. load() takes it from
    // the file; loadXML() clears it (but for a UTF-8 byte-order mark in the
    // text), so a caller that parses the text of a file sets it again.
    XmlFileForm fileForm() const;
    void put_fileForm(const XmlFileForm& form);
    // The error of the last load/loadXML (errorCode 0 after a success).
    const XmlParseError& parseError() const { return m_parseError; }
    // Validates the current content against its DTD and, when the document
    // element names one with xsi:schemaLocation or xsi:noNamespaceSchemaLocation,
    // against that XML Schema (local files only). Returns the first error
    // (errorCode 0 when valid, or when there is nothing to validate against).
    XmlParseError validate();
    // The same on a copy of the tree with its xi:include elements replaced by
    // what they include (local files only); an include that cannot be made is
    // the error. The document's own tree is left as it is.
    XmlParseError validateWithIncludes() const;

    XmlElementPtr documentElement() const;
    // The document type node, or nullptr.
    XmlNodePtr doctype() const;

    // Creates an unattached node of this document. type: NODE_ELEMENT,
    // NODE_ATTRIBUTE (name may be "xmlns" / "xmlns:p"), NODE_TEXT,
    // NODE_CDATA_SECTION, NODE_COMMENT (name ignored), NODE_PROCESSING_INSTRUCTION
    // (name is the target, empty data), NODE_ENTITY_REFERENCE (name is the
    // entity), NODE_DOCUMENT_FRAGMENT. With a namespace URI, an element's prefix
    // (or the default namespace) is declared on it and an attribute's prefix is
    // bound (declared where it is attached); without one the name is kept as
    // given, in no namespace. Other types, or a name that is not an XML name,
    // throw kDomInvalidArg.
    XmlNodePtr createNode(int type, const std::string& name, const std::string& namespaceURI);
    XmlElementPtr createElement(const std::string& tagName);
    XmlAttributePtr createAttribute(const std::string& name);
    XmlNodePtr createTextNode(const std::string& data);
    XmlNodePtr createComment(const std::string& data);
    XmlNodePtr createCDATASection(const std::string& data);
    // target "xml" creates an XML declaration with data as its text.
    XmlProcessingInstructionPtr createProcessingInstruction(const std::string& target, const std::string& data);
    XmlNodePtr createDocumentFragment();
    XmlNodePtr createEntityReference(const std::string& name);

private:
    XmlDocument();
    // Parses text, else source, else the file at path.
    LoadOutcome Parse(const std::string* text, XmlTextSource* source, const std::string& path,
                      const std::string& baseUrl, bool keepContent);

    bool m_async = true;
    bool m_validateOnParse = true;
    bool m_resolveExternals = true;
    bool m_preserveWhiteSpace = true;
    bool m_keepSourceSpans = false;
    bool m_processXIncludes = false;
    std::string m_selectionLanguage = "XSLPattern";
    std::string m_selectionNamespaces;
    XmlParseError m_parseError;

    friend struct detail::NodeAccess;
};

} // namespace brindle
