// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Removes a directory tree without a depth limit and without needing more than two descriptors.
void RemoveTree(const std::string& path);

// A directory tree in a fresh temporary folder, removed with everything in it at destruction (also
// when it is nested deeper than PATH_MAX). Relative paths name places inside it; parents are made
// as needed.
class TempTree
{
public:
    TempTree();
    ~TempTree() { RemoveTree(m_root); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's root, ending in "/".
    const std::string& root() const { return m_root; }
    std::string path(const std::string& relative) const { return m_root + relative; }

    void dir(const std::string& relative) { makeParents(relative + "/"); }
    // A regular file of size bytes (sparse: no data is written), last written at mtime when given.
    void file(const std::string& relative, std::int64_t size = 0, std::time_t mtime = 0);
    void symlink(const std::string& relative, const std::string& target);
    void fifo(const std::string& relative);
    void remove(const std::string& relative);

private:
    void makeParents(const std::string& relative);
    std::string m_root;
};
