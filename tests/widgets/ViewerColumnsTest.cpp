// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ViewerColumns.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// "é" (2 bytes), "中" (3 bytes), "😀" (4 bytes), a lone continuation byte (one column as any
// character), a tab, "x".
const std::string_view kMixed = "\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\x80\tx";

TEST(ViewerColumns, ColumnsAndOffsetsMapBothWaysOnCharacterBoundaries)
{
    EXPECT_EQ(DisplayColumn(kMixed, 5, 8, true), 2);
    EXPECT_EQ(DisplayColumn(kMixed, 6, 8, true), 2) << "inside a character: its column";
    EXPECT_EQ(DisplayColumn(kMixed, 11, 8, true), 8);
    EXPECT_EQ(DisplayColumn(kMixed, 11, 8, false), 5);
    EXPECT_EQ(DisplayColumn(kMixed, 99, 8, true), 9);
    EXPECT_EQ(CharAtColumn(kMixed, 2, 8, true), 5);
    EXPECT_EQ(CharAtColumn(kMixed, 6, 8, true), 10) << "inside the tab's blanks";
    EXPECT_EQ(CharAtColumn(kMixed, 40, 8, true), 12);
    EXPECT_EQ(CharStart(kMixed, 7), 5);
    EXPECT_EQ(CharStart(kMixed, 9), 9);
    EXPECT_EQ(NextCharOffset(kMixed, 2, 1), 5);
    EXPECT_EQ(NextCharOffset(kMixed, 5, -1), 2);
    EXPECT_EQ(NextCharOffset(kMixed, 0, -1), 0);
    EXPECT_EQ(NextCharOffset(kMixed, 12, 1), 12);

    const std::string_view ascii = "a\tbc\td";
    EXPECT_EQ(DisplayColumn(ascii, 5, 8, true), 16);
    EXPECT_EQ(CharAtColumn(ascii, 9, 8, true), 3);
}

TEST(ViewerColumns, TabsAndCutsCountCharactersAndNeverSplitOne)
{
    // Four two-byte letters take four columns, so the tab reaches column 8, not 16.
    EXPECT_EQ(ExpandTabStops("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\tx", 8),
              "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9    x");
    EXPECT_EQ(PrintableLine("a\tb\x01"
                            "c",
                            8, 1024, '?'),
              "a       b?c");
    EXPECT_EQ(PrintableLine("a\tb", 8, 4, '?'), "a   ");
    EXPECT_EQ(PrintableLine("\xc3\xa9\xc3\xa9\xc3\xa9", 8, 2, '?'), "\xc3\xa9\xc3\xa9") << "two characters";
}

} // namespace
