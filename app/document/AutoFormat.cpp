#include "app/document/AutoFormat.h"

#include "platform/ui/UIServices.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlEscape.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

using namespace brindle;

namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsXmlSpace(text[begin])) ++begin;
    while (end > begin && IsXmlSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Appends text with every line feed turned into the output's "\r" break.
void AppendBreaksAsCr(std::string& out, std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            out.append(text.data() + start, i - start);
            out += '\r';
            start = i + 1;
        }
    }
    out.append(text.data() + start, text.size() - start);
}

// Appends text with the special characters escaped, each character the
// repertoire cannot hold written as a character reference (the text is saved in
// that encoding, and a reference is all it can keep of such a character) and
// each line feed as the output's "\r" break.
void AppendEscaped(std::string& out, std::string_view text, std::string_view specials, EncodingRepertoire& repertoire)
{
    const std::size_t from = out.size();
    AppendXmlEscaped(out, text, specials, [&repertoire](char32_t c) { return repertoire.Holds(c); });
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), '\n', '\r');
}

// Character data of an element. A carriage return that is part of the text is
// written as a reference, since a literal one would be read back as a line feed.
constexpr std::string_view kTextSpecials = "&<>\r";

// A CDATA section; "]]>" inside it ends one section and starts the next between
// its "]]" and ">".
void AppendCData(std::string& out, std::string_view text)
{
    out += "<![CDATA[";
    std::size_t start = 0;
    for (std::size_t found = text.find("]]>"); found != std::string_view::npos; found = text.find("]]>", start)) {
        AppendBreaksAsCr(out, text.substr(start, found + 2 - start));
        out += "]]><![CDATA[";
        start = found + 2;
    }
    AppendBreaksAsCr(out, text.substr(start));
    out += "]]>";
}

void AppendComment(std::string& out, std::string_view text)
{
    out += "<!--";
    AppendBreaksAsCr(out, text);
    out += "-->";
}

void Indent(std::string& out, int depth)
{
    if (depth > 1) out.append(static_cast<std::size_t>(depth - 1), '\t');
}

bool AtLineStart(const std::string& out) { return out.empty() || out.back() == '\r'; }

void AppendAttribute(std::string& out, const std::string& name, const std::string& value,
                     EncodingRepertoire& repertoire)
{
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value, kXmlAttributeSpecials, repertoire);
    out += '"';
}

void AppendAttributes(std::string& out, const XmlNode& node, EncodingRepertoire& repertoire)
{
    const XmlNamedNodeMapPtr attributes = node.attributes();
    if (!attributes) return;
    const long count = attributes->length();
    for (long i = 0; i < count; ++i) {
        if (const XmlNodePtr attribute = attributes->item(i))
            AppendAttribute(out, attribute->nodeName(), attribute->nodeValue().value_or(std::string()),
                            repertoire);
    }
}

// The namespace bindings in force at a point of the output, innermost last.
using NamespaceScope = std::vector<std::pair<std::string, std::string>>;

const std::string* Lookup(const NamespaceScope& scope, const std::string& prefix)
{
    for (auto it = scope.rbegin(); it != scope.rend(); ++it)
        if (it->first == prefix) return &it->second;
    return nullptr;
}

