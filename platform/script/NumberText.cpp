#include "platform/script/NumberText.h"

#include "platform/script/ScriptError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace brindle::vbs {

double RoundHalfEven(double x)
{
    double floor = std::floor(x);
    double diff = x - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {

bool IsNoisyTie(double x, double floor)
{
    double noise = std::max(1.0, std::fabs(x)) * 1e-15;
    return std::fabs(x - floor - 0.5) <= noise;
}

} // namespace

double RoundScaledHalfEven(double x)
{
    double floor = std::floor(x);
    if (IsNoisyTie(x, floor)) return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    return RoundHalfEven(x);
}

double RoundScaledHalfUp(double x)
{
    double magnitude = std::fabs(x);
    double floor = std::floor(magnitude);
    double r = IsNoisyTie(magnitude, floor) ? floor + 1 : std::floor(magnitude + 0.5);
    return x < 0 ? -r : r;
}

double RoundDigits(double x, int digits)
{
    if (digits > 22) return x;
    double scale = std::pow(10.0, digits);
    double scaled = x * scale;
    if (std::fabs(scaled) >= 1e16) return x; // no fraction left at that precision
    return RoundScaledHalfEven(scaled) / scale;
}

VbString NumberText(double value, int significantDigits)
{
    if (value == 0) return u"0";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    VbString text;
    for (const char* p = buffer; p != result.ptr; ++p) text.push_back(*p == 'e' ? u'E' : static_cast<char16_t>(*p));
    return text;
}

VbString CurrencyText(Currency value)
{
    int64_t scaled = value.scaled;
    bool negative = scaled < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    uint64_t fraction = magnitude % 10000;
    if (fraction) {
        // Four digits with leading zeros, then without trailing ones.
        char digits[5] = {char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                          char('0' + fraction / 10 % 10), char('0' + fraction % 10), 0};
        int length = 4;
        while (digits[length - 1] == '0') --length;
        text += '.';
        text.append(digits, static_cast<size_t>(length));
    }
    return VbString(text.begin(), text.end());
}

void ThrowNotScalar(const Variant& v)
{
    if (v.IsNull()) throw ScriptError(err::kInvalidUseOfNull);
    if (v.IsNothing()) throw ScriptError(err::kObjectVariableNotSet);
    throw ScriptError(err::kTypeMismatch);
}

} // namespace brindle::vbs
