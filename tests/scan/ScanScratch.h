// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChildProcess.h"
#include "SpareDescriptors.h"
#include "TempTree.h"

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// What the scan tests do in forked children: a scratch tmpfs, few descriptors.

// A scratch directory for a child, open to every user: a tmpfs of its own where mounting is
// allowed (fast, and gone with the child), the temporary tree's own directory otherwise.
inline std::string scratch(const TempTree& tree)
{
    std::string why;
    if (ChildProcess::privateMounts(why))
        ChildProcess::mountTmpfs(tree.root(), why);
    ::chmod(tree.root().c_str(), 0755);
    return tree.root();
}
