// SPDX-License-Identifier: GPL-3.0-or-later
#include "WalkGate.h"

#include <chrono>

void WalkGate::HoldAt(const std::string& directory)
{
    std::lock_guard lock(m_mutex);
    m_held.insert(directory);
}

void WalkGate::Arrive(const std::string& directory)
{
    std::unique_lock lock(m_mutex);
    m_visited.push_back(directory);
    if (!m_held.count(directory))
        return;
    m_waiting.insert(directory);
    m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return !m_held.count(directory); });
    m_waiting.erase(directory);
}

bool WalkGate::Arrived(const std::string& directory) const
{
    std::lock_guard lock(m_mutex);
    return m_waiting.count(directory) > 0;
}

void WalkGate::Release(const std::string& directory)
{
    std::lock_guard lock(m_mutex);
    m_held.erase(directory);
    m_changed.notify_all();
}

void WalkGate::ReleaseAll()
{
    std::lock_guard lock(m_mutex);
    m_held.clear();
    m_changed.notify_all();
}

std::vector<std::string> WalkGate::Visited() const
{
    std::lock_guard lock(m_mutex);
    return m_visited;
}
