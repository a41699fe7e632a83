// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashRun.h"
#include "audit/AuditLog.h"
#include "audit/RestoreCommand.h"
#include "audit/RunSummaries.h"
#include "audit/TrashInfo.h"

#include "AuditTestFiles.h"
#include "ChildProcess.h"
#include "SpareDescriptors.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

class TrashRunTest : public ::testing::Test
{
protected:
    TrashRunTest() { tree.dir("program"); }

    // Files of the tree as a report listed them, rows 0, 1, ... in order; each holds its own path.
    std::vector<TrashRunFile> Listed(const std::vector<std::string>& relatives)
    {
        std::vector<TrashRunFile> files;
        for (const std::string& relative : relatives) {
            WriteFile(tree, relative, tree.path(relative));
            files.push_back({static_cast<int>(files.size()), ListedNow(tree, relative)});
        }
        return files;
    }
    std::vector<std::string> Log(const std::string& folder) const { return LogLines(folder + "audit.txt"); }
    // The audit lines of the tree's files.
    std::vector<std::string> Lines(const std::vector<std::string>& relatives) const
    {
        std::vector<std::string> lines;
        for (const std::string& relative : relatives)
            lines.push_back(AuditLine(kWhen, tree.path(relative), LocaleSettings::usEnglish()));
        return lines;
    }
    std::string Text(const TrashRunSummary& summary) const
    {
        return TrashRunText(summary, LocaleSettings::usEnglish());
    }

    TempTree tree;
    std::string programDir = tree.path("program/");
    std::string homeTrash = tree.path("data/Trash");
    Trash trash{homeTrash, ::getuid()};
    TrashRun run{LocaleSettings::usEnglish(), [this] { return trash; }, [] { return kWhen; }};
};

TEST_F(TrashRunTest, EveryMovedFileIsLoggedBeforeItsRowIsMarkableAndEveryOtherSaysWhy)
{
    const std::vector<TrashRunFile> files = Listed({"a/1.txt", "a/2.txt", "a/3.txt", "b/4.txt", "b/5.txt"});
    // Between the report and the Delete one goes and one is rewritten.
    tree.remove("a/2.txt");
    WriteFile(tree, "a/3.txt", "rewritten");

    // Each step with the number of audit lines on the disk at that moment; groups of two files, so that
    // one flush covers the moves of the first group and the record of the second.
    run.setMaxGroup(2);
    std::vector<std::string> events;
    trash.setStepHook([&](std::string_view step) {
        events.push_back(std::string(step) + " " + std::to_string(Log(programDir).size()));
    });
    const TrashRunSummary summary = run.Run(files, programDir, {}, [&](const TrashRunProgress& progress) {
        std::string rows;
        for (const int row : progress.markable)
            rows += std::to_string(row) + " ";
        events.push_back("markable " + rows + std::to_string(Log(programDir).size()) + " of " +
                         std::to_string(progress.done));
    });

    EXPECT_EQ(events, (std::vector<std::string>{"sync 0", "rename 0", "rename 0", "sync 0", "rename 0",
                                                "markable 0 3 2 of 4", "sync 2", "markable 4 3 of 5"}));
    EXPECT_EQ(Log(programDir), Lines({"a/1.txt", "b/4.txt", "b/5.txt"}));
    EXPECT_EQ(summary.bytes, static_cast<std::int64_t>(tree.path("a/1.txt").size() * 3));
    ASSERT_EQ(summary.trashed.size(), 3u);
    EXPECT_EQ(summary.trashed[1].row, 3);
    EXPECT_EQ(summary.trashed[1].file.path, tree.path("b/4.txt"));
    EXPECT_EQ(Text(summary), "3 files moved to the trash.\n2 files could not be moved; the details say why.");
    EXPECT_EQ(TrashRunDetails(summary), tree.path("a/2.txt") + ": the file no longer exists\n" +
                                            tree.path("a/3.txt") + ": it changed since the report\n");
    EXPECT_EQ(summary.failures.at(1).row, 2);
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/4.txt"), tree.path("b/4.txt"));
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(homeTrash + "/info/1.txt.trashinfo"))->path, tree.path("a/1.txt"));
    EXPECT_EQ(Names(homeTrash + "/info").size(), 3u);
}

