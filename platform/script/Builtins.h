#pragma once

#include "platform/Export.h"
#include "platform/script/Variant.h"

#include <optional>
#include <span>
#include <string_view>

namespace brindle::vbs {

class ScriptContext;

// One call of a built-in function. Arguments are values (objects already
// replaced by their default member unless the function takes objects: IsObject,
// TypeName, VarType, IsNull... receive them as they are). Missing optional
// arguments are absent from args (args.size() is the count given).
struct BuiltinCall {
    std::span<Variant> args;
    ScriptContext& context;
};
using BuiltinFn = Variant (*)(BuiltinCall& call);

struct BuiltinFunction {
    std::string_view name;  // lower case
    int minArgs;
    int maxArgs;
    BuiltinFn fn;
    // true: objects reach the function as objects (IsObject, TypeName, VarType,
    // IsEmpty, IsNull, IsArray, UBound, LBound...). false: the interpreter
    // passes objects' default values.
    bool takesObjects = false;
};

// The language's functions (Len, Mid, ..., MsgBox, InputBox, CreateObject...)
// by lower-case name, or nullptr.
BRINDLEKIT_API const BuiltinFunction* FindBuiltin(std::string_view lowerName);
// The language's constants (vbCrLf, vbTextCompare, vbYesNo ...), by lower-case name.
BRINDLEKIT_API std::optional<Variant> FindConstant(std::string_view lowerName);

} // namespace brindle::vbs
