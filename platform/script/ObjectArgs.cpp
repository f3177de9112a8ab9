#include "platform/script/ObjectArgs.h"

#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

namespace brindle::vbs {

bool HasArg(std::span<Variant> args, size_t i) { return i < args.size() && !args[i].IsMissing(); }

Variant ValueOf(const Variant& v)
{
    if (!v.IsObject()) return v;
    if (!v.Object()) throw ScriptError(err::kObjectVariableNotSet);
    Variant value = v.Object()->Invoke("", InvokeKind::PropertyGet, {});
    if (value.IsObject()) throw ScriptError(err::kTypeMismatch);
    return value;
}

VbString ArgString(const Variant& v) { return ToString(ValueOf(v)); }
VbStringView ArgStringView(const Variant& v, VbString& storage)
{
    if (v.IsString()) return v.Str();
    storage = ArgString(v);
    return storage;
}

std::string ArgUtf8(const Variant& v) { return ToUtf8(ArgString(v)); }
int32_t ArgLong(const Variant& v) { return ToLong(ValueOf(v)); }
bool ArgBool(const Variant& v) { return ToBool(ValueOf(v)); }

bool OptBool(std::span<Variant> args, size_t i, bool fallback)
{
    return HasArg(args, i) ? ArgBool(args[i]) : fallback;
}

int32_t OptLong(std::span<Variant> args, size_t i, int32_t fallback)
{
    return HasArg(args, i) ? ArgLong(args[i]) : fallback;
}

const Variant& LetValue(std::span<Variant> args)
{
    if (args.size() != 1) throw ScriptError(err::kWrongArgumentCount);
    return args.back();
}

void RequireGet(std::string_view name, InvokeKind kind)
{
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) ThrowNoMember(name);
}

} // namespace brindle::vbs
