// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DescriptorTurns.h"

#include <cerrno>

void DescriptorTurns::hold()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_wanting.load() == 0; });
    ++m_holding;
}

void DescriptorTurns::release()
{
    std::lock_guard lock(m_mutex);
    if (--m_holding == 0 && m_wanting.load() > 0)
        m_changed.notify_all();
}

int DescriptorTurns::takeTurn(const std::function<int()>& open)
{
    std::unique_lock lock(m_mutex);
    --m_holding;
    ++m_wanting;
    m_changed.wait(lock, [this] { return !m_turnTaken && m_holding == 0; });
    m_turnTaken = true;
    lock.unlock();
    const int result = open();
    const int error = errno;
    lock.lock();
    m_turnTaken = false;
    --m_wanting;
    ++m_holding;
    m_changed.notify_all();
    errno = error;
    return result;
}
