#include "platform/script/RegExpPattern.h"

#include "platform/script/ScriptError.h"
#include "platform/script/ScriptMemory.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace brindle::vbs {

namespace {

constexpr int kSyntaxErrorInRegExp = 5017;
// Backtracking steps one match may take before it gives up. Ordinary patterns
// stay far below this even on megabytes of text; a nested-quantifier pattern
// failing on a few dozen characters reaches it within a fraction of a second.
constexpr uint32_t kMatchLimit = 5'000'000;

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when every surrogate in text is part of a pair.
bool IsWellFormed(VbStringView text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i])) {
            if (i + 1 >= text.size() || !IsLow(text[i + 1])) return false;
            ++i;
        } else if (IsLow(text[i])) {
            return false;
        }
    }
    return true;
}

PCRE2_SPTR Units(VbStringView text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

// With Multiline, "^" matches after every CR and every LF, also between the two
// of a CR LF pair, where PCRE2's own "^" (which takes CR LF as one line end)
// does not: each "^" outside a class becomes "start, or after CR or LF".
VbString MultilineCarets(VbStringView pattern)
{
    VbString out;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        if (c == u'\\' && i + 1 < pattern.size()) {
            out += c;
            out += pattern[++i];
        } else if (inClass) {
            out += c;
            if (c == u']') inClass = false;
        } else if (c == u'[') {
            out += c;
            inClass = true;
            if (i + 1 < pattern.size() && pattern[i + 1] == u'^') out += pattern[++i];
        } else if (c == u'^') {
            out += u"(?<![^\\r\\n])";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

// One compiled form: PCRE2's code with its match data. The UTF form is used for
// well-formed text; the code-unit form for the rest, compiled when first needed.
struct CompiledForm {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    ~CompiledForm()
    {
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

struct RegExpPattern::Impl {
    VbString pattern;
    uint32_t options = 0;
    CompiledForm utf;
    CompiledForm units;
    bool utfRefused = false; // the pattern itself is not well-formed UTF-16
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;

    ~Impl()
    {
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
    }

    // Compiles the form; returns false (form left empty) with the error code on failure.
    bool Compile(CompiledForm& form, bool asUtf, int& error)
    {
        pcre2_compile_context* compile = pcre2_compile_context_create(nullptr);
        pcre2_set_newline(compile, PCRE2_NEWLINE_ANYCRLF);
        pcre2_set_compile_extra_options(compile, PCRE2_EXTRA_ALT_BSUX);
        PCRE2_SIZE offset = 0;
        form.code = pcre2_compile(Units(pattern), pattern.size(), options | (asUtf ? PCRE2_UTF : 0), &error,
                                  &offset, compile);
        pcre2_compile_context_free(compile);
        if (!form.code) return false;
        // JIT where the platform has it; the interpreter otherwise, silently.
        pcre2_jit_compile(form.code, PCRE2_JIT_COMPLETE);
        form.data = pcre2_match_data_create_from_pattern(form.code, nullptr);
        return true;
    }

    CompiledForm& Form(bool wellFormed)
    {
        if (wellFormed && !utfRefused) return utf;
        if (!units.code) {
            int error = 0;
            if (!Compile(units, false, error)) throw ScriptError(kSyntaxErrorInRegExp, "Syntax error in regular expression");
        }
        return units;
    }
};

RegExpPattern::RegExpPattern(VbStringView pattern, bool ignoreCase, bool multiline) : m_impl(std::make_unique<Impl>())
{
    Impl& impl = *m_impl;
    impl.pattern = multiline ? MultilineCarets(pattern) : VbString(pattern);
    // ECMAScript escapes (\uXXXX, \xHH), a back reference to an unset group
    // matching empty, [] and [^] as classes, "$" at the very end only unless
    // Multiline.
    impl.options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                   (ignoreCase ? PCRE2_CASELESS : 0) | (multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY);
    int error = 0;
    // A pattern holding unpaired surrogates (written or escaped) only compiles
    // code unit by code unit.
    if (!IsWellFormed(impl.pattern) || !impl.Compile(impl.utf, true, error)) {
        impl.utfRefused = true;
        if (!impl.Compile(impl.units, false, error))
            throw ScriptError(kSyntaxErrorInRegExp, "Syntax error in regular expression");
    }
    impl.context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(impl.context, kMatchLimit);
}

RegExpPattern::~RegExpPattern() = default;

size_t RegExpPattern::GroupCount() const
{
    const CompiledForm& form = m_impl->utfRefused ? m_impl->units : m_impl->utf;
    uint32_t count = 0;
    pcre2_pattern_info(form.code, PCRE2_INFO_CAPTURECOUNT, &count);
    return count;
}

void RegExpPattern::Scan(VbStringView subject, bool global, const std::function<void(const size_t* offsets)>& found)
{
    memory::NoteWork(subject.size());
    const bool wellFormed = IsWellFormed(subject);
    CompiledForm& form = m_impl->Form(wellFormed);
    const bool utf = wellFormed && !m_impl->utfRefused;
    size_t start = 0;
    while (start <= subject.size()) {
        // The text was checked above, once, rather than by PCRE2 at every call.
        int rc = pcre2_match(form.code, Units(subject), subject.size(), start, utf ? PCRE2_NO_UTF_CHECK : 0,
                             form.data, m_impl->context);
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT && !m_impl->jitStack) {
            // The JIT's default stack (32 KB) is too small for this pattern:
            // give it one of up to 4 MB and try again.
            m_impl->jitStack = pcre2_jit_stack_create(64 * 1024, 4 * 1024 * 1024, nullptr);
            if (m_impl->jitStack) {
                pcre2_jit_stack_assign(m_impl->context, nullptr, m_impl->jitStack);
                continue;
            }
        }
        if (rc == PCRE2_ERROR_NOMATCH) return;
        if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
            rc == PCRE2_ERROR_JIT_STACKLIMIT)
            throw ScriptError(err::kInvalidProcedureCall,
                              "Invalid procedure call or argument: matching the regular expression against this "
                              "text takes too many steps or too much memory (catastrophic backtracking)");
        if (rc < 0) {
            PCRE2_UCHAR message[256];
            pcre2_get_error_message(rc, message, 256);
            std::u16string text(reinterpret_cast<const char16_t*>(message));
            throw ScriptError(err::kInvalidProcedureCall, "Regular expression match failed: " + ToUtf8(text));
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(form.data);
        static_assert(sizeof(PCRE2_SIZE) == sizeof(size_t) && PCRE2_UNSET == kUnset);
        found(ovector);
        if (!global) return;
        size_t end = ovector[1];
        if (end > ovector[0]) {
            start = end;
        } else {
            // An empty match: the next search starts one character on (a whole
            // surrogate pair in UTF mode, where half a pair is not a position).
            start = end + (utf && end + 1 < subject.size() && IsHigh(subject[end]) ? 2 : 1);
        }
    }
}

bool RegExpPattern::Test(VbStringView subject)
{
    bool matched = false;
    Scan(subject, false, [&](const size_t*) { matched = true; });
    return matched;
}

} // namespace brindle::vbs
