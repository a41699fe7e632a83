// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanDirectory.h"

#include "ChildProcess.h"
#include "TempTree.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Found
{
    std::vector<std::string> paths; // relative to the tree's root
    ResultTable table;
};

Found scanRoot(const std::string& root, ScanMode mode, const std::string& mask = "*.*",
               std::int64_t threshold = 0, unsigned threads = 1, bool defer = false)
{
    Found found;
    MaskMatcher matcher(mask);
    SeenNames seen;
    ScanOptions options;
    options.seenNames = &seen;
    options.mode = mode;
    options.mask = &matcher;
    options.sizeThreshold = threshold;
    options.threads = threads;
    options.deferMeasuring = defer;
    ScanDirectory(root, options, found.table);
    for (int i = 0; i <= found.table.LastEntry(); ++i)
        found.paths.push_back(found.table.path(i).substr(root.size()));
    return found;
}

Found scan(const TempTree& tree, ScanMode mode, const std::string& mask = "*.*", std::int64_t threshold = 0,
           unsigned threads = 1, bool defer = false)
{
    return scanRoot(tree.root(), mode, mask, threshold, threads, defer);
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

// A chain of depth directories called name inside top, made through descriptors since its paths
// may be longer than the kernel takes. With sides, each level also holds a directory "side" with a
// file "s.txt"; the deepest level holds "bottom.txt".
void makeChain(const std::string& top, int depth, const std::string& name, bool sides)
{
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < depth; ++i) {
        if (sides) {
            ::mkdirat(fd, "side", 0755);
            const int side = ::openat(fd, "side", O_RDONLY | O_DIRECTORY);
            ::close(::openat(side, "s.txt", O_CREAT | O_WRONLY, 0644));
            ::close(side);
        }
        ::mkdirat(fd, name.c_str(), 0755);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(::openat(fd, "bottom.txt", O_CREAT | O_WRONLY, 0644));
    ::close(fd);
}

// A scratch directory for a child: a tmpfs of its own where mounting is allowed (fast, and gone
// with the child), the temporary tree's own directory otherwise.
std::string scratch(const TempTree& tree)
{
    std::string why;
    if (ChildProcess::privateMounts(why))
        ChildProcess::mountTmpfs(tree.root(), why);
    return tree.root();
}

using Paths = std::vector<std::string>;

} // namespace

TEST(ScanDirectory, HiddenFilesAreReportedHiddenDirectoriesAreNotEntered)
{
    TempTree tree;
    tree.file(".hidden.sys");
    tree.file("visible.txt");
    tree.file(".cache/inside.txt");
    tree.file("docs/.config/deep.txt");
    tree.file("docs/.note");
    const Found found = scan(tree, ScanMode::Duplicates);
    std::vector<std::string> sorted = found.paths;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Paths{".hidden.sys", "docs/.note", "visible.txt"}));
}

TEST(ScanDirectory, DirectoriesAreWalkedButNeverReported)
{
    TempTree tree;
    tree.file("X.TMP/inner.tmp");
    tree.file("a/b/notes.txt");
    tree.file("a/b/other.doc");
    EXPECT_EQ(scan(tree, ScanMode::Duplicates, "*.tmp").paths, Paths{"X.TMP/inner.tmp"});
    EXPECT_EQ(scan(tree, ScanMode::Duplicates, "*.txt").paths, Paths{"a/b/notes.txt"});
}

TEST(ScanDirectory, OnlyRegularFilesAndNoLinksAreFollowed)
{
    TempTree tree;
    tree.file("real/data.bin", 10);
    tree.symlink("link-to-file", "real/data.bin");
    tree.symlink("link-to-dir", "real");
    tree.symlink("real/loop", "..");
    tree.symlink("dangling", "nowhere");
    tree.fifo("pipe");
    const Found found = scan(tree, ScanMode::Duplicates);
    EXPECT_EQ(found.paths, Paths{"real/data.bin"});
}

