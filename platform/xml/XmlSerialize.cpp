// Serialisation: the xml of nodes, and saving a document to a file.

#include "platform/xml/DomError.h"
#include "platform/xml/NodeAccess.h"

#include "platform/io/AtomicFileWriter.h"

#include <libxml/encoding.h>
#include <libxml/hash.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlsave.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle::detail {

namespace {

// The serialiser writes what the tree holds: no declaration of its own (the
// document keeps its declaration as a node) and no XHTML output rules, which
// would add a content-type meta element and namespace attributes to a document
// whose DOCTYPE names XHTML 1.0.
constexpr int kSaveOptions = XML_SAVE_NO_DECL | XML_SAVE_NO_XHTML;

// Where the serialiser's output goes: the caller's writer. An exception from it
// must not unwind through libxml2, so it is kept and rethrown afterwards.
struct ChunkSink {
    const std::function<void(std::string_view)>& write;
    std::exception_ptr failure;
};

int WriteToSink(void* context, const char* buffer, int len)
{
    auto* sink = static_cast<ChunkSink*>(context);
    try {
        sink->write(std::string_view(buffer, static_cast<size_t>(len)));
    } catch (...) {
        sink->failure = std::current_exception();
        return -1;
    }
    return len;
}

// Attribute values of a document without an encoding name would otherwise be
// written with character references for every non-ASCII character.
class EncodingNameScope {
public:
    explicit EncodingNameScope(xmlDocPtr doc) : m_doc(doc)
    {
        if (m_doc && !m_doc->encoding) {
            m_doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
            m_set = true;
        }
    }
    ~EncodingNameScope()
    {
        if (m_set) {
            xmlFree(const_cast<xmlChar*>(m_doc->encoding));
            m_doc->encoding = nullptr;
        }
    }
    EncodingNameScope(const EncodingNameScope&) = delete;
    EncodingNameScope& operator=(const EncodingNameScope&) = delete;

private:
    xmlDocPtr m_doc;
    bool m_set = false;
};

// While it lives, the document type node renders as the internal subset the
// input had: its declarations are swapped for one unescaped text node holding
// that subset (libxml2 writes a DTD's children between "[" and "]"), and
// notations, which libxml2 writes apart, are hidden.
class WrittenSubsetScope {
public:
    explicit WrittenSubsetScope(xmlDocPtr doc)
    {
        auto* holder = doc ? static_cast<DocHolder*>(doc->_private) : nullptr;
        if (!holder || !holder->subsetOf || doc->intSubset != holder->subsetOf) return;
        m_dtd = holder->subsetOf;
        std::string inner = holder->internalSubset;
        if (!inner.empty() && inner.front() == '\n') inner.erase(0, 1); // libxml2 writes "[\n"
        m_text = xmlNewDocTextLen(doc, X(inner), static_cast<int>(inner.size()));
        if (!m_text) throw DomError(kDomOutOfMemory);
        m_text->name = xmlStringTextNoenc;
        m_text->parent = reinterpret_cast<xmlNodePtr>(m_dtd);
        m_children = m_dtd->children;
        m_last = m_dtd->last;
        m_notations = m_dtd->notations;
        m_dtd->children = m_dtd->last = m_text;
        m_dtd->notations = nullptr;
        // libxml2 writes the brackets only for a DTD that declares something.
        if (!m_dtd->entities && !m_dtd->elements && !m_dtd->attributes && !m_dtd->pentities) {
            m_emptyTable = xmlHashCreate(0);
            m_dtd->pentities = m_emptyTable;
        }
    }
    ~WrittenSubsetScope()
    {
        if (!m_dtd) return;
        m_dtd->children = m_children;
        m_dtd->last = m_last;
        m_dtd->notations = m_notations;
        if (m_emptyTable) {
            m_dtd->pentities = nullptr;
            xmlHashFree(m_emptyTable, nullptr);
        }
        m_text->parent = nullptr;
        xmlFreeNode(m_text);
    }
    WrittenSubsetScope(const WrittenSubsetScope&) = delete;
    WrittenSubsetScope& operator=(const WrittenSubsetScope&) = delete;

private:
    xmlDtdPtr m_dtd = nullptr;
    xmlNodePtr m_text = nullptr;
    xmlNodePtr m_children = nullptr;
    xmlNodePtr m_last = nullptr;
    void* m_notations = nullptr;
    xmlHashTablePtr m_emptyTable = nullptr;
};

bool DeclaresOutsideNamespaces(xmlNodePtr node)
{
    if (!node->parent) return true; // may refer to document-level namespaces
    for (xmlNodePtr a = node->parent; a && a->type == XML_ELEMENT_NODE; a = a->parent)
        if (a->nsDef) return true;
    return false;
}

} // namespace

