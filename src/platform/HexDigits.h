// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hex digits of the escapes in file names: "%HH" in trash records, "\xHH" in the audit log.

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// The value of a hex digit of either case; -1 for any other character.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
