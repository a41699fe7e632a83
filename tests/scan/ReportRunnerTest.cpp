// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportRunner.h"

#include "ChildProcess.h"
#include "ScanScratch.h"
#include "TempTree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
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

    // A run over roots, the tree's root when none are given; a size report lists files of 10 bytes or more.
    ReportOutcome run(ScanMode mode = ScanMode::Duplicates, const Lines& roots = {}, unsigned threads = 2,
                      const std::atomic<bool>* stop = nullptr, const ReportProgress& progress = {})
    {
        ReportRequest request;
        request.roots = roots.empty() ? Lines{tree.root()} : roots;
        request.mask = "*.*";
        request.mode = mode;
        request.sizeThreshold = 10;
        request.threads = threads;
        return runner.run(request, table, progress, stop);
    }

    // Row texts, or the files' names alone, with the tree's root cut out of the paths.
    Lines rows(bool namesOnly = false) const
    {
        Lines out;
        for (int r = 0; r <= table.LastRow(); ++r) {
            const std::string path = table.RowPaths(r);
            std::string text = namesOnly ? path.substr(path.rfind('/') + 1) : table.RowTexts(r);
            if (const size_t at = text.find(tree.root()); at != std::string::npos)
                text.erase(at, tree.root().size());
            out.push_back(text);
        }
        return out;
    }

    // Every row of a report of each mode, with the outcome texts.
    std::string allRows(const std::string& root, unsigned threads)
    {
        std::string out;
        for (ScanMode mode : {ScanMode::Duplicates, ScanMode::LargerThan, ScanMode::ZeroLength}) {
            out += run(mode, {root}, threads).text + "\n";
            for (int r = 0; r <= table.LastRow(); ++r)
                out += table.RowTexts(r) + "\n";
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

// A chain of depth directories "dd" inside top, made through descriptors since its paths grow
// longer than the kernel takes, each level with a directory "side" holding "s.txt"; the deepest
// level holds "bottom.txt".
void makeChain(const std::string& top, int depth)
{
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < depth; ++i) {
        ::mkdirat(fd, "side", 0755);
        const int side = ::openat(fd, "side", O_RDONLY | O_DIRECTORY);
        ::close(::openat(side, "s.txt", O_CREAT | O_WRONLY, 0644));
        ::close(side);
        ::mkdirat(fd, "dd", 0755);
        const int next = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(::openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0644));
    ::close(fd);
}

} // namespace

TEST_F(ReportRunnerTest, DuplicatesAreGroupedByNameInKeyOrderWithOneEmptyRowBetweenGroups)
{
    // Only names are compared, not sizes; a unique name sorting after the last group leaves no
    // separator behind it.
    for (const char* name : {"a/k", "c/l", "a/m", "b/M", "a/n", "b/n", "c/zz-only-once"})
        tree.file(name);
    tree.file("b/K", 22);
    tree.file("c/m", 1234567);

    EXPECT_EQ(run().text, "Dust Complete: 3 Groups Found");
    Lines keys;
    for (int r = 0; r <= table.LastRow(); ++r)
        keys.push_back(table.isSeparator(r) ? "-"
                                            : NameKey(table.RowPaths(r).substr(tree.root().size() + 2)));
    EXPECT_EQ(keys, (Lines{"K", "K", "-", "M", "M", "M", "-", "N", "N"}));
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
    // Inner first or last: the outer walk leaves the inner tree to its own root.
    for (const Lines& roots : {Lines{outer, inner, outer}, Lines{inner, outer}}) {
        EXPECT_EQ(run(ScanMode::ZeroLength, roots).text, "Dust Complete: 2 Found");
        EXPECT_EQ(table.RowPaths(0), roots[0] + "x.txt");
        EXPECT_EQ(table.RowPaths(1), roots[1] + "x.txt");
    }
}

TEST_F(ReportRunnerTest, StopDuringTheWalkKeepsWhatWasFoundSortedAndGrouped)
{
    // One sub-directory per level, so the walk meets them in this order whatever the threads.
    tree.file("x", 10, kAfternoon);
    tree.file("y", 11, kAfternoon);
    tree.file("sub/X", 12, kAfternoon);
    tree.file("sub/z", 13, kAfternoon);
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
        EXPECT_EQ(run(ScanMode::Duplicates, {}, threads, &stop).text, "Dust Stopped: 1 Groups Found");
        EXPECT_EQ(rows(), (Lines{"12/5/98 3:04:06 PM    10               x",
                                 "12/5/98 3:04:06 PM    12               sub/X"}))
            << threads;

        stop = false;
        EXPECT_EQ(run(ScanMode::LargerThan, {}, threads, &stop).text, "Dust Stopped: 4 Found");
    }

    // Set before the run: nothing is walked, and the outcome says so.
    stop = true;
    bool progressed = false;
    EXPECT_EQ(run(ScanMode::Duplicates, {}, 2, &stop, [&](auto&&...) { progressed = true; }).text,
              "Dust Stopped: 0 Groups Found");
    EXPECT_EQ(table.LastRow(), -1);
    EXPECT_FALSE(progressed);
}

