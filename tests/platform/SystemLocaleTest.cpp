// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemLocale.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(SystemLocale, CGivesUsEnglishAndOtherLocalesKeepTheirFormatsWithoutTimeZone)
{
    const LocaleSettings c = localeSettingsFrom(QLocale::c());
    EXPECT_EQ(c.shortDateFormat, "M/d/yy");
    EXPECT_EQ(c.longTimeFormat, "h:mm:ss AP");
    EXPECT_EQ(c.amDesignator, "AM");
    EXPECT_EQ(c.pmDesignator, "PM");
    EXPECT_EQ(c.thousandSeparator, ",");
    EXPECT_EQ(c.decimalSeparator, ".");

    const LocaleSettings de = localeSettingsFrom(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.shortDateFormat, "dd.MM.yy");
    EXPECT_EQ(de.longTimeFormat, "HH:mm:ss");
    EXPECT_EQ(de.thousandSeparator, ".");
    EXPECT_EQ(de.decimalSeparator, ",");
    EXPECT_EQ(de.longMonthNames[2], "März");

    const LocaleSettings us = localeSettingsFrom(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.shortDateFormat, "M/d/yy");
    EXPECT_EQ(us.longTimeFormat.find('t'), std::string::npos) << us.longTimeFormat;
    EXPECT_EQ(us.thousandSeparator, ",");
}
