// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportRunner.h"

#include "ChildProcess.h"
#include "ScanScratch.h"
#include "TempTree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

class ReportRunnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    // A run over roots, the tree's root when none are given.
    ReportOutcome run(ScanMode mode = ScanMode::Duplicates, const Lines& roots = {},
                      const std::string& mask = "*.*", std::int64_t threshold = 0, unsigned threads = 2,
                      const std::atomic<bool>* stop = nullptr, const ReportProgress& progress = {})
    {
        ReportRequest request;
        request.roots = roots.empty() ? Lines{tree.root()} : roots;
        request.mask = mask;
        request.mode = mode;
        request.sizeThreshold = threshold;
        request.threads = threads;
        return runner.run(request, table, progress, stop);
    }

    // Row texts with the tree's root cut out of the paths.
    Lines rows() const
    {
        Lines out;
        for (int r = 0; r <= table.LastRow(); ++r) {
            std::string text = table.RowTexts(r);
            if (const size_t at = text.find(tree.root()); at != std::string::npos)
                text.erase(at, tree.root().size());
            out.push_back(text);
        }
        return out;
    }

    Lines rowNames() const
    {
        Lines out;
        for (int r = 0; r <= table.LastRow(); ++r) {
            const std::string& p = table.RowPaths(r);
            out.push_back(p.empty() ? "" : p.substr(p.rfind('/') + 1));
        }
        return out;
    }

    TempTree tree;
    ResultTable table;
    ReportRunner runner;
};

constexpr std::time_t kAfternoon = 912870246; // 12/5/98 3:04:06 PM UTC

// About 20,000 files in 400 directories of two levels, 5,000 names each met four times, sizes
// from 0 up: enough for every part of a run that uses more than one thread.
void makeTwentyThousandFiles(const std::string& root)
{
    for (int d = 0; d < 20; ++d) {
        const std::string top = root + "d" + std::to_string(d) + "/";
        ::mkdir(top.c_str(), 0755);
        for (int e = 0; e < 20; ++e) {
            const std::string dir = top + "e" + std::to_string(e) + "/";
            ::mkdir(dir.c_str(), 0755);
            for (int f = 0; f < 50; ++f) {
                const int n = (d * 20 + e) * 50 + f;
                const std::string name =
                    dir + "f" + std::to_string(n * 7919 % 5000) + (n % 3 ? ".txt" : ".TXT");
                const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
                if (::ftruncate(fd, n % 10 == 0 ? 0 : n) != 0)
                    std::abort();
                ::close(fd);
            }
        }
    }
}

// Every row of a report of each mode, with the outcome texts.
std::string allRows(const std::string& root, unsigned threads)
{
    std::string out;
    for (ScanMode mode : {ScanMode::Duplicates, ScanMode::LargerThan, ScanMode::ZeroLength}) {
        ResultTable table;
        ReportRunner runner;
        ReportRequest request;
        request.roots = {root};
        request.mask = "*.*";
        request.mode = mode;
        request.sizeThreshold = 5000;
        request.threads = threads;
        out += runner.run(request, table).text + "\n";
        for (int r = 0; r <= table.LastRow(); ++r)
            out += table.RowTexts(r) + "\n";
    }
    return out;
}

} // namespace

TEST_F(ReportRunnerTest, DuplicatesAreGroupedByNameInKeyOrderWithOneEmptyRowBetweenGroups)
{
    // Only names are compared, not sizes; a unique name sorting after the last group leaves no
    // separator behind it.
    tree.file("a/k", 1, kAfternoon);
    tree.file("b/K", 22, kAfternoon);
    tree.file("c/l", 3, kAfternoon);
    tree.file("a/m", 4, kAfternoon);
    tree.file("b/M", 5, kAfternoon);
    tree.file("c/m", 1234567, kAfternoon);
    tree.file("a/n");
    tree.file("b/n");
    tree.file("c/zz-only-once");

    const ReportOutcome outcome = run();
    EXPECT_EQ(outcome.text, "Dust Complete: 3 Groups Found");
    EXPECT_EQ(outcome.found, 3);
    EXPECT_EQ(runner.GroupCount(), 3);
    Lines names = rowNames();
    for (std::string& n : names)
        n = n == "" ? "" : std::string(1, static_cast<char>(std::toupper(n[0])));
    EXPECT_EQ(names, (Lines{"K", "K", "", "M", "M", "M", "", "N", "N"}));
    for (int r = 0; r <= table.LastRow(); ++r)
        EXPECT_EQ(table.isSeparator(r), r == 2 || r == 6) << r;
    EXPECT_EQ(table.RowTexts(2), "");
    const Lines texts = rows();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "12/5/98 3:04:06 PM    1,234,567        c/m"),
              texts.end());
}

