// Comparison (= <> < <= > >=), Is, and TypeName.
#include "platform/script/VariantOps.h"

#include "platform/script/CaseFold.h"
#include "platform/script/NumberText.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptObject.h"

namespace brindle::vbs {

namespace {

Ordering FromSign(int sign) { return sign < 0 ? Ordering::Less : sign > 0 ? Ordering::Greater : Ordering::Equal; }

template <typename T>
Ordering Order(T a, T b) { return a < b ? Ordering::Less : b < a ? Ordering::Greater : Ordering::Equal; }

bool IsIntegralType(VarType t)
{
    return t == VarType::Empty || t == VarType::Boolean || t == VarType::Byte || t == VarType::Integer ||
           t == VarType::Long;
}

bool IsScalar(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Object:
    case VarType::Array:
    case VarType::Error: return false;
    default: return true;
    }
}

} // namespace

int CompareStrings(VbStringView a, VbStringView b, CompareMode mode)
{
    if (mode == CompareMode::Binary) {
        int c = a.compare(b);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = FoldChar(a[i]), y = FoldChar(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

Ordering Compare(const Variant& a, const Variant& b, CompareMode mode)
{
    if (!IsScalar(a)) ThrowNotScalar(a);
    if (!IsScalar(b)) ThrowNotScalar(b);
    if (a.IsNull() || b.IsNull()) return Ordering::Null;
    bool sa = a.IsString(), sb = b.IsString();
    if (sa || sb) {
        if (sa && sb) return FromSign(CompareStrings(a.Str(), b.Str(), mode));
        if (a.IsEmpty()) return FromSign(CompareStrings(VbStringView(), b.Str(), mode));
        if (b.IsEmpty()) return FromSign(CompareStrings(a.Str(), VbStringView(), mode));
        // A number (or Boolean or date) against a string: the number is less.
        return sa ? Ordering::Greater : Ordering::Less;
    }
    VarType ta = a.Type(), tb = b.Type();
    if (IsIntegralType(ta) && IsIntegralType(tb)) return Order(ToLong(a), ToLong(b));
    if (ta == VarType::Currency && tb == VarType::Currency)
        return Order(std::get<Currency>(a.Value()).scaled, std::get<Currency>(b.Value()).scaled);
    return Order(ToDouble(a), ToDouble(b));
}

Variant CompareValues(CompareOp op, const Variant& a, const Variant& b)
{
    Ordering o = Compare(a, b);
    if (o == Ordering::Null) return Variant::Null();
    switch (op) {
    case CompareOp::Eq: return Variant(o == Ordering::Equal);
    case CompareOp::Ne: return Variant(o != Ordering::Equal);
    case CompareOp::Lt: return Variant(o == Ordering::Less);
    case CompareOp::Le: return Variant(o != Ordering::Greater);
    case CompareOp::Gt: return Variant(o == Ordering::Greater);
    case CompareOp::Ge: return Variant(o != Ordering::Less);
    }
    return Variant::Null();
}

bool SameObject(const Variant& a, const Variant& b)
{
    if (!a.IsObject() || !b.IsObject()) throw ScriptError(err::kObjectRequired);
    return a.Object() == b.Object();
}

VbString TypeNameOf(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return u"Empty";
    case VarType::Null: return u"Null";
    case VarType::Integer: return u"Integer";
    case VarType::Long: return u"Long";
    case VarType::Single: return u"Single";
    case VarType::Double: return u"Double";
    case VarType::Currency: return u"Currency";
    case VarType::Date: return u"Date";
    case VarType::String: return u"String";
    case VarType::Object: return v.Object() ? v.Object()->TypeName() : VbString(u"Nothing");
    case VarType::Error: return u"Error";
    case VarType::Boolean: return u"Boolean";
    case VarType::Byte: return u"Byte";
    case VarType::Array: return u"Variant()";
    default: return u"Unknown";
    }
}

} // namespace brindle::vbs
