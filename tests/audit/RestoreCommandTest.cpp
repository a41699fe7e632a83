// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/RestoreCommand.h"

#include "AuditTestFiles.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

const LocalDateTime kMonday{2026, 3, 2, 9, 0, 1, 1};
const LocalDateTime kTuesday{2026, 3, 3, 9, 0, 1, 2};

class RestoreCommandTest : public ::testing::Test
{
protected:
    RestoreCommandTest() { tree.dir("program"); }

    // Puts a file with text in the trash, deleted at when.
    void Trashed(const std::string& relative, const std::string& text, const LocalDateTime& when)
    {
        WriteFile(tree, relative, text);
        ASSERT_TRUE(trash.Move(ListedFile::At(tree.path(relative)), when));
    }
    RestoreOutcome Restore(const std::vector<TrashedFile>& files, const std::function<bool()>& stop = {})
    {
        return command.Run(files, programDir, stop);
    }
    std::string Log() const { return ReadWholeFile(programDir + "audit.txt"); }

    TempTree tree;
    std::string programDir = tree.path("program/");
    std::string homeTrash = tree.path("data/Trash");
    Trash trash{homeTrash, ::getuid()};
    RestoreCommand command{LocaleSettings::usEnglish(), [this] { return trash; }, [] { return kWhen; }};
};

TEST_F(RestoreCommandTest, TheEntryOfThatTimeComesBackItsRecordGoesAndALineIsLogged)
{
    Trashed("docs/a.txt", "monday's", kMonday);
    Trashed("docs/a.txt", "tuesday's", kTuesday);
    const std::string odd = "docs/odd\n\xFF%\\x41.txt";
    Trashed(odd, "odd", kMonday);
    // The records go only once the files are back and on the disk.
    std::vector<std::string> steps;
    trash.setStepHook([&](std::string_view step) { steps.emplace_back(step); });

    // Undo Delete knows the year in full, an audit line of this locale in two digits.
    const RestoreOutcome outcome =
        Restore({{tree.path("docs/a.txt"), kTuesday}, {tree.path(odd), {26, 3, 2, 9, 0, 1}}});
    ASSERT_EQ(outcome.results.size(), 2u);
    for (const RestoreResult& result : outcome.results)
        EXPECT_EQ(result.status, RestoreStatus::Restored) << result.reason;
    EXPECT_FALSE(outcome.auditFailed);
    EXPECT_EQ(steps, (std::vector<std::string>{"restore", "restore", "sync restores", "remove records",
                                               "sync removals"}));
    EXPECT_EQ(ReadWholeFile(tree.path("docs/a.txt")), "tuesday's");
    EXPECT_EQ(ReadWholeFile(tree.path(odd)), "odd");
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/a.txt"), "monday's");
    EXPECT_EQ(Names(homeTrash + "/info"), std::set<std::string>{"a.txt.trashinfo"});
    EXPECT_EQ(Log(), "3/7/26 2:05:09 PM  " + tree.path("docs/a.txt") + " (Restored)\r\n" +
                         "3/7/26 2:05:09 PM  " + tree.path("docs/odd\\x0A\xFF%\\x5Cx41.txt") +
                         " (Restored)\r\n");

    // A log that cannot be written keeps no file in the trash, and says so.
    Trashed("docs/c.txt", "c", kMonday);
    EXPECT_TRUE(command.Run({{tree.path("docs/c.txt"), kMonday}}, tree.path("missing/")).auditFailed);
    EXPECT_TRUE(PathExists(tree.path("docs/c.txt")));
}

TEST_F(RestoreCommandTest, OfOneNameTrashedTwiceInASecondTheEntryAskedForComesBack)
{
    for (const int pick : {0, 1}) {
        const std::string relative = "twice" + std::to_string(pick) + "/a.txt";
        std::string trashed[2];
        for (const int copy : {0, 1}) {
            WriteFile(tree, relative, std::to_string(copy));
            trashed[copy] = trash.Move(ListedFile::At(tree.path(relative)), kMonday).trashedPath;
        }
        Restore({{tree.path(relative), kMonday, trashed[pick]}});
        EXPECT_EQ(ReadWholeFile(tree.path(relative)), std::to_string(pick));
    }
}

