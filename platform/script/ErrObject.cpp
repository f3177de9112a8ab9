#include "platform/script/ErrObject.h"

#include "platform/script/VariantOps.h"

namespace brindle::vbs {

void ErrObject::Set(const ScriptError& e)
{
    m_number = e.Number();
    m_description = ToVb(e.Description());
    m_source = ToVb(e.Source());
}

void ErrObject::Clear()
{
    m_number = 0;
    m_description.clear();
    m_source.clear();
    m_helpFile.clear();
    m_helpContext = 0;
}

Variant ErrObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    bool set = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    auto property = [&](auto& field, auto convert) -> Variant {
        if (set) {
            RequireArgs(args, 1, 1);
            field = convert(args[0]);
            return Variant();
        }
        RequireArgs(args, 0, 0);
        return Variant(field);
    };
    if (name.empty() || name == "number") return property(m_number, [](const Variant& v) { return ToLong(v); });
    if (name == "description") return property(m_description, [](const Variant& v) { return ToStringOrEmpty(v); });
    if (name == "source") return property(m_source, [](const Variant& v) { return ToStringOrEmpty(v); });
    if (name == "helpfile") return property(m_helpFile, [](const Variant& v) { return ToStringOrEmpty(v); });
    if (name == "helpcontext") return property(m_helpContext, [](const Variant& v) { return ToLong(v); });
    if (set) ThrowNoMember(name);
    if (name == "clear") {
        RequireArgs(args, 0, 0);
        Clear();
        return Variant();
    }
    if (name == "raise") {
        // Raise number[, source[, description[, helpfile, helpcontext]]]
        RequireArgs(args, 1, 5);
        int32_t number = ToLong(args[0]);
        auto given = [&](size_t i) { return i < args.size() && !args[i].IsMissing(); };
        std::string source = given(1) ? ToUtf8(ToStringOrEmpty(args[1])) : std::string();
        std::string description = given(2) ? ToUtf8(ToStringOrEmpty(args[2])) : std::string();
        if (given(3)) m_helpFile = ToStringOrEmpty(args[3]);
        if (given(4)) m_helpContext = ToLong(args[4]);
        throw ScriptError(number, description, source);
    }
    ThrowNoMember(name);
}

} // namespace brindle::vbs
