// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/DeleteCommand.h"
#include "audit/RecycleBin.h"
#include "platform/RecordingMessageBoxes.h"
#include "scan/ResultTable.h"
#include "scan/ScanDirectory.h"

#include "AuditTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace {

using Shown = RecordingMessageBoxes::Shown;

class DeleteCommandTest : public ::testing::Test
{
protected:
    // Rows: "<b>x.txt", a separator, "a.txt", as a report walked and listed them.
    DeleteCommandTest()
    {
        tree.dir("program");
        WriteFile(tree, "files/a.txt", "a");
        WriteFile(tree, "files/<b>x.txt", "bb");
        const MaskMatcher mask("*.*");
        ScanOptions options;
        options.mode = ScanMode::LargerThan;
        options.mask = &mask;
        options.threads = 1;
        ScanDirectory(tree.path("files/"), options, table);
        std::sort(table.EntryTable.begin(), table.EntryTable.end(),
                  [](const entrytype& a, const entrytype& b) { return a.name < b.name; });
        table.addRow(0);
        table.addSeparatorRow();
        table.addRow(1);
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
    DeleteCommand command{table, recycleBin, messages};
};

TEST_F(DeleteCommandTest, DeletionsGoToTheTrashOnceConfirmedAndAppendOneLineEachInOrder)
{
    // The confirmation names the file as it is, markup characters included; No changes nothing.
    const std::vector<Shown> question{
        {"Question", "Move '" + tree.path("files/<b>x.txt") + "' to the trash?"}};
    messages.confirmAnswer = false;
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown, question);
    EXPECT_TRUE(PathExists(tree.path("files/<b>x.txt")));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
    EXPECT_FALSE(table.RowTexts(0).ends_with(" (Deleted)"));

    messages.confirmAnswer = true;
    messages.shown.clear();
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(messages.shown, question);
    EXPECT_EQ(Log(), LogLine(0));
    EXPECT_TRUE(table.RowTexts(0).ends_with(tree.path("files/<b>x.txt") + " (Deleted)"));
    EXPECT_FALSE(PathExists(tree.path("files/<b>x.txt")));
    EXPECT_TRUE(PathExists(Trashed("<b>x.txt")));

    EXPECT_EQ(command.Run(2, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(Log(), LogLine(0) + LogLine(2));
    EXPECT_TRUE(PathExists(Trashed("a.txt")));

    // The same row again: an error, and neither the trash nor the log is touched.
    messages.shown.clear();
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::AlreadyDeleted);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"beep", ""},
                                  {"Error", "You have selected a file that has already been deleted."}}));
    EXPECT_EQ(Log(), LogLine(0) + LogLine(2));
}

// Which changes count is the trash's test; here, that the command asks nothing and says why.
TEST_F(DeleteCommandTest, SeparatorsAndFilesThatChangedAreLeftAloneAndALogThatFailsIsSaid)
{
    for (int row : {1, -1, 3, 1000})
        EXPECT_EQ(command.Run(row, programDir), DeleteOutcome::NoFile) << row;
    EXPECT_TRUE(messages.shown.empty());
    WriteFile(tree, "files/a.txt", "ccc");
    EXPECT_EQ(command.Run(2, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"beep", ""},
                                  {"Error", "Cannot move '" + tree.path("files/a.txt") +
                                                "' to the trash: it changed since the report."}}));
    EXPECT_FALSE(table.RowTexts(2).ends_with(" (Deleted)"));
    EXPECT_FALSE(PathExists(tree.path("data/Trash/files")));

    // A log that cannot be written does not keep the file from the trash, but is said.
    messages.shown.clear();
    tree.dir("program/audit.txt");
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::DeletedWithoutAudit);
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"Question", "Move '" + tree.path("files/<b>x.txt") + "' to the trash?"},
                                  {"beep", ""},
                                  {"Warning", "Warning!Unable to access audit file"}}));
    EXPECT_TRUE(table.RowTexts(0).ends_with(" (Deleted)"));
    EXPECT_TRUE(PathExists(Trashed("<b>x.txt")));
}

} // namespace
