// Type tests and the engine's identity: IsEmpty, IsNull, IsNumeric, IsObject,
// TypeName, VarType, ScriptEngine and its version numbers.
#include "platform/script/BuiltinSupport.h"

#include "platform/script/ScriptContext.h"

namespace brindle::vbs::builtin {

namespace {

Variant IsEmpty(BuiltinCall& call) { return Variant(call.args[0].IsEmpty()); }
Variant IsNull(BuiltinCall& call) { return Variant(call.args[0].IsNull()); }
Variant IsNumericFn(BuiltinCall& call) { return Variant(IsNumeric(call.args[0])); }
Variant IsObject(BuiltinCall& call) { return Variant(call.args[0].IsObject()); }
Variant TypeName(BuiltinCall& call) { return MakeString(TypeNameOf(call.args[0])); }

int16_t VarTypeOf(const Variant& v)
{
    if (v.IsArray()) return static_cast<int16_t>(static_cast<int>(VarType::Array) + static_cast<int>(VarType::Variant));
    return static_cast<int16_t>(v.Type());
}

// An object whose default member is a property read without arguments has
// that property's type.
Variant VarTypeFn(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    if (v.IsObject() && v.Object()) {
        try {
            return Variant(VarTypeOf(call.context.DefaultValue(v)));
        } catch (const ScriptError& e) {
            if (e.Number() != err::kObjectDoesNotSupport && e.Number() != err::kWrongArgumentCount) throw;
        }
    }
    return Variant(VarTypeOf(v));
}

Variant ScriptEngineName(BuiltinCall&) { return MakeString(u"VBScript"); }
Variant MajorVersion(BuiltinCall&) { return Variant(int32_t{5}); }
Variant MinorVersion(BuiltinCall&) { return Variant(int32_t{8}); }
Variant BuildVersion(BuiltinCall&) { return Variant(int32_t{16384}); }

const BuiltinFunction kFunctions[] = {
    {"isempty", 1, 1, IsEmpty, true},
    {"isnull", 1, 1, IsNull, true},
    {"isnumeric", 1, 1, IsNumericFn},
    {"isobject", 1, 1, IsObject, true},
    {"typename", 1, 1, TypeName, true},
    {"vartype", 1, 1, VarTypeFn, true},
    {"scriptengine", 0, 0, ScriptEngineName},
    {"scriptenginemajorversion", 0, 0, MajorVersion},
    {"scriptengineminorversion", 0, 0, MinorVersion},
    {"scriptenginebuildversion", 0, 0, BuildVersion},
};

} // namespace

std::span<const BuiltinFunction> InfoFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
