// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportRunner.h"

#include "scan/DescriptorTurns.h"
#include "scan/DirectoryCursor.h"
#include "scan/TableTree.h"
#include "scan/ThreadStart.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

std::string OutcomeText(ScanMode mode, int lastRow, int groupCount)
{
    if (lastRow == -1)
        return "Dust Complete - Nothing Found";
    if (mode == ScanMode::Duplicates)
        return "Dust Complete: " + std::to_string(groupCount) + " Groups Found";
    return "Dust Complete: " + std::to_string(lastRow + 1) + " Found";
}

std::string StoppedText(ScanMode mode, std::int64_t found)
{
    return "Dust Stopped: " + std::to_string(found) +
           (mode == ScanMode::Duplicates ? " Groups Found" : " Found");
}

std::string UnreadableText(const UnreadableFolders& unreadable)
{
    if (unreadable.count == 0)
        return {};
    const std::string reason = " (" + std::string(std::strerror(unreadable.error)) + ")";
    if (unreadable.count == 1)
        return "1 folder could not be read: " + unreadable.first + reason;
    return std::to_string(unreadable.count) + " folders could not be read, the first: " + unreadable.first +
           reason;
}

namespace {

// Removes the entries marked with a negative size, keeping the order of the others.
void RemoveMarkedEntries(ResultTable& table)
{
    auto& entries = table.EntryTable;
    entries.erase(
        std::remove_if(entries.begin(), entries.end(), [](const entrytype& e) { return e.size < 0; }),
        entries.end());
}

} // namespace

ReportOutcome ReportRunner::run(const ReportRequest& request, ResultTable& table,
                                const ReportProgress& progress, const std::atomic<bool>* stop)
{
    table.reset();
    m_groupCount = 0;
    const std::function<bool()> stopRequested = [stop] {
        return stop && stop->load(std::memory_order_relaxed);
    };

    // Roots that name the same directory are walked once; every root is kept out of the others' walks.
    struct Root
    {
        std::string path;
        bool known = false; // false: unreadable or gone, its walk simply finds nothing
        DirectoryId id;
    };
    std::vector<Root> roots;
    std::vector<DirectoryId> ids;
    for (const std::string& path : request.roots) {
        Root root;
        root.path = path;
        root.known = DirectoryIdentity(path, root.id);
        if (root.known) {
            if (std::find(ids.begin(), ids.end(), root.id) != ids.end())
                continue;
            ids.push_back(root.id);
        }
        roots.push_back(root);
    }

    const MaskMatcher mask(request.mask);
    // Only a duplicates run looks at names, and only a run of several roots compares directories
    // across walks: the others need not pay for them.
    std::unique_ptr<SeenNames> seenNames;
    if (request.mode == ScanMode::Duplicates)
        seenNames = std::make_unique<SeenNames>();
    std::vector<FileId> walkedDirectories;
    UnreadableFolders unreadable;
    unsigned walkers = WorkerThreads(request.threads);
    std::int64_t examinedBefore = 0;
    for (const Root& root : roots) {
        if (stopRequested())
            break;
        if (progress)
            progress(root.path, examinedBefore);

        ScanOptions options;
        options.mode = request.mode;
        options.mask = &mask;
        options.sizeThreshold = request.sizeThreshold;
        options.deferMeasuring = true;
        options.seenNames = seenNames.get();
        options.threads = request.threads;
        options.stop = stop;
        options.walkedDirectories = roots.size() > 1 ? &walkedDirectories : nullptr;
        unsigned used = 1;
        options.threadsUsed = &used;
        for (const DirectoryId& id : ids) {
            if (!root.known || !(id == root.id))
                options.otherRoots.push_back(id);
        }
        if (progress)
            options.progress = [&](std::int64_t n) { progress(root.path, examinedBefore + n); };
        options.afterDirectoryRead = afterDirectoryRead;
        options.unreadable = &unreadable;
        examinedBefore += ScanDirectory(root.path, options, table);
        walkers = std::max(walkers, used);
    }
    // The first phase that sees the flag is the one that is cut; the later ones run in full.
    bool stopped = stopRequested();

    if (request.mode == ScanMode::Duplicates) {
        table.setRowForm(RowForm::Standard);
        if (afterDirectoryRead)
            afterDirectoryRead(std::string());
        walkedDirectories = {};
        measureRepeatedNames(table, *seenNames, walkers, stopped ? std::function<bool()>() : stopRequested,
                             unreadable);
        if (!stopped && stopRequested())
            stopped = true;
        if (table.LastEntry() > 0) {
            const int sorted = table.SortEntriesByKey(0, table.LastEntry(), WorkerThreads(request.threads),
                                                      stopped ? std::function<bool()>() : stopRequested);
            if (!stopped && stopRequested()) {
                stopped = true;
                table.KeepCompleteKeys(sorted);
            }
        }
        buildGroupedRows(table);
    } else {
        table.setRowForm(request.mode == ScanMode::ZeroLength ? RowForm::ZeroLength : RowForm::Standard);
        for (int k = 0; k <= table.LastEntry(); ++k)
            table.addRow(k);
    }

    ReportOutcome outcome;
    outcome.stopped = stopped;
    outcome.unreadable = std::move(unreadable);
    outcome.found = request.mode == ScanMode::Duplicates ? m_groupCount : table.LastRow() + 1;
    outcome.text = stopped ? StoppedText(request.mode, outcome.found)
                           : OutcomeText(request.mode, table.LastRow(), m_groupCount);
    return outcome;
}

