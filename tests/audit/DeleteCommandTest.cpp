// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/DeleteCommand.h"
#include "audit/AuditLog.h"
#include "audit/RecycleBin.h"
#include "audit/RestoreCommand.h"
#include "audit/TrashInfo.h"
#include "platform/RecordingMessageBoxes.h"
#include "scan/ResultTable.h"
#include "scan/ScanDirectory.h"

#include "ChildProcess.h"
#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        Write("files/a.txt", "a");
        Write("files/<b>x.txt", "bb");
        // Rows: a.txt, a separator, "<b>x.txt".
        Report(tree.path("files/"));
    }

    void Write(const std::string& relative, const std::string& text)
    {
        tree.file(relative);
        std::ofstream(tree.path(relative), std::ios::binary) << text;
    }

    // Walks root as a report does and lists every file found, in name order, a separator after the first.
    void Report(const std::string& root)
    {
        table.reset();
        const MaskMatcher mask("*.*");
        ScanOptions options;
        options.mode = ScanMode::LargerThan;
        options.mask = &mask;
        options.threads = 1;
        ScanDirectory(root, options, table);
        std::sort(table.EntryTable.begin(), table.EntryTable.end(),
                  [](const entrytype& a, const entrytype& b) { return a.name < b.name; });
        for (int entry = 0; entry <= table.LastEntry(); ++entry) {
            table.addRow(entry);
            if (entry == 0)
                table.addSeparatorRow();
        }
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

TEST_F(DeleteCommandTest, DeletionsGoToTheTrashAndAppendOneLineEachInOrder)
{
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    // The confirmation names the file as it is, markup characters included.
    EXPECT_EQ(messages.shown,
              (std::vector<Shown>{{"Question", "Move '" + tree.path("files/<b>x.txt") + "' to the trash?"}}));
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

TEST_F(DeleteCommandTest, DecliningChangesNothingAndTheNextDeleteAsksAgain)
{
    messages.confirmAnswer = false;
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(PathExists(tree.path("files/<b>x.txt")));
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
    EXPECT_FALSE(table.RowTexts(0).ends_with(" (Deleted)"));

    messages.confirmAnswer = true;
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].kind, "Question");
}

TEST_F(DeleteCommandTest, AFileThatIsNoLongerTheListedOneIsRefusedWithoutAQuestion)
{
    Write("files/sub/c.txt", "c");
    Write("files/sub/d.txt", "d");
    Report(tree.path("files/"));
    // Rows 0, 2, 3, 4: <b>x.txt, a.txt, c.txt, d.txt.
    const struct
    {
        std::function<void()> change;
        int row;
        std::string reason;
    } cases[] = {
        {[&] { tree.remove("files/a.txt"); }, 2, "the file no longer exists"},
        // Another regular file of the same name: larger, then of the same size but written later.
        {[&] { Write("files/<b>x.txt", "ccc"); }, 0, "it changed since the report"},
        {[&] { tree.file("files/sub/c.txt", 1, 1000000000); }, 3, "it changed since the report"},
        // Its folder swapped for another real folder with a copy of the file in it.
        {[&] {
             ASSERT_EQ(::rename(tree.path("files/sub").c_str(), tree.path("files/old").c_str()), 0);
             Write("files/sub/d.txt", "d");
             struct stat st = {};
             ::stat(tree.path("files/old/d.txt").c_str(), &st);
             tree.file("files/sub/d.txt", 1, st.st_mtime);
         },
         4, "the folder '" + tree.path("files/sub") + "' changed since the report"},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        c.change();
        EXPECT_EQ(command.Run(c.row, programDir), DeleteOutcome::NotDeleted);
        EXPECT_EQ(messages.shown, (std::vector<Shown>{{"beep", ""},
                                                      {"Error", "Cannot move '" + table.RowPaths(c.row) +
                                                                    "' to the trash: " + c.reason + "."}}));
        EXPECT_FALSE(table.RowTexts(c.row).ends_with(" (Deleted)"));
    }
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
    EXPECT_FALSE(PathExists(tree.path("data/Trash/files")));
}

TEST_F(DeleteCommandTest, ARootReachedThroughALinkIsFollowedOnceAndNothingBelowIt)
{
    Write("real/sub/c.txt", "c");
    Write("real/other/d.txt", "d");
    tree.symlink("link", tree.path("real"));
    Report(tree.path("link/"));
    // Rows 0, 2: c.txt, d.txt.
    EXPECT_EQ(command.Run(0, programDir), DeleteOutcome::Deleted);
    EXPECT_EQ(Log(), "3/7/26 2:05:09 PM  " + tree.path("link/sub/c.txt") + "\r\n");
    // The record names the place the file really left, as every trash client must find it.
    EXPECT_EQ(ParseTrashInfo(ReadWholeFile(tree.path("data/Trash/info/c.txt.trashinfo")))->path,
              tree.path("real/sub/c.txt"));

    ASSERT_EQ(::rename(tree.path("real/other").c_str(), tree.path("real/moved").c_str()), 0);
    tree.symlink("real/other", tree.path("real/moved"));
    EXPECT_EQ(command.Run(2, programDir), DeleteOutcome::NotDeleted);
    EXPECT_EQ(messages.shown.back().text,
              "Cannot move '" + tree.path("link/other/d.txt") + "' to the trash: '" +
                  tree.path("link/other") +
                  "' is no longer a folder: a symbolic link or a file took its place.");
    EXPECT_TRUE(PathExists(tree.path("real/moved/d.txt")));

    // The line the deletion wrote is all a restore needs: it names the same moment as the record.
    const std::optional<AuditEntry> line = ParseAuditLine(Log(), table.locale());
    ASSERT_TRUE(line);
    RestoreCommand restore(table.locale(), [this] { return Trash(tree.path("data/Trash"), ::getuid()); });
    const RestoreOutcome outcome = restore.Run({{line->path, line->when}}, programDir);
    EXPECT_EQ(outcome.results[0].status, RestoreStatus::Restored) << outcome.results[0].reason;
    EXPECT_EQ(ReadWholeFile(tree.path("real/sub/c.txt")), "c");
}

TEST_F(DeleteCommandTest, SeparatorRowsAndNoRowAreLeftAlone)
{
    for (int row : {1, -1, 3, 1000}) {
        EXPECT_EQ(command.Run(row, programDir), DeleteOutcome::NoFile) << row;
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(PathExists(programDir + "audit.txt"));
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
        DeleteCommand nobodysCommand(table, nobodysBin, messages);
        EXPECT_EQ(nobodysCommand.Run(0, programDir), DeleteOutcome::DeletedWithoutAudit);
        EXPECT_EQ(messages.shown, (std::vector<Shown>{{"Question", "Move '" + tree.path("files/<b>x.txt") +
                                                                       "' to the trash?"},
                                                      {"beep", ""},
                                                      {"Warning", "Warning!Unable to access audit file"}}));
        EXPECT_TRUE(table.RowTexts(0).ends_with(" (Deleted)"));
        return 0;
    });
    if (code == kChildSkipped)
        GTEST_SKIP() << "cannot become the user nobody here";
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(PathExists(Trashed("<b>x.txt")));
    EXPECT_EQ(Log(), "old line\r\n");
}

} // namespace
