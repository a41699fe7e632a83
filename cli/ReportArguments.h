// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ScanMode.h"

#include <cstdint>
#include <string>
#include <vector>

// The command line of lintwick-report: MODE [--mask MASK] [--kb N | --mb N] [--threads N] [ROOT...],
// options anywhere after MODE, "--" ending them.
struct ReportArguments
{
    ScanMode mode = ScanMode::Duplicates;
    std::string mask = "*.*";                 // as typed, not yet trimmed
    std::int64_t sizeThreshold = 1000 * 1024; // bytes
    std::vector<std::string> roots;           // as typed
    unsigned threads = 0;                     // walker threads; 0: chosen by the walk
    bool help = false;
    std::string error; // set when the command line is malformed
};

ReportArguments ParseReportArguments(const std::vector<std::string>& args);

extern const char* const kReportUsage;
