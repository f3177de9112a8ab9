// The language's arithmetic and logical operators with its result types:
// Integer results that overflow become Long, Long results Double; Null
// propagates; Booleans count as Integers except in logical operations between
// two Booleans, which stay Boolean.
#include "platform/script/VariantOps.h"

#include "platform/script/NumberText.h"
#include "platform/script/ScriptDates.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptMemory.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace brindle::vbs {

namespace {

// Operand kinds, narrowest first.
enum class Kind { Byte, Integer, Long, Single, Currency, Double, Date };

Kind KindOf(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer: return Kind::Integer;
    case VarType::Byte: return Kind::Byte;
    case VarType::Long: return Kind::Long;
    case VarType::Single: return Kind::Single;
    case VarType::Double:
    case VarType::String: return Kind::Double;
    case VarType::Currency: return Kind::Currency;
    case VarType::Date: return Kind::Date;
    default: ThrowNotScalar(v);
    }
}

bool IsIntegral(Kind k) { return k == Kind::Byte || k == Kind::Integer || k == Kind::Long; }

// The kind + - and * compute in.
Kind Wider(Kind a, Kind b)
{
    if (a == Kind::Date || b == Kind::Date) return Kind::Date;
    if (a == Kind::Double || b == Kind::Double) return Kind::Double;
    if (a == Kind::Currency || b == Kind::Currency) return Kind::Currency;
    if (a == Kind::Single || b == Kind::Single)
        return (a == Kind::Long || b == Kind::Long) ? Kind::Double : Kind::Single;
    if (a == Kind::Long || b == Kind::Long) return Kind::Long;
    if (a == Kind::Integer || b == Kind::Integer) return Kind::Integer;
    return Kind::Byte;
}

int64_t IntegralValue(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Integer: return std::get<int16_t>(v.Value());
    case VarType::Long: return std::get<int32_t>(v.Value());
    case VarType::Byte: return std::get<uint8_t>(v.Value());
    case VarType::Boolean: return std::get<bool>(v.Value()) ? -1 : 0;
    default: return 0; // Empty
    }
}

// An integral result in the narrowest type from `kind` up that holds it.
Variant FitIntegral(int64_t r, Kind kind)
{
    if (kind == Kind::Byte && r >= 0 && r <= 255) return Variant(static_cast<uint8_t>(r));
    if (kind != Kind::Long && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
    if (r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int32_t>(r));
    return Variant(static_cast<double>(r));
}

Variant FitSingle(double r)
{
    if (std::fabs(r) <= FLT_MAX) return Variant(static_cast<float>(r));
    if (!std::isfinite(r)) throw ScriptError(err::kOverflow);
    return Variant(r);
}

Variant CheckedDouble(double r)
{
    if (!std::isfinite(r)) throw ScriptError(err::kOverflow);
    return Variant(r);
}

Variant CheckedDate(double r)
{
    if (!dates::InRange(r)) throw ScriptError(err::kOverflow);
    return Variant(DateValue{r});
}

Currency CheckedCurrency(__int128 scaled)
{
    if (scaled > INT64_MAX || scaled < INT64_MIN) throw ScriptError(err::kOverflow);
    return Currency{static_cast<int64_t>(scaled)};
}

enum class Op { Add, Sub, Mul };

Variant Arith(Op op, const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) {
        KindOf(b.IsNull() ? a : b); // arrays and objects still mismatch
        return Variant::Null();
    }
    Kind ka = KindOf(a), kb = KindOf(b);
    Kind kind = Wider(ka, kb);
    if (kind == Kind::Date && op == Op::Mul) kind = Kind::Double;
    if (IsIntegral(kind)) {
        int64_t x = IntegralValue(a), y = IntegralValue(b);
        int64_t r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
        return FitIntegral(r, kind);
    }
    if (kind == Kind::Currency) {
        __int128 x = ToCurrency(a).scaled, y = ToCurrency(b).scaled;
        if (op == Op::Add) return Variant(CheckedCurrency(x + y));
        if (op == Op::Sub) return Variant(CheckedCurrency(x - y));
        // Scaled product: divide the extra 10,000 back out, rounding half to even.
        __int128 p = x * y;
        __int128 q = p / 10000, rem = p % 10000;
        if (rem < 0) { rem += 10000; q -= 1; }
        if (rem > 5000 || (rem == 5000 && (q & 1))) q += 1;
        return Variant(CheckedCurrency(q));
    }
    double x = ToDouble(a), y = ToDouble(b);
    double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    if (kind == Kind::Single) return FitSingle(r);
    if (kind == Kind::Date) {
        if (op == Op::Sub && ka == Kind::Date && kb == Kind::Date) return CheckedDouble(r);
        return CheckedDate(r);
    }
    return CheckedDouble(r);
}

