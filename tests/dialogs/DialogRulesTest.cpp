// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DriveListRules.h"
#include "dialogs/SpinEditRange.h"

#include <gtest/gtest.h>

TEST(SpinEditRange, ReadsIntegersAndTakesAnythingElseAsTheMinimum)
{
    const SpinEditRange range{100, 20000, 100};
    const std::vector<std::pair<const char*, int>> cases = {
        {"1000", 1000}, {"50", 50},   {"99999", 99999}, {"+7", 7},  {"-5", -5}, {"abc", 100},
        {"", 100},      {"12a", 100}, {" 12", 100},     {"+", 100}, {"-", 100}, {"+-5", 100},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(range.ValueOf(text), value) << text;
}

TEST(SpinEditRange, ClampsIntoTheRangeOnFocusLossAndOnStepsButKeepsOtherText)
{
    const SpinEditRange range{100, 20000, 100};
    EXPECT_EQ(range.TextAfterFocusLoss("50"), "100");
    EXPECT_EQ(range.TextAfterFocusLoss("99999"), "20000");
    EXPECT_EQ(range.TextAfterFocusLoss("1234"), "1234");
    EXPECT_EQ(range.TextAfterFocusLoss("abc"), "abc");

    EXPECT_EQ(range.Stepped("1000", 1), 1100);
    EXPECT_EQ(range.Stepped("20000", 1), 20000);
    EXPECT_EQ(range.Stepped("150", -1), 100);
    EXPECT_EQ(range.Stepped("abc", 1), 200); // from the minimum
    EXPECT_EQ(range.Stepped("2147483647", 1), 20000);
}

TEST(DriveListRules, RootsAreSortedInByteOrderAndKeptOnce)
{
    const std::vector<std::string> roots = {"/", "/boot/", "/home/", "/home/ann/"};
    EXPECT_EQ(RootInsertPosition(roots, "/data/"), 2);
    EXPECT_EQ(RootInsertPosition(roots, "/home/"), -1);
    EXPECT_EQ(RootInsertPosition(roots, "/home-old/"), 2);     // '-' sorts before '/'
    EXPECT_EQ(RootInsertPosition(roots, "/\xc3\x84rger/"), 4); // bytes above 127 after every ASCII
    EXPECT_EQ(RootInsertPosition({}, "/"), 0);

    EXPECT_EQ(FolderRoot("/home/ann/Downloads"), "/home/ann/Downloads/");
    EXPECT_EQ(FolderRoot("/"), "/");
    EXPECT_EQ(FolderRoot("/mnt//"), "/mnt/");
}
