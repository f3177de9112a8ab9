// The language's conversion, operator and comparison rules on Variants.
#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

#include <gtest/gtest.h>

#include <functional>

using namespace brindle::vbs;

namespace {

Variant S(const char* text) { return Variant(ToVb(text)); }
Variant I(int v) { return Variant(static_cast<int16_t>(v)); }
Variant L(int32_t v) { return Variant(v); }
Variant D(double v) { return Variant(v); }
Variant Date(double v) { return Variant(DateValue{v}); }
Variant Cur(double v) { return Variant(Currency{static_cast<int64_t>(v * 10000)}); }

std::string Str(const Variant& v) { return ToUtf8(ToString(v)); }

int ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ScriptError& e) {
        return e.Number();
    }
    return 0;
}

// "Integer 5": the type and the text of a result, so one check covers both.
std::string Typed(const Variant& v)
{
    if (v.IsNull()) return "Null";
    return ToUtf8(TypeNameOf(v)) + " " + ToUtf8(ToString(v));
}

TEST(VariantFormat, DoublesAsCStrWritesThem)
{
    struct Case { double value; const char* text; } cases[] = {
        {1.5, "1.5"}, {-0.5, "-0.5"}, {0, "0"}, {-0.0, "0"}, {100, "100"}, {1e20, "1E+20"},
        {1.5e-7, "1.5E-07"}, {123456789012345.0, "123456789012345"}, {1234567890123456.0, "1.23456789012346E+15"},
        {1.0 / 3, "0.333333333333333"}, {0.1 + 0.2, "0.3"}, {2.5e100, "2.5E+100"}, {-1e-300, "-1E-300"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(D(c.value)), c.text) << c.value;
    EXPECT_EQ(Str(Variant(1.1f)), "1.1");
    EXPECT_EQ(Str(Variant(1.0f / 3)), "0.3333333");
    EXPECT_EQ(Str(Cur(12.5)), "12.5");
    EXPECT_EQ(Str(Variant(Currency{-1})), "-0.0001");
    EXPECT_EQ(Str(Variant(Currency{123450000})), "12345");
    EXPECT_EQ(Str(Variant(true)), "True");
    EXPECT_EQ(Str(Variant()), "");
    EXPECT_EQ(Str(I(-32768)), "-32768");
    EXPECT_EQ(Str(Variant(uint8_t{255})), "255");
    EXPECT_EQ(ErrorOf([] { ToString(Variant::Null()); }), err::kInvalidUseOfNull);
    EXPECT_EQ(ToUtf8(ToStringOrEmpty(Variant::Null())), "");
    EXPECT_EQ(ErrorOf([] { ToString(Variant::Nothing()); }), err::kObjectVariableNotSet);
}

TEST(VariantFormat, DatesInEnUsForm)
{
    // 8 December 2026 is day 46364.
    struct Case { double value; const char* text; } cases[] = {
        {46364, "12/8/2026"},
        {46364 + 10.75 / 24, "12/8/2026 10:45:00 AM"},
        {46364 + 22.5 / 24, "12/8/2026 10:30:00 PM"},
        {10.75 / 24, "10:45:00 AM"},
        {0, "12:00:00 AM"},
        {0.5, "12:00:00 PM"},
        {1, "12/31/1899"},
        {-1.25, "12/29/1899 6:00:00 AM"},
        {2, "1/1/1900"},
        {60, "2/28/1900"},
        {61, "3/1/1900"},
        {-657434, "1/1/100"},
        {2958465, "12/31/9999"},
        {46364 + 0.9999999, "12/9/2026"}, // rounds to the next midnight
    };
    for (const auto& c : cases) EXPECT_EQ(Str(Date(c.value)), c.text) << c.value;
}

TEST(VariantConvert, DateStringsInTheUsualForms)
{
    const double day = 46364;
    struct Case { const char* text; double value; } cases[] = {
        {"12/8/2026", day},
        {"2026-12-08", day},
        {"2026/12/8", day},
        {"December 8, 2026", day},
        {"Dec 8 2026", day},
        {"8 Dec 2026", day},
        {"8-Dec-2026", day},
        {"Tuesday, December 8, 2026", day},
        {"12-8-26", day},
        {"10:45", 10.75 / 24},
        {"10:45:30 PM", (22 * 3600 + 45 * 60 + 30) / 86400.0},
        {"12:00 AM", 0},
        {"12 PM", 0.5},
        {"12/8/2026 10:45:00 AM", day + 10.75 / 24},
        {"2026-12-08 22:45", day + 22.75 / 24},
        {"  1/1/30 ", 10959},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(ToDate(S(c.text)).days, c.value, 1e-9);
    }
    for (const char* bad : {"", "hello", "13/13/2026", "2/30/2026", "25:00", "10:61", "12", "1.5", "1/2/3/4"})
        EXPECT_EQ(ErrorOf([&] { ToDate(S(bad)); }), err::kTypeMismatch) << bad;
    EXPECT_EQ(ToDate(D(1.5)).days, 1.5);
    EXPECT_EQ(ErrorOf([] { ToDate(D(1e10)); }), err::kOverflow);
}

TEST(VariantConvert, BankersRoundingAndOverflow)
{
    struct Case { double value; int rounded; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToInteger(D(c.value)), c.rounded) << c.value;
        EXPECT_EQ(ToLong(D(c.value)), c.rounded) << c.value;
    }
    EXPECT_EQ(ToInteger(D(32767.4)), 32767);
    EXPECT_EQ(ErrorOf([] { ToInteger(D(32767.5)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { ToInteger(L(40000)); }), err::kOverflow);
    EXPECT_EQ(ToLong(D(-2147483648.0)), INT32_MIN);
    EXPECT_EQ(ErrorOf([] { ToLong(D(2147483647.5)); }), err::kOverflow);
    EXPECT_EQ(ToByte(D(254.5)), 254);
    EXPECT_EQ(ErrorOf([] { ToByte(I(-1)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { ToByte(I(256)); }), err::kOverflow);
    EXPECT_EQ(ToCurrency(D(1.23455)).scaled, 12346);
    EXPECT_EQ(ToCurrency(D(0.00005)).scaled, 0);
    EXPECT_EQ(ToCurrency(D(0.00015)).scaled, 2);
    EXPECT_EQ(ErrorOf([] { ToCurrency(D(1e15)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { ToSingle(D(1e39)); }), err::kOverflow);
    EXPECT_EQ(ToInteger(S(" 12.5 ")), 12);
    EXPECT_EQ(ToInteger(Variant(true)), -1);
    EXPECT_EQ(ToInteger(Variant()), 0);
    EXPECT_EQ(ErrorOf([] { ToInteger(S("12a")); }), err::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { ToLong(Variant::Null()); }), err::kInvalidUseOfNull);
}

TEST(VariantConvert, BooleansFromStringsAndNumbers)
{
    EXPECT_TRUE(ToBool(S("True")));
    EXPECT_TRUE(ToBool(S("tRUE")));
    EXPECT_FALSE(ToBool(S("false")));
    EXPECT_TRUE(ToBool(S("-1")));
    EXPECT_TRUE(ToBool(S("0.5")));
    EXPECT_FALSE(ToBool(S("0")));
    EXPECT_FALSE(ToBool(Variant()));
    EXPECT_TRUE(ToBool(D(0.1)));
    EXPECT_EQ(ErrorOf([] { ToBool(S("yes")); }), err::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { ToBool(S("")); }), err::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { ToBool(Variant::Null()); }), err::kInvalidUseOfNull);
}

TEST(VariantConvert, NumbersInStrings)
{
    struct Case { const char* text; double value; } good[] = {
        {"12", 12}, {"  -12  ", -12}, {"+3", 3}, {"1.5", 1.5}, {".5", 0.5}, {"5.", 5}, {"1e3", 1000},
        {"1.5E-2", 0.015}, {"2D2", 200}, {"&H1F", 31}, {"&hff", 255}, {"&HFFFFFFFF", -1}, {"&O17", 15},
        {"1,000.5", 1000.5}, {"$12", 12}, {"- 4", -4},
    };
    for (const auto& c : good) {
        double out = 0;
        EXPECT_TRUE(ParseNumber(ToVb(c.text), out)) << c.text;
        EXPECT_DOUBLE_EQ(out, c.value) << c.text;
    }
    for (const char* bad : {"", " ", "abc", "1e", "1.2.3", "&H", "&HG", "12abc", ",5", "1 2", "."}) {
        double out = 0;
        EXPECT_FALSE(ParseNumber(ToVb(bad), out)) << bad;
    }
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Date(1)));
    EXPECT_FALSE(IsNumeric(S("x")));
}

TEST(VariantOperators, ResultTypesAndOverflowPromotion)
{
    struct Case { const char* name; Variant result; const char* expected; } cases[] = {
        {"Integer+Integer", Add(I(1), I(2)), "Integer 3"},
        {"Integer overflow", Add(I(32767), I(1)), "Long 32768"},
        {"Integer*Integer", Multiply(I(300), I(300)), "Long 90000"},
        {"Long overflow", Add(L(INT32_MAX), L(1)), "Double 2147483648"},
        {"Byte+Byte", Add(Variant(uint8_t{200}), Variant(uint8_t{55})), "Byte 255"},
        {"Byte overflow", Add(Variant(uint8_t{200}), Variant(uint8_t{56})), "Integer 256"},
        {"Byte-Byte", Subtract(Variant(uint8_t{1}), Variant(uint8_t{2})), "Integer -1"},
        {"Boolean+Boolean", Add(Variant(true), Variant(true)), "Integer -2"},
        {"Empty+Empty", Add(Variant(), Variant()), "Integer 0"},
        {"Empty+Long", Add(Variant(), L(5)), "Long 5"},
        {"Empty+string", Add(Variant(), S("ab")), "String ab"},
        {"Empty-Integer", Subtract(Variant(), I(5)), "Integer -5"},
        {"string+string", Add(S("1"), S("2")), "String 12"},
        {"string+number", Add(S("1"), I(2)), "Double 3"},
        {"Single+Integer", Add(Variant(1.5f), I(1)), "Single 2.5"},
        {"Single+Long", Add(Variant(1.5f), L(1)), "Double 2.5"},
        {"Currency+Integer", Add(Cur(1.5), I(1)), "Currency 2.5"},
        {"Currency*Currency", Multiply(Cur(1.5), Cur(1.5)), "Currency 2.25"},
        {"Double+Currency", Add(D(0.25), Cur(1)), "Double 1.25"},
        {"Date+number", Add(Date(46364), I(1)), "Date 12/9/2026"},
        {"Date-number", Subtract(Date(46364), D(0.5)), "Date 12/7/2026 12:00:00 PM"},
        {"Date-Date", Subtract(Date(46364), Date(46360)), "Double 4"},
        {"Integer/Integer", Divide(I(1), I(2)), "Double 0.5"},
        {"Integer/Integer exact", Divide(I(6), I(3)), "Double 2"},
        {"backslash", IntDivide(I(7), I(2)), "Integer 3"},
        {"backslash rounds", IntDivide(D(7.5), D(2.5)), "Long 4"},
        {"backslash negative", IntDivide(I(-7), I(2)), "Integer -3"},
        {"Mod", Modulo(I(7), I(3)), "Integer 1"},
        {"Mod negative", Modulo(I(-7), I(3)), "Integer -1"},
        {"Mod rounds", Modulo(D(10.5), D(3)), "Long 1"},
        {"Mod Long", Modulo(L(100000), I(7)), "Long 5"},
        {"power", Power(I(2), I(10)), "Double 1024"},
        {"negate", Negate(I(5)), "Integer -5"},
        {"negate min Integer", Negate(I(-32768)), "Long 32768"},
        {"negate min Long", Negate(L(INT32_MIN)), "Double 2147483648"},
        {"negate Boolean", Negate(Variant(true)), "Integer 1"},
        {"negate Empty", Negate(Variant()), "Integer 0"},
        {"negate string", Negate(S("2.5")), "Double -2.5"},
        {"concat numbers", Concat(I(1), D(2.5)), "String 12.5"},
        {"concat Null", Concat(Variant::Null(), S("a")), "String a"},
        {"concat Nulls", Concat(Variant::Null(), Variant::Null()), "Null"},
        {"concat Boolean", Concat(Variant(true), Variant()), "String True"},
    };
    for (const auto& c : cases) EXPECT_EQ(Typed(c.result), c.expected) << c.name;
}

TEST(VariantOperators, ArithmeticErrors)
{
    EXPECT_EQ(ErrorOf([] { Add(S("a"), I(1)); }), err::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Divide(I(1), I(0)); }), err::kDivisionByZero);
    EXPECT_EQ(ErrorOf([] { Divide(I(0), I(0)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { IntDivide(I(1), D(0.4)); }), err::kDivisionByZero);
    EXPECT_EQ(ErrorOf([] { Modulo(I(1), Variant()); }), err::kDivisionByZero);
    EXPECT_EQ(ErrorOf([] { Multiply(D(1e300), D(1e300)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { Add(Cur(900000000000000.0), Cur(100000000000000.0)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { Add(Date(2958465), I(1)); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { Power(I(0), I(-1)); }), err::kInvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Power(I(-8), D(1.0 / 3)); }), err::kInvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Add(Variant::Nothing(), I(1)); }), err::kObjectVariableNotSet);
    EXPECT_EQ(ErrorOf([] { Add(Variant(SafeArray::FromVector({})), I(1)); }), err::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Concat(Variant(SafeArray::FromVector({})), S("a")); }), err::kTypeMismatch);
}

