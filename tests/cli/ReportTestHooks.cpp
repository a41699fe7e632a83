// SPDX-License-Identifier: GPL-3.0-or-later
// The hooks of the test build of lintwick-report. When the environment names a directory in
// LINTWICK_REPORT_TEST_HOLD (spelled as the walk spells it, ending in "/"), the walk holds after
// reading that directory, and when it names a file as the report lists it, the content check holds
// before reading that file beyond its first 4 KiB; with LINTWICK_REPORT_TEST_HOLD_WRITE set, the writing
// holds after the report's head. Each says "holding" on standard error and waits there until SIGINT arrives,
// so that tests interrupt at a known point.
#include "InterruptStop.h"
#include "TestHooks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

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
        hooks.afterDirectoryRead = [&interrupt, directory = std::string(hold)](const std::string& path) {
            if (path == directory)
                HoldUntilInterrupted(interrupt);
        };
        hooks.beforeWholeRead = [&interrupt, file = std::string(hold)](const std::string& path) {
            if (path == file)
                HoldUntilInterrupted(interrupt);
        };
    }
    if (std::getenv("LINTWICK_REPORT_TEST_HOLD_WRITE")) {
        hooks.afterWrite = [&interrupt, held = false]() mutable {
            if (!held)
                HoldUntilInterrupted(interrupt);
            held = true;
        };
    }
    return hooks;
}