// A group holds its folders open until the group after it is logged, a restore run until it is
// flushed: with few descriptors left, groups and runs take fewer folders instead of failing files.
TEST_F(TrashRunTest, FewDescriptorsMakeSmallerGroupsAndRunsNotFailures)
{
    std::vector<std::string> relatives;
    for (int i = 0; i < 40; ++i)
        relatives.push_back("f" + std::to_string(i % 20) + "/" + std::to_string(i) + ".txt");
    const std::vector<TrashRunFile> files = Listed(relatives);
    const int code = RunInChild([&] {
        const SpareDescriptors limit(16);
        const TrashRunSummary summary = run.Run(files, programDir, {}, {});
        EXPECT_EQ(TrashRunDetails(summary), "");
        EXPECT_EQ(summary.moved, 40u);
        std::vector<TrashedFile> back;
        for (const TrashedRow& trashed : summary.trashed)
            back.push_back(trashed.file);
        const RestoreCommand restore(
            LocaleSettings::usEnglish(), [this] { return trash; }, [] { return kWhen; });
        for (const RestoreResult& result : restore.Run(back, programDir, {}).results)
            EXPECT_EQ(result.status, RestoreStatus::Restored) << result.reason;
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Names(homeTrash + "/files").size(), 0u);
}

TEST_F(TrashRunTest, AStopEndsTheRunOnceTheFilesAlreadyRecordedAreMovedAndLogged)
{
    // Asked before each file: the stop comes while the third waits.
    int asked = 0;
    const TrashRunSummary summary = run.Run(Listed({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}), programDir,
                                            [&] { return ++asked >= 3; });
    EXPECT_EQ(Text(summary), "2 files moved to the trash.\nStopped.\n3 files not tried.");
    EXPECT_EQ(Log(programDir), Lines({"1.txt", "2.txt"}));
    for (const char* name : {"3.txt", "4.txt", "5.txt"})
        EXPECT_TRUE(PathExists(tree.path(name))) << name;
    EXPECT_EQ(Names(homeTrash + "/info").size(), 2u);
}

TEST_F(TrashRunTest, AFullDiskHaltsTheRunAfterTheFilesRecordedBefore)
{
    tree.dir("stick");
    const int code = RunInChild([&] {
        if (!EnterPrivateMounts() || !MountTmpfs(tree.path("stick"), "size=64k"))
            return kChildSkipped;
        const std::vector<TrashRunFile> files =
            Listed({"stick/1.txt", "stick/2.txt", "stick/3.txt", "stick/4.txt"});
        // Room for two records: the third cannot be recorded, and the run stops there.
        const std::string filler = tree.path("stick/filler"), page(4096, 'x');
        for (std::ofstream out(filler, std::ios::binary); out.write(page.data(), 4096) && out.flush();) {
        }
        EXPECT_EQ(::truncate(filler.c_str(), std::filesystem::file_size(filler) / 4096 * 4096 - 2 * 4096), 0);
        const TrashRunSummary summary = run.Run(files, programDir);
        EXPECT_EQ(Text(summary),
                  "2 files moved to the trash.\n1 file could not be moved; the details say why.\n"
                  "Stopped early: there is no room left to record '" +
                      tree.path("stick/3.txt") + "'.\n1 file not tried.");
        EXPECT_NE(TrashRunDetails(summary).find("(No space left on device)"), std::string::npos);
        EXPECT_EQ(Log(programDir), Lines({"stick/1.txt", "stick/2.txt"}));
        EXPECT_TRUE(PathExists(tree.path("stick/3.txt")) && PathExists(tree.path("stick/4.txt")));
        EXPECT_EQ(Names(tree.path("stick/.Trash-" + std::to_string(::getuid()) + "/info")),
                  (std::set<std::string>{"1.txt.trashinfo", "2.txt.trashinfo"}));
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    EXPECT_EQ(code, 0);
}

TEST_F(TrashRunTest, MovesWhoseLinesOrRecordsCannotBeWrittenAreTakenBack)
{
    // A log that cannot be written: the moves go back, never over a file that took a place meanwhile,
    // and no line stands for them.
    const std::string missing = tree.path("missing/");
    int syncs = 0;
    trash.setStepHook([&](std::string_view step) {
        if (step == "sync" && ++syncs == 2)
            WriteFile(tree, "a/1.txt", "new");
    });
    const TrashRunSummary back = run.Run(Listed({"a/1.txt", "a/2.txt"}), missing);
    EXPECT_EQ(Text(back), "0 files moved to the trash.\n2 files could not be moved; the details say why.\n"
                          "Stopped early: the audit log in '" +
                              missing + "' cannot be written.");
    EXPECT_EQ(TrashRunDetails(back),
              tree.path("a/1.txt") + ": its audit line cannot be written, and it stays in the trash as '" +
                  homeTrash + "/files/1.txt' (File exists)\n" + tree.path("a/2.txt") +
                  ": its audit line cannot be written, so it was put back\n");
    EXPECT_EQ(ReadWholeFile(tree.path("a/1.txt")), "new");
    EXPECT_EQ(ReadWholeFile(tree.path("a/2.txt")), tree.path("a/2.txt"));
    EXPECT_EQ(Names(homeTrash + "/info"), (std::set<std::string>{"1.txt.trashinfo"}));

    // A disk that cannot flush: the file stays, and neither its record nor a line is left.
    trash.setStepHook({});
    const int code = RunInChild([&] {
        if (!FailCalls({SYS_syncfs}, EIO))
            return kChildSkipped;
        const TrashRunSummary unflushed = run.Run(Listed({"b/1.txt"}), programDir);
        EXPECT_EQ(TrashRunDetails(unflushed), tree.path("b/1.txt") + ": its record cannot be written in '" +
                                                  homeTrash + "/info' (Input/output error)\n");
        EXPECT_EQ(unflushed.moved, 0u);
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "system calls cannot be made to fail here";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(PathExists(tree.path("b/1.txt")));
    EXPECT_EQ(Names(homeTrash + "/info"), (std::set<std::string>{"1.txt.trashinfo"}));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
}

} // namespace
