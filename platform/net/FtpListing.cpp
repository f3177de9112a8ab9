#include "platform/net/FtpListing.h"

#include <cctype>
#include <charconv>
#include <fnmatch.h>
#include <string>

namespace brindle {

namespace {

bool AllDigits(std::string_view s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

template <typename T> bool ToNumber(std::string_view s, T& value)
{
    if (!AllDigits(s)) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::time_t UtcTime(int year, int month, int day, int hour, int minute, int second)
{
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return 0;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return ::timegm(&tm);
}

// "YYYYMMDDHHMMSS" with an optional fraction.
std::time_t MlsdTime(std::string_view value)
{
    if (value.size() < 14) return 0;
    int parts[6];
    const std::size_t widths[6] = {4, 2, 2, 2, 2, 2};
    std::size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        if (!ToNumber(value.substr(at, widths[i]), parts[i])) return 0;
        at += widths[i];
    }
    return UtcTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
}

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

void SetHidden(FtpEntry& entry) { entry.hidden = !entry.name.empty() && entry.name[0] == '.'; }

int MonthNumber(std::string_view token)
{
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i)
        if (EqualsNoCase(token, kMonths[i])) return i + 1;
    return 0;
}

struct Token {
    std::string_view text;
    std::size_t end; // offset just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, std::size_t most)
{
    std::vector<Token> tokens;
    std::size_t at = 0;
    while (tokens.size() < most) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at >= line.size()) break;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ') ++at;
        tokens.push_back({line.substr(start, at - start), at});
    }
    return tokens;
}

// "HH:MM" into hour and minute.
bool ClockTime(std::string_view s, int& hour, int& minute)
{
    const std::size_t colon = s.find(':');
    return colon != std::string_view::npos && ToNumber(s.substr(0, colon), hour) &&
           ToNumber(s.substr(colon + 1), minute);
}

// The rest of the line after the token's end and the one space that follows it.
std::string NameAfter(std::string_view line, std::size_t end)
{
    if (end < line.size() && line[end] == ' ') ++end;
    return std::string(line.substr(end));
}

bool ParseUnixLine(std::string_view line, std::time_t now, FtpEntry& entry)
{
    if (line.size() < 10 || std::string_view("-dlbcps").find(line[0]) == std::string_view::npos) return false;
    // The owner or group may be missing, so the date is found by its month name.
    const std::vector<Token> tokens = Tokens(line, 9);
    for (std::size_t m = 2; m + 2 < tokens.size(); ++m) {
        const int month = MonthNumber(tokens[m].text);
        int day = 0;
        if (!month || !ToNumber(tokens[m + 1].text, day) || !ToNumber(tokens[m - 1].text, entry.size)) continue;
        const std::string_view yearOrTime = tokens[m + 2].text;
        int year = 0, hour = 0, minute = 0;
        if (ClockTime(yearOrTime, hour, minute)) {
            std::tm nowTm{};
            ::gmtime_r(&now, &nowTm);
            year = nowTm.tm_year + 1900;
            if (UtcTime(year, month, day, hour, minute, 0) > now + 86400) --year;
        } else if (!ToNumber(yearOrTime, year)) {
            continue;
        }
        std::string name = NameAfter(line, tokens[m + 2].end);
        if (line[0] == 'l') {
            const std::size_t arrow = name.find(" -> ");
            if (arrow != std::string::npos) name.erase(arrow);
        }
        if (name.empty() || IsDotName(name)) return false;
        entry.name = std::move(name);
        entry.written = UtcTime(year, month, day, hour, minute, 0);
        entry.directory = line[0] == 'd';
        entry.readOnly = line[2] != 'w';
        SetHidden(entry);
        return true;
    }
    return false;
}

// "MM-DD-YY" or "MM-DD-YYYY", then "HH:MM" with an optional AM/PM.
bool ParseDosLine(std::string_view line, FtpEntry& entry)
{
    const std::vector<Token> tokens = Tokens(line, 3);
    if (tokens.size() < 3) return false;
    const std::string_view date = tokens[0].text;
    int month = 0, day = 0, year = 0;
    if (date.size() < 8 || date[2] != '-' || date[5] != '-' || !ToNumber(date.substr(0, 2), month) ||
        !ToNumber(date.substr(3, 2), day) || !ToNumber(date.substr(6), year))
        return false;
    if (date.size() == 8) year += year < 70 ? 2000 : 1900;
    std::string_view clock = tokens[1].text;
    int hour = 0, minute = 0;
    bool pm = false, am = false;
    if (clock.size() > 2) {
        const std::string_view suffix = clock.substr(clock.size() - 2);
        pm = EqualsNoCase(suffix, "PM");
        am = EqualsNoCase(suffix, "AM");
        if (pm || am) clock.remove_suffix(2);
    }
    if (!ClockTime(clock, hour, minute) || hour > 23) return false;
    if ((am || pm) && hour == 12) hour = 0;
    if (pm) hour += 12;
    const std::string_view sizeOrDir = tokens[2].text;
    std::uint64_t size = 0;
    const bool directory = EqualsNoCase(sizeOrDir, "<DIR>");
    if (!directory && !ToNumber(sizeOrDir, size)) return false;
    std::size_t at = tokens[2].end;
    while (at < line.size() && line[at] == ' ') ++at;
    std::string name(line.substr(at));
    if (name.empty() || IsDotName(name)) return false;
    entry.name = std::move(name);
    entry.size = size;
    entry.directory = directory;
    entry.written = UtcTime(year, month, day, hour, minute, 0);
    SetHidden(entry);
    return true;
}

} // namespace

