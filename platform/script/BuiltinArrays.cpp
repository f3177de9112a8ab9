// Array functions: Array, IsArray, LBound, UBound, Split, Join, Filter.
#include "platform/script/BuiltinSupport.h"

#include "platform/script/ScriptMemory.h"

namespace brindle::vbs::builtin {

Variant EmptyArray() { return Variant(SafeArray(std::vector<SafeArray::Bound>{{0, -1}})); }

const SafeArray& VectorArg(const BuiltinCall& call, size_t i)
{
    const Variant& v = call.args[i];
    if (v.IsNull()) throw ScriptError(err::kInvalidUseOfNull);
    if (!v.IsArray()) throw ScriptError(err::kTypeMismatch);
    if (v.Array().Dimensions() != 1) throw ScriptError(err::kInvalidProcedureCall);
    return v.Array();
}

namespace {

Variant ArrayFn(BuiltinCall& call)
{
    return Variant(SafeArray::FromVector(std::vector<Variant>(call.args.begin(), call.args.end())));
}

Variant IsArray(BuiltinCall& call) { return Variant(call.args[0].IsArray()); }

Variant Bound(BuiltinCall& call, bool upper)
{
    const Variant& v = call.args[0];
    if (!v.IsArray()) throw ScriptError(v.IsNull() ? err::kInvalidUseOfNull : err::kTypeMismatch);
    int32_t dimension = LongArg(call, 1, 1);
    const SafeArray::Bound& b = v.Array().BoundOf(dimension);
    return Variant(upper ? b.upper : b.lower);
}

Variant LBound(BuiltinCall& call) { return Bound(call, false); }
Variant UBound(BuiltinCall& call) { return Bound(call, true); }

Variant Split(BuiltinCall& call)
{
    int32_t limit = LongArg(call, 2, -1);
    if (limit < -1) InvalidArgument();
    CompareMode mode = CompareArg(call, 3);
    VbString storage, delimiterStorage = u" ";
    VbStringView text = call.args[0].IsNull() ? throw ScriptError(err::kInvalidUseOfNull) : TextOf(call.args[0], storage);
    VbStringView delimiter = Has(call, 1) ? TextOf(call.args[1], delimiterStorage) : VbStringView(delimiterStorage);
    if (text.empty() || limit == 0) return EmptyArray();
    // Many short parts weigh more than the text: they are charged as they are
    // cut, until they become the array's own elements.
    std::vector<VbString> parts;
    MemoryCharge cut;
    auto add = [&](VbStringView part) {
        cut.Grow(sizeof(VbString) + sizeof(Variant) + part.size() * sizeof(char16_t));
        parts.emplace_back(part);
    };
    size_t pos = 0;
    if (!delimiter.empty()) {
        while (limit == -1 || parts.size() + 1 < static_cast<size_t>(limit)) {
            size_t at = FindText(text, delimiter, pos, mode);
            if (at == VbString::npos) break;
            add(text.substr(pos, at - pos));
            pos = at + delimiter.size();
        }
    }
    add(text.substr(pos));
    cut.Release();
    return StringArray(std::move(parts));
}

Variant Join(BuiltinCall& call)
{
    const SafeArray& items = VectorArg(call, 0);
    VbString delimiterStorage = u" ";
    VbStringView delimiter = Has(call, 1) ? TextOf(call.args[1], delimiterStorage) : VbStringView(delimiterStorage);
    // Measured first, reading strings in place, so that the result is checked
    // against the memory budget and made in one allocation.
    VbString converted;
    auto text = [&](const Variant& item) -> VbStringView {
        if (item.IsString()) return item.Str();
        converted = ToStringOrEmpty(item);
        return converted;
    };
    size_t total = 0;
    for (const Variant& item : items.Items()) total += text(item).size() + delimiter.size();
    memory::RequireText(total);
    VbString result;
    result.reserve(total);
    bool first = true;
    for (const Variant& item : items.Items()) {
        if (!first) result.append(delimiter);
        result.append(text(item));
        first = false;
    }
    return MakeString(std::move(result));
}

Variant Filter(BuiltinCall& call)
{
    const SafeArray& items = VectorArg(call, 0);
    if (call.args[1].IsNull()) throw ScriptError(err::kInvalidUseOfNull);
    VbString matchStorage;
    VbStringView match = TextOf(call.args[1], matchStorage);
    bool include = BoolArg(call, 2, true);
    CompareMode mode = CompareArg(call, 3);
    std::vector<VbString> kept;
    for (const Variant& item : items.Items()) {
        VbString text = ToStringOrEmpty(item);
        bool found = FindText(text, match, 0, mode) != VbString::npos;
        if (found == include) kept.push_back(std::move(text));
    }
    if (kept.empty()) return EmptyArray();
    return StringArray(std::move(kept));
}

const BuiltinFunction kFunctions[] = {
    {"array", 0, 1 << 20, ArrayFn},
    {"isarray", 1, 1, IsArray, true},
    {"lbound", 1, 2, LBound, true},
    {"ubound", 1, 2, UBound, true},
    {"split", 1, 4, Split},
    {"join", 1, 2, Join},
    {"filter", 2, 4, Filter},
};

} // namespace

std::span<const BuiltinFunction> ArrayFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
