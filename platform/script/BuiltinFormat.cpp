// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime, in en-US
// form: "1,234.50", "($1,234.50)", "50.00%", "Tuesday, December 8, 2026".
#include "platform/script/BuiltinSupport.h"

#include "platform/script/NumberText.h"
#include "platform/script/ScriptDates.h"

#include <charconv>
#include <cmath>
#include <string>

namespace brindle::vbs::builtin {

namespace {

constexpr int32_t kTrue = -1;
constexpr int32_t kUseDefault = -2;

// A Tristate argument (vbTrue, vbFalse, vbUseDefault).
bool TristateArg(const BuiltinCall& call, size_t i, bool fallback)
{
    int32_t v = LongArg(call, i, kUseDefault);
    if (v == kUseDefault) return fallback;
    return v != 0;
}

struct NumberStyle {
    int digits = 2;
    bool leadingDigit = true;
    bool parens = false;
    bool group = true;
};

NumberStyle StyleArgs(const BuiltinCall& call, bool parensByDefault)
{
    NumberStyle style;
    int32_t digits = LongArg(call, 1, -1);
    if (digits < -1 || digits > 255) InvalidArgument();
    if (digits >= 0) style.digits = digits;
    style.leadingDigit = TristateArg(call, 2, true);
    style.parens = TristateArg(call, 3, parensByDefault);
    style.group = TristateArg(call, 4, true);
    return style;
}

// The magnitude of x with the style's decimals (rounded half away from zero),
// grouping and leading digit; negative tells whether a sign is due.
std::string FixedText(double x, const NumberStyle& style, bool& negative)
{
    double magnitude = std::fabs(x);
    std::string digits;
    double scaled = magnitude * std::pow(10.0, style.digits);
    if (scaled < 1e15) {
        uint64_t units = static_cast<uint64_t>(RoundScaledHalfUp(scaled));
        negative = x < 0 && units != 0;
        digits = std::to_string(units);
        if (digits.size() < static_cast<size_t>(style.digits) + 1)
            digits.insert(0, static_cast<size_t>(style.digits) + 1 - digits.size(), '0');
        if (style.digits > 0) digits.insert(digits.size() - static_cast<size_t>(style.digits), ".");
    } else {
        char buffer[700]; // 309 whole digits and 255 decimals at most
        auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, style.digits);
        digits.assign(buffer, r.ptr);
        negative = x < 0;
    }
    size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point);
    if (style.group)
        for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3) whole.insert(static_cast<size_t>(at), ",");
    if (whole == "0" && !style.leadingDigit && !fraction.empty()) whole.clear();
    return whole + fraction;
}

VbString Wrap(const std::string& body, bool negative, bool parens, const char* prefix, const char* suffix)
{
    std::string text = std::string(prefix) + body + suffix;
    if (negative) text = parens ? "(" + text + ")" : "-" + text;
    return VbString(text.begin(), text.end());
}

// The number (times scale) in the call's style, between prefix and suffix.
Variant FormatStyled(BuiltinCall& call, double scale, bool currency, const char* prefix, const char* suffix)
{
    double x = ToDouble(call.args[0]) * scale;
    NumberStyle style = StyleArgs(call, currency);
    bool negative;
    std::string body = FixedText(x, style, negative);
    return MakeString(Wrap(body, negative, style.parens, prefix, suffix));
}

Variant FormatNumber(BuiltinCall& call) { return FormatStyled(call, 1.0, false, "", ""); }
Variant FormatCurrency(BuiltinCall& call) { return FormatStyled(call, 1.0, true, "$", ""); }
Variant FormatPercent(BuiltinCall& call) { return FormatStyled(call, 100.0, false, "", "%"); }

Variant FormatDateTime(BuiltinCall& call)
{
    double date = ToDate(call.args[0]).days;
    int32_t format = LongArg(call, 1, 0);
    dates::Parts p = dates::Split(date);
    switch (format) {
    case 0: return MakeString(dates::General(date));
    case 1: return MakeString(dates::LongDate(p));
    case 2: return MakeString(dates::ShortDate(p));
    case 3: return MakeString(dates::LongTime(p));
    case 4: return MakeString(dates::ShortTime(p));
    default: InvalidArgument();
    }
}

const BuiltinFunction kFunctions[] = {
    {"formatnumber", 1, 5, FormatNumber},
    {"formatcurrency", 1, 5, FormatCurrency},
    {"formatpercent", 1, 5, FormatPercent},
    {"formatdatetime", 1, 2, FormatDateTime},
};

} // namespace

std::span<const BuiltinFunction> FormatFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
