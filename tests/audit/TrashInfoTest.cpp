// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashInfo.h"

#include <gtest/gtest.h>

namespace {

// What other trash clients read: every byte but the unreserved ones and "/" as "%" and two hex digits.
TEST(TrashInfo, PathsArePercentEncodedByteByByteAndDecodeBack)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/tmp/<b>x</b>.txt", "/tmp/%3Cb%3Ex%3C/b%3E.txt"},
        {"/tmp/caf\xC3\xA9~_-.log", "/tmp/caf%C3%A9~_-.log"},
        {"rel/bad\xFF\n=&#", "rel/bad%FF%0A%3D%26%23"},
    };
    for (const auto& [path, encoded] : cases) {
        EXPECT_EQ(EncodeTrashPath(path), encoded) << path;
        EXPECT_EQ(DecodeTrashPath(encoded), path) << encoded;
    }
    EXPECT_EQ(DecodeTrashPath("/a%2"), std::nullopt);
    EXPECT_EQ(DecodeTrashPath("/a%zz"), std::nullopt);
}

TEST(TrashInfo, CandidateNamesCountBeforeTheLastExtension)
{
    EXPECT_EQ(TrashCandidateName("archive.tar.gz", 3), "archive.tar.3.gz");
    EXPECT_EQ(TrashCandidateName("README", 2), "README.2");
    EXPECT_EQ(TrashCandidateName(".profile", 2), ".profile.2");
}

} // namespace
