// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashInfo.h"

#include <gtest/gtest.h>

namespace {

// How a record encodes a path is checked on the records the trash writes; here, what only a record
// written elsewhere can hold, and the names a clash gives.
TEST(TrashInfo, BrokenEscapesAreRefusedAndClashingNamesCountBeforeTheLastExtension)
{
    EXPECT_EQ(DecodeTrashPath("/a%2"), std::nullopt);
    EXPECT_EQ(DecodeTrashPath("/a%zz"), std::nullopt);
    EXPECT_EQ(TrashCandidateName("archive.tar.gz", 3), "archive.tar.3.gz");
    EXPECT_EQ(TrashCandidateName("README", 2), "README.2");
    EXPECT_EQ(TrashCandidateName(".profile", 2), ".profile.2");
}

} // namespace
