// Spliced saves: the text of the last load, with only what changed rewritten.

#include "platform/xml/XmlDocument.h"

#include "platform/io/AtomicFileWriter.h"
#include "platform/io/HeldFile.h"
#include "platform/xml/DomError.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/Splicer.h"

#include <libxml/encoding.h>

#include <algorithm>
#include <cerrno>

namespace brindle {

using namespace detail;

namespace {

// Texts up to this size are parsed again after splicing and compared with the
// tree; larger ones rely on the checks made while splicing.
constexpr uint64_t kCheckedSpliceBytes = 16u << 20;

} // namespace

std::string XmlDocument::writeSpliced(const std::function<void(std::string_view)>& write, std::string_view original,
                                      const std::string& lineBreakArg) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    if (!table) return "the document's original text was not kept";
    if (!table->wholeReason.empty()) return table->wholeReason;
    std::string decoded;
    std::string_view text = original;
    if (text.empty() && m_holder->heldFile) {
        std::string whyNot;
        text = m_holder->heldFile->Bytes(whyNot);
        if (!whyNot.empty()) return whyNot;
        if (!table->decodedFrom.empty()) {
            if (!DecodeText(text.substr(std::min<size_t>(table->decodedSkip, text.size())), table->decodedFrom, decoded))
                return "the file can no longer be decoded";
            text = decoded;
        }
    }
    if (text.size() != table->textSize) return "the original text is no longer at hand";
    xmlDocPtr doc = m_holder->doc;
    // New text takes the line break the text begins with, unless told one.
    std::string lineBreak = lineBreakArg;
    if (lineBreak.empty()) {
        const size_t first = text.find('\n');
        lineBreak = first != std::string_view::npos && first > 0 && text[first - 1] == '\r' ? "\r\n" : "\n";
    }
    try {
        if (text.size() <= kCheckedSpliceBytes) {
            std::string out;
            const std::function<void(std::string_view)> collect = [&out](std::string_view piece) { out += piece; };
            SpliceDocument(*table, text, doc, collect, lineBreak);
            if (!ParsesToTree(out, doc)) return "the spliced text did not match the tree";
            write(out);
        } else {
            // A dry run first, so that nothing is written when the splice fails.
            const std::function<void(std::string_view)> none = [](std::string_view) {};
            SpliceDocument(*table, text, doc, none, lineBreak);
            SpliceDocument(*table, text, doc, write, lineBreak);
        }
    } catch (const SpliceStop& stop) {
        if (m_holder->heldFile) m_holder->heldFile->Unmap();
        return stop.reason;
    }
    // The file's pages are not kept in memory between saves.
    if (m_holder->heldFile) m_holder->heldFile->Unmap();
    return {};
}

std::string XmlDocument::saveSpliced(const std::string& path, std::string_view original) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    if (!table) return "the document's original text was not kept";
    // A file read as UTF-8 is written as UTF-8 (its byte-order mark is part of
    // the text); one decoded for the load is encoded back the same way.
    xmlCharEncodingHandlerPtr handler = nullptr;
    if (!table->decodedFrom.empty() && original.empty()) {
        handler = xmlFindCharEncodingHandler(table->decodedFrom.c_str());
        if (!handler) return "the encoding \"" + table->decodedFrom + "\" is not supported";
    }
    AtomicFileWriter writer(path);
    errno = 0;
    if (!writer.Open()) {
        if (handler) xmlCharEncCloseFunc(handler);
        FileError(errno ? errno : EACCES, path);
    }
    int error = 0;
    const auto put = [&](const char* bytes, size_t size) {
        if (!error && !writer.Write(bytes, size)) error = errno ? errno : EIO;
    };
    if (handler && table->decodedSkip == 2) put(table->decodedFrom == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF", 2);
    if (!handler && m_holder->form.byteOrderMark == "UTF-8") put("\xEF\xBB\xBF", 3);
    xmlBufferPtr in = handler ? xmlBufferCreate() : nullptr;
    xmlBufferPtr encoded = handler ? xmlBufferCreate() : nullptr;
    const std::function<void(std::string_view)> write = [&](std::string_view piece) {
        if (!handler) {
            put(piece.data(), piece.size());
            return;
        }
        xmlBufferEmpty(in);
        xmlBufferEmpty(encoded);
        xmlBufferAdd(in, reinterpret_cast<const xmlChar*>(piece.data()), static_cast<int>(piece.size()));
        // Characters the encoding lacks are written as character references.
        if (xmlCharEncOutFunc(handler, encoded, in) < 0 && !error) error = EILSEQ;
        put(reinterpret_cast<const char*>(xmlBufferContent(encoded)), static_cast<size_t>(xmlBufferLength(encoded)));
    };
    std::string reason = writeSpliced(write, original, m_holder->form.lineBreak);
    if (in) xmlBufferFree(in);
    if (encoded) xmlBufferFree(encoded);
    if (handler) xmlCharEncCloseFunc(handler);
    if (!reason.empty()) return reason; // the writer removes what it wrote
    if (error == EILSEQ) throw DomError(kDomInvalidArg, "The document cannot be written in its encoding.");
    errno = 0;
    if (error || !writer.Commit()) FileError(error ? error : errno ? errno : EIO, path);
    return {};
}

std::optional<XmlSourceSpan> XmlDocument::sourceSpan(const XmlNodePtr& node) const
{
    const SourceSpans* table = m_holder ? m_holder->spans.get() : nullptr;
    xmlNodePtr raw = NodeAccess::Raw(node);
    if (!table || !raw || NodeAccess::Holder(*node) != m_holder) return std::nullopt;
    const ElementSpan* span = table->Find(raw);
    if (!span) return std::nullopt;
    return XmlSourceSpan{span->start, span->end};
}

bool XmlDocument::hasSourceSpans() const { return m_holder && m_holder->spans; }

std::uint64_t XmlDocument::sourceSpanBytes() const
{
    return m_holder && m_holder->spans ? m_holder->spans->Bytes() : 0;
}

} // namespace brindle
