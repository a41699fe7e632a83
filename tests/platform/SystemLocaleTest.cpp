// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemLocale.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(SystemLocale, LocalesKeepTheirFormatsButNotTheTimeZone)
{
    const LocaleSettings de = localeSettingsFrom(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.shortDateFormat, "dd.MM.yy");
    EXPECT_EQ(de.longTimeFormat, "HH:mm:ss");
    EXPECT_EQ(de.thousandSeparator, ".");
    EXPECT_EQ(de.decimalSeparator, ",");
    EXPECT_EQ(de.longMonthNames[2], "März");
    // Qt's long time format ends in the zone ("h:mm:ss AP t"); a report shows the wall clock alone.
    const LocaleSettings us = localeSettingsFrom(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.longTimeFormat.find('t'), std::string::npos) << us.longTimeFormat;
    EXPECT_EQ(us.longTimeFormat.back(), 'P');
}
