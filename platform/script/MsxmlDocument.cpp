#include "platform/script/MsxmlObjects.h"

#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"

namespace brindle::vbs {

namespace {

bool Assigning(InvokeKind kind) { return kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet; }

// The document's getElementsByTagName: the document element itself when its
// name matches, then the matching elements below it; live like the element's
// own list (the list below the root is kept while the root stays the same, so
// walking it stays linear).
class DocumentElementsList : public XmlNodeList {
public:
    DocumentElementsList(XmlDocumentPtr document, std::string name)
        : m_document(std::move(document)), m_name(std::move(name))
    {
    }
    long length() const override
    {
        XmlElementPtr root = Root();
        return root ? Matches(*root) + m_below->length() : 0;
    }
    XmlNodePtr item(long index) const override
    {
        XmlElementPtr root = Root();
        if (!root || index < 0) return nullptr;
        if (Matches(*root)) {
            if (index == 0) return root;
            --index;
        }
        return m_below->item(index);
    }

private:
    XmlElementPtr Root() const
    {
        XmlElementPtr root = m_document->documentElement();
        if (root && root != m_root) {
            m_root = root;
            m_below = root->getElementsByTagName(m_name);
        }
        return root;
    }
    long Matches(const XmlElement& root) const { return m_name == "*" || root.nodeName() == m_name ? 1 : 0; }

    XmlDocumentPtr m_document;
    std::string m_name;
    mutable XmlElementPtr m_root;
    mutable XmlNodeListPtr m_below;
};

// A load's address as a file path: "file://" addresses are read as paths.
std::string FilePath(std::string url)
{
    if (url.rfind("file:///", 0) == 0)
        url.erase(0, 7);
    else if (url.rfind("file://", 0) == 0)
        url.erase(0, 7);
    for (char& c : url)
        if (c == '\\') c = '/';
    return url;
}

// MSXML 6 properties with no bearing on our DOM, accepted so that scripts
// written for it run.
bool IsOtherProperty(const std::string& name)
{
    static const char* const names[] = {"ProhibitDTD",      "AllowDocumentFunction", "AllowXsltScript",
                                        "NewParser",        "MaxElementDepth",       "MaxXMLSize",
                                        "UseInlineSchema",  "ServerHTTPRequest",     "ForcedResync",
                                        "MultipleErrorMessages", "NormalizeAttributeValues"};
    for (const char* known : names)
        if (name == known) return true;
    return false;
}

} // namespace

MsxmlDocument::MsxmlDocument(XmlDocumentPtr document) : MsxmlNode(document), m_document(std::move(document)) {}

Variant MsxmlDocument::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    try {
        Variant result;
        if (DocumentMember(name, kind, args, result)) return result;
        if (NodeMember(name, kind, args, result)) return result;
    } catch (const DomError& error) {
        throw ToScriptError(error);
    }
    ThrowNoMember(name);
}

