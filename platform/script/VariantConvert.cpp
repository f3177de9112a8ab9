// The language's conversions: CBool, CInt, CLng, CSng, CDbl, CCur, CDate,
// CByte and CStr, and its reading of numbers from strings.
#include "platform/script/VariantOps.h"

#include "platform/script/CaseFold.h"
#include "platform/script/NumberText.h"
#include "platform/script/ScriptDates.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptObject.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

namespace brindle::vbs {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0; }

VbStringView Trimmed(VbStringView s)
{
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(VbStringView s, std::u16string_view word)
{
    if (s.size() != word.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (FoldChar(s[i]) != word[i]) return false;
    return true;
}

// "&H1F" / "&O17": the digits after the prefix, as a 32-bit value.
bool ParseRadix(VbStringView s, int radix, double& out)
{
    if (s.empty() || s.size() > (radix == 16 ? 8u : 11u)) return false;
    uint64_t value = 0;
    for (char16_t c : s) {
        int digit;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else return false;
        if (digit >= radix) return false;
        value = value * radix + digit;
    }
    if (value > 0xFFFFFFFFu) return false;
    out = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    return true;
}

double StringToDouble(const VbString& s)
{
    double value;
    if (!ParseNumber(s, value)) throw ScriptError(err::kTypeMismatch);
    return value;
}

double CheckedRound(double x, double low, double high)
{
    double r = RoundHalfEven(x);
    if (!(r >= low && r <= high)) throw ScriptError(err::kOverflow);
    return r;
}

double CurrencyToDouble(Currency c) { return static_cast<double>(c.scaled) / 10000.0; }

} // namespace

bool ParseNumber(VbStringView text, double& out)
{
    VbStringView s = Trimmed(text);
    if (s.empty()) return false;
    if (s[0] == u'&' && s.size() > 1) {
        char16_t kind = FoldChar(s[1]);
        if (kind == u'h') return ParseRadix(s.substr(2), 16, out);
        if (kind == u'o') return ParseRadix(s.substr(2), 8, out);
        return ParseRadix(s.substr(1), 8, out);
    }
    std::string ascii;
    ascii.reserve(s.size());
    size_t i = 0;
    if (s[i] == u'+' || s[i] == u'-') ascii.push_back(static_cast<char>(s[i++]));
    if (i < s.size() && s[i] == u'$') ++i;
    while (i < s.size() && IsSpace(s[i])) ++i;
    size_t digits = 0;
    // The whole part may carry thousands separators after its first digit.
    while (i < s.size() && ((s[i] >= u'0' && s[i] <= u'9') || (s[i] == u',' && digits > 0))) {
        if (s[i] != u',') {
            ascii.push_back(static_cast<char>(s[i]));
            ++digits;
        }
        ++i;
    }
    if (i < s.size() && s[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii.push_back(static_cast<char>(s[i++]));
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        ascii.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii.push_back(static_cast<char>(s[i++]));
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii.push_back(static_cast<char>(s[i++]));
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    char* end = nullptr;
    double value = std::strtod(ascii.c_str(), &end);
    if (!std::isfinite(value)) return false;
    out = value;
    return true;
}

bool IsNumeric(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Boolean:
    case VarType::Byte: return true;
    case VarType::String: {
        double ignored;
        return ParseNumber(v.Str(), ignored);
    }
    default: return false;
    }
}

double ToDouble(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return std::get<int16_t>(v.Value());
    case VarType::Long: return std::get<int32_t>(v.Value());
    case VarType::Single: return std::get<float>(v.Value());
    case VarType::Double: return std::get<double>(v.Value());
    case VarType::Currency: return CurrencyToDouble(std::get<Currency>(v.Value()));
    case VarType::Date: return std::get<DateValue>(v.Value()).days;
    case VarType::String: return StringToDouble(v.Str());
    case VarType::Boolean: return std::get<bool>(v.Value()) ? -1 : 0;
    case VarType::Byte: return std::get<uint8_t>(v.Value());
    default: ThrowNotScalar(v);
    }
}

bool ToBool(const Variant& v)
{
    if (v.IsBool()) return std::get<bool>(v.Value());
    if (v.IsString()) {
        VbStringView s = Trimmed(v.Str());
        if (EqualsNoCase(s, u"true")) return true;
        if (EqualsNoCase(s, u"false")) return false;
    }
    return ToDouble(v) != 0;
}

int16_t ToInteger(const Variant& v)
{
    if (auto* i = std::get_if<int16_t>(&v.Value())) return *i;
    return static_cast<int16_t>(CheckedRound(ToDouble(v), -32768, 32767));
}

int32_t ToLong(const Variant& v)
{
    if (auto* i = std::get_if<int32_t>(&v.Value())) return *i;
    return static_cast<int32_t>(CheckedRound(ToDouble(v), -2147483648.0, 2147483647.0));
}

uint8_t ToByte(const Variant& v) { return static_cast<uint8_t>(CheckedRound(ToDouble(v), 0, 255)); }

float ToSingle(const Variant& v)
{
    double d = ToDouble(v);
    if (std::fabs(d) > FLT_MAX) throw ScriptError(err::kOverflow);
    return static_cast<float>(d);
}

Currency ToCurrency(const Variant& v)
{
    if (auto* c = std::get_if<Currency>(&v.Value())) return *c;
    if (auto* i = std::get_if<int32_t>(&v.Value())) return Currency{int64_t{*i} * 10000};
    double scaled = RoundScaledHalfEven(ToDouble(v) * 10000.0);
    if (!(scaled >= -9.223372036854775808e18 && scaled < 9.223372036854775808e18)) throw ScriptError(err::kOverflow);
    return Currency{static_cast<int64_t>(scaled)};
}

DateValue ToDate(const Variant& v)
{
    if (auto* d = std::get_if<DateValue>(&v.Value())) return *d;
    if (v.IsString()) {
        double date;
        if (dates::Parse(v.Str(), date)) return DateValue{date};
        throw ScriptError(err::kTypeMismatch);
    }
    double days = ToDouble(v);
    if (!dates::InRange(days)) throw ScriptError(err::kOverflow);
    return DateValue{days};
}

VbString ToString(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return VbString();
    case VarType::String: return v.Str();
    case VarType::Boolean: return std::get<bool>(v.Value()) ? u"True" : u"False";
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return NumberText(ToDouble(v), 15);
    case VarType::Single: return NumberText(std::get<float>(v.Value()), 7);
    case VarType::Double: return NumberText(std::get<double>(v.Value()), 15);
    case VarType::Currency: return CurrencyText(std::get<Currency>(v.Value()));
    case VarType::Date: return dates::General(std::get<DateValue>(v.Value()).days);
    case VarType::Error: {
        std::string text = "Error " + std::to_string(std::get<ErrorValue>(v.Value()).code);
        return VbString(text.begin(), text.end());
    }
    default: ThrowNotScalar(v);
    }
}

VbString ToStringOrEmpty(const Variant& v) { return v.IsNull() ? VbString() : ToString(v); }

} // namespace brindle::vbs
