// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/TrashRun.h"
#include "audit/AuditLog.h"
#include "audit/RunSummaries.h"
#include "audit/TrashInfo.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const LocalDateTime kWhen{2026, 3, 7, 14, 5, 9, 6};

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename());
    return names;
}

class TrashRunTest : public ::testing::Test
{
protected:
    TrashRunTest() { tree.dir("program"); }

    // Files as a report listed them, rows 0, 1, ... in order; each holds its own path.
    std::vector<TrashRunFile> Listed(const std::vector<std::string>& paths)
    {
        std::vector<TrashRunFile> files;
        for (const std::string& path : paths) {
            std::filesystem::create_directories(FolderOf(path));
            std::ofstream(path, std::ios::binary) << path;
            ListedFile file = ListedFile::At(path);
            struct stat st = {};
            ::stat(path.c_str(), &st);
            file.size = st.st_size;
            file.time = st.st_mtime;
            files.push_back({static_cast<int>(files.size()), file});
        }
        return files;
    }
    std::vector<std::string> LogLines(const std::string& folder) const
    {
        std::vector<std::string> lines;
        const std::string log = ReadWholeFile(folder + "audit.txt");
        for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(log.substr(start, end - start));
        return lines;
    }
    std::string Line(const std::string& path) const
    {
        return AuditLine(kWhen, path, LocaleSettings::usEnglish());
    }
    static std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

    TempTree tree;
    std::string programDir = tree.path("program/");
    std::string homeTrash = tree.path("data/Trash");
    Trash trash{homeTrash, ::getuid()};
    TrashRun run{LocaleSettings::usEnglish(), [this] { return trash; }, [] { return kWhen; }};
};

TEST_F(TrashRunTest, EveryMovedFileIsLoggedBeforeItsRowIsMarkableAndEveryOtherSaysWhy)
{
    const std::vector<TrashRunFile> files =
        Listed({tree.path("a/1.txt"), tree.path("a/2.txt"), tree.path("a/3.txt"), tree.path("a/4.txt"),
                tree.path("b/5.txt"), tree.path("b/6.txt"), tree.path("b/7.txt")});
    // Between the report and the Delete: one goes, one becomes a link, one a FIFO, one is rewritten.
    tree.remove("a/2.txt");
    tree.remove("a/3.txt");
    tree.symlink("a/3.txt", tree.path("a/1.txt"));
    tree.remove("a/4.txt");
    tree.fifo("a/4.txt");
    std::ofstream(tree.path("b/5.txt"), std::ios::binary) << "rewritten";

    // Each step with the number of audit lines on the disk at that moment; groups of two files, so that
    // one flush covers the moves of the first group and the record of the second.
    run.setMaxGroup(2);
    std::vector<std::string> events;
    trash.setStepHook([&](std::string_view step) {
        events.push_back(std::string(step) + " " + std::to_string(LogLines(programDir).size()));
    });
    const TrashRunSummary summary = run.Run(files, programDir, {}, [&](const TrashRunProgress& progress) {
        std::string rows;
        for (const int row : progress.markable)
            rows += std::to_string(row) + " ";
        events.push_back("markable " + rows + std::to_string(LogLines(programDir).size()) + " of " +
                         std::to_string(progress.done));
    });

    EXPECT_EQ(events, (std::vector<std::string>{"sync 0", "rename 0", "rename 0", "sync 0", "rename 0",
                                                "markable 0 5 2 of 6", "sync 2", "markable 6 3 of 7"}));
    EXPECT_EQ(LogLines(programDir),
              (std::vector<std::string>{Line(tree.path("a/1.txt")), Line(tree.path("b/6.txt")),
                                        Line(tree.path("b/7.txt"))}));
    EXPECT_EQ(summary.moved, 3u);
    EXPECT_EQ(summary.bytes, static_cast<std::int64_t>(tree.path("a/1.txt").size() * 3));
    ASSERT_EQ(summary.trashed.size(), 3u);
    EXPECT_EQ(summary.trashed[1].row, 5);
    EXPECT_EQ(summary.trashed[1].file.path, tree.path("b/6.txt"));
    // What the box at the end shows.
    EXPECT_EQ(TrashRunText(summary, LocaleSettings::usEnglish()),
              "3 files moved to the trash.\n4 files could not be moved; the details say why.");
    EXPECT_EQ(TrashRunDetails(summary), tree.path("a/2.txt") + ": the file no longer exists\n" +
                                            tree.path("a/3.txt") + ": it is no longer a regular file\n" +
                                            tree.path("a/4.txt") + ": it is no longer a regular file\n" +
                                            tree.path("b/5.txt") + ": it changed since the report\n");
    EXPECT_EQ(summary.failures.at(3).row, 4);
    EXPECT_EQ(ReadWholeFile(homeTrash + "/files/6.txt"), tree.path("b/6.txt"));
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(homeTrash + "/info/1.txt.trashinfo"))->path, tree.path("a/1.txt"));
    EXPECT_EQ(Names(homeTrash + "/info").size(), 3u);
}

