// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TableFormat.h"

#include <gtest/gtest.h>

namespace {

struct SpecCase
{
    const char* spec;
    const char* separator;
    TAlignment alignment;
    float width;
};

TEST(TableFormat, ColumnSpecsTakeMarkerAndWidthOrFallBackToTheDefault)
{
    const float dflt = 0.75f;
    const SpecCase cases[] = {
        {"<5", ".", TAlignment::taLeftJustify, 5},
        {">1.5", ".", TAlignment::taRightJustify, 1.5f},
        {"^2", ".", TAlignment::taCenter, 2},
        {"3.25", ".", TAlignment::taLeftJustify, 3.25f},
        {"", ".", TAlignment::taLeftJustify, dflt},
        {">", ".", TAlignment::taRightJustify, dflt},
        {"^", ".", TAlignment::taCenter, dflt},
        {"<wide", ".", TAlignment::taLeftJustify, dflt},
        {">2,5", ",", TAlignment::taRightJustify, 2.5f},
        {">2.5", ",", TAlignment::taRightJustify, 2.5f},
        {">2,5", ".", TAlignment::taRightJustify, dflt},
        {"x2", ".", TAlignment::taLeftJustify, dflt},
    };
    for (const SpecCase& c : cases) {
        const TableColumn column = parseColumnSpec(c.spec, dflt, c.separator);
        EXPECT_EQ(column.alignment, c.alignment) << c.spec;
        EXPECT_FLOAT_EQ(column.width, c.width) << c.spec;
    }
}

TEST(TableFormat, RowsSplitAtEveryBar)
{
    // Formats split the same way; their columns show in the header and footer rows of the runs.
    EXPECT_EQ(splitAtBars(""), std::vector<std::string>{""});
    EXPECT_EQ(splitAtBars("a|"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitAtBars("|b||c"), (std::vector<std::string>{"", "b", "", "c"}));
}

TEST(TableFormat, DecimalsFollowTheLocaleSeparator)
{
    EXPECT_EQ(parseDecimal(" 1.5 ", "."), 1.5);
    EXPECT_EQ(parseDecimal("-2", "."), -2.0);
    EXPECT_EQ(parseDecimal("1e2", "."), 100.0);
    EXPECT_EQ(parseDecimal(".5", "."), 0.5);
    EXPECT_EQ(parseDecimal("1,5", ","), 1.5);
    EXPECT_EQ(parseDecimal("1.5", ","), std::nullopt);
    EXPECT_EQ(parseDecimal("", "."), std::nullopt);
    EXPECT_EQ(parseDecimal("1.5x", "."), std::nullopt);
    EXPECT_EQ(parseDecimal("1e", "."), std::nullopt);
    EXPECT_EQ(parseDecimal("-", "."), std::nullopt);
}

TEST(TableFormat, MacrosAreReplacedEverywhereButNeverBySelfContainingValues)
{
    const std::vector<std::pair<std::string, std::string>> macros = {{"{$PAGE}", "3"},
                                                                     {"{$TITLE}", "About {$TITLE}"}};
    EXPECT_EQ(replaceMacros("Page {$PAGE} of {$PAGE}", macros), "Page 3 of 3");
    EXPECT_EQ(replaceMacros("{$TITLE}|{$PAGE}", macros), "{$TITLE}|3");
    EXPECT_EQ(replaceMacros("{$page}", macros), "{$page}");
    // A replacement that completes a macro with the text around it is found by the next search.
    EXPECT_EQ(replaceMacros("{${$LINE}LINE}", {{"{$LINE}", ""}}), "");
}

} // namespace
