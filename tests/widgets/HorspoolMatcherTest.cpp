// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/HorspoolMatcher.h"

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
    // The 255-byte cut keeps whole characters: a two-byte letter across it goes entirely.
    EXPECT_EQ(HorspoolMatcher(std::string(254, 'x') + "\xc3\xa9", false).PatternLength(), 254u);
    EXPECT_EQ(HorspoolMatcher(std::string(253, 'x') + "\xc3\xa9", false).PatternLength(), 255u);
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

} // namespace
