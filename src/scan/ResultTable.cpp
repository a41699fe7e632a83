// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ResultTable.h"

#include "scan/ThreadStart.h"

#include <algorithm>
#include <thread>

ResultTable::ResultTable(LocaleSettings locale) : m_locale(std::move(locale))
{
    EntryTable.reserve(kInitialCapacity);
    m_rowEntries.reserve(kInitialCapacity);
    DeletedFlags.reserve(kInitialCapacity);
}

int ResultTable::PartitionEntries(int L, int R)
{
    const auto key = [this](int i) -> const std::string& { return EntryTable[i].key; };
    const int M = L + (R - L) / 2;
    if (key(L) > key(M))
        SwapEntries(L, M);
    if (key(L) > key(R))
        SwapEntries(L, R);
    if (key(M) > key(R))
        SwapEntries(M, R);
    if (R - L <= 2)
        return -1;

    SwapEntries(L + 1, M);
    const std::string P = key(L + 1);
    int i = L + 1;
    int j = R;
    // No bounds checks needed: slot R holds a key not below P, slot L+1 holds P itself.
    do {
        do
            ++i;
        while (key(i) < P);
        do
            --j;
        while (key(j) > P);
        SwapEntries(i, j);
    } while (j > i);
    SwapEntries(i, j); // undo the exchange made after the indices crossed
    SwapEntries(L + 1, j);
    return j;
}

int ResultTable::SortEntriesByKey(int L, int R, unsigned threads, const std::function<bool()>& stopRequested)
{
    if (threads > 1 && R - L > 10000) {
        if (stopRequested && stopRequested())
            return L;
        // The two parts are disjoint, so sorting them at the same time leaves the same table.
        const int j = PartitionEntries(L, R);
        int leftEnd = L;
        const auto sortLeft = [&] { leftEnd = SortLeftFirst(L, j - 1, stopRequested); };
        std::thread left;
        const bool started = TryStartThread(left, sortLeft);
        if (!started)
            sortLeft();
        const int rightEnd = SortLeftFirst(j + 1, R, stopRequested);
        if (started)
            left.join();
        return leftEnd == j ? rightEnd : leftEnd;
    }
    return SortLeftFirst(L, R, stopRequested);
}

int ResultTable::SortLeftFirst(int L, int R, const std::function<bool()>& stopRequested)
{
    // The top of the list is always the leftmost part not yet sorted: every slot before it is final.
    std::vector<std::pair<int, int>> parts{{L, R}};
    while (!parts.empty()) {
        const auto [l, r] = parts.back();
        parts.pop_back();
        if (l >= r)
            continue;
        if (stopRequested && stopRequested())
            return l;
        const int j = PartitionEntries(l, r);
        if (j < 0)
            continue;
        parts.emplace_back(j + 1, r);
        parts.emplace_back(l, j - 1);
    }
    return R + 1;
}

void ResultTable::KeepCompleteKeys(int end)
{
    if (end > LastEntry())
        return;
    int keep = end;
    if (keep > 0) {
        // The run before end is whole unless the unsorted rest holds one more of its key.
        const std::string& last = EntryTable[keep - 1].key;
        const bool more = std::any_of(EntryTable.begin() + end, EntryTable.end(),
                                      [&](const entrytype& e) { return e.key == last; });
        while (more && keep > 0 && EntryTable[keep - 1].key == last)
            --keep;
    }
    EntryTable.erase(EntryTable.begin() + keep, EntryTable.end());
}

std::string ResultTable::RowTexts(int row, std::optional<std::string_view> contentClass) const
{
    const int index = m_rowEntries[row];
    if (index < 0)
        return {};
    const entrytype& e = EntryTable[index];
    const LocalDateTime when = ToLocalDateTime(e.time);
    const std::string p = path(index);
    std::string text = m_rowForm == RowForm::ZeroLength
                           ? ZeroLengthRow(when, e.size, p, m_locale)
                           : StandardRow(when, e.size, p, m_locale, contentClass);
    if (DeletedFlags[row])
        text += " (Deleted)";
    return text;
}

std::string ResultTable::RowPaths(int row) const
{
    const int index = m_rowEntries[row];
    return index < 0 ? std::string() : path(index);
}

std::string ResultTable::path(int entry) const
{
    const entrytype& e = EntryTable[entry];
    std::string p = directoryPath(e.directory);
    p += e.name;
    return p;
}

std::string ResultTable::directoryPath(std::uint32_t directory) const
{
    // A root's name is a path that ends in "/" already; every other name takes a "/" after it.
    size_t length = 0;
    std::uint32_t d = directory;
    for (; m_directories[d].parent != DirectoryRecord::kNoParent; d = m_directories[d].parent)
        length += m_directories[d].name.size() + 1;
    const std::string& root = m_directories[d].name;
    std::string p(root.size() + length, '/');
    p.replace(0, root.size(), root);
    size_t end = p.size();
    for (d = directory; m_directories[d].parent != DirectoryRecord::kNoParent; d = m_directories[d].parent) {
        const std::string& name = m_directories[d].name;
        end -= name.size() + 1;
        p.replace(end, name.size(), name);
    }
    return p;
}

std::uint32_t ResultTable::addDirectory(std::string path, DirectoryId id)
{
    DirectoryRecord& r = m_directories.emplace_back();
    r.name = std::move(path);
    r.id = id;
    return static_cast<std::uint32_t>(m_directories.size() - 1);
}

std::uint32_t ResultTable::addDirectory(std::uint32_t parent, std::string name, DirectoryId id)
{
    DirectoryRecord& r = m_directories.emplace_back();
    r.parent = parent;
    r.depth = m_directories[parent].depth + 1;
    r.name = std::move(name);
    r.id = id;
    return static_cast<std::uint32_t>(m_directories.size() - 1);
}

void ResultTable::ClearDeletedFlags()
{
    std::fill(DeletedFlags.begin(), DeletedFlags.end(), 0);
}

void ResultTable::addRow(int entry)
{
    m_rowEntries.push_back(entry);
    DeletedFlags.push_back(0);
}

void ResultTable::reset()
{
    EntryTable.clear();
    m_directories.clear();
    m_rowEntries.clear();
    DeletedFlags.clear();
}
