// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"
#include "platform/LocaleSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The audit log: "audit.txt" in the program directory, one line per deleted or restored file, only
// ever appended to.

inline constexpr const char* kAuditFileName = "audit.txt";
// Ends the line of a file brought back from the trash.
inline constexpr std::string_view kRestoredMark = " (Restored)";

// The line of one deletion, without its line end: the short date, a blank, the long time, two blanks
// and the path. The path keeps its bytes, except that a byte below 0x20 or 0x7F is written as "\xHH"
// (two upper-case hex digits), a backslash as "\x5C" where it would read as such an escape, and the
// last byte of a path that ends in kRestoredMark as "\x29", so that no name can split a line or pass
// for another one.
std::string AuditLine(const LocalDateTime& when, std::string_view path, const LocaleSettings& locale);

// One line of the log read back.
struct AuditEntry
{
    LocalDateTime when;    // a two-digit year as written (0-99); dayOfWeek only where the date names it
    std::string path;      // the escapes undone
    bool restored = false; // the line ends in kRestoredMark (taken off path)
};
// Reads a line that AuditLine wrote in this locale, with or without kRestoredMark after it and with
// or without its line end. Nullopt when the line does not begin with the date, one blank, the time
// and two blanks, or has no path after them.
std::optional<AuditEntry> ParseAuditLine(std::string_view line, const LocaleSettings& locale);

// Appends line and CR LF to "audit.txt" in programDir (a path ending in "/"). See AppendAuditLines.
bool AppendAuditLine(const std::string& programDir, std::string_view line);
// Appends each line with CR LF in one write on the file opened for appending; the lines are on the
// disk before this returns true, so a crash afterwards cannot lose them. The file must be a regular
// file, or a symbolic link to one that belongs to the user or to root; a missing file is made, but
// never through a dangling link. False when programDir is empty or the file cannot be opened, made,
// written or flushed; lines that were written only in part or not flushed are taken back where the
// file allows.
bool AppendAuditLines(const std::string& programDir, const std::vector<std::string>& lines);