// An element's attributes, its namespace declarations first, as the element
// makes them. A prefix its names use that is still unbound (or bound to another
// namespace) in the output, as after a node was moved, gets a declaration here,
// so every name keeps its namespace. Bindings written are added to scope.
void AppendElementAttributes(std::string& out, XmlNode& node, NamespaceScope& scope, EncodingRepertoire& repertoire)
{
    struct Attribute {
        std::string name;
        std::string prefix;
        std::string uri;
        std::string value;
    };
    std::vector<Attribute> listed;
    const XmlElementPtr element = node.asElement();
    for (const auto& [prefix, uri] : element->namespaceDeclarations())
        listed.push_back({prefix.empty() ? "xmlns" : "xmlns:" + prefix, prefix.empty() ? "" : "xmlns", "", uri});
    if (const XmlNamedNodeMapPtr attributes = node.attributes()) {
        const long count = attributes->length();
        for (long i = 0; i < count; ++i) {
            if (const XmlNodePtr a = attributes->item(i))
                listed.push_back({a->nodeName(), a->prefix(), a->namespaceURI(), a->nodeValue().value_or(std::string())});
        }
    }
    const auto declare = [&](const std::string& prefix, const std::string& uri) {
        AppendAttribute(out, prefix.empty() ? "xmlns" : "xmlns:" + prefix, uri, repertoire);
        scope.emplace_back(prefix, uri);
    };
    const auto isListed = [&listed](const std::string& prefix) {
        const std::string name = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
        for (const Attribute& a : listed)
            if (a.name == name) return true;
        return false;
    };
    for (const Attribute& a : listed) {
        if (a.name == "xmlns") scope.emplace_back(std::string(), a.value);
        else if (a.prefix == "xmlns") scope.emplace_back(a.name.substr(6), a.value);
    }

    // The namespaces the names of this element need, the element's own first.
    std::vector<std::pair<std::string, std::string>> needed{{node.prefix(), node.namespaceURI()}};
    for (const Attribute& a : listed)
        if (!a.prefix.empty() && a.prefix != "xml" && a.prefix != "xmlns") needed.emplace_back(a.prefix, a.uri);
    const std::size_t inherited = scope.size();
    for (const auto& [prefix, uri] : needed) {
        bool declaredHere = false;
        for (std::size_t i = inherited; i < scope.size() && !declaredHere; ++i) declaredHere = scope[i].first == prefix;
        if (declaredHere || isListed(prefix)) continue;
        if (const std::optional<std::string> own = element->getAttribute(prefix.empty() ? "xmlns" : "xmlns:" + prefix)) {
            declare(prefix, *own);
            continue;
        }
        const std::string* bound = Lookup(scope, prefix);
        if (bound ? *bound != uri : !uri.empty()) declare(prefix, uri);
    }
    for (const Attribute& a : listed) AppendAttribute(out, a.name, a.value, repertoire);
}

// Whether a child writes anything: white-space-only text and CDATA vanish, and
// attributes, entities, notations and the like are never written as children.
bool WritesSomething(const XmlNode& child)
{
    switch (child.nodeType()) {
    case NODE_ELEMENT:
    case NODE_PROCESSING_INSTRUCTION:
    case NODE_DOCUMENT_TYPE:
    case NODE_COMMENT:
    case NODE_ENTITY_REFERENCE: return true;
    case NODE_TEXT: {
        const std::optional<std::string> value = child.nodeValue();
        return value && !Trim(*value).empty();
    }
    case NODE_CDATA_SECTION: {
        const std::optional<std::string> value = child.nodeValue();
        return value && !value->empty();
    }
    default: return false;
    }
}

class Formatter {
public:
    Formatter(std::string& out, EncodingRepertoire& repertoire) : m_out(out), m_repertoire(repertoire) {}

    // Writes the node with an explicit stack rather than recursion, so that a
    // deeply nested tree built through the DOM cannot exhaust the call stack.
    void Run(const XmlNodePtr& node, int depth)
    {
        OpenNode(node, depth);
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (!frame.next) {
                CloseFrame(frame);
                m_stack.pop_back();
                continue;
            }
            const XmlNodePtr child = std::move(frame.next);
            frame.next = child->nextSibling();
            WriteChild(frame, child); // may push a frame: frame is not used afterwards
        }
    }

