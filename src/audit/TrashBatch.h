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
// moves one; what a group shares is the flushing that makes its moves last, and the trash folders it
// opens. A group of one is flushed file by file: its record and the info/ folder, then after the
// rename the trash's files/ folder and the file's own folder (steps "sync record", "sync info",
// "rename", "sync files", "sync folder"). A larger group is flushed with one syncfs of each
// filesystem it touches for all its records ("sync records"), then renamed file by file ("rename"),
// then one syncfs of each filesystem for all its moves ("sync moves"). Either way every record is on
// the disk before its file moves, and every move is on the disk before Commit reports it.
//
// What a crash leaves: before the record flush, records that may or may not have reached the disk and
// no file moved; between the flushes, records of which some have their file in the trash (a record
// without its file is what any trash client expects after emptying, and is harmless); after the move
// flush, every reported move for good. Never a file in the trash without its record.
class TrashBatch
{
public:
    // trash must outlive the batch.
    explicit TrashBatch(const Trash& trash);
    ~TrashBatch();
    TrashBatch(const TrashBatch&) = delete;
    TrashBatch& operator=(const TrashBatch&) = delete;

    // Whether file is still the one listed (see Trash::Check). Changes nothing.
    TrashResult Check(const ListedFile& file);
    // Checks file and claims a name for it in its trash by writing its record (deleted at now), not
    // yet flushed; nothing moves yet. A refused file leaves nothing behind and is not in the group.
    TrashResult Add(const ListedFile& file, const LocalDateTime& now);
    // Files added since the last Commit, and the folders they are in (each held open until Commit).
    std::size_t pending() const;
    std::size_t openFolders() const;
    // Moves the files added since the last Commit as the class describes: one result per file, in the
    // order they were added. A file that changed or was swapped between the check and the rename is
    // put back; a name that was taken meanwhile is given up for the next free one. On any failure the
    // file's record is removed again and the file stays where it was (or the reason says where it is).
    std::vector<TrashResult> Commit();
    // Takes back the moves of the last Commit, for a group whose audit lines could not be written:
    // each file goes back to its place (never over a file that took it meanwhile) and its record is
    // removed, all flushed. One result per file of that group: error 0 when it is back or had not
    // moved, else why it stays in the trash.
    std::vector<TrashResult> Undo();

private:
    struct Pending;
    struct Trashcan;
    std::shared_ptr<Trashcan> trashFor(const Pending& file);
    TrashResult claim(Pending& file);
    void flushRecords(const std::vector<Pending*>& round, bool single);
    void flushMoves(const std::vector<Pending*>& moved, bool single);
    void putBack(Pending& file, int error, std::string reason);

    const Trash& m_trash;
    std::vector<Pending> m_group;
    std::vector<Pending> m_last; // the last Commit's files, for Undo
    // Folders and trash folders as the current group found them; looked for again by each group, so
    // that a folder or a trash that was replaced meanwhile is found as it is now.
    std::unique_ptr<WalkCache> m_walks;
    std::unordered_map<std::string, std::shared_ptr<Trashcan>> m_trashcans;
    std::optional<dev_t> m_homeDevice;
    // Per trash and name, the numbered name to try first: a report full of copies of one name would
    // otherwise try every taken number again for each copy.
    std::unordered_map<std::string, int> m_nextAttempt;
};
