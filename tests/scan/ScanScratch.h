// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChildProcess.h"
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

// In a child: takes every descriptor the process may open but spare ones, and gives them back when
// it goes.
class SpareDescriptors
{
public:
    explicit SpareDescriptors(size_t spare)
    {
        rlimit files = {};
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = std::min<rlim_t>(files.rlim_cur, 1024);
        ::setrlimit(RLIMIT_NOFILE, &files);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            m_taken.push_back(fd);
        for (; spare > 0 && !m_taken.empty(); --spare) {
            ::close(m_taken.back());
            m_taken.pop_back();
        }
    }
    ~SpareDescriptors()
    {
        for (int fd : m_taken)
            ::close(fd);
    }

private:
    std::vector<int> m_taken;
};
