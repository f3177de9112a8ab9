#pragma once

#include "platform/script/ScriptString.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace brindle::vbs {

// A compiled VBScript regular expression over UTF-16 text (PCRE2's 16-bit
// library, with options that give the language's reading of a pattern).
//
// Line ends: "." matches any code unit but CR and LF, and with Multiline "^"
// and "$" match after and before either of them; a CR LF pair counts as one
// line end (no empty line between its two characters). Without Multiline "$"
// matches only at the very end.
// IgnoreCase folds the case of any letter (not only ASCII) when pattern and
// subject are well-formed UTF-16; text holding an unpaired surrogate is
// matched code unit by code unit, folding ASCII letters only.
//
// A pattern that is not a valid expression throws 5017 when compiled; a match
// that takes too many steps (a catastrophic backtracking pattern) throws 5
// instead of running on.
class RegExpPattern {
public:
    RegExpPattern(VbStringView pattern, bool ignoreCase, bool multiline);
    ~RegExpPattern();
    RegExpPattern(const RegExpPattern&) = delete;
    RegExpPattern& operator=(const RegExpPattern&) = delete;

    // The number of capturing groups.
    size_t GroupCount() const;
    // Calls found for each match from the start of subject (only the first
    // unless global), with offsets[0..1] the match and offsets[2g..2g+1] group g
    // (both kUnset for a group that did not take part). An empty match moves
    // the next search on by one character.
    static constexpr size_t kUnset = ~size_t(0);
    void Scan(VbStringView subject, bool global, const std::function<void(const size_t* offsets)>& found);
    // True when the pattern matches anywhere in subject.
    bool Test(VbStringView subject);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace brindle::vbs
