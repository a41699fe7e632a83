// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ReportFormatter.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

struct WrittenReport
{
    bool ok = true;       // every byte was written
    bool stopped = false; // a stop ended the rows before the last one
    std::string outcome;  // as written into the report and to be shown after it
};

// Writes a finished report to out: the formatter's head, the rows, and its tail with the outcome.
// Setting *stop (from a signal handler too) ends the rows before the next block of them; a
// duplicates report still gets the rest of the group it is in. The document is closed all the
// same, and its outcome is then "Dust Stopped: " with what was written. Writing ends at the first
// failed write (ok false). afterWrite, when given, runs after the head and after each block of rows.
WrittenReport WriteReport(std::FILE* out, const ResultTable& table, const ReportFormatter& formatter,
                          ScanMode mode, const std::string& outcome, const std::atomic<bool>* stop,
                          const std::function<void()>& afterWrite);
