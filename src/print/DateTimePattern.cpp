// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/DateTimePattern.h"

#include <algorithm>

namespace {

std::string padded(int value, int width)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

bool hasAmPm(std::string_view pattern)
{
    bool quoted = false;
    for (char c : pattern) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && (c == 'a' || c == 'A'))
            return true;
    }
    return false;
}

std::size_t runLength(std::string_view pattern, std::size_t pos)
{
    std::size_t n = 1;
    while (pos + n < pattern.size() && pattern[pos + n] == pattern[pos])
        ++n;
    return n;
}

// Monday = 0, as LocaleSettings orders its day names.
int mondayBased(int tmWeekday)
{
    return (tmWeekday + 6) % 7;
}

} // namespace

std::string formatDateTime(std::string_view pattern, const std::tm& when, const LocaleSettings& locale)
{
    const bool twelveHour = hasAmPm(pattern);
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            std::size_t j = i + 1;
            if (j < pattern.size() && pattern[j] == '\'') {
                out += '\'';
                i = j + 1;
                continue;
            }
            while (j < pattern.size()) {
                if (pattern[j] == '\'') {
                    if (j + 1 < pattern.size() && pattern[j + 1] == '\'') {
                        out += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                out += pattern[j++];
            }
            i = j + 1;
            continue;
        }
        std::size_t n = runLength(pattern, i);
        switch (c) {
        case 'd':
            n = std::min<std::size_t>(n, 4);
            if (n <= 2)
                out += padded(when.tm_mday, static_cast<int>(n));
            else if (n == 3)
                out += locale.shortDayNames[mondayBased(when.tm_wday)];
            else
                out += locale.longDayNames[mondayBased(when.tm_wday)];
            break;
        case 'M':
            n = std::min<std::size_t>(n, 4);
            if (n <= 2)
                out += padded(when.tm_mon + 1, static_cast<int>(n));
            else if (n == 3)
                out += locale.shortMonthNames[when.tm_mon];
            else
                out += locale.longMonthNames[when.tm_mon];
            break;
        case 'y':
            if (n >= 4) {
                n = 4;
                out += padded(when.tm_year + 1900, 4);
            } else if (n >= 2) {
                n = 2;
                out += padded((when.tm_year + 1900) % 100, 2);
            } else {
                out += c;
            }
            break;
        case 'h':
        case 'H': {
            n = std::min<std::size_t>(n, 2);
            int hour = when.tm_hour;
            if (c == 'h' && twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += padded(hour, static_cast<int>(n));
            break;
        }
        case 'm':
            n = std::min<std::size_t>(n, 2);
            out += padded(when.tm_min, static_cast<int>(n));
            break;
        case 's':
            n = std::min<std::size_t>(n, 2);
            out += padded(when.tm_sec, static_cast<int>(n));
            break;
        case 'z':
            n = n >= 3 ? 3 : 1;
            out += padded(0, static_cast<int>(n));
            break;
        case 'A':
        case 'a': {
            // "AP" and "ap" are one marker, like "A" and "a".
            n = 1;
            if (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p'))
                n = 2;
            const std::string& designator = when.tm_hour < 12 ? locale.amDesignator : locale.pmDesignator;
            if (c == 'A') {
                out += designator;
            } else {
                for (char d : designator)
                    out += (d >= 'A' && d <= 'Z') ? char(d - 'A' + 'a') : d;
            }
            break;
        }
        default:
            out.append(pattern.substr(i, n));
            break;
        }
        i += n;
    }
    return out;
}
