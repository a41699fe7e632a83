// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ActivationTipRule.h"
#include "main/ContentColumn.h"
#include "main/HomePageLink.h"
#include "main/MarkCommands.h"
#include "main/ReportWorker.h"
#include "main/TipSchedule.h"
#include "platform/FakeProgramLauncher.h"
#include "platform/RecordingMessageBoxes.h"
#include "widgets/RowMarks.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "WalkGate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

using Shown = RecordingMessageBoxes::Shown;

TEST(TipSchedule, FirstFourthAndSeventhReportCommandsShowATip)
{
    TipSchedule schedule;
    std::vector<bool> due;
    for (int command = 1; command <= 9; ++command)
        due.push_back(schedule.ReportCommand());
    EXPECT_EQ(due, (std::vector<bool>{true, false, false, true, false, false, true, false, false}));
    EXPECT_EQ(schedule.TipCounter(), 9);
}

TEST(ActivationTipRule, TipAtStartUpAndWhenComingBackFromANonModalWindowOnly)
{
    ActivationTipRule rule;
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main)); // first showing

    // The tip window itself, a dialog, a message box: all modal, no tip on return.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Modal));
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Main));

    // From the audit report window back to the main window.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::NonModal));
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // Away to another program and back: no tip.
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Outside));
    EXPECT_FALSE(rule.WindowActivated(ActivatedWindow::Main));

    // Leaving from the audit window to another program, then clicking the main window: the main
    // window takes over from the audit window, so a tip is due.
    rule.WindowActivated(ActivatedWindow::NonModal);
    rule.WindowActivated(ActivatedWindow::Outside);
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // A modal dialog over the audit window, closed, then the main window: from the audit window.
    rule.WindowActivated(ActivatedWindow::NonModal);
    rule.WindowActivated(ActivatedWindow::Modal);
    rule.WindowActivated(ActivatedWindow::NonModal);
    EXPECT_TRUE(rule.WindowActivated(ActivatedWindow::Main));

    // The first showing of the main window after other windows still shows a tip.
    ActivationTipRule late;
    EXPECT_FALSE(late.WindowActivated(ActivatedWindow::Outside));
    EXPECT_FALSE(late.WindowActivated(ActivatedWindow::Modal));
    EXPECT_TRUE(late.WindowActivated(ActivatedWindow::Main));
}

TEST(HomePageLink, TriesTheNextBrowserOnlyWhileOneIsNotFound)
{
    struct Case
    {
        const char* name;
        std::map<std::string, int> results;
        size_t calls;
        std::vector<Shown> shown;
    };
    const std::vector<Case> cases = {
        {"first found", {{"xdg-open", ProgramLauncher::kStarted}}, 1, {}},
        {"first fails otherwise", {{"xdg-open", ProgramLauncher::kFailed}}, 1, {}},
        {"second found", {{"x-www-browser", ProgramLauncher::kStarted}}, 2, {}},
        {"second fails otherwise", {{"x-www-browser", ProgramLauncher::kFailed}}, 2, {}},
        {"none found", {}, 2, {{"beep", ""}, {"Error", "Web browser could not be launched."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeProgramLauncher launcher;
        launcher.results = c.results;
        RecordingMessageBoxes messages;
        HomePageLink(launcher, messages).Open();
        ASSERT_EQ(launcher.calls.size(), c.calls);
        EXPECT_EQ(launcher.calls[0],
                  std::make_pair(std::string("xdg-open"), std::string("https://www.corvane.example/")));
        if (c.calls == 2) {
            EXPECT_EQ(launcher.calls[1].first, "x-www-browser");
        }
        EXPECT_EQ(messages.shown, c.shown);
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

TEST(ContentColumn, ADeletedRowLosesItsClassAndSoDoesAFileLeftAloneInItsClass)
{
    // Rows 0-2 and 4-6 are two groups; row 3 is the separator.
    ResultTable table;
    const std::uint32_t directory = table.addDirectory("/d/");
    for (int row = 0; row < 7; ++row) {
        entrytype e;
        e.directory = directory;
        e.name = "f" + std::to_string(row);
        table.appendEntry(e);
        table.addRow(row == 3 ? -1 : table.LastEntry());
    }
    ContentClasses classes;
    classes.ofRow = {1, 1, 1, 0, 1, 1, ContentClasses::kUnknown};
    classes.copies = 3;
    classes.groups = 2;
    ContentColumn column;
    column.set(classes);
    const auto shown = [&] {
        std::string texts;
        for (int row = 0; row <= table.LastRow(); ++row)
            texts += column.classes().text(row) + ",";
        return texts + " " + std::to_string(column.classes().copies) + " " +
               std::to_string(column.classes().groups);
    };

    table.markDeleted(4);
    column.rowDeleted(table, 4);
    EXPECT_EQ(shown(), "=1,=1,=1,,,,?, 2 1");
    EXPECT_EQ(column.rowText(table, 4).substr(39), "       /d/f4 (Deleted)");
    column.rowDeleted(table, 0);
    EXPECT_EQ(shown(), ",=1,=1,,,,?, 1 1");
    column.rowDeleted(table, 6);
    column.rowDeleted(table, 2);
    EXPECT_EQ(shown(), ",,,,,,, 0 0");
}

TEST(MarkCommands, MarkCopiesKeepsTheNewestUnmarkedFileOfEachClassAndTheMarksAddUp)
{
    // Per row: its class (9 for a separator), its file's last write.
    const std::vector<std::pair<int, int>> rows = {
        {1, 10}, {1, 30}, {1, 20}, {-1, 40}, {-1, 45}, {9, 0}, // "?" is never marked
        {1, 5},  {2, 5},  {1, 5},  {2, 9},   {0, 99},  {9, 0}, // equal times: the first row stays
        {1, 1},  {1, 2},  {1, 3},  {2, 1},   {2, 2},   {9, 0}, // 14, 15 and 16 marked by hand
        {1, 1},  {1, 2}};                                      // 19 deleted
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
    const LocaleSettings us = LocaleSettings::usEnglish();
    EXPECT_EQ(MarkCommands::StatusText(total, us), "3 marked (2.9 KB)");
    EXPECT_EQ(MarkCommands::DeleteQuestion(total, us), "Move 3 marked files (2.9 KB) to the trash?");
    EXPECT_EQ(MarkCommands::DeleteQuestion({1, 1000, {}}, us),
              "Move 1 marked file (1,000 bytes) to the trash?");
}
