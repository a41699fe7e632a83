// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateTimeFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <ctime>

namespace {

std::int64_t floorDivide(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void appendNumber(std::string& out, long long value, int minDigits)
{
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value < 0 ? -value : value);
    (void)ec;
    if (value < 0)
        out += '-';
    for (int pad = minDigits - static_cast<int>(end - buf); pad > 0; --pad)
        out += '0';
    out.append(buf, end);
}

} // namespace

LocalDateTime LocalDateTimeFromTm(const std::tm& tm)
{
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            tm.tm_wday == 0 ? 7 : tm.tm_wday};
}

LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch)
{
    // A file time outside the years 1 to 9999 is nonsense, and near the ends of the 64-bit range the
    // arithmetic below would overflow: such times show as the first or last second of that range.
    constexpr std::int64_t kFirst = -62135596800; // 0001-01-01 00:00:00 UTC
    constexpr std::int64_t kLast = 253402300799;  // 9999-12-31 23:59:59 UTC
    secondsSinceEpoch = std::clamp(secondsSinceEpoch, kFirst, kLast);

    // localtime_r takes a process-wide lock and walks the zone's rules on every call, and a report
    // asks for hundreds of thousands of times that mostly share an hour. Each thread remembers the
    // UTC offset of a few hours; an hour in which the offset changes is always asked afresh. The
    // offsets belong to the zone TZ named when they were read: a new TZ (set before tzset, as the
    // C library requires) makes them stale. The C library's tzname is not read: other threads'
    // localtime_r may be writing it.
    struct HourOffset
    {
        std::int64_t hour = INT64_MIN;
        const char* zone = nullptr;
        long offset = 0;
        bool uniform = false;
    };
    thread_local std::array<HourOffset, 64> cache;

    const char* zone = std::getenv("TZ");
    const std::int64_t hour = floorDivide(secondsSinceEpoch, 3600);
    HourOffset& slot = cache[static_cast<std::uint64_t>(hour) % cache.size()];
    if (slot.hour != hour || slot.zone != zone) {
        std::tm first{}, last{};
        const std::time_t start = static_cast<std::time_t>(hour * 3600);
        const std::time_t end = start + 3599;
        slot.hour = hour;
        slot.zone = zone;
        slot.uniform =
            ::localtime_r(&start, &first) && ::localtime_r(&end, &last) && first.tm_gmtoff == last.tm_gmtoff;
        slot.offset = first.tm_gmtoff;
    }
    if (!slot.uniform) {
        const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
        std::tm tm{};
        if (!::localtime_r(&t, &tm))
            return {};
        return LocalDateTimeFromTm(tm);
    }
    return CivilDateTime(secondsSinceEpoch + slot.offset);
}

LocalDateTime CivilDateTime(std::int64_t localSeconds)
{
    // Days to year, month and day in the proleptic Gregorian calendar, after H. Hinnant's
    // civil_from_days.
    const std::int64_t days = floorDivide(localSeconds, 86400);
    const std::int64_t secondOfDay = localSeconds - days * 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDivide(z, 146097);
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    const int weekday = static_cast<int>(days + 3 - 7 * floorDivide(days + 3, 7)); // 0 = Monday
    return {year,
            month,
            day,
            static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60),
            static_cast<int>(secondOfDay % 60),
            weekday + 1};
}

namespace {

// Whether a pattern shows an AM/PM marker, which puts the hour "h" on the 12-hour clock.
bool hasDesignator(std::string_view pattern)
{
    bool quoted = false;
    for (char c : pattern) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && (c == 'A' || c == 'a'))
            return true;
    }
    return false;
}

