// The document object: options, loading, saving and node creation.

#include "platform/xml/XmlDocument.h"

#include "platform/io/HeldFile.h"
#include "platform/xml/DomError.h"
#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/TreeReaper.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlValidate.h"
#include "platform/xml/XmlXInclude.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

namespace brindle {

using namespace detail;

XmlDocument::XmlDocument() : XmlNode(nullptr, nullptr, nullptr) {}

XmlDocument::~XmlDocument()
{
    if (m_holder) m_holder->owner = nullptr;
}

XmlDocumentPtr XmlDocument::Create()
{
    EnsureLibXml();
    XmlDocumentPtr d(new XmlDocument());
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (!doc) throw DomError(kDomOutOfMemory);
    NodeAccess::SetContent(*d, doc);
    return d;
}

namespace detail {

void NodeAccess::SetContent(XmlDocument& d, xmlDocPtr doc)
{
    ++g_treeGeneration;
    auto holder = NewHolder(doc, &d);
    d.m_node = reinterpret_cast<xmlNodePtr>(doc);
    d.m_holder = std::move(holder); // the old tree lives on while its nodes are held
}

} // namespace detail

void XmlDocument::setProperty(const std::string& name, const std::string& value)
{
    if (name == "SelectionLanguage") {
        if (value != "XPath" && value != "XSLPattern")
            throw DomError(kDomInvalidArg, "Unknown selection language \"" + value + "\".");
        m_selectionLanguage = value;
    } else if (name == "SelectionNamespaces") {
        m_selectionNamespaces = value;
    } else {
        throw DomError(kDomInvalidArg, "Unknown property \"" + name + "\".");
    }
}

std::string XmlDocument::getProperty(const std::string& name) const
{
    if (name == "SelectionLanguage") return m_selectionLanguage;
    if (name == "SelectionNamespaces") return m_selectionNamespaces;
    throw DomError(kDomInvalidArg, "Unknown property \"" + name + "\".");
}

XmlDocument::LoadOutcome XmlDocument::Parse(const std::string* text, XmlTextSource* source, const std::string& path,
                                            const std::string& baseUrl, bool keepContent)
{
    LoadRequest request;
    request.text = text;
    request.source = source;
    request.keepTree = true;
    request.path = text || source ? baseUrl : path;
    request.validate = m_validateOnParse;
    request.resolveExternals = m_resolveExternals;
    request.preserveWhiteSpace = m_preserveWhiteSpace;
    request.keepInvalid = keepContent;
    request.recordSpans = m_keepSourceSpans;
    // The file is held from before the parse, so its bytes can be read back as
    // the parser read them (see LoadedFile).
    std::shared_ptr<HeldFile> held = m_keepSourceSpans && !text && !source ? HeldFile::Open(path) : nullptr;
    LoadResult result = LoadXml(request);

    if (result.doc && !result.notValid && m_validateOnParse && m_resolveExternals) {
        // A schema the document names must accept it too; a schema that cannot be
        // read (a network location, a missing file) is skipped at load time.
        SchemaOutcome schema = ValidateWithSchema(result.doc);
        if (schema.loaded && schema.error.Failed()) {
            result.error = schema.error;
            result.notValid = keepContent;
            if (!keepContent) {
                xmlFreeDoc(result.doc);
                result.doc = nullptr;
            }
        }
    }
    m_parseError = result.error; // errorCode 0 after a clean load
    if (m_parseError.Failed() && source) QuoteWholeLine(*source, m_parseError);
    else if (m_parseError.Failed() && m_parseError.srcText.empty())
        m_parseError.srcText = SourceLine(text, request.path, m_parseError.line);
    if (!result.doc) {
        if (keepContent) return result.cancelled ? LoadOutcome::Cancelled : LoadOutcome::Refused;
        xmlDocPtr empty = xmlNewDoc(BAD_CAST "1.0");
        if (!empty) throw DomError(kDomOutOfMemory);
        NodeAccess::SetContent(*this, empty);
        return LoadOutcome::Refused;
    }
    if (result.hasDeclaration) {
        xmlNodePtr pi = xmlNewDocPI(result.doc, BAD_CAST "xml", X(result.declaration));
        if (!pi) {
            xmlFreeDoc(result.doc);
            throw DomError(kDomOutOfMemory);
        }
        LinkChild(reinterpret_cast<xmlNodePtr>(result.doc), pi, result.doc->children);
    }
    NodeAccess::SetContent(*this, result.doc);
    m_holder->form = result.form;
    m_holder->subsetOf = result.hasInternalSubset ? result.doc->intSubset : nullptr;
    m_holder->internalSubset = std::move(result.internalSubset);
    m_holder->inputSize = result.inputSize;
    if (result.spans && (text || source || held)) {
        result.spans->Finish();
        m_holder->spans = std::move(result.spans);
        m_holder->heldFile = std::move(held);
    }
    return result.notValid ? LoadOutcome::NotValid : LoadOutcome::Loaded;
}

bool XmlDocument::load(const std::string& path)
{
    return Parse(nullptr, nullptr, path, std::string(), false) == LoadOutcome::Loaded;
}

bool XmlDocument::loadXML(const std::string& text, const std::string& baseUrl)
{
    return Parse(&text, nullptr, std::string(), baseUrl, false) == LoadOutcome::Loaded;
}

XmlDocument::LoadOutcome XmlDocument::loadKeepingContent(const std::string& path)
{
    return Parse(nullptr, nullptr, path, std::string(), true);
}

XmlDocument::LoadOutcome XmlDocument::loadXMLKeepingContent(const std::string& text, const std::string& baseUrl)
{
    return Parse(&text, nullptr, std::string(), baseUrl, true);
}

XmlDocument::LoadOutcome XmlDocument::loadXMLKeepingContent(XmlTextSource& text, const std::string& baseUrl)
{
    return Parse(nullptr, &text, std::string(), baseUrl, true);
}

bool XmlDocument::releaseContent()
{
    if (m_holder.use_count() > 1) return false;
    xmlDocPtr empty = xmlNewDoc(BAD_CAST "1.0");
    if (!empty) return false;
    m_holder->freeInPlace = true;
    NodeAccess::SetContent(*this, empty);
    return true;
}

std::uint64_t XmlDocument::parsesRun() { return ParsesRun(); }

bool XmlDocument::waitForFreedMemory() { return WaitForReapedTrees(); }

void XmlDocument::save(const std::string& path) const { SaveDocument(m_holder, path); }

XmlFileForm XmlDocument::fileForm() const { return m_holder->form; }

void XmlDocument::put_fileForm(const XmlFileForm& form) { m_holder->form = form; }

XmlParseError XmlDocument::validate()
{
    XmlParseError e = ValidateDocument(reinterpret_cast<xmlDocPtr>(m_node));
    if (e.Failed() && e.srcText.empty() && e.line > 0) {
        // Quote the line from the document's current serialisation.
        const std::string text = xml();
        e.srcText = SourceLine(&text, std::string(), e.line);
    }
    return e;
}

XmlParseError XmlDocument::validateWithIncludes() const
{
    EnsureLibXml();
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> copy(xmlCopyDoc(reinterpret_cast<xmlDocPtr>(m_node), 1),
                                                         &xmlFreeDoc);
    if (!copy) throw DomError(kDomOutOfMemory);
    return ValidateIncluding(copy.get(), m_resolveExternals);
}

XmlElementPtr XmlDocument::documentElement() const
{
    return std::static_pointer_cast<XmlElement>(NodeAccess::Wrap(xmlDocGetRootElement(reinterpret_cast<xmlDocPtr>(m_node))));
}

XmlNodePtr XmlDocument::doctype() const
{
    for (xmlNodePtr c = m_node->children; c; c = c->next)
        if (c->type == XML_DTD_NODE) return NodeAccess::Wrap(c);
    return nullptr;
}

namespace {

// Gives a declared entity that nothing referenced yet its content nodes, so that
// a new reference to it shows the replacement text.
void ParseEntityContent(xmlDocPtr doc, xmlEntityPtr ent)
{
    if (!ent || ent->type != XML_ENTITY_DECL || ent->children || !ent->content ||
        ent->etype != XML_INTERNAL_GENERAL_ENTITY)
        return;
    xmlNodePtr list = nullptr;
    ErrorCapture quiet;
    if (xmlParseBalancedChunkMemory(doc, nullptr, nullptr, 0, ent->content, &list) != 0) {
        xmlFreeNodeList(list);
        return;
    }
    ent->children = list;
    ent->owner = 1;
    for (xmlNodePtr c = list; c; c = c->next) {
        c->parent = reinterpret_cast<xmlNodePtr>(ent);
        ent->last = c;
    }
}

void CheckName(const std::string& name, bool qualified)
{
    if (name.empty() || (qualified ? xmlValidateQName(X(name), 0) : xmlValidateName(X(name), 0)) != 0)
        throw DomError(kDomInvalidArg, "\"" + name + "\" is not a valid name.");
}

} // namespace

XmlNodePtr XmlDocument::createNode(int type, const std::string& name, const std::string& namespaceURI)
{
    auto doc = reinterpret_cast<xmlDocPtr>(m_node);
    xmlNodePtr n = nullptr;
    const size_t colon = name.find(':');
    const std::string prefix = colon == std::string::npos ? std::string() : name.substr(0, colon);
    const std::string local = colon == std::string::npos ? name : name.substr(colon + 1);
    switch (type) {
    case NODE_ELEMENT: {
        CheckName(name, true);
        if (prefix == "xmlns") throw DomError(kDomInvalidArg, "An element cannot have the prefix \"xmlns\".");
        const bool bind = !namespaceURI.empty();
        n = xmlNewDocNode(doc, nullptr, X(bind ? local : name), nullptr);
        if (n && bind) {
            if (prefix == "xml")
                n->ns = DocLevelNs(doc, X(HrefFromUri(namespaceURI)), BAD_CAST "xml");
            else
                n->ns = xmlNewNs(n, X(HrefFromUri(namespaceURI)), prefix.empty() ? nullptr : X(prefix));
        }
        break;
    }
    case NODE_ATTRIBUTE: {
        CheckName(name, true);
        const bool bind = !namespaceURI.empty() && !prefix.empty() && prefix != "xmlns";
        auto* a = xmlNewDocProp(doc, X(bind ? local : name), nullptr);
        if (a && bind) a->ns = DocLevelNs(doc, X(HrefFromUri(namespaceURI)), X(prefix));
        n = reinterpret_cast<xmlNodePtr>(a);
        break;
    }
    case NODE_TEXT: n = xmlNewDocText(doc, BAD_CAST ""); break;
    case NODE_CDATA_SECTION: n = xmlNewCDataBlock(doc, BAD_CAST "", 0); break;
    case NODE_COMMENT: n = xmlNewDocComment(doc, BAD_CAST ""); break;
    case NODE_PROCESSING_INSTRUCTION:
        CheckName(name, false);
        n = xmlNewDocPI(doc, X(name), nullptr);
        break;
    case NODE_ENTITY_REFERENCE:
        CheckName(name, false);
        n = xmlNewReference(doc, X(name));
        if (n) ParseEntityContent(doc, reinterpret_cast<xmlEntityPtr>(n->children));
        break;
    case NODE_DOCUMENT_FRAGMENT: n = xmlNewDocFragment(doc); break;
    default:
        throw DomError(kDomInvalidArg, std::string("Nodes of type ") + NodeTypeName(type) + " cannot be created.");
    }
    if (!n) throw DomError(kDomOutOfMemory);
    return NodeAccess::Wrap(n);
}

XmlElementPtr XmlDocument::createElement(const std::string& tagName)
{
    return std::static_pointer_cast<XmlElement>(createNode(NODE_ELEMENT, tagName, std::string()));
}

XmlAttributePtr XmlDocument::createAttribute(const std::string& name)
{
    return std::static_pointer_cast<XmlAttribute>(createNode(NODE_ATTRIBUTE, name, std::string()));
}

XmlNodePtr XmlDocument::createTextNode(const std::string& data)
{
    XmlNodePtr n = createNode(NODE_TEXT, std::string(), std::string());
    n->put_nodeValue(data);
    return n;
}

XmlNodePtr XmlDocument::createComment(const std::string& data)
{
    XmlNodePtr n = createNode(NODE_COMMENT, std::string(), std::string());
    n->put_nodeValue(data);
    return n;
}

XmlNodePtr XmlDocument::createCDATASection(const std::string& data)
{
    XmlNodePtr n = createNode(NODE_CDATA_SECTION, std::string(), std::string());
    n->put_nodeValue(data);
    return n;
}

XmlProcessingInstructionPtr XmlDocument::createProcessingInstruction(const std::string& target, const std::string& data)
{
    auto pi = std::static_pointer_cast<XmlProcessingInstruction>(createNode(NODE_PROCESSING_INSTRUCTION, target, std::string()));
    if (!data.empty()) pi->put_data(data);
    return pi;
}

XmlNodePtr XmlDocument::createDocumentFragment()
{
    return createNode(NODE_DOCUMENT_FRAGMENT, std::string(), std::string());
}

XmlNodePtr XmlDocument::createEntityReference(const std::string& name)
{
    return createNode(NODE_ENTITY_REFERENCE, name, std::string());
}

} // namespace brindle
