// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"
#include "platform/LocaleSettings.h"

#include <string>
#include <string_view>

// The audit log: "audit.txt" in the program directory, one line per deleted file, only ever appended to.

inline constexpr const char* kAuditFileName = "audit.txt";

// The line of one deletion, without its line end: the short date, a blank, the long time, two blanks
// and the path exactly as given.
std::string AuditLine(const LocalDateTime& when, std::string_view path, const LocaleSettings& locale);

// Appends line and CR LF to "audit.txt" in programDir (a path ending in "/"), making the file when it
// is missing. The line goes out in one write on the file opened for appending and is on the disk
// before this returns true, so a crash afterwards cannot lose it. False when programDir is empty or
// the file cannot be opened, is not a regular file, or cannot be written or flushed; a line that
// could be written only in part is taken back where the file allows it.
bool AppendAuditLine(const std::string& programDir, std::string_view line);
