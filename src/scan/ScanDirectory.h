// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/MaskMatcher.h"
#include "scan/ResultTable.h"
#include "scan/ScanMode.h"
#include "scan/SeenNames.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Folders that could not be read: no permission, no descriptor to be had, a read error. Folders left
// out on purpose (mount points, hidden ones) or that vanished during the walk are not counted.
struct UnreadableFolders
{
    std::int64_t count = 0;
    std::string first; // the path of the first met, ending in "/"
    int error = 0;     // its errno
    void add(std::string path, int reason)
    {
        if (count++ == 0) {
            first = std::move(path);
            error = reason;
        }
    }
};

struct ScanOptions
{
    ScanMode mode = ScanMode::Duplicates;
    const MaskMatcher* mask = nullptr;
    std::int64_t sizeThreshold = 0; // LargerThan: files of at least this many bytes
    // Directories walked as roots of their own: never entered from another root.
    std::vector<DirectoryId> otherRoots;
    // Duplicates: leave size and time unread (entry.measured false) for the first file of each
    // name, so that names that occur once cost no stat. A later file of a name met before is
    // measured at once. Needs seenNames.
    bool deferMeasuring = false;
    SeenNames* seenNames = nullptr;
    // Walker threads including the calling one. 0: one per processor (at most 4), and more while
    // the walk has the disk read (a cold cache) or the walkers mostly wait, up to 32.
    unsigned threads = 0;
    // Once set, no further directory is read, and a directory being read or examined is left
    // within its next thousand or so entries.
    const std::atomic<bool>* stop = nullptr;
    // Called on the calling thread every quarter of a second or so with the number of regular
    // files examined so far in this walk.
    std::function<void(std::int64_t filesExamined)> progress;
    // For tests: called on a walker thread with each directory's path after the directory was read
    // and before any of its entries is examined further.
    std::function<void(const std::string& directory)> afterDirectoryRead;
    // For tests: called on a walker thread with a sub-directory's path after it was looked at and
    // before it is opened.
    std::function<void(const std::string& directory)> beforeOpen;
    // The identities of the directories walked by earlier walks of the same run, sorted by device
    // and inode; the walk adds its own. A directory met again (moved during a walk) is left out
    // with its tree, so that no file is listed twice. Without it, only this walk's are compared.
    std::vector<FileId>* walkedDirectories = nullptr;
    // Receives the number of walker threads the walk ended with. Optional.
    unsigned* threadsUsed = nullptr;
    // Receives the folders that could not be read, in pre-order. Optional.
    UnreadableFolders* unreadable = nullptr;
};

// Walks the tree below root (ending in "/") and appends to table.EntryTable every regular file that
// matches the mask and the mode, in pre-order: a directory's own files in the order the directory read
// delivers them, then each sub-directory's whole tree in the same order. Hidden directories (name
// starting with ".") are not entered, hidden files are reported. Symbolic links, devices, FIFOs and
// sockets are neither reported nor followed. Every name of a file with several hard links is listed,
// as any other name. The walk stays on root's filesystem and mount: a mount point is a boundary
// whatever it mounts (a bind mount of the same filesystem too), and an automount point is never
// opened. Every directory is opened relative to its parent and never through a link, so a directory
// swapped for a link during the walk leads nowhere; a directory is known by what was opened, so one
// swapped for another between the look and the open is taken for the one opened. Unreadable
// directories and files that vanish before they are measured add nothing (options.unreadable tells
// of the former). Running out of file descriptors only slows the walk down: a directory is left
// unread for want of one only when the process has fewer than two to spare. Paths of any length are
// walked. The directories of the found files and their ancestors are added to the table. Returns the
// number of regular files examined; with the stop flag set the walk ends early and what it found so
// far is appended.
std::int64_t ScanDirectory(const std::string& root, const ScanOptions& options, ResultTable& table);

// The identity of the directory at path (following symbolic links), if it is one.
bool DirectoryIdentity(const std::string& path, DirectoryId& id);

// The number of threads a walk starts with when asked for 0: one per processor, at most 4.
unsigned WorkerThreads(unsigned requested);

// The name key of a bare file name: a-z upper-cased, every other byte unchanged.
std::string NameKey(std::string_view name);
