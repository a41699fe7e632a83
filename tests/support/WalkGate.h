// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
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
    void HoldAt(const std::string& directory)
    {
        Change([&] { m_held.insert(directory); });
    }
    void Release(const std::string& directory)
    {
        Change([&] { m_held.erase(directory); });
    }
    void ReleaseAll()
    {
        Change([&] { m_held.clear(); });
    }
    // Walker side: records the directory and waits while it is held.
    void Arrive(const std::string& directory)
    {
        std::unique_lock lock(m_mutex);
        m_visited.push_back(directory);
        m_waiting.insert(directory);
        m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return !m_held.count(directory); });
        m_waiting.erase(directory);
    }
    // True once the walk waits at directory.
    bool Arrived(const std::string& directory) const
    {
        std::lock_guard lock(m_mutex);
        return m_waiting.count(directory) > 0;
    }
    // Every directory the walk arrived at, in order.
    std::vector<std::string> Visited() const
    {
        std::lock_guard lock(m_mutex);
        return m_visited;
    }

private:
    void Change(const std::function<void()>& change)
    {
        std::lock_guard lock(m_mutex);
        change();
        m_changed.notify_all();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_held;
    std::set<std::string> m_waiting;
    std::vector<std::string> m_visited;
};