TEST(ScanDirectory, ModesKeepTheirFilesWithRealSizes)
{
    TempTree tree;
    tree.file("exact.bin", 1024, 912870246);
    tree.file("below.bin", 1023);
    tree.file("empty.bin", 0);
    tree.file("three-gib.bin", 3LL << 30);
    tree.file("four-gib.bin", 4LL << 30);
    const auto sorted = [](Paths p) {
        std::sort(p.begin(), p.end());
        return p;
    };
    EXPECT_EQ(sorted(scan(tree, ScanMode::LargerThan, "*.*", 1024).paths),
              (Paths{"exact.bin", "four-gib.bin", "three-gib.bin"}));
    EXPECT_EQ(scan(tree, ScanMode::ZeroLength).paths, Paths{"empty.bin"});

    const Found all = scan(tree, ScanMode::LargerThan, "*.bin", 0);
    for (const entrytype& e : all.table.EntryTable) {
        EXPECT_TRUE(e.measured);
        if (e.name == "three-gib.bin") {
            EXPECT_EQ(e.size, 3LL << 30);
        }
        if (e.name == "exact.bin") {
            EXPECT_EQ(e.time, 912870246);
        }
    }
}

TEST(ScanDirectory, PreOrderFilesBeforeSubtreesWhateverTheThreads)
{
    TempTree tree;
    for (int d = 0; d < 6; ++d) {
        for (int s = 0; s < 5; ++s) {
            for (int f = 0; f < 4; ++f)
                tree.file("d" + std::to_string(d) + "/s" + std::to_string(s) + "/f" + std::to_string(f));
        }
        tree.file("d" + std::to_string(d) + "/own");
    }
    tree.file("top");
    const Found one = scan(tree, ScanMode::Duplicates, "*.*", 0, 1);
    ASSERT_EQ(one.paths.size(), 6u * 21 + 1);
    EXPECT_EQ(one.paths.front(), "top");
    // Each directory's own file comes before the files of its sub-directories, subtrees contiguous.
    for (size_t i = 0; i < one.paths.size(); ++i) {
        const std::string& p = one.paths[i];
        if (p.ends_with("/own")) {
            EXPECT_EQ(one.paths[i + 1].substr(0, 3), p.substr(0, 3));
        }
    }
    std::string lastDir;
    std::set<std::string> finished;
    for (const std::string& p : one.paths) {
        const std::string dir = p.substr(0, p.find('/') + 1);
        if (dir != lastDir) {
            EXPECT_TRUE(finished.insert(dir).second) << "subtree " << dir << " split";
            lastDir = dir;
        }
    }
    for (unsigned threads : {2u, 4u})
        EXPECT_EQ(scan(tree, ScanMode::Duplicates, "*.*", 0, threads).paths, one.paths) << threads;
}

TEST(ScanDirectory, OtherRootsAreNotEntered)
{
    TempTree tree;
    tree.file("outer.txt");
    tree.file("nested/inner.txt");
    MaskMatcher all("*.*");
    ScanOptions options;
    options.mask = &all;
    DirectoryId nested;
    ASSERT_TRUE(DirectoryIdentity(tree.path("nested"), nested));
    options.otherRoots.push_back(nested);
    ResultTable table;
    ScanDirectory(tree.root(), options, table);
    ASSERT_EQ(table.LastEntry(), 0);
    EXPECT_EQ(table.path(0), tree.path("outer.txt"));
}

TEST(ScanDirectory, FileRemovedAfterTheDirectoryReadIsLeftOut)
{
    for (ScanMode mode : {ScanMode::Duplicates, ScanMode::ZeroLength, ScanMode::LargerThan}) {
        TempTree tree;
        tree.file("stays");
        tree.file("goes");
        MaskMatcher all("*.*");
        ScanOptions options;
        options.mode = mode;
        options.mask = &all;
        options.afterDirectoryRead = [&](const std::string&) { tree.remove("goes"); };
        ResultTable table;
        const std::int64_t examined = ScanDirectory(tree.root(), options, table);
        ASSERT_EQ(table.LastEntry(), 0) << static_cast<int>(mode);
        EXPECT_EQ(table.path(0), tree.path("stays"));
        EXPECT_EQ(examined, 2);
    }
}

TEST(ScanDirectory, DeferredMeasuringLeavesSizeForLaterAndStopEndsTheWalk)
{
    TempTree tree;
    tree.file("a/x.txt", 7);
    tree.file("b/y.txt", 8);
    const Found deferred = scan(tree, ScanMode::Duplicates, "*.*", 0, 1, true);
    ASSERT_EQ(deferred.table.LastEntry(), 1);
    EXPECT_FALSE(deferred.table.EntryTable[0].measured);
    EXPECT_EQ(deferred.table.EntryTable[0].key + deferred.table.EntryTable[1].key,
              deferred.paths[0] == "a/x.txt" ? "X.TXTY.TXT" : "Y.TXTX.TXT");

    std::atomic<bool> stop{true};
    MaskMatcher all("*.*");
    ScanOptions options;
    options.mask = &all;
    options.stop = &stop;
    ResultTable table;
    ScanDirectory(tree.root(), options, table);
    EXPECT_EQ(table.LastEntry(), -1);
}

