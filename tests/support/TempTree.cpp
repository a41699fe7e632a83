// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempTree.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

TempTree::~TempTree()
{
    RemoveTree(m_root);
}

void TempTree::makeParents(const std::string& relative)
{
    for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1))
        ::mkdir(path(relative.substr(0, slash)).c_str(), 0755);
}

void TempTree::dir(const std::string& relative)
{
    makeParents(relative + "/");
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
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    // Go down to a directory without sub-directories, empty it, climb back through "..", remove it.
    std::vector<std::string> names;
    for (;;) {
        std::string subdirectory;
        DIR* d = ::fdopendir(::dup(fd));
        if (d) {
            while (const dirent* de = ::readdir(d)) {
                const std::string n = de->d_name;
                if (n == "." || n == "..")
                    continue;
                struct stat st = {};
                if (::fstatat(fd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
                    subdirectory = n;
                    break;
                }
                ::unlinkat(fd, n.c_str(), 0);
            }
            ::closedir(d);
        }
        if (!subdirectory.empty()) {
            ::fchmodat(fd, subdirectory.c_str(), 0755, 0);
            const int child =
                ::openat(fd, subdirectory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) {
                ::close(fd);
                fd = child;
                names.push_back(subdirectory);
                continue;
            }
            // Cannot enter it: remove it as it is, or give up rather than loop.
            if (::unlinkat(fd, subdirectory.c_str(), AT_REMOVEDIR) != 0)
                break;
            continue;
        }
        if (names.empty())
            break;
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        if (parent < 0)
            return;
        fd = parent;
        ::unlinkat(fd, names.back().c_str(), AT_REMOVEDIR);
        names.pop_back();
    }
    ::close(fd);
    ::rmdir(top.c_str());
}
