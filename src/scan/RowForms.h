// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LocaleSettings.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// The text forms of a report row. Widths count characters (UTF-8 sequences), not bytes, so that the
// columns line up in a fixed-pitch font whatever the locale writes.

// s cut to its first w characters, or padded with blanks to w characters; empty when w is 0.
std::string FitToWidth(std::string_view s, int w);

// s padded with blanks to w characters; never cut, so a number wider than its field stays whole.
std::string PadToWidth(std::string_view s, int w);

// A local wall-clock time, to the second.
struct LocalDateTime
{
    int year = 1970, month = 1, day = 1; // month 1-12
    int hour = 0, minute = 0, second = 0;
    int dayOfWeek = 1; // 1 = Monday ... 7 = Sunday
};

// The local time of a moment given in seconds since the epoch, in the process's time zone.
LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch);

// Formats with Qt's date and time pattern letters (d dd ddd dddd, M MM MMM MMMM, yy yyyy,
// h hh H HH, m mm, s ss, z zzz, AP ap A a, 'quoted text'); "t" (time zone) is left out.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& when, const LocaleSettings& locale);

// The short date, a blank and the long time; only the date when the time of day is 00:00:00.
std::string TimeText(const LocalDateTime& when, const LocaleSettings& locale);

// A whole number with the locale's thousands separator between groups of three digits.
std::string SizeText(std::int64_t size, const LocaleSettings& locale);

// Time (20) + 2 blanks + size with separators (15) + 2 blanks + path.
std::string StandardRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                        const LocaleSettings& locale);

// Time (20) + 2 blanks + plain decimal size (14) + 3 blanks + path: the path starts in the same
// column as in the standard row.
std::string ZeroLengthRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                          const LocaleSettings& locale);

// The list's header above those rows.
inline constexpr std::string_view kResultListHeader = "Time Stamp           | Size           | Pathname ";
