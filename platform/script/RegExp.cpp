#include "platform/script/RegExp.h"

#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

namespace brindle::vbs {

namespace {

// A replacement string read once into pieces: literal text, or a reference
// ($1..$99 a group, $& the match, $` the text before it, $' the text after it).
struct ReplacementPiece {
    enum Kind { Literal, Group, Whole, Before, After } kind = Literal;
    size_t begin = 0; // Literal: the range in the replacement text
    size_t length = 0;
    size_t group = 0;
};

std::vector<ReplacementPiece> ParseReplacement(VbStringView text, size_t groupCount)
{
    std::vector<ReplacementPiece> pieces;
    auto literal = [&](size_t begin, size_t length) {
        if (length == 0) return;
        if (!pieces.empty() && pieces.back().kind == ReplacementPiece::Literal &&
            pieces.back().begin + pieces.back().length == begin)
            pieces.back().length += length;
        else
            pieces.push_back({ReplacementPiece::Literal, begin, length, 0});
    };
    auto digit = [&](size_t at) { return at < text.size() && text[at] >= u'0' && text[at] <= u'9'; };
    size_t i = 0;
    while (i < text.size()) {
        size_t dollar = text.find(u'$', i);
        if (dollar == VbStringView::npos || dollar + 1 >= text.size()) {
            literal(i, text.size() - i);
            break;
        }
        literal(i, dollar - i);
        char16_t next = text[dollar + 1];
        i = dollar + 2;
        if (next == u'$') {
            literal(dollar + 1, 1);
        } else if (next == u'&') {
            pieces.push_back({ReplacementPiece::Whole});
        } else if (next == u'`') {
            pieces.push_back({ReplacementPiece::Before});
        } else if (next == u'\'') {
            pieces.push_back({ReplacementPiece::After});
        } else if (digit(dollar + 1)) {
            // Two digits when they name a group, else one, else the text as it stands.
            size_t one = next - u'0';
            size_t two = digit(dollar + 2) ? one * 10 + (text[dollar + 2] - u'0') : 0;
            if (two >= 1 && two <= groupCount) {
                pieces.push_back({ReplacementPiece::Group, 0, 0, two});
                i = dollar + 3;
            } else if (one >= 1 && one <= groupCount) {
                pieces.push_back({ReplacementPiece::Group, 0, 0, one});
            } else {
                literal(dollar, 2);
            }
        } else {
            literal(dollar, 2);
        }
    }
    return pieces;
}

// What a match holds: its texts, and its objects' slots when the script gets it.
size_t MatchBytes(const size_t* offsets, size_t groupCount)
{
    size_t units = 0;
    for (size_t g = 0; g <= groupCount; ++g)
        if (offsets[2 * g] != RegExpPattern::kUnset) units += offsets[2 * g + 1] - offsets[2 * g];
    return sizeof(MatchData) + sizeof(MatchObject) + 64 + groupCount * sizeof(std::optional<VbString>) +
           units * sizeof(char16_t);
}

MatchData ToMatch(VbStringView subject, const size_t* offsets, size_t groupCount)
{
    MatchData match;
    match.firstIndex = static_cast<int32_t>(offsets[0]);
    match.value = VbString(subject.substr(offsets[0], offsets[1] - offsets[0]));
    match.groups.reserve(groupCount);
    for (size_t g = 1; g <= groupCount; ++g) {
        if (offsets[2 * g] == RegExpPattern::kUnset)
            match.groups.emplace_back();
        else
            match.groups.emplace_back(VbString(subject.substr(offsets[2 * g], offsets[2 * g + 1] - offsets[2 * g])));
    }
    return match;
}

} // namespace

RegExpPattern& RegExpObject::Compiled()
{
    if (!m_compiled) m_compiled = std::make_unique<RegExpPattern>(m_pattern, m_ignoreCase, m_multiline);
    return *m_compiled;
}

bool RegExpObject::Test(VbStringView subject) { return Compiled().Test(subject); }

VbString RegExpObject::Replace(VbStringView subject, VbStringView replacement)
{
    RegExpPattern& pattern = Compiled();
    const auto pieces = ParseReplacement(replacement, pattern.GroupCount());
    VbString out;
    out.reserve(subject.size() + subject.size() / 8);
    size_t copied = 0;
    pattern.Scan(subject, m_global, [&](const size_t* offsets) {
        memory::Append(out, subject.substr(copied, offsets[0] - copied));
        for (const auto& piece : pieces) {
            switch (piece.kind) {
            case ReplacementPiece::Literal: memory::Append(out, replacement.substr(piece.begin, piece.length)); break;
            case ReplacementPiece::Group:
                if (offsets[2 * piece.group] != RegExpPattern::kUnset)
                    memory::Append(out, subject.substr(offsets[2 * piece.group],
                                                       offsets[2 * piece.group + 1] - offsets[2 * piece.group]));
                break;
            case ReplacementPiece::Whole:
                memory::Append(out, subject.substr(offsets[0], offsets[1] - offsets[0]));
                break;
            case ReplacementPiece::Before: memory::Append(out, subject.substr(0, offsets[0])); break;
            case ReplacementPiece::After: memory::Append(out, subject.substr(offsets[1])); break;
            }
        }
        copied = offsets[1];
    });
    memory::Append(out, subject.substr(copied));
    return out;
}

VbString RegExpObject::ReplaceBy(VbStringView subject, ScriptObject& replacer)
{
    RegExpPattern& pattern = Compiled();
    const size_t groupCount = pattern.GroupCount();
    // Matches first, then the calls: the function may itself use this RegExp.
    MemoryCharge charge;
    std::vector<MatchData> matches = Execute(subject, charge);
    VbString out;
    out.reserve(subject.size());
    size_t copied = 0;
    const Variant source{subject};
    for (const auto& match : matches) {
        memory::Append(out, subject.substr(copied, match.firstIndex - copied));
        std::vector<Variant> args;
        args.reserve(groupCount + 3);
        args.emplace_back(match.value);
        for (const auto& group : match.groups) args.push_back(group ? Variant(*group) : Variant());
        args.emplace_back(match.firstIndex);
        args.push_back(source);
        memory::Append(out, ToStringOrEmpty(ValueOf(replacer.Invoke("", InvokeKind::Method, args))));
        copied = match.firstIndex + match.value.size();
    }
    memory::Append(out, subject.substr(copied));
    return out;
}

std::vector<MatchData> RegExpObject::Execute(VbStringView subject, MemoryCharge& charge)
{
    RegExpPattern& pattern = Compiled();
    const size_t groupCount = pattern.GroupCount();
    std::vector<MatchData> matches;
    pattern.Scan(subject, m_global, [&](const size_t* offsets) {
        charge.Grow(MatchBytes(offsets, groupCount));
        matches.push_back(ToMatch(subject, offsets, groupCount));
    });
    return matches;
}

Variant RegExpObject::BoolProperty(bool& flag, InvokeKind kind, std::span<Variant> args)
{
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) {
        bool value = ArgBool(LetValue(args));
        if (value != flag) m_compiled.reset();
        flag = value;
        return {};
    }
    RequireArgs(args, 0, 0);
    return flag;
}

