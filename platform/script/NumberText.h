#pragma once

#include "platform/script/ScriptString.h"
#include "platform/script/Variant.h"

namespace brindle::vbs {

// Round half to even, the language's rounding for CInt, CLng, CCur and Round.
double RoundHalfEven(double x);
// The same for a value that is a decimal scaled up by a power of ten, whose
// binary form carries noise (0.00015 * 10000 is 1.4999...): a fraction within
// that noise of one half is a tie.
double RoundScaledHalfEven(double x);
// Half away from zero, as the Format functions round, with the same tolerance.
double RoundScaledHalfUp(double x);
// Round(x, digits) for a Double.
double RoundDigits(double x, int digits);
// CStr of a Double (15 significant digits) or a Single (7): "1.5", "-0.5",
// "1E+20", "1.5E-07".
VbString NumberText(double value, int significantDigits);
// CStr of a Currency: up to four decimals, no exponent.
VbString CurrencyText(Currency value);
// Throws the error a value that is not a number, string or date gives: 94 for
// Null, 91 for Nothing, 13 otherwise.
[[noreturn]] void ThrowNotScalar(const Variant& v);

} // namespace brindle::vbs
