// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTimeFormat.h"

#include <optional>
#include <string>
#include <string_view>

// The text side of the freedesktop.org trash: the ".trashinfo" file that records where a trashed file
// came from and when, and the names a file takes inside the trash.

// Percent-encodes a path for the Path key: every byte other than the unreserved characters of
// RFC 3986 (letters, digits, "-", ".", "_", "~") and "/" becomes "%" and two upper-case hex digits.
std::string EncodeTrashPath(std::string_view path);
// The bytes an encoded path stands for; nullopt when a "%" is not followed by two hex digits.
std::optional<std::string> DecodeTrashPath(std::string_view encoded);

// "[Trash Info]", "Path=" with the encoded path and "DeletionDate=" in local time as
// YYYY-MM-DDThh:mm:ss, each line ended by a line feed.
std::string TrashInfoText(std::string_view originalPath, const LocalDateTime& deletedAt);

struct TrashInfo
{
    std::string path;         // decoded
    std::string deletionDate; // as written
    bool operator==(const TrashInfo&) const = default;
};
// Reads the [Trash Info] group of a .trashinfo text (other groups, blank lines and "#" comments are
// skipped; the first Path and DeletionDate of the group count). Nullopt without the group, without a
// Path, or with a Path that does not decode.
std::optional<TrashInfo> ParseTrashInfo(std::string_view text);

// Longest name a file may take in the trash: its info file adds ".trashinfo" and must still fit
// in a directory entry.
inline constexpr std::size_t kMaxTrashNameLength = 255 - 10;

// The name to try for the attempt-th time (1, 2, ...) when trashing a file called name: the name
// itself first, then with ".2", ".3" ... before its extension ("notes.2.txt", "README.2",
// ".profile.2"). A name too long for the trash is cut at a character boundary before the extension
// and counter are added, so every candidate fits.
std::string TrashCandidateName(std::string_view name, int attempt);
