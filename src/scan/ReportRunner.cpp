// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ReportRunner.h"

#include <algorithm>
#include <fcntl.h>
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
    SeenNames seenNames;
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
        options.seenNames = &seenNames;
        options.threads = request.threads;
        options.stop = stop;
        for (const DirectoryId& id : ids) {
            if (!root.known || !(id == root.id))
                options.otherRoots.push_back(id);
        }
        if (progress)
            options.progress = [&](std::int64_t n) { progress(root.path, examinedBefore + n); };
        options.afterDirectoryRead = afterDirectoryRead;
        examinedBefore += ScanDirectory(root.path, options, table);
    }
    // The first phase that sees the flag is the one that is cut; the later ones run in full.
    bool stopped = stopRequested();

    if (request.mode == ScanMode::Duplicates) {
        table.setRowForm(RowForm::Standard);
        if (table.LastEntry() > 0) {
            const int sorted = table.SortEntriesByKey(0, table.LastEntry(), WorkerThreads(request.threads),
                                                      stopped ? std::function<bool()>() : stopRequested);
            if (!stopped && stopRequested()) {
                stopped = true;
                table.KeepCompleteKeys(sorted);
            }
        }
        if (afterDirectoryRead)
            afterDirectoryRead(std::string());
        measureRepeatedNames(table, request.threads, stopped ? std::function<bool()>() : stopRequested);
        stopped = stopped || stopRequested();
        buildGroupedRows(table);
    } else {
        table.setRowForm(request.mode == ScanMode::ZeroLength ? RowForm::ZeroLength : RowForm::Standard);
        for (int k = 0; k <= table.LastEntry(); ++k)
            table.addRow(k);
    }

    ReportOutcome outcome;
    outcome.stopped = stopped;
    outcome.found = request.mode == ScanMode::Duplicates ? m_groupCount : table.LastRow() + 1;
    outcome.text = stopped ? StoppedText(request.mode, outcome.found)
                           : OutcomeText(request.mode, table.LastRow(), m_groupCount);
    return outcome;
}

// Reads size and time of every entry whose name occurs more than once; an entry whose file has
// vanished in the meantime is removed, as if the walk had not met it, and so is every entry left
// unmeasured by a stop. Files are measured directory by directory, relative to the directory, which
// costs far less than looking up every full path.
void ReportRunner::measureRepeatedNames(ResultTable& table, unsigned threads,
                                        const std::function<bool()>& stopRequested)
{
    auto& entries = table.EntryTable;
    std::vector<int> pending;
    const int last = table.LastEntry();
    for (int k = 0; k <= last;) {
        int end = k + 1;
        while (end <= last && entries[end].key == entries[k].key)
            ++end;
        if (end - k >= 2) {
            for (int i = k; i < end; ++i) {
                if (!entries[i].measured)
                    pending.push_back(i);
            }
        }
        k = end;
    }
    std::sort(pending.begin(), pending.end(),
              [&](int a, int b) { return entries[a].directory < entries[b].directory; });

    const auto measure = [&](size_t from, size_t to) {
        int dirFd = -1;
        std::uint32_t openDirectory = 0;
        for (size_t p = from; p < to; ++p) {
            entrytype& e = entries[pending[p]];
            if (stopRequested && stopRequested()) {
                for (; p < to; ++p)
                    entries[pending[p]].size = -1; // left out, like a file that vanished
                break;
            }
            if (dirFd < 0 || e.directory != openDirectory) {
                if (dirFd >= 0)
                    ::close(dirFd);
                dirFd = ::open(table.directoryPath(e.directory).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
                openDirectory = e.directory;
            }
            struct stat st = {};
            if (dirFd >= 0 && ::fstatat(dirFd, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode)) {
                e.size = st.st_size;
                e.time = st.st_mtim.tv_sec;
            } else {
                e.size = -1; // gone
            }
            e.measured = true;
        }
        if (dirFd >= 0)
            ::close(dirFd);
    };
    threads = WorkerThreads(threads);
    if (threads < 2 || pending.size() < 1000) {
        measure(0, pending.size());
    } else {
        std::vector<std::thread> helpers;
        const size_t share = pending.size() / threads;
        for (unsigned t = 1; t < threads; ++t)
            helpers.emplace_back(measure, t * share, t + 1 == threads ? pending.size() : (t + 1) * share);
        measure(0, share);
        for (std::thread& t : helpers)
            t.join();
    }

    entries.erase(
        std::remove_if(entries.begin(), entries.end(), [](const entrytype& e) { return e.size < 0; }),
        entries.end());
}

// Turns the sorted entries into rows: each run of two or more equal keys is a group, names that
// occur once are left out. A separator row stands between two groups, never after the last one,
// even when names that occur once sort behind it.
void ReportRunner::buildGroupedRows(ResultTable& table)
{
    int previous = -1;
    bool inGroup = false;
    for (int k = 0; k <= table.LastEntry(); ++k) {
        if (previous >= 0 && table.EntryTable[k].key == table.EntryTable[previous].key) {
            if (!inGroup) {
                if (m_groupCount > 0)
                    table.addSeparatorRow();
                ++m_groupCount;
                table.addRow(previous);
            }
            inGroup = true;
            table.addRow(k);
        } else {
            inGroup = false;
        }
        previous = k;
    }
}
