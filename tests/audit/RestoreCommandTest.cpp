// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/RestoreCommand.h"

#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

const LocalDateTime kMonday{2026, 3, 2, 9, 0, 1, 1};
const LocalDateTime kTuesday{2026, 3, 3, 9, 0, 1, 2};
const LocalDateTime kNow{2026, 3, 7, 14, 5, 9, 6};

class RestoreCommandTest : public ::testing::Test
{
protected:
    RestoreCommandTest() { tree.dir("program"); }

    // Puts a file with text in the trash, deleted at when.
    void Trashed(const std::string& relative, const std::string& text, const LocalDateTime& when)
    {
        tree.file(relative);
        std::ofstream(tree.path(relative), std::ios::binary) << text;
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
    RestoreCommand command{LocaleSettings::usEnglish(), [this] { return trash; }, [] { return kNow; }};
};

TEST_F(RestoreCommandTest, TheEntryOfThatTimeComesBackItsRecordGoesAndALineIsLogged)
{
    Trashed("docs/a.txt", "monday's", kMonday);
    Trashed("docs/a.txt", "tuesday's", kTuesday);
    const std::string odd = "docs/odd\n\xFF%\\x41.txt";
    Trashed(odd, "odd", kMonday);
    // The records go only once the files are back and on the disk.
    std::vector<std::string> steps;
    bool backFirst = false;
    trash.setStepHook([&](std::string_view step) {
        steps.emplace_back(step);
        if (step == "remove records")
            backFirst = PathExists(tree.path("docs/a.txt")) && PathExists(tree.path(odd));
    });

    // Undo Delete knows the year in full, an audit line of this locale in two digits.
    const RestoreOutcome outcome =
        Restore({{tree.path("docs/a.txt"), kTuesday}, {tree.path(odd), {26, 3, 2, 9, 0, 1}}});
    ASSERT_EQ(outcome.results.size(), 2u);
    for (const RestoreResult& result : outcome.results)
        EXPECT_EQ(result.status, RestoreStatus::Restored) << result.reason;
    EXPECT_FALSE(outcome.auditFailed);
    EXPECT_TRUE(backFirst);
    EXPECT_EQ(steps, (std::vector<std::string>{"restore", "restore", "sync restores", "remove records",
                                               "sync removals"}));
    EXPECT_EQ(ReadWholeFile(tree.path("docs/a.txt")), "tuesday's");
    EXPECT_EQ(ReadWholeFile(tree.path(odd)), "odd");
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/a.txt"), "monday's");
    EXPECT_TRUE(PathExists(homeTrash + "/info/a.txt.trashinfo"));
    EXPECT_FALSE(PathExists(homeTrash + "/info/a.2.txt.trashinfo"));
    EXPECT_EQ(Log(), "3/7/26 2:05:09 PM  " + tree.path("docs/a.txt") + " (Restored)\r\n" +
                         "3/7/26 2:05:09 PM  " + tree.path("docs/odd\\x0A\xFF%\\x5Cx41.txt") +
                         " (Restored)\r\n");
}

// The refusals the audit window shows are its test's; here, that a refusal changes nothing.
TEST_F(RestoreCommandTest, RefusalsChangeNothingAndLogNothing)
{
    Trashed("docs/d.txt", "d", kMonday);
    for (const TrashedFile& file :
         {TrashedFile{tree.path("docs/d.txt"), kTuesday}, {tree.path("never.txt"), kMonday}})
        EXPECT_EQ(Restore({file}).results.at(0).status, RestoreStatus::NotInTrash) << file.path;
    // A stop before the first file leaves it untried.
    EXPECT_EQ(Restore({{tree.path("docs/d.txt"), kMonday}}, [] { return true; }).results.at(0).status,
              RestoreStatus::NotTried);

    EXPECT_FALSE(PathExists(tree.path("docs/d.txt")));
    EXPECT_TRUE(PathExists(homeTrash + "/files/d.txt"));
    EXPECT_TRUE(PathExists(homeTrash + "/info/d.txt.trashinfo"));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
}

} // namespace