bool ParseMlsdLine(std::string_view line, FtpEntry& entry)
{
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space + 1 >= line.size()) return false;
    std::string_view facts = line.substr(0, space);
    entry = FtpEntry{};
    entry.name = std::string(line.substr(space + 1));
    std::string_view perm;
    bool hasPerm = false;
    std::string_view mode;
    while (!facts.empty()) {
        const std::size_t semi = facts.find(';');
        const std::string_view fact = facts.substr(0, semi);
        facts = semi == std::string_view::npos ? std::string_view() : facts.substr(semi + 1);
        const std::size_t eq = fact.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = fact.substr(0, eq), value = fact.substr(eq + 1);
        if (EqualsNoCase(key, "type")) {
            if (EqualsNoCase(value, "cdir") || EqualsNoCase(value, "pdir")) return false;
            entry.directory = EqualsNoCase(value, "dir");
        } else if (EqualsNoCase(key, "size")) {
            ToNumber(value, entry.size);
        } else if (EqualsNoCase(key, "modify")) {
            entry.written = MlsdTime(value);
        } else if (EqualsNoCase(key, "create")) {
            entry.created = MlsdTime(value);
        } else if (EqualsNoCase(key, "perm")) {
            perm = value;
            hasPerm = true;
        } else if (EqualsNoCase(key, "unix.mode")) {
            mode = value;
        }
    }
    if (IsDotName(entry.name)) return false;
    // Writable: a file that may be written or appended to, a folder where files
    // may be created; the Unix mode decides when the server gives no permissions.
    if (hasPerm) {
        const std::string_view writes = entry.directory ? "cm" : "wa";
        bool writable = false;
        for (char c : perm)
            if (writes.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c)))) != std::string_view::npos)
                writable = true;
        entry.readOnly = !writable;
    } else if (mode.size() >= 3) {
        const char owner = mode[mode.size() - 3];
        entry.readOnly = owner >= '0' && owner <= '7' && !((owner - '0') & 2);
    }
    SetHidden(entry);
    return true;
}

bool ParseListLine(std::string_view line, std::time_t now, FtpEntry& entry)
{
    entry = FtpEntry{};
    if (line.empty()) return false;
    if (std::isdigit(static_cast<unsigned char>(line[0]))) return ParseDosLine(line, entry);
    return ParseUnixLine(line, now, entry);
}

bool FtpNameMatches(const std::string& pattern, const std::string& name)
{
    if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
    return ::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0;
}

std::string FtpJoinPath(const std::string& directory, const std::string& name)
{
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::vector<FtpEntry> ParseFtpListing(std::string_view text, bool mlsd, const std::string& directory,
                                      const std::string& pattern, std::time_t now)
{
    std::vector<FtpEntry> entries;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        FtpEntry entry;
        const bool parsed = mlsd ? ParseMlsdLine(line, entry) : ParseListLine(line, now, entry);
        if (!parsed || !FtpNameMatches(pattern, entry.name)) continue;
        entry.path = FtpJoinPath(directory, entry.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace brindle
