// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>

// Saturday 7 March 2026, 14:05:09: "3/7/26" and "2:05:09 PM" in US English.
inline std::tm march7At1405()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_wday = 6;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}
