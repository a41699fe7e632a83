// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"
#include "platform/LocaleSettings.h"

#include <cstdint>
#include <optional>
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

// A byte count as people read it: "512 bytes", or one decimal in the largest of KB, MB, GB and TB
// (of 1024 each) that keeps it at 1.0 or more: "1.2 GB". The locale's separators.
std::string ByteSizeText(std::int64_t bytes, const LocaleSettings& locale);

// Time (20) + 2 blanks + size with separators (15) + 2 blanks + path. Given a content class ("=1",
// "?", or empty), its column stands before the path: the class padded to 5, then 2 blanks.
std::string StandardRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                        const LocaleSettings& locale, std::optional<std::string_view> contentClass = {});

// Time (20) + 2 blanks + plain decimal size (14) + 3 blanks + path: the path starts in the same
// column as in the standard row.
std::string ZeroLengthRow(const LocalDateTime& when, std::int64_t size, std::string_view path,
                          const LocaleSettings& locale);

// The list's header above those rows.
inline constexpr std::string_view kResultListHeader = "Time Stamp           | Size           | Pathname ";
// The header above rows with the content class column.
inline constexpr std::string_view kContentListHeader =
    "Time Stamp           | Size           | Copy | Pathname ";
