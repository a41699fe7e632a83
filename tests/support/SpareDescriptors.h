// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

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
