// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditLog.h"

#include "TempTree.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(AuditLine, DateBlankTimeTwoBlanksAndThePathInTheUsersLocale)
{
    const LocalDateTime morning{2026, 12, 5, 6, 14, 51, 6};
    const LocalDateTime evening{2026, 12, 5, 18, 4, 9, 6};
    // The formats themselves are the date formatter's to test.
    LocaleSettings us;
    us.shortDateFormat = "M/d/yyyy";

    EXPECT_EQ(AuditLine(morning, "/tmp/OLD.TXT", us), "12/5/2026 6:14:51 AM  /tmp/OLD.TXT");
    EXPECT_EQ(AuditLine(evening, "/tmp/OLD.TXT", us), "12/5/2026 6:04:09 PM  /tmp/OLD.TXT");
    EXPECT_EQ(AuditLine(morning, "/home/ann/Übersicht.txt", GermanLocale()),
              "05.12.26 06:14:51  /home/ann/Übersicht.txt");
    EXPECT_EQ(AuditLine(evening, "/x", GermanLocale()), "05.12.26 18:04:09  /x");
    // The path exactly as listed, bytes that are no UTF-8 included.
    EXPECT_EQ(AuditLine(morning, "/tmp/Mixed Case\xFF.Tmp", us),
              "12/5/2026 6:14:51 AM  /tmp/Mixed Case\xFF.Tmp");
}

TEST(AppendAuditLine, CreatesThenAppendsWithCarriageReturnLineFeed)
{
    TempTree tree;
    const std::string log = tree.path("audit.txt");
    ASSERT_TRUE(AppendAuditLine(tree.root(), "first line"));
    EXPECT_EQ(ReadWholeFile(log), "first line\r\n");
    ASSERT_TRUE(AppendAuditLine(tree.root(), "second line"));
    EXPECT_EQ(ReadWholeFile(log), "first line\r\nsecond line\r\n");

    // A log written elsewhere before keeps every byte.
    std::ofstream(log, std::ios::binary | std::ios::app) << "no line end";
    ASSERT_TRUE(AppendAuditLine(tree.root(), "third"));
    EXPECT_EQ(ReadWholeFile(log), "first line\r\nsecond line\r\nno line endthird\r\n");
}

TEST(AppendAuditLine, FailsAtOnceWhereNoLogCanBeWritten)
{
    TempTree tree;
    EXPECT_FALSE(AppendAuditLine("", "line"));
    EXPECT_FALSE(AppendAuditLine(tree.path("missing/"), "line"));

    // A FIFO in the log's place has no reader: the append must not wait for one.
    tree.fifo("fifo/audit.txt");
    EXPECT_FALSE(AppendAuditLine(tree.path("fifo/"), "line"));
    tree.dir("folder/audit.txt");
    EXPECT_FALSE(AppendAuditLine(tree.path("folder/"), "line"));
}

} // namespace
