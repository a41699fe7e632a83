// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

// Opens the directory at the relative path inside the directory parentFd for reading: never through a
// symbolic link, never across a mount point and never above parentFd (where the kernel cannot refuse
// all that, at least never through a link). -1 with errno set on failure.
int OpenDirectoryAt(int parentFd, const std::string& path);

// False once the kernel was found to lack openat2 (before 5.6): OpenDirectoryAt then opens a path of
// several names one name at a time, which costs a descriptor more than the one it returns.
bool OpensPathsAtOnce();

// Opens a root directory by its path as the user gave it: a link there is the user's own choice.
int OpenRootDirectory(const std::string& path);

// The identity of an open file.
bool IdentityOf(int fd, FileId& id);

// EMFILE or ENFILE: an open may succeed once other descriptors are closed.
inline bool OutOfDescriptors(int error)
{
    return error == EMFILE || error == ENFILE;
}

// True for the error of an open whose directory vanished or was swapped for something else during a
// walk (a link, a mount, another directory), and for 0, which LeftOut sets.
bool VanishedOrReplaced(int error);

// Returns -1 with errno 0: the directory is left out on purpose, not for an error.
inline int LeftOut()
{
    errno = 0;
    return -1;
}

// Descriptors each of so many threads may keep open along its path: a share of what the process's
// limit leaves beside the descriptors already open, at least 2 (a directory and its parent), at
// most 1024.
size_t DescriptorBudget(unsigned threads);

