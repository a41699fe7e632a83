// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"
#include "platform/LocaleSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

// The text forms of a report row. Widths count characters (UTF-8 sequences), not bytes, so that the
// columns line up in a fixed-pitch font whatever the locale writes.

// s cut to its first w characters, or padded with blanks to w characters; empty when w is 0.
std::string FitToWidth(std::string_view s, int w);

// s padded with blanks to w characters; never cut, so a number wider than its field stays whole.
std::string PadToWidth(std::string_view s, int w);

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
