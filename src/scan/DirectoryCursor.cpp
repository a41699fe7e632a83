// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DirectoryCursor.h"

#include <algorithm>
#include <atomic>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>

namespace {

std::atomic<bool> g_noOpenat2{false}; // set once when the kernel has no openat2 (before 5.6)

} // namespace

int OpenDirectoryAt(int parentFd, const std::string& path)
{
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    if (!g_noOpenat2.load(std::memory_order_relaxed)) {
        open_how how = {};
        how.flags = kFlags;
        how.resolve = RESOLVE_NO_XDEV | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
        const long fd = ::syscall(SYS_openat2, parentFd, path.c_str(), &how, sizeof how);
        if (fd >= 0 || errno != ENOSYS)
            return static_cast<int>(fd);
        g_noOpenat2.store(true, std::memory_order_relaxed);
    }
    // Without openat2, a name at a time, so that O_NOFOLLOW guards every step.
    int fd = parentFd;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        const std::string name =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        const int next = ::openat(fd, name.c_str(), kFlags);
        if (fd != parentFd)
            ::close(fd);
        if (next < 0 || slash == std::string::npos)
            return next;
        fd = next;
        start = slash + 1;
    }
}

bool OpensPathsAtOnce()
{
    return !g_noOpenat2.load(std::memory_order_relaxed);
}

int OpenRootDirectory(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool IdentityOf(int fd, FileId& id)
{
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

bool VanishedOrReplaced(int error)
{
    return error == 0 || error == ENOENT || error == ENOTDIR || error == ELOOP || error == EXDEV ||
           error == ESTALE;
}

size_t DescriptorBudget(unsigned threads)
{
    rlimit limit = {};
    size_t available = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        available = static_cast<size_t>(limit.rlim_cur);
    // What the rest of the program keeps open, and room for it to open more.
    size_t inUse = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d))
            ++inUse;
        ::closedir(d);
    }
    const size_t reserve = inUse + 32;
    const size_t share = available > reserve ? (available - reserve) / std::max(threads, 1u) : 0;
    return std::clamp<size_t>(share, 2, 1024);
}
