// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportArguments.h"

#include <limits>

const char* const kReportUsage =
    "Usage: lintwick-report MODE [--mask MASK] [--kb N | --mb N] [--threads N] [--format F]\n"
    "                       [--content] [ROOT...]\n"
    "Runs one of Lintwick's reports without a window and prints its rows.\n"
    "\n"
    "  MODE         dupes (duplicate file names), size (files of at least a size)\n"
    "               or zero (zero-length files)\n"
    "  --mask MASK  file-name mask, \"*\" and \"?\" as wildcards (default \"*.*\")\n"
    "  --kb N       size report: files of at least N kilobytes (default 1000)\n"
    "  --mb N       size report: files of at least N megabytes\n"
    "  --threads N  walk with N threads (1 to 64); 0, the default, starts one per\n"
    "               processor and more while the walk has to read from the disk\n"
    "  --format F   text (rows as the window shows them, the default), csv or json\n"
    "  --content    dupes: compare the files of each group and add their content\n"
    "               class: \"=1\", \"=2\" ... for files with the same bytes, \"?\" for\n"
    "               a file that changed or cannot be read\n"
    "  --           ends the options\n"
    "  --help       shows this text\n"
    "  --version    shows the version\n"
    "\n"
    "Without ROOT, every mounted filesystem that can be entered is walked.\n"
    "Rows go to standard output, the outcome is the last line on standard error.\n";

const char* const kReportVersion = "lintwick-report " LINTWICK_VERSION "\n";

namespace {

// A whole decimal number of 0 or more times unit, if it fits 64 bits.
bool parseSize(const std::string& text, std::int64_t unit, std::int64_t& bytes)
{
    if (text.empty())
        return false;
    std::int64_t n = 0;
    const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / unit;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        if (n > (limit - (c - '0')) / 10)
            return false;
        n = n * 10 + (c - '0');
    }
    bytes = n * unit;
    return true;
}

} // namespace

ReportArguments ParseReportArguments(const std::vector<std::string>& args)
{
    ReportArguments result;
    if (!args.empty() && args[0] == "--help") {
        result.help = true;
        return result;
    }
    if (!args.empty() && args[0] == "--version") {
        result.version = true;
        return result;
    }
    if (args.empty()) {
        result.error = "missing MODE";
        return result;
    }
    if (args[0] == "dupes")
        result.mode = ScanMode::Duplicates;
    else if (args[0] == "size")
        result.mode = ScanMode::LargerThan;
    else if (args[0] == "zero")
        result.mode = ScanMode::ZeroLength;
    else {
        result.error = "unknown MODE '" + args[0] + "'";
        return result;
    }

    bool kbGiven = false, mbGiven = false, optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            result.roots.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            result.help = true;
            return result;
        }
        if (arg == "--version") {
            result.version = true;
            return result;
        }
        if (arg == "--content") {
            result.content = true;
            continue;
        }
        std::string name = arg, value;
        bool hasValue = false;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (name != "--mask" && name != "--kb" && name != "--mb" && name != "--threads" &&
            name != "--format") {
            result.error = "unknown option '" + arg + "'";
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                result.error = "option '" + name + "' needs a value";
                return result;
            }
            value = args[++i];
        }
        if (name == "--mask") {
            result.mask = value;
            continue;
        }
        if (name == "--threads") {
            std::int64_t threads = 0;
            if (!parseSize(value, 1, threads) || threads > 64) {
                result.error = "'" + value + "' is not a whole number from 0 to 64 for --threads";
                return result;
            }
            result.threads = static_cast<unsigned>(threads);
            continue;
        }
        if (name == "--format") {
            if (value == "text")
                result.format = ReportFormat::Text;
            else if (value == "csv")
                result.format = ReportFormat::Csv;
            else if (value == "json")
                result.format = ReportFormat::Json;
            else {
                result.error = "unknown format '" + value + "': text, csv or json";
                return result;
            }
            continue;
        }
        const bool kb = name == "--kb";
        (kb ? kbGiven : mbGiven) = true;
        if (kbGiven && mbGiven) {
            result.error = "--kb and --mb cannot both be given";
            return result;
        }
        if (!parseSize(value, kb ? 1024 : 1048576, result.sizeThreshold)) {
            result.error = "'" + value + "' is not a whole number of 0 or more for " + name;
            return result;
        }
    }
    if (result.content && result.mode != ScanMode::Duplicates)
        result.error = "--content compares the files of duplicate groups: it needs MODE dupes";
    if ((kbGiven || mbGiven) && result.mode != ScanMode::LargerThan)
        result.error = std::string(kbGiven ? "--kb" : "--mb") + " applies to the size report only";
    return result;
}
