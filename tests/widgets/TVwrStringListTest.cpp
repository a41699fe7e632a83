// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TVwrStringList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TVwrStringList, LookupsInAnyOrderFindTheRightLine)
{
    TVwrStringList list;
    for (int i = 0; i < 1000; ++i)
        list.Append("line " + std::to_string(i));
    ASSERT_EQ(list.Count(), 1000);
    // Jumps in both directions, neighbours of the cache, the ends and outside the range.
    for (int index : {500, 501, 500, 499, 0, 999, 3, 998, 250, 750, 751, 10, 990}) {
        EXPECT_EQ(list.Line(index), "line " + std::to_string(index));
    }
    EXPECT_EQ(list.Node(-1), nullptr);
    EXPECT_EQ(list.Node(1000), nullptr);
    EXPECT_EQ(list.Line(1000), "");
    EXPECT_EQ(list.Node(7)->Chars()[list.Node(7)->Length], '\0');
}

TEST(TVwrStringList, LongLinesAndClearing)
{
    TVwrStringList list;
    list.Append(std::string(3'000'000, 'x')); // larger than one block
    list.Append("");
    list.Append(std::string(70000, 'y'));
    EXPECT_EQ(list.Line(0).size(), 65535u);
    EXPECT_EQ(list.Line(1), "");
    EXPECT_EQ(list.Line(2).size(), 65535u);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Node(0), nullptr);
    list.Append("again");
    EXPECT_EQ(list.Line(0), "again");
}

} // namespace
