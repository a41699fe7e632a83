// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"

#include <cstdint>
#include <string>
#include <vector>

// A file as a report listed it: where the walk found it and what it looked like then. The trash
// moves it only while it is still that file.
struct ListedFile
{
    // The folder the walk began at: absolute, ending in "/". A symbolic link in it is followed, once,
    // as the walk followed it; nothing below it is reached through a link.
    std::string root;
    // The path below root: the folders and the file's name, joined by "/".
    std::string relative;
    // The identities the walk found: the root's first, then each folder's down to the file's own.
    // Missing or {} where not known.
    std::vector<FileId> folderIds;
    // Size and last write (whole seconds since the epoch); size -1 when not known.
    std::int64_t size = -1;
    std::int64_t time = 0;

    std::string path() const { return root + relative; }

    // A file known only by its absolute path: no link is followed anywhere on it. A relative path
    // gives a file the trash refuses.
    static ListedFile At(const std::string& path);
    // The file behind a row of the report (not a separator row).
    static ListedFile FromRow(const ResultTable& table, int row);
};