TEST_F(ReportRunnerTest, RootsAreWalkedOnceEachAndNestedRootsOnlyAsThemselves)
{
    tree.file("outer/x.txt");
    tree.file("outer/inner/x.txt");
    const std::string outer = tree.path("outer/");
    const std::string inner = tree.path("outer/inner/");

    EXPECT_EQ(run(ScanMode::Duplicates, {outer, inner, tree.path("outer/./inner/")}).text,
              "Dust Complete: 1 Groups Found");
    ASSERT_EQ(table.LastRow(), 1);
    EXPECT_EQ(run(ScanMode::ZeroLength, {outer, inner, outer}).text, "Dust Complete: 2 Found");
    EXPECT_EQ(table.RowPaths(0), outer + "x.txt");
    EXPECT_EQ(table.RowPaths(1), inner + "x.txt");
    // Inner first: the outer walk still leaves the inner tree to its own root.
    run(ScanMode::ZeroLength, {inner, outer});
    EXPECT_EQ(table.RowPaths(0), inner + "x.txt");
    EXPECT_EQ(table.RowPaths(1), outer + "x.txt");
    EXPECT_EQ(table.LastRow(), 1);
}

TEST_F(ReportRunnerTest, FoldersThatCannotBeReadAreCountedAndTheFirstNamed)
{
    // Roots a, b and c: a holds an unreadable folder, b one that can be listed but not entered, c
    // cannot be read at all. What can be read is listed.
    ::chmod(tree.root().c_str(), 0755);
    tree.file("a/open/seen.txt");
    tree.file("a/closed/hidden.txt");
    tree.file("b/named.txt");
    tree.file("b/below/deep.txt");
    tree.file("c/hidden.txt");
    ::chmod(tree.path("a/closed").c_str(), 0);
    ::chmod(tree.path("b").c_str(), 0444);
    ::chmod(tree.path("c").c_str(), 0);
    const ChildProcess child([&] {
        std::string why;
        if (!ChildProcess::becomeNobody(why))
            return "skip: " + why;
        const ReportOutcome outcome =
            run(ScanMode::ZeroLength, {tree.path("a/"), tree.path("b/"), tree.path("c/")});
        return outcome.text + "\n" + UnreadableText(outcome.unreadable);
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    if (child.skipped())
        GTEST_SKIP() << child.output();
    EXPECT_EQ(child.output(), "Dust Complete: 1 Found\n3 folders could not be read, the first: " +
                                  tree.path("a/closed/") + " (Permission denied)");
}

TEST_F(ReportRunnerTest, RepeatedNameThatVanishesBeforeMeasuringLeavesItsGroup)
{
    // The walk measures a name's later files at once and leaves the first for after the walk.
    // Removing every file once the walk is over therefore loses exactly the first of each name.
    for (const char* f : {"a/dup", "b/dup", "a/pair", "b/pair", "c/pair"})
        tree.file(f);
    runner.afterDirectoryRead = [&](const std::string& directory) {
        if (directory.empty()) {
            for (const char* f : {"a/dup", "b/dup", "a/pair", "b/pair", "c/pair"})
                tree.remove(f);
        }
    };
    EXPECT_EQ(run().text, "Dust Complete: 1 Groups Found");
    EXPECT_EQ(rowNames(), (Lines{"pair", "pair"}));
    EXPECT_EQ(table.LastEntry(), 2); // the vanished entries are gone from the table too
}

TEST_F(ReportRunnerTest, StopDuringTheWalkKeepsWhatWasFoundSortedAndGrouped)
{
    // One sub-directory per level, so the walk meets them in this order whatever the threads.
    tree.file("x", 1, kAfternoon);
    tree.file("y", 2, kAfternoon);
    tree.file("sub/X", 3, kAfternoon);
    tree.file("sub/z", 4, kAfternoon);
    for (int i = 0; i < 3000; ++i)
        tree.file("sub/deeper/f" + std::to_string(i));
    tree.file("sub/deeper/y");
    tree.file("sub/deeper/below/z");
    std::atomic<bool> stop{false};
    runner.afterDirectoryRead = [&](const std::string& directory) {
        if (directory.ends_with("/deeper/"))
            stop = true;
    };
    for (unsigned threads : {1u, 4u}) {
        stop = false;
        ReportOutcome outcome = run(ScanMode::Duplicates, {}, "*.*", 0, threads, &stop);
        EXPECT_TRUE(outcome.stopped);
        EXPECT_EQ(outcome.found, 1);
        EXPECT_EQ(outcome.text, "Dust Stopped: 1 Groups Found");
        EXPECT_EQ(rows(), (Lines{"12/5/98 3:04:06 PM    1                x",
                                 "12/5/98 3:04:06 PM    3                sub/X"}))
            << threads;

        stop = false;
        EXPECT_EQ(run(ScanMode::ZeroLength, {}, "*.*", 0, threads, &stop).text, "Dust Stopped: 0 Found");
        stop = false;
        outcome = run(ScanMode::LargerThan, {}, "*.*", 0, threads, &stop);
        EXPECT_EQ(outcome.text, "Dust Stopped: 4 Found");
        EXPECT_EQ(outcome.found, 4);
        const Lines names = rowNames();
        EXPECT_EQ(std::set<std::string>(names.begin(), names.begin() + 2), (std::set<std::string>{"x", "y"}));
        EXPECT_EQ(std::set<std::string>(names.begin() + 2, names.end()), (std::set<std::string>{"X", "z"}));
    }
}

TEST_F(ReportRunnerTest, StopBeforeTheRunFindsNothingAndSaysSo)
{
    tree.file("a/same");
    tree.file("b/same");
    std::atomic<bool> stop{true};
    bool progressed = false;
    const ReportOutcome outcome = run(ScanMode::Duplicates, {}, "*.*", 0, 2, &stop,
                                      [&](const std::string&, std::int64_t) { progressed = true; });
    EXPECT_FALSE(progressed);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.text, "Dust Stopped: 0 Groups Found");
    EXPECT_EQ(table.LastRow(), -1);
    EXPECT_EQ(run(ScanMode::ZeroLength, {}, "*.*", 0, 2, &stop).text, "Dust Stopped: 0 Found");
}

TEST_F(ReportRunnerTest, StopWhileMeasuringLeavesTheUnmeasuredOut)
{
    // With one thread the first file of each name is the one left to be measured after the walk.
    tree.file("pair", 1);
    tree.file("trio", 2);
    tree.file("sub/pair", 3);
    tree.file("sub/trio", 1234, kAfternoon);
    tree.file("sub/deeper/trio", 5678, kAfternoon);
    std::atomic<bool> stop{false};
    runner.afterDirectoryRead = [&](const std::string& directory) {
        if (directory.empty())
            stop = true;
    };
    EXPECT_EQ(run(ScanMode::Duplicates, {}, "*.*", 0, 1, &stop).text, "Dust Stopped: 1 Groups Found");
    EXPECT_EQ(rows(), (Lines{"12/5/98 3:04:06 PM    1,234            sub/trio",
                             "12/5/98 3:04:06 PM    5,678            sub/deeper/trio"}));
}

TEST_F(ReportRunnerTest, TwentyThousandFilesGiveTheSameReportsOnAnyThreadsWithFewDescriptors)
{
    // Beside them a chain deeper than PATH_MAX with a side directory at each level. Four and 32
    // threads, also with only two descriptors to spare for the walk and the measuring: none waits
    // for ever (the alarm ends a hang), none leaves a directory out.
    const ChildProcess child([&] {
        ::alarm(60);
        const std::string root = scratch(tree);
        makeTwentyThousandFiles(root);
        makeChain(root, 1400, "dd", true);
        const std::string one = allRows(root, 1);
        std::string out = std::to_string(std::count(one.begin(), one.end(), '\n'));
        out += allRows(root, 4) == one ? " same" : " differ";
        const SpareDescriptors limit(2);
        for (unsigned threads : {4u, 32u})
            out += allRows(root, threads) == one ? " same" : " differ";
        return out;
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    // Lines: 5,000 groups of four rows and a group of the 1,400 s.txt, with 5,000 separators;
    // 13,500 files of 5,000 bytes or more; 2,000 empty files, 1,400 s.txt and bottom.txt; and the
    // three outcomes.
    EXPECT_EQ(child.output(), "43304 same same same");
}

TEST_F(ReportRunnerTest, NoThreadToBeHadFallsBackToTheCallingThread)
{
    const ChildProcess child([&] {
        const std::string root = scratch(tree);
        makeTwentyThousandFiles(root);
        const std::string reference = allRows(root, 1);
        std::string why;
        if (!ChildProcess::becomeNobody(why))
            return "skip: " + why;
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_NPROC, &none);
        std::thread probe;
        try {
            probe = std::thread([] {});
            probe.join();
            return std::string("skip: the thread limit is not enforced here");
        } catch (const std::system_error&) {
        }
        return std::string(allRows(root, 4) == reference && allRows(root, 0) == reference ? "same"
                                                                                          : "differ");
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    if (child.skipped())
        GTEST_SKIP() << child.output();
    EXPECT_EQ(child.output(), "same");
}

TEST_F(ReportRunnerTest, EveryNameOfAHardLinkedFileIsListed)
{
    tree.file("a/same.txt", 10);
    tree.dir("b");
    ASSERT_EQ(::link(tree.path("a/same.txt").c_str(), tree.path("b/same.txt").c_str()), 0);
    tree.file("c/empty");
    ASSERT_EQ(::link(tree.path("c/empty").c_str(), tree.path("c/also-empty").c_str()), 0);

    EXPECT_EQ(run().text, "Dust Complete: 1 Groups Found");
    EXPECT_EQ(rowNames(), (Lines{"same.txt", "same.txt"}));
    EXPECT_EQ(run(ScanMode::ZeroLength).text, "Dust Complete: 2 Found");
    EXPECT_EQ(run(ScanMode::LargerThan, {}, "*.*", 10).text, "Dust Complete: 2 Found");
}

TEST_F(ReportRunnerTest, FileWhoseDirectoryIsSwappedForALinkBeforeMeasuringIsLeftOut)
{
    // x/dup is the first of its name, so it is measured after the walk; by then x has become a link
    // to a place with a file of the same name. That file must not be measured, nor listed as x/dup.
    TempTree elsewhere;
    tree.file("x/dup", 1);
    tree.file("x/y/dup", 2);
    elsewhere.file("dup", 999);
    elsewhere.file("y/dup", 2);
    runner.afterDirectoryRead = [&](const std::string& directory) {
        if (directory.empty()) {
            ASSERT_EQ(::rename(tree.path("x").c_str(), tree.path("x.old").c_str()), 0);
            tree.symlink("x", elsewhere.root());
        }
    };
    EXPECT_EQ(run(ScanMode::Duplicates, {}, "*.*", 0, 1).text, "Dust Complete - Nothing Found");
}

TEST_F(ReportRunnerTest, FilesFarBeyondPathMaxAreMeasuredAndListed)
{
    // same.txt 700 and 1,500 levels deep: the first is measured after the walk, through a path of
    // 2,100 bytes, the second during it, 4,500 bytes down.
    const ChildProcess child([&] {
        const std::string root = scratch(tree);
        int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
        for (int level = 1; level <= 1500; ++level) {
            ::mkdirat(fd, "dd", 0755);
            const int next = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            if (level == 700 || level == 1500) {
                const int file = ::openat(fd, "same.txt", O_CREAT | O_WRONLY, 0644);
                if (::ftruncate(file, level) != 0)
                    std::abort();
                ::close(file);
            }
        }
        ::close(fd);
        std::string out = run(ScanMode::Duplicates, {root}, "*.txt").text + "\n";
        for (int r = 0; r <= table.LastRow(); ++r)
            out += std::to_string(table.RowPaths(r).size() - root.size()) + " " +
                   table.RowTexts(r).substr(22, 5) + "\n";
        return out;
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    EXPECT_EQ(child.output(), "Dust Complete: 1 Groups Found\n2108 700  \n4508 1,500\n");
}