Variant RegExpObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    if (name == "pattern") {
        if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) {
            VbString value = ArgString(LetValue(args));
            if (value != m_pattern) m_compiled.reset();
            m_pattern = std::move(value);
            return {};
        }
        RequireArgs(args, 0, 0);
        return m_pattern;
    }
    if (name == "global") return BoolProperty(m_global, kind, args);
    if (name == "ignorecase") return BoolProperty(m_ignoreCase, kind, args);
    if (name == "multiline") return BoolProperty(m_multiline, kind, args);
    RequireGet(name, kind);
    if (name == "test") {
        RequireArgs(args, 1, 1);
        VbString converted;
        return Test(ArgStringView(args[0], converted));
    }
    if (name == "replace") {
        RequireArgs(args, 2, 2);
        // The subject is often a whole document: read it in place, holding a
        // share of it in case a replacement function assigns the variable.
        const Variant held = args[0];
        VbString converted, convertedReplacement;
        VbStringView subject = ArgStringView(held, converted);
        if (args[1].IsObject() && args[1].Object()) return ReplaceBy(subject, *args[1].Object());
        return Replace(subject, ArgStringView(args[1], convertedReplacement));
    }
    if (name == "execute") {
        RequireArgs(args, 1, 1);
        std::vector<ObjectPtr> matches;
        VbString converted;
        MemoryCharge charge;
        for (auto& match : Execute(ArgStringView(args[0], converted), charge))
            matches.push_back(std::make_shared<MatchObject>(std::move(match)));
        return ObjectPtr(std::make_shared<MatchesObject>(std::move(matches), std::move(charge)));
    }
    ThrowNoMember(name);
}

} // namespace brindle::vbs
