// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"

// The directories of a result table as a DirectoryCursor walks them, so that files found by a walk
// are reached again through the directories the walk read.
struct TableTree
{
    using Handle = std::uint32_t;
    static constexpr Handle kNone = DirectoryRecord::kNoParent;
    const ResultTable& table;
    Handle parent(Handle h) const { return table.directory(h).parent; }
    std::uint32_t depth(Handle h) const { return table.directory(h).depth; }
    const std::string& name(Handle h) const { return table.directory(h).name; }
    FileId identity(Handle h) const { return table.directory(h).id; }
};
