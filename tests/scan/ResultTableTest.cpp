// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ResultTable.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

// The sort as the procedure reads, recursing into both parts: the reference the table's bounded
// form must match slot for slot.
void plainQuicksort(std::vector<entrytype>& t, int L, int R)
{
    const auto key = [&](int i) -> const std::string& { return t[i].key; };
    const int M = (L + R) / 2;
    if (key(L) > key(M))
        std::swap(t[L], t[M]);
    if (key(L) > key(R))
        std::swap(t[L], t[R]);
    if (key(M) > key(R))
        std::swap(t[M], t[R]);
    if (R - L <= 2)
        return;
    std::swap(t[L + 1], t[M]);
    const std::string P = key(L + 1);
    int i = L + 1, j = R;
    do {
        do
            ++i;
        while (key(i) < P);
        do
            --j;
        while (key(j) > P);
        std::swap(t[i], t[j]);
    } while (j > i);
    std::swap(t[i], t[j]);
    std::swap(t[L + 1], t[j]);
    plainQuicksort(t, L, j - 1);
    plainQuicksort(t, j + 1, R);
}

ResultTable tableOf(const std::vector<std::string>& keys)
{
    ResultTable table;
    for (size_t i = 0; i < keys.size(); ++i) {
        entrytype e;
        e.key = keys[i];
        e.name = std::to_string(i);
        table.appendEntry(e);
    }
    return table;
}

std::vector<std::string> paths(const std::vector<entrytype>& entries)
{
    std::vector<std::string> out;
    for (const entrytype& e : entries)
        out.push_back(e.name);
    return out;
}

// The input positions of keys in the order the plain procedure leaves them.
std::vector<std::string> referenceOrder(const std::vector<std::string>& keys)
{
    std::vector<entrytype> t = tableOf(keys).EntryTable;
    plainQuicksort(t, 0, static_cast<int>(t.size()) - 1);
    return paths(t);
}

entrytype entryOf(const std::string& name, std::int64_t size, std::int64_t time)
{
    entrytype e;
    e.name = name;
    e.size = size;
    e.time = time;
    return e;
}

} // namespace

TEST(ResultTable, SortLeavesTheSlotsAsThePlainRecursiveProcedureDoes)
{
    // Keys compared as unsigned bytes; runs of equal keys in the order the procedure leaves them,
    // not a stable one; the bounded sort and the one on two threads slot for slot as the plain one.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> length(1, 6), letter('A', 'F');
    std::vector<std::string> randomKeys;
    for (int i = 0; i < 100000; ++i) {
        std::string k(static_cast<size_t>(length(random)), ' ');
        for (char& c : k)
            c = static_cast<char>(letter(random));
        randomKeys.push_back(k);
    }
    std::vector<std::string> twoKeys;
    for (int i = 0; i < 60; ++i)
        twoKeys.push_back(i % 3 == 1 ? "A" : "B");
    const std::vector<std::string> bytes{"AB", "A", "A_", "\xC3\x89", "Z", ""};
    for (const auto& input : {bytes, twoKeys, std::vector<std::string>(1000, "SAME"), randomKeys}) {
        const std::vector<std::string> reference = referenceOrder(input);
        for (unsigned threads : {1u, 2u}) {
            ResultTable t = tableOf(input);
            t.SortEntriesByKey(0, t.LastEntry(), threads);
            EXPECT_TRUE(paths(t.EntryTable) == reference) << input.size() << " " << threads;
        }
    }
}

TEST(ResultTable, StoppedSortLeavesItsFinalPrefixAndKeepsWholeKeys)
{
    std::mt19937 random(8);
    std::uniform_int_distribution<int> letter('A', 'Z');
    std::vector<std::string> pairs, distinct;
    for (int i = 0; i < 30000; ++i) {
        pairs.push_back({static_cast<char>(letter(random)), static_cast<char>(letter(random))});
        distinct.push_back(pairs.back() + std::to_string(i));
    }
    // Keys met many times, whose runs a stop mostly cuts, and keys met once, which it never cuts.
    for (const auto& input : {pairs, distinct}) {
        const std::vector<std::string> reference = referenceOrder(input);
        std::map<std::string, int> inputCount;
        for (const std::string& k : input)
            ++inputCount[k];

        for (unsigned threads : {1u, 2u}) {
            for (int steps : {0, 1, 40, 4000, 9000}) {
                ResultTable t = tableOf(input);
                std::atomic<int> asked{0};
                const int end =
                    t.SortEntriesByKey(0, t.LastEntry(), threads, [&] { return asked++ >= steps; });
                ASSERT_LT(end, 30000) << steps;
                const std::vector<std::string> names = paths(t.EntryTable);
                EXPECT_TRUE(std::equal(names.begin(), names.begin() + end, reference.begin())) << steps;
                std::map<std::string, int> inPrefix, kept;
                for (int k = 0; k <= t.LastEntry(); ++k) {
                    if (k < end) {
                        ++inPrefix[t.EntryTable[k].key];
                    } else if (end > 0) {
                        ASSERT_GE(t.EntryTable[k].key, t.EntryTable[end - 1].key);
                    }
                }

                // Keys are kept whole or not at all, and every key the prefix holds whole is kept.
                t.KeepCompleteKeys(end);
                ASSERT_LE(t.LastEntry(), end - 1);
                for (const entrytype& e : t.EntryTable)
                    ++kept[e.key];
                for (const auto& [key, count] : inputCount)
                    ASSERT_EQ(kept[key], inPrefix[key] == count ? count : 0) << key;
            }
        }
    }
}

TEST(ResultTable, RowsShowTheirEntryAndTheDeletedMark)
{
    setenv("TZ", "UTC", 1);
    tzset();
    ResultTable t;
    ASSERT_EQ(t.addDirectory("/a/"), 0u);
    t.appendEntry(entryOf("one", 1234567, 912870246)); // 1998-12-05 15:04:06 UTC
    t.appendEntry(entryOf("two", 0, 912816000));       // 1998-12-05 00:00:00 UTC
    t.addRow(0);
    t.addSeparatorRow();
    t.addRow(1);
    EXPECT_EQ(t.RowTexts(0), "12/5/98 3:04:06 PM    1,234,567        /a/one");
    EXPECT_EQ(t.RowTexts(1), "");
    EXPECT_EQ(t.RowPaths(1), "");
    EXPECT_EQ(t.RowPaths(2), "/a/two");

    t.markDeleted(2);
    EXPECT_EQ(t.RowTexts(2), "12/5/98               0                /a/two (Deleted)");
    t.setRowForm(RowForm::ZeroLength);
    EXPECT_EQ(t.RowTexts(0), "12/5/98 3:04:06 PM    1234567          /a/one");

    t.ClearDeletedFlags();
    EXPECT_EQ(t.RowTexts(2), "12/5/98               0                /a/two");
    t.markDeleted(0);
    t.reset();
    EXPECT_EQ(t.LastRow(), -1);
    EXPECT_EQ(t.LastEntry(), -1);
    t.addDirectory("/");
    t.appendEntry(entryOf("b", 5, 912870246));
    t.addRow(0);
    EXPECT_EQ(t.DeletedFlags[0], 0); // a new report carries no old deleted marks
}
