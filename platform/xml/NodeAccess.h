#pragma once

// Internal to the parser component: how node objects map onto libxml2 nodes.

#include "platform/xml/SourceSpans.h"
#include "platform/xml/XmlDocument.h"

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brindle {
class HeldFile;
}

namespace brindle::detail {


// Owns one libxml2 document tree. Node objects hold it, so a tree lives as long
// as any node of it is referenced, even after its document object loaded new
// content. The xmlDoc's _private points here.
struct DocHolder {
    explicit DocHolder(xmlDocPtr d);
    ~DocHolder();
    DocHolder(const DocHolder&) = delete;
    DocHolder& operator=(const DocHolder&) = delete;

    xmlDocPtr doc;
    std::weak_ptr<DocHolder> self;
    XmlDocument* owner = nullptr;   // the document object whose content this is or was
    XmlFileForm form;              // how the input was stored, which save keeps
    // The internal subset of `subsetOf` as written in the input, which the
    // serialisation writes instead of libxml2's rendering of its declarations.
    xmlDtdPtr subsetOf = nullptr;
    std::string internalSubset;
    // Bytes of the input the tree was parsed from: freeing a large tree hands
    // the freed memory back to the system.
    uint64_t inputSize = 0;
    // Where the elements lie in the input, when the load recorded it.
    std::unique_ptr<SourceSpans> spans;
    // The file the tree was parsed from, held open for spliced saves.
    std::shared_ptr<HeldFile> heldFile;
    // Freed on the releasing thread with its memory kept for the tree that
    // follows, however large.
    bool freeInPlace = false;
};

std::shared_ptr<DocHolder> NewHolder(xmlDocPtr doc, XmlDocument* owner);

// Bumped by every structural change, so live lists drop their position caches.
extern uint64_t g_treeGeneration;

struct NodeAccess {
    static xmlNodePtr Raw(const XmlNode& n) { return n.m_node; }
    static xmlNodePtr Raw(const XmlNodePtr& n) { return n ? n->m_node : nullptr; }
    static const std::shared_ptr<DocHolder>& Holder(const XmlNode& n) { return n.m_holder; }
    static XmlDocument* DocumentObject(const XmlNode& n);
    // The one object for a libxml2 node (created on first use); nullptr for null
    // and for a document tree that is no longer any document object's content.
    static XmlNodePtr Wrap(xmlNodePtr node);
    // After a subtree moved to another tree: repoint its node objects.
    static void Rehome(xmlNodePtr subtree, const std::shared_ptr<DocHolder>& holder);
    // Frees a detached subtree that no node object refers to any more.
    static void ReleaseIfUnreferenced(xmlNodePtr node);
    static void SetContent(XmlDocument& d, xmlDocPtr doc);
    static XmlParseError& ParseErrorOf(XmlDocument& d) { return d.m_parseError; }
    static const std::string& SelectionNamespaces(const XmlDocument& d) { return d.m_selectionNamespaces; }
};

// libxml2 node helpers shared by the component.
XmlNodeType DomType(const xmlNode* n);
std::string QName(const xmlNode* n); // prefix:name of elements and attributes
std::string ToStr(const xmlChar* s);
// The node's text content (an attribute's value), entity references expanded.
std::string Content(const xmlNode* n);
inline const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
// The XML declaration of the document: its first child when that is a
// processing instruction with the target "xml".
xmlNodePtr DeclarationOf(xmlDocPtr doc);
// A namespace owned by the document (doc->oldNs) for nodes outside any scope.
xmlNsPtr DocLevelNs(xmlDocPtr doc, const xmlChar* href, const xmlChar* prefix);
// Detaches a node from its parent; namespace references of the subtree move to
// document-level namespaces so the subtree stands alone.
void Detach(xmlNodePtr node);
// Links a detached node of the same document under parent, before ref (append
// when null), without libxml2's text merging.
void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref);
// Links a detached attribute into the element's list, before ref (last when null).
void LinkAttribute(xmlNodePtr element, xmlAttrPtr attr, xmlAttrPtr ref = nullptr);
// Points the namespace references of a subtree just linked into its tree that
// lie outside any declaration (the document-level ones a removal leaves) at the
// declaration in scope with the same prefix and URI, if there is one; so a node
// taken out and put back is bound exactly as before. False when a reference
// found none: libxml2's reconciliation must then bind (or declare) it, by URI.
bool BindToScope(xmlNodePtr subtree);
// The tree a node lies in, held so that it outlives a move of the node.
std::shared_ptr<DocHolder> KeepTree(xmlNodePtr node);
// Brings a detached node of another document into doc.
void Adopt(xmlNodePtr node, xmlDocPtr doc, xmlNodePtr newParent);
// Replaces the children of an element, attribute or fragment by one text node.
void ReplaceChildrenWithText(xmlNodePtr parent, const std::string& text);
// Sets the value of an attribute.
void SetAttrValue(xmlAttrPtr attr, const std::string& value);
// The DOM's view of child lists: an entity reference shows its entity's content,
// a document type node shows its entities; declarations libxml2 keeps among the
// children are skipped.
xmlNodePtr DomFirstChild(xmlNodePtr parent);
xmlNodePtr DomLastChild(xmlNodePtr parent);
xmlNodePtr DomNext(xmlNodePtr node);
xmlNodePtr DomPrev(xmlNodePtr node);
// Whether node lies inside entity content or a DTD (read-only for the DOM).
bool IsReadOnly(xmlNodePtr node);

