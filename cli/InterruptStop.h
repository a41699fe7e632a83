// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <csignal>

// Turns the first SIGINT (Ctrl+C) into a stop request for a report run and the writing of its rows,
// so that both end soon with what they have; a second SIGINT ends the process at once, as SIGINT
// does by default. A SIGINT ignored when the object is made (a background job of a shell) stays
// ignored. One object at a time; while it lives, the handler is installed. Destroying it restores
// the disposition it found.
class InterruptStop
{
public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    // Set once SIGINT arrived.
    const std::atomic<bool>* flag() const;
    // A descriptor that becomes readable once SIGINT arrived, so that a thread can wait for it
    // without polling; -1 when there is none (SIGINT ignored, or no pipe to be had).
    int wakeDescriptor() const;

private:
    struct sigaction m_found = {};
    bool m_installed = false;
};
