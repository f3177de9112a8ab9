#pragma once

#include "platform/Export.h"
#include "platform/script/Variant.h"

#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace brindle::vbs {

enum class InvokeKind { Method, PropertyGet, PropertyLet, PropertySet };

// An object a script holds: a built-in object (RegExp, Dictionary, a file
// system object, a DOM node), an instance of a script Class, or the Err object.
class BRINDLEKIT_API ScriptObject : public std::enable_shared_from_this<ScriptObject> {
public:
    virtual ~ScriptObject();

    // What TypeName reports ("RegExp", "Dictionary", a class's own name).
    virtual VbString TypeName() const = 0;

    // Calls a member. name is lower-case ASCII; an empty name is the default
    // member (obj(1), a value context). For PropertyLet and PropertySet the value
    // to store is the last element of args. Method and PropertyGet are the same
    // call for most objects: the interpreter uses Method for a call statement
    // and PropertyGet for an expression. Arguments may be written back (by
    // reference) when the member takes them so. Unknown members throw 438;
    // wrong argument counts throw 450.
    virtual Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) = 0;

    // For Each: the items in order. The default throws 451 (object not a
    // collection).
    virtual std::vector<Variant> Enumerate();
};

// Helpers for objects' Invoke.
BRINDLEKIT_API void RequireArgs(std::span<Variant> args, size_t min, size_t max);
[[noreturn]] BRINDLEKIT_API void ThrowNoMember(std::string_view name);

} // namespace brindle::vbs