TEST_F(ReportRunnerTest, FilesLeftToMeasureAfterTheWalkThatVanishOrAreStoppedAreLeftOut)
{
    // With one thread the walk measures a name's later files at once and leaves the first for after
    // the walk: a stop then, or every file removed then, loses exactly the first of each name.
    const Lines files = {"pair", "trio", "sub/pair", "sub/trio", "sub/deeper/trio"};
    tree.file("pair", 1);
    tree.file("trio", 2);
    tree.file("sub/pair", 3);
    tree.file("sub/trio", 1234, kAfternoon);
    tree.file("sub/deeper/trio", 5678, kAfternoon);
    for (const bool stopping : {true, false}) {
        std::atomic<bool> stop{false};
        runner.afterDirectoryRead = [&](const std::string& directory) {
            if (!directory.empty())
                return;
            stop = stopping;
            for (const std::string& f : stopping ? Lines{} : files)
                tree.remove(f);
        };
        EXPECT_EQ(run(ScanMode::Duplicates, {}, 1, &stop).text,
                  stopping ? "Dust Stopped: 1 Groups Found" : "Dust Complete: 1 Groups Found");
        EXPECT_EQ(rows(), (Lines{"12/5/98 3:04:06 PM    1,234            sub/trio",
                                 "12/5/98 3:04:06 PM    5,678            sub/deeper/trio"}));
        EXPECT_EQ(table.LastEntry(), 2); // the left-out entries are gone from the table too
    }
}

TEST_F(ReportRunnerTest, TwentyThousandFilesGiveTheSameReportsWithAnyThreadsFewDescriptorsOrNoThreadAtAll)
{
    // Beside them a chain deeper than PATH_MAX with a side directory at each level. Four and 32
    // threads, also with only two descriptors to spare for the walk and the measuring, and then with
    // no thread to be had: none waits for ever (the alarm ends a hang), none leaves a directory out.
    const ChildProcess child([&] {
        ::alarm(60);
        const std::string root = scratch(tree);
        makeTwentyThousandFiles(root);
        makeChain(root, 1400);
        const std::string one = allRows(root, 1);
        std::string out = std::to_string(std::count(one.begin(), one.end(), '\n'));
        out += allRows(root, 4) == one ? " same" : " differ";
        {
            const SpareDescriptors limit(2);
            for (unsigned threads : {4u, 32u})
                out += allRows(root, threads) == one ? " same" : " differ";
        }
        std::string why = "the thread limit is not enforced here";
        const rlimit none{0, 0};
        if (!ChildProcess::becomeNobody(why) || ::setrlimit(RLIMIT_NPROC, &none) != 0)
            return out + "; " + why;
        try {
            std::thread([] {}).join();
            return out + "; " + why;
        } catch (const std::system_error&) {
        }
        for (unsigned threads : {4u, 0u})
            out += allRows(root, threads) == one ? " same" : " differ";
        return out;
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    // Lines: 5,000 groups of four rows and a group of the 1,400 s.txt, with 5,000 separators;
    // 17,991 files of 10 bytes or more; 2,000 empty files, 1,400 s.txt and bottom.txt; and the
    // three outcomes.
    const size_t unchecked = child.output().find(';');
    if (unchecked != std::string::npos)
        std::cout << "not checked without threads: " << child.output() << "\n";
    EXPECT_EQ(child.output().substr(0, unchecked),
              unchecked == std::string::npos ? "47795 same same same same same" : "47795 same same same");
}

TEST_F(ReportRunnerTest, EveryNameOfAHardLinkedFileIsListed)
{
    tree.file("a/same.txt", 10);
    tree.dir("b");
    ASSERT_EQ(::link(tree.path("a/same.txt").c_str(), tree.path("b/same.txt").c_str()), 0);
    tree.file("c/empty");
    ASSERT_EQ(::link(tree.path("c/empty").c_str(), tree.path("c/also-empty").c_str()), 0);

    EXPECT_EQ(run().text, "Dust Complete: 1 Groups Found");
    EXPECT_EQ(rows(true), (Lines{"same.txt", "same.txt"}));
    EXPECT_EQ(run(ScanMode::ZeroLength).text, "Dust Complete: 2 Found");
    EXPECT_EQ(run(ScanMode::LargerThan).text, "Dust Complete: 2 Found");
}

TEST_F(ReportRunnerTest, FileWhoseDirectoryIsSwappedBeforeMeasuringIsLeftOut)
{
    // x/dup is the first of its name, so it is measured after the walk; by then x has become a link
    // to a directory with a file of that name, or that directory itself. That file must not be
    // measured, nor listed as x/dup. (.other is hidden, so the walk never enters it.)
    for (const std::string top : {"link/", "swap/"}) {
        tree.file(top + "x/dup", 1);
        tree.file(top + "x/y/dup", 2);
        tree.file(top + ".other/dup", 999);
        tree.file(top + ".other/y/dup", 2);
        runner.afterDirectoryRead = [&](const std::string& directory) {
            const std::string x = tree.path(top + "x");
            if (directory.empty()) {
                ASSERT_EQ(::rename(x.c_str(), (x + ".old").c_str()), 0);
                ASSERT_EQ(top == "link/" ? ::symlink(".other", x.c_str())
                                         : ::rename(tree.path(top + ".other").c_str(), x.c_str()),
                          0);
            }
        };
        EXPECT_EQ(run(ScanMode::Duplicates, {tree.path(top)}, 1).text, "Dust Complete - Nothing Found")
            << top;
    }
}
