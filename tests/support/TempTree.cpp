// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempTree.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what);
}

} // namespace

TempTree::TempTree()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lintwick-test-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    m_root = pattern + "/";
}

void TempTree::makeParents(const std::string& relative)
{
    for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1))
        ::mkdir(path(relative.substr(0, slash)).c_str(), 0755);
}

void TempTree::file(const std::string& relative, std::int64_t size, std::time_t mtime)
{
    makeParents(relative);
    const int fd = ::open(path(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0, "create " + relative);
    check(::ftruncate(fd, size) == 0, "size " + relative);
    if (mtime != 0) {
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        check(::futimens(fd, times) == 0, "time " + relative);
    }
    ::close(fd);
}

void TempTree::symlink(const std::string& relative, const std::string& target)
{
    makeParents(relative);
    check(::symlink(target.c_str(), path(relative).c_str()) == 0, "symlink " + relative);
}

void TempTree::fifo(const std::string& relative)
{
    makeParents(relative);
    check(::mkfifo(path(relative).c_str(), 0644) == 0, "mkfifo " + relative);
}

void TempTree::remove(const std::string& relative)
{
    check(::unlink(path(relative).c_str()) == 0, "unlink " + relative);
}

void RemoveTree(const std::string& top)
{
    // Down into a directory that is not empty, emptying it, and back up through "..": two descriptors
    // and no path longer than a name, however deep the tree.
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    for (int depth = 0; fd >= 0;) {
        int next = -1;
        bool stuck = false; // a directory that can be neither removed nor entered
        DIR* d = ::fdopendir(::dup(fd));
        for (const dirent* de; d && next < 0 && !stuck && (de = ::readdir(d));) {
            const std::string_view name = de->d_name;
            struct stat st = {};
            if (name == "." || name == "..")
                continue;
            if (::fstatat(fd, de->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) {
                ::unlinkat(fd, de->d_name, 0);
            } else if (::unlinkat(fd, de->d_name, AT_REMOVEDIR) != 0) {
                ::fchmodat(fd, de->d_name, 0755, 0);
                next = ::openat(fd, de->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                stuck = next < 0;
            }
        }
        if (d)
            ::closedir(d);
        if (next >= 0)
            ++depth;
        else if (!stuck && depth-- > 0)
            next = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    ::rmdir(top.c_str());
}
