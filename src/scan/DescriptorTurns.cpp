// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DescriptorTurns.h"

#include <cerrno>
#include <thread>

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
    int result = open();
    // Every other thread has given its descriptors back, yet the open may still find none: the
    // runtime takes one for a moment now and then (the allocator reads the processor count from
    // /sys when a new thread first needs an arena of its own). So the open is tried again after a
    // short wait. The waits of all turns add up to a tenth of a second at most, so a process that
    // truly has no descriptor to spare does not wait on every directory it cannot open.
    for (std::chrono::microseconds wait{100};
         result < 0 && (errno == EMFILE || errno == ENFILE) && wait <= m_retryLeft; wait *= 2) {
        m_retryLeft -= wait;
        std::this_thread::sleep_for(wait);
        result = open();
    }
    const int error = errno;
    lock.lock();
    m_turnTaken = false;
    --m_wanting;
    ++m_holding;
    m_changed.notify_all();
    errno = error;
    return result;
}
