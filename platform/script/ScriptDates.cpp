#include "platform/script/ScriptDates.h"

#include "platform/script/CaseFold.h"
#include "platform/script/VariantOps.h"

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace brindle::vbs::dates {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Days from 1 January 1970 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr int64_t kEpochOffset = 25569; // 1 January 1970 is day 25569

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// --- parsing
struct Token {
    enum Kind { Number, Word, Sep } kind = Number;
    int value = 0;     // Number
    int digits = 0;    // Number
    std::string word;  // Word, lower case
    char16_t sep = 0;  // Sep
};

bool Tokenize(VbStringView text, std::vector<Token>& out)
{
    size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            Token t;
            t.kind = Token::Number;
            while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
                if (t.digits < 9) t.value = t.value * 10 + (text[i] - u'0');
                ++t.digits;
                ++i;
            }
            if (t.digits > 9) return false;
            out.push_back(t);
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            Token t;
            t.kind = Token::Word;
            while (i < text.size() && ((text[i] >= u'a' && text[i] <= u'z') || (text[i] >= u'A' && text[i] <= u'Z')))
                t.word += static_cast<char>(FoldChar(text[i++]));
            out.push_back(t);
        } else if (c == u' ' || c == u'\t') {
            ++i;
        } else if (c == u'/' || c == u'-' || c == u',' || c == u'.' || c == u':') {
            Token t;
            t.kind = Token::Sep;
            t.sep = c;
            out.push_back(t);
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

int MonthFromWord(const std::string& w)
{
    if (w.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        std::string name = kMonths[m];
        for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (w == name || w == name.substr(0, 3) || (m == 8 && w == "sept")) return m + 1;
    }
    return 0;
}

bool IsWeekdayWord(const std::string& w)
{
    for (const char* name : kWeekdays) {
        std::string full = name;
        for (char& ch : full) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (w == full || (w.size() >= 3 && full.compare(0, w.size(), w) == 0 && w.size() <= 4)) return true;
    }
    return false;
}

} // namespace

int64_t DayNumber(int64_t year, int64_t month, int64_t day)
{
    int64_t m0 = month - 1;
    int64_t yearShift = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    year += yearShift;
    m0 -= yearShift * 12;
    return DaysFromCivil(year, m0 + 1, 1) + (day - 1) + kEpochOffset;
}

double DayPart(double date) { return std::trunc(date); }

double TimePart(double date) { return std::fabs(date - std::trunc(date)); }

double Combine(double dayNumber, double timeFraction)
{
    return dayNumber < 0 ? dayNumber - timeFraction : dayNumber + timeFraction;
}

