// Times the interpreter on tight loops: a counter, string building, array
// element traffic, procedure calls, a class's property, dictionary entries
// and a scan through a long string. Prints one line per
// case with the median of five runs in milliseconds.
#include "bench/Measure.h"
#include "platform/script/ScriptEngine.h"

#include <cstdio>
#include <cstring>

using namespace brindle::vbs;

namespace {

struct Case {
    const char* name;
    const char* code;
};

const Case kCases[] = {
    {"counter_local", "Function Main()\n Dim s, i\n For i = 1 To 1000000\n  s = s + 1\n Next\n Main = s\nEnd Function"},
    {"counter_global", "Dim s, i\nFunction Main()\n For i = 1 To 1000000\n  s = s + 1\n Next\n Main = s\nEnd Function"},
    {"do_loop_implicit", "Function Main()\n n = 0\n Do While n < 1000000\n  n = n + 1\n Loop\n Main = n\nEnd Function"},
    {"array_sum", "Function Main()\n Dim a(999), i, j, t\n For j = 1 To 1000\n  For i = 0 To 999\n"
                  "   a(i) = a(i) + i\n  Next\n Next\n Main = a(999)\nEnd Function"},
    {"calls", "Function Sq(n)\n Sq = n * n\nEnd Function\nFunction Main()\n Dim i, t\n For i = 1 To 300000\n"
              "  t = t + Sq(i Mod 10)\n Next\n Main = t\nEnd Function"},
    {"class_property", "Class C\n Private m\n Public Property Get V()\n  V = m\n End Property\n"
                       " Public Property Let V(x)\n  m = x\n End Property\nEnd Class\nFunction Main()\n"
                       " Dim o, i\n Set o = New C\n o.V = 0\n For i = 1 To 300000\n  o.V = o.V + 1\n Next\n"
                       " Main = o.V\nEnd Function"},
    {"concat_small", "Function Main()\n Dim t, i, n\n For i = 1 To 300000\n  t = \"item \" & i & \";\"\n"
                     "  n = n + Len(t)\n Next\n Main = n\nEnd Function"},
    {"dictionary", "Function Main()\n Dim d, i\n Set d = CreateObject(\"Scripting.Dictionary\")\n"
                   " For i = 1 To 100000\n  d.Add \"k\" & i, i\n Next\n Main = d.Count\nEnd Function"},
    {"string_scan", "Function Main()\n Dim s, i, n\n s = String(1000000, \"a\")\n For i = 1 To Len(s)\n"
                    "  If Mid(s, i, 1) = \"a\" Then n = n + 1\n Next\n Main = n\nEnd Function"},
};

} // namespace

// With an argument, only the case of that name runs.
int main(int argc, char** argv)
{
    for (const Case& c : kCases) {
        if (argc > 1 && std::strcmp(argv[1], c.name) != 0) continue;
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            ScriptEngine engine;
            engine.AddCode(c.code);
            auto from = bench::Clock::now();
            engine.Run("Main", {});
            times.push_back(bench::Ms(from, bench::Clock::now()));
        }
        std::printf("%-18s %8.1f ms\n", c.name, bench::Median(times));
    }
    return 0;
}