bool MsxmlDocument::DocumentMember(std::string_view name, InvokeKind kind, std::span<Variant> args, Variant& result)
{
    XmlDocument& document = *m_document;
    // --- load options
    struct Flag {
        const char* name;
        bool (XmlDocument::*get)() const;
        void (XmlDocument::*put)(bool);
    };
    static const Flag flags[] = {
        {"async", &XmlDocument::async, &XmlDocument::put_async},
        {"validateonparse", &XmlDocument::validateOnParse, &XmlDocument::put_validateOnParse},
        {"resolveexternals", &XmlDocument::resolveExternals, &XmlDocument::put_resolveExternals},
        {"preservewhitespace", &XmlDocument::preserveWhiteSpace, &XmlDocument::put_preserveWhiteSpace},
    };
    for (const Flag& flag : flags) {
        if (name != flag.name) continue;
        if (Assigning(kind))
            (document.*flag.put)(ArgBool(LetValue(args)));
        else
            result = (document.*flag.get)();
        return true;
    }
    if (name == "documentelement") {
        if (Assigning(kind)) {
            XmlNodePtr root = UnwrapXmlNode(LetValue(args));
            XmlElementPtr old = document.documentElement();
            if (old && root)
                document.replaceChild(root, old);
            else if (old)
                document.removeChild(old);
            else if (root)
                document.appendChild(root);
        } else {
            result = WrapXmlNode(document.documentElement());
        }
        return true;
    }
    if (Assigning(kind)) return false;

    // --- loading and saving
    if (name == "load") {
        RequireArgs(args, 1, 1);
        VbString url = ArgString(args[0]);
        m_url = url;
        result = document.load(FilePath(ToUtf8(url)));
    } else if (name == "loadxml") {
        RequireArgs(args, 1, 1);
        m_url.clear();
        result = document.loadXML(ArgUtf8(args[0]));
    } else if (name == "save") {
        RequireArgs(args, 1, 1);
        XmlNodePtr target = args[0].IsObject() ? UnwrapXmlNode(args[0]) : nullptr;
        if (XmlDocumentPtr other = target ? target->asDocument() : nullptr)
            other->loadXML(document.xml()); // save into another document
        else
            document.save(FilePath(ArgUtf8(args[0])));
    } else if (name == "parseerror") {
        result = ObjectPtr(std::make_shared<MsxmlParseError>(document.parseError()));
    } else if (name == "validate") {
        RequireArgs(args, 0, 0);
        result = ObjectPtr(std::make_shared<MsxmlParseError>(document.validate()));
    } else if (name == "url") {
        result = m_url.empty() ? Variant::Null() : Variant(m_url);
    } else if (name == "readystate") {
        result = int32_t(4); // loading is synchronous: always complete
    } else if (name == "doctype") {
        result = WrapXmlNode(document.doctype());
    } else if (name == "setproperty") {
        RequireArgs(args, 2, 2);
        std::string property = ArgUtf8(args[0]);
        if (IsOtherProperty(property))
            m_otherProperties[property] = ValueOf(args[1]);
        else
            document.setProperty(property, ArgUtf8(args[1]));
    } else if (name == "getproperty") {
        RequireArgs(args, 1, 1);
        std::string property = ArgUtf8(args[0]);
        if (IsOtherProperty(property)) {
            auto it = m_otherProperties.find(property);
            result = it == m_otherProperties.end() ? Variant() : it->second;
        } else {
            result = ToVb(document.getProperty(property));
        }
    // --- node creation
    } else if (name == "createelement") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(document.createElement(ArgUtf8(args[0])));
    } else if (name == "createattribute") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(document.createAttribute(ArgUtf8(args[0])));
    } else if (name == "createtextnode" || name == "createcomment" || name == "createcdatasection") {
        RequireArgs(args, 1, 1);
        std::string data = ArgUtf8(args[0]);
        result = WrapXmlNode(name == "createtextnode" ? document.createTextNode(data)
                             : name == "createcomment" ? document.createComment(data)
                                                       : document.createCDATASection(data));
    } else if (name == "createprocessinginstruction") {
        RequireArgs(args, 2, 2);
        result = WrapXmlNode(document.createProcessingInstruction(ArgUtf8(args[0]), ArgUtf8(args[1])));
    } else if (name == "createdocumentfragment") {
        RequireArgs(args, 0, 0);
        result = WrapXmlNode(document.createDocumentFragment());
    } else if (name == "createentityreference") {
        RequireArgs(args, 1, 1);
        result = WrapXmlNode(document.createEntityReference(ArgUtf8(args[0])));
    } else if (name == "createnode") {
        RequireArgs(args, 2, 3);
        result = WrapXmlNode(document.createNode(ArgLong(args[0]), ArgUtf8(args[1]),
                                                 HasArg(args, 2) ? ArgUtf8(args[2]) : std::string()));
    } else if (name == "getelementsbytagname") {
        RequireArgs(args, 1, 1);
        result = ObjectPtr(std::make_shared<MsxmlNodeList>(
            std::make_shared<DocumentElementsList>(m_document, ArgUtf8(args[0])), false));
    } else {
        return false;
    }
    return true;
}

} // namespace brindle::vbs
