// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audit/Trash.h"
#include "platform/UniqueFd.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A file as its audit line names it: where it was and when it went to the trash.
struct TrashedFile
{
    std::string path;
    LocalDateTime deletedAt; // to the second; a year below 100 matches on its last two digits
    // Where it went in the trash, when known: that entry comes back before another of the same path
    // and time (the same name trashed again within the second, by this program or another).
    std::string trashedPath = {};
};

enum class RestoreStatus
{
    Restored,   // back in its place, its record removed
    NotInTrash, // no entry of that path and time, or the entry's file is gone: emptied, or restored elsewhere
    FolderGone, // the folder it came from no longer exists; nothing is made again
    NameTaken,  // something of its name stands in its place; it is never replaced
    Failed,     // anything else
    NotTried,   // a stop came first
};

struct RestoreResult
{
    RestoreStatus status = RestoreStatus::NotTried;
    std::string reason; // unless Restored: why, in words that can follow "Cannot restore 'x': "
};

// Brings files back from the trash that Trash::Move put them in.
class TrashRestorer
{
public:
    using Settled =
        std::function<void(std::size_t first, std::size_t end, const std::vector<RestoreResult>& results)>;

    // Reports its steps to trash's step hook: "restore" before each rename, the flushes named below,
    // and "remove records" before a run's records go. trash must outlive the restorer.
    explicit TrashRestorer(const Trash& trash);
    ~TrashRestorer();

    // Brings files back, in order. Each file's entry is looked for in the home trash and in the trashes
    // at the top directory of the filesystem its path leads to: a record that names the path (or the
    // place the path leads to through links) and the time. The file is renamed back into the folder
    // the record names, never over anything and never through a link; then its record is removed.
    // Files go in runs of up to about a tenth of a second: once a run is back and flushed, its records
    // are removed and flushed, and then settled(first, end, results) tells about files first to
    // end - 1, before the next run begins. A run of one file flushes its folder and the trash's
    // folders ("sync folder", "sync files", then "sync info"); a larger one each filesystem it
    // touched ("sync restores", then "sync removals"). stopRequested is asked before each file; the
    // files after a stop stay NotTried. Each trash's records are read once per call.
    std::vector<RestoreResult> Restore(const std::vector<TrashedFile>& files,
                                       const std::function<bool()>& stopRequested = {},
                                       const Settled& settled = {});

private:
    struct Index;
    struct Run;
    Index* trashAt(const std::string& path, UniqueFd trash, const std::string& top);
    const std::vector<Index*>& trashesFor(const std::string& folder);
    RestoreResult restoreOne(const TrashedFile& file, Run& run);

    const Trash& m_trash;
    std::map<std::string, std::unique_ptr<Index>> m_trashes;      // by path; null when not usable
    std::map<std::string, std::string> m_canonical;               // folder as given: resolved
    std::map<std::string, std::vector<Index*>> m_trashesOfFolder; // resolved folder: where to look
};