// Splits a pattern into runs of one letter (letter(c, n), "AP" and "ap" counted as the marker "A" or
// "a") and literal text (literal(text): quoted text and everything that is no pattern letter). Stops
// early when a callback returns false; returns whether it went through.
template <class Letter, class Literal>
bool walkPattern(std::string_view pattern, Letter letter, Literal literal)
{
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            // 'text' is literal; '' stands for one quote, inside or outside quoted text.
            std::string text;
            size_t j = i + 1;
            if (j < pattern.size() && pattern[j] == '\'') {
                text = "'";
                i = j + 1;
            } else {
                while (j < pattern.size()) {
                    if (pattern[j] == '\'') {
                        if (j + 1 < pattern.size() && pattern[j + 1] == '\'') {
                            text += '\'';
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    text += pattern[j++];
                }
                i = j + 1;
            }
            if (!literal(std::string_view(text)))
                return false;
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        const bool known = std::string_view("dMyhHmszAat").find(c) != std::string_view::npos;
        const int n = static_cast<int>(run);
        if ((c == 'A' || c == 'a') && i + run < pattern.size() &&
            (pattern[i + run] == 'P' || pattern[i + run] == 'p'))
            ++run;
        if (!(known ? letter(c, n) : literal(pattern.substr(i, run))))
            return false;
        i += run;
    }
    return true;
}

std::string designator(char marker, bool pm, const LocaleSettings& locale)
{
    std::string text = pm ? locale.pmDesignator : locale.amDesignator;
    for (char& ch : text) {
        if (marker == 'A' && ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
        if (marker == 'a' && ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return text;
}

} // namespace

std::string FormatDateTime(std::string_view pattern, const LocalDateTime& when, const LocaleSettings& locale)
{
    const bool twelveHour = hasDesignator(pattern);
    std::string out;
    const auto literal = [&](std::string_view text) {
        out += text;
        return true;
    };
    const auto letter = [&](char c, int n) {
        switch (c) {
        case 'd':
            if (n <= 2)
                appendNumber(out, when.day, n);
            else
                out += (n == 3 ? locale.shortDayNames : locale.longDayNames)[when.dayOfWeek - 1];
            break;
        case 'M':
            if (n <= 2)
                appendNumber(out, when.month, n);
            else
                out += (n == 3 ? locale.shortMonthNames : locale.longMonthNames)[when.month - 1];
            break;
        case 'y':
            if (n <= 2)
                appendNumber(out, when.year % 100, 2);
            else
                appendNumber(out, when.year, 4);
            break;
        case 'h': {
            int hour = when.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            appendNumber(out, hour, n >= 2 ? 2 : 1);
            break;
        }
        case 'H':
            appendNumber(out, when.hour, n >= 2 ? 2 : 1);
            break;
        case 'm':
            appendNumber(out, when.minute, n >= 2 ? 2 : 1);
            break;
        case 's':
            appendNumber(out, when.second, n >= 2 ? 2 : 1);
            break;
        case 'z':
            out += n >= 3 ? "000" : "0"; // whole seconds only
            break;
        case 'A':
        case 'a':
            out += designator(c, when.hour >= 12, locale);
            break;
        default: // 't': the time zone is left out
            break;
        }
        return true;
    };
    walkPattern(pattern, letter, literal);
    return out;
}

bool ParseDateTime(std::string_view pattern, std::string_view& text, const LocaleSettings& locale,
                   LocalDateTime& when)
{
    const bool twelveHour = hasDesignator(pattern);
    std::string_view rest = text;
    int hour = when.hour;
    int pm = -1; // -1: no marker seen
    // A number of at least min and at most max digits, taking as many as there are.
    const auto number = [&](size_t min, size_t max, int& value) {
        size_t n = 0;
        while (n < max && n < rest.size() && rest[n] >= '0' && rest[n] <= '9')
            ++n;
        if (n < min)
            return false;
        std::from_chars(rest.data(), rest.data() + n, value);
        rest.remove_prefix(n);
        return true;
    };
    // The longest of names that rest begins with.
    const auto name = [&](const auto& names, int& index) {
        size_t best = 0;
        for (size_t k = 0; k < names.size(); ++k) {
            if (names[k].size() > best && rest.starts_with(names[k])) {
                best = names[k].size();
                index = static_cast<int>(k) + 1;
            }
        }
        rest.remove_prefix(best);
        return best > 0;
    };
    const auto literal = [&](std::string_view expected) {
        if (!rest.starts_with(expected))
            return false;
        rest.remove_prefix(expected.size());
        return true;
    };
    const auto letter = [&](char c, int n) {
        const size_t width = n >= 2 ? 2 : 1;
        int ignored = 0;
        switch (c) {
        case 'd':
            return n <= 2 ? number(width, 2, when.day)
                          : name(n == 3 ? locale.shortDayNames : locale.longDayNames, when.dayOfWeek);
        case 'M':
            return n <= 2 ? number(width, 2, when.month)
                          : name(n == 3 ? locale.shortMonthNames : locale.longMonthNames, when.month);
        case 'y':
            return n <= 2 ? number(2, 2, when.year) : number(4, 4, when.year);
        case 'h':
        case 'H':
            return number(width, 2, hour);
        case 'm':
            return number(width, 2, when.minute);
        case 's':
            return number(width, 2, when.second);
        case 'z':
            return number(n >= 3 ? 3 : 1, 3, ignored);
        case 'A':
        case 'a': {
            // The longer designator first, in case one begins with the other.
            const std::string am = designator(c, false, locale);
            const std::string p = designator(c, true, locale);
            const bool pmFirst = p.size() >= am.size();
            for (const bool isPm : {pmFirst, !pmFirst}) {
                if (literal(isPm ? p : am)) {
                    pm = isPm ? 1 : 0;
                    return true;
                }
            }
            return false;
        }
        default:
            return true;
        }
    };
    if (!walkPattern(pattern, letter, literal))
        return false;
    if (twelveHour && pm >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (when.month < 1 || when.month > 12 || when.day < 1 || when.day > 31 || hour > 23 || when.minute > 59 ||
        when.second > 60)
        return false;
    when.hour = hour;
    text = rest;
    return true;
}