// Serialisation (XmlSerialize.cpp).
std::string SerializeNode(xmlNodePtr node);
void SerializeNodeTo(xmlNodePtr node, const std::function<void(std::string_view)>& write);
void SaveDocument(const std::shared_ptr<DocHolder>& holder, const std::string& path);
std::string DeclarationPseudoAttribute(const std::string& data, const std::string& name);
// Throws the DomError for a file that cannot be written (errno err).
[[noreturn]] void FileError(int err, const std::string& path);

// Collects the first libxml2 error raised on this thread while it lives (the
// thread's previous handler is put back afterwards); also the libxslt messages
// of this thread. libxslt has one process-wide message handler, so it is set
// once (EnsureLibXml) to RouteXsltMessage, which hands each message to the
// capture of the thread that raised it. Given a list, every error is added to
// it as well (up to kMaxListedErrors). With namesIncludedFiles, an error about
// a node that an include brought names the included file (see ExpandIncludes
// with markers).
class ErrorCapture {
public:
    explicit ErrorCapture(std::vector<XmlParseError>* all = nullptr, bool namesIncludedFiles = false);
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;
    bool Failed() const { return first.errorCode != 0 || !messages.empty(); }
    // The first error's text, else the collected libxslt messages.
    std::string Message() const;

    XmlParseError first;  // first error of level error or fatal
    std::string messages; // libxslt's generic messages
    std::vector<XmlParseError>* all;
    bool namesIncludedFiles;

    // A structured error handler for a libxml2 context, given an ErrorCapture.
    static void Take(void* capture, xmlErrorPtr err);

private:
    void* m_prevContext;
    void* m_prevHandler;
    ErrorCapture* m_prevXsltCapture;
};

// A libxslt error callback adding to the ErrorCapture passed as context.
void CaptureXsltMessage(void* capture, const char* format, ...);
// libxslt's process-wide message handler: adds to this thread's ErrorCapture,
// or writes to standard error when the thread has none.
void RouteXsltMessage(void* unused, const char* format, ...);

// The text of line `line` (from 1) of the text or file, for error reports.
std::string SourceLine(const std::string* text, const std::string& path, long line);

// Calls visit(element) for the element and every element below it, in document
// order, until visit returns true; returns whether it did.
template <class Visit> bool ForEachElement(xmlNodePtr element, Visit visit)
{
    for (xmlNodePtr n = element; n;) {
        if (n->type == XML_ELEMENT_NODE) {
            if (visit(n)) return true;
            if (n->children) {
                n = n->children;
                continue;
            }
        }
        while (n != element && !n->next) n = n->parent;
        if (n == element) break;
        n = n->next;
    }
    return false;
}

// One-time libxml2/libxslt set-up (LibXmlSetup.cpp).
void EnsureLibXml();
// Whether a URL names a local file: a plain path or a "file:" URL.
bool IsLocalUrl(const char* url);
// What the user and system catalogs map the identifiers to, when the system
// identifier is not a local file that exists; empty when they map nothing
// (XmlCatalogs.cpp).
std::string ResolveByCatalogs(const char* url, const char* id);
// The parse running on this thread (its parser context's _private), if any.
const void* ActiveParse();
bool ActiveParseAllowsExternals();
// An external DTD or entity of the active parse was not read (network or
// external files off): its validity can then not be judged.
void NoteRefusedResource();

} // namespace brindle::detail
