// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// A local wall-clock time, to the second.
struct LocalDateTime
{
    int year = 1970, month = 1, day = 1; // month 1-12
    int hour = 0, minute = 0, second = 0;
    int dayOfWeek = 1; // 1 = Monday ... 7 = Sunday
};

// The local time of a moment given in seconds since the epoch, in the process's time zone.
LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch);

// The calendar date and time of a count of local seconds since 1970-01-01 00:00:00.
LocalDateTime CivilDateTime(std::int64_t localSeconds);

// Formats with Qt's date and time pattern letters (d dd ddd dddd, M MM MMM MMMM, yy yyyy,
// h hh H HH, m mm, s ss, z zzz, AP ap A a, 'quoted text'); "t" (time zone) is left out.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& when, const LocaleSettings& locale);
// Reads what FormatDateTime writes for pattern from the start of text into the fields the pattern
// names (a two-digit year as written, 0-99), and moves text past it. False when text does not begin
// with such a date or time; text is then unchanged, when may be partly written.
bool ParseDateTime(std::string_view pattern, std::string_view& text, const LocaleSettings& locale,
                   LocalDateTime& when);

// The same wall-clock time as a broken-down std::tm holds it.
LocalDateTime LocalDateTimeFromTm(const std::tm& tm);