TEST(VariantOperators, NullPropagatesThroughArithmetic)
{
    Variant null = Variant::Null();
    for (auto op : {Add, Subtract, Multiply, Divide, IntDivide, Modulo, Power}) {
        EXPECT_TRUE(op(null, I(1)).IsNull());
        EXPECT_TRUE(op(I(0), null).IsNull());
    }
    EXPECT_TRUE(Add(null, S("a")).IsNull());
    EXPECT_TRUE(Negate(null).IsNull());
    EXPECT_TRUE(Not(null).IsNull());
}

TEST(VariantOperators, LogicalOperatorsAndNullsThreeValues)
{
    Variant t(true), f(false), n = Variant::Null();
    struct Case { const char* name; Variant result; const char* expected; } cases[] = {
        {"True And False", And(t, f), "Boolean False"},
        {"False And Null", And(f, n), "Boolean False"},
        {"Null And False", And(n, f), "Boolean False"},
        {"True And Null", And(t, n), "Null"},
        {"True Or Null", Or(t, n), "Boolean True"},
        {"Null Or True", Or(n, t), "Boolean True"},
        {"False Or Null", Or(f, n), "Null"},
        {"Null Xor True", Xor(n, t), "Null"},
        {"Null Eqv True", Eqv(n, t), "Null"},
        {"False Imp Null", Imp(f, n), "Boolean True"},
        {"True Imp Null", Imp(t, n), "Null"},
        {"Null Imp True", Imp(n, t), "Boolean True"},
        {"Null Imp False", Imp(n, f), "Null"},
        {"True Imp False", Imp(t, f), "Boolean False"},
        {"True Eqv True", Eqv(t, t), "Boolean True"},
        {"Not True", Not(t), "Boolean False"},
        {"Not 0", Not(I(0)), "Integer -1"},
        {"Not Empty", Not(Variant()), "Integer -1"},
        {"Not Long", Not(L(65536)), "Long -65537"},
        {"Not Double", Not(D(1.5)), "Long -3"},
        {"Not Byte", Not(Variant(uint8_t{1})), "Byte 254"},
        {"12 And 10", And(I(12), I(10)), "Integer 8"},
        {"12 Or 3", Or(I(12), I(3)), "Integer 15"},
        {"6 Xor 3", Xor(I(6), I(3)), "Integer 5"},
        {"Integer And Long", And(I(-1), L(70000)), "Long 70000"},
        {"True And 7", And(t, I(7)), "Integer 7"},
        {"0 And Null", And(I(0), n), "Integer 0"},
        {"5 And Null", And(I(5), n), "Null"},
        {"-1 Or Null", Or(I(-1), n), "Integer -1"},
        {"Eqv bits", Eqv(I(5), I(3)), "Integer -7"},
        {"Imp bits", Imp(I(5), I(3)), "Integer -5"},
        {"Null And Null", And(n, n), "Null"},
    };
    for (const auto& c : cases) EXPECT_EQ(Typed(c.result), c.expected) << c.name;
    EXPECT_EQ(ErrorOf([] { And(S("x"), Variant(true)); }), err::kTypeMismatch);
}