TEST_F(RestoreCommandTest, RefusalsSayWhyChangeNothingAndLogNothing)
{
    for (const char* name : {"docs/d.txt", "taken.txt", "gone/e.txt", "emptied.txt"})
        Trashed(name, name, kMonday);
    WriteFile(tree, "taken.txt", "new");
    ASSERT_EQ(::rmdir(tree.path("gone").c_str()), 0);
    tree.remove("data/Trash/files/emptied.txt");
    const std::string notInTrash =
        "it is no longer in the trash: the trash was emptied, or it was restored by another program";
    const struct
    {
        std::string path;
        LocalDateTime when;
        RestoreStatus status;
        std::string reason;
    } cases[] = {
        {tree.path("docs/d.txt"), kTuesday, RestoreStatus::NotInTrash, notInTrash},
        {tree.path("never.txt"), kMonday, RestoreStatus::NotInTrash, notInTrash},
        {tree.path("emptied.txt"), kMonday, RestoreStatus::NotInTrash, notInTrash},
        {tree.path("taken.txt"), kMonday, RestoreStatus::NameTaken,
         "another file of that name stands in its place"},
        {tree.path("gone/e.txt"), kMonday, RestoreStatus::FolderGone,
         "the folder '" + tree.path("gone") + "' no longer exists, and it is not made again"},
    };
    for (const auto& c : cases) {
        const RestoreResult result = Restore({{c.path, c.when}}).results.at(0);
        EXPECT_EQ(result.status, c.status) << c.path;
        EXPECT_EQ(result.reason, c.reason) << c.path;
    }
    // A stop before the first file leaves it untried.
    EXPECT_EQ(Restore({{tree.path("docs/d.txt"), kMonday}}, [] { return true; }).results.at(0).status,
              RestoreStatus::NotTried);

    EXPECT_FALSE(PathExists(tree.path("docs/d.txt")));
    EXPECT_EQ(ReadWholeFile(tree.path("taken.txt")), "new");
    EXPECT_FALSE(PathExists(tree.path("gone")));
    EXPECT_EQ(Names(homeTrash + "/files"), (std::set<std::string>{"d.txt", "taken.txt", "e.txt"}));
    EXPECT_EQ(Names(homeTrash + "/info").size(), 4u);
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
}

} // namespace

// Where the filesystem has no rename that refuses a taken name, a hard link does the same.
TEST_F(RestoreCommandTest, WithoutANoReplaceRenameAFileComesBackByALinkAndNeverOverAnother)
{
    Trashed("docs/a.txt", "a", kMonday);
    Trashed("docs/b.txt", "b", kMonday);
    WriteFile(tree, "docs/b.txt", "new b");
    const int code = RunInChild([&] {
        // Plain renames fail too: the file can only come back by the link.
        if (!FailCalls({SYS_renameat2, SYS_renameat, SYS_rename}, EINVAL))
            return kChildSkipped;
        const std::vector<RestoreResult> results =
            Restore({{tree.path("docs/a.txt"), kMonday}, {tree.path("docs/b.txt"), kMonday}}).results;
        EXPECT_EQ(results.at(0).status, RestoreStatus::Restored) << results[0].reason;
        EXPECT_EQ(results.at(1).status, RestoreStatus::NameTaken);
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "system calls cannot be made to fail here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadWholeFile(tree.path("docs/a.txt")), "a");
    EXPECT_EQ(ReadWholeFile(tree.path("docs/b.txt")), "new b");
    EXPECT_EQ(Names(homeTrash + "/files"), std::set<std::string>{"b.txt"});
}
