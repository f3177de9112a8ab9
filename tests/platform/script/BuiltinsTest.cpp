// Built-in functions where a script cannot reach: the dialogs through a fake
// ScriptUI, the random generator's state, the engine calls, the tables, and
// the large-text cost of the string functions plugins run over documents.
#include "platform/script/Builtins.h"
#include "platform/script/ScriptContext.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptUI.h"
#include "platform/script/VariantOps.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace brindle::vbs;

namespace {

class RecordingUI : public ScriptUI {
public:
    int MsgBox(const VbString& prompt, int buttons, const VbString& title) override
    {
        calls.push_back(ToUtf8(prompt) + "|" + std::to_string(buttons) + "|" + ToUtf8(title));
        return answer;
    }
    std::optional<VbString> InputBox(const VbString& prompt, const VbString& title, const VbString& defaultText) override
    {
        calls.push_back(ToUtf8(prompt) + "|" + ToUtf8(title) + "|" + ToUtf8(defaultText));
        return typed;
    }
    std::vector<std::string> calls;
    int answer = 6;
    std::optional<VbString> typed;
};

class FakeContext : public ScriptContext {
public:
    ScriptUI* UI() override { return ui; }
    uint32_t& RandomSeed() override { return seed; }
    Variant& LastRandom() override { return last; }
    Variant Eval(const VbString& expression) override { return Variant(u"eval:" + expression); }
    void Execute(const VbString& statements, bool global) override
    {
        executed.push_back(ToUtf8(statements) + (global ? " (global)" : ""));
    }
    Variant GetRef(const VbString& name) override { return Variant(u"ref:" + name); }
    Variant DefaultValue(const Variant&) override { throw ScriptError(err::kObjectDoesNotSupport); }

    ScriptUI* ui = nullptr;
    uint32_t seed = 0x50000;
    Variant last;
    std::vector<std::string> executed;
};

Variant Call(FakeContext& context, std::string_view name, std::vector<Variant> args)
{
    const BuiltinFunction* f = FindBuiltin(name);
    if (!f) throw std::runtime_error("no built-in " + std::string(name));
    EXPECT_GE(static_cast<int>(args.size()), f->minArgs) << name;
    EXPECT_LE(static_cast<int>(args.size()), f->maxArgs) << name;
    BuiltinCall call{args, context};
    return f->fn(call);
}

std::string Text(const Variant& v) { return ToUtf8(ToString(v)); }

TEST(BuiltinHost, DialogsGoThroughTheUi)
{
    FakeContext context;
    RecordingUI ui;
    context.ui = &ui;
    EXPECT_EQ(Text(Call(context, "msgbox", {Variant(u"Save?"), Variant(int16_t{4 + 32}), Variant(u"Plugin")})), "6");
    EXPECT_EQ(Text(Call(context, "msgbox", {Variant(int32_t{42})})), "6");
    ui.typed = u"typed";
    EXPECT_EQ(Text(Call(context, "inputbox", {Variant(u"Name"), Variant(u"Ask"), Variant(u"dflt")})), "typed");
    ui.typed.reset();
    Variant cancelled = Call(context, "inputbox", {Variant(u"Name")});
    EXPECT_TRUE(cancelled.IsString());
    EXPECT_EQ(Text(cancelled), "");
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"Save?|36|Plugin", "42|0|", "Name|Ask|dflt", "Name||"}));
}

TEST(BuiltinHost, WithoutUiMsgBoxAnswersOkAndInputBoxNothing)
{
    FakeContext context;
    Variant answer = Call(context, "msgbox", {Variant(u"hello"), Variant(int16_t{1})});
    EXPECT_EQ(answer.Type(), VarType::Integer);
    EXPECT_EQ(Text(answer), "1");
    EXPECT_EQ(Text(Call(context, "inputbox", {Variant(u"x"), Variant(u"t"), Variant(u"d")})), "");
}

TEST(BuiltinHost, EngineCallsReachTheContext)
{
    FakeContext context;
    EXPECT_EQ(Text(Call(context, "eval", {Variant(u"1+1")})), "eval:1+1");
    EXPECT_EQ(Text(Call(context, "getref", {Variant(u"OnClick")})), "ref:OnClick");
    Call(context, "execute", {Variant(u"x = 1")});
    Call(context, "executeglobal", {Variant(u"Dim y")});
    EXPECT_EQ(context.executed, (std::vector<std::string>{"x = 1", "Dim y (global)"}));
    EXPECT_EQ(Text(Call(context, "getlocale", {})), "1033");
    EXPECT_EQ(Text(Call(context, "setlocale", {Variant(int32_t{1031})})), "1033");
    EXPECT_EQ(Text(Call(context, "getlocale", {})), "1033");
    try {
        Call(context, "getobject", {Variant(u"winmgmts:")});
        ADD_FAILURE() << "GetObject succeeded";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.Number(), err::kCannotCreateObject);
    }
}

