// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// Holds a report's walk at chosen directories until the test lets it go on, so that a test sees a
// run in a known state without sleeping. The runner's afterDirectoryRead hook calls Arrive on a
// walker thread; the test waits for Arrived and then calls Release. A walk is never held longer
// than a minute, so that a failing test cannot hang.
class WalkGate
{
public:
    void HoldAt(const std::string& directory);
    // Walker side: records the directory and waits while it is held.
    void Arrive(const std::string& directory);
    // True once the walk waits at directory.
    bool Arrived(const std::string& directory) const;
    void Release(const std::string& directory);
    void ReleaseAll();
    // Every directory the walk arrived at, in order.
    std::vector<std::string> Visited() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_held;
    std::set<std::string> m_waiting;
    std::vector<std::string> m_visited;
};
