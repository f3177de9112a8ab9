// Conversion and number functions: CBool ... CStr, Hex, Oct, Int, Fix, Abs,
// Sgn, Round. Int, Fix, Abs and Round keep their argument's type.
#include "platform/script/BuiltinSupport.h"

#include "platform/script/NumberText.h"

#include <cmath>

namespace brindle::vbs::builtin {

namespace {

Variant CBool(BuiltinCall& call) { return Variant(ToBool(call.args[0])); }
Variant CByte(BuiltinCall& call) { return Variant(ToByte(call.args[0])); }
Variant CCur(BuiltinCall& call) { return Variant(ToCurrency(call.args[0])); }
Variant CDate(BuiltinCall& call) { return Variant(ToDate(call.args[0])); }
Variant CDbl(BuiltinCall& call) { return Variant(ToDouble(call.args[0])); }
Variant CInt(BuiltinCall& call) { return Variant(ToInteger(call.args[0])); }
Variant CLng(BuiltinCall& call) { return Variant(ToLong(call.args[0])); }
Variant CSng(BuiltinCall& call) { return Variant(ToSingle(call.args[0])); }
Variant CStr(BuiltinCall& call) { return MakeString(ToString(call.args[0])); }

// Hex and Oct: Integers and Bytes in 16 bits, everything else as a Long.
Variant Radix(BuiltinCall& call, int bitsPerDigit)
{
    const Variant& v = call.args[0];
    if (v.IsNull()) return Variant::Null();
    uint32_t bits;
    switch (v.Type()) {
    case VarType::Empty: bits = 0; break;
    case VarType::Byte: bits = std::get<uint8_t>(v.Value()); break;
    case VarType::Integer:
    case VarType::Boolean: bits = static_cast<uint16_t>(ToInteger(v)); break;
    default: bits = static_cast<uint32_t>(ToLong(v)); break;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    VbString digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(kDigits[bits & ((1u << bitsPerDigit) - 1)]));
        bits >>= bitsPerDigit;
    } while (bits);
    return MakeString(std::move(digits));
}

Variant Hex(BuiltinCall& call) { return Radix(call, 4); }
Variant Oct(BuiltinCall& call) { return Radix(call, 3); }

// Int (floor) and Fix (toward zero), keeping the number's type.
template <double (*Cut)(double)>
Variant WholePart(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    switch (v.Type()) {
    case VarType::Null: return Variant::Null();
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Boolean: return Variant(ToInteger(v));
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return v;
    case VarType::Single: return Variant(static_cast<float>(Cut(std::get<float>(v.Value()))));
    case VarType::Currency: {
        double whole = Cut(static_cast<double>(std::get<Currency>(v.Value()).scaled) / 10000.0);
        return Variant(Currency{static_cast<int64_t>(whole) * 10000});
    }
    case VarType::Date: return Variant(DateValue{Cut(std::get<DateValue>(v.Value()).days)});
    default: return Variant(Cut(ToDouble(v)));
    }
}

double Floor(double x) { return std::floor(x); }
double Trunc(double x) { return std::trunc(x); }

Variant Abs(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    switch (v.Type()) {
    case VarType::Null: return Variant::Null();
    case VarType::Byte: return v;
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Currency: return ToDouble(v) < 0 ? Negate(v) : (v.IsEmpty() || v.IsBool() ? Variant(ToInteger(v)) : v);
    default: return Variant(std::fabs(ToDouble(v)));
    }
}

Variant Sgn(BuiltinCall& call)
{
    double x = ToDouble(call.args[0]);
    return Variant(static_cast<int16_t>(x < 0 ? -1 : x > 0 ? 1 : 0));
}

Variant Round(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    int32_t digits = LongArg(call, 1, 0);
    if (digits < 0) InvalidArgument();
    switch (v.Type()) {
    case VarType::Null: return Variant::Null();
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return v;
    case VarType::Single: return Variant(static_cast<float>(RoundDigits(std::get<float>(v.Value()), digits)));
    case VarType::Currency: {
        if (digits >= 4) return v;
        int64_t unit = 1;
        for (int k = digits; k < 4; ++k) unit *= 10;
        int64_t scaled = std::get<Currency>(v.Value()).scaled;
        double units = RoundHalfEven(static_cast<double>(scaled) / static_cast<double>(unit));
        return Variant(Currency{static_cast<int64_t>(units) * unit});
    }
    default: return Variant(RoundDigits(ToDouble(v), digits));
    }
}

const BuiltinFunction kFunctions[] = {
    {"cbool", 1, 1, CBool}, {"cbyte", 1, 1, CByte}, {"ccur", 1, 1, CCur},   {"cdate", 1, 1, CDate},
    {"cdbl", 1, 1, CDbl},   {"cint", 1, 1, CInt},   {"clng", 1, 1, CLng},   {"csng", 1, 1, CSng},
    {"cstr", 1, 1, CStr},   {"hex", 1, 1, Hex},     {"oct", 1, 1, Oct},     {"int", 1, 1, WholePart<Floor>},
    {"fix", 1, 1, WholePart<Trunc>}, {"abs", 1, 1, Abs}, {"sgn", 1, 1, Sgn}, {"round", 1, 2, Round},
};

} // namespace

std::span<const BuiltinFunction> ConversionFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