TEST_F(TrashRunTest, AStopEndsTheRunOnceTheFilesAlreadyRecordedAreMovedAndLogged)
{
    const std::vector<TrashRunFile> files = Listed(
        {tree.path("1.txt"), tree.path("2.txt"), tree.path("3.txt"), tree.path("4.txt"), tree.path("5.txt")});
    // Asked before each file: the stop comes while the third waits.
    int asked = 0;
    const TrashRunSummary summary = run.Run(files, programDir, [&] { return ++asked >= 3; });
    EXPECT_EQ(TrashRunText(summary, LocaleSettings::usEnglish()),
              "2 files moved to the trash.\nStopped.\n3 files not tried.");
    EXPECT_EQ(LogLines(programDir),
              (std::vector<std::string>{Line(tree.path("1.txt")), Line(tree.path("2.txt"))}));
    for (const char* name : {"3.txt", "4.txt", "5.txt"})
        EXPECT_TRUE(PathExists(tree.path(name))) << name;
    EXPECT_EQ(Names(homeTrash + "/info").size(), 2u);
}

TEST_F(TrashRunTest, AFullDiskHaltsTheRunAndALogThatCannotBeWrittenTakesTheMovesBack)
{
    for (const char* mount : {"stick", "readonly", "full"})
        tree.dir(mount);
    const int code = RunInChild([&] {
        if (!EnterPrivateMounts() || !MountTmpfs(tree.path("stick"), "size=64k") ||
            !MountTmpfs(tree.path("readonly"), "size=64k") || !MountTmpfs(tree.path("full"), "size=16k"))
            return kChildSkipped;
        // A filesystem whose trash cannot be made fails its files, and the run goes on.
        std::vector<TrashRunFile> files = Listed({tree.path("readonly/x.txt")});
        EXPECT_TRUE(RemountReadOnly(tree.path("readonly")));
        for (const TrashRunFile& file : Listed({tree.path("stick/1.txt"), tree.path("stick/2.txt"),
                                                tree.path("stick/3.txt"), tree.path("stick/4.txt")}))
            files.push_back({static_cast<int>(files.size()), file.file});
        // Room for two records: the third cannot be recorded, and the run stops there.
        const auto fill = [&](const std::string& filler, off_t room) {
            std::ofstream out(filler, std::ios::binary);
            const std::string page(4096, 'x');
            while (out.write(page.data(), page.size()) && out.flush()) {
            }
            out.close();
            EXPECT_EQ(::truncate(filler.c_str(), std::filesystem::file_size(filler) / 4096 * 4096 - room), 0);
        };
        fill(tree.path("stick/filler"), 2 * 4096);
        const TrashRunSummary summary = run.Run(files, programDir);
        EXPECT_EQ(
            TrashRunText(summary, LocaleSettings::usEnglish()),
            "2 files moved to the trash.\n2 files could not be moved; the details say why.\nStopped early: "
            "there is no room left to record '" +
                tree.path("stick/3.txt") + "'.\n1 file not tried.");
        if (summary.failures.size() != 2u)
            return 1;
        EXPECT_EQ(summary.failures[0].reason, "its filesystem has no trash folder, and '" +
                                                  tree.path("readonly/.Trash-" + std::to_string(::getuid())) +
                                                  "' cannot be made (Read-only file system)");
        EXPECT_EQ(summary.failures[1].path, tree.path("stick/3.txt"));
        EXPECT_NE(summary.failures[1].reason.find("(No space left on device)"), std::string::npos);
        EXPECT_EQ(LogLines(programDir),
                  (std::vector<std::string>{Line(tree.path("stick/1.txt")), Line(tree.path("stick/2.txt"))}));
        EXPECT_TRUE(PathExists(tree.path("stick/3.txt")));
        EXPECT_TRUE(PathExists(tree.path("stick/4.txt")));

        // The log's own disk is full: the moves are taken back, and no line stands for them.
        fill(tree.path("full/filler"), 0);
        const std::string fullDir = tree.path("full/");
        const TrashRunSummary back = run.Run(Listed({tree.path("a/1.txt"), tree.path("a/2.txt")}), fullDir);
        EXPECT_EQ(back.moved, 0u);
        if (back.failures.size() != 2u)
            return 1;
        EXPECT_EQ(back.failures[1].reason, "its audit line cannot be written, so it was put back");
        EXPECT_EQ(back.halted, "the audit log in '" + fullDir + "' cannot be written");
        EXPECT_EQ(ReadWholeFile(tree.path("a/2.txt")), tree.path("a/2.txt"));
        EXPECT_TRUE(Names(homeTrash + "/files").empty());
        EXPECT_TRUE(Names(homeTrash + "/info").empty());
        EXPECT_TRUE(LogLines(fullDir).empty());
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    EXPECT_EQ(code, 0);
}

TEST_F(TrashRunTest, TwoProcessesTrashingFilesOfOneNameIntoOneTrashKeepEveryRecordWithItsFile)
{
    constexpr int kEach = 100;
    std::vector<std::string> mine;
    std::vector<std::string> theirs;
    for (int i = 0; i < kEach; ++i) {
        mine.push_back(tree.path("mine/" + std::to_string(i) + "/same.txt"));
        theirs.push_back(tree.path("theirs/" + std::to_string(i) + "/same.txt"));
    }
    const std::vector<TrashRunFile> myFiles = Listed(mine);
    const std::vector<TrashRunFile> theirFiles = Listed(theirs);

    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::fflush(nullptr);
    const pid_t other = ::fork();
    if (other == 0) {
        char go = 0;
        const bool started = ::read(start[0], &go, 1) == 1;
        ::_exit(started && run.Run(theirFiles, programDir).moved == kEach ? 0 : 1);
    }
    ASSERT_EQ(::write(start[1], "g", 1), 1);
    const TrashRunSummary summary = run.Run(myFiles, programDir);
    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(summary.moved, static_cast<std::size_t>(kEach));

    // Every file in the trash has its own record, and the record names the place the file left.
    std::set<std::string> recorded;
    const std::vector<std::string> trashed = Names(homeTrash + "/files");
    EXPECT_EQ(trashed.size(), 2u * kEach);
    for (const std::string& name : trashed) {
        const std::optional<TrashInfo> info =
            ParseTrashInfo(ReadWholeFile(homeTrash + "/info/" + name + ".trashinfo"));
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(ReadWholeFile(homeTrash + "/files/" + name), info->path);
        recorded.insert(info->path);
    }
    std::vector<std::string> lines = LogLines(programDir);
    std::set<std::string> logged(lines.begin(), lines.end());
    EXPECT_EQ(recorded.size(), 2u * kEach);
    EXPECT_EQ(lines.size(), 2u * kEach);
    EXPECT_EQ(logged.size(), 2u * kEach);
}

} // namespace
