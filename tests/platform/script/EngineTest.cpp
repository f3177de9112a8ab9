// The engine's edges: compilation errors with their positions, run-time
// errors with their lines, Run, top-level code, the interrupt check, the
// memory budget, stack depth, and parsing every prefix of a program without
// crashing.
#include "platform/script/ScriptEngine.h"
#include "platform/script/ScriptMemory.h"
#include "platform/script/ScriptObject.h"
#include "platform/script/VariantOps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace brindle::vbs;

namespace {

ScriptError ErrorOf(const std::string& code, const char* run = nullptr)
{
    ScriptEngine engine;
    try {
        engine.AddCode(code);
        if (run) engine.Run(run, {});
    } catch (const ScriptError& e) {
        return e;
    }
    ADD_FAILURE() << "no error from: " << code;
    return ScriptError(0);
}

TEST(ScriptEngine, SyntaxErrorsCarryNumberLineAndColumn)
{
    struct Case {
        const char* code;
        int number;
        int line;
        int column;
    } cases[] = {
        {"x = 1\ny = (2 + 3\n", err::kExpectedRParen, 2, 11},
        {"x = \"open\n", err::kUnterminatedString, 1, 5},
        {"If x Then\n  y = 1\n", err::kExpectedEnd, 3, 1},
        {"x = 1 2", err::kExpectedEndOfStatement, 1, 7},
        {"For i = 1 To 3\nx = 1\n", err::kExpectedNext, 3, 1},
        {"Dim 5", err::kExpectedIdentifier, 1, 5},
        {"Sub A\nEnd Function", err::kExpectedSub, 2, 5},
        {"x = 1 ?", err::kInvalidCharacter, 1, 7},
        {"Exit Do", err::kInvalidExitStatement, 1, 1},
        {"Do\nLoop While", err::kExpectedExpression, 2, 11},
        {"Dim a(n)", err::kExpectedInteger, 1, 7},
        {"Class C\nPublic x\n", err::kExpectedEnd, 3, 1},
        {"Else", err::kExpectedStatement, 1, 1},
        {"Sub S(a, b)\nEnd Sub\nx = 1 : S(x, 2)\n", err::kCannotUseParens, 3, 10},
        {"o.Method(1, 2)", err::kCannotUseParens, 1, 9},
    };
    for (const Case& c : cases) {
        ScriptError e = ErrorOf(c.code);
        EXPECT_EQ(e.Number(), c.number) << c.code;
        EXPECT_TRUE(e.IsSyntaxError()) << c.code;
        EXPECT_EQ(e.Line(), c.line) << c.code;
        EXPECT_EQ(e.Column(), c.column) << c.code;
        EXPECT_EQ(e.Source(), "Microsoft VBScript compilation error");
    }
}

TEST(ScriptEngine, RunTimeErrorsCarryNumberDescriptionAndLine)
{
    ScriptError e = ErrorOf("Dim a\na = 1\n\na = a / 0\n");
    EXPECT_EQ(e.Number(), err::kDivisionByZero);
    EXPECT_EQ(e.Description(), "Division by zero");
    EXPECT_EQ(e.Message(), "Division by zero");
    EXPECT_EQ(e.Line(), 4);

    // The line is the failing statement's, inside the called procedure.
    e = ErrorOf("Sub Inner()\n  Err.Raise 1234, \"Src\", \"mine\"\nEnd Sub\nSub Outer()\n  Inner\nEnd Sub\n", "Outer");
    EXPECT_EQ(e.Number(), 1234);
    EXPECT_EQ(e.Description(), "mine");
    EXPECT_EQ(e.Source(), "Src");
    EXPECT_EQ(e.Line(), 2);

    e = ErrorOf("Option Explicit\nDim a\nb = 1\n");
    EXPECT_EQ(e.Number(), err::kVariableUndefined);
    // Err sees the language's description; the host's message names the variable.
    EXPECT_EQ(e.Description(), "Variable is undefined");
    EXPECT_EQ(e.Message(), "Variable is undefined: 'b'");
    EXPECT_EQ(e.Line(), 3);

    e = ErrorOf("x = 1\nUnknownSub 1, 2\n");
    EXPECT_EQ(e.Number(), err::kTypeMismatch);
    EXPECT_EQ(e.Message(), "Type mismatch: 'UnknownSub'");
    EXPECT_EQ(e.Line(), 2);
    // An object the host does not provide is named.
    e = ErrorOf("x = 1\nWScript.Echo x\n");
    EXPECT_EQ(e.Number(), err::kObjectRequired);
    EXPECT_EQ(e.Message(), "Object required: 'WScript'");

    // Errors in Eval and Execute text take the line of the statement calling them.
    e = ErrorOf("x = 1\n\nx = Eval(\"(1 +\")\n");
    EXPECT_EQ(e.Number(), err::kExpectedExpression);
    EXPECT_EQ(e.Line(), 3);
    e = ErrorOf("x = 1\nExecute \"y = 1\" & vbLf & \"z = 1 / 0\"\n");
    EXPECT_EQ(e.Number(), err::kDivisionByZero);
    EXPECT_EQ(e.Line(), 2);

    e = ErrorOf("Sub A(x)\nEnd Sub\n", "Missing");
    EXPECT_EQ(e.Number(), err::kSubOrFunctionNotDefined);
}

TEST(ScriptEngine, AddCodeRunsTopLevelAndRunCallsByName)
{
    ScriptEngine engine;
    engine.AddCode("Dim total\ntotal = 5\nFunction Add(a, b)\n  Add = a + b + total\nEnd Function\n"
                   "Sub Bump(n)\n  n = n + 1\n  total = total + n\nEnd Sub\n");
    EXPECT_EQ(ToUtf8(ToString(engine.Run("ADD", {Variant(int16_t(1)), Variant(int16_t(2))}))), "8");
    // A later piece of code sees the earlier one's globals and procedures.
    engine.AddCode("total = Add(total, 10)");
    EXPECT_EQ(ToUtf8(ToString(engine.Run("add", {Variant(int16_t(0)), Variant(int16_t(0))}))), "20");
    EXPECT_TRUE(engine.Run("Bump", {Variant(int16_t(1))}).IsEmpty());
    EXPECT_EQ(ToUtf8(ToString(engine.Run("add", {Variant(int16_t(0)), Variant(int16_t(0))}))), "22");
    EXPECT_THROW(engine.Run("Add", {Variant(int16_t(1))}), ScriptError);
}

TEST(ScriptEngine, InterruptStopsEndlessLoopsEvenUnderResumeNext)
{
    for (const char* code : {"Do\nLoop", "While True\nWend", "On Error Resume Next\nDo\n  x = x + 1\nLoop",
                             "Sub S()\n  On Error Resume Next\n  S2\n  S\nEnd Sub\nSub S2()\n  Do : Loop\nEnd Sub\nS"}) {
        ScriptEngine engine;
        int polls = 0;
        engine.SetInterruptCheck([&] { return ++polls >= 3; });
        try {
            engine.AddCode(code);
            ADD_FAILURE() << "not interrupted: " << code;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.Number(), err::kInterrupted) << code;
        }
        EXPECT_EQ(polls, 3) << code;
    }
}

