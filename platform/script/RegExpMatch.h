#pragma once

#include "platform/script/ScriptObject.h"

#include <optional>
#include <vector>

namespace brindle::vbs {

// One match found by RegExp.Execute: where it starts (0-based, in UTF-16 code
// units), its text and the text of each capturing group (nullopt for a group
// that took no part in the match).
struct MatchData {
    int32_t firstIndex = 0;
    VbString value;
    std::vector<std::optional<VbString>> groups;
};

// SubMatches: the groups of one match. Count, Item(i) (the default member) and
// For Each; an unmatched group is Empty.
class SubMatchesObject : public ScriptObject {
public:
    explicit SubMatchesObject(std::shared_ptr<const MatchData> match) : m_match(std::move(match)) {}
    VbString TypeName() const override { return u"ISubMatches"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

private:
    Variant At(size_t index) const;
    std::shared_ptr<const MatchData> m_match;
};

// Match: Value (the default member), FirstIndex, Length, SubMatches.
class MatchObject : public ScriptObject {
public:
    explicit MatchObject(MatchData match) : m_match(std::make_shared<const MatchData>(std::move(match))) {}
    VbString TypeName() const override { return u"IMatch2"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    std::shared_ptr<const MatchData> m_match;
};

// Matches: what Execute returns. Count, Item(i) (the default member) and For Each.
// It holds the matches' charge against the memory budget.
class MatchesObject : public ScriptObject {
public:
    MatchesObject(std::vector<ObjectPtr> matches, MemoryCharge charge)
        : m_charge(std::move(charge)), m_matches(std::move(matches))
    {
    }
    VbString TypeName() const override { return u"IMatchCollection2"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

private:
    MemoryCharge m_charge;
    std::vector<ObjectPtr> m_matches;
};

} // namespace brindle::vbs