private:
    struct Frame {
        XmlNodePtr next;   // the next child to write
        std::string name;  // the element's name for its end tag; empty for the document
        int depth;
        bool isDocument;
        std::size_t scopeSize = 0; // namespace bindings in force outside the element
        bool wroteBlock = false; // an element, instruction or document type child was written
    };

    // Writes the start of a node that takes whole lines and, when it has content
    // to walk, pushes its frame.
    void OpenNode(const XmlNodePtr& node, int depth)
    {
        switch (node->nodeType()) {
        case NODE_DOCUMENT:
            m_stack.push_back(Frame{node->firstChild(), std::string(), depth, true});
            break;
        case NODE_ELEMENT: OpenElement(node, depth); break;
        case NODE_PROCESSING_INSTRUCTION: WriteInstruction(*node, depth); break;
        case NODE_DOCUMENT_TYPE: WriteDocumentType(*node, depth); break;
        default: break; // the rest is written by its parent, among its content
        }
    }

    void StartLine(int depth)
    {
        if (!AtLineStart(m_out)) m_out += '\r';
        Indent(m_out, depth);
    }

    void OpenElement(const XmlNodePtr& element, int depth)
    {
        std::string name = element->nodeName();
        StartLine(depth);
        m_out += '<';
        m_out += name;
        const std::size_t scopeSize = m_scope.size();
        AppendElementAttributes(m_out, *element, m_scope, m_repertoire);
        XmlNodePtr first = element->firstChild();
        while (first && !WritesSomething(*first)) first = first->nextSibling();
        if (!first) {
            m_out += "/>\r";
            m_scope.resize(scopeSize);
            return;
        }
        m_out += '>';
        m_stack.push_back(Frame{std::move(first), std::move(name), depth, false, scopeSize});
    }

    void WriteInstruction(const XmlNode& instruction, int depth)
    {
        StartLine(depth);
        m_out += "<?";
        const std::string target = instruction.nodeName();
        m_out += target;
        const XmlNamedNodeMapPtr pseudo = target == "xml" ? instruction.attributes() : nullptr;
        if (pseudo && pseudo->length() > 0) {
            // The XML declaration: its pseudo-attributes, always in double quotes.
            AppendAttributes(m_out, instruction, m_repertoire);
        } else {
            const std::string data = instruction.nodeValue().value_or(std::string());
            if (!data.empty()) {
                m_out += ' ';
                AppendBreaksAsCr(m_out, data);
            }
        }
        m_out += "?>\r";
    }

    // The parser's own serialisation keeps the name, the PUBLIC and SYSTEM
    // identifiers and the internal subset. Characters of its entity values and
    // default values that the encoding cannot hold came from references, and go
    // back to references.
    void WriteDocumentType(const XmlNode& doctype, int depth)
    {
        StartLine(depth);
        AppendEscaped(m_out, Trim(doctype.xml()), "", m_repertoire);
        m_out += '\r';
    }

    void WriteChild(Frame& frame, const XmlNodePtr& child)
    {
        switch (child->nodeType()) {
        case NODE_ELEMENT:
        case NODE_PROCESSING_INSTRUCTION:
        case NODE_DOCUMENT_TYPE:
            frame.wroteBlock = true;
            OpenNode(child, frame.depth + 1);
            return;
        case NODE_COMMENT: {
            const std::optional<std::string> value = child->nodeValue();
            Indent(m_out, frame.depth);
            m_out += "\r\n";
            AppendComment(m_out, value ? *value : std::string_view());
            return;
        }
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_ENTITY_REFERENCE: break;
        default: return;
        }
        if (frame.isDocument) return; // no character data outside the root element

        if (child->nodeType() == NODE_ENTITY_REFERENCE) {
            StartContent(frame);
            m_out += '&';
            m_out += child->nodeName();
            m_out += ';';
            return;
        }
        const std::optional<std::string> value = child->nodeValue();
        if (child->nodeType() == NODE_TEXT) {
            const std::string_view text = Trim(value ? *value : std::string_view());
            if (text.empty()) return;
            StartContent(frame);
            AppendEscaped(m_out, text, kTextSpecials, m_repertoire);
            return;
        }
        // A CDATA section keeps its text as it is, white space included. Sections
        // that would end up side by side are written as one: the parser joins
        // adjacent sections, and formatting again must not change the text.
        std::string joined = value.value_or(std::string());
        while (frame.next) {
            const XmlNodeType type = frame.next->nodeType();
            if (type != NODE_CDATA_SECTION && (type != NODE_TEXT || WritesSomething(*frame.next))) break;
            if (type == NODE_CDATA_SECTION) {
                const std::optional<std::string> more = frame.next->nodeValue();
                joined += more.value_or(std::string());
            }
            frame.next = frame.next->nextSibling();
        }
        if (joined.empty()) return;
        StartContent(frame);
        AppendCData(m_out, joined);
    }

    // Character data that follows a child element starts on the child's indentation.
    void StartContent(const Frame& frame)
    {
        if (AtLineStart(m_out)) Indent(m_out, frame.depth + 1);
    }

    void CloseFrame(const Frame& frame)
    {
        if (frame.isDocument) {
            if (!AtLineStart(m_out)) m_out += '\r';
            return;
        }
        m_scope.resize(frame.scopeSize);
        if (frame.wroteBlock) StartLine(frame.depth);
        m_out += "</";
        m_out += frame.name;
        m_out += ">\r";
    }

    std::string& m_out;
    EncodingRepertoire& m_repertoire;
    std::vector<Frame> m_stack;
    NamespaceScope m_scope;
};

} // namespace

bool AutoFormatNode(const XmlNodePtr& node, std::string& out, int depth, bool domValid, const FileEncoding& encoding)
{
    if (!node) return false;
    if (!domValid) return false;
    WaitCursor wait;
    EncodingRepertoire repertoire(encoding);
    Formatter(out, repertoire).Run(node, depth);
    return true;
}
