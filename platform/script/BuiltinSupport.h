#pragma once

// Shared pieces of the built-in function families: argument access with the
// language's errors, and each family's table.
#include "platform/script/Builtins.h"
#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

#include <span>

namespace brindle::vbs::builtin {

// An optional argument given (present and not the missing marker).
inline bool Has(const BuiltinCall& call, size_t i) { return i < call.args.size() && !call.args[i].IsMissing(); }

[[noreturn]] inline void InvalidArgument() { throw ScriptError(err::kInvalidProcedureCall); }

// A required number or string; Null throws 94.
int32_t LongArg(const BuiltinCall& call, size_t i);
double DoubleArg(const BuiltinCall& call, size_t i);
VbString StringArg(const BuiltinCall& call, size_t i);
// An optional one with its default.
int32_t LongArg(const BuiltinCall& call, size_t i, int32_t fallback);
bool BoolArg(const BuiltinCall& call, size_t i, bool fallback);
// The compare argument: 0 binary, 1 text (2, database, compares as text);
// anything else throws 5.
CompareMode CompareArg(const BuiltinCall& call, size_t i);
// true when any of the first n arguments is Null.
bool AnyNull(const BuiltinCall& call, size_t n);

Variant MakeString(VbString s);
// A one-dimensional array 0..n-1 of strings.
Variant StringArray(std::vector<VbString> items);

// The families' tables.
std::span<const BuiltinFunction> StringFunctions();
std::span<const BuiltinFunction> ConversionFunctions();
std::span<const BuiltinFunction> MathFunctions();
std::span<const BuiltinFunction> DateFunctions();
std::span<const BuiltinFunction> ArrayFunctions();
std::span<const BuiltinFunction> FormatFunctions();
std::span<const BuiltinFunction> InfoFunctions();
std::span<const BuiltinFunction> HostFunctions();

} // namespace brindle::vbs::builtin

namespace brindle::vbs::builtin {

// The text of a value without copying a string Variant's characters (a 10 MB
// document passes through Mid and InStr many times): storage holds the text
// of a non-string value.
inline VbStringView TextOf(const Variant& v, VbString& storage)
{
    if (v.IsString()) return v.Str();
    storage = ToString(v);
    return storage;
}

// The first occurrence of needle in hay at or after from, by the compare mode;
// npos when there is none. Text mode folds characters as it goes, so a search
// allocates nothing.
size_t FindText(VbStringView hay, VbStringView needle, size_t from, CompareMode mode);
// The last occurrence that starts at or before from.
size_t FindTextReverse(VbStringView hay, VbStringView needle, size_t from, CompareMode mode);

// Windows-1252, the en-US code page of Asc and Chr.
char16_t FromCodePage(uint8_t byte);
int ToCodePage(char16_t c); // '?' (63) for characters outside the code page

// An array with no elements (UBound -1), as Split("") and Filter give.
Variant EmptyArray();
// The elements of a one-dimensional array argument: Null throws 94, anything
// else that is not such an array 13.
const SafeArray& VectorArg(const BuiltinCall& call, size_t i);

} // namespace brindle::vbs::builtin

namespace brindle::vbs::builtin {
// Seconds since local midnight, with the fraction (Timer, Randomize).
double TimerSeconds();
} // namespace brindle::vbs::builtin