TEST(VariantCompare, OrderingRules)
{
    struct Case { const char* name; Ordering result; Ordering expected; } cases[] = {
        {"numbers", Compare(I(2), D(10)), Ordering::Less},
        {"Long and Double", Compare(L(3), D(3.0)), Ordering::Equal},
        {"strings binary", Compare(S("2"), S("10")), Ordering::Greater},
        {"strings case", Compare(S("a"), S("B")), Ordering::Greater},
        {"strings text", Compare(S("a"), S("B"), CompareMode::Text), Ordering::Less},
        {"strings text equal", Compare(S("ÄbC"), S("äBc"), CompareMode::Text), Ordering::Equal},
        {"prefix", Compare(S("ab"), S("abc")), Ordering::Less},
        {"number and string", Compare(I(99), S("1")), Ordering::Less},
        {"string and number", Compare(S("1"), I(99)), Ordering::Greater},
        {"Empty and 0", Compare(Variant(), I(0)), Ordering::Equal},
        {"Empty and -1", Compare(Variant(), I(-1)), Ordering::Greater},
        {"Empty and empty string", Compare(Variant(), S("")), Ordering::Equal},
        {"Empty and string", Compare(S("a"), Variant()), Ordering::Greater},
        {"Empty and Empty", Compare(Variant(), Variant()), Ordering::Equal},
        {"True and -1", Compare(Variant(true), I(-1)), Ordering::Equal},
        {"True and False", Compare(Variant(true), Variant(false)), Ordering::Less},
        {"Date and number", Compare(Date(46364), L(46364)), Ordering::Equal},
        {"Currency", Compare(Cur(1.5), Cur(1.25)), Ordering::Greater},
        {"Null", Compare(Variant::Null(), I(1)), Ordering::Null},
        {"Null and Null", Compare(Variant::Null(), Variant::Null()), Ordering::Null},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
    EXPECT_EQ(Typed(CompareValues(CompareOp::Le, I(1), I(1))), "Boolean True");
    EXPECT_EQ(Typed(CompareValues(CompareOp::Ne, I(1), I(1))), "Boolean False");
    EXPECT_TRUE(CompareValues(CompareOp::Eq, Variant::Null(), Variant::Null()).IsNull());
    EXPECT_EQ(ErrorOf([] { Compare(Variant(SafeArray::FromVector({})), I(1)); }), err::kTypeMismatch);
    EXPECT_TRUE(SameObject(Variant::Nothing(), Variant::Nothing()));
    EXPECT_EQ(ErrorOf([] { SameObject(I(1), Variant::Nothing()); }), err::kObjectRequired);
}

TEST(VariantCompare, TypeNames)
{
    struct Case { Variant value; const char* name; } cases[] = {
        {Variant(), "Empty"}, {Variant::Null(), "Null"}, {I(1), "Integer"}, {L(1), "Long"},
        {Variant(1.0f), "Single"}, {D(1), "Double"}, {Cur(1), "Currency"}, {Date(1), "Date"},
        {S("x"), "String"}, {Variant(true), "Boolean"}, {Variant(uint8_t{1}), "Byte"},
        {Variant(ErrorValue{5}), "Error"}, {Variant::Nothing(), "Nothing"},
        {Variant(SafeArray::FromVector({I(1)})), "Variant()"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToUtf8(TypeNameOf(c.value)), c.name);
}

} // namespace
