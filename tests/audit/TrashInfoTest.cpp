// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(TrashInfo, PathsArePercentEncodedByteByByteAndDecodeBack)
{
    const struct
    {
        std::string path;
        std::string encoded;
    } cases[] = {
        {"/home/ann/notes.txt", "/home/ann/notes.txt"},
        {"/home/ann/a b%c.txt", "/home/ann/a%20b%25c.txt"},
        {"/tmp/<b>x</b>.txt", "/tmp/%3Cb%3Ex%3C/b%3E.txt"},
        {"/tmp/caf\xC3\xA9~_-.log", "/tmp/caf%C3%A9~_-.log"},
        {"/tmp/bad\xFF\n", "/tmp/bad%FF%0A"},
        {"rel/a=b&c#d", "rel/a%3Db%26c%23d"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeTrashPath(c.path), c.encoded) << c.path;
        EXPECT_EQ(DecodeTrashPath(c.encoded), c.path) << c.encoded;
    }
    EXPECT_EQ(DecodeTrashPath("/a%2"), std::nullopt);
    EXPECT_EQ(DecodeTrashPath("/a%zz"), std::nullopt);
    EXPECT_EQ(DecodeTrashPath("/a%2f"), "/a/");
}

TEST(TrashInfo, RecordsOfOtherProgramsAreRead)
{
    // Comments, CR LF, other groups, blanks around the equals sign.
    EXPECT_EQ(
        ParseTrashInfo(
            "# kept\r\n[Other]\r\nPath=/not/this\r\n[Trash Info]\r\nDeletionDate = 2020-01-02T03:04:05\r\n"
            "Path = sub/dir/x%20y\r\nPath=/second\r\n"),
        (TrashInfo{"sub/dir/x y", "2020-01-02T03:04:05"}));
    EXPECT_EQ(ParseTrashInfo("Path=/no/group\n"), std::nullopt);
    EXPECT_EQ(ParseTrashInfo("[Trash Info]\nDeletionDate=2020-01-02T03:04:05\n"), std::nullopt);
    EXPECT_EQ(ParseTrashInfo("[Trash Info]\nPath=/broken%4\n"), std::nullopt);
}

TEST(TrashInfo, CandidateNamesCountBeforeTheExtension)
{
    EXPECT_EQ(TrashCandidateName("notes.txt", 1), "notes.txt");
    EXPECT_EQ(TrashCandidateName("notes.txt", 2), "notes.2.txt");
    EXPECT_EQ(TrashCandidateName("archive.tar.gz", 3), "archive.tar.3.gz");
    EXPECT_EQ(TrashCandidateName("README", 2), "README.2");
    EXPECT_EQ(TrashCandidateName(".profile", 2), ".profile.2");
}

} // namespace
