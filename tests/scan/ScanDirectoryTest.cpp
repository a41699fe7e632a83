// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanDirectory.h"

#include "ChildProcess.h"
#include "TempTree.h"

#include <algorithm>
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

using Paths = std::vector<std::string>;

struct Found
{
    Paths paths; // relative to the tree's root, in the table's order
    ResultTable table;
    std::int64_t examined = 0;
};

Found scanRoot(const std::string& root, ScanMode mode = ScanMode::Duplicates, const std::string& mask = "*.*",
               unsigned threads = 1, const std::function<void(const std::string&)>& afterDirectoryRead = {})
{
    Found found;
    MaskMatcher matcher(mask);
    SeenNames seen;
    ScanOptions options;
    options.seenNames = &seen;
    options.mode = mode;
    options.mask = &matcher;
    options.threads = threads;
    options.afterDirectoryRead = afterDirectoryRead;
    found.examined = ScanDirectory(root, options, found.table);
    for (int i = 0; i <= found.table.LastEntry(); ++i)
        found.paths.push_back(found.table.path(i).substr(root.size()));
    return found;
}

Paths sorted(Paths paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string joined(const Paths& lines)
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

} // namespace

TEST(ScanDirectory, OnlyRegularFilesOutsideHiddenDirectoriesAreListedWithTheirNameBytes)
{
    TempTree tree;
    tree.file(".hidden.sys");
    tree.file(".cache/inside.txt");
    tree.file("docs/.config/deep.txt");
    tree.file("docs/.note");
    tree.file("X.TMP/inner.tmp");
    tree.file("real/data.bin", 10);
    tree.symlink("link-to-file", "real/data.bin");
    tree.symlink("link-to-dir", "real");
    tree.symlink("real/loop", "..");
    tree.symlink("dangling", "nowhere");
    tree.fifo("pipe");
    const std::string odd = "caf\xC3\xA9 \xFF\xFE name\twith tab.txt";
    tree.file(odd);
    EXPECT_EQ(sorted(scanRoot(tree.root()).paths),
              (Paths{".hidden.sys", "X.TMP/inner.tmp", odd, "docs/.note", "real/data.bin"}));
    // Directories are walked but never listed, whatever their names.
    EXPECT_EQ(scanRoot(tree.root(), ScanMode::Duplicates, "*.tmp").paths, Paths{"X.TMP/inner.tmp"});
    const Found bytes = scanRoot(tree.root(), ScanMode::Duplicates, "*.TXT");
    ASSERT_EQ(bytes.paths, Paths{odd});
    EXPECT_EQ(bytes.table.EntryTable[0].key, "CAF\xC3\xA9 \xFF\xFE NAME\tWITH TAB.TXT");
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
    const Paths one = scanRoot(tree.root()).paths;
    ASSERT_EQ(one.size(), 6u * 21 + 1);
    EXPECT_EQ(one.front(), "top");
    // Each directory's own file comes before the files of its sub-directories, subtrees contiguous.
    std::string lastDir;
    std::set<std::string> finished;
    for (size_t i = 0; i < one.size(); ++i) {
        if (one[i].ends_with("/own")) {
            EXPECT_EQ(one[i + 1].substr(0, 3), one[i].substr(0, 3));
        }
        const std::string dir = one[i].substr(0, one[i].find('/') + 1);
        if (dir != lastDir) {
            EXPECT_TRUE(finished.insert(dir).second) << "subtree " << dir << " split";
            lastDir = dir;
        }
    }
    for (unsigned threads : {2u, 4u})
        EXPECT_EQ(scanRoot(tree.root(), ScanMode::Duplicates, "*.*", threads).paths, one) << threads;
}

TEST(ScanDirectory, FileRemovedAfterTheDirectoryReadIsLeftOut)
{
    for (ScanMode mode : {ScanMode::Duplicates, ScanMode::ZeroLength, ScanMode::LargerThan}) {
        TempTree tree;
        tree.file("stays");
        tree.file("goes");
        const Found found =
            scanRoot(tree.root(), mode, "*.*", 1, [&](const std::string&) { tree.remove("goes"); });
        EXPECT_EQ(found.paths, Paths{"stays"}) << static_cast<int>(mode);
        EXPECT_EQ(found.examined, 2);
    }
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
        const Paths paths = scanRoot(root, ScanMode::ZeroLength, "*.txt").paths;
        return joined(
            {std::to_string(std::count_if(paths.begin(), paths.end(),
                                          [](const std::string& p) { return p.ends_with("side/s.txt"); })),
             std::to_string(paths.size())});
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
        Paths lines = scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 2).paths;
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
    const auto swap = [&](const std::string& directory) {
        if (directory == tree.path("a/sub/")) {
            ASSERT_EQ(::rename(tree.path("a/sub").c_str(), tree.path("a/moved").c_str()), 0);
            tree.symlink("a/sub", elsewhere.root());
        }
    };
    EXPECT_EQ(scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 1, swap).paths,
              Paths{"a/sub/deeper/real.txt"});
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
        return joined(sorted(scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 2).paths));
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
    Paths order;
    DIR* d = ::opendir(tree.root().c_str());
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.')
            order.push_back(e->d_name);
    }
    ::closedir(d);
    ASSERT_EQ(order.size(), 2u);
    tree.file(order[0] + "/x/f.txt");
    const auto move = [&](const std::string& directory) {
        if (directory == tree.path(order[0] + "/x/")) {
            ASSERT_EQ(::rename(tree.path(order[0] + "/x").c_str(), tree.path(order[1] + "/x").c_str()), 0);
        }
    };
    EXPECT_EQ(scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 1, move).paths,
              Paths{order[0] + "/x/f.txt"});
}
