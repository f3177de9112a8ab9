#include "platform/script/ObjectFactory.h"

#include "platform/script/Dictionary.h"
#include "platform/script/FileSystemObject.h"
#include "platform/script/MsxmlObjects.h"
#include "platform/script/RegExp.h"
#include "platform/script/ScriptError.h"

#include "platform/xml/ParserRegistry.h"

namespace brindle::vbs {

ObjectPtr CreateScriptObject(VbStringView progId)
{
    const std::string name = LowerAscii(ToUtf8(progId));
    if (name == "scripting.dictionary") return std::make_shared<DictionaryObject>();
    if (name == "scripting.filesystemobject") return std::make_shared<FileSystemObject>();
    if (name == "vbscript.regexp") return CreateRegExp();
    // The parser component knows the DOM document's names (Msxml2.DOMDocument
    // and its versions, Microsoft.XMLDOM, MSXML.DOMDocument).
    if (XmlDocumentPtr document = ParserRegistry::CreateFromProgId(ToUtf8(progId))) {
        // Scripts get MSXML's default: white-space-only text is dropped on load.
        document->put_preserveWhiteSpace(false);
        return WrapXmlNode(document);
    }
    throw ScriptError::Naming(err::kCannotCreateObject, ToUtf8(progId));
}

ObjectPtr CreateRegExp() { return std::make_shared<RegExpObject>(); }

} // namespace brindle::vbs
