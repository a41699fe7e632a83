// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/WheelAccumulator.h"

#include <gtest/gtest.h>

namespace {

int Rows(WheelAccumulator& wheel, int angle, int pixels = 0)
{
    return wheel.Add(0, angle, 0, pixels, 8, 10).Rows;
}

TEST(WheelAccumulator, PiecesOfANotchAddUpAndADirectionChangeDropsTheRest)
{
    WheelAccumulator wheel;
    EXPECT_EQ(Rows(wheel, -120), 3) << "a notch down is three rows down";
    EXPECT_EQ(Rows(wheel, 120), -3);
    EXPECT_EQ(Rows(wheel, -30), 0);
    EXPECT_EQ(Rows(wheel, -30), 1);
    EXPECT_EQ(Rows(wheel, -60), 2);
    EXPECT_EQ(Rows(wheel, -20), 0);
    EXPECT_EQ(Rows(wheel, 30), 0) << "back up: what was left over going down is gone";
    EXPECT_EQ(Rows(wheel, 10), -1);
}

TEST(WheelAccumulator, PixelsCountByRowsAndColumnsWhereTheDeviceGivesThem)
{
    WheelAccumulator wheel;
    EXPECT_EQ(Rows(wheel, -15, -25), 2);
    EXPECT_EQ(Rows(wheel, -15, -5), 1);
    const WheelAccumulator::Steps sideways = wheel.Add(-60, 0, -20, 0, 8, 10);
    EXPECT_EQ(sideways.Columns, 2);
    EXPECT_EQ(sideways.Rows, 0);
    wheel.Clear();
    EXPECT_EQ(Rows(wheel, -39), 0);
}

} // namespace
