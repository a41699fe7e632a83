// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/RowMarks.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Every step is compared with a plain model: ranges that begin and end on either side of word edges,
// ranges partly outside the rows, unmarking past the highest mark.
TEST(RowMarks, AgreesWithAPlainModelOverRandomRanges)
{
    constexpr int kRows = 300;
    const int edges[] = {-3, 0, 1, 62, 63, 64, 65, 127, 128, 191, 192, 255, 256, 299, 300};
    std::mt19937 random(7);
    const auto pick = [&] {
        const int edge = edges[random() % std::size(edges)];
        return random() % 2 ? edge : static_cast<int>(random() % (kRows + 4)) - 2;
    };
    RowMarks marks;
    marks.Reset(kRows);
    std::vector<bool> model(kRows);
    for (int step = 0; step < 3000; ++step) {
        const int first = pick();
        const int last = pick();
        const bool marked = random() % 3 != 0;
        bool changed = false;
        for (int r = std::max(first, 0); r <= std::min(last, kRows - 1); ++r) {
            changed = changed || model[r] != marked;
            model[r] = marked;
        }
        ASSERT_EQ(marks.SetRange(first, last, marked), changed) << step;

        std::vector<int> expected;
        for (int r = 0; r < kRows; ++r)
            if (model[r])
                expected.push_back(r);
        std::vector<int> listed;
        for (int r = marks.NextMarked(0); r >= 0; r = marks.NextMarked(r + 1))
            listed.push_back(r);
        ASSERT_EQ(listed, expected) << step;
        ASSERT_EQ(marks.Count(), static_cast<int>(expected.size())) << step;
        for (int r = -1; r <= kRows; ++r)
            ASSERT_EQ(marks.IsMarked(r), r >= 0 && r < kRows && model[r]) << step << " row " << r;
    }
    marks.Reset(10);
    EXPECT_EQ(marks.Count(), 0);
    EXPECT_EQ(marks.NextMarked(0), -1);
    EXPECT_FALSE(marks.Set(10, true)) << "past the rows";
}

} // namespace
