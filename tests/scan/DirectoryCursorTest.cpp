// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DirectoryCursor.h"

#include "TempTree.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

// Directories made on disk, as records a cursor walks over.
struct Records
{
    using Handle = std::uint32_t;
    static constexpr Handle kNone = DirectoryRecord::kNoParent;
    std::vector<DirectoryRecord> records;
    Handle parent(Handle h) const { return records[h].parent; }
    std::uint32_t depth(Handle h) const { return records[h].depth; }
    const std::string& name(Handle h) const { return records[h].name; }
    FileId identity(Handle h) const { return records[h].id; }
};

FileId identityAt(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? FileId{st.st_dev, st.st_ino} : FileId{};
}

size_t openDescriptors()
{
    size_t n = 0;
    DIR* d = ::opendir("/proc/self/fd");
    while (::readdir(d))
        ++n;
    ::closedir(d);
    return n;
}

// Makes the directory name inside record parent, by descriptors (its path may be too long for the
// kernel), and returns its identity.
FileId makeDirectory(const Records& r, std::uint32_t parent, const std::string& name)
{
    std::vector<std::uint32_t> line;
    for (std::uint32_t d = parent; d != Records::kNone; d = r.records[d].parent)
        line.push_back(d);
    int fd = ::open(r.records[line.back()].name.c_str(), O_RDONLY | O_DIRECTORY);
    for (auto it = line.rbegin() + 1; it != line.rend(); ++it) {
        const int next = ::openat(fd, r.records[*it].name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::mkdirat(fd, name.c_str(), 0755);
    struct stat st = {};
    ::fstatat(fd, name.c_str(), &st, 0);
    ::close(fd);
    return {st.st_dev, st.st_ino};
}

// A random tree of 300 directories with 150-byte names, up to 60 deep: deep paths need more than
// one open.
Records makeTree(const TempTree& tree)
{
    Records r;
    r.records.push_back({DirectoryRecord::kNoParent, 0, tree.root(), identityAt(tree.root())});
    std::mt19937 random(11);
    for (std::uint32_t i = 1; i < 300; ++i) {
        // Below one of the last few, long chains, or anywhere, branches off them.
        const auto n = static_cast<std::uint32_t>(r.records.size());
        std::uint32_t parent = std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random);
        if (random() % 4 != 0)
            parent = std::uniform_int_distribution<std::uint32_t>(n > 3 ? n - 3 : 0, n - 1)(random);
        if (r.records[parent].depth >= 60)
            continue;
        std::string name = "d" + std::to_string(i);
        name.resize(150, 'x');
        r.records.push_back({parent, r.records[parent].depth + 1, name, makeDirectory(r, parent, name)});
    }
    return r;
}

} // namespace

TEST(DirectoryCursor, EveryDirectoryReachedIsTheOneAskedForWithinTheBudget)
{
    TempTree tree;
    const Records records = makeTree(tree);
    ASSERT_GT(records.records.size(), 250u);
    std::uint32_t deepest = 0;
    for (const DirectoryRecord& d : records.records)
        deepest = std::max(deepest, d.depth);
    ASSERT_GT(deepest * 151, static_cast<std::uint32_t>(PATH_MAX));
    const size_t before = openDescriptors();
    {
        DirectoryCursor<Records> cursor(records, 5);
        std::mt19937 random(5);
        for (int k = 0; k < 3000; ++k) {
            const auto h = std::uniform_int_distribution<std::uint32_t>(
                0, static_cast<std::uint32_t>(records.records.size() - 1))(random);
            const int fd = cursor.open(h);
            ASSERT_GE(fd, 0) << h;
            FileId id;
            ASSERT_TRUE(IdentityOf(fd, id));
            ASSERT_EQ(id, records.records[h].id) << h;
            ASSERT_LE(cursor.held(), 5u);
            ASSERT_EQ(openDescriptors(), before + cursor.held());

            // As a walk goes on: a child opened from there becomes the end of the path.
            const auto child = std::find_if(records.records.begin(), records.records.end(),
                                            [&](const DirectoryRecord& d) { return d.parent == h; });
            if (child == records.records.end())
                continue;
            const int childFd = OpenDirectoryAt(fd, child->name);
            ASSERT_GE(childFd, 0);
            cursor.descend(static_cast<std::uint32_t>(child - records.records.begin()), childFd);
            ASSERT_TRUE(IdentityOf(childFd, id));
            ASSERT_EQ(id, child->id);
            ASSERT_LE(cursor.held(), 5u);
        }
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(DirectoryCursor, ASwappedDirectoryLeadsNowhere)
{
    TempTree tree;
    tree.dir("a/b/c");
    tree.dir("other/b/c");
    Records r;
    r.records.push_back({DirectoryRecord::kNoParent, 0, tree.root(), identityAt(tree.root())});
    r.records.push_back({0, 1, "a", identityAt(tree.path("a"))});
    r.records.push_back({1, 2, "b", identityAt(tree.path("a/b"))});
    r.records.push_back({2, 3, "c", identityAt(tree.path("a/b/c"))});
    DirectoryCursor<Records> cursor(r, 8);
    ASSERT_GE(cursor.open(3), 0);
    ASSERT_GE(cursor.open(0), 0); // the path now ends at the root; a, b and c are closed

    // a replaced by another directory with the same names below it.
    ASSERT_EQ(::rename(tree.path("a").c_str(), tree.path("a.old").c_str()), 0);
    ASSERT_EQ(::rename(tree.path("other").c_str(), tree.path("a").c_str()), 0);
    EXPECT_EQ(cursor.open(3), -1);
    EXPECT_EQ(errno, ESTALE);

    // Back in place, it is reached again.
    ASSERT_EQ(::rename(tree.path("a").c_str(), tree.path("other").c_str()), 0);
    ASSERT_EQ(::rename(tree.path("a.old").c_str(), tree.path("a").c_str()), 0);
    EXPECT_GE(cursor.open(3), 0);
}
