// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/HorspoolMatcher.h"
#include "widgets/ViewerColumns.h"

#include <gtest/gtest.h>

namespace {

constexpr auto npos = HorspoolMatcher::npos;

TEST(HorspoolMatcher, ForwardFindsTheFirstWholeMatchFromAnOffset)
{
    const HorspoolMatcher error("error", false);
    EXPECT_EQ(error.FindForward("an ERROR and an Error", 0), 3u);
    EXPECT_EQ(error.FindForward("an ERROR and an Error", 4), 16u);
    EXPECT_EQ(error.FindForward("an ERROR and an Error", 17), npos);
    EXPECT_EQ(error.FindForward("erro", 0), npos);
    EXPECT_EQ(error.FindForward("error", 6), npos) << "an offset past the end";

    const HorspoolMatcher exact("Error", true);
    EXPECT_EQ(exact.FindForward("an ERROR and an Error", 0), 16u);
    // Only a-z fold: bytes of UTF-8 sequences match only themselves.
    EXPECT_EQ(HorspoolMatcher("\xc3\xa9", false).FindForward("caf\xc3\x89 caf\xc3\xa9", 0), 9u);
    // Repeated characters in the pattern exercise the shift table's "last occurrence wins".
    EXPECT_EQ(HorspoolMatcher("abab", false).FindForward("aabababb", 0), 1u);
    EXPECT_TRUE(HorspoolMatcher("", false).IsEmpty());
    EXPECT_EQ(HorspoolMatcher(std::string(300, 'x'), false).PatternLength(), 255u);
}

TEST(HorspoolMatcher, BackwardFindsTheLastMatchEndingAtTheLimit)
{
    const HorspoolMatcher abc("abc", false);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 10), 6u);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 13), 10u);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 8), 3u);
    EXPECT_EQ(abc.FindBackward("abcabcabc_abc", 2), npos);
    EXPECT_EQ(HorspoolMatcher("aa", false).FindBackward("aaaa", 4), 2u) << "overlapping matches count";
}

TEST(ViewerColumns, TabsAdvanceToTheNextMultipleOfTheTabSize)
{
    const std::string_view line = "a\tbc\td";
    EXPECT_EQ(ExpandTabStops(line, 8), "a       bc      d");
    EXPECT_EQ(DisplayColumn(line, 2, 8, true), 8);
    EXPECT_EQ(DisplayColumn(line, 5, 8, true), 16);
    EXPECT_EQ(DisplayColumn(line, 5, 8, false), 5);
    EXPECT_EQ(DisplayColumn(line, 99, 8, true), 17);
    EXPECT_EQ(CharAtColumn(line, 4, 8, true), 1) << "inside the tab's blanks";
    EXPECT_EQ(CharAtColumn(line, 9, 8, true), 3);
    EXPECT_EQ(CharAtColumn(line, 40, 8, true), 6);
    EXPECT_EQ(CharAtColumn(line, 4, 8, false), 4);
}

} // namespace
