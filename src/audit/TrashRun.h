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
    // Rows whose files moved since the last progress, their audit lines on the disk: they may show
    // " (Deleted)" now.
    std::vector<int> markable;
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
// Files go in groups (TrashBatch): up to kMaxGroup files in at most kMaxFolders folders (held open
// until the group is logged; fewer where the process has few descriptors left), or as many as are
// checked and recorded in kGroupTime. The records of a group are written, then one syncfs of each
// filesystem concerned puts them on the disk together with the moves of the group before; the group's
// files are renamed into the trash; the group before has its audit lines appended with one write and
// flushed, and only then does progress name its rows as markable. The last group's moves get a flush
// of their own. So for every file: its record is on the disk before it moves, its move before its
// audit line, its line before its row may be marked; and no line is written for a move that did not
// last.
//
// What a crash leaves: records on the disk whose files never moved (harmless: trash clients skip a
// record without its file); files in the trash with their records, moved after the last audit flush,
// whose lines are missing from the log and whose rows were never marked (they are in the trash, found
// by path and time); and every group logged before, complete. Never a trashed file without its
// record, never an audit line for a move that did not last.
//
// Halts. A record that cannot be written for lack of space (ENOSPC, EDQUOT) ends the run: the files
// recorded before it are moved and logged, the ones after it are not tried. Audit lines that cannot
// be written end the run too, and every move not yet logged is taken back (a file whose place was
// taken meanwhile stays in the trash with its record, and its failure says where).
class TrashRun
{
public:
    using Clock = std::function<LocalDateTime()>;
    using Progress = std::function<void(const TrashRunProgress&)>;

    static constexpr std::size_t kMaxGroup = 4096;
    static constexpr std::size_t kMaxFolders = 200;
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

    // For tests: groups of at most files files.
    void setMaxGroup(std::size_t files) { m_maxGroup = files; }

private:
    LocaleSettings m_locale;
    std::function<Trash()> m_trash;
    Clock m_clock;
    std::size_t m_maxGroup = kMaxGroup;
};
