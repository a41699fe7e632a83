// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ThumbScale.h"
#include "widgets/WheelAccumulator.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(ThumbScale, MapsLinearlyWithExactEndsAndPositionsThatComeBack)
{
    const ThumbScale huge(499981, 16646); // 500,001 rows, 20 on screen, 30 rows a position
    EXPECT_EQ(huge.TopAt(0), 0);
    EXPECT_EQ(huge.TopAt(16646), 499981);
    EXPECT_EQ(huge.TopAt(99999), 499981) << "positions past the end are the end";
    int previous = 0;
    for (int position = 1; position <= 16646; ++position) {
        const int top = huge.TopAt(position);
        ASSERT_LE(std::abs(top - previous - 30), 1) << "no jump at position " << position;
        ASSERT_EQ(huge.PositionOf(top), position);
        previous = top;
    }
    EXPECT_EQ(huge.PositionOf(499980), 16646) << "a row maps to the nearest position";

    const ThumbScale unscaled(80, 80);
    EXPECT_EQ(unscaled.TopAt(37), 37);
    const ThumbScale empty(0, 0);
    EXPECT_EQ(empty.TopAt(5), 0);
    EXPECT_EQ(empty.PositionOf(5), 0);
}

} // namespace
