#include "platform/script/RegExpMatch.h"

#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"

namespace brindle::vbs {

namespace {

// Item(i) of a 0-based collection of count elements.
size_t CollectionIndex(std::span<Variant> args, size_t count)
{
    RequireArgs(args, 1, 1);
    int32_t index = ArgLong(args[0]);
    if (index < 0 || static_cast<size_t>(index) >= count) throw ScriptError(err::kInvalidProcedureCall);
    return static_cast<size_t>(index);
}

} // namespace

Variant SubMatchesObject::At(size_t index) const
{
    const auto& group = m_match->groups[index];
    return group ? Variant(*group) : Variant();
}

Variant SubMatchesObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    if (name.empty() || name == "item") return At(CollectionIndex(args, m_match->groups.size()));
    if (name == "count") {
        RequireArgs(args, 0, 0);
        return static_cast<int32_t>(m_match->groups.size());
    }
    ThrowNoMember(name);
}

std::vector<Variant> SubMatchesObject::Enumerate()
{
    std::vector<Variant> items;
    items.reserve(m_match->groups.size());
    for (size_t i = 0; i < m_match->groups.size(); ++i) items.push_back(At(i));
    return items;
}

Variant MatchObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    RequireArgs(args, 0, 0);
    if (name.empty() || name == "value") return m_match->value;
    if (name == "firstindex") return m_match->firstIndex;
    if (name == "length") return static_cast<int32_t>(m_match->value.size());
    if (name == "submatches") return ObjectPtr(std::make_shared<SubMatchesObject>(m_match));
    ThrowNoMember(name);
}

Variant MatchesObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    if (name.empty() || name == "item") return m_matches[CollectionIndex(args, m_matches.size())];
    if (name == "count") {
        RequireArgs(args, 0, 0);
        return static_cast<int32_t>(m_matches.size());
    }
    ThrowNoMember(name);
}

std::vector<Variant> MatchesObject::Enumerate() { return {m_matches.begin(), m_matches.end()}; }

} // namespace brindle::vbs