// Few statements that each take long (bulk work) are polled once the host's
// interval has passed, not only after thousands of statements.
TEST(ScriptEngine, TheInterruptCheckAlsoComesByTime)
{
    const char* slow = "s = Space(100000)\nx = 1\ns = s & s\nx = 2\nn = InStr(s, \"z\")\nx = 3\n";
    const char* quick = "x = 1\nx = 2\nx = 3\nx = 4\nx = 5\nx = 6\n";
    auto checks = [](const char* code, std::chrono::milliseconds every) {
        ScriptEngine engine;
        int polls = 0;
        engine.SetInterruptCheck([&] { return ++polls, false; }, every);
        engine.AddCode(code);
        return polls;
    };
    // An interval already passed: asked after each of the three slow statements.
    EXPECT_GE(checks(slow, std::chrono::milliseconds(0)), 3);
    EXPECT_LE(checks(quick, std::chrono::milliseconds(0)), 1);
    // An interval not reached: not asked at all.
    EXPECT_EQ(checks(slow, std::chrono::hours(1)), 0);
}

// A budget of a few MB: each script would take far more, and stops with error
// 7 at the statement that would pass it, before the memory is taken.
TEST(ScriptEngine, TheMemoryBudgetStopsScriptsWithOutOfMemory)
{
    struct Case {
        const char* code;
        int line;
    } cases[] = {
        {"x = 1\nDim a(2000000)\n", 2},
        {"Sub S()\n  Dim a(2000000)\nEnd Sub\nS\n", 4},
        {"ReDim a(10)\nReDim Preserve a(2000000)\n", 2},
        {"ReDim a(100000)\nb = a\n", 2},
        {"s = \"ab\"\nFor i = 1 To 24\n  s = s & s\nNext\n", 3},
        {"s = Space(3000000)\n", 1},
        {"s = String(3000000, \"x\")\n", 1},
        {"Dim a(1000)\nFor i = 0 To 1000\n  a(i) = Space(10000)\nNext\n", 3},
        {"s = Space(100000)\nt = Replace(s, \" \", String(30, \"x\"))\n", 2},
        {"s = Space(50000)\nDim a(100)\nFor i = 0 To 100 : a(i) = s : Next\nt = Join(a, \"\")\n", 4},
        {"s = String(100000, \",\")\na = Split(s, \",\")\n", 2},
        {"Set d = CreateObject(\"Scripting.Dictionary\")\nFor i = 1 To 100000\n  d.Add i, Empty\nNext\n", 3},
        {"Class C\n  Public a, b, c\nEnd Class\nDim o(100000)\nFor i = 0 To 100000\n  Set o(i) = New C\nNext\n", 6},
        {"Set re = New RegExp\nre.Global = True\nre.Pattern = \".\"\nSet m = re.Execute(Space(100000))\n", 4},
    };
    ScriptEngine().AddCode("x = vbCrLf"); // the named constants are made once, and stay
    const size_t before = memory::Live();
    for (const Case& c : cases) {
        {
            ScriptEngine engine;
            engine.SetMemoryBudget(4 << 20);
            try {
                engine.AddCode(c.code);
                ADD_FAILURE() << "no error from: " << c.code;
            } catch (const ScriptError& e) {
                EXPECT_EQ(e.Number(), err::kOutOfMemory) << c.code;
                EXPECT_EQ(e.Description(), "Out of memory") << c.code;
                EXPECT_EQ(e.Line(), c.line) << c.code;
            }
        }
        // What the script held is counted no more once the engine is gone.
        EXPECT_EQ(memory::Live(), before) << c.code;
    }

    // The error can be handled like any other, and the engine goes on.
    ScriptEngine engine;
    engine.SetMemoryBudget(4 << 20);
    engine.AddCode("Function Main()\n  On Error Resume Next\n  s = Space(5000000)\n"
                   "  Main = Err.Number & \" \" & IsEmpty(s) & \" \" & Len(Space(1000))\nEnd Function\n");
    EXPECT_EQ(ToUtf8(ToString(engine.Run("Main", {}))), "7 True 1000");
}

