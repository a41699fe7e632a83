// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportArguments.h"

#include <gtest/gtest.h>

TEST(ReportArguments, OptionsStandAnywhereAfterTheMode)
{
    const ReportArguments a = ParseReportArguments({"size", "/home", "--mb", "3", "--mask=*.iso", "/data"});
    EXPECT_EQ(a.error, "");
    EXPECT_EQ(a.mode, ScanMode::LargerThan);
    EXPECT_EQ(a.sizeThreshold, 3 * 1048576);
    EXPECT_EQ(a.mask, "*.iso");
    EXPECT_EQ(a.roots, (std::vector<std::string>{"/home", "/data"}));

    const ReportArguments defaults = ParseReportArguments({"dupes"});
    EXPECT_EQ(defaults.mask, "*.*");
    EXPECT_EQ(defaults.sizeThreshold, 1024000);
    EXPECT_TRUE(defaults.roots.empty());

    const ReportArguments ended = ParseReportArguments({"zero", "--", "--mask", "-"});
    EXPECT_EQ(ended.roots, (std::vector<std::string>{"--mask", "-"}));
}

TEST(ReportArguments, SizesAreWholeNumbersWithoutClampingThreadsFromZeroToSixtyFour)
{
    EXPECT_EQ(ParseReportArguments({"size", "--kb", "0"}).sizeThreshold, 0);
    EXPECT_EQ(ParseReportArguments({"size", "--kb", "4194304"}).sizeThreshold, 4294967296LL);
    EXPECT_EQ(ParseReportArguments({"size", "--mb", "8796093022207"}).sizeThreshold,
              8796093022207LL * 1048576);
    EXPECT_EQ(ParseReportArguments({"zero", "--threads", "0"}).threads, 0u);
    EXPECT_EQ(ParseReportArguments({"zero", "--threads=64", "/"}).threads, 64u);
}

TEST(ReportArguments, FormatAndVersion)
{
    EXPECT_EQ(ParseReportArguments({"dupes"}).format, ReportFormat::Text);
    EXPECT_EQ(ParseReportArguments({"dupes", "--format", "csv", "/"}).format, ReportFormat::Csv);
    EXPECT_EQ(ParseReportArguments({"zero", "--format=csv", "--format", "json"}).format, ReportFormat::Json);

    EXPECT_TRUE(ParseReportArguments({"--version"}).version);
    EXPECT_TRUE(ParseReportArguments({"size", "/", "--version"}).version);
    EXPECT_FALSE(ParseReportArguments({"size", "--", "--version"}).version);
}

TEST(ReportArguments, MalformedCommandLinesAreRefused)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"everything", "/"},
        {"size", "--frobnicate", "/"},
        {"size", "--kb"},
        {"size", "--kb", ""},
        {"size", "--kb", "-1"},
        {"size", "--kb", "+5"},
        {"size", "--kb", "1.5"},
        {"size", "--mb", "8796093022208"}, // past 64 bits
        {"size", "--mb=1", "--kb=1"},
        {"dupes", "--kb", "5"},
        {"zero", "/", "--mb=1"},
        {"zero", "--format", "JSON"},
        {"zero", "--threads", "65"},
        {"zero", "--threads", "two"},
    };
    for (const std::vector<std::string>& args : cases) {
        std::string shown;
        for (const std::string& arg : args)
            shown += arg + " ";
        EXPECT_NE(ParseReportArguments(args).error, "") << shown;
    }
}
