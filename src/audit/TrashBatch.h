// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/Trash.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

struct WalkCache;

// Files sent to the trash in groups. Each file is checked, recorded and moved exactly as Trash::Move
// moves one; what a group shares is the flushing that makes its moves last, and the folders and trash
// folders it opens.
//
// The groups go through a pipeline: Add writes the records of a group; Commit flushes them, together
// with the moves of the group before, reports that group's results (its moves are on the disk now),
// and renames the new group's files into the trash; Finish flushes the last group's moves and reports
// its results. So every record is on the disk before its file moves, and every move is on the disk
// before its result is reported. Flush::EachFile flushes file by file: the record and the info/
// folder ("sync record", "sync info"), then after the rename ("rename") the trash's files/ folder and
// the file's own folder ("sync files", "sync folder"). Flush::Filesystem flushes each filesystem the
// flush concerns once ("sync", a syncfs), which also waits for whatever other programs have not yet
// written to that filesystem.
//
// What a crash leaves: records that may or may not have reached the disk, with their files still in
// place (a record without its file is what any trash client meets after emptying, and is harmless);
// files moved into the trash with their records, whose results were not yet reported; reported moves
// for good. Never a file in the trash without its record.
class TrashBatch
{
public:
    enum class Flush
    {
        EachFile,
        Filesystem,
    };

    // trash must outlive the batch.
    TrashBatch(const Trash& trash, Flush flush);
    // Records of files added but never committed are removed.
    ~TrashBatch();
    TrashBatch(const TrashBatch&) = delete;
    TrashBatch& operator=(const TrashBatch&) = delete;

    // Whether file is still the one listed (see Trash::Check). Changes nothing.
    TrashResult Check(const ListedFile& file);
    // Checks file and claims a name for it in its trash by writing its record (deleted at now), not
    // yet flushed; nothing moves yet. A refused file leaves nothing behind and is not in the group.
    TrashResult Add(const ListedFile& file, const LocalDateTime& now);
    // Files added since the last Commit, and the folders they are in (each held open until the group's
    // results are reported; those of three groups at most are open at once).
    std::size_t pending() const;
    std::size_t openFolders() const;
    // Flushes the records of the files added since the last Commit and the moves of the last Commit,
    // then moves the added files: each is renamed into the trash and checked once more (a file that
    // changed or was swapped meanwhile is put back; a name that was taken meanwhile is given up for
    // the next free one). Returns one result per file of the last Commit, in the order they were
    // added (none the first time). On any failure a file's record is removed again and the file stays
    // where it was, or the reason says where it is.
    std::vector<TrashResult> Commit();
    // Flushes the moves of the last Commit and returns their results.
    std::vector<TrashResult> Finish();
    // For moves whose audit lines cannot be written: takes back the moves of the files whose results
    // Commit or Finish reported last, and of the files Commit moved after them. Each goes back to its
    // place (never over a file that took it meanwhile) and its record is removed, all flushed. One
    // result per file of the two groups, in order: error 0 when it is back, the file's own failure
    // when it had not moved, else why it stays in the trash.
    std::vector<TrashResult> Undo();

private:
    struct Pending;
    struct Trashcan;
    std::shared_ptr<Trashcan> trashFor(const Pending& file);
    TrashResult claim(Pending& file);
    void flush(const std::vector<Pending*>& records, const std::vector<Pending*>& moves);
    void moveGroup();
    std::vector<TrashResult> settle();
    void putBack(Pending& file, int error, std::string reason);

    const Trash& m_trash;
    Flush m_flush;
    std::vector<Pending> m_group;  // added, records written
    std::vector<Pending> m_moving; // moved by the last Commit, not yet flushed
    std::vector<Pending> m_last;   // reported last, for Undo
    // Folders and trash folders as the current group found them; looked for again by each group, so
    // that a folder or a trash that was replaced meanwhile is found as it is now.
    std::unique_ptr<WalkCache> m_walks;
    std::unordered_map<std::string, std::shared_ptr<Trashcan>> m_trashcans;
    std::optional<dev_t> m_homeDevice;
    // Per trash and name, the numbered name to try first: a report full of copies of one name would
    // otherwise try every taken number again for each copy.
    std::unordered_map<std::string, int> m_nextAttempt;
};
