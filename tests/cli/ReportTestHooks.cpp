// SPDX-License-Identifier: GPL-3.0-or-later
// The hooks of the test build of lintwick-report. LINTWICK_REPORT_TEST_HOLD names a directory (as the
// walk spells it, ending in "/") after whose reading the walk holds, or a file (as the report lists it)
// before whose reading beyond 4 KiB the content check holds; LINTWICK_REPORT_TEST_HOLD_WRITE holds the
// writing after the report's head. Each says "holding" on standard error and waits for SIGINT, so that
// tests interrupt at a known point.
#include "InterruptStop.h"
#include "TestHooks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace {

void HoldUntilInterrupted(const InterruptStop& interrupt)
{
    std::fputs("holding\n", stderr);
    std::fflush(stderr);
    if (interrupt.wakeDescriptor() < 0) {
        for (;;) // SIGINT ignored: held until the test ends the process
            ::pause();
    }
    char byte;
    while (::read(interrupt.wakeDescriptor(), &byte, 1) < 0 && errno == EINTR) {
    }
}

} // namespace

TestHooks MakeTestHooks(const InterruptStop& interrupt)
{
    TestHooks hooks;
    if (const char* hold = std::getenv("LINTWICK_REPORT_TEST_HOLD")) {
        hooks.afterDirectoryRead = [&interrupt, hold = std::string(hold)](const std::string& path) {
            if (path == hold)
                HoldUntilInterrupted(interrupt);
        };
        hooks.beforeWholeRead = hooks.afterDirectoryRead;
    }
    if (std::getenv("LINTWICK_REPORT_TEST_HOLD_WRITE")) {
        hooks.afterWrite = [&interrupt, held = false]() mutable {
            if (!std::exchange(held, true))
                HoldUntilInterrupted(interrupt);
        };
    }
    return hooks;
}