// Keeps directory descriptors open along one path, from a root down to the directory opened last,
// so that every directory is opened relative to its parent and a walk in depth-first order costs
// one open per directory. A directory off the path is reached from the nearest open directory on
// it, by the names in between, with one open for up to about 4,000 bytes of them, never through a
// link or across a mount point; the directory reached must still be the one first read there (same
// device and inode), so that a directory swapped for another during a walk leads nowhere. (The
// directories on the way need no such check: had one been swapped, the one reached would not be the
// same either.) At most budget descriptors are held: beyond it the ones nearest the root are closed
// and reopened when needed.
//
// Tree gives the directories: Handle (a value, with Tree::kNone for "no directory"), and
// parent(h), depth(h) (0 for a root), name(h) (a root's name is its path) and identity(h).
// One cursor belongs to one thread.
template <class Tree> class DirectoryCursor
{
public:
    using Handle = typename Tree::Handle;

    DirectoryCursor(const Tree& tree, size_t budget) : m_tree(tree), m_budget(budget < 2 ? 2 : budget) {}
    ~DirectoryCursor() { truncate(0); }
    DirectoryCursor(const DirectoryCursor&) = delete;
    DirectoryCursor& operator=(const DirectoryCursor&) = delete;

    // A descriptor of h, a directory read before; the path then ends at h. -1 with errno set when h
    // cannot be reached any more: removed, replaced (ESTALE), unreadable, or no descriptor to be had
    // (EMFILE, ENFILE) even after closing every other one this cursor held.
    int open(Handle h)
    {
        m_chain.clear();
        Handle a = h;
        while (a != Tree::kNone && !onPath(a)) {
            m_chain.push_back(a);
            a = m_tree.parent(a);
        }
        truncate(a == Tree::kNone ? 0 : m_tree.depth(a) + 1);
        for (auto it = m_chain.rbegin(); it != m_chain.rend(); ++it)
            m_path.push_back({*it, -1});
        if (m_path.back().fd >= 0)
            return m_path.back().fd;

        // Open from the deepest directory on the path that is still open.
        size_t from = m_path.size() - 1;
        while (from > 0 && m_path[from - 1].fd < 0)
            --from;
        while (from < m_path.size()) {
            const size_t to = reachableFrom(from);
            const int fd = openStep(from, to);
            if (fd < 0) {
                const int saved = errno;
                truncate(from);
                errno = saved;
                return -1;
            }
            m_path[to].fd = fd;
            ++m_held;
            m_lowestOpen = std::min(m_lowestOpen, to);
            evict();
            from = to + 1;
        }
        if (!isStill(h, m_path.back().fd)) {
            truncate(m_path.size() - 1);
            errno = ESTALE;
            return -1;
        }
        return m_path.back().fd;
    }

    // Makes child, just opened as fd relative to the end of the path (its parent), the new end.
    void descend(Handle child, int fd)
    {
        m_path.push_back({child, fd});
        ++m_held;
        evict();
    }

    // Closes every descriptor but the one deepest on the path: another open may then succeed.
    // Returns how many were closed.
    size_t shed() { return shedAllBut(deepestOpen()); }
    // Closes every descriptor; the next open starts from the root.
    void release() { truncate(0); }

    size_t held() const { return m_held; }

private:
    struct Step
    {
        Handle handle;
        int fd; // -1 when not open
    };

    // The longest relative path one open takes: a little under PATH_MAX.
    static constexpr size_t kMaxRelative = 4000;

    bool onPath(Handle a) const
    {
        const std::uint32_t d = m_tree.depth(a);
        return d < m_path.size() && m_path[d].handle == a;
    }

    int deepestOpen() const
    {
        for (size_t i = m_path.size(); i > m_lowestOpen; --i) {
            if (m_path[i - 1].fd >= 0)
                return m_path[i - 1].fd;
        }
        return -1;
    }

    void closeAt(size_t i)
    {
        if (m_path[i].fd >= 0) {
            ::close(m_path[i].fd);
            m_path[i].fd = -1;
            --m_held;
        }
    }

    void truncate(size_t n)
    {
        for (size_t i = std::max(n, m_lowestOpen); i < m_path.size(); ++i)
            closeAt(i);
        if (n < m_path.size())
            m_path.resize(n);
        m_lowestOpen = std::min(m_lowestOpen, n);
    }

    // Closes the descriptors nearest the root while more than the budget are held; the deepest two
    // stay, since the budget is at least 2.
    void evict()
    {
        while (m_held > m_budget) {
            while (m_path[m_lowestOpen].fd < 0)
                ++m_lowestOpen;
            closeAt(m_lowestOpen++);
        }
    }

    size_t shedAllBut(int keep)
    {
        size_t closed = 0;
        for (size_t i = m_lowestOpen; i < m_path.size(); ++i) {
            if (m_path[i].fd >= 0 && m_path[i].fd != keep) {
                closeAt(i);
                ++closed;
            }
        }
        return closed;
    }

    // The deepest entry that one open can reach from the one before from: a root alone, or the
    // names from `from` on that fit in one relative path. Where a path costs a descriptor per name,
    // one name: each is then a step of the path, so that two descriptors are always enough.
    size_t reachableFrom(size_t from) const
    {
        if (from == 0 || !OpensPathsAtOnce())
            return from;
        size_t length = m_tree.name(m_path[from].handle).size();
        size_t to = from;
        while (to + 1 < m_path.size() &&
               length + 1 + m_tree.name(m_path[to + 1].handle).size() <= kMaxRelative)
            length += 1 + m_tree.name(m_path[++to].handle).size();
        return to;
    }

    // Opens entry to relative to the open entry before from (or a root by its path).
    int openStep(size_t from, size_t to)
    {
        const int parentFd = from == 0 ? -1 : m_path[from - 1].fd;
        int fd = openOnce(from, to, parentFd);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE) && shedAllBut(parentFd) > 0)
            fd = openOnce(from, to, parentFd);
        return fd;
    }

    int openOnce(size_t from, size_t to, int parentFd)
    {
        if (from == 0)
            return OpenRootDirectory(m_tree.name(m_path[0].handle));
        if (from == to)
            return OpenDirectoryAt(parentFd, m_tree.name(m_path[to].handle));
        m_relative.clear();
        for (size_t i = from; i <= to; ++i) {
            if (i > from)
                m_relative += '/';
            m_relative += m_tree.name(m_path[i].handle);
        }
        return OpenDirectoryAt(parentFd, m_relative);
    }

    // True when fd is still the directory h was when it was first read.
    bool isStill(Handle h, int fd) const
    {
        const FileId expected = m_tree.identity(h);
        FileId found;
        return expected == FileId{} || (IdentityOf(fd, found) && found == expected);
    }

    const Tree& m_tree;
    size_t m_budget;
    std::vector<Step> m_path; // m_path[d] is at depth d; none below m_lowestOpen is open
    size_t m_lowestOpen = 0;
    size_t m_held = 0;
    std::vector<Handle> m_chain;
    std::string m_relative;
};
