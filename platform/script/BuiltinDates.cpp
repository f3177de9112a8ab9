// Date and time functions: Now, DateAdd, DateDiff, DatePart, DateSerial,
// Year ... Second, names of months and weekdays.
#include "platform/script/BuiltinSupport.h"

#include "platform/script/CaseFold.h"
#include "platform/script/ScriptDates.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

namespace brindle::vbs::builtin {

namespace {

using dates::Parts;

// Dates before the epoch count days back but time forward; on the linear scale
// time always runs forward, so intervals can be added and subtracted there.
double Linear(double date) { return dates::DayPart(date) + dates::TimePart(date); }

double FromLinear(double x)
{
    double day = std::floor(x);
    return dates::Combine(day, x - day);
}

Variant CheckedDate(double date)
{
    if (!dates::InRange(date)) InvalidArgument();
    return Variant(DateValue{date});
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int64_t Seconds(double date) { return std::llround(Linear(date) * 86400.0); }

// The interval argument of DateAdd, DateDiff and DatePart.
enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval IntervalArg(const BuiltinCall& call)
{
    std::string name = LowerAscii(ToUtf8(StringArg(call, 0)));
    if (name == "yyyy") return Interval::Year;
    if (name == "q") return Interval::Quarter;
    if (name == "m") return Interval::Month;
    if (name == "y") return Interval::DayOfYear;
    if (name == "d") return Interval::Day;
    if (name == "w") return Interval::Weekday;
    if (name == "ww") return Interval::Week;
    if (name == "h") return Interval::Hour;
    if (name == "n") return Interval::Minute;
    if (name == "s") return Interval::Second;
    InvalidArgument();
}

// firstdayofweek: 0 (the system's, Sunday here) or 1..7.
int FirstDayArg(const BuiltinCall& call, size_t i)
{
    int32_t first = LongArg(call, i, 1);
    if (first < 0 || first > 7) InvalidArgument();
    return first == 0 ? 1 : first;
}

// firstweekofyear: 0 (the system's, 1 January here) or 1..3.
int FirstWeekArg(const BuiltinCall& call, size_t i)
{
    int32_t rule = LongArg(call, i, 1);
    if (rule < 0 || rule > 3) InvalidArgument();
    return rule == 0 ? 1 : rule;
}

// Weekday counted from firstDay (1 = that day).
int RelativeWeekday(int weekday, int firstDay) { return (weekday - firstDay + 7) % 7 + 1; }

int64_t DayNumberOf(const Parts& p) { return dates::DayNumber(p.year, p.month, p.day); }

int WeekdayOfDay(int64_t day) { return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1; }

int64_t WeekStart(int64_t day, int firstDay) { return day - (RelativeWeekday(WeekdayOfDay(day), firstDay) - 1); }

// The first day of week 1 of a year under the firstweekofyear rule.
int64_t FirstWeekStart(int year, int firstDay, int rule)
{
    int64_t jan1 = dates::DayNumber(year, 1, 1);
    int64_t start = WeekStart(jan1, firstDay);
    int64_t daysInFirstWeek = 7 - (jan1 - start);
    if (rule == 2 && daysInFirstWeek < 4) start += 7;
    if (rule == 3 && start != jan1) start += 7;
    return start;
}

int WeekOfYear(const Parts& p, int firstDay, int rule)
{
    int64_t day = DayNumberOf(p);
    int64_t start = FirstWeekStart(p.year, firstDay, rule);
    if (day < start) start = FirstWeekStart(p.year - 1, firstDay, rule);
    return static_cast<int>((day - start) / 7 + 1);
}

Variant Now(BuiltinCall&)
{
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    double day = static_cast<double>(dates::DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    return Variant(DateValue{day + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0});
}

Variant DateFn(BuiltinCall& call) { return Variant(DateValue{dates::DayPart(std::get<DateValue>(Now(call).Value()).days)}); }
Variant TimeFn(BuiltinCall& call) { return Variant(DateValue{dates::TimePart(std::get<DateValue>(Now(call).Value()).days)}); }
Variant Timer(BuiltinCall&) { return Variant(static_cast<float>(std::floor(TimerSeconds() * 100) / 100)); }

Variant DateAdd(BuiltinCall& call)
{
    Interval interval = IntervalArg(call);
    if (call.args[1].IsNull() || call.args[2].IsNull()) return Variant::Null();
    int64_t n = ToLong(call.args[1]);
    double date = ToDate(call.args[2]).days;
    auto addMonths = [&](int64_t months) {
        Parts p = dates::Split(date);
        int64_t total = int64_t{p.year} * 12 + (p.month - 1) + months;
        int64_t year = FloorDiv(total, 12);
        int month = static_cast<int>(total - year * 12) + 1;
        if (year < 100 || year > 9999) InvalidArgument();
        int day = std::min(p.day, dates::DaysInMonth(static_cast<int>(year), month));
        return CheckedDate(dates::Combine(static_cast<double>(dates::DayNumber(year, month, day)), dates::TimePart(date)));
    };
    switch (interval) {
    case Interval::Year: return addMonths(n * 12);
    case Interval::Quarter: return addMonths(n * 3);
    case Interval::Month: return addMonths(n);
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: return CheckedDate(FromLinear(Linear(date) + static_cast<double>(n)));
    case Interval::Week: return CheckedDate(FromLinear(Linear(date) + 7.0 * static_cast<double>(n)));
    case Interval::Hour: return CheckedDate(FromLinear((Seconds(date) + n * 3600) / 86400.0));
    case Interval::Minute: return CheckedDate(FromLinear((Seconds(date) + n * 60) / 86400.0));
    case Interval::Second: return CheckedDate(FromLinear((Seconds(date) + n) / 86400.0));
    }
    InvalidArgument();
}

Variant DateDiff(BuiltinCall& call)
{
    Interval interval = IntervalArg(call);
    int firstDay = FirstDayArg(call, 3);
    FirstWeekArg(call, 4);
    if (call.args[1].IsNull() || call.args[2].IsNull()) return Variant::Null();
    double d1 = ToDate(call.args[1]).days, d2 = ToDate(call.args[2]).days;
    Parts a = dates::Split(d1), b = dates::Split(d2);
    int64_t r = 0;
    switch (interval) {
    case Interval::Year: r = b.year - a.year; break;
    case Interval::Quarter: r = (int64_t{b.year} * 4 + (b.month - 1) / 3) - (int64_t{a.year} * 4 + (a.month - 1) / 3); break;
    case Interval::Month: r = (int64_t{b.year} * 12 + b.month) - (int64_t{a.year} * 12 + a.month); break;
    case Interval::DayOfYear:
    case Interval::Day: r = DayNumberOf(b) - DayNumberOf(a); break;
    case Interval::Weekday: r = (DayNumberOf(b) - DayNumberOf(a)) / 7; break;
    case Interval::Week: r = (WeekStart(DayNumberOf(b), firstDay) - WeekStart(DayNumberOf(a), firstDay)) / 7; break;
    case Interval::Hour: r = FloorDiv(Seconds(d2), 3600) - FloorDiv(Seconds(d1), 3600); break;
    case Interval::Minute: r = FloorDiv(Seconds(d2), 60) - FloorDiv(Seconds(d1), 60); break;
    case Interval::Second: r = Seconds(d2) - Seconds(d1); break;
    }
    if (r < INT32_MIN || r > INT32_MAX) return Variant(static_cast<double>(r));
    return Variant(static_cast<int32_t>(r));
}

Variant DatePart(BuiltinCall& call)
{
    Interval interval = IntervalArg(call);
    int firstDay = FirstDayArg(call, 2);
    int rule = FirstWeekArg(call, 3);
    if (call.args[1].IsNull()) return Variant::Null();
    Parts p = dates::Split(ToDate(call.args[1]).days);
    int r = 0;
    switch (interval) {
    case Interval::Year: r = p.year; break;
    case Interval::Quarter: r = (p.month - 1) / 3 + 1; break;
    case Interval::Month: r = p.month; break;
    case Interval::DayOfYear: r = static_cast<int>(DayNumberOf(p) - dates::DayNumber(p.year, 1, 1) + 1); break;
    case Interval::Day: r = p.day; break;
    case Interval::Weekday: r = RelativeWeekday(p.weekday, firstDay); break;
    case Interval::Week: r = WeekOfYear(p, firstDay, rule); break;
    case Interval::Hour: r = p.hour; break;
    case Interval::Minute: r = p.minute; break;
    case Interval::Second: r = p.second; break;
    }
    return Variant(static_cast<int16_t>(r));
}

Variant DateSerial(BuiltinCall& call)
{
    int64_t year = LongArg(call, 0), month = LongArg(call, 1), day = LongArg(call, 2);
    if (year >= 0 && year <= 99) year = dates::WindowYear(static_cast<int>(year));
    return CheckedDate(static_cast<double>(dates::DayNumber(year, month, day)));
}

Variant TimeSerial(BuiltinCall& call)
{
    int64_t total = int64_t{LongArg(call, 0)} * 3600 + int64_t{LongArg(call, 1)} * 60 + LongArg(call, 2);
    int64_t day = FloorDiv(total, 86400);
    return CheckedDate(dates::Combine(static_cast<double>(day), static_cast<double>(total - day * 86400) / 86400.0));
}

Variant DateValueFn(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    return Variant(DateValue{dates::DayPart(ToDate(call.args[0]).days)});
}

Variant TimeValue(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    return Variant(DateValue{dates::TimePart(ToDate(call.args[0]).days)});
}

template <int Parts::*Field>
Variant PartOf(BuiltinCall& call)
{
    if (call.args[0].IsNull()) return Variant::Null();
    return Variant(static_cast<int16_t>(dates::Split(ToDate(call.args[0]).days).*Field));
}

Variant Weekday(BuiltinCall& call)
{
    int firstDay = FirstDayArg(call, 1);
    if (call.args[0].IsNull()) return Variant::Null();
    return Variant(static_cast<int16_t>(RelativeWeekday(dates::Split(ToDate(call.args[0]).days).weekday, firstDay)));
}

Variant WeekdayName(BuiltinCall& call)
{
    int32_t n = LongArg(call, 0);
    bool abbreviate = BoolArg(call, 1, false);
    int firstDay = FirstDayArg(call, 2);
    if (n < 1 || n > 7) InvalidArgument();
    return MakeString(dates::WeekdayName((n - 1 + firstDay - 1) % 7 + 1, abbreviate));
}

Variant MonthName(BuiltinCall& call)
{
    int32_t n = LongArg(call, 0);
    if (n < 1 || n > 12) InvalidArgument();
    return MakeString(dates::MonthName(n, BoolArg(call, 1, false)));
}

Variant IsDate(BuiltinCall& call)
{
    const Variant& v = call.args[0];
    if (v.Type() == VarType::Date) return Variant(true);
    double ignored;
    return Variant(v.IsString() && dates::Parse(v.Str(), ignored));
}

const BuiltinFunction kFunctions[] = {
    {"now", 0, 0, Now},
    {"date", 0, 0, DateFn},
    {"time", 0, 0, TimeFn},
    {"timer", 0, 0, Timer},
    {"dateadd", 3, 3, DateAdd},
    {"datediff", 3, 5, DateDiff},
    {"datepart", 2, 4, DatePart},
    {"dateserial", 3, 3, DateSerial},
    {"timeserial", 3, 3, TimeSerial},
    {"datevalue", 1, 1, DateValueFn},
    {"timevalue", 1, 1, TimeValue},
    {"year", 1, 1, PartOf<&Parts::year>},
    {"month", 1, 1, PartOf<&Parts::month>},
    {"day", 1, 1, PartOf<&Parts::day>},
    {"hour", 1, 1, PartOf<&Parts::hour>},
    {"minute", 1, 1, PartOf<&Parts::minute>},
    {"second", 1, 1, PartOf<&Parts::second>},
    {"weekday", 1, 2, Weekday},
    {"weekdayname", 1, 3, WeekdayName},
    {"monthname", 1, 2, MonthName},
    {"isdate", 1, 1, IsDate},
};

} // namespace

std::span<const BuiltinFunction> DateFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
