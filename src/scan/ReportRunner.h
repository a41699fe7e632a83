// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"
#include "scan/ScanDirectory.h"
#include "scan/ScanMode.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ReportRequest
{
    std::vector<std::string> roots; // directory roots, each ending in "/"
    std::string mask;               // already trimmed and not empty
    ScanMode mode = ScanMode::Duplicates;
    std::int64_t sizeThreshold = 0; // LargerThan: files of at least this many bytes
    unsigned threads = 0;           // walker threads; 0: one per processor (at most 4), more while
                                    // the disk is being read (see ScanOptions::threads)
};

struct ReportOutcome
{
    bool stopped = false;
    // Rows found (LargerThan, ZeroLength) or groups found (Duplicates).
    std::int64_t found = 0;
    // "Dust Complete: 12 Found" and its kin, or "Dust Stopped: 12 Found" ("... Groups Found").
    std::string text;
    // The folders (roots included) that could not be read; the report holds what could be.
    UnreadableFolders unreadable;
};

// Called on the calling thread when a root's walk starts and a few times a second during it.
using ReportProgress = std::function<void(const std::string& root, std::int64_t filesExamined)>;

// A whole report run, as the main window and lintwick-report both make it: empties the table, walks
// every root (a root that is the same directory as an earlier one is walked once; a root inside
// another root's tree is walked only as a root of its own), measures, sorts and groups the entries
// of a duplicates run, builds the rows and returns the outcome. Every name the walks meet is listed
// (each name of a file with several hard links too), and no directory entry twice.
//
// Stopping. *stop may be set from any thread (or a signal handler) at any time; the run then ends
// soon and still leaves a sound report of what it found, with outcome.stopped set. A run goes
// through phases: the walk, and for duplicates the measuring of repeated names and the sort. The
// first phase that sees the flag is cut short as below; the phases after it run in full on what it
// left, since the report needs them. A flag set just as one phase ends counts for it or the next.
// - The walk ends within a tenth of a second: no further root or directory is read, and a
//   directory being read is left within its next thousand or so entries. Every file found so far
//   stays.
// - The measuring ends before its next file. Entries not yet measured are left out; groups are
//   formed from what remains, and a name left with one entry is no group.
// - The sort ends before its next partition step. The leading entries that are already in their
//   final order stay; the others are dropped, and so is the last key of that prefix when a dropped
//   entry shares it. So each name that remains keeps every entry the earlier phases left for it.
// Whatever the moment of the stop, every listed file was found by the walk and shows the size and
// time measured for it, and every group lists two or more files of one name: all the files of that
// name that the phases before left. Rows are built as usual (sorted and grouped for duplicates).
// A run that saw the flag reports "Dust Stopped: " with the number of rows (LargerThan, ZeroLength:
// " Found") or groups (" Groups Found"), also when that is 0.
class ReportRunner
{
public:
    ReportOutcome run(const ReportRequest& request, ResultTable& table, const ReportProgress& progress = {},
                      const std::atomic<bool>* stop = nullptr);

    // For tests: called on a walker thread with each directory's path after it was read, and once
    // more with an empty path on the calling thread when the measuring of a duplicates run begins.
    std::function<void(const std::string& directory)> afterDirectoryRead;

    int GroupCount() const { return m_groupCount; }

private:
    void measureRepeatedNames(ResultTable& table, const SeenNames& seenNames, unsigned threads,
                              const std::function<bool()>& stopRequested, UnreadableFolders& unreadable);
    void buildGroupedRows(ResultTable& table);

    int m_groupCount = 0;
};

// The status text of a finished run.
std::string OutcomeText(ScanMode mode, int lastRow, int groupCount);

// The status text of a run that was stopped, with the rows or groups it found.
std::string StoppedText(ScanMode mode, std::int64_t found);

// "1 folder could not be read: /a/b/ (Permission denied)", "3 folders could not be read, the first:
// /a/b/ (Permission denied)"; empty when every folder could be read.
std::string UnreadableText(const UnreadableFolders& unreadable);
