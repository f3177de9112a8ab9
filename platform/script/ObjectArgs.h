#pragma once

#include "platform/script/ScriptObject.h"

#include <span>
#include <string>

namespace brindle::vbs {

// Reading the arguments built-in objects receive. Arguments arrive as the
// script passed them: an object where a string is wanted stands for its default
// member, and a skipped optional argument is absent or Missing.

// True when args holds argument i and it was not skipped.
bool HasArg(std::span<Variant> args, size_t i);
// The value of v: an object's default member (Nothing throws 91), else v.
Variant ValueOf(const Variant& v);
VbString ArgString(const Variant& v);
// The same without copying a string argument: a view of it, or of storage
// holding the converted value (valid while v and storage are).
VbStringView ArgStringView(const Variant& v, VbString& storage);
std::string ArgUtf8(const Variant& v);
int32_t ArgLong(const Variant& v);
bool ArgBool(const Variant& v);
// Optional arguments with their defaults.
bool OptBool(std::span<Variant> args, size_t i, bool fallback);
int32_t OptLong(std::span<Variant> args, size_t i, int32_t fallback);
// The value of a Let (the last argument) for a property that takes no index.
const Variant& LetValue(std::span<Variant> args);
// A property that may be read but not written: a Let or Set of it throws.
void RequireGet(std::string_view name, InvokeKind kind);

} // namespace brindle::vbs
