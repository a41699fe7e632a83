// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ContentColumn.h"
#include "main/HomePageLink.h"
#include "main/MarkCommands.h"
#include "main/ReportWorker.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/RecordingMessageBoxes.h"
#include "widgets/RowMarks.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "WalkGate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>
#include <tuple>
#include <vector>

using Shown = RecordingMessageBoxes::Shown;

TEST(HomePageLink, TriesTheNextBrowserOnlyWhileOneIsNotFound)
{
    const std::vector<Shown> none;
    const std::vector<std::tuple<std::map<std::string, int>, std::string, std::vector<Shown>>> cases = {
        {{{"xdg-open", ProgramLauncher::kFailed}}, "xdg-open", none}, // found, though it failed
        {{{"x-www-browser", ProgramLauncher::kStarted}}, "x-www-browser", none},
        {{}, "x-www-browser", {{"beep", ""}, {"Error", "Web browser could not be launched."}}}};
    for (const auto& [results, last, shown] : cases) {
        FakeProgramLauncher launcher;
        launcher.results = results;
        RecordingMessageBoxes messages;
        HomePageLink(launcher, messages).Open();
        EXPECT_EQ(launcher.calls.back().first, last);
        EXPECT_EQ(messages.shown, shown) << last;
    }
}

// At the program's end, in a forked child whose only thread is the test's: what is left once the
// worker has been joined.
TEST(ReportWorker, AtTheEndJoinsTheRunOrEndsTheProcessAtOnce)
{
    TempTree tree;
    tree.file("one/sub/a.txt");
    const auto start = [&](ReportWorker& worker) {
        ReportRequest request;
        request.roots = {tree.path("one/")};
        request.mask = "*.*";
        request.mode = ScanMode::ZeroLength;
        worker.start(request, ResultTable(LocaleSettings::usEnglish()), {});
    };
    EXPECT_EQ(RunInChild([&] {
                  ReportWorker worker;
                  start(worker);
                  worker.JoinOrExit(std::chrono::minutes(1), 3);
                  return static_cast<int>(
                      std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                    std::filesystem::directory_iterator()));
              }),
              1);
    // A walk that cannot end (held here, as by a read on a dead network mount) is not waited for.
    EXPECT_EQ(RunInChild([&] {
                  WalkGate gate;
                  gate.HoldAt(tree.path("one/"));
                  ReportWorker worker;
                  worker.afterDirectoryRead = [&](const std::string& directory) { gate.Arrive(directory); };
                  start(worker);
                  while (!gate.Arrived(tree.path("one/")))
                      std::this_thread::yield();
                  worker.JoinOrExit(std::chrono::milliseconds(50), 3);
                  return 0;
              }),
              3);
}

TEST(MarkCommands, MarkCopiesKeepsTheNewestUnmarkedFileOfEachClassAndADeletedFileLeavesItsClass)
{
    // Per row: its class (9 for a separator), its file's last write.
    const std::vector<std::pair<int, int>> rows = {
        {1, 10}, {1, 30}, {1, 20}, {-1, 40}, {-1, 45}, {9, 0}, // "?" is never marked
        {1, 5},  {2, 5},  {1, 5},  {2, 9},   {0, 99},  {9, 0}, // equal times: the first row stays
        {1, 1},  {1, 2},  {1, 3},  {2, 1},   {2, 2},   {9, 0}, // 14, 15 and 16 marked by hand
        {1, 1},  {1, 2}};                                      // 19 deleted, 18 left alone
    ResultTable table;
    ContentColumn column;
    ContentClasses classes;
    for (const auto& [number, time] : rows) {
        entrytype e;
        e.directory = table.addDirectory("/d/");
        e.time = time;
        e.size = 1000;
        table.appendEntry(e);
        table.addRow(number == 9 ? -1 : table.LastEntry());
        classes.ofRow.push_back(number == 9 ? 0 : number);
    }
    column.set(classes);
    table.markDeleted(19);
    column.rowDeleted(table, 19);
    EXPECT_EQ(column.classes().text(18) + column.classes().text(19), "");
    RowMarks marks;
    marks.Reset(table.LastRow() + 1);
    const MarkCommands marking(table, column.classes(), marks);
    EXPECT_TRUE(MarkCommands(table, ContentClasses{}, marks).copies().empty()); // before a check
    for (const int row : {14, 15, 16})
        marks.Set(row, true);
    EXPECT_EQ(marking.copies(), (std::vector<int>{0, 2, 7, 8, 12}));

    EXPECT_EQ(marking.group(13), std::make_pair(12, 16));
    EXPECT_EQ(marking.group(19), std::make_pair(18, 19));
    EXPECT_EQ(marking.group(0), std::make_pair(0, 4));
    EXPECT_EQ(marking.group(5), std::make_pair(-1, -1));

    marks.Set(19, true);
    const MarkedTotal total = marking.total();
    EXPECT_EQ(total.deleted, std::vector<int>{19});
    EXPECT_EQ(total.count, 3);
    EXPECT_EQ(MarkCommands::DeleteQuestion({1, 1000, {}}, LocaleSettings::usEnglish()),
              "Move 1 marked file (1,000 bytes) to the trash?");
}