TEST(ScanDirectory, NameBytesAreKeptAsTheyAre)
{
    TempTree tree;
    const std::string odd = "caf\xC3\xA9 \xFF\xFE name\twith tab.txt";
    tree.file(odd);
    const Found found = scan(tree, ScanMode::Duplicates, "*.TXT");
    ASSERT_EQ(found.paths.size(), 1u);
    EXPECT_EQ(found.paths[0], odd);
    EXPECT_EQ(found.table.EntryTable[0].key, "CAF\xC3\xA9 \xFF\xFE NAME\tWITH TAB.TXT");
}

TEST(ScanDirectory, OnlyTheFirstFileOfANameIsLeftUnmeasured)
{
    TempTree tree;
    tree.file("one/Report.txt", 5);
    tree.file("one/other.txt", 6);
    tree.file("two/REPORT.TXT", 7);
    tree.file("three/report.txt", 8);
    MaskMatcher all("*.*");
    SeenNames seen;
    ScanOptions options;
    options.mask = &all;
    options.deferMeasuring = true;
    options.seenNames = &seen;
    ResultTable table;
    ScanDirectory(tree.root(), options, table);
    int unmeasuredReports = 0, measuredReports = 0;
    for (const entrytype& e : table.EntryTable) {
        if (e.key == "REPORT.TXT") {
            (e.measured ? measuredReports : unmeasuredReports)++;
            if (e.measured) {
                EXPECT_EQ(e.size, e.name == "Report.txt" ? 5 : e.name == "REPORT.TXT" ? 7 : 8);
            }
        }
    }
    EXPECT_EQ(unmeasuredReports, 1);
    EXPECT_EQ(measuredReports, 2);
}

