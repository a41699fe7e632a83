// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TableFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(TableFormat, ColumnSpecsTakeMarkerAndWidthInTheLocalesDecimalsOrFallBackToTheDefault)
{
    struct Case
    {
        const char* spec;
        const char* separator;
        TAlignment alignment;
        float width;
    };
    const auto L = TAlignment::taLeftJustify, R = TAlignment::taRightJustify, C = TAlignment::taCenter;
    const float dflt = 0.75f;
    for (const Case& c : {Case{"<5", ".", L, 5}, Case{">1.5", ".", R, 1.5f}, Case{"^", ".", C, dflt},
                          Case{"3.25", ".", L, 3.25f}, Case{"", ".", L, dflt}, Case{"<wide", ".", L, dflt},
                          Case{">2,5", ",", R, 2.5f}, Case{">2.5", ",", R, 2.5f}, Case{">2,5", ".", R, dflt},
                          Case{"x2", ".", L, dflt}}) {
        const TableColumn column = parseColumnSpec(c.spec, dflt, c.separator);
        EXPECT_EQ(column.alignment, c.alignment) << c.spec;
        EXPECT_FLOAT_EQ(column.width, c.width) << c.spec;
    }
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
