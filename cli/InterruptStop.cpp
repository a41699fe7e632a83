// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptStop.h"

#include "scan/ContentCheck.h"
#include "scan/ReportRunner.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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

void holdUntilInterrupted()
{
    std::fputs("holding\n", stderr);
    std::fflush(stderr);
    char byte;
    while (!g_stop && ::read(g_wake[0], &byte, 1) < 0 && errno == EINTR) {
    }
}

} // namespace

InterruptStop::InterruptStop()
{
    g_stop = false;
    if (::pipe2(g_wake, O_CLOEXEC) == 0)
        ::fcntl(g_wake[1], F_SETFL, O_NONBLOCK); // the handler must never block
    else
        g_wake[0] = g_wake[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the handler runs once, a second SIGINT meets the default and ends the process.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
}

InterruptStop::~InterruptStop()
{
    std::signal(SIGINT, SIG_DFL);
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

void InterruptStop::holdForTests(ReportRunner& runner)
{
    const char* hold = std::getenv("LINTWICK_REPORT_TEST_HOLD");
    if (!hold || !*hold || g_wake[0] < 0)
        return;
    runner.afterDirectoryRead = [directory = std::string(hold)](const std::string& path) {
        if (path != directory)
            return;
        holdUntilInterrupted();
    };
}

void InterruptStop::holdForTests(ContentCheck& check, const ResultTable& table)
{
    const char* hold = std::getenv("LINTWICK_REPORT_TEST_HOLD");
    if (!hold || !*hold || g_wake[0] < 0)
        return;
    check.beforeWholeRead = [file = std::string(hold), &table](int row) {
        if (table.RowPaths(row) == file)
            holdUntilInterrupted();
    };
}
