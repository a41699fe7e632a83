// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

// The user's date, time and number conventions, read once at start-up. Plain data so that the engine
// and its tests can use it without Qt. Formats use Qt's pattern letters (d, M, yy, h, H, m, s, AP,
// quoted literals); all texts are UTF-8.
struct LocaleSettings
{
    std::string shortDateFormat = "M/d/yy";
    std::string longTimeFormat = "h:mm:ss AP";
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
    std::string thousandSeparator = ",";
    std::string decimalSeparator = ".";
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Monday first, as Qt counts days of the week.
    std::array<std::string, 7> shortDayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    std::array<std::string, 7> longDayNames{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};

    // The values that hold in the C and POSIX locales.
    static LocaleSettings usEnglish() { return LocaleSettings{}; }
};
