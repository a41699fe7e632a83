// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <system_error>
#include <thread>
#include <utility>

// Starts f(args...) on a new thread. False when the system refuses one (a process or container
// limit on threads): the caller then does the work itself, with fewer threads.
template <class F, class... Args> bool TryStartThread(std::thread& thread, F&& f, Args&&... args)
{
    try {
        thread = std::thread(std::forward<F>(f), std::forward<Args>(args)...);
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
