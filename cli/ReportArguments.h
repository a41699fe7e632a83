// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/ReportFormatter.h"
#include "scan/ScanMode.h"

#include <cstdint>
#include <string>
#include <vector>

// The command line of lintwick-report: MODE [--mask MASK] [--kb N | --mb N] [--threads N] [--format F]
// [--content] [ROOT...], options anywhere after MODE, "--" ending them. --help or --version, first or among
// the options, asks for that text instead of a report.
struct ReportArguments
{
    ScanMode mode = ScanMode::Duplicates;
    std::string mask = "*.*";                 // as typed, not yet trimmed
    std::int64_t sizeThreshold = 1000 * 1024; // bytes
    std::vector<std::string> roots;           // as typed
    unsigned threads = 0;                     // walker threads; 0: chosen by the walk
    ReportFormat format = ReportFormat::Text;
    bool content = false; // dupes only: compare the contents within each group
    bool help = false;
    bool version = false;
    std::string error; // set when the command line is malformed
};

ReportArguments ParseReportArguments(const std::vector<std::string>& args);

extern const char* const kReportUsage;
// "lintwick-report", a blank, the version and a line end.
extern const char* const kReportVersion;