Parts Split(double date)
{
    int64_t days = static_cast<int64_t>(DayPart(date));
    int64_t secs = std::llround(TimePart(date) * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        days += 1; // the next calendar day, whichever side of the epoch
    }
    Parts p;
    CivilFromDays(days - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    p.weekday = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
    return p;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[(month - 1) % 12];
}

int WindowYear(int year)
{
    if (year >= 0 && year < 30) return 2000 + year;
    if (year >= 30 && year < 100) return 1900 + year;
    return year;
}

int CurrentYear()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

bool Parse(VbStringView text, double& out)
{
    double number;
    if (ParseNumber(text, number)) return false; // a plain number is never a date
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens) || tokens.empty()) return false;
    std::vector<bool> used(tokens.size(), false);
    auto isSep = [&](size_t i, char16_t c) { return i < tokens.size() && tokens[i].kind == Token::Sep && tokens[i].sep == c; };
    auto isNum = [&](size_t i) { return i < tokens.size() && tokens[i].kind == Token::Number; };
    auto ampm = [&](size_t i) {
        if (i >= tokens.size() || tokens[i].kind != Token::Word) return 0;
        const std::string& w = tokens[i].word;
        if (w == "am" || w == "a") return 1;
        if (w == "pm" || w == "p") return 2;
        return 0;
    };

    // The time: h:m[:s] [AM|PM], or h AM|PM.
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;
    for (size_t i = 0; i < tokens.size() && !hasTime; ++i) {
        if (!isNum(i)) continue;
        size_t end = i;
        if (isSep(i + 1, u':') && isNum(i + 2)) {
            hour = tokens[i].value;
            minute = tokens[i + 2].value;
            end = i + 2;
            if (isSep(i + 3, u':') && isNum(i + 4)) {
                second = tokens[i + 4].value;
                end = i + 4;
            }
        } else if (ampm(i + 1)) {
            hour = tokens[i].value;
        } else {
            continue;
        }
        hasTime = true;
        for (size_t k = i; k <= end; ++k) used[k] = true;
        if (int half = ampm(end + 1)) {
            used[end + 1] = true;
            if (hour < 1 || hour > 12) return false;
            if (half == 1 && hour == 12) hour = 0;
            if (half == 2 && hour != 12) hour += 12;
        }
        if (hour > 23 || minute > 59 || second > 59) return false;
    }

    // The date: numbers and at most one month name; separators and weekday names
    // between them carry no meaning of their own.
    std::vector<const Token*> numbers;
    int monthName = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (used[i]) continue;
        const Token& t = tokens[i];
        if (t.kind == Token::Number) {
            numbers.push_back(&t);
        } else if (t.kind == Token::Word) {
            if (int m = MonthFromWord(t.word)) {
                if (monthName) return false;
                monthName = m;
            } else if (!IsWeekdayWord(t.word)) {
                return false;
            }
        } else if (t.sep == u':') {
            return false;
        }
    }

    bool hasDate = monthName || !numbers.empty();
    int year = 0, month = 0, day = 0, yearDigits = 4;
    bool yearGiven = true;
    auto looksLikeYear = [](const Token* t) { return t->digits >= 3 || t->value > 31; };
    auto setYear = [&](const Token* t) { year = t->value; yearDigits = t->digits; };
    if (monthName) {
        month = monthName;
        if (numbers.size() == 2) {
            bool yearFirst = looksLikeYear(numbers[0]);
            setYear(numbers[yearFirst ? 0 : 1]);
            day = numbers[yearFirst ? 1 : 0]->value;
        } else if (numbers.size() == 1) {
            if (looksLikeYear(numbers[0])) { setYear(numbers[0]); day = 1; }
            else { day = numbers[0]->value; yearGiven = false; }
        } else {
            return false;
        }
    } else if (numbers.size() == 3) {
        if (numbers[0]->digits >= 3) {
            setYear(numbers[0]); month = numbers[1]->value; day = numbers[2]->value;
        } else {
            month = numbers[0]->value; day = numbers[1]->value; setYear(numbers[2]);
            if (month > 12 && day <= 12) std::swap(month, day);
        }
    } else if (numbers.size() == 2) {
        if (numbers[0]->digits >= 3) { setYear(numbers[0]); month = numbers[1]->value; day = 1; }
        else if (looksLikeYear(numbers[1])) { month = numbers[0]->value; setYear(numbers[1]); day = 1; }
        else {
            month = numbers[0]->value; day = numbers[1]->value; yearGiven = false;
            if (month > 12 && day <= 12) std::swap(month, day);
        }
    } else if (!numbers.empty()) {
        return false;
    }
    if (!hasDate && !hasTime) return false;

    double dayNumber = 0;
    if (hasDate) {
        if (!yearGiven) year = CurrentYear();
        else if (yearDigits <= 2) year = WindowYear(year);
        if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
        dayNumber = static_cast<double>(DayNumber(year, month, day));
    }
    out = Combine(dayNumber, (hour * 3600 + minute * 60 + second) / 86400.0);
    return InRange(out);
}

VbString ShortDate(const Parts& p)
{
    return Ascii(std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + std::to_string(p.year));
}

VbString LongDate(const Parts& p)
{
    return Ascii(std::string(kWeekdays[p.weekday - 1]) + ", " + kMonths[p.month - 1] + " " + std::to_string(p.day) +
                 ", " + std::to_string(p.year));
}

VbString LongTime(const Parts& p)
{
    int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    return Ascii(std::to_string(h12) + ":" + Two(p.minute) + ":" + Two(p.second) + (p.hour < 12 ? " AM" : " PM"));
}

VbString ShortTime(const Parts& p) { return Ascii(Two(p.hour) + ":" + Two(p.minute)); }

VbString General(double date)
{
    Parts p = Split(date);
    bool noTime = p.hour == 0 && p.minute == 0 && p.second == 0;
    bool noDate = p.year == 1899 && p.month == 12 && p.day == 30;
    if (noDate) return LongTime(p);
    if (noTime) return ShortDate(p);
    return ShortDate(p) + u" " + LongTime(p);
}

VbString MonthName(int month, bool abbreviate)
{
    std::string name = kMonths[month - 1];
    return Ascii(abbreviate ? name.substr(0, 3) : name);
}

VbString WeekdayName(int weekday, bool abbreviate)
{
    std::string name = kWeekdays[weekday - 1];
    return Ascii(abbreviate ? name.substr(0, 3) : name);
}

} // namespace brindle::vbs::dates