TEST(ScriptEngine, DeepRecursionIsOutOfStackSpace)
{
    ScriptEngine engine;
    engine.AddCode("Function Down(n)\n  Down = Down(n + 1)\nEnd Function\n"
                   "Function Guarded()\n  On Error Resume Next\n  Guarded = Down(0)\n"
                   "  Guarded = Err.Number\nEnd Function\n");
    try {
        engine.Run("Down", {Variant(int16_t(0))});
        ADD_FAILURE() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.Number(), err::kOutOfStackSpace);
        EXPECT_EQ(e.Line(), 2);
    }
    // A handler further up catches it, and the engine stays usable.
    EXPECT_EQ(ToUtf8(ToString(engine.Run("Guarded", {}))), "28");
    // Deeply nested source is refused the same way rather than crashing.
    std::string nested = "x = " + std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_EQ(ErrorOf(nested).Number(), err::kOutOfStackSpace);
    std::string chain = "x = 1";
    for (int i = 0; i < 5000; ++i) chain += " + 1";
    EXPECT_EQ(ErrorOf(chain).Number(), err::kOutOfStackSpace);
}

TEST(ScriptEngine, ObjectsOutliveTheEngineSafely)
{
    Variant kept;
    {
        ScriptEngine engine;
        engine.AddCode("Class Pair\n  Public Other\n  Public Function Hi()\n    Hi = \"hi\"\n  End Function\nEnd Class\n"
                       "Function Make()\n  Dim a, b\n  Set a = New Pair\n  Set b = New Pair\n"
                       "  Set a.Other = b\n  Set b.Other = a\n  Set Make = a\nEnd Function\n");
        kept = engine.Run("Make", {});
        std::vector<Variant> none;
        EXPECT_EQ(ToUtf8(ToString(kept.Object()->Invoke("hi", InvokeKind::Method, none))), "hi");
    }
    // The cycle was broken when the engine went; a call now fails cleanly.
    std::vector<Variant> none;
    EXPECT_THROW(kept.Object()->Invoke("hi", InvokeKind::Method, none), ScriptError);
}