// Operands of \ and Mod: rounded to Long; the result is Byte, Integer or Long
// as the narrower operands allow.
Kind IntegerDivisionKind(const Variant& a, const Variant& b)
{
    Kind ka = KindOf(a), kb = KindOf(b);
    if (ka == Kind::Byte && kb == Kind::Byte) return Kind::Byte;
    if ((ka == Kind::Byte || ka == Kind::Integer) && (kb == Kind::Byte || kb == Kind::Integer)) return Kind::Integer;
    return Kind::Long;
}

// --- logical operators
enum class Bits { Bool, Byte, Integer, Long };

struct Logical {
    bool null = false;
    Bits kind = Bits::Integer;
    int32_t value = 0;
};

Logical ToLogical(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Null: return Logical{true, Bits::Integer, 0};
    case VarType::Empty: return Logical{false, Bits::Integer, 0};
    case VarType::Boolean: return Logical{false, Bits::Bool, std::get<bool>(v.Value()) ? -1 : 0};
    case VarType::Byte: return Logical{false, Bits::Byte, std::get<uint8_t>(v.Value())};
    case VarType::Integer: return Logical{false, Bits::Integer, std::get<int16_t>(v.Value())};
    case VarType::String: {
        double ignored;
        if (!ParseNumber(v.Str(), ignored)) return Logical{false, Bits::Bool, ToBool(v) ? -1 : 0};
        return Logical{false, Bits::Long, ToLong(v)};
    }
    default: return Logical{false, Bits::Long, ToLong(v)};
    }
}

Bits Combined(const Logical& a, const Logical& b)
{
    if (a.null) return b.kind;
    if (b.null) return a.kind;
    if (a.kind == b.kind) return a.kind;
    if (a.kind == Bits::Long || b.kind == Bits::Long) return Bits::Long;
    return Bits::Integer;
}

Variant MakeBits(Bits kind, int32_t value)
{
    switch (kind) {
    case Bits::Bool: return Variant(value != 0);
    case Bits::Byte: return Variant(static_cast<uint8_t>(value & 0xFF));
    case Bits::Integer: return Variant(static_cast<int16_t>(value));
    default: return Variant(value);
    }
}

// The text of a string operand without copying it; Null reads as "".
VbStringView TextView(const Variant& v, VbString& storage)
{
    if (v.IsString()) return v.Str();
    if (!v.IsNull()) storage = ToString(v);
    return storage;
}

// One allocation for the joined text, whatever the operands' lengths.
Variant Joined(VbStringView a, VbStringView b)
{
    memory::RequireText(a.size() + b.size());
    VbString r;
    r.reserve(a.size() + b.size());
    r.append(a);
    r.append(b);
    return Variant(std::move(r));
}

bool AllOnes(const Logical& l) { return l.kind == Bits::Byte ? (l.value & 0xFF) == 0xFF : l.value == -1; }

} // namespace

Variant Add(const Variant& a, const Variant& b)
{
    if (a.IsString() && b.IsString()) return Joined(a.Str(), b.Str());
    // Empty with a string gives the string unchanged.
    if (a.IsEmpty() && b.IsString()) return b;
    if (b.IsEmpty() && a.IsString()) return a;
    return Arith(Op::Add, a, b);
}

Variant Subtract(const Variant& a, const Variant& b) { return Arith(Op::Sub, a, b); }

Variant Multiply(const Variant& a, const Variant& b) { return Arith(Op::Mul, a, b); }

Variant Divide(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    KindOf(a);
    KindOf(b);
    double x = ToDouble(a), y = ToDouble(b);
    if (y == 0) throw ScriptError(x == 0 ? err::kOverflow : err::kDivisionByZero);
    return CheckedDouble(x / y);
}

