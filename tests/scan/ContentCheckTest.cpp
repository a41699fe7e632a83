// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ContentCheck.h"

#include "ChildProcess.h"
#include "ScanScratch.h"
#include "TempTree.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

// A duplicates table made by hand: the check compares whatever rows stand in one group, so the
// files need not share a name, and the rows keep the order the test gives them.
class ContentCheckTest : public ::testing::Test
{
protected:
    ContentCheckTest() : a(10000, '\0')
    {
        ::chmod(tree.root().c_str(), 0755);
        table.addDirectory(tree.root());
        table.addDirectory(0, "sub", {});
        tree.dir("sub");
        for (char& c : a)
            c = static_cast<char>(::random());
        nearA = a;
        nearA.back() ^= 1;
    }

    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(tree.path(name), std::ios::binary | std::ios::trunc) << bytes;
    }

    // A row for the file as it is now; "sub/" names one in the sub-directory. "-": a separator.
    void rows(const Lines& names)
    {
        for (const std::string& name : names) {
            struct stat st = {};
            if (name == "-" || ::stat(tree.path(name).c_str(), &st) != 0) {
                ASSERT_EQ(name, "-");
                table.addSeparatorRow();
                continue;
            }
            entrytype e;
            e.directory = name.starts_with("sub/") ? 1 : 0;
            e.name = name.substr(e.directory ? 4 : 0);
            e.size = st.st_size;
            e.time = st.st_mtim.tv_sec;
            table.appendEntry(e);
            table.addRow(table.LastEntry());
        }
    }

    Lines classes(const ContentClasses& c) const
    {
        Lines out;
        for (int row = 0; row <= table.LastRow(); ++row)
            out.push_back(c.text(row));
        return out;
    }

    TempTree tree;
    ResultTable table;
    std::string a, nearA; // 10,000 bytes; the same but for the last byte
};

} // namespace

TEST_F(ContentCheckTest, EqualBytesShareAClassNumberedInRowOrderAndOnlyWhatCanMatchIsRead)
{
    std::string b = a;
    b[100] ^= 1; // differs within the first 4 KiB
    const std::pair<const char*, std::string> files[] = {
        {"n1", nearA},   {"a1", a},      {"odd", a.substr(0, 6000)},
        {"sub/a2", a},   {"b", b},       {"n2", nearA},
        {"hi1", "hi\n"}, {"ho", "ho\n"}, {"hi2", "hi\n"},
        {"empty1", ""},  {"empty2", ""}, {"a3", a}};
    for (const auto& [name, bytes] : files)
        write(name, bytes);
    ASSERT_EQ(::link(tree.path("a1").c_str(), tree.path("sub/link").c_str()), 0);
    rows({"n1", "a1", "odd", "sub/a2", "b", "n2", "-", "hi1", "ho", "hi2", "empty1", "empty2", "-",
          "sub/link", "a3"});

    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    const ContentClasses c = ContentCheck(2).run(
        table, [&](std::int64_t done, std::int64_t total) { progress.emplace_back(done, total); });
    EXPECT_EQ(classes(c),
              (Lines{"=1", "=2", "", "=2", "", "=1", "", "=1", "", "=1", "=2", "=2", "", "=1", "=1"}));
    EXPECT_EQ(c.outcomeText(), "Contents Compared: 5 Copies in 3 Groups");
    EXPECT_FALSE(c.stopped);

    // The first 4 KiB of the seven files of 10,000 bytes and the three of 3 bytes; the rest of each
    // file of 10,000 bytes but b, and of a1 once for both its names. The file of 6,000 bytes is not read.
    const std::int64_t read = 7 * 4096 + 9 + 5 * (10000 - 4096);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.front(), std::make_pair(std::int64_t{0}, std::int64_t{7 * 10000 + 9}));
    EXPECT_EQ(progress.back(), std::make_pair(read, read));

    // A stop keeps the classes found and leaves the rest unknown (see the report tool's interrupt
    // tests); one asked for before the check leaves every file unknown.
    const std::atomic<bool> stopped{true};
    const Lines unknown = classes(ContentCheck(2).run(table, {}, &stopped));
    EXPECT_EQ(std::count(unknown.begin(), unknown.end(), "?"), 13) << unknown.size();
}

TEST_F(ContentCheckTest, FilesThatChangedVanishedOrCannotBeReadGetAQuestionMark)
{
    for (const char* name : {"a1", "a2", "fifo", "touched", "gone", "locked", "hashed", "bad\xFF"})
        write(name, a);
    // Over 4 GB each, sparse, and different from the first byte: never read beyond their first 4 KiB.
    for (const char* name : {"huge1", "huge2"}) {
        write(name, name);
        ASSERT_EQ(::truncate(tree.path(name).c_str(), (5LL << 30) + 1), 0);
    }
    write("small1", "hi");
    write("small2", "hi");
    rows({"a1", "fifo", "touched", "gone", "locked", "hashed", "a2", "bad\xFF", "huge1", "huge2", "-",
          "small1", "small2"});

    tree.remove("fifo");
    tree.fifo("fifo");
    const timespec later[2] = {{0, UTIME_OMIT}, {1, 0}};
    for (const char* name : {"touched", "small2"})
        ::utimensat(AT_FDCWD, tree.path(name).c_str(), later, 0);
    tree.remove("gone");
    ::chmod(tree.path("locked").c_str(), 0);
    ::chmod(tree.path("hashed").c_str(), 0666);

    const ChildProcess child([&] {
        ::alarm(60); // a file opened so that it waits (the FIFO) ends the child instead of the test run
        std::string why;
        if (!ChildProcess::becomeNobody(why))
            return "skip: " + why;
        ContentCheck check(1);
        // Overwritten with the same bytes while it is read: its times change, its size does not.
        check.beforeWholeRead = [&](int row) {
            if (row == 5)
                write("hashed", a);
        };
        std::string out;
        for (const std::string& c : classes(check.run(table)))
            out += c + ",";
        return out;
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    if (child.skipped())
        GTEST_SKIP() << child.output();
    EXPECT_EQ(child.output(), "=1,?,?,?,?,?,=1,=1,,,,,?,");
}

TEST_F(ContentCheckTest, ReadersShortOfDescriptorsTakeTurnsInsteadOfGivingUpOnAFile)
{
    // Files in a sub-directory need three descriptors: the root, the directory and the file; the
    // child has two to spare. The first 4 KiB agree, so every file is read whole too.
    Lines names;
    std::string expected;
    for (int i = 0; i < 24; ++i) {
        names.push_back((i % 2 ? "sub/f" : "f") + std::to_string(i));
        write(names.back(), i % 4 < 2 ? a : nearA);
        expected += i % 4 < 2 ? "=1," : "=2,";
    }
    rows(names);
    const ChildProcess child([&] {
        const SpareDescriptors limit(2);
        std::string out;
        for (const std::string& c : classes(ContentCheck(8).run(table)))
            out += c + ",";
        return out;
    });
    ASSERT_TRUE(child.exitedNormally()) << child.describe();
    EXPECT_EQ(child.output(), expected);
}
