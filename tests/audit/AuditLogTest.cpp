// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/AuditLog.h"

#include "AuditTestFiles.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

TEST(AuditLine, OneLinePerFileInTheUsersLocaleAndItReadsBack)
{
    const LocalDateTime morning{2026, 12, 5, 6, 14, 51, 6};
    const LocalDateTime evening{2026, 12, 5, 18, 4, 9, 6};
    LocaleSettings us;
    us.shortDateFormat = "M/d/yyyy";

    EXPECT_EQ(AuditLine(morning, "/tmp/OLD.TXT", us), "12/5/2026 6:14:51 AM  /tmp/OLD.TXT");
    EXPECT_EQ(AuditLine(evening, "/x", GermanLocale()), "05.12.26 18:04:09  /x");
    // Bytes that are no UTF-8 stay; control bytes, and a backslash that would read as an escape, do not.
    const std::string odd = "/tmp/Mixed\xFF\n\r\x7F\x1F\\x41\\xZ\\";
    EXPECT_EQ(AuditLine(evening, odd, us),
              "12/5/2026 6:04:09 PM  /tmp/Mixed\xFF\\x0A\\x0D\\x7F\\x1F\\x5Cx41\\xZ\\");

    for (const LocaleSettings& locale : {us, GermanLocale()}) {
        const int year = locale.shortDateFormat.ends_with("yyyy") ? 2026 : 26;
        for (const std::string& path : {odd, std::string("/a  b (Restored)")}) {
            for (const bool restored : {false, true}) {
                const std::string line =
                    AuditLine(morning, path, locale) + (restored ? std::string(kRestoredMark) : "") + "\r\n";
                const std::optional<AuditEntry> entry = ParseAuditLine(line, locale);
                ASSERT_TRUE(entry) << line;
                EXPECT_EQ(entry->path, path) << line;
                EXPECT_EQ(entry->restored, restored) << line;
                EXPECT_EQ(std::make_tuple(entry->when.year, entry->when.month, entry->when.day,
                                          entry->when.hour, entry->when.minute, entry->when.second),
                          std::make_tuple(year, 12, 5, 6, 14, 51))
                    << line;
            }
        }
    }
    for (const char* line :
         {"", "12/5/2026 6:14:51 AM /one blank", "12/5/2026 6:14:51 AM  ", "13/5/2026 6:14:51 AM  /x",
          "12/5/2026 13:14:51 AM  /x", "Dec 5 2026 6:14:51 AM  /x"})
        EXPECT_FALSE(ParseAuditLine(line, us)) << line;
}

TEST(AppendAuditLine, AppendsWithCarriageReturnLineFeedToTheUsersOwnLogOnly)
{
    TempTree tree;
    const std::string log = tree.path("audit.txt");
    ASSERT_TRUE(AppendAuditLine(tree.root(), "first line"));
    // A log written elsewhere before keeps every byte, and its last line keeps to itself.
    std::ofstream(log, std::ios::binary | std::ios::app) << "no line end";
    ASSERT_TRUE(AppendAuditLines(tree.root(), {"second", "third"}));
    EXPECT_EQ(ReadWholeFile(log), "first line\r\nno line end\r\nsecond\r\nthird\r\n");
    // A link the user made leads to the log it names, and stays a link.
    tree.symlink("own/audit.txt", log);
    ASSERT_TRUE(AppendAuditLine(tree.path("own/"), "fourth"));
    EXPECT_TRUE(ReadWholeFile(log).ends_with("third\r\nfourth\r\n"));

    EXPECT_FALSE(AppendAuditLine("", "line"));
    EXPECT_FALSE(AppendAuditLine(tree.path("missing/"), "line"));
    // A FIFO in the log's place has no reader: the append must not wait for one.
    tree.fifo("fifo/audit.txt");
    EXPECT_FALSE(AppendAuditLine(tree.path("fifo/"), "line"));
    tree.dir("folder/audit.txt");
    EXPECT_FALSE(AppendAuditLine(tree.path("folder/"), "line"));
    // A dangling link would make its target anywhere the user may write.
    tree.symlink("dangling/audit.txt", tree.path("target.txt"));
    EXPECT_FALSE(AppendAuditLine(tree.path("dangling/"), "line"));
    EXPECT_FALSE(PathExists(tree.path("target.txt")));

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    // In a folder others may write to, another user's link must not lead the log onto the user's files.
    tree.file("precious.txt");
    tree.symlink("shared/audit.txt", tree.path("precious.txt"));
    ASSERT_EQ(::lchown(tree.path("shared/audit.txt").c_str(), NobodyUid(), NobodyGid()), 0);
    EXPECT_FALSE(AppendAuditLine(tree.path("shared/"), "line"));
    EXPECT_EQ(ReadWholeFile(tree.path("precious.txt")), "");
}

TEST(AppendAuditLine, ALineThatFitsOnlyInPartOrCannotBeFlushedIsTakenBack)
{
    TempTree tree;
    WriteFile(tree, "audit.txt", "old line\r\n");
    // A file size limit stands for a full disk: the write stops after a few bytes.
    const std::function<bool()> failures[] = {
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16, 16};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [] {
            return FailCalls({SYS_fdatasync, SYS_fsync}, EIO);
        },
    };
    for (const auto& fail : failures) {
        const int code = RunInChild([&] {
            if (!fail())
                return kChildSkipped;
            EXPECT_FALSE(AppendAuditLine(tree.root(), "a line longer than the room left"));
            return 0;
        });
        if (code == kChildSkipped)
            GTEST_SKIP() << "cannot limit the file size or fail a flush here";
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ReadWholeFile(tree.path("audit.txt")), "old line\r\n");
    }
}

} // namespace
