// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateTimeFormat.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {
const LocalDateTime kAfternoon{1998, 12, 5, 15, 4, 6, 6};
}

TEST(DateTimeFormat, FormatsWithTheLocalesNamesDesignatorsAndQuotes)
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

    EXPECT_EQ(FormatDateTime("dddd, MMMM d, yyyy", kAfternoon, us), "Saturday, December 5, 1998");
    EXPECT_EQ(FormatDateTime("ddd MMM dd", kAfternoon, us), "Sat Dec 05");
    EXPECT_EQ(FormatDateTime("HH:mm:ss t", kAfternoon, us), "15:04:06 ");
    EXPECT_EQ(FormatDateTime("yy", {2107, 1, 1, 0, 0, 0, 1}, us), "07"); // the year mod 100
}

TEST(DateTimeFormat, LocalTimesAgreeWithTheCLibraryAcrossZonesAndTransitions)
{
    const std::string saved = std::getenv("TZ") ? std::getenv("TZ") : "";
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> anyTime(-2208988800LL, 4102444800LL); // 1900 to 2100
    for (const char* zone :
         {"UTC", "America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "Asia/Kathmandu"}) {
        setenv("TZ", zone, 1);
        tzset();
        // The transition days come first and last, so that a zone starts with hours that the
        // previous zone's last calls left behind.
        std::vector<std::int64_t> times;
        for (int i = 0; i < 20000; ++i)
            times.push_back(anyTime(random));
        // Every minute of two days around the 2021 spring and autumn changes of both hemispheres.
        for (std::int64_t start : {1615600000LL, 1636200000LL, 1617400000LL, 1633200000LL})
            for (std::int64_t t = start; t < start + 2 * 86400; t += 60) {
                times.insert(times.begin(), t);
                times.push_back(t);
            }
        for (std::int64_t t : times) {
            const std::time_t tt = static_cast<std::time_t>(t);
            std::tm tm{};
            ASSERT_NE(localtime_r(&tt, &tm), nullptr);
            const LocalDateTime expected = LocalDateTimeFromTm(tm);
            const LocalDateTime got = ToLocalDateTime(t);
            ASSERT_EQ(std::tie(got.year, got.month, got.day, got.hour, got.minute, got.second, got.dayOfWeek),
                      std::tie(expected.year, expected.month, expected.day, expected.hour, expected.minute,
                               expected.second, expected.dayOfWeek))
                << zone << " " << t;
        }
    }
    if (saved.empty())
        unsetenv("TZ");
    else
        setenv("TZ", saved.c_str(), 1);
    tzset();
}

TEST(DateTimeFormat, TimesAtTheEndsOfTheRangeShowAsTheFirstOrLastSecondOfYearsOneTo9999)
{
    const std::string saved = std::getenv("TZ") ? std::getenv("TZ") : "";
    for (const char* zone : {"UTC", "Pacific/Kiritimati", "Etc/GMT+12"}) {
        setenv("TZ", zone, 1);
        tzset();
        for (std::int64_t t :
             {std::numeric_limits<std::int64_t>::max(), std::int64_t{1} << 62, std::int64_t{253402300800}}) {
            // The last second of 9999 in UTC, seen from the zone: 9999 or the first hours of 10000.
            const LocalDateTime late = ToLocalDateTime(t);
            EXPECT_GE(late.year, 9999) << zone << " " << t;
            EXPECT_LE(late.year, 10000) << zone << " " << t;
        }
        for (std::int64_t t : {std::numeric_limits<std::int64_t>::min(), -(std::int64_t{1} << 62)}) {
            const LocalDateTime early = ToLocalDateTime(t);
            EXPECT_GE(early.year, 0) << zone << " " << t;
            EXPECT_LE(early.year, 1) << zone << " " << t;
        }
    }
    setenv("TZ", "UTC", 1);
    tzset();
    const LocalDateTime last = ToLocalDateTime(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(std::tie(last.year, last.month, last.day, last.hour, last.minute, last.second),
              std::make_tuple(9999, 12, 31, 23, 59, 59));
    const LocalDateTime first = ToLocalDateTime(std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(std::tie(first.year, first.month, first.day, first.hour), std::make_tuple(1, 1, 1, 0));
    if (saved.empty())
        unsetenv("TZ");
    else
        setenv("TZ", saved.c_str(), 1);
    tzset();
}
