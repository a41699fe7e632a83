// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/ListedFile.h"

#include <algorithm>

ListedFile ListedFile::At(const std::string& path)
{
    ListedFile file;
    if (path.starts_with('/')) {
        file.root = "/";
        file.relative = path.substr(1);
    } else {
        file.relative = path;
    }
    return file;
}

ListedFile ListedFile::FromRow(const ResultTable& table, int row)
{
    const entrytype& entry = table.EntryTable[static_cast<std::size_t>(table.rowEntry(row))];
    ListedFile file;
    std::uint32_t d = entry.directory;
    for (;; d = table.directory(d).parent) {
        file.folderIds.push_back(table.directory(d).id);
        if (table.directory(d).parent == DirectoryRecord::kNoParent)
            break;
    }
    std::reverse(file.folderIds.begin(), file.folderIds.end());
    file.root = table.directory(d).name;
    file.relative = table.path(table.rowEntry(row)).substr(file.root.size());
    if (entry.measured) {
        file.size = entry.size;
        file.time = entry.time;
    }
    return file;
}
