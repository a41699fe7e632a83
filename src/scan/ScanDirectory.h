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
#include <sys/types.h>
#include <utility>
#include <vector>

// A directory's identity: two paths name the same directory when these are equal.
struct DirectoryId
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const DirectoryId&) const = default;
};

struct ScanOptions
{
    ScanMode mode = ScanMode::Duplicates;
    const MaskMatcher* mask = nullptr;
    std::int64_t sizeThreshold = 0; // LargerThan: files of at least this many bytes
    // Directories walked as roots of their own: never entered from another root.
    std::vector<DirectoryId> otherRoots;
    // Duplicates: leave size and time unread (entry.measured false) where the directory can be
    // opened by name later, so that names that occur once cost no stat. With seenNames, only the
    // first file of each name is left unread: a later one will be listed anyway.
    bool deferMeasuring = false;
    SeenNames* seenNames = nullptr;
    // Worker threads including the calling one; 0 means one per processor, at most 4.
    unsigned threads = 0;
    // Once set, no further directory is read, and a directory being read or examined is left
    // within its next thousand or so entries.
    const std::atomic<bool>* stop = nullptr;
    // Called on the calling thread every quarter of a second or so with the number of regular
    // files examined so far in this walk.
    std::function<void(std::int64_t filesExamined)> progress;
    // For tests: called with each directory's path after the directory was read and before any of
    // its entries is examined further.
    std::function<void(const std::string& directory)> afterDirectoryRead;
};

// Walks the tree below root (ending in "/") and appends to table.EntryTable every regular file that
// matches the mask and the mode, in pre-order: a directory's own files in the order the directory read
// delivers them, then each sub-directory's whole tree in the same order. Hidden directories (name
// starting with ".") are not entered, hidden files are reported. Symbolic links, devices, FIFOs and
// sockets are neither reported nor followed; the walk stays on root's filesystem. Unreadable
// directories and files that vanish before they are measured add nothing. Paths are root + names as
// bytes; a path longer than PATH_MAX is walked like any other. Returns the number of regular files
// examined; with the stop flag set the walk ends early and what it found so far is appended.
std::int64_t ScanDirectory(const std::string& root, const ScanOptions& options, ResultTable& table);

// The identity of the directory at path (following symbolic links), if it is one.
bool DirectoryIdentity(const std::string& path, DirectoryId& id);

// The number of threads a walk uses when asked for 0: one per processor, at most 4.
unsigned WorkerThreads(unsigned requested);

// The name key of a bare file name: a-z upper-cased, every other byte unchanged.
std::string NameKey(std::string_view name);
