#include "platform/script/ObjectFactory.h"

#include "platform/script/Dictionary.h"
#include "platform/script/RegExp.h"
#include "platform/script/ScriptError.h"

namespace brindle::vbs {

ObjectPtr CreateScriptObject(VbStringView progId)
{
    const std::string name = LowerAscii(ToUtf8(progId));
    if (name == "scripting.dictionary") return std::make_shared<DictionaryObject>();
    if (name == "vbscript.regexp") return CreateRegExp();
    throw ScriptError(err::kCannotCreateObject,
                      ErrorDescription(err::kCannotCreateObject) + ": '" + ToUtf8(progId) + "'");
}

ObjectPtr CreateRegExp() { return std::make_shared<RegExpObject>(); }

} // namespace brindle::vbs
