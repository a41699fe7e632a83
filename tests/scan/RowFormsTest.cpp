// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/RowForms.h"
#include "scan/DrivesSummary.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

const LocalDateTime kAfternoon{1998, 12, 5, 15, 4, 6, 6};
const LocalDateTime kMidnight{2001, 1, 2, 0, 0, 0, 2};

} // namespace

TEST(RowForms, TimesAndSizesFollowTheLocale)
{
    const LocaleSettings us = LocaleSettings::usEnglish();
    const LocaleSettings de = GermanLocale();
    LocaleSettings french = us;
    french.thousandSeparator = "\xE2\x80\xAF"; // narrow no-break space, three bytes
    const std::pair<std::string, std::string> texts[] = {
        {TimeText({2005, 3, 7, 0, 0, 1, 1}, us), "3/7/05 12:00:01 AM"},
        {TimeText({2005, 3, 7, 12, 30, 0, 1}, us), "3/7/05 12:30:00 PM"},
        {TimeText(kMidnight, us), "1/2/01"}, // midnight: the date alone
        {TimeText(kAfternoon, de), "05.12.98 15:04:06"},
        {SizeText(999, us), "999"},
        {SizeText(1000, us), "1,000"},
        {SizeText(-1234567, us), "-1,234,567"},
        {SizeText(INT64_MIN, us), "-9,223,372,036,854,775,808"},
        {SizeText(1234567, de), "1.234.567"},
        {SizeText(12345, french), "12\xE2\x80\xAF"
                                  "345"},
        {ByteSizeText(1023, us), "1,023 bytes"},
        {ByteSizeText(1024, us), "1.0 KB"},
        {ByteSizeText(1048575, us), "1.0 MB"}, // not 1,024.0 KB
        {ByteSizeText(1288490189, de), "1,2 GB"},
        {ByteSizeText(INT64_MAX, us), "8,388,608.0 TB"},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(text, expected);
}

TEST(RowForms, RowsPutThePathInColumnForty)
{
    // The plain rows of each form: see ResultTableTest. A size wider than its field is written whole;
    // the path moves right.
    const LocaleSettings us = LocaleSettings::usEnglish();
    EXPECT_EQ(StandardRow(kMidnight, 1000000000000LL, "/big", us),
              "1/2/01                1,000,000,000,000  /big");

    // The content class column: the path moves to column 47 in every row, classed or not, and the
    // header's captions stand one column right of their fields, as "Size" and "Pathname" do.
    const std::string classed = StandardRow(kAfternoon, 1234567, "/p", us, "=12");
    EXPECT_EQ(classed, "12/5/98 3:04:06 PM    1,234,567        =12    /p");
    EXPECT_EQ(StandardRow(kAfternoon, 1, "/p", us, "").rfind('/'), classed.rfind('/'));
    EXPECT_EQ(kContentListHeader.find("Copy"), classed.find('=') + 1);
    EXPECT_EQ(kContentListHeader.find("Pathname"), classed.rfind('/') + 1);

    // A time text longer than 20 characters is cut at 20 characters, not bytes.
    LocaleSettings longTime = us;
    longTime.longTimeFormat = "h:mm:ss AP '\xC3\xA9xtra text'";
    EXPECT_EQ(StandardRow(kAfternoon, 1, "/p", longTime).substr(0, 23), "12/5/98 3:04:06 PM \xC3\xA9  ");
}

TEST(DrivesSummary, ListsNineThenMore)
{
    EXPECT_EQ(DrivesSummary({}, SummaryStyle::StartUp), "");
    EXPECT_EQ(DrivesSummary({"/", "/boot/", "/home/"}, SummaryStyle::StartUp), "/ /boot /home");

    std::vector<std::string> roots;
    for (char c = 'a'; c <= 'i'; ++c)
        roots.push_back(std::string("/mnt/") + c + "/");
    const std::string nine = "/mnt/a /mnt/b /mnt/c /mnt/d /mnt/e /mnt/f /mnt/g /mnt/h /mnt/i";
    EXPECT_EQ(DrivesSummary(roots, SummaryStyle::StartUp), nine);
    roots.push_back("/mnt/j/");
    EXPECT_EQ(DrivesSummary(roots, SummaryStyle::StartUp), nine + "  {more}");
    roots.push_back("/mnt/k/");
    EXPECT_EQ(DrivesSummary(roots, SummaryStyle::DrivesCommand), nine + " {more}");
}
