// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/DeleteCommand.h"
#include "audit/RecycleBin.h"
#include "platform/RecordingMessageBoxes.h"
#include "scan/ResultTable.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;

const LocalDateTime kWhen{2026, 3, 7, 14, 5, 9, 6};

class DeleteCommandTest : public ::testing::Test
{
protected:
    DeleteCommandTest()
    {
        tree.dir("program");
        // Rows: a.txt, a separator, "<b>x.txt".
        AddRow("a.txt");
        table.addSeparatorRow();
        AddRow("<b>x.txt");
    }

    void AddRow(const std::string& name)
    {
        tree.file("files/" + name);
        entrytype entry;
        entry.directory = table.addDirectory(tree.path("files/"));
        entry.name = name;
        table.appendEntry(entry);
        table.addRow(table.LastEntry());
    }

    std::string Log() const { return ReadWholeFile(programDir + "audit.txt"); }
    std::string LogLine(int row) const { return "3/7/26 2:05:09 PM  " + table.RowPaths(row) + "\r\n"; }
    std::string Trashed(const std::string& name) const { return tree.path("data/Trash/files/") + name; }

    TempTree tree;
    std::string programDir = tree.path("program/");
    RecordingMessageBoxes messages;
    ResultTable table;
    RecycleBin recycleBin{messages, [this] { return Trash(tree.path("data/Trash"), ::getuid()); },
                          [] { return kWhen; }};
    DeleteCommand command{table, recycleBin, messages, [] { return kWhen; }};
};

TEST_F(DeleteCommandTest, DeletionsGoToTheTrashAndAppendOneLineEachInOrder)
{
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    // The confirmation names the file as it is, markup characters included.
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"Question", "Move '" + tree.path("files/a.txt") + "' to the trash?"}}));
    EXPECT_EQ(Log(), LogLine(0));
    EXPECT_TRUE(table.RowTexts(0).ends_with(tree.path("files/a.txt") + " (Deleted)"));
    EXPECT_FALSE(PathExists(tree.path("files/a.txt")));
    EXPECT_TRUE(PathExists(Trashed("a.txt")));

    messages.shown.clear();
    EXPECT_EQ(command.Run(2, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"Question", "Move '" + tree.path("files/<b>x.txt") + "' to the trash?"}}));
    EXPECT_EQ(Log(), LogLine(0) + LogLine(2));
    EXPECT_TRUE(PathExists(Trashed("<b>x.txt")));

    // The same row again: an error, and neither the trash nor the log is touched.
    messages.shown.clear();
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::AlreadyDeleted);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"beep", ""},
                                  {"Error", "You have selected a file that has already been deleted."}}));
    EXPECT_EQ(Log(), LogLine(0) + LogLine(2));
}

TEST_F(DeleteCommandTest, DecliningChangesNothingAndTheNextDeleteAsksAgain)
{
    messages.confirmAnswer = false;
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(PathExists(tree.path("files/a.txt")));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
    EXPECT_FALSE(table.RowTexts(0).ends_with(" (Deleted)"));

    messages.confirmAnswer = true;
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].kind, "Question");
}

// The trash's own tests cover the other paths it refuses, a folder swapped for a link among them.
TEST_F(DeleteCommandTest, AFileGoneSinceTheScanIsRefusedWithoutAQuestion)
{
    tree.remove("files/a.txt");
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"beep", ""},
                                  {"Error", "Cannot move '" + tree.path("files/a.txt") +
                                                "' to the trash: the file no longer exists."}}));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
    EXPECT_FALSE(table.RowTexts(0).ends_with(" (Deleted)"));
}

TEST_F(DeleteCommandTest, SeparatorRowsAndNoRowAreLeftAlone)
{
    for (int row : {1, -1, 3, 1000}) {
        EXPECT_EQ(command.Run(row, programDir), DeleteOutcome::NoFile) << row;
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
}

TEST_F(DeleteCommandTest, TheLogLandsInTheProgramDirectoryWhateverTheCurrentDirectory)
{
    char* previous = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(tree.path("files").c_str()), 0);
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);
    EXPECT_EQ(Log(), LogLine(0));
    EXPECT_FALSE(PathExists(tree.path("files/audit.txt")));
}

TEST_F(DeleteCommandTest, AReadOnlyLogStillLetsTheFileGoWithAWarning)
{
    // As nobody, who may delete the file and use the trash but not write the read-only log.
    std::ofstream(programDir + "audit.txt", std::ios::binary) << "old line\r\n";
    ASSERT_EQ(::chmod((programDir + "audit.txt").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(tree.root().c_str(), 0755), 0);
    tree.dir("data");
    for (const char* folder : {"data", "files"})
        ASSERT_TRUE(HandToNobody(tree.path(folder)));

    const int code = RunInChild([&] {
        if (!BecomeNobody())
            return kChildSkipped;
        RecycleBin nobodysBin(
            messages, [this] { return Trash(tree.path("data/Trash"), ::getuid()); }, [] { return kWhen; });
        DeleteCommand nobodysCommand(table, nobodysBin, messages, [] { return kWhen; });
        EXPECT_EQ(nobodysCommand.Run(0, programDir), DeleteOutcome::DeletedWithoutAudit);
        EXPECT_EQ(messages.shown,
                  (std::vector<Shown>{{"Question", "Move '" + tree.path("files/a.txt") + "' to the trash?"},
                                      {"beep", ""},
                                      {"Warning", "Warning!Unable to access audit file"}}));
        EXPECT_TRUE(table.RowTexts(0).ends_with(" (Deleted)"));
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "cannot become the user nobody here";
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(PathExists(Trashed("a.txt")));
    EXPECT_EQ(Log(), "old line\r\n");
}

} // namespace
