#pragma once

#include "platform/script/RegExpMatch.h"
#include "platform/script/RegExpPattern.h"

namespace brindle::vbs {

// The RegExp object: Pattern, Global, IgnoreCase, Multiline; Test, Replace,
// Execute. The pattern is compiled when first used after it or a flag changed.
class RegExpObject : public ScriptObject {
public:
    VbString TypeName() const override { return u"IRegExp2"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

    // The methods on host values. replacer, when given, is a script function
    // called for each match (match, groups..., position, source) whose result
    // replaces the match; otherwise replacement is read for $ references.
    bool Test(VbStringView subject);
    VbString Replace(VbStringView subject, VbStringView replacement);
    VbString ReplaceBy(VbStringView subject, ScriptObject& replacer);
    // The matches, charged to charge as they are found.
    std::vector<MatchData> Execute(VbStringView subject, MemoryCharge& charge);

private:
    RegExpPattern& Compiled();
    Variant BoolProperty(bool& flag, InvokeKind kind, std::span<Variant> args);

    VbString m_pattern;
    bool m_global = false;
    bool m_ignoreCase = false;
    bool m_multiline = false;
    std::unique_ptr<RegExpPattern> m_compiled; // reset whenever the above change
};

} // namespace brindle::vbs