void SerializeNodeTo(xmlNodePtr node, const std::function<void(std::string_view)>& write)
{
    if (node->type == XML_ATTRIBUTE_NODE) {
        // libxml2 writes an attribute as " name=\"value\"": short, so trimmed whole.
        const std::string text = SerializeNode(node);
        write(text);
        return;
    }
    ChunkSink sink{write, nullptr};
    xmlSaveCtxtPtr save = xmlSaveToIO(WriteToSink, nullptr, &sink, "UTF-8", kSaveOptions);
    if (!save) throw DomError(kDomOutOfMemory);
    WrittenSubsetScope subset(node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node)
                              : node->type == XML_DTD_NODE ? node->doc
                                                           : nullptr);
    if (node->type == XML_DOCUMENT_NODE) {
        xmlSaveDoc(save, reinterpret_cast<xmlDocPtr>(node));
        xmlSaveClose(save);
        if (sink.failure) std::rethrow_exception(sink.failure);
        return;
    }
    EncodingNameScope scope(node->doc);
    xmlNodePtr copy = nullptr;
    if (node->type == XML_ELEMENT_NODE && DeclaresOutsideNamespaces(node)) {
        // Serialise a copy that declares the namespaces it uses, so the text
        // stands on its own (as on the clipboard).
        copy = xmlDocCopyNode(node, node->doc, 1);
        if (!copy) {
            xmlSaveClose(save);
            throw DomError(kDomOutOfMemory);
        }
        xmlDOMWrapReconcileNamespaces(nullptr, copy, 0);
    }
    xmlSaveTree(save, copy ? copy : node);
    xmlSaveClose(save);
    if (copy) xmlFreeNode(copy);
    if (sink.failure) std::rethrow_exception(sink.failure);
}

std::string SerializeNode(xmlNodePtr node)
{
    std::string out;
    const auto append = [&out](std::string_view piece) { out.append(piece); };
    if (node->type != XML_ATTRIBUTE_NODE) {
        SerializeNodeTo(node, append);
        return out;
    }
    ChunkSink sink{append, nullptr};
    xmlSaveCtxtPtr save = xmlSaveToIO(WriteToSink, nullptr, &sink, "UTF-8", kSaveOptions);
    if (!save) throw DomError(kDomOutOfMemory);
    {
        EncodingNameScope scope(node->doc);
        xmlSaveTree(save, node);
        xmlSaveClose(save);
    }
    if (sink.failure) std::rethrow_exception(sink.failure);
    if (!out.empty() && out.front() == ' ') out.erase(0, 1);
    return out;
}

std::string DeclarationPseudoAttribute(const std::string& data, const std::string& name)
{
    size_t pos = 0;
    while ((pos = data.find(name, pos)) != std::string::npos) {
        size_t i = pos + name.size();
        const bool startsWord = pos == 0 || std::strchr(" \t\r\n", data[pos - 1]);
        pos = i;
        if (!startsWord) continue;
        while (i < data.size() && std::strchr(" \t\r\n", data[i])) ++i;
        if (i >= data.size() || data[i] != '=') continue;
        ++i;
        while (i < data.size() && std::strchr(" \t\r\n", data[i])) ++i;
        if (i >= data.size() || (data[i] != '"' && data[i] != '\'')) continue;
        const char quote = data[i++];
        size_t end = data.find(quote, i);
        if (end == std::string::npos) continue;
        return data.substr(i, end - i);
    }
    return {};
}

namespace {

// Where the serialiser writes: the atomic writer of the target file. The
// serialiser ends lines with a line feed (a carriage return in content is
// written as a reference), so with CR LF breaks each line feed of the encoded
// output gets a carriage return before it: a byte in single-byte and multibyte
// encodings (none uses 0x0A inside a character), a code unit in UTF-16.
struct WriterSink {
    explicit WriterSink(AtomicFileWriter& target) : writer(target) {}
    AtomicFileWriter& writer;
    bool crLf = false;
    int unit = 1;           // bytes per code unit
    bool bigEndian = false; // of a two-byte unit
    std::string pending;    // the first byte of a unit split between two writes
    int error = 0;

