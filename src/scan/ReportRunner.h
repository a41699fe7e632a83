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
    unsigned threads = 0;           // 0: one per processor, at most 4
};

struct ReportOutcome
{
    bool stopped = false;
    // Rows found (LargerThan, ZeroLength) or groups found (Duplicates).
    std::int64_t found = 0;
    // "Dust Complete: 12 Found" and its kin; empty when the run was stopped.
    std::string text;
};

// Called on the calling thread when a root's walk starts and a few times a second during it.
using ReportProgress = std::function<void(const std::string& root, std::int64_t filesExamined)>;

// A whole report run, as the main window and lintwick-report both make it: empties the table, walks
// every root (a root that is the same directory as an earlier one is walked once; a root inside
// another root's tree is walked only as a root of its own), sorts and groups the entries of a
// duplicates run, builds the rows and returns the outcome. Setting *stop ends the run early with an
// empty table and outcome.stopped.
class ReportRunner
{
public:
    ReportOutcome run(const ReportRequest& request, ResultTable& table, const ReportProgress& progress = {},
                      const std::atomic<bool>* stop = nullptr);

    // For tests: called with each directory's path after it was read, and once more with an empty
    // path after the walk, before the entries of a duplicates run are measured.
    std::function<void(const std::string& directory)> afterDirectoryRead;

    int GroupCount() const { return m_groupCount; }

private:
    void measureRepeatedNames(ResultTable& table, unsigned threads);
    void buildGroupedRows(ResultTable& table);

    int m_groupCount = 0;
};

// The status text of a finished run.
std::string OutcomeText(ScanMode mode, int lastRow, int groupCount);