// Reads size and time of every entry left unmeasured by the walk whose name was met again; an entry
// whose file has vanished in the meantime is removed, as if the walk had not met it, and so is every
// entry left unmeasured by a stop. The entries are in the walk's order, so the files of a directory
// come together and a cursor reaches each directory from the one before, relative to its parent.
void ReportRunner::measureRepeatedNames(ResultTable& table, const SeenNames& seenNames, unsigned threads,
                                        const std::function<bool()>& stopRequested,
                                        UnreadableFolders& unreadable)
{
    auto& entries = table.EntryTable;
    std::vector<int> pending;
    for (int k = 0; k <= table.LastEntry(); ++k) {
        if (!entries[k].measured && seenNames.repeated(entries[k].name))
            pending.push_back(k);
    }
    if (pending.empty())
        return;

    threads = pending.size() < 1000 ? 1 : std::max(threads, 1u);
    const auto shareStart = [&](unsigned k) { return pending.size() * k / threads; };
    const TableTree tree{table};
    const size_t budget = DescriptorBudget(threads);
    DescriptorTurns turns;
    std::mutex unreadableLock;
    const auto measure = [&](size_t from, size_t to) {
        DirectoryCursor<TableTree> cursor(tree, budget);
        turns.hold();
        for (size_t p = from; p < to; ++p) {
            entrytype& e = entries[pending[p]];
            if (stopRequested && stopRequested()) {
                for (; p < to; ++p)
                    entries[pending[p]].size = -1; // left out, like a file that vanished
                break;
            }
            turns.giveWay(cursor);
            const int fd = turns.openWithTurn(cursor, [&] { return cursor.open(e.directory); });
            // The files of a directory follow each other: it is counted once.
            if (fd < 0 && !VanishedOrReplaced(errno) &&
                (p == from || entries[pending[p - 1]].directory != e.directory)) {
                std::lock_guard lock(unreadableLock);
                unreadable.add(table.directoryPath(e.directory), errno);
            }
            struct stat st = {};
            if (fd >= 0 && ::fstatat(fd, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode)) {
                e.size = st.st_size;
                e.time = st.st_mtim.tv_sec;
                e.measured = true;
            } else {
                e.size = -1; // gone
            }
        }
        cursor.release();
        turns.release();
    };
    std::vector<std::thread> helpers;
    unsigned started = 1;
    for (; started < threads; ++started) {
        std::thread t;
        if (!TryStartThread(t, measure, shareStart(started), shareStart(started + 1)))
            break;
        helpers.push_back(std::move(t));
    }
    // The calling thread takes the first share, and the ones no thread could be started for.
    measure(shareStart(0), shareStart(1));
    if (started < threads)
        measure(shareStart(started), pending.size());
    for (std::thread& t : helpers)
        t.join();
    RemoveMarkedEntries(table);
}

// Turns the sorted entries into rows: each run of two or more equal keys is a group, names that
// occur once are left out. A separator row stands between two groups, never after the last one, even
// when names that occur once sort behind it.
void ReportRunner::buildGroupedRows(ResultTable& table)
{
    const auto& entries = table.EntryTable;
    const int last = table.LastEntry();
    for (int k = 0; k <= last;) {
        int end = k + 1;
        while (end <= last && entries[end].key == entries[k].key)
            ++end;
        if (end - k >= 2) {
            if (m_groupCount > 0)
                table.addSeparatorRow();
            ++m_groupCount;
            for (int i = k; i < end; ++i)
                table.addRow(i);
        }
        k = end;
    }
}