    bool Put(const char* data, size_t size)
    {
        if (writer.Write(data, size)) return true;
        error = errno ? errno : EIO;
        return false;
    }
    bool IsLineFeed(unsigned char first, unsigned char second) const
    {
        return bigEndian ? first == 0 && second == '\n' : first == '\n' && second == 0;
    }
    bool WriteConverted(const char* buffer, size_t len);
};

bool WriterSink::WriteConverted(const char* buffer, size_t len)
{
    if (!crLf) return Put(buffer, len);
    std::string out;
    out.reserve(len + len / 16);
    if (unit == 1) {
        for (size_t i = 0; i < len; ++i) {
            if (buffer[i] == '\n') out += '\r';
            out += buffer[i];
        }
        return Put(out.data(), out.size());
    }
    std::string units = std::move(pending);
    units.append(buffer, len);
    pending.clear();
    if (units.size() % 2) {
        pending = units.back();
        units.pop_back();
    }
    const char cr[2] = {bigEndian ? '\0' : '\r', bigEndian ? '\r' : '\0'};
    for (size_t i = 0; i < units.size(); i += 2) {
        if (IsLineFeed(static_cast<unsigned char>(units[i]), static_cast<unsigned char>(units[i + 1])))
            out.append(cr, 2);
        out.append(units, i, 2);
    }
    return Put(out.data(), out.size());
}

int WriteToWriter(void* context, const char* buffer, int len)
{
    auto* sink = static_cast<WriterSink*>(context);
    return sink->WriteConverted(buffer, static_cast<size_t>(len)) ? len : -1;
}

uint32_t CodeForErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return kDomFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kDomAccessDenied;
    case ENOMEM: return kDomOutOfMemory;
    default: return kDomWriteFault;
    }
}

bool IsUtf8Name(const std::string& name)
{
    return xmlStrcasecmp(X(name), BAD_CAST "UTF-8") == 0 || xmlStrcasecmp(X(name), BAD_CAST "UTF8") == 0;
}

bool IsUtf16Name(const std::string& name)
{
    return xmlStrcasecmp(X(name), BAD_CAST "UTF-16") == 0 || xmlStrcasecmp(X(name), BAD_CAST "UTF16") == 0;
}

} // namespace

void FileError(int err, const std::string& path)
{
    throw DomError(CodeForErrno(err), "Cannot write \"" + path + "\": " + std::strerror(err));
}

void SaveDocument(const std::shared_ptr<DocHolder>& holder, const std::string& path)
{
    namespace fs = std::filesystem;
    xmlDocPtr doc = holder->doc;
    std::string encoding;
    if (xmlNodePtr decl = DeclarationOf(doc)) encoding = DeclarationPseudoAttribute(ToStr(decl->content), "encoding");
    else encoding = holder->form.encoding;
    if (encoding.empty()) encoding = "UTF-8";
    // The byte-order mark of the file goes back when the encoding is still its
    // own; UTF-16 is then written in the mark's byte order.
    const std::string& mark = holder->form.byteOrderMark;
    std::string bom;
    if (IsUtf8Name(encoding) && mark == "UTF-8") {
        bom = "\xEF\xBB\xBF";
    } else if (IsUtf16Name(encoding) && (mark == "UTF-16LE" || mark == "UTF-16BE")) {
        bom = mark == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF";
        encoding = mark;
    }
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding.c_str());
    if (!handler) throw DomError(kDomInvalidArg, "The encoding \"" + encoding + "\" is not supported.");
    xmlCharEncCloseFunc(handler);

    // Written beside the target (through a symbolic link to the file it names)
    // and renamed over it, keeping its permissions, so a failed save leaves the
    // old file as it was.
    AtomicFileWriter writer(path);
    errno = 0;
    if (!writer.Open()) FileError(errno ? errno : EACCES, path);
    WriterSink sink{writer};
    bool ok = bom.empty() || sink.Put(bom.data(), bom.size());
    sink.crLf = holder->form.lineBreak == "\r\n";
    if (xmlStrncasecmp(X(encoding), BAD_CAST "UTF-16", 6) == 0 || xmlStrncasecmp(X(encoding), BAD_CAST "UTF16", 5) == 0) {
        sink.unit = 2;
        // libxml2 writes plain UTF-16 little-endian.
        sink.bigEndian = xmlStrcasestr(X(encoding), BAD_CAST "BE") != nullptr;
    }
    WrittenSubsetScope subset(doc);
    if (ok) {
        xmlSaveCtxtPtr save = xmlSaveToIO(WriteToWriter, nullptr, &sink, encoding.c_str(), kSaveOptions);
        if (!save) throw DomError(kDomOutOfMemory);
        ok = xmlSaveDoc(save, doc) >= 0;
        ok = xmlSaveClose(save) >= 0 && ok;
        ok = ok && sink.pending.empty();
    }
    if (!sink.error && !ok)
        throw DomError(kDomWriteFault, "The document cannot be written in the encoding \"" + encoding + "\".");
    errno = 0;
    if (sink.error || !writer.Commit()) FileError(sink.error ? sink.error : errno ? errno : EIO, path);
}

} // namespace brindle::detail
