// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <string>

class ContentCheck;
class ReportRunner;
class ResultTable;

// Turns the first SIGINT (Ctrl+C) into a stop request for a report run, so that the run ends soon
// with what it found; a second SIGINT ends the process at once, as SIGINT does by default. One
// object at a time; while it lives, the handler is installed. Destroying it restores the default.
class InterruptStop
{
public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    // Set once SIGINT arrived.
    const std::atomic<bool>* flag() const;

    // For tests: when the environment names a directory in LINTWICK_REPORT_TEST_HOLD (spelled as the
    // walk spells it, ending in "/"), the walk says "holding" on standard error after reading that
    // directory and waits there until SIGINT arrives. Tests use it to interrupt at a known point.
    void holdForTests(ReportRunner& runner);
    // The same for the content check, when it names a file (as the report lists it): the check
    // holds before reading that file beyond its first 4 KiB.
    void holdForTests(ContentCheck& check, const ResultTable& table);
};
