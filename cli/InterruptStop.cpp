// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptStop.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");
// Written to by the handler, so that a waiting thread wakes without polling.
int g_wake[2] = {-1, -1};

void onInterrupt(int)
{
    const int saved = errno;
    g_stop.store(true);
    if (g_wake[1] >= 0) [[maybe_unused]]
        const ssize_t ignored = ::write(g_wake[1], "!", 1);
    errno = saved;
}

} // namespace

InterruptStop::InterruptStop()
{
    g_stop = false;
    ::sigaction(SIGINT, nullptr, &m_found);
    if (m_found.sa_handler == SIG_IGN)
        return;
    if (::pipe2(g_wake, O_CLOEXEC) == 0)
        ::fcntl(g_wake[1], F_SETFL, O_NONBLOCK); // the handler must never block
    else
        g_wake[0] = g_wake[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the handler runs once, a second SIGINT meets the default and ends the process.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    m_installed = ::sigaction(SIGINT, &action, nullptr) == 0;
}

InterruptStop::~InterruptStop()
{
    if (m_installed)
        ::sigaction(SIGINT, &m_found, nullptr);
    for (int& fd : g_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

const std::atomic<bool>* InterruptStop::flag() const
{
    return &g_stop;
}

int InterruptStop::wakeDescriptor() const
{
    return g_wake[0];
}
