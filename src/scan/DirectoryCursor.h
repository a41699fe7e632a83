// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ResultTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

// Opens the directory name inside the directory parentFd for reading: never through a symbolic link
// and never across a mount point (where the kernel cannot refuse that, at least never through a
// link). -1 with errno set on failure.
int OpenDirectoryAt(int parentFd, const std::string& name);

// Opens a root directory by its path as the user gave it: a link there is the user's own choice.
int OpenRootDirectory(const std::string& path);

// The identity of an open file.
bool IdentityOf(int fd, FileId& id);

// Descriptors each of so many threads may keep open along its path: a share of what the process's
// limit leaves beside the descriptors already open, at least 4, at most 1024.
size_t DescriptorBudget(unsigned threads);

// Keeps directory descriptors open along one path, from a root down to the directory opened last,
// so that every directory is opened relative to its parent and a walk in depth-first order costs
// one open per directory. A directory off the path is reached from the nearest directory on it,
// name by name; each directory reopened that way must still be the one first read there (same
// device and inode), so that a directory swapped for another, or for a link, during a walk leads
// nowhere. At most budget descriptors are held: beyond it the ones nearest the root are closed and
// reopened when needed.
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
        if (!m_path.empty() && m_lowestOpen >= m_path.size() && !reopenPath())
            return -1;
        for (auto it = m_chain.rbegin(); it != m_chain.rend(); ++it) {
            const int fd = openStep(*it);
            if (fd < 0)
                return -1;
            push(*it, fd);
        }
        return m_path.back().fd;
    }

    // Makes child, just opened as fd relative to the end of the path (its parent), the new end.
    void descend(Handle child, int fd) { push(child, fd); }

    // Closes every descriptor but the one at the end of the path: another open may then succeed.
    // Returns how many were closed.
    size_t shed()
    {
        size_t closed = 0;
        while (m_lowestOpen + 1 < m_path.size()) {
            closeAt(m_lowestOpen++);
            ++closed;
        }
        return closed;
    }

    size_t held() const { return m_held; }

private:
    struct Step
    {
        Handle handle;
        int fd;
    };

    bool onPath(Handle a) const
    {
        const std::uint32_t d = m_tree.depth(a);
        return d < m_path.size() && m_path[d].handle == a;
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

    void push(Handle h, int fd)
    {
        if (m_lowestOpen >= m_path.size())
            m_lowestOpen = m_path.size();
        m_path.push_back({h, fd});
        ++m_held;
        // The two deepest stay: the end and its parent, which its next sibling needs.
        while (m_held > m_budget && m_lowestOpen + 2 < m_path.size())
            closeAt(m_lowestOpen++);
    }

    // Reopens the whole path from its root, when no descriptor on it is left.
    bool reopenPath()
    {
        for (size_t i = 0; i < m_path.size(); ++i) {
            const int fd = openStepAt(i);
            if (fd < 0) {
                const int saved = errno;
                truncate(i);
                errno = saved;
                return false;
            }
            m_path[i].fd = fd;
            ++m_held;
            if (i == 0)
                m_lowestOpen = 0;
            while (m_held > m_budget && m_lowestOpen < i)
                closeAt(m_lowestOpen++);
        }
        return true;
    }

    // Opens h relative to the end of the path (or by its path, for a root) and checks it is still
    // the directory it was.
    int openStep(Handle h)
    {
        const int parentFd = m_path.empty() ? -1 : m_path.back().fd;
        return openChecked(h, parentFd);
    }

    int openStepAt(size_t i) { return openChecked(m_path[i].handle, i == 0 ? -1 : m_path[i - 1].fd); }

    int openChecked(Handle h, int parentFd)
    {
        int fd = openOnce(h, parentFd);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE) && shedAllBut(parentFd) > 0)
            fd = openOnce(h, parentFd);
        if (fd < 0)
            return -1;
        const FileId expected = m_tree.identity(h);
        FileId found;
        if (!(expected == FileId{}) && (!IdentityOf(fd, found) || !(found == expected))) {
            ::close(fd);
            errno = ESTALE;
            return -1;
        }
        return fd;
    }

    int openOnce(Handle h, int parentFd) const
    {
        if (m_tree.parent(h) == Tree::kNone)
            return OpenRootDirectory(m_tree.name(h));
        return OpenDirectoryAt(parentFd, m_tree.name(h));
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
        // What stays open is at most the one kept, at the end of the open part.
        while (m_lowestOpen < m_path.size() && m_path[m_lowestOpen].fd < 0)
            ++m_lowestOpen;
        return closed;
    }

    const Tree& m_tree;
    size_t m_budget;
    std::vector<Step> m_path; // m_path[d] is at depth d; descriptors are open from m_lowestOpen on
    size_t m_lowestOpen = 0;
    size_t m_held = 0;
    std::vector<Handle> m_chain;
};
