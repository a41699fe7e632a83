// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanDirectory.h"

#include "ChildProcess.h"
#include "ScanScratch.h"
#include "TempTree.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <set>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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
               unsigned threads = 1, const std::function<void(const std::string&)>& afterDirectoryRead = {},
               const std::function<void(const std::string&)>& beforeOpen = {})
{
    Found found;
    MaskMatcher matcher(mask);
    ScanOptions options;
    options.mode = mode;
    options.mask = &matcher;
    options.threads = threads;
    options.afterDirectoryRead = afterDirectoryRead;
    options.beforeOpen = beforeOpen;
    found.examined = ScanDirectory(root, options, found.table);
    for (int i = 0; i <= found.table.LastEntry(); ++i)
        found.paths.push_back(found.table.path(i).substr(root.size()));
    return found;
}

std::string joined(const Paths& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

// In a child: from now on openat2 fails with ENOSYS, as on kernels before 5.6.
bool withoutOpenat2()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0 &&
           ::syscall(SYS_openat2, AT_FDCWD, ".", nullptr, 0) == -1 && errno == ENOSYS;
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
    Paths all = scanRoot(tree.root()).paths;
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (Paths{".hidden.sys", "X.TMP/inner.tmp", odd, "docs/.note", "real/data.bin"}));
    // Directories are walked but never listed, whatever their names.
    EXPECT_EQ(scanRoot(tree.root(), ScanMode::Duplicates, "*.tmp").paths, Paths{"X.TMP/inner.tmp"});
    const Found bytes = scanRoot(tree.root(), ScanMode::Duplicates, "*.TXT");
    ASSERT_EQ(bytes.paths, Paths{odd});
    EXPECT_EQ(bytes.table.EntryTable[0].key, "CAF\xC3\xA9 \xFF\xFE NAME\tWITH TAB.TXT");
}

TEST(ScanDirectory, PreOrderFilesBeforeSubtreesOnAnyThreads)
{
    // d0 to d5, each with its own file and five sub-directories of four files.
    TempTree tree;
    for (int n = 0; n < 6 * 21; ++n) {
        const std::string d = "d" + std::to_string(n / 21);
        tree.file(n % 21 == 20 ? d + "/own"
                               : d + "/s" + std::to_string(n % 21 / 4) + "/f" + std::to_string(n % 4));
    }
    tree.file("top");
    const Paths walked = scanRoot(tree.root(), ScanMode::Duplicates, "*.*", 4).paths;
    ASSERT_EQ(walked.size(), 6u * 21 + 1);
    EXPECT_EQ(walked.front(), "top");
    // No directory's files and no subtree are split; a subtree starts with its top's own file.
    std::set<std::string> finished;
    for (size_t i = 1; i < walked.size(); ++i) {
        const std::string dir = walked[i].substr(0, walked[i].rfind('/'));
        if (dir != walked[i - 1].substr(0, walked[i - 1].rfind('/'))) {
            EXPECT_TRUE(finished.insert(dir).second) << dir << " split";
        }
        if (walked[i].substr(0, 3) != walked[i - 1].substr(0, 3)) {
            EXPECT_TRUE(finished.insert(walked[i].substr(0, 3)).second) << walked[i] << " split";
            EXPECT_TRUE(walked[i].ends_with("/own")) << walked[i];
        }
    }
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

TEST(ScanDirectory, MountAndAutomountPointsAreNeverEnteredWithOrWithoutOpenat2)
{
    // A bind mount of the same filesystem and a tmpfs inside the root: neither is walked, so no
    // file shows twice, and the mount points are not even opened. A tmpfs mounted on "late" after
    // it was looked at is not walked either. debugfs holds an automount point, "tracing", that
    // mounts tracefs when it is opened: a walk of debugfs leaves it alone.
    for (const bool openat2 : {true, false}) {
        TempTree tree;
        TempTree debugfs;
        tree.file("a/file.txt");
        tree.dir("bind");
        tree.dir("tmp");
        tree.dir("late");
        const ChildProcess child([&] {
            std::string why;
            if (!ChildProcess::privateMounts(why) ||
                ::mount(tree.path("a").c_str(), tree.path("bind").c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                !ChildProcess::mountTmpfs(tree.path("tmp"), why))
                return "skip: " + (why.empty() ? std::string("bind mount refused") : why);
            struct statx sx = {};
            const bool automount =
                ::mount("none", debugfs.root().c_str(), "debugfs", 0, nullptr) == 0 &&
                ::statx(AT_FDCWD, debugfs.path("tracing").c_str(), AT_NO_AUTOMOUNT, STATX_TYPE, &sx) == 0 &&
                (sx.stx_attributes & STATX_ATTR_AUTOMOUNT);
            if (!openat2 && !withoutOpenat2())
                return std::string("skip: no seccomp filter");
            ::close(::open(tree.path("tmp/inside.txt").c_str(), O_CREAT | O_WRONLY, 0644));
            const int watch = ::inotify_init1(IN_NONBLOCK);
            // The tmpfs's own root: the bind mount shows directory a itself, which is opened.
            ::inotify_add_watch(watch, tree.path("tmp").c_str(), IN_OPEN);
            const auto mountLate = [&](const std::string& directory) {
                if (directory == tree.path("late/") && ChildProcess::mountTmpfs(tree.path("late"), why))
                    ::close(::open(tree.path("late/inside.txt").c_str(), O_CREAT | O_WRONLY, 0644));
            };
            Paths lines = scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 2, {}, mountLate).paths;
            char events[4096];
            lines.push_back("opened: " +
                            std::to_string(std::max<ssize_t>(0, ::read(watch, events, sizeof events))));
            if (!automount)
                return joined(lines) + "no automount point here\n";
            scanRoot(debugfs.root(), ScanMode::Duplicates, "no such name");
            std::ifstream in("/proc/self/mountinfo");
            for (std::string line; std::getline(in, line);) {
                if (line.find(" " + debugfs.path("tracing") + " ") != std::string::npos)
                    lines.push_back("tracefs mounted");
            }
            return joined(lines);
        });
        ASSERT_TRUE(child.exitedNormally()) << child.describe();
        if (child.skipped())
            GTEST_SKIP() << child.output();
        std::string expected = "a/file.txt\nopened: 0\n";
        if (child.output().ends_with("no automount point here\n")) {
            std::cout << "automount points not checked: no debugfs here\n";
            expected += "no automount point here\n";
        }
        EXPECT_EQ(child.output(), expected) << openat2;
    }
}

TEST(ScanDirectory, DirectorySwappedForALinkDuringTheWalkLeadsNowhere)
{
    // Once a/sub was read, it becomes a link: to where it was moved (a relative link to the very
    // same directory) or to a tree elsewhere with the same names. With two descriptors to spare, the
    // walker has closed a/sub/d by the time it turns from the first of e1 and e2 to the second,
    // which it can then reach only through the link, which it never follows, with or without
    // openat2. The first, opened while a/sub/d was open, is read from the real directory.
    TempTree elsewhere;
    elsewhere.file("d/e1/f/x.txt");
    elsewhere.file("d/e2/f/x.txt");
    for (const bool openat2 : {true, false}) {
        for (const std::string& target : {std::string("moved"), elsewhere.root()}) {
            TempTree tree;
            tree.file("a/sub/d/e1/f/x.txt");
            tree.file("a/sub/d/e2/f/x.txt");
            const ChildProcess child([&] {
                if (!openat2 && !withoutOpenat2())
                    return std::string("skip: no seccomp filter");
                const SpareDescriptors limit(2);
                const auto swap = [&](const std::string& directory) {
                    if (directory == tree.path("a/sub/")) {
                        ::rename(tree.path("a/sub").c_str(), tree.path("a/moved").c_str());
                        ::symlink(target.c_str(), tree.path("a/sub").c_str());
                    }
                };
                return joined(scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 1, swap).paths);
            });
            ASSERT_TRUE(child.exitedNormally()) << child.describe();
            if (child.skipped())
                GTEST_SKIP() << child.output();
            EXPECT_TRUE(child.output() == "a/sub/d/e1/f/x.txt\n" || child.output() == "a/sub/d/e2/f/x.txt\n")
                << openat2 << " " << target << ": " << child.output();
        }
    }
}

