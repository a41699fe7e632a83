// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace {
const LocalDateTime kAfternoon{1998, 12, 5, 15, 4, 6, 6};
}

TEST(DateTimeFormat, FormatsWithTheLocalesNamesAndDesignators)
{
    const LocalDateTime afternoon{2026, 3, 7, 14, 5, 9, 6};
    const LocaleSettings us = LocaleSettings::usEnglish();
    EXPECT_EQ(FormatDateTime("M/d/yy", afternoon, us), "3/7/26");
    EXPECT_EQ(FormatDateTime("h:mm:ss AP", afternoon, us), "2:05:09 PM");
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy HH:mm:ss", afternoon, us), "07.03.2026 14:05:09");
    EXPECT_EQ(FormatDateTime("dddd, MMMM d 'o''clock' ap", afternoon, us), "Saturday, March 7 o'clock pm");

    LocalDateTime midnight = afternoon;
    midnight.hour = 0;
    EXPECT_EQ(FormatDateTime("h:mm AP", midnight, us), "12:05 AM");
    EXPECT_EQ(FormatDateTime("HH:mm", midnight, us), "00:05");
}

TEST(DateTimeFormat, NamesQuotesAndTwoDigitYears)
{
    const LocaleSettings us = LocaleSettings::usEnglish();
    EXPECT_EQ(FormatDateTime("dddd, MMMM d, yyyy", kAfternoon, us), "Saturday, December 5, 1998");
    EXPECT_EQ(FormatDateTime("ddd MMM dd", kAfternoon, us), "Sat Dec 05");
    EXPECT_EQ(FormatDateTime("h 'o''clock' ap", kAfternoon, us), "3 o'clock pm");
    EXPECT_EQ(FormatDateTime("HH:mm:ss t", kAfternoon, us), "15:04:06 ");
    EXPECT_EQ(FormatDateTime("yy", {2107, 1, 1, 0, 0, 0, 1}, us), "07"); // the year mod 100
}
