// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// Lets threads that keep directory descriptors open share the process's limit on them without
// waiting for each other for ever. A thread that cannot get a descriptor gives back all of its own
// and takes a turn: every other thread gives back its own at its next pause and waits, so the one
// whose turn it is has every descriptor the threads can have. Each turn settles one open (it
// succeeds, or the process has no descriptor to spare at all), so threads short of descriptors go
// on, one open at a time if need be.
//
// A thread counts as holding descriptors from hold() until release(); a thread that waits for
// work in between releases first, or a turn would wait for it.
class DescriptorTurns
{
public:
    // Counts the calling thread as holding descriptors once no turn is wanted (waits until then).
    void hold();
    // The calling thread holds no descriptor any more.
    void release();
    // True while a thread waits for its turn: a holding thread then gives back its descriptors and
    // pauses before it opens anything more.
    bool wanted() const { return m_wanting.load(std::memory_order_relaxed) > 0; }
    void pause()
    {
        release();
        hold();
    }
    // For a holding thread that has given back every descriptor it had: waits until no other thread
    // holds any, runs open alone and returns its result, errno included. The thread holds again
    // after it. An open that still finds no descriptor is run again after short waits, for a tenth
    // of a second at most over all turns.
    int takeTurn(const std::function<int()>& open);

    // The two steps every holding thread takes with its cursor of descriptors: at a pause between
    // two pieces of work, it gives way to a thread that waits for its turn; and an open short of
    // descriptors gives back the cursor's and runs again on a turn of its own.
    template <class Cursor> void giveWay(Cursor& cursor)
    {
        if (wanted()) {
            cursor.release();
            pause();
        }
    }
    template <class Cursor> int openWithTurn(Cursor& cursor, const std::function<int()>& open)
    {
        const int fd = open();
        if (fd >= 0 || (errno != EMFILE && errno != ENFILE))
            return fd;
        cursor.release();
        return takeTurn(open);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<unsigned> m_wanting{0};
    unsigned m_holding = 0;
    bool m_turnTaken = false;
    std::chrono::microseconds m_retryLeft{100'000}; // only the thread whose turn it is uses it
};