Variant IntDivide(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    Kind kind = IntegerDivisionKind(a, b);
    int64_t x = ToLong(a), y = ToLong(b);
    if (y == 0) throw ScriptError(err::kDivisionByZero);
    int64_t r = x / y;
    if (r > INT32_MAX) throw ScriptError(err::kOverflow);
    return FitIntegral(r, kind);
}

Variant Modulo(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    Kind kind = IntegerDivisionKind(a, b);
    int64_t x = ToLong(a), y = ToLong(b);
    if (y == 0) throw ScriptError(err::kDivisionByZero);
    return FitIntegral(x % y, kind);
}

Variant Power(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    double x = ToDouble(a), y = ToDouble(b);
    if ((x == 0 && y < 0) || (x < 0 && y != std::trunc(y))) throw ScriptError(err::kInvalidProcedureCall);
    return CheckedDouble(std::pow(x, y));
}

Variant Negate(const Variant& a)
{
    switch (a.Type()) {
    case VarType::Null: return Variant::Null();
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer: return FitIntegral(-IntegralValue(a), Kind::Integer);
    case VarType::Long: return FitIntegral(-IntegralValue(a), Kind::Long);
    case VarType::Single: return Variant(-std::get<float>(a.Value()));
    case VarType::Currency: return Variant(CheckedCurrency(-static_cast<__int128>(std::get<Currency>(a.Value()).scaled)));
    case VarType::Date: return CheckedDate(-std::get<DateValue>(a.Value()).days);
    case VarType::Double:
    case VarType::String: return Variant(-ToDouble(a));
    default: ThrowNotScalar(a);
    }
}

Variant Concat(const Variant& a, const Variant& b)
{
    if (a.IsNull() && b.IsNull()) return Variant::Null();
    VbString storageA, storageB;
    return Joined(TextView(a, storageA), TextView(b, storageB));
}

Variant Not(const Variant& a)
{
    if (a.IsNull()) return Variant::Null();
    Logical l = ToLogical(a);
    return MakeBits(l.kind, ~l.value);
}

Variant And(const Variant& a, const Variant& b)
{
    Logical x = ToLogical(a), y = ToLogical(b);
    Bits kind = Combined(x, y);
    if (x.null && y.null) return Variant::Null();
    // Null And False is False: no bit can be set whatever Null stands for.
    if (x.null) return y.value == 0 ? MakeBits(kind, 0) : Variant::Null();
    if (y.null) return x.value == 0 ? MakeBits(kind, 0) : Variant::Null();
    return MakeBits(kind, x.value & y.value);
}

Variant Or(const Variant& a, const Variant& b)
{
    Logical x = ToLogical(a), y = ToLogical(b);
    Bits kind = Combined(x, y);
    if (x.null && y.null) return Variant::Null();
    // Null Or True is True: every bit is set whatever Null stands for.
    if (x.null) return AllOnes(y) ? MakeBits(kind, y.value) : Variant::Null();
    if (y.null) return AllOnes(x) ? MakeBits(kind, x.value) : Variant::Null();
    return MakeBits(kind, x.value | y.value);
}

Variant Xor(const Variant& a, const Variant& b)
{
    Logical x = ToLogical(a), y = ToLogical(b);
    if (x.null || y.null) return Variant::Null();
    return MakeBits(Combined(x, y), x.value ^ y.value);
}

Variant Eqv(const Variant& a, const Variant& b)
{
    Logical x = ToLogical(a), y = ToLogical(b);
    if (x.null || y.null) return Variant::Null();
    return MakeBits(Combined(x, y), ~(x.value ^ y.value));
}

Variant Imp(const Variant& a, const Variant& b)
{
    Logical x = ToLogical(a), y = ToLogical(b);
    Bits kind = Combined(x, y);
    if (x.null && y.null) return Variant::Null();
    // a Imp b is (Not a) Or b.
    if (x.null) return AllOnes(y) ? MakeBits(kind, y.value) : Variant::Null();
    if (y.null) return x.value == 0 ? MakeBits(kind, -1) : Variant::Null();
    return MakeBits(kind, ~x.value | y.value);
}

} // namespace brindle::vbs