TEST(ScanDirectory, DeepChainOfLongNamesCostsMemoryByDirectoryNotByDepth)
{
    // 3,000 levels of 255-byte names: a walk that kept every directory's whole path would hold
    // more than 1 GB; one that keeps names holds about 1 MB.
    TempTree tree;
    const ChildProcess child([&] {
        const std::string root = scratch(tree);
        makeChain(root, 3000, std::string(255, 'n'), false);
        const rlimit data{512u << 20, 512u << 20};
        ::setrlimit(RLIMIT_DATA, &data);
        const Found found = scanRoot(root, ScanMode::ZeroLength, "*.txt");
        return joined({std::to_string(found.paths.size()), std::to_string(found.table.path(0).size())});
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    EXPECT_EQ(child.output(), "1\n" + std::to_string(tree.root().size() + 3000 * 256 + 10) + "\n");
}

TEST(ScanDirectory, SiblingsBelowPathMaxAreWalkedWithFewDescriptors)
{
    // A chain far deeper than PATH_MAX with a side directory at each level, one walker and a
    // limit of 48 descriptors: every side must be walked all the same.
    TempTree tree;
    const ChildProcess child([&] {
        const std::string root = scratch(tree);
        makeChain(root, 1600, "dd", true);
        const rlimit files{48, 48};
        ::setrlimit(RLIMIT_NOFILE, &files);
        const Found found = scanRoot(root, ScanMode::ZeroLength, "*.txt");
        size_t sides = 0;
        for (const std::string& p : found.paths)
            sides += p.ends_with("side/s.txt");
        return joined({std::to_string(sides), std::to_string(found.paths.size())});
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    EXPECT_EQ(child.output(), "1600\n1601\n");
}

TEST(ScanDirectory, MountPointsAreBoundariesNeverOpened)
{
    // A bind mount of the same filesystem and a tmpfs inside the root: neither is walked, so no
    // file shows twice, and the mount points are not even opened (an automount point would mount).
    TempTree tree;
    tree.file("a/file.txt");
    tree.dir("bind");
    tree.dir("tmp");
    const ChildProcess child([&] {
        std::string why;
        if (!ChildProcess::privateMounts(why) ||
            ::mount(tree.path("a").c_str(), tree.path("bind").c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            !ChildProcess::mountTmpfs(tree.path("tmp"), why))
            return "skip: " + (why.empty() ? std::string("bind mount refused") : why);
        ::close(::open(tree.path("tmp/inside.txt").c_str(), O_CREAT | O_WRONLY, 0644));
        const int watch = ::inotify_init1(IN_NONBLOCK);
        // The tmpfs's own root: the bind mount shows directory a itself, which is opened.
        ::inotify_add_watch(watch, tree.path("tmp").c_str(), IN_OPEN);
        std::vector<std::string> lines = scan(tree, ScanMode::ZeroLength, "*.*", 0, 2).paths;
        char events[4096];
        lines.push_back("opened: " +
                        std::to_string(std::max<ssize_t>(0, ::read(watch, events, sizeof events))));
        return joined(lines);
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    if (child.skipped())
        GTEST_SKIP() << child.output();
    EXPECT_EQ(child.output(), "a/file.txt\nopened: 0\n");
}

TEST(ScanDirectory, DirectorySwappedForALinkDuringTheWalkLeadsNowhere)
{
    // Once a/sub was read, a/sub becomes a link to a tree elsewhere with the same names: what is
    // left of the walk below a/sub is read from the real directory, never through the link.
    TempTree tree;
    TempTree elsewhere;
    tree.file("a/sub/deeper/real.txt");
    elsewhere.file("deeper/secret.txt");
    elsewhere.file("deeper/more/secret2.txt");
    MaskMatcher all("*.*");
    ScanOptions options;
    options.mode = ScanMode::ZeroLength;
    options.mask = &all;
    options.threads = 1;
    options.afterDirectoryRead = [&](const std::string& directory) {
        if (directory == tree.path("a/sub/")) {
            ASSERT_EQ(::rename(tree.path("a/sub").c_str(), tree.path("a/moved").c_str()), 0);
            tree.symlink("a/sub", elsewhere.root());
        }
    };
    ResultTable table;
    ScanDirectory(tree.root(), options, table);
    ASSERT_EQ(table.LastEntry(), 0);
    EXPECT_EQ(table.path(0), tree.path("a/sub/deeper/real.txt"));
}

TEST(ScanDirectory, UnreadableDirectoriesAreSkippedAndTheWalkGoesOn)
{
    TempTree tree;
    ::chmod(tree.root().c_str(), 0755);
    tree.file("open/seen.txt");
    tree.file("closed/hidden.txt");
    tree.file("listonly/named.txt");
    tree.file("listonly/below/deep.txt");
    tree.file("after/also.txt");
    ::chmod(tree.path("closed").c_str(), 0);
    ::chmod(tree.path("listonly").c_str(), 0444); // names can be read, nothing inside reached
    const ChildProcess child([&] {
        std::string why;
        if (!ChildProcess::becomeNobody(why))
            return "skip: " + why;
        std::vector<std::string> paths = scan(tree, ScanMode::ZeroLength, "*.*", 0, 2).paths;
        std::sort(paths.begin(), paths.end());
        return joined(paths);
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    if (child.skipped())
        GTEST_SKIP() << child.output();
    EXPECT_EQ(child.output(), "after/also.txt\nopen/seen.txt\n");
}

TEST(ScanDirectory, DirectoryMovedAheadOfTheWalkIsListedOnce)
{
    // One walker reads the root's sub-directories in the order the kernel lists them: x is read in
    // the first, then moved into the second, which is read after it.
    TempTree tree;
    tree.dir("d1");
    tree.dir("d2");
    std::vector<std::string> order;
    {
        DIR* d = ::opendir(tree.root().c_str());
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.')
                order.push_back(e->d_name);
        }
        ::closedir(d);
    }
    ASSERT_EQ(order.size(), 2u);
    tree.file(order[0] + "/x/f.txt");
    MaskMatcher all("*.*");
    ScanOptions options;
    options.mode = ScanMode::ZeroLength;
    options.mask = &all;
    options.threads = 1;
    options.afterDirectoryRead = [&](const std::string& directory) {
        if (directory == tree.path(order[0] + "/x/")) {
            ASSERT_EQ(::rename(tree.path(order[0] + "/x").c_str(), tree.path(order[1] + "/x").c_str()), 0);
        }
    };
    ResultTable table;
    ScanDirectory(tree.root(), options, table);
    ASSERT_EQ(table.LastEntry(), 0);
    EXPECT_EQ(table.path(0), tree.path(order[0] + "/x/f.txt"));
}
