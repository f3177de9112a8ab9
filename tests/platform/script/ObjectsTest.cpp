// The built-in objects driven as the interpreter drives them: through Invoke,
// with lower-case member names and Variant arguments.
#include "platform/script/ObjectFactory.h"
#include "platform/script/ScriptError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>

using namespace brindle::vbs;

namespace {

Variant Call(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args = {},
             InvokeKind kind = InvokeKind::Method)
{
    std::vector<Variant> list(args);
    return object->Invoke(name, kind, list);
}

Variant Get(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args = {})
{
    return Call(object, name, args, InvokeKind::PropertyGet);
}

void Let(const ObjectPtr& object, std::string_view name, std::initializer_list<Variant> args)
{
    Call(object, name, args, InvokeKind::PropertyLet);
}

std::string Str(const Variant& v)
{
    if (v.IsEmpty()) return "<empty>";
    if (!v.IsString()) ADD_FAILURE() << "not a string";
    return v.IsString() ? ToUtf8(v.Str()) : std::string();
}

int32_t Long(const Variant& v) { return std::get<int32_t>(v.Value()); }
bool Bool(const Variant& v) { return std::get<bool>(v.Value()); }

// The error number a call throws (0 when it does not throw).
template <typename F> int ErrorOf(F&& f)
{
    try {
        f();
    } catch (const ScriptError& e) {
        return e.Number();
    }
    return 0;
}

ObjectPtr NewRegExp(const char16_t* pattern, bool global = false, bool ignoreCase = false, bool multiline = false)
{
    ObjectPtr re = CreateRegExp();
    Let(re, "pattern", {Variant(pattern)});
    Let(re, "global", {Variant(global)});
    Let(re, "ignorecase", {Variant(ignoreCase)});
    Let(re, "multiline", {Variant(multiline)});
    return re;
}

std::string Replace(const ObjectPtr& re, const char16_t* subject, const char16_t* replacement)
{
    return Str(Call(re, "replace", {Variant(subject), Variant(replacement)}));
}

// ---------------------------------------------------------------- RegExp

TEST(RegExpObject, ReplaceReferencesFollowTheLanguage)
{
    ObjectPtr re = NewRegExp(u"(\\w+)@(\\w+)", true);
    EXPECT_EQ(Replace(re, u"a@b c@d", u"$2@$1"), "b@a d@c");
    EXPECT_EQ(Replace(re, u"x a@b y", u"[$&|$`|$']"), "x [a@b|x | y] y");
    EXPECT_EQ(Replace(re, u"a@b", u"$$1 $3 $0 $"), "$1 $3 $0 $");
    // $12 is group 1 then "2" when there are fewer than 12 groups.
    EXPECT_EQ(Replace(re, u"a@b", u"$12"), "a2");
    ObjectPtr many = NewRegExp(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)");
    EXPECT_EQ(Replace(many, u"abcdefghijkl", u"$12$11$1"), "lka");
    // An unmatched group gives nothing.
    EXPECT_EQ(Replace(NewRegExp(u"(x)?y"), u"y", u"[$1]"), "[]");
}

TEST(RegExpObject, GlobalOffReplacesTheFirstMatchOnly)
{
    EXPECT_EQ(Replace(NewRegExp(u"o"), u"foo boo", u"0"), "f0o boo");
    EXPECT_EQ(Replace(NewRegExp(u"o", true), u"foo boo", u"0"), "f00 b00");
    // Empty matches step on by one character.
    EXPECT_EQ(Replace(NewRegExp(u"x*", true), u"abc", u"-"), "-a-b-c-");
    EXPECT_EQ(Replace(NewRegExp(u"a*", true), u"aaa", u"X"), "XX");
}

TEST(RegExpObject, FlagsAndLineEnds)
{
    ObjectPtr re = NewRegExp(u"^b.*$", true);
    EXPECT_FALSE(Bool(Call(re, "test", {Variant(u"a\nb\nc")})));
    Let(re, "multiline", {Variant(true)}); // a flag change recompiles
    EXPECT_TRUE(Bool(Call(re, "test", {Variant(u"a\nb\nc")})));
    EXPECT_EQ(Replace(re, u"a\r\nbx\r\nc", u"B"), "a\r\nB\r\nc");
    // "." stops at CR and LF; "$" without Multiline is the very end only.
    EXPECT_EQ(Replace(NewRegExp(u"a.b", true), u"a\rb a\nb a-b", u"X"), "a\rb a\nb X");
    EXPECT_FALSE(Bool(Call(NewRegExp(u"a$"), "test", {Variant(u"a\n")})));
    EXPECT_TRUE(Bool(Call(NewRegExp(u"ÉTÉ", false, true), "test", {Variant(u"un été")})));
    EXPECT_FALSE(Bool(Call(NewRegExp(u"ABC"), "test", {Variant(u"abc")})));
    EXPECT_TRUE(Bool(Call(NewRegExp(u"\\u0041\\x42[^]"), "test", {Variant(u"ABz")})));
    EXPECT_FALSE(Bool(Call(NewRegExp(u"a[]"), "test", {Variant(u"a]")})));
    // A back reference to a group that did not take part matches empty.
    EXPECT_TRUE(Bool(Call(NewRegExp(u"(a)?b\\1c"), "test", {Variant(u"bc")})));
}

TEST(RegExpObject, ExecuteGivesMatchesWithGroupsAndUtf16Positions)
{
    ObjectPtr re = NewRegExp(u"(\\d+)(px)?", true);
    Variant matches = Call(re, "execute", {Variant(u"😀 12px 7")});
    ObjectPtr list = matches.Object();
    EXPECT_EQ(Str(list->TypeName()), "IMatchCollection2");
    ASSERT_EQ(Long(Get(list, "count")), 2);
    ObjectPtr first = Get(list, "", {Variant(int32_t(0))}).Object();
    EXPECT_EQ(Str(Get(first, "")), "12px");
    EXPECT_EQ(Long(Get(first, "firstindex")), 3); // the emoji is two code units
    EXPECT_EQ(Long(Get(first, "length")), 4);
    ObjectPtr second = Get(list, "item", {Variant(int32_t(1))}).Object();
    ObjectPtr groups = Get(second, "submatches").Object();
    ASSERT_EQ(Long(Get(groups, "count")), 2);
    EXPECT_EQ(Str(Get(groups, "", {Variant(int32_t(0))})), "7");
    EXPECT_TRUE(Get(groups, "item", {Variant(int32_t(1))}).IsEmpty());
    EXPECT_EQ(groups->Enumerate().size(), 2u);
    EXPECT_EQ(list->Enumerate().size(), 2u);
    EXPECT_EQ(ErrorOf([&] { Get(list, "item", {Variant(int32_t(2))}); }), 5);
    // Without Global, Execute finds one match.
    Let(re, "global", {Variant(false)});
    EXPECT_EQ(Long(Get(Call(re, "execute", {Variant(u"1 2 3")}).Object(), "count")), 1);
}

TEST(RegExpObject, BadPatternsAndRunawayMatchesRaiseErrors)
{
    EXPECT_EQ(ErrorOf([] { Call(NewRegExp(u"(a"), "test", {Variant(u"a")}); }), 5017);
    EXPECT_EQ(ErrorOf([] { Call(NewRegExp(u"a**"), "execute", {Variant(u"a")}); }), 5017);
    // Catastrophic backtracking ends with error 5 instead of running for ages.
    VbString subject(40, u'a');
    subject += u'!';
    EXPECT_EQ(ErrorOf([&] { Call(NewRegExp(u"^(a+)+$"), "test", {Variant(subject)}); }), 5);
    // An unpaired surrogate in the text still matches, code unit by code unit.
    VbString lone = u"x";
    lone += char16_t(0xD800);
    lone += u"y";
    EXPECT_EQ(Replace(NewRegExp(u"x.y"), lone.c_str(), u"ok"), "ok");
}

TEST(RegExpObject, ReplaceCallsAFunctionObject)
{
    // What GetRef hands over: an object whose default member is the function.
    struct Upper : ScriptObject {
        VbString TypeName() const override { return u"Object"; }
        Variant Invoke(std::string_view, InvokeKind, std::span<Variant> args) override
        {
            // (match, group 1, position, source)
            EXPECT_EQ(args.size(), 4u);
            return VbString(u"<") + args[1].Str() + u"@" + ToVb(std::to_string(std::get<int32_t>(args[2].Value()))) + u">";
        }
    };
    ObjectPtr re = NewRegExp(u"(b+)", true);
    EXPECT_EQ(Str(Call(re, "replace", {Variant(u"abbcb"), Variant(ObjectPtr(std::make_shared<Upper>()))})),
              "a<bb@1>c<b@4>");
}

// ---------------------------------------------------------------- Dictionary

TEST(DictionaryObject, KeysByKindAndValueInInsertionOrder)
{
    ObjectPtr d = CreateScriptObject(u"Scripting.Dictionary");
    Call(d, "add", {Variant(int32_t(1)), Variant(u"one")});
    Call(d, "add", {Variant(u"1"), Variant(u"string one")});
    Call(d, "add", {Variant(u"b"), Variant(u"bee")});
    EXPECT_EQ(ErrorOf([&] { Call(d, "add", {Variant(1.0), Variant(u"x")}); }), 457); // 1.0 is 1
    EXPECT_EQ(Str(Get(d, "", {Variant(int16_t(1))})), "one");
    EXPECT_EQ(Str(Get(d, "item", {Variant(u"1")})), "string one");
    EXPECT_FALSE(Bool(Call(d, "exists", {Variant(u"B")}))); // binary compare by default
    // Reading a missing key adds it, empty.
    EXPECT_TRUE(Get(d, "item", {Variant(u"new")}).IsEmpty());
    EXPECT_EQ(Long(Get(d, "count")), 4);
    Let(d, "key", {Variant(u"b"), Variant(u"c")});
    EXPECT_EQ(ErrorOf([&] { Let(d, "key", {Variant(u"zz"), Variant(u"y")}); }), 32811);
    EXPECT_EQ(ErrorOf([&] { Let(d, "key", {Variant(u"c"), Variant(u"1")}); }), 457);
    Call(d, "remove", {Variant(u"1")});
    EXPECT_EQ(ErrorOf([&] { Call(d, "remove", {Variant(u"1")}); }), 32811);
    Let(d, "item", {Variant(u"c"), Variant(u"sea")});
    Variant keys = Call(d, "keys");
    Variant items = Call(d, "items");
    ASSERT_TRUE(keys.IsArray());
    ASSERT_EQ(keys.Array().Count(), 3u);
    EXPECT_EQ(Long(keys.Array().Items()[0]), 1);
    EXPECT_EQ(Str(keys.Array().Items()[1]), "c");
    EXPECT_EQ(Str(items.Array().Items()[1]), "sea");
    EXPECT_EQ(Str(d->Enumerate()[2]), "new");
    Call(d, "removeall");
    EXPECT_EQ(Long(Get(d, "count")), 0);
}

TEST(DictionaryObject, TextCompareModeAndObjectKeys)
{
    ObjectPtr d = CreateScriptObject(u"scripting.dictionary");
    Let(d, "comparemode", {Variant(int32_t(1))});
    Call(d, "add", {Variant(u"Straße"), Variant(int32_t(1))});
    Call(d, "add", {Variant(u"Élan"), Variant(int32_t(2))});
    EXPECT_TRUE(Bool(Call(d, "exists", {Variant(u"STRAßE")})));
    EXPECT_TRUE(Bool(Call(d, "exists", {Variant(u"élan")})));
    EXPECT_EQ(ErrorOf([&] { Let(d, "comparemode", {Variant(int32_t(0))}); }), 5); // not empty
    ObjectPtr key1 = CreateRegExp(), key2 = CreateRegExp();
    Let(d, "item", {Variant(key1), Variant(u"first")});
    EXPECT_FALSE(Bool(Call(d, "exists", {Variant(key2)})));
    EXPECT_EQ(Str(Get(d, "", {Variant(key1)})), "first");
    EXPECT_TRUE(Get(d, "", {Variant(key1)}).IsString());
}

TEST(DictionaryObject, ManyKeysStayFast)
{
    ObjectPtr d = CreateScriptObject(u"Scripting.Dictionary");
    for (int32_t i = 0; i < 100000; ++i) Call(d, "add", {Variant(i), Variant(i)});
    for (int32_t i = 0; i < 100000; i += 2) Call(d, "remove", {Variant(double(i))});
    EXPECT_EQ(Long(Get(d, "count")), 50000);
    EXPECT_EQ(Long(Call(d, "keys").Array().Items()[0]), 1);
}

} // namespace
