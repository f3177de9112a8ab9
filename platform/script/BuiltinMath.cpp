// Maths functions and the random number generator (Rnd, Randomize).
#include "platform/script/BuiltinSupport.h"

#include "platform/script/ScriptContext.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

namespace brindle::vbs::builtin {

namespace {

template <double (*F)(double)>
Variant Unary(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    double r = F(ToDouble(call.args[0]));
    if (!std::isfinite(r)) throw ScriptError(err::kOverflow);
    return Variant(r);
}

double Atn(double x) { return std::atan(x); }
double Cos(double x) { return std::cos(x); }
double Sin(double x) { return std::sin(x); }
double Tan(double x) { return std::tan(x); }
double Exp(double x) { return std::exp(x); }

double Log(double x)
{
    if (x <= 0) InvalidArgument();
    return std::log(x);
}

double Sqr(double x)
{
    if (x < 0) InvalidArgument();
    return std::sqrt(x);
}

// The generator is the language's 24-bit linear congruential one: the seed
// steps as seed * 1140671485 + 12820163 modulo 2^24 and Rnd is seed / 2^24.
constexpr uint32_t kMask = 0xFFFFFF;

uint32_t Step(uint32_t seed) { return (seed * 1140671485u + 12820163u) & kMask; }

Variant Rnd(BuiltinCall& call)
{
    uint32_t& seed = call.context.RandomSeed();
    double n = Has(call, 0) ? ToDouble(call.args[0]) : 1.0;
    if (n < 0) {
        // A negative argument reseeds from its Single bits: the same argument
        // always gives the same number.
        float f = static_cast<float>(n);
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        seed = (bits + (bits >> 24)) & kMask;
        seed = Step(seed);
    } else if (n > 0) {
        seed = Step(seed & kMask);
    }
    Variant result(static_cast<float>(static_cast<double>(seed & kMask) / 16777216.0));
    call.context.LastRandom() = result;
    return result;
}

double SecondsSinceMidnight()
{
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1000000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + micros / 1e6;
}

// Randomize mixes the high half of the number's Double bits into the middle
// of the seed; without a number it uses the clock.
Variant Randomize(BuiltinCall& call)
{
    double n = Has(call, 0) ? ToDouble(call.args[0]) : SecondsSinceMidnight();
    uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    uint32_t high = static_cast<uint32_t>(bits >> 32);
    uint32_t mixed = ((high ^ (high >> 16)) & 0xFFFF) << 8;
    uint32_t& seed = call.context.RandomSeed();
    seed = (seed & 0xFF) | mixed;
    return Variant();
}

const BuiltinFunction kFunctions[] = {
    {"atn", 1, 1, Unary<Atn>}, {"cos", 1, 1, Unary<Cos>}, {"sin", 1, 1, Unary<Sin>},
    {"tan", 1, 1, Unary<Tan>}, {"exp", 1, 1, Unary<Exp>}, {"log", 1, 1, Unary<Log>},
    {"sqr", 1, 1, Unary<Sqr>}, {"rnd", 0, 1, Rnd},        {"randomize", 0, 1, Randomize},
};

} // namespace

double TimerSeconds() { return SecondsSinceMidnight(); }

std::span<const BuiltinFunction> MathFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
