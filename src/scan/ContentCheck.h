// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Which files of each group of a duplicates report hold the same bytes: the outcome of a
// ContentCheck, beside the table it was made for (rows are numbered as there).
struct ContentClasses
{
    static constexpr std::int32_t kNoCopy = 0;   // no other file of the group has this content
    static constexpr std::int32_t kUnknown = -1; // "?": see ContentCheck::run

    // Per row: kNoCopy, kUnknown or the class number 1, 2, ... The classes of a group are numbered
    // in the order of the group's rows: the group's first row that has a copy is in class 1, the
    // next row with a copy not in class 1 starts class 2, and so on. Separator rows and rows of
    // deleted files hold kNoCopy. Empty when no check was made.
    std::vector<std::int32_t> ofRow;
    // Copies: in each class, every file but one (a class of three files is two copies), so this is
    // how many files could go while every content of every group keeps one file.
    std::int64_t copies = 0;
    // Groups: the groups of the report that hold at least one class.
    std::int64_t groups = 0;
    bool stopped = false;

    // The class column of a row: "=1", "=2" ..., "?", or "" (kNoCopy, a separator row, or a row
    // beyond ofRow).
    std::string text(int row) const;
    // "Contents Compared: 812 Copies in 301 Groups", or "Compare Stopped: " with the counts of what
    // was compared when the check was stopped.
    std::string outcomeText() const;
};

// Bytes read so far and the bytes the whole check will read, as well as that is known. The total
// never grows: it starts as the first 4 KiB of every file that has a size twin in its group plus
// the rest of each such file, and falls as soon as the first pass shows which files need no more
// reading (and whenever a file turns out to have changed). A check that ran to its end has read
// exactly its total.
using ContentProgress = std::function<void(std::int64_t bytesDone, std::int64_t bytesTotal)>;

// Compares the contents of the files within each group of a duplicates report. Only files of equal
// size in a group are read: first their first 4 KiB, then, only for files whose first 4 KiB equal
// another's of that size, the rest; each byte of a file is read at most once (a file met under
// several names, hard links, is read once), by XXH3 128-bit hashes. Files of equal size and equal
// hashes are one class; a file with no size twin in its group is not read at all, and a file
// larger than 4 KiB whose first 4 KiB differ from every other's of its size is not read further.
class ContentCheck
{
public:
    // threads: files read at the same time; 0 reads the first 4 KiB of up to 16 files and up to 4
    // whole files at a time.
    explicit ContentCheck(unsigned threads = 0) : m_threads(threads) {}

    // Checks the rows of table, which must hold a duplicates report (groups between separator
    // rows) and stay unchanged during the call. Blocks until done; the reading runs on worker
    // threads. progress is called on the calling thread when the check starts, a few times a
    // second while it runs, and when it ends.
    //
    // Every file is reached through its row's directory, as the walk reached it, never through a
    // symbolic link, and opened without following one and without waiting (a FIFO or device in a
    // file's place is never read). A row gets kUnknown when its file is gone, is no longer a regular
    // file, no longer has its row's size and modification time, cannot be opened or read, or
    // changed while it was read; the check goes on with the others. Rows the table marks deleted
    // are left out. Classes are formed among the files whose content is known.
    //
    // Stopping: *stop may be set from any thread or a signal handler. The check then ends within a
    // tenth of a second; rows whose comparison was not finished get kUnknown, the others keep the
    // class the files compared so far give them, and the result is marked stopped.
    ContentClasses run(const ResultTable& table, const ContentProgress& progress = {},
                       const std::atomic<bool>* stop = nullptr);

    // For tests: called on a worker thread with the row of a file that is open and checked for
    // reading beyond its first 4 KiB, before any of that is read.
    std::function<void(int row)> beforeWholeRead;

private:
    unsigned m_threads;
};