TEST(BuiltinMath, RandomSequenceFollowsTheSeed)
{
    FakeContext context;
    // The generator's first numbers from its initial seed.
    std::vector<std::string> first;
    for (int i = 0; i < 3; ++i) first.push_back(Text(Call(context, "rnd", {})));
    EXPECT_EQ(first, (std::vector<std::string>{"0.7055475", "0.533424", "0.5795186"}));
    // Rnd(0) repeats the last number; a negative argument always gives the same.
    EXPECT_EQ(Text(Call(context, "rnd", {Variant(int16_t{0})})), first[2]);
    std::string a = Text(Call(context, "rnd", {Variant(int16_t{-3})}));
    Call(context, "rnd", {});
    EXPECT_EQ(Text(Call(context, "rnd", {Variant(int16_t{-3})})), a);
    // Randomize with a number followed by Rnd(-1) style reseeding is repeatable.
    FakeContext other;
    Call(context, "randomize", {Variant(int16_t{7})});
    Call(other, "randomize", {Variant(int16_t{7})});
    other.seed = context.seed;
    for (int i = 0; i < 5; ++i) {
        Variant x = Call(context, "rnd", {});
        EXPECT_EQ(Text(x), Text(Call(other, "rnd", {})));
        EXPECT_EQ(x.Type(), VarType::Single);
        EXPECT_GE(ToDouble(x), 0.0);
        EXPECT_LT(ToDouble(x), 1.0);
    }
}

TEST(BuiltinTables, FunctionsAndConstantsByLowerCaseName)
{
    for (const char* name : {"len", "mid", "instr", "replace", "split", "join", "filter", "cdate", "formatnumber",
                             "datediff", "ubound", "vartype", "msgbox", "createobject", "escape", "scriptengine"})
        EXPECT_NE(FindBuiltin(name), nullptr) << name;
    EXPECT_EQ(FindBuiltin("Len"), nullptr);
    EXPECT_EQ(FindBuiltin("nosuch"), nullptr);
    EXPECT_TRUE(FindBuiltin("typename")->takesObjects);
    EXPECT_FALSE(FindBuiltin("len")->takesObjects);
    EXPECT_EQ(ToUtf8(ToString(*FindConstant("vbcrlf"))), "\r\n");
    EXPECT_EQ(ToLong(*FindConstant("vbobjecterror")), static_cast<int32_t>(0x80040000));
    EXPECT_EQ(ToLong(*FindConstant("vbyesno")), 4);
    EXPECT_EQ(ToLong(*FindConstant("vbmsgboxrtlreading")), 1048576);
    EXPECT_EQ(ToLong(*FindConstant("vbwhite")), 0xFFFFFF);
    EXPECT_EQ(ToUtf8(TypeNameOf(*FindConstant("vbtrue"))), "Integer");
    EXPECT_FALSE(FindConstant("true").has_value()); // a keyword, not a constant
}

TEST(BuiltinStrings, WholeDocumentsPassThroughInOnePass)
{
    FakeContext context;
    VbString doc;
    for (int i = 0; i < 200000; ++i) doc += u"<a href='x'>Text</a>\n";
    Variant text(doc);
    Variant replaced = Call(context, "replace", {text, Variant(u"<A"), Variant(u"<b"), Variant(int16_t{1}),
                                                 Variant(int16_t{-1}), Variant(int16_t{1})});
    EXPECT_EQ(replaced.Str().size(), doc.size());
    EXPECT_EQ(replaced.Str().substr(0, 10), u"<b href='x");
    EXPECT_EQ(Text(Call(context, "instr", {Variant(int32_t{1}), text, Variant(u"NOT THERE"), Variant(int16_t{1})})), "0");
    EXPECT_EQ(Text(Call(context, "instrrev", {text, Variant(u"TEXT"), Variant(int16_t{-1}), Variant(int16_t{1})})),
              std::to_string(doc.size() - 8)); // 1-based: "Text</a>\n" ends the text
    Variant lines = Call(context, "split", {text, Variant(u"\n")});
    EXPECT_EQ(lines.Array().Count(), 200001u);
}

} // namespace