// Every prefix of the conformance programs either runs or fails with a
// ScriptError: the parser and interpreter never crash on truncated code.
TEST(ScriptEngine, TruncatedProgramsNeverCrash)
{
    for (const auto& entry : std::filesystem::directory_iterator(BRINDLE_CONFORMANCE_DIR)) {
        if (entry.path().filename().string().rfind("lang_", 0) != 0) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream code;
        code << in.rdbuf();
        std::string text = code.str();
        for (size_t cut = 0; cut < text.size(); cut += 11) {
            ScriptEngine engine;
            int polls = 0;
            engine.SetInterruptCheck([&] { return ++polls > 20; });
            try {
                engine.AddCode(text.substr(0, cut));
                engine.Run("Main", {Variant(VbString())});
            } catch (const ScriptError&) {
            }
        }
    }
}

} // namespace

TEST(ScriptEngine, TextCrossesTheEdgesAsUtf16)
{
    // ASCII runs between 2-, 3- and 4-byte characters survive both ways; scripts
    // count UTF-16 units (the clef is two).
    const std::string text = "ab\xC3\xA9" "cd\xE2\x82\xAC" "ef\xF0\x9D\x84\x9E" "gh";
    EXPECT_EQ(ToUtf8(ToVb(text)), text);
    ScriptEngine engine;
    engine.AddCode("Function Main(t)\n Main = Len(t) & \" \" & AscW(Mid(t, 3, 1)) & \" \" & AscW(Mid(t, 6, 1))\nEnd Function\n");
    EXPECT_EQ(ToUtf8(ToString(engine.Run("Main", {Variant(ToVb(text))}))), "12 233 8364");
    // Bytes that are not UTF-8 (a stray continuation, a truncated sequence, an
    // overlong form) and an unpaired surrogate become U+FFFD.
    EXPECT_EQ(ToVb("a\x80" "b\xE2\x82"), (VbString{u'a', 0xFFFD, u'b', 0xFFFD, 0xFFFD}));
    EXPECT_EQ(ToVb("\xC0\xAF"), (VbString{0xFFFD, 0xFFFD}));
    EXPECT_EQ(ToUtf8(VbString{u'x', 0xD800, u'y'}), "x\xEF\xBF\xBDy");
}
