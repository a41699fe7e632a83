// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateTimeFormat.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <tuple>

namespace {

const LocalDateTime kAfternoon{1998, 12, 5, 15, 4, 6, 6};

// Later tests set the zone they need.
void setZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

} // namespace

TEST(DateTimeFormat, FormatsWithTheLocalesNamesDesignatorsAndQuotes)
{
    const LocalDateTime afternoon{2026, 3, 7, 14, 5, 9, 6};
    const LocaleSettings us = LocaleSettings::usEnglish();
    EXPECT_EQ(FormatDateTime("M/d/yy", afternoon, us), "3/7/26");
    EXPECT_EQ(FormatDateTime("h:mm:ss AP", afternoon, us), "2:05:09 PM");
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy HH:mm:ss", afternoon, us), "07.03.2026 14:05:09");
    EXPECT_EQ(FormatDateTime("dddd, MMMM d 'o''clock' ap", afternoon, us), "Saturday, March 7 o'clock pm");

    EXPECT_EQ(FormatDateTime("h:mm AP HH", {2026, 3, 7, 0, 5, 9, 6}, us), "12:05 AM 00");

    EXPECT_EQ(FormatDateTime("dddd, MMMM d, yyyy", kAfternoon, us), "Saturday, December 5, 1998");
    EXPECT_EQ(FormatDateTime("ddd MMM dd", kAfternoon, us), "Sat Dec 05");
    EXPECT_EQ(FormatDateTime("HH:mm:ss t", kAfternoon, us), "15:04:06 ");
    EXPECT_EQ(FormatDateTime("yy", {2107, 1, 1, 0, 0, 0, 1}, us), "07"); // the year mod 100
}

TEST(DateTimeFormat, LocalTimesAgreeWithTheCLibraryAcrossZonesAndTransitions)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> anyTime(-2208988800LL, 4102444800LL); // 1900 to 2100
    for (const char* zone :
         {"UTC", "America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "Asia/Kathmandu"}) {
        setZone(zone);
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
}

TEST(DateTimeFormat, TimesBeyondTheYearsOneTo9999ShowAsTheFirstOrLastSecondOfThatRange)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const auto fields = [](std::int64_t t) {
        const LocalDateTime d = ToLocalDateTime(t);
        return std::make_tuple(d.year, d.month, d.day, d.hour, d.minute, d.second);
    };
    setZone("UTC");
    for (std::int64_t t :
         {kMax, std::int64_t{1} << 62, std::int64_t{253402300800}, std::int64_t{253402300799}})
        EXPECT_EQ(fields(t), std::make_tuple(9999, 12, 31, 23, 59, 59)) << t;
    for (std::int64_t t :
         {kMin, -(std::int64_t{1} << 62), std::int64_t{-62135596801}, std::int64_t{-62135596800}})
        EXPECT_EQ(fields(t), std::make_tuple(1, 1, 1, 0, 0, 0)) << t;
    EXPECT_EQ(fields(-62135596799), std::make_tuple(1, 1, 1, 0, 0, 1));
    // Zones far from UTC move the ends by hours, without overflow.
    for (const char* zone : {"Pacific/Kiritimati", "Etc/GMT+12"}) {
        setZone(zone);
        const int last = std::get<0>(fields(kMax)), first = std::get<0>(fields(kMin));
        EXPECT_TRUE(last == 9999 || last == 10000) << zone << " " << last;
        EXPECT_TRUE(first == 0 || first == 1) << zone << " " << first;
    }
}
