#pragma once

#include "platform/Export.h"
#include "platform/script/Variant.h"

namespace brindle::vbs {

// The language's conversion, arithmetic and comparison rules. Operands reach
// these functions as values: the interpreter has already replaced objects by
// their default member (an object still arriving here throws 13, Nothing 91).
// Failures throw ScriptError: 13 type mismatch, 6 overflow, 11 division by
// zero, 94 invalid use of Null.

// --- conversions (CBool, CInt, CLng, CSng, CDbl, CCur, CDate, CByte, CStr)
BRINDLEKIT_API bool ToBool(const Variant& v);
BRINDLEKIT_API int16_t ToInteger(const Variant& v);  // banker's rounding
BRINDLEKIT_API int32_t ToLong(const Variant& v);     // banker's rounding
BRINDLEKIT_API float ToSingle(const Variant& v);
BRINDLEKIT_API double ToDouble(const Variant& v);
BRINDLEKIT_API Currency ToCurrency(const Variant& v);
BRINDLEKIT_API DateValue ToDate(const Variant& v);
BRINDLEKIT_API uint8_t ToByte(const Variant& v);
// CStr: Empty gives "", Null throws 94; numbers and dates as the language
// formats them ("1.5", "1E+20", "12/8/2026 10:45:00 AM").
BRINDLEKIT_API VbString ToString(const Variant& v);
// The same, but Null gives "" (what & and most string functions do).
BRINDLEKIT_API VbString ToStringOrEmpty(const Variant& v);
// A number from a string as the language reads one ("&H1F", " 12 ", "1e3",
// "1,000.5"); false when the string is not numeric.
BRINDLEKIT_API bool ParseNumber(VbStringView text, double& out);
// IsNumeric's rule.
BRINDLEKIT_API bool IsNumeric(const Variant& v);

// --- operators (results typed as the language types them)
BRINDLEKIT_API Variant Add(const Variant& a, const Variant& b);      // + (strings concatenate)
BRINDLEKIT_API Variant Subtract(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Multiply(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Divide(const Variant& a, const Variant& b);   // / always Double (or Null)
BRINDLEKIT_API Variant IntDivide(const Variant& a, const Variant& b); // backslash
BRINDLEKIT_API Variant Modulo(const Variant& a, const Variant& b);    // Mod
BRINDLEKIT_API Variant Power(const Variant& a, const Variant& b);     // ^
BRINDLEKIT_API Variant Negate(const Variant& a);
BRINDLEKIT_API Variant Concat(const Variant& a, const Variant& b);    // & (Null & Null is Null)
BRINDLEKIT_API Variant Not(const Variant& a);
BRINDLEKIT_API Variant And(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Or(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Xor(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Eqv(const Variant& a, const Variant& b);
BRINDLEKIT_API Variant Imp(const Variant& a, const Variant& b);

// --- comparison
enum class CompareMode { Binary = 0, Text = 1 };
enum class Ordering { Less, Equal, Greater, Null };
// The = < > operators' rule (numbers with numeric strings, strings with
// strings, Empty as 0 or ""), Null when either side is Null.
BRINDLEKIT_API Ordering Compare(const Variant& a, const Variant& b, CompareMode mode = CompareMode::Binary);
// The operators as Variants: Boolean, or Null.
enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };
BRINDLEKIT_API Variant CompareValues(CompareOp op, const Variant& a, const Variant& b);
// Is: the same object (Nothing Is Nothing is True); throws 424 for non-objects.
BRINDLEKIT_API bool SameObject(const Variant& a, const Variant& b);
// String comparison by mode: binary by code unit; text case-insensitive.
BRINDLEKIT_API int CompareStrings(VbStringView a, VbStringView b, CompareMode mode);

// VarType / TypeName of a value ("Integer", "String", "Variant()", an object's own).
BRINDLEKIT_API VbString TypeNameOf(const Variant& v);

} // namespace brindle::vbs