TEST(ScanDirectory, DirectorySwappedBetweenLookAndOpenIsTakenForWhatWasOpened)
{
    // Just before x is opened, x and y trade places: whatever is read is listed under the identity
    // of the directory that holds it, never under the one x had when it was looked at.
    TempTree tree;
    tree.file("x/in-x");
    tree.file("y/in-y");
    DirectoryId x, y;
    ASSERT_TRUE(DirectoryIdentity(tree.path("x"), x) && DirectoryIdentity(tree.path("y"), y));
    const auto swap = [&](const std::string& directory) {
        if (directory == tree.path("x/"))
            ::renameat2(AT_FDCWD, tree.path("x").c_str(), AT_FDCWD, tree.path("y").c_str(), RENAME_EXCHANGE);
    };
    const Found found = scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 1, {}, swap);
    ASSERT_FALSE(found.table.EntryTable.empty());
    for (const entrytype& e : found.table.EntryTable)
        EXPECT_EQ(found.table.directory(e.directory).id, e.name == "in-x" ? x : y) << e.name;
}

TEST(ScanDirectory, AnIdleWalkerIsWokenForWorkQueuedWhileItWaits)
{
    // Two walkers, two sub-directories: whichever is read first waits until the other is read, which
    // only the other walker can do. Idle walkers wait without a time limit, so a missed wake-up
    // would hang the walk (the alarm ends it) instead of slowing it down.
    TempTree tree;
    tree.file("a/x");
    tree.file("b/y");
    const ChildProcess child([&] {
        ::alarm(60);
        for (int round = 0; round < 20; ++round) {
            std::mutex lock;
            std::condition_variable changed;
            int read = 0;
            scanRoot(tree.root(), ScanMode::ZeroLength, "*.*", 2, [&](const std::string& directory) {
                if (directory == tree.root())
                    return;
                std::unique_lock guard(lock);
                ++read;
                changed.notify_all();
                changed.wait(guard, [&] { return read == 2; });
            });
        }
        return std::string("woken");
    });
    EXPECT_EQ(child.output(), "woken") << child.describe();
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
