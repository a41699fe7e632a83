// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The field forms of the machine-readable reports (CSV and JSON), beside the row forms of the text
// report. Paths are bytes; these forms say how bytes that are not UTF-8 reach a reader intact.

// True when s is well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);

// s with every ill-formed part replaced by U+FFFD, one replacement for each maximal part that could
// have begun a character (the practice Unicode recommends, which Python's "replace" decoder follows).
// Well-formed s comes back unchanged.
std::string WithReplacementCharacters(std::string_view s);

// The bytes in standard Base64 (RFC 4648, "+/" and "=" padding).
std::string Base64(std::string_view bytes);

// A CSV field as RFC 4180 writes it: quoted, with inner quotes doubled, when it holds a comma, a
// quote, a carriage return or a line feed; otherwise as it is. The bytes are never changed.
std::string CsvField(std::string_view s);

// s as a JSON string with its quotes. s must be well-formed UTF-8 (see WithReplacementCharacters);
// quotes, backslashes and control characters are escaped, everything else is written as it is.
std::string JsonString(std::string_view s);

// A moment as local ISO 8601 time with its offset from UTC in the process's time zone:
// "1998-12-05T15:04:06+01:00". The offset is written with seconds only when it has them.
std::string IsoLocalTime(std::int64_t secondsSinceEpoch);
