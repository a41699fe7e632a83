// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/ListedFile.h"
#include "audit/TrashRestorer.h"
#include "platform/LocaleSettings.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ResultTable;

// A row of a report and the file behind it.
struct TrashRunFile
{
    int row = -1;
    ListedFile file;
};

// A row whose file went to the trash: what Undo Delete needs to bring it back and unmark the row.
struct TrashedRow
{
    int row = -1;
    TrashedFile file;
};

struct TrashRunFailure
{
    int row = -1;
    std::string path;
    std::string reason; // in words that can follow "Cannot move 'x' to the trash: "
};

// Told after each group of files.
struct TrashRunProgress
{
    std::size_t done = 0;   // files tried so far, moved or not
    std::size_t moved = 0;  // of them in the trash
    std::int64_t bytes = 0; // their size as the report listed it
    std::vector<int>
        markable; // rows whose files moved since the last progress, their audit lines on the disk
};

struct TrashRunSummary
{
    std::size_t moved = 0;
    std::int64_t bytes = 0;
    std::vector<TrashRunFailure> failures; // the files tried that are not in the trash, in order
    std::size_t notTried = 0;              // files after a stop or a halt
    bool stopped = false;                  // stopRequested ended the run
    std::string halted; // why the run ended by itself before the last file, in words; empty if it did not
    std::vector<TrashedRow> trashed; // every moved file, in order, with the time its record and line hold
};

// Moves the files of many rows to the trash, each exactly as a single Delete moves one (every check
// of Trash::Move), and logs each in the audit log. Plain C++: the window runs it on a thread of its
// own and hears of it through the callbacks.
//
// Files go in groups (TrashBatch): up to kMaxGroup files in at most kMaxFolders folders (each held
// open until its group is moved), or as many as are checked and recorded in kGroupTime. For each group, in
// this order: the records are written and flushed; the files are renamed into the trash and the moves
// flushed; the audit lines of the files that moved are appended with one write and flushed; only then does
// progress name their rows as markable. So no row is marked before its line is on the disk, and no line is
// written for a move that did not last.
//
// What a crash leaves, by the step it interrupts: while records are written or flushed, records
// without their files (harmless: trash clients skip them) and every file in its place; between the
// move flush and the audit flush, files in the trash with their records whose lines may be missing
// from the log (they can be found in the trash by path and time, and their rows were never marked);
// after the audit flush, the group complete. Never a trashed file without its record, never an audit
// line for a move that did not last.
//
// Halts. A record that cannot be written for lack of space (ENOSPC, EDQUOT) ends the run after its
// group: the files that were recorded are moved and logged, the rest are not tried. Audit lines that
// cannot be written end the run too, and the group's files are put back where they were (a file whose
// place was taken meanwhile stays in the trash with its record, and its failure says where).
class TrashRun
{
public:
    using Clock = std::function<LocalDateTime()>;
    using Progress = std::function<void(const TrashRunProgress&)>;

    static constexpr std::size_t kMaxGroup = 4096;
    static constexpr std::size_t kMaxFolders = 256;
    static constexpr std::chrono::milliseconds kGroupTime{100};

    // trash gives the trash at each run (the default reads the environment); clock is read once per
    // group, and the records and audit lines of the group take that time (the default reads the
    // system clock).
    explicit TrashRun(LocaleSettings locale, std::function<Trash()> trash = &Trash::ForCurrentUser,
                      Clock clock = {});

    // The files of rows of a report, in the order given: separator rows, rows outside the report and
    // rows already marked deleted are left out. On the thread that owns the table.
    static std::vector<TrashRunFile> FilesOfRows(const ResultTable& table, const std::vector<int>& rows);

    // Moves files in order with the audit log in programDir (a path ending in "/"). stopRequested is
    // asked before each file; once it answers true the files already recorded are moved and logged,
    // and the run ends (within about kGroupTime plus one group's flushes). Both callbacks are called
    // on the calling thread.
    TrashRunSummary Run(const std::vector<TrashRunFile>& files, const std::string& programDir,
                        const std::function<bool()>& stopRequested = {}, const Progress& progress = {}) const;

private:
    LocaleSettings m_locale;
    std::function<Trash()> m_trash;
    Clock m_clock;
};
