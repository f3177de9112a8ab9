// The built-in function table and the language's named constants.
#include "platform/script/Builtins.h"

#include "platform/script/BuiltinSupport.h"

#include <string>
#include <unordered_map>

namespace brindle::vbs {

namespace builtin {

int32_t LongArg(const BuiltinCall& call, size_t i) { return ToLong(call.args[i]); }

double DoubleArg(const BuiltinCall& call, size_t i) { return ToDouble(call.args[i]); }

VbString StringArg(const BuiltinCall& call, size_t i) { return ToString(call.args[i]); }

int32_t LongArg(const BuiltinCall& call, size_t i, int32_t fallback) { return Has(call, i) ? ToLong(call.args[i]) : fallback; }

bool BoolArg(const BuiltinCall& call, size_t i, bool fallback) { return Has(call, i) ? ToBool(call.args[i]) : fallback; }

CompareMode CompareArg(const BuiltinCall& call, size_t i)
{
    int32_t mode = LongArg(call, i, 0);
    if (mode == 0) return CompareMode::Binary;
    if (mode == 1 || mode == 2) return CompareMode::Text;
    InvalidArgument();
}

bool AnyNull(const BuiltinCall& call, size_t n)
{
    for (size_t i = 0; i < n && i < call.args.size(); ++i)
        if (call.args[i].IsNull()) return true;
    return false;
}

Variant MakeString(VbString s) { return Variant(std::move(s)); }

Variant StringArray(std::vector<VbString> items)
{
    std::vector<Variant> values;
    values.reserve(items.size());
    for (auto& item : items) values.emplace_back(std::move(item));
    return Variant(SafeArray::FromVector(std::move(values)));
}

} // namespace builtin

const BuiltinFunction* FindBuiltin(std::string_view lowerName)
{
    static const std::unordered_map<std::string_view, const BuiltinFunction*> table = [] {
        std::unordered_map<std::string_view, const BuiltinFunction*> map;
        for (auto family : {builtin::StringFunctions(), builtin::ConversionFunctions(), builtin::MathFunctions(),
                            builtin::DateFunctions(), builtin::ArrayFunctions(), builtin::FormatFunctions(),
                            builtin::InfoFunctions(), builtin::HostFunctions()})
            for (const BuiltinFunction& f : family) map.emplace(f.name, &f);
        return map;
    }();
    auto it = table.find(lowerName);
    return it == table.end() ? nullptr : it->second;
}

std::optional<Variant> FindConstant(std::string_view lowerName)
{
    static const std::unordered_map<std::string_view, Variant> constants = [] {
        auto i = [](int v) { return Variant(static_cast<int16_t>(v)); };
        auto l = [](int32_t v) { return Variant(v); };
        auto s = [](VbString v) { return Variant(std::move(v)); };
        return std::unordered_map<std::string_view, Variant>{
            // Strings.
            {"vbcr", s(u"\r")}, {"vblf", s(u"\n")}, {"vbcrlf", s(u"\r\n")}, {"vbnewline", s(u"\r\n")},
            {"vbtab", s(u"\t")}, {"vbnullchar", s(VbString(1, u'\0'))}, {"vbnullstring", s(u"")},
            {"vbverticaltab", s(u"\v")}, {"vbformfeed", s(u"\f")}, {"vbback", s(u"\b")},
            // Tristate and comparison.
            {"vbtrue", i(-1)}, {"vbfalse", i(0)}, {"vbusedefault", i(-2)},
            {"vbbinarycompare", i(0)}, {"vbtextcompare", i(1)}, {"vbdatabasecompare", i(2)},
            {"vbobjecterror", l(static_cast<int32_t>(0x80040000))},
            // VarType.
            {"vbempty", i(0)}, {"vbnull", i(1)}, {"vbinteger", i(2)}, {"vblong", i(3)}, {"vbsingle", i(4)},
            {"vbdouble", i(5)}, {"vbcurrency", i(6)}, {"vbdate", i(7)}, {"vbstring", i(8)}, {"vbobject", i(9)},
            {"vberror", i(10)}, {"vbboolean", i(11)}, {"vbvariant", i(12)}, {"vbdataobject", i(13)},
            {"vbdecimal", i(14)}, {"vbbyte", i(17)}, {"vbarray", i(8192)},
            // MsgBox buttons, icons, defaults and modality.
            {"vbokonly", i(0)}, {"vbokcancel", i(1)}, {"vbabortretryignore", i(2)}, {"vbyesnocancel", i(3)},
            {"vbyesno", i(4)}, {"vbretrycancel", i(5)}, {"vbcritical", i(16)}, {"vbquestion", i(32)},
            {"vbexclamation", i(48)}, {"vbinformation", i(64)}, {"vbdefaultbutton1", i(0)},
            {"vbdefaultbutton2", i(256)}, {"vbdefaultbutton3", i(512)}, {"vbdefaultbutton4", i(768)},
            {"vbapplicationmodal", i(0)}, {"vbsystemmodal", i(4096)}, {"vbmsgboxhelpbutton", l(16384)},
            {"vbmsgboxsetforeground", l(65536)}, {"vbmsgboxright", l(524288)}, {"vbmsgboxrtlreading", l(1048576)},
            // MsgBox results.
            {"vbok", i(1)}, {"vbcancel", i(2)}, {"vbabort", i(3)}, {"vbretry", i(4)}, {"vbignore", i(5)},
            {"vbyes", i(6)}, {"vbno", i(7)},
            // Days, weeks and date formats.
            {"vbusesystemdayofweek", i(0)}, {"vbsunday", i(1)}, {"vbmonday", i(2)}, {"vbtuesday", i(3)},
            {"vbwednesday", i(4)}, {"vbthursday", i(5)}, {"vbfriday", i(6)}, {"vbsaturday", i(7)},
            {"vbusesystem", i(0)}, {"vbfirstjan1", i(1)}, {"vbfirstfourdays", i(2)}, {"vbfirstfullweek", i(3)},
            {"vbgeneraldate", i(0)}, {"vblongdate", i(1)}, {"vbshortdate", i(2)}, {"vblongtime", i(3)},
            {"vbshorttime", i(4)},
            // Colours (&HBBGGRR).
            {"vbblack", l(0)}, {"vbred", l(0xFF)}, {"vbgreen", l(0xFF00)}, {"vbyellow", l(0xFFFF)},
            {"vbblue", l(0xFF0000)}, {"vbmagenta", l(0xFF00FF)}, {"vbcyan", l(0xFFFF00)}, {"vbwhite", l(0xFFFFFF)},
        };
    }();
    auto it = constants.find(lowerName);
    if (it == constants.end()) return std::nullopt;
    return it->second;
}

} // namespace brindle::vbs
