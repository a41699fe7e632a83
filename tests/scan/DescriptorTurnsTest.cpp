// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DescriptorTurns.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

// On its turn an open finds no descriptor only when something outside the walk holds one: for a
// moment (the runtime), or for good (a limit too low for the walk). The first is waited out, the
// second costs a bounded wait and says why.
TEST(DescriptorTurns, AnOpenShortOfADescriptorOnItsTurnIsTriedAgainForAMomentOnly)
{
    DescriptorTurns turns;
    turns.hold();
    int calls = 0;
    const auto busyFor = [&](int failures) {
        return [&calls, failures] {
            errno = EMFILE;
            return ++calls > failures ? 7 : -1;
        };
    };
    EXPECT_EQ(turns.takeTurn(busyFor(3)), 7);
    EXPECT_EQ(calls, 4);
    // Each turn waits less than the one before, down to none once the waits are spent.
    for (int turn = 0, before = 1'000'000; calls != 1; ++turn) {
        ASSERT_LT(turn, 20);
        calls = 0;
        EXPECT_EQ(turns.takeTurn(busyFor(1'000'000)), -1);
        EXPECT_EQ(errno, EMFILE);
        EXPECT_LE(calls, before) << "turn " << turn;
        before = calls;
    }
    turns.release();
}

} // namespace
