// String functions: Len, Left, Mid, InStr, Replace, LCase, Asc, Chr, ...
#include "platform/script/BuiltinSupport.h"

#include "platform/script/CaseFold.h"
#include "platform/script/ScriptMemory.h"

#include <algorithm>

namespace brindle::vbs::builtin {

namespace {

const char16_t kCodePageHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool MatchesAt(VbStringView hay, size_t at, VbStringView needle)
{
    for (size_t k = 0; k < needle.size(); ++k)
        if (FoldChar(hay[at + k]) != FoldChar(needle[k])) return false;
    return true;
}

// Spaces only, as LTrim, RTrim and Trim remove.
VbStringView TrimLeft(VbStringView s)
{
    size_t i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    return s.substr(i);
}

VbStringView TrimRight(VbStringView s)
{
    size_t n = s.size();
    while (n > 0 && s[n - 1] == u' ') --n;
    return s.substr(0, n);
}

// A count argument (Left, Right, Space, String): Null throws 94, negative 5.
size_t CountArg(const BuiltinCall& call, size_t i)
{
    int32_t n = LongArg(call, i);
    if (n < 0) InvalidArgument();
    return static_cast<size_t>(n);
}

Variant Len(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    if (v.IsNull()) return Variant::Null();
    VbString storage;
    return Variant(static_cast<int32_t>(TextOf(v, storage).size()));
}

Variant Left(BuiltinCall& call)
{
    size_t n = CountArg(call, 1);
    if (call.args[0].IsNull()) return Variant::Null();
    VbString storage;
    VbStringView s = TextOf(call.args[0], storage);
    return MakeString(VbString(s.substr(0, n)));
}

Variant Right(BuiltinCall& call)
{
    size_t n = CountArg(call, 1);
    if (call.args[0].IsNull()) return Variant::Null();
    VbString storage;
    VbStringView s = TextOf(call.args[0], storage);
    return MakeString(VbString(s.substr(s.size() - std::min(n, s.size()))));
}

Variant Mid(BuiltinCall& call)
{
    int32_t start = LongArg(call, 1);
    if (start < 1) InvalidArgument();
    size_t length = VbString::npos;
    if (Has(call, 2)) {
        int32_t n = LongArg(call, 2);
        if (n < 0) InvalidArgument();
        length = static_cast<size_t>(n);
    }
    if (call.args[0].IsNull()) return Variant::Null();
    VbString storage;
    VbStringView s = TextOf(call.args[0], storage);
    if (static_cast<size_t>(start) > s.size()) return MakeString(VbString());
    return MakeString(VbString(s.substr(static_cast<size_t>(start) - 1, length)));
}

Variant InStr(BuiltinCall& call)
{
    // InStr(s1, s2) or InStr(start, s1, s2 [, compare]).
    size_t first = call.args.size() >= 3 ? 1 : 0;
    int32_t start = 1;
    if (first == 1) {
        start = LongArg(call, 0);
        if (start < 1) InvalidArgument();
    }
    CompareMode mode = first == 1 ? CompareArg(call, 3) : CompareMode::Binary;
    const Variant& a = call.args[first];
    const Variant& b = call.args[first + 1];
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    VbString storageA, storageB;
    VbStringView s1 = TextOf(a, storageA), s2 = TextOf(b, storageB);
    if (s1.empty()) return Variant(int32_t{0});
    if (s2.empty()) return Variant(start);
    if (static_cast<size_t>(start) > s1.size()) return Variant(int32_t{0});
    size_t at = FindText(s1, s2, static_cast<size_t>(start) - 1, mode);
    return Variant(at == VbString::npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

Variant InStrRev(BuiltinCall& call)
{
    int32_t start = LongArg(call, 2, -1);
    if (start == 0 || start < -1) InvalidArgument();
    CompareMode mode = CompareArg(call, 3);
    if (call.args[0].IsNull() || call.args[1].IsNull()) return Variant::Null();
    VbString storageA, storageB;
    VbStringView s1 = TextOf(call.args[0], storageA), s2 = TextOf(call.args[1], storageB);
    size_t end = start == -1 ? s1.size() : static_cast<size_t>(start);
    if (s2.empty()) return Variant(static_cast<int32_t>(end));
    if (s1.empty() || end > s1.size() || s2.size() > end) return Variant(int32_t{0});
    size_t at = FindTextReverse(s1, s2, end - s2.size(), mode);
    return Variant(at == VbString::npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

Variant Replace(BuiltinCall& call)
{
    int32_t start = LongArg(call, 3, 1);
    int32_t count = LongArg(call, 4, -1);
    if (start < 1 || count < -1) InvalidArgument();
    CompareMode mode = CompareArg(call, 5);
    if (AnyNull(call, 3)) throw ScriptError(err::kInvalidUseOfNull);
    VbString storage, findStorage, withStorage;
    VbStringView text = TextOf(call.args[0], storage);
    VbStringView find = TextOf(call.args[1], findStorage);
    VbStringView with = TextOf(call.args[2], withStorage);
    // The result starts at start: what comes before it is dropped.
    if (static_cast<size_t>(start) > text.size()) return MakeString(VbString());
    text.remove_prefix(static_cast<size_t>(start) - 1);
    if (find.empty() || count == 0) return MakeString(VbString(text));
    VbString result;
    result.reserve(text.size());
    size_t pos = 0;
    for (int32_t done = 0; count == -1 || done < count; ++done) {
        size_t at = FindText(text, find, pos, mode);
        if (at == VbString::npos) break;
        memory::Append(result, text.substr(pos, at - pos));
        memory::Append(result, with);
        pos = at + find.size();
    }
    memory::Append(result, text.substr(pos));
    return MakeString(std::move(result));
}

template <char16_t (*Map)(char16_t)>
Variant MapCase(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    VbString s = ToString(call.args[0]);
    for (char16_t& c : s) c = Map(c);
    return MakeString(std::move(s));
}

template <VbStringView (*Cut)(VbStringView)>
Variant TrimFn(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    VbString storage;
    return MakeString(VbString(Cut(TextOf(call.args[0], storage))));
}

VbStringView TrimBoth(VbStringView s) { return TrimRight(TrimLeft(s)); }

// A string of n copies of c, checked against the memory budget first.
Variant Repeated(size_t n, char16_t c)
{
    memory::RequireText(n);
    return MakeString(VbString(n, c));
}

Variant Space(BuiltinCall& call) { return Repeated(CountArg(call, 0), u' '); }

Variant StringFn(BuiltinCall& call)
{
    if (AnyNull(call, 2)) return Variant::Null();
    size_t n = CountArg(call, 0);
    const Variant& c = call.args[1];
    char16_t ch;
    if (c.IsString()) {
        if (c.Str().empty()) InvalidArgument();
        ch = c.Str()[0];
    } else {
        int32_t code = ToLong(c) % 256;
        if (code < 0) InvalidArgument();
        ch = FromCodePage(static_cast<uint8_t>(code));
    }
    return Repeated(n, ch);
}

Variant StrReverse(BuiltinCall& call)
{
    VbString s = StringArg(call, 0);
    std::reverse(s.begin(), s.end());
    return MakeString(std::move(s));
}

Variant StrComp(BuiltinCall& call)
{
    CompareMode mode = CompareArg(call, 2);
    if (AnyNull(call, 2)) return Variant::Null();
    VbString storageA, storageB;
    int c = CompareStrings(TextOf(call.args[0], storageA), TextOf(call.args[1], storageB), mode);
    return Variant(static_cast<int16_t>(c));
}

// The first character of a non-empty string; Null throws 94, "" 5.
char16_t FirstChar(const BuiltinCall& call)
{
    VbString storage;
    VbStringView s = call.args[0].IsNull() ? throw ScriptError(err::kInvalidUseOfNull) : TextOf(call.args[0], storage);
    if (s.empty()) InvalidArgument();
    return s[0];
}

Variant Asc(BuiltinCall& call) { return Variant(static_cast<int16_t>(ToCodePage(FirstChar(call)))); }
Variant AscB(BuiltinCall& call) { return Variant(static_cast<int16_t>(FirstChar(call) & 0xFF)); }
Variant AscW(BuiltinCall& call) { return Variant(static_cast<int16_t>(FirstChar(call))); }

Variant Chr(BuiltinCall& call)
{
    int32_t code = LongArg(call, 0);
    if (code < 0 || code > 255) InvalidArgument();
    return MakeString(VbString(1, FromCodePage(static_cast<uint8_t>(code))));
}

// Strings hold UTF-16 code units here, so a byte becomes the unit of its value.
Variant ChrB(BuiltinCall& call)
{
    int32_t code = LongArg(call, 0);
    if (code < 0 || code > 255) InvalidArgument();
    return MakeString(VbString(1, static_cast<char16_t>(code)));
}

Variant ChrW(BuiltinCall& call)
{
    int32_t code = LongArg(call, 0);
    if (code < -32768 || code > 65535) InvalidArgument();
    return MakeString(VbString(1, static_cast<char16_t>(code & 0xFFFF)));
}

bool Unescaped(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'@' ||
           c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

Variant Escape(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    static const char kHex[] = "0123456789ABCDEF";
    VbString storage;
    VbStringView s = TextOf(call.args[0], storage);
    VbString out;
    out.reserve(s.size());
    for (char16_t c : s) {
        if (Unescaped(c)) {
            out.push_back(c);
        } else if (c < 256) {
            out += {u'%', static_cast<char16_t>(kHex[c >> 4]), static_cast<char16_t>(kHex[c & 15])};
        } else {
            out += {u'%', u'u'};
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(static_cast<char16_t>(kHex[(c >> shift) & 15]));
        }
    }
    return MakeString(std::move(out));
}

int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The value of n hex digits at s[at], or -1.
int HexRun(VbStringView s, size_t at, size_t n)
{
    if (at + n > s.size()) return -1;
    int value = 0;
    for (size_t k = 0; k < n; ++k) {
        int d = HexValue(s[at + k]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

Variant Unescape(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    VbString storage;
    VbStringView s = TextOf(call.args[0], storage);
    VbString out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'%') {
            int v;
            if (i + 1 < s.size() && s[i + 1] == u'u' && (v = HexRun(s, i + 2, 4)) >= 0) {
                out.push_back(static_cast<char16_t>(v));
                i += 5;
                continue;
            }
            if ((v = HexRun(s, i + 1, 2)) >= 0) {
                out.push_back(static_cast<char16_t>(v));
                i += 2;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return MakeString(std::move(out));
}

const BuiltinFunction kFunctions[] = {
    {"asc", 1, 1, Asc},           {"ascb", 1, 1, AscB},         {"ascw", 1, 1, AscW},
    {"chr", 1, 1, Chr},           {"chrb", 1, 1, ChrB},         {"chrw", 1, 1, ChrW},
    {"instr", 2, 4, InStr},       {"instrrev", 2, 4, InStrRev}, {"lcase", 1, 1, MapCase<LowerChar>},
    {"ucase", 1, 1, MapCase<UpperChar>}, {"left", 2, 2, Left},  {"right", 2, 2, Right},
    {"len", 1, 1, Len},           {"mid", 2, 3, Mid},           {"ltrim", 1, 1, TrimFn<TrimLeft>},
    {"rtrim", 1, 1, TrimFn<TrimRight>}, {"trim", 1, 1, TrimFn<TrimBoth>}, {"replace", 3, 6, Replace},
    {"space", 1, 1, Space},       {"string", 2, 2, StringFn},   {"strreverse", 1, 1, StrReverse},
    {"strcomp", 2, 3, StrComp},   {"escape", 1, 1, Escape},     {"unescape", 1, 1, Unescape},
};

} // namespace

namespace {

size_t Search(VbStringView hay, VbStringView needle, size_t from, CompareMode mode)
{
    if (mode == CompareMode::Binary) return hay.find(needle, from);
    if (needle.empty()) return from;
    const char16_t first = FoldChar(needle[0]);
    const size_t last = hay.size() - needle.size();
    for (size_t i = from; i <= last; ++i)
        if (FoldChar(hay[i]) == first && MatchesAt(hay, i, needle)) return i;
    return VbString::npos;
}

size_t SearchReverse(VbStringView hay, VbStringView needle, size_t from, CompareMode mode)
{
    if (mode == CompareMode::Binary) return hay.rfind(needle, from);
    for (size_t i = from + 1; i-- > 0;)
        if (MatchesAt(hay, i, needle)) return i;
    return VbString::npos;
}

} // namespace

// A long search counts as bulk work for the stop check.
size_t FindText(VbStringView hay, VbStringView needle, size_t from, CompareMode mode)
{
    if (from > hay.size() || needle.size() > hay.size() - from) return VbString::npos;
    const size_t at = Search(hay, needle, from, mode);
    memory::NoteWork((at == VbString::npos ? hay.size() : at) - from);
    return at;
}

size_t FindTextReverse(VbStringView hay, VbStringView needle, size_t from, CompareMode mode)
{
    if (needle.size() > hay.size()) return VbString::npos;
    from = std::min(from, hay.size() - needle.size());
    const size_t at = SearchReverse(hay, needle, from, mode);
    memory::NoteWork(from - (at == VbString::npos ? 0 : at));
    return at;
}

char16_t FromCodePage(uint8_t byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCodePageHigh[byte - 0x80] : static_cast<char16_t>(byte);
}

int ToCodePage(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kCodePageHigh[i] == c) return 0x80 + i;
    return '?';
}

std::span<const BuiltinFunction> StringFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
