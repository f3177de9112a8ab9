#include "platform/script/ScriptObject.h"

#include "platform/script/ScriptContext.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptUI.h"

namespace brindle::vbs {

ScriptObject::~ScriptObject() = default;
ScriptUI::~ScriptUI() = default;
ScriptContext::~ScriptContext() = default;

std::vector<Variant> ScriptObject::Enumerate() { throw ScriptError(err::kObjectNotACollection); }

void RequireArgs(std::span<Variant> args, size_t min, size_t max)
{
    if (args.size() < min || args.size() > max) throw ScriptError(err::kWrongArgumentCount);
}

void ThrowNoMember(std::string_view name)
{
    throw ScriptError::Naming(err::kObjectDoesNotSupport, std::string(name));
}

} // namespace brindle::vbs
