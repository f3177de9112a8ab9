#pragma once

#include "platform/script/ScriptString.h"

#include <cstdint>

namespace brindle::vbs::dates {

// Dates are days since 30 December 1899; the fraction is the time of day.
// Before that day the whole part counts back and the fraction still counts
// forward from midnight (-1.25 is 29 December 1899, 6:00 AM).
constexpr double kMinDate = -657434.0; // 1 January 100
constexpr double kMaxDate = 2958465.0; // 31 December 9999
inline bool InRange(double d) { return d > kMinDate - 1 && d < kMaxDate + 1; }

struct Parts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int weekday = 7; // 1 = Sunday ... 7 = Saturday
};

// Day number of a calendar date (0 = 30 December 1899). Any month and day:
// months beyond 12 roll into later years, days beyond the month's end (or below
// 1) into neighbouring months, as DateSerial does.
int64_t DayNumber(int64_t year, int64_t month, int64_t day);
// A date's parts, the time rounded to the nearest second.
Parts Split(double date);
// Whole day and time of day (0 <= time < 1) into the date encoding.
double Combine(double dayNumber, double timeFraction);
// The whole-day part and the time-of-day fraction of a date.
double DayPart(double date);
double TimePart(double date);
int DaysInMonth(int year, int month);
// Two-digit years as the system reads them: 0-29 are 2000-2029, 30-99 1930-1999.
int WindowYear(int year);
// Today's year (local time), for date strings without one.
int CurrentYear();

// A date written in one of the usual en-US forms ("12/8/2026", "2026-12-08",
// "December 8, 2026", "8 Dec 2026", "10:45:30 PM", a date and a time). False
// when the text is not such a date or names an impossible one.
bool Parse(VbStringView text, double& out);

// en-US texts: "12/8/2026", "Tuesday, December 8, 2026", "10:45:00 AM", "10:45".
VbString ShortDate(const Parts& p);
VbString LongDate(const Parts& p);
VbString LongTime(const Parts& p);
VbString ShortTime(const Parts& p);
// CStr's form: date, time or both; midnight shows the date alone, day zero the
// time alone.
VbString General(double date);

VbString MonthName(int month, bool abbreviate);   // 1..12
VbString WeekdayName(int weekday, bool abbreviate); // 1 = Sunday

} // namespace brindle::vbs::dates
